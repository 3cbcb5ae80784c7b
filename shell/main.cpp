// The sylvora program: builds the real platform adapters and hands over to the shell.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "input/input_backend_sdl.h"
#include "platform/large_buffers.h"
#include "platform/session_bus.h"
#include "platform/window_sdl.h"
#include "shell/entry.h"
#include "shell/usage.h"
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

// The daemon's window, if a screen-saver daemon started us to draw into one.
sylvora::DaemonWindowRequest DaemonRequest(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return sylvora::ReadDaemonWindowRequest(arguments, std::getenv("XSCREENSAVER_WINDOW"));
}

}  // namespace

int main(int argc, char** argv) {
  std::string answer;
  if (sylvora::AnswerInformationRequest(std::vector<std::string>(argv + 1, argv + argc), answer)) {
    std::fputs(answer.c_str(), stdout);
    return 0;
  }
  sylvora::ReturnLargeBuffersWhenFreed();
  sylvora::KeepFromStartingASessionBus();
  // The input devices close before the window shuts SDL down.
  sylvora::SdlWindowSystem window;
  sylvora::SdlInputBackend inputDevices;
  sylvora::WireSubsystems();
  return sylvora::RunScreensaver(window, inputDevices, JoinArguments(argc, argv), DaemonRequest(argc, argv));
}
