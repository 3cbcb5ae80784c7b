// The sylvora program: builds the real platform adapters and hands over to the shell.
#include <string>

#include "input/input_backend_sdl.h"
#include "platform/window_sdl.h"
#include "shell/entry.h"
#include "shell/wiring.h"

namespace {

// The command line as the screensaver host gives it: the arguments joined by single spaces,
// without the program's own name.
std::string JoinArguments(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  // The input devices close before the window shuts SDL down.
  sylvora::SdlWindowSystem window;
  sylvora::SdlInputBackend inputDevices;
  sylvora::WireSubsystems();
  return sylvora::RunScreensaver(window, inputDevices, JoinArguments(argc, argv));
}
