#include "shell/shell_state.h"

namespace sylvora {

ShellState shell;

void ShellState::Reset() { *this = ShellState{}; }

}  // namespace sylvora
