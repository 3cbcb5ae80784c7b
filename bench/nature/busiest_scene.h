#pragma once
// The busiest frame the scenes can show, shared by the nature benchmarks. Of the scenes that switch on
// every creature set but the seeds and have all four layers (0, 2, 3 and 5), scene 0 draws the most
// pixels (ground, overlay and a foreground as tall as the screen); the seeds, on only in scene 4, are
// switched on here too. Every set is filled to its maximum (5 + 5 seeds, 7 flock birds, 2 x 10 gliders,
// 2 x 10 butterflies) with creatures that stay on screen, and the sky stands still across the seam of
// its panorama, so it is drawn in two pieces.
#include <cstdint>

#include "core/layer_table.h"
#include "core/options.h"
#include "nature/scene_manager.h"

namespace sylvora {

inline constexpr int kBusiestScene = 0;

// The scene manager a benchmark drives on its video object, with the options it reads: the defaults but
// the highest animation level.
struct BenchScenes {
  BenchScenes(Report* report, VideoSystem* video) : scenes(NatureContext{report, video, nullptr, &options, &layers}) {
    options.background_animation = 3;
  }
  Options options;
  LayerTable layers;
  SceneManager scenes;
};

// Starts kBusiestScene on bench (its shared pictures loaded) and fills it as above; now is the clock's
// time.
void StartBusiestScene(BenchScenes& bench, uint32_t now);

}  // namespace sylvora
