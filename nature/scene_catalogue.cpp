#include "nature/scene_catalogue.h"

#include <algorithm>
#include <span>
#include <string>

#include "archive/wide_picture.h"
#include "core/options.h"
#include "nature/nature_random.h"
#include "nature/scene_manager.h"
#include "video/video_system.h"

namespace sylvora {
namespace {

// Creature sets in update order: seeds A and B, flock, near and far gliders, large and small butterflies.
constexpr std::array<int, NatureTheme::kSetCount> kFullSets = {0, 0, 1, 3, 3, 8, 4};
constexpr std::array<int, NatureTheme::kSetCount> kSeedSets = {1, 1, 0, 0, 0, 4, 4};

// The threshold a scene's picture at index (its layers, then the sky) is keyed at: the ground and the
// sky are opaque; the overlays are keyed at their own thresholds.
int KeyedThreshold(const SceneEntry& entry, int index, int layerCount) {
  if (index == 0 || index == layerCount) return kNotKeyed;
  return index == 1 ? entry.back1Threshold : entry.back2Threshold;
}

}  // namespace

const std::array<SceneEntry, kSceneCount> kScenes = {{
    {{640, 231, 0, 249}, {640, 249, 0, 0}, 1, {300, 480, 0, 0}, Back2Anchor::Screen,
     {"sky0_0", "sky0_1"}, 2, 40, 30, kFullSets},
    {{640, 258, 0, 222}, {640, 222, 0, 0}, 0, {}, Back2Anchor::Screen,
     {"sky1_0", "sky1_1"}, 2, 80, 0, kFullSets},
    {{640, 350, 0, 130}, {640, 130, 0, 0}, 1, {640, 220, 0, 130}, Back2Anchor::Back0,
     {"sky2_0"}, 1, 30, 90, kFullSets},
    {{640, 200, 0, 280}, {640, 72, 0, 208}, 1, {320, 148, 152, 52}, Back2Anchor::Back0,
     {"sky3_0", "sky3_1", "sky3_2", "sky3_3"}, 4, 70, 70, kFullSets},
    {{640, 260, 0, 220}, {640, 220, 0, 0}, 1, {624, 452, 0, 28}, Back2Anchor::Back1,
     {"sky4_0"}, 1, 90, 90, kSeedSets},
    {{640, 327, 0, 153}, {640, 153, 0, 0}, 1, {96, 480, 513, 0}, Back2Anchor::Screen,
     {"sky5_0"}, 1, 60, 30, kFullSets},
}};

const std::array<const char*, kSharedPictureCount> kSharedPictureNames = {
    "seed0_0",  "seed1_0",  "bird0_0",  "lbird0_0", "lbird0_1", "lbird0_2", "lbird1_0",
    "lbird1_1", "lbird1_2", "bfly0_0",  "bfly0_1",  "bfly0_2",  "bfly0_3",  "bfly0_4",
    "bfly0_5",  "bfly0_6",  "bfly0_7",  "bfly1_0",  "bfly1_1",  "bfly1_2",  "bfly1_3"};

namespace {

// The variants of each set; the numbers index kSharedPictureNames.
constexpr CreatureVariant kSeedAVariants[] = {{0, 180, 23, 15, 23, 12, 1, 0.002}};
constexpr CreatureVariant kSeedBVariants[] = {{1, 108, 14, 9, 14, 12, 1, 0.002}};
constexpr CreatureVariant kFlockVariants[] = {{2, 80, 12, 10, 6, 8, 2, 0.015}};
constexpr CreatureVariant kNearGliderVariants[] = {
    {3, 496, 710, 62, 71, 8, 10, 0.02}, {4, 520, 810, 65, 81, 8, 10, 0.02}, {5, 464, 700, 58, 70, 8, 10, 0.02}};
constexpr CreatureVariant kFarGliderVariants[] = {
    {6, 296, 430, 37, 43, 8, 10, 0.02}, {7, 344, 530, 43, 53, 8, 10, 0.02}, {8, 328, 480, 41, 48, 8, 10, 0.02}};
constexpr CreatureVariant kLargeButterflyVariants[] = {
    {9, 280, 94, 35, 47, 8, 2, 0.032},  {10, 280, 94, 35, 47, 8, 2, 0.032}, {11, 280, 94, 35, 47, 8, 2, 0.032},
    {12, 280, 94, 35, 47, 8, 2, 0.032}, {13, 200, 64, 25, 32, 8, 2, 0.032}, {14, 200, 64, 25, 32, 8, 2, 0.032},
    {15, 200, 64, 25, 32, 8, 2, 0.032}, {16, 200, 64, 25, 32, 8, 2, 0.032}};
constexpr CreatureVariant kSmallButterflyVariants[] = {
    {17, 112, 36, 14, 18, 8, 2, 0.032}, {18, 112, 36, 14, 18, 8, 2, 0.032},
    {19, 112, 36, 14, 18, 8, 2, 0.032}, {20, 112, 36, 14, 18, 8, 2, 0.032}};
// The scene without flock and gliders gives its small butterflies the smaller of the large pictures.
constexpr int kSmallButterfliesFromLarge = 4;
constexpr int kSceneWithSeeds = 4;

constexpr const CreatureVariant* kSetVariants[NatureTheme::kSetCount] = {
    kSeedAVariants,          kSeedBVariants,         kFlockVariants,         kNearGliderVariants,
    kFarGliderVariants,      kLargeButterflyVariants, kSmallButterflyVariants};

bool IsScene(int scene) { return scene >= 0 && scene < kSceneCount; }

}  // namespace

LayerPlacement Back2Placement(int scene) {
  const SceneEntry& entry = kScenes[scene];
  LayerPlacement placement = entry.back2;
  if (entry.back2Anchor == Back2Anchor::Back0) {
    placement.x += entry.back0.x;
    placement.y += entry.back0.y;
  } else if (entry.back2Anchor == Back2Anchor::Back1) {
    placement.x += entry.back1.x;
    placement.y += entry.back1.y;
  }
  return placement;
}

int SkyBandOf(int scene) { return kSceneHeight - kScenes[scene].back0.height; }

const CreatureVariant* SetVariants(int scene, int set) {
  if (scene == kSceneWithSeeds && set == NatureTheme::kButterfliesSmall) {
    return kLargeButterflyVariants + kSmallButterfliesFromLarge;
  }
  return kSetVariants[set];
}

std::string LayerPictureName(int scene, int layer) {
  return "back" + std::to_string(scene) + "_" + std::to_string(layer);
}

// The scene manager's loading, freeing and setting up of a scene from the catalogue.

int SceneManager::LayerSurface(int index) const {
  return index < scenePictures.layerCount ? scenePictures.layers[index] : SurfaceNone;
}

void SceneManager::SetUpLayer(SceneLayer& layer, int index, LayerPlacement placement) {
  if (index < scenePictures.layerCount && scenePictures.wide[index]) {
    placement.x = kWideFieldLeft;
    placement.width = kWideLayerWidth;
  }
  layer.sprite.Setup(context_.video, LayerSurface(index), placement.width, placement.height, placement.x, placement.y);
}

int SceneManager::LoadSharedPictures() {
  int result = 0;
  if (context_.video != nullptr) {
    std::array<std::string, kSharedPictureCount> names;
    std::copy(kSharedPictureNames.begin(), kSharedPictureNames.end(), names.begin());
    const std::array<int, kSharedPictureCount> keyedThresholds{};
    context_.video->ExpectPictures(names, keyedThresholds);
  }
  for (int i = 0; i < kSharedPictureCount; ++i) {
    sharedPictureSurfaces[i] = SurfaceNone;
    if (context_.video == nullptr || context_.video->CreateSurfaceA(kSharedPictureNames[i], 0, 0,
                                                                    sharedPictureSurfaces[i], SurfaceAnySlot, 0) != 0) {
      result = 2;
    }
  }
  return result;
}

int SceneManager::LoadScenePictures(int scene) {
  if (scenePictures.loaded) FreeScenePictures();
  if (!IsScene(scene)) return 2;
  SceneLoad load;
  BeginSceneLoad(scene, load);
  while (load.loaded < load.count) LoadNextPicture(load);
  const bool failed = load.failed;
  TakeLoadedPictures(load);
  return failed ? 2 : 0;
}

void SceneManager::BeginSceneLoad(int scene, SceneLoad& load) {
  const SceneEntry& entry = kScenes[scene];
  load = SceneLoad{};
  load.scene = scene;
  load.pictures.layers.fill(SurfaceNone);
  load.pictures.sky = SurfaceNone;
  load.pictures.layerCount = entry.hasBack2 ? 3 : 2;
  load.count = load.pictures.layerCount + 1;
  // A scene with one sky takes it without asking the generator. Chosen before the layers are loaded,
  // so that all its pictures can be named to the video object at once; nothing between draws a number.
  const int skyChoice = entry.skyCount > 1 ? RandomRange(0, entry.skyCount) : 0;
  if (context_.video == nullptr) return;
  for (int layer = 0; layer < load.pictures.layerCount; ++layer) {
    load.names[layer] = LayerPictureToLoad(scene, layer, load.pictures.wide[layer]);
  }
  load.names[load.pictures.layerCount] = entry.skies[skyChoice];
  std::array<int, kMaxSceneLayers + 1> keyedThresholds{};
  for (int index = 0; index < load.count; ++index) {
    keyedThresholds[index] = KeyedThreshold(entry, index, load.pictures.layerCount);
  }
  context_.video->ExpectPictures(std::span(load.names.data(), load.count),
                                 std::span(keyedThresholds.data(), load.count));
}

void SceneManager::LoadNextPicture(SceneLoad& load) {
  const SceneEntry& entry = kScenes[load.scene];
  const int index = load.loaded++;
  const bool isSky = index == load.pictures.layerCount;
  int& surface = isSky ? load.pictures.sky : load.pictures.layers[index];
  VideoSystem* video = context_.video;
  if (video == nullptr) {
    load.failed = true;
    return;
  }
  const std::string& name = load.names[index];
  const int threshold = KeyedThreshold(entry, index, load.pictures.layerCount);
  const int result = threshold == kNotKeyed
                         ? video->CreateSurfaceB(name, 1, surface, SurfaceAnySlot)
                         : video->CreateSurfaceA(name, 1, 0, surface, SurfaceAnySlot, static_cast<uint8_t>(threshold));
  load.failed |= result != 0;
}

void SceneManager::TakeLoadedPictures(SceneLoad& load) {
  FreeScenePictures();
  scenePictures = load.pictures;
  scenePictures.skyCount = 1;
  scenePictures.loaded = 1;
  load.scene = -1;
}

void SceneManager::DropSceneLoad(SceneLoad& load) {
  if (load.scene < 0) return;
  if (context_.video != nullptr) {
    for (int i = 0; i < load.pictures.layerCount; ++i) context_.video->DeleteSurface(load.pictures.layers[i]);
    context_.video->DeleteSurface(load.pictures.sky);
  }
  load.scene = -1;
}

std::string SceneManager::LayerPictureToLoad(int scene, int layer, int& wide) {
  const std::string name = LayerPictureName(scene, layer);
  const std::string widePainting = WidePictureName(name);
  VideoSystem& video = *context_.video;
  wide = video.FitsFrameToOutput() && video.HasPicture(widePainting) ? 1 : 0;
  return wide ? widePainting : name;
}

int SceneManager::FreeScenePictures() {
  if (!scenePictures.loaded) return 0;
  for (int i = 0; i < scenePictures.layerCount; ++i) {
    if (context_.video != nullptr) context_.video->DeleteSurface(scenePictures.layers[i]);
  }
  scenePictures.layerCount = 0;
  if (scenePictures.skyCount > 0 && context_.video != nullptr) context_.video->DeleteSurface(scenePictures.sky);
  scenePictures.skyCount = 0;
  scenePictures.loaded = 0;
  return 0;
}

int SceneManager::Configure(int scene) {
  if (!IsScene(scene)) return 0;
  const SceneEntry& entry = kScenes[scene];

  SetUpLayer(theme.back0, 0, entry.back0);
  SetUpLayer(theme.back1, 1, entry.back1);
  if (entry.hasBack2) SetUpLayer(theme.back2, 2, Back2Placement(scene));

  const int band = SkyBandOf(scene);
  const int sky = scenePictures.skyCount > 0 ? scenePictures.sky : SurfaceNone;
  theme.sky.sprite.Setup(context_.video, sky, kSceneWidth, 2 * band, 0, 0);
  theme.sky.sprite.SetFrames(kSceneWidth, band, 1, kSkyAnimationSpeed);

  for (int set = 0; set < NatureTheme::kSetCount; ++set) {
    const CreatureVariant* variants = SetVariants(scene, set);
    for (int i = 0; i < entry.variantCounts[set]; ++i) {
      const CreatureVariant& variant = variants[i];
      Sprite& picture = theme.sets[set]->variants[i];
      picture.Setup(context_.video, sharedPictureSurfaces[variant.sharedPicture], variant.sheetWidth,
                    variant.sheetHeight);
      picture.SetFrames(variant.frameWidth, variant.frameHeight, variant.frames, variant.speed);
    }
  }

  theme.SetReport(context_.report);
  theme.SetVideo(context_.video);

  theme.back0.enabled = 1;
  theme.back1.enabled = 1;
  theme.back2.enabled = entry.hasBack2;
  theme.sky.enabled = 1;
  for (int set = 0; set < NatureTheme::kSetCount; ++set) theme.sets[set]->variantCount = entry.variantCounts[set];

  theme.SetSkySpeed(context_.options->speed_of_sky);
  theme.SetAnimationLevel(context_.options->background_animation);
  const int fieldLeft = context_.video ? context_.video->FieldLeft() : 0;
  const int fieldColumns = context_.video ? context_.video->SecondaryWidth() : kSceneWidth;
  theme.SetField(fieldLeft, fieldLeft + fieldColumns, kSceneHeight);
  theme.Init();
  currentScene = scene;
  return 0;
}

}  // namespace sylvora
