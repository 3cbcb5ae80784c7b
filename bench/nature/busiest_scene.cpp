#include "bench/nature/busiest_scene.h"

#include <climits>

#include "nature/scene_catalogue.h"

namespace sylvora {
namespace {

// The scene whose catalogue entry switches the seeds on, where their pictures are set up from.
constexpr int kSceneWithSeeds = 4;

// Puts creature c on screen at (x, y) for good, showing the first frame of picture.
void Place(Creature& c, const Sprite& picture, double x, double y, uint32_t now) {
  c.active = 1;
  c.x = x;
  c.y = y;
  c.speed = 0.0;  // stays on screen for the whole run
  c.frame = 0;
  c.frameCount = picture.frameCount;
  c.animationSpeed = picture.animationSpeed;
  c.moveClock = c.animationClock = now;
}

void FillGliders(GliderGroup& group, uint32_t now) {
  group.group = CreatureGroup{1, 10, 10, 50, 0, 0, {}};
  for (int i = 0; i < GliderGroup::kSlots; ++i) {
    Glider& g = group.slots[i];
    g.variant = 0;
    Place(g, group.variants[0], 60 * i, 60 + 5 * i, now);
    g.tilt = g.targetTilt = 5;
    g.tiltClock = now;
  }
}

void FillButterflies(ButterflySet& set, uint32_t now) {
  for (int i = 0; i < ButterflySet::kSlots; ++i) {
    Butterfly& b = set.slots[i];
    b.variant = i % set.variantCount;
    Place(b, set.variants[b.variant], 60 * i, 300 + 10 * i, now);
    b.cruising = 1;
  }
}

// Fills every slot of every set with a creature on screen that stays there, and holds the spawns back.
void FillEverySet(NatureTheme& theme, uint32_t now) {
  for (CreatureSet* set : theme.sets) set->spawnTimer.Set(INT_MAX, 1);
  for (int i = 0; i < SeedSet::kSlots; ++i) {
    Place(theme.seedA.slots[i], theme.seedA.variants[0], 60 * i, 100, now);
    Place(theme.seedB.slots[i], theme.seedB.variants[0], 60 * i + 30, 200, now);
  }
  theme.flock.group = CreatureGroup{1, 7, 7, 20, 0, 1, {}};
  for (int i = 0; i < BirdFlock::kSlots; ++i) Place(theme.flock.slots[i], theme.flock.variants[0], 80 * i, 30, now);
  FillGliders(theme.glidersNear, now);
  FillGliders(theme.glidersFar, now);
  FillButterflies(theme.butterfliesLarge, now);
  FillButterflies(theme.butterfliesSmall, now);
}

// Gives both seed sets the picture they have in the scene with seeds.
void SwitchSeedsOn(SceneManager& scenes) {
  NatureTheme& theme = scenes.theme;
  theme.seedA.variantCount = theme.seedB.variantCount = 1;
  for (SeedSet* set : {&theme.seedA, &theme.seedB}) {
    const int index = set == &theme.seedA ? NatureTheme::kSeedA : NatureTheme::kSeedB;
    const CreatureVariant& v = SetVariants(kSceneWithSeeds, index)[0];
    set->variants[0].Setup(theme.video, scenes.sharedPictureSurfaces[v.sharedPicture], v.sheetWidth, v.sheetHeight);
    set->variants[0].SetFrames(v.frameWidth, v.frameHeight, v.frames, v.speed);
  }
}

// Stops the sky half way along its upper half: the window then crosses into the lower half.
void HoldSkyAcrossTheSeam(NatureTheme& theme) {
  theme.SetSkySpeed(0);
  theme.skyPosition = kSceneWidth / 2;
}

}  // namespace

void StartBusiestScene(BenchScenes& bench, uint32_t now) {
  bench.options.nature_view = kBusiestScene;
  bench.scenes.Start(kBusiestScene);
  SwitchSeedsOn(bench.scenes);
  HoldSkyAcrossTheSeam(bench.scenes.theme);
  FillEverySet(bench.scenes.theme, now);
}

}  // namespace sylvora
