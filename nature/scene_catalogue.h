#pragma once
// The fixed catalogue of the six scenes: the pictures of each scene and where they go on the 640 x 480
// screen, the sky pictures a scene picks from, the creature sets it switches on, and the shared creature
// pictures loaded once at start-up.
#include <array>
#include <cstdint>
#include <string>

#include "nature/nature_theme.h"

namespace sylvora {

inline constexpr int kSceneCount = 6;
inline constexpr int kMaxSkies = 4;
inline constexpr int kSharedPictureCount = 21;
// Layer surface list entries: back_0, back_1 and back_2.
inline constexpr int kMaxSceneLayers = 3;
// The size of the screen every scene is laid out for.
inline constexpr int kSceneWidth = 640;
inline constexpr int kSceneHeight = 480;
// Frames per ms the sky sprite is given; the sky never animates, so it only fills the field.
inline constexpr double kSkyAnimationSpeed = 0.002;

// Size and screen position of one layer picture.
struct LayerPlacement {
  int width = 0;
  int height = 0;
  int x = 0;
  int y = 0;
};

// What a scene's back_2 position is measured from.
enum class Back2Anchor { Screen, Back0, Back1 };

// One scene of the catalogue.
struct SceneEntry {
  LayerPlacement back0;
  LayerPlacement back1;
  int hasBack2;
  LayerPlacement back2;        // x and y are an offset from back2Anchor's corner
  Back2Anchor back2Anchor;
  std::array<const char*, kMaxSkies> skies;
  int skyCount;
  uint8_t back1Threshold;      // black threshold of the overlay pictures
  uint8_t back2Threshold;
  std::array<int, NatureTheme::kSetCount> variantCounts;  // per creature set, in update order; 0 = off
};

// One picture variant of a creature set.
struct CreatureVariant {
  int sharedPicture;   // index into the shared pictures
  int sheetWidth;
  int sheetHeight;
  int frameWidth;
  int frameHeight;
  int frames;          // frames per row
  int rows;
  double speed;        // frames per ms
};

extern const std::array<SceneEntry, kSceneCount> kScenes;
// The shared creature pictures in loading order.
extern const std::array<const char*, kSharedPictureCount> kSharedPictureNames;

// The scene's back_2 placement with its position worked out from the other layers.
LayerPlacement Back2Placement(int scene);
// Height of the scene's sky band: the screen above its ground.
int SkyBandOf(int scene);
// The picture variants creature set `set` uses in `scene` (at least variantCounts[set] of them).
const CreatureVariant* SetVariants(int scene, int set);
// The picture name of a layer: "back" scene "_" layer.
std::string LayerPictureName(int scene, int layer);

// The current scene's own pictures, held by the scene manager.
struct ScenePictures {
  int loaded = 0;
  std::array<int, kMaxSceneLayers> layers{};  // back_0, back_1 and, except in scene 1, back_2
  // 1 where the layer is its wide painting (archive/wide_picture.h), which covers the scene columns
  // kWideFieldLeft..kWideFieldRight at the layer's rows.
  std::array<int, kMaxSceneLayers> wide{};
  int layerCount = 0;
  int sky = 0;                               // the chosen sky picture
  int skyCount = 0;                          // 0 or 1
};

// A scene's pictures on their way in, loaded one at a time in the order named: all at once when a scene
// starts, and one a frame ahead of a change, while the scene before is still shown.
struct SceneLoad {
  int scene = -1;  // -1 while nothing is being loaded
  int count = 0;   // the pictures named: the layers, then the sky
  int loaded = 0;  // how many of them were loaded so far
  bool failed = false;
  ScenePictures pictures;
  std::array<std::string, kMaxSceneLayers + 1> names;
};

}  // namespace sylvora
