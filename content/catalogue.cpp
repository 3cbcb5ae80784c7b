#include "content/catalogue.h"

namespace sylvora {
namespace {

using R = ContentRole;

// Shorthands that keep the table one line per resource.
constexpr ContentItem Ground(const char* name, int scene, int height) {
  return {name, R::Ground, 1, scene, 640, height, 640, height, 1, 1, 0, 0};
}
constexpr ContentItem Overlay(const char* name, int scene, int width, int height, int threshold, int sceneX = 0) {
  return {name, R::Overlay, 1, scene, width, height, width, height, 1, 1, threshold, 0, 0, sceneX};
}
constexpr ContentItem Sky(const char* name, int scene, int band, int mood) {
  return {name, R::Sky, 1, scene, 640, 2 * band, 640, 2 * band, 1, 1, 0, mood};
}
constexpr ContentItem Sheet(const char* name, int frameWidth, int frameHeight, int frames, int rows, int variant) {
  return {name, R::Sheet, 0, -1, frameWidth * frames, frameHeight * rows, frameWidth, frameHeight, frames, rows, 0,
          variant};
}
constexpr ContentItem Sound(const char* name, ContentRole role, int variant, int rendition = 0) {
  return {name, role, kSoundEntryType, -1, 0, 0, 0, 0, 1, 1, 0, variant, rendition};
}

}  // namespace

const std::array<ContentItem, kContentCount> kContent = {{
    // Scene 0: a meadow with an old oak.
    Ground("back0_0", 0, 231),
    Overlay("back0_1", 0, 640, 249, 40),
    Overlay("back0_2", 0, 300, 480, 30),
    // Scene 1: a lake below a forested ridge.
    Ground("back1_0", 1, 258),
    Overlay("back1_1", 1, 640, 222, 80),
    // Scene 2: a forest clearing.
    Ground("back2_0", 2, 350),
    Overlay("back2_1", 2, 640, 130, 30),
    Overlay("back2_2", 2, 640, 220, 90),
    // Scene 3: a wheat field.
    Ground("back3_0", 3, 200),
    Overlay("back3_1", 3, 640, 72, 70),
    Overlay("back3_2", 3, 320, 148, 70, 152),
    // Scene 4: a dandelion meadow.
    Ground("back4_0", 4, 260),
    Overlay("back4_1", 4, 640, 220, 90),
    Overlay("back4_2", 4, 624, 452, 90),
    // Scene 5: a mountain river.
    Ground("back5_0", 5, 327),
    Overlay("back5_1", 5, 640, 153, 60),
    Overlay("back5_2", 5, 96, 480, 30, 513),
    // Skies: 640 x twice the sky band.
    Sky("sky0_0", 0, 249, kClearMorning),
    Sky("sky0_1", 0, 249, kCumulusAfternoon),
    Sky("sky1_0", 1, 222, kSoftOvercast),
    Sky("sky1_1", 1, 222, kCumulusAfternoon),
    Sky("sky2_0", 2, 130, kForestSummer),
    Sky("sky3_0", 3, 280, kClearMorning),
    Sky("sky3_1", 3, 280, kCumulusAfternoon),
    Sky("sky3_2", 3, 280, kHighCirrus),
    Sky("sky3_3", 3, 280, kSunset),
    Sky("sky4_0", 4, 220, kDandelionNoon),
    Sky("sky5_0", 5, 153, kMountainBlue),
    // Creature sheets (variant: 0..1 seeds, 2 flock, 10..12 near gliders, 20..22 far gliders,
    // 30..41 butterfly species), in the order the shared pictures are loaded.
    Sheet("seed0_0", 15, 23, 12, 1, 0),
    Sheet("seed1_0", 9, 14, 12, 1, 1),
    Sheet("bird0_0", 10, 6, 8, 2, 2),
    Sheet("lbird0_0", 62, 71, 8, 10, 10),
    Sheet("lbird0_1", 65, 81, 8, 10, 11),
    Sheet("lbird0_2", 58, 70, 8, 10, 12),
    Sheet("lbird1_0", 37, 43, 8, 10, 20),
    Sheet("lbird1_1", 43, 53, 8, 10, 21),
    Sheet("lbird1_2", 41, 48, 8, 10, 22),
    Sheet("bfly0_0", 35, 47, 8, 2, 30),
    Sheet("bfly0_1", 35, 47, 8, 2, 31),
    Sheet("bfly0_2", 35, 47, 8, 2, 32),
    Sheet("bfly0_3", 35, 47, 8, 2, 33),
    Sheet("bfly0_4", 25, 32, 8, 2, 34),
    Sheet("bfly0_5", 25, 32, 8, 2, 35),
    Sheet("bfly0_6", 25, 32, 8, 2, 36),
    Sheet("bfly0_7", 25, 32, 8, 2, 37),
    Sheet("bfly1_0", 14, 18, 8, 2, 38),
    Sheet("bfly1_1", 14, 18, 8, 2, 39),
    Sheet("bfly1_2", 14, 18, 8, 2, 40),
    Sheet("bfly1_3", 14, 18, 8, 2, 41),
    // Sounds: the looping ambience, then the seven bird songs.
    Sound("backmain", R::Ambience, 0),
    Sound("back0", R::Song, 0),
    Sound("back1", R::Song, 1),
    Sound("back2", R::Song, 2),
    Sound("back3", R::Song, 3),
    Sound("back4", R::Song, 4),
    Sound("back5", R::Song, 5),
    Sound("back6", R::Song, 6),
    // The songs' other renditions, which the ambient sound plays in turn with the first.
    Sound("back0r1", R::Song, 0, 1),
    Sound("back0r2", R::Song, 0, 2),
    Sound("back0r3", R::Song, 0, 3),
    Sound("back1r1", R::Song, 1, 1),
    Sound("back1r2", R::Song, 1, 2),
    Sound("back1r3", R::Song, 1, 3),
    Sound("back2r1", R::Song, 2, 1),
    Sound("back2r2", R::Song, 2, 2),
    Sound("back2r3", R::Song, 2, 3),
    Sound("back3r1", R::Song, 3, 1),
    Sound("back3r2", R::Song, 3, 2),
    Sound("back3r3", R::Song, 3, 3),
    Sound("back4r1", R::Song, 4, 1),
    Sound("back4r2", R::Song, 4, 2),
    Sound("back4r3", R::Song, 4, 3),
    Sound("back5r1", R::Song, 5, 1),
    Sound("back5r2", R::Song, 5, 2),
    Sound("back5r3", R::Song, 5, 3),
    Sound("back6r1", R::Song, 6, 1),
    Sound("back6r2", R::Song, 6, 2),
    Sound("back6r3", R::Song, 6, 3),
}};

int SkyBand(int scene) {
  for (const ContentItem& item : kContent) {
    if (item.role == R::Ground && item.scene == scene) return 480 - item.height;
  }
  return 0;
}

}  // namespace sylvora
