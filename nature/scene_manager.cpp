#include "nature/scene_manager.h"

#include "core/options.h"
#include "nature/nature_random.h"
#include "platform/clock.h"
#include "video/video_system.h"

namespace sylvora {

SceneManager::SceneManager(const NatureContext& context) : context_(context) {
  sharedPictureSurfaces.fill(SurfaceNone);
}

int SceneManager::Start(int scene) {
  context_.layerTable->SetFlags(LayerTable::kSceneLayer, 1);
  scenePause = ScenePauseState{};
  currentScene = scene;
  scenePictures.loaded = 0;
  scenePictures.layerCount = 0;
  scenePictures.skyCount = 0;
  return Switch(scene, 1);
}

int SceneManager::Switch(int scene, int reload) {
  if (reload) {
    FreeScenePictures();
    LoadScenePictures(scene);
  }
  Configure(scene);
  return 0;
}

int SceneManager::Update() {
  theme.Update();
  const Options& options = *context_.options;
  if (options.nature_view == kRandomScene && options.nature_change_freq != 0 &&
      TimeGetTime() - lastSceneChange > static_cast<uint32_t>(options.nature_change_freq)) {
    int next;
    do {
      next = RandomRange(0, kSceneCount);
    } while (next == currentScene);
    Switch(next, 1);
    // Read after the switch, so the time spent loading does not count towards the next change.
    lastSceneChange = TimeGetTime();
  }
  return 0;
}

int SceneManager::Draw() {
  theme.Render();
  return 0;
}

void SceneManager::Stop() {
  FreeScenePictures();
  context_.layerTable->SetFlags(LayerTable::kSceneLayer, 0);
  scenePause.paused = 0;
}

int SceneManager::Pause(int reason) {
  if (!scenePause.paused) scenePause = {1, reason, TimeGetTime()};
  return 0;
}

int SceneManager::Resume(int reason) {
  if (!scenePause.paused || reason != scenePause.reason) return 0;
  const uint32_t pausedFor = TimeGetTime() - scenePause.start;
  scenePause = ScenePauseState{};
  theme.ShiftClocks(static_cast<int>(pausedFor));
  return 0;
}

}  // namespace sylvora
