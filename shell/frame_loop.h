#pragma once
// The three frame steps the message loop runs while full-screen mode is active and the queue is
// empty, and the two steps that prepare and stop the layer table.
#include <cstdint>

namespace sylvora {

// A pointer movement greater than this many pixels in x or y ends the screensaver.
constexpr int kExitMoveThreshold = 12;
// Above this running average the loop sleeps kPacingSleepMs per frame.
constexpr double kPacingRateLimit = 150.0;
constexpr int kPacingSleepMs = 5;
// How often a silent copy in a daemon's window asks again for the sound another copy holds.
constexpr uint32_t kSoundRetryMs = 1000;

// Names the seven layers "Layer A0" .. "Layer A6" with their flags clear; always 0.
int InitLayers();
// Stops every layer that is still started; always 0.
int ReleaseLayers();
// Ends the program (Shutdown 0) on a key, the left or right button, or a pointer move, except in a
// daemon's window; always 0.
int CheckExit();
// Measures the rate, paces, and runs the layer updates: 0, or 2 after a failed update (Shutdown 2 ran).
int FrameUpdate();
// Runs the layer draws and presents: 0, or 2 after a failed draw (Shutdown 2 ran).
int FrameRender();
// Run by the message loop after each frame: asks for the sound again while ShellState::soundWaiting,
// at most every kSoundRetryMs.
void RetrySound();

}  // namespace sylvora
