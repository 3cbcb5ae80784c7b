#include "shell/entry.h"

#include <array>
#include <cctype>
#include <cstdio>

#include "input/input_system.h"
#include "platform/window.h"
#include "report/report.h"
#include "shell/frame_loop.h"
#include "shell/shell_state.h"
#include "shell/startup.h"
#include "shell/subsystem_calls.h"

namespace sylvora {

const char* const kPasswordText = "This screensaver does not support password";
const char* const kPasswordCaption = "Attention";

namespace {

// The pointer over the window: AND mask all ones, XOR mask all zeros, so it shows nothing.
constexpr std::array<uint8_t, kCursorMaskBytes> FilledMask(uint8_t value) {
  std::array<uint8_t, kCursorMaskBytes> mask{};
  mask.fill(value);
  return mask;
}
constexpr auto kInvisibleCursorAnd = FilledMask(0xFF);
constexpr auto kInvisibleCursorXor = FilledMask(0x00);

// The scene's pause and resume carry this reason for an activation change.
constexpr int kActivationReason = 1;

bool ContainsAny(const std::string& text, const char* const (&switches)[3]) {
  for (const char* candidate : switches) {
    if (text.find(candidate) != std::string::npos) return true;
  }
  return false;
}

// Preview, password and configure modes end here, without writing the Report's files.
int EndQuietMode() {
  shell.report.reset();
  return 0;
}

// Full-screen mode, in our own window or in the daemon's (which its owner shows and sizes).
int RunFullScreen() {
  if (!shell.inDaemonWindow) shell.window->Show();
  if (A0_Open() != 0) return 0;
  return RunMessageLoop();  // after a stop during A0_Open, only takes its Destroy and the quit event
}

// The frame steps, each only while the application is still active and running.
void RunFrame() {
  if (CheckExit() != 0) shell.appRunning = 0;
  if (shell.appActive && shell.appRunning && FrameUpdate() != 0) shell.appRunning = 0;
  if (shell.appActive && shell.appRunning && FrameRender() != 0) shell.appRunning = 0;
  if (shell.appRunning) RetrySound();
}

// Our own window carries the invisible pointer; over the daemon's window the pointer is its owner's.
AttachResult OpenWindow(WindowSystem& window, const DaemonWindowRequest& daemon, ScreensaverMode mode) {
  if (shell.inDaemonWindow) {
    window.OnDisplayLost(SaveOptionsOnDisplayLost);
    return window.CreateFrom(daemon.windowId);
  }
  if (!window.Create(kProgramTitle, 640, 480, mode == ScreensaverMode::FullScreen)) return AttachResult::Failed;
  // Without the invisible cursor the desktop's pointer shows over the scene; nothing else depends on it.
  window.SetCursor(kInvisibleCursorAnd.data(), kInvisibleCursorXor.data());
  return AttachResult::Attached;
}

// The first group of switches found in the command line decides; false when it holds none.
bool FindSwitchMode(const std::string& line, ScreensaverMode& mode) {
  static const char* const kPreview[3] = {"-p", "/p", "\\p"};
  static const char* const kPassword[3] = {"-a", "/a", "\\a"};
  static const char* const kConfigure[3] = {"-c", "/c", "\\c"};
  static const char* const kFullScreen[3] = {"-s", "/s", "\\s"};
  if (ContainsAny(line, kPreview)) {
    mode = ScreensaverMode::Preview;
  } else if (ContainsAny(line, kPassword)) {
    mode = ScreensaverMode::Password;
  } else if (ContainsAny(line, kConfigure)) {
    mode = ScreensaverMode::Configure;
  } else if (ContainsAny(line, kFullScreen)) {
    mode = ScreensaverMode::FullScreen;
  } else {
    return false;
  }
  return true;
}

bool SceneUpdating() { return shell.layerTable.layers[LayerTable::kSceneLayer].updating != 0; }

}  // namespace

std::string CopyCommandLine(const std::string& text) {
  std::string copy = text.substr(0, kCommandLineLimit);
  for (char& c : copy) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return copy;
}

ScreensaverMode SelectMode(const std::string& line) {
  ScreensaverMode mode = ScreensaverMode::Configure;
  FindSwitchMode(line, mode);
  return mode;
}

bool RetroRequested(const std::string& commandLine) { return commandLine.find("--retro") != std::string::npos; }

ScreensaverMode SelectLaunchMode(const std::string& line, const DaemonWindowRequest& daemon) {
  ScreensaverMode mode = ScreensaverMode::Configure;
  if (FindSwitchMode(line, mode)) return mode;
  return daemon.asked ? ScreensaverMode::DaemonWindow : ScreensaverMode::Configure;
}

int RunScreensaver(WindowSystem& window, InputBackend& inputDevices, const std::string& commandLineText,
                   const DaemonWindowRequest& daemon) {
  shell.commandLine = CopyCommandLine(commandLineText);
  shell.commandLineSettings = ReadCommandLineSettings(shell.commandLine);
  // A setting that cannot be taken is left out of the run; the daemon keeps what we say here in its log.
  if (!shell.commandLineSettings.problem.empty()) {
    std::fprintf(stderr, "sylvora: %s\n", shell.commandLineSettings.problem.c_str());
  }
  shell.window = &window;
  shell.inputBackend = &inputDevices;
  // The mode depends on nothing A0_InitWindow does, and the daemon's window must be known before
  // there is a window at all.
  const ScreensaverMode mode = SelectLaunchMode(shell.commandLine, daemon);
  shell.inDaemonWindow = mode == ScreensaverMode::DaemonWindow ? 1 : 0;
  if (shell.inDaemonWindow && !daemon.valid) {
    // The daemon keeps what a hack writes here in its log; no box could be answered under it.
    std::fprintf(stderr, "sylvora: %s\n", daemon.problem.c_str());
    return 1;
  }
  // Without a window there is nowhere to draw nor to show a box; the adapter has said why. A daemon
  // that ended the run before it began expects the quiet exit a stop gives; nothing was read yet, so
  // there is nothing to save.
  switch (OpenWindow(window, daemon, mode)) {
    case AttachResult::Attached: break;
    case AttachResult::WindowGone: return 0;
    case AttachResult::Failed: return 1;
  }
  shell.appActive = 1;
  if (A0_InitWindow() != 0) return 0;
  switch (mode) {
    case ScreensaverMode::Preview:
      return EndQuietMode();
    case ScreensaverMode::Password:
      window.ShowMessageBox(kPasswordText, kPasswordCaption);
      return EndQuietMode();
    case ScreensaverMode::Configure:
      if (shell.subsystemCalls.runSettingsDialog)
        shell.subsystemCalls.runSettingsDialog(shell.options, shell.report.get(), shell.optionsPlace);
      return EndQuietMode();
    case ScreensaverMode::FullScreen:
    case ScreensaverMode::DaemonWindow:
      return RunFullScreen();
  }
  return 0;
}

int RunMessageLoop() {
  for (;;) {
    // With no frame to draw (inactive, or waiting for the quit event) the loop sleeps until the next
    // event rather than polling a whole core away.
    const bool drawing = shell.appActive && shell.appRunning;
    const bool waiting = drawing ? shell.window->PeekEvent() : shell.window->WaitEvent(kIdleWaitMs);
    if (waiting) {
      const WindowEvent event = shell.window->TakeEvent();
      if (event.kind == WindowEventKind::Quit) return event.code;
      WindowProcedure(event);
    } else if (drawing) {
      RunFrame();
    }
  }
}

void WindowProcedure(const WindowEvent& event) {
  switch (event.kind) {
    case WindowEventKind::Destroy:
      Shutdown(0);
      break;
    case WindowEventKind::Activate:
    case WindowEventKind::Deactivate:
      // In the daemon's window the daemon decides when the scene runs: focus changes there are its own.
      if (shell.appRunning && !shell.inDaemonWindow) OnActivateApp(event.kind == WindowEventKind::Activate ? 1 : 0);
      break;
    case WindowEventKind::Problem:
      if (shell.report) shell.report->AddMessage(1, MessageKind::Warning, "A0", "WindowProcedure", event.text);
      break;
    case WindowEventKind::Quit:
    case WindowEventKind::Other:
      break;
  }
}

void OnActivateApp(int active) {
  shell.appActive = active;
  if (active) {
    if (shell.input) {
      shell.input->Reset(InputDevice::All);
      shell.input->Acquire(InputDevice::All);
    }
    if (shell.video && shell.subsystemCalls.resumeVideo) shell.subsystemCalls.resumeVideo();
    if (SceneUpdating() && shell.subsystemCalls.sceneResume) shell.subsystemCalls.sceneResume(kActivationReason);
    if (shell.audio && shell.subsystemCalls.resumeAudioOutput) shell.subsystemCalls.resumeAudioOutput();
  } else {
    if (shell.input) {
      shell.input->Reset(InputDevice::All);
      shell.input->UnAcquire(InputDevice::All);
    }
    if (shell.audio && shell.subsystemCalls.pauseAudioOutput) shell.subsystemCalls.pauseAudioOutput();
    if (shell.video && shell.subsystemCalls.suspendVideo) shell.subsystemCalls.suspendVideo();
    if (SceneUpdating() && shell.subsystemCalls.scenePause) shell.subsystemCalls.scenePause(kActivationReason);
  }
}

}  // namespace sylvora
