#include "shell/shell_state.h"

namespace sylvora {

std::string commandLine;
int appActive = 0;
int appRunning = 0;
int inDaemonWindow = 0;
DisplayRequest displayRequest;
CursorPoint startCursor;
FrameStats frameStats;
WindowSystem* shellWindow = nullptr;
InputBackend* inputBackend = nullptr;

}  // namespace sylvora
