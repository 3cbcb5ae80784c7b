#include "shell/entry.h"

#include <array>
#include <cctype>

#include "input/input_system.h"
#include "platform/window.h"
#include "report/report.h"
#include "shell/frame_loop.h"
#include "shell/process_state.h"
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
  delete report;
  report = nullptr;
  return 0;
}

int RunFullScreen() {
  shellWindow->Show();
  if (A0_Open() != 0) return 0;
  return RunMessageLoop();
}

// The frame steps, each only while the application is still active and running.
void RunFrame() {
  if (CheckExit() != 0) appRunning = 0;
  if (appActive && appRunning && FrameUpdate() != 0) appRunning = 0;
  if (appActive && appRunning && FrameRender() != 0) appRunning = 0;
}

bool SceneUpdating() { return layerTable.layers[LayerTable::kSceneLayer].updating != 0; }

}  // namespace

std::string CopyCommandLine(const std::string& text) {
  std::string copy = text.substr(0, kCommandLineLimit);
  for (char& c : copy) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return copy;
}

ScreensaverMode SelectMode(const std::string& line) {
  static const char* const kPreview[3] = {"-p", "/p", "\\p"};
  static const char* const kPassword[3] = {"-a", "/a", "\\a"};
  static const char* const kConfigure[3] = {"-c", "/c", "\\c"};
  static const char* const kFullScreen[3] = {"-s", "/s", "\\s"};
  if (ContainsAny(line, kPreview)) return ScreensaverMode::Preview;
  if (ContainsAny(line, kPassword)) return ScreensaverMode::Password;
  if (ContainsAny(line, kConfigure)) return ScreensaverMode::Configure;
  if (ContainsAny(line, kFullScreen)) return ScreensaverMode::FullScreen;
  return ScreensaverMode::Configure;
}

int RunScreensaver(WindowSystem& window, InputBackend& inputDevices, const std::string& commandLineText) {
  commandLine = CopyCommandLine(commandLineText);
  shellWindow = &window;
  inputBackend = &inputDevices;
  // Without a window there is nowhere to draw nor to show a box; the adapter has said why.
  if (!window.Create(kProgramTitle, 640, 480)) return 1;
  // Without the invisible cursor the desktop's pointer shows over the scene; nothing else depends on it.
  window.SetCursor(kInvisibleCursorAnd.data(), kInvisibleCursorXor.data());
  appActive = 1;
  if (A0_InitWindow() != 0) return 0;
  switch (SelectMode(commandLine)) {
    case ScreensaverMode::Preview:
      return EndQuietMode();
    case ScreensaverMode::Password:
      window.ShowMessageBox(kPasswordText, kPasswordCaption);
      return EndQuietMode();
    case ScreensaverMode::Configure:
      if (subsystemCalls.runSettingsDialog) subsystemCalls.runSettingsDialog(report, resourcePath);
      return EndQuietMode();
    case ScreensaverMode::FullScreen:
      return RunFullScreen();
  }
  return 0;
}

int RunMessageLoop() {
  for (;;) {
    if (shellWindow->PeekEvent()) {
      const WindowEvent event = shellWindow->TakeEvent();
      if (event.kind == WindowEventKind::Quit) return event.code;
      WindowProcedure(event);
    } else if (appActive && appRunning) {
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
      if (appRunning) OnActivateApp(event.kind == WindowEventKind::Activate ? 1 : 0);
      break;
    case WindowEventKind::Quit:
    case WindowEventKind::Other:
      break;
  }
}

void OnActivateApp(int active) {
  appActive = active;
  if (active) {
    if (input) {
      input->Reset(InputDevice::All);
      input->Acquire(InputDevice::All);
    }
    if (video && subsystemCalls.resumeVideo) subsystemCalls.resumeVideo();
    if (SceneUpdating() && subsystemCalls.sceneResume) subsystemCalls.sceneResume(kActivationReason);
    if (audio && subsystemCalls.resumeAudioOutput) subsystemCalls.resumeAudioOutput();
  } else {
    if (input) {
      input->Reset(InputDevice::All);
      input->UnAcquire(InputDevice::All);
    }
    if (audio && subsystemCalls.pauseAudioOutput) subsystemCalls.pauseAudioOutput();
    if (video && subsystemCalls.suspendVideo) subsystemCalls.suspendVideo();
    if (SceneUpdating() && subsystemCalls.scenePause) subsystemCalls.scenePause(kActivationReason);
  }
}

}  // namespace sylvora
