#include "shell/shell_state.h"

namespace sylvora {

ShellState shell;

void ShellState::DestroyRunObjects() {
  layerOwners.fill(nullptr);
  ambientSound.reset();
  scenes.reset();
  audio.reset();
  video.reset();
  input.reset();
  report.reset();
}

void ShellState::Reset() {
  DestroyRunObjects();
  *this = ShellState{};
}

}  // namespace sylvora
