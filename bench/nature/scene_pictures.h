#pragma once
// The pictures a scene change loads, as the bare scene changes of the nature benchmarks read them
// straight from the data file: where each one's bytes are, and which near-black pixels are its key.
#include <string>
#include <vector>

#include "archive/resource_index.h"

namespace sylvora {

// One picture of a scene, found in the installation's index.
struct ScenePicture {
  std::string fileName;  // the data file holding it, relative to the installation
  long offset = 0;
  long length = 0;
  int threshold = 0;  // an overlay's: red + green + blue below it is transparent; 0 for an opaque picture

  bool Keyed() const { return threshold > 0; }
};

// What a scene change loads for each scene: its layers, the overlays with the catalogue's thresholds (at
// least pure black), then the first of its skies (a scene's skies are all of one size); with
// highResolution their three-times twins, where the index has them. Empty when the index lacks a picture.
std::vector<std::vector<ScenePicture>> SceneChangePictures(const ArchiveTable& index, bool highResolution);

}  // namespace sylvora
