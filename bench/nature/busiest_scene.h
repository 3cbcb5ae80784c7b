#pragma once
// The busiest frame the scenes can show, shared by the nature benchmarks. Of the scenes that switch on
// every creature set but the seeds and have all four layers (0, 2, 3 and 5), scene 0 draws the most
// pixels (ground, overlay and a foreground as tall as the screen); the seeds, on only in scene 4, are
// switched on here too. Every set is filled to its maximum (5 + 5 seeds, 7 flock birds, 2 x 10 gliders,
// 2 x 10 butterflies) with creatures that stay on screen, and the sky stands still across the seam of
// its panorama, so it is drawn in two pieces.
#include <cstdint>

namespace sylvora {

inline constexpr int kBusiestScene = 0;

// Starts kBusiestScene through the scene manager (core.video and core.report set up, the shared pictures
// loaded) and fills it as above; now is the clock's time.
void StartBusiestScene(uint32_t now);

}  // namespace sylvora
