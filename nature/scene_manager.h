#pragma once
// The scene manager: owner of layer 1 of the layer table. It starts the first scene, changes it
// at random after the interval the user chose, draws it once per frame and pauses and resumes the
// animation clocks when the application loses and regains activation. Its state is process-wide, in
// nature/nature_state.h.
#include <cstdint>

namespace sylvora {

// Who stopped the animation clocks and when.
struct ScenePauseState {
  int paused = 0;
  int reason = 0;      // the shell uses 1; 0 while running
  uint32_t start = 0;  // clock when the pause began
};

// Switches layer 1 on and shows scene with freshly loaded pictures. Called once by A0_Open. Always 0.
int SceneStart(int scene);
// Shows scene, reloading its pictures first when reload is non-zero. Always 0.
int SceneSwitch(int scene, int reload);
// Layer 1's update: advances the theme, then changes to another random scene once nature_change_freq ms
// have passed (only in the "Randomly" view). Always 0.
int SceneUpdate();
// Layer 1's draw: renders the theme into the secondary buffer. Always 0.
int SceneDraw();
// Frees the scene's pictures and switches layer 1 off; called by ReleaseLayers at shutdown.
void SceneStop();
// Stops the animation clocks for reason (the shell passes 1 on deactivation); ignored while paused.
int ScenePause(int reason);
// Continues the clocks by the time spent paused, only for the reason that paused them.
int SceneResume(int reason);

}  // namespace sylvora
