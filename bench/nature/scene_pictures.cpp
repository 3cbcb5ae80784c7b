#include "bench/nature/scene_pictures.h"

#include <algorithm>
#include <utility>

#include "archive/high_resolution.h"
#include "nature/scene_catalogue.h"

namespace sylvora {
namespace {

// The scene's pictures by name, in loading order, each with its key threshold (0: opaque).
std::vector<std::pair<std::string, int>> ScenePictureNames(int scene) {
  const SceneEntry& entry = kScenes[scene];
  std::vector<std::pair<std::string, int>> names = {
      {LayerPictureName(scene, 0), 0}, {LayerPictureName(scene, 1), std::max(1, int{entry.back1Threshold})}};
  if (entry.hasBack2) names.push_back({LayerPictureName(scene, 2), std::max(1, int{entry.back2Threshold})});
  names.push_back({entry.skies[0], 0});
  return names;
}

}  // namespace

std::vector<std::vector<ScenePicture>> SceneChangePictures(const ArchiveTable& index, bool highResolution) {
  std::vector<std::vector<ScenePicture>> scenes(kSceneCount);
  for (int scene = 0; scene < kSceneCount; ++scene) {
    for (const auto& [name, threshold] : ScenePictureNames(scene)) {
      int found = 0;
      const bool twin = highResolution && index.Find(HighResolutionName(name), found) == 0;
      if (!twin && index.Find(name, found) != 0) return {};
      const ArchiveEntry& entry = index.Entry(found);
      scenes[scene].push_back({entry.fileName, long{entry.offset}, long{entry.length}, threshold});
    }
  }
  return scenes;
}

}  // namespace sylvora
