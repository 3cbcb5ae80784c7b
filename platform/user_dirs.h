#pragma once
// The per-user places the program writes to, as the XDG base-directory conventions name them. The
// installation directory is only ever read; everything a user's run writes lives here.
#include <string>

namespace sylvora {

// The user's settings directory, with a trailing slash: $XDG_CONFIG_HOME/sylvora/, or
// $HOME/.config/sylvora/ when the variable is unset or not an absolute path. Read by the shell at start.
std::string UserConfigDirectory();
// The user's state directory (log files, the sound lock without a runtime directory), with a trailing
// slash: $XDG_STATE_HOME/sylvora/, or $HOME/.local/state/sylvora/.
std::string UserStateDirectory();
// $XDG_RUNTIME_DIR with a trailing slash when it is set to an absolute path, else empty.
std::string UserRuntimeDirectory();

}  // namespace sylvora
