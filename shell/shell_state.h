#pragma once
// The shell's own process-wide state: the command line, the activity flags the message loop tests,
// the display request, the pointer position at start-up, the frame statistics, and the platform
// adapters the program's main() built. The subsystem objects themselves are in process_state.h.
#include <cstdint>
#include <string>

namespace sylvora {

class WindowSystem;
class InputBackend;

// Lower-cased copy of the command line, at most kCommandLineLimit characters.
extern std::string commandLine;
constexpr size_t kCommandLineLimit = 1000;

// 1 while the application is the active one; set when the window is created, then only by OnActivateApp.
extern int appActive;
// 1 while full-screen mode runs: set by A0_Open, cleared by Shutdown and by the loop when a frame step fails.
extern int appRunning;

// 1 while the scene runs in a window a screen-saver daemon owns (set once by the entry point): the
// daemon decides when the run pauses or ends, so the input exit tests and activation changes are left
// to it, and the window keeps the size its owner gave it.
extern int inDaemonWindow;

// The display the shell asks the video object for; set once by A0_InitWindow.
struct DisplayRequest {
  int fullScreen = 0;
  int width = 0;
  int height = 0;
  int depth = 0;
};
extern DisplayRequest displayRequest;

// A point in desktop coordinates.
struct CursorPoint {
  int x = 0;
  int y = 0;
};
// Where the pointer was at the end of start-up; CheckExit measures movement from here.
extern CursorPoint startCursor;

// Frame-rate measurement that drives the pacing in FrameUpdate.
struct FrameStats {
  double currentRate = 0.0;   // frames per second over the last measuring window
  double averageRate = 0.0;   // running average, weight 0.5 per window
  uint32_t windowStart = 0;   // clock time the current window began
  int windowLength = 1000;    // ms
  int frameCount = 0;         // frames presented in the current window
};
extern FrameStats frameStats;

// The program's window and the input device layer, set by the entry point for the life of the process.
extern WindowSystem* shellWindow;
extern InputBackend* inputBackend;

}  // namespace sylvora
