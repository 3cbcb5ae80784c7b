#include "shell/startup.h"

#include <cstdlib>
#include <ctime>

#include "input/input_system.h"
#include "platform/clock.h"
#include "platform/install_path.h"
#include "platform/user_dirs.h"
#include "platform/window.h"
#include "report/report.h"
#include "shell/frame_loop.h"
#include "shell/process_state.h"
#include "shell/shell_state.h"
#include "shell/subsystem_calls.h"

namespace sylvora {

const char* const kProgramTitle = "Sylvora Screensaver";
const char* const kInstallPathMissingText = "Registry data was not found. Please reinstall application.";
const char* const kInstallPathMissingCaption = "Warning";

namespace {

const char* const kModule = "A0";
constexpr int kFailed = 2;

void RecordStart(const char* function, const std::string& text) {
  report->AddMessage(1, MessageKind::Report, kModule, function, text);
}

// Input: keyboard and mouse are required, the joystick is optional.
int OpenInput() {
  input = new InputSystem(report, *inputBackend);
  if (input->CreateDirectInput(shellWindow->Handle()) != 0) return kFailed;
  if (input->Create(InputDevice::All) != 0) return kFailed;
  input->Acquire(InputDevice::All);
  return 0;
}

// Video, then the window sized to the display mode it uses.
int OpenVideo() {
  if (!subsystemCalls.createVideo) return 0;
  if (subsystemCalls.createVideo(displayRequest, shellWindow->Handle(), resourcePath) != 0) return kFailed;
  if (video && subsystemCalls.queryDisplayMode) {
    int width = 0, height = 0, depth = 0;
    subsystemCalls.queryDisplayMode(width, height, depth);
    // The daemon's window has the size its owner chose (a preview pane, one monitor); the frame is
    // stretched over it as it is.
    if (!inDaemonWindow) shellWindow->Resize(0, 0, width, height);
  }
  return 0;
}

// Audio's failure only leaves the program silent.
void OpenAudio() {
  if (subsystemCalls.createAudio) subsystemCalls.createAudio(shellWindow->Handle(), resourcePath);
}

// Options, then the volumes and the gamma they set.
void ApplyOptions() {
  LoadOptions(options, report, optionsPlace);
  if (audio && subsystemCalls.setVolumes) {
    subsystemCalls.setVolumes(options.sound_volume * 10, options.music_volume * 10);
  }
  if (video && subsystemCalls.setGamma) subsystemCalls.setGamma((options.brightness - 4) * 75);
}

void LoadSharedResources() {
  if (subsystemCalls.loadSharedPictures) subsystemCalls.loadSharedPictures();
  if (subsystemCalls.loadAmbientSounds) subsystemCalls.loadAmbientSounds();
}

// The first scene: a fixed one, or one of the six at random.
void StartScenes() {
  const int scene = options.nature_view == kRandomScene ? std::rand() % 6 : options.nature_view;
  if (subsystemCalls.startFirstScene) subsystemCalls.startFirstScene(scene);
  if (subsystemCalls.startAmbientSound) subsystemCalls.startAmbientSound();
}

void ResetFrameStats() {
  frameStats = FrameStats{};
  frameStats.windowStart = TimeGetTime();
}

void DestroySubsystems() {
  if (audio) {
    if (subsystemCalls.destroyAudio) subsystemCalls.destroyAudio();
    audio = nullptr;
  }
  if (video) {
    if (subsystemCalls.destroyVideo) subsystemCalls.destroyVideo();
    video = nullptr;
  }
  if (input) {
    input->Release();
    delete input;
    input = nullptr;
  }
}

}  // namespace

int A0_InitWindow() {
  std::string directory;
  if (!ReadInstallPath(InstallPathFile(), directory)) {
    shellWindow->ShowMessageBox(kInstallPathMissingText, kInstallPathMissingCaption);
    return kFailed;
  }
  resourcePath = directory + "\\";
  optionsPlace = OptionsPlace{UserConfigDirectory(), resourcePath};
  report = new Report(static_cast<int>(ReportMode::Quiet), UserStateDirectory());
  RecordStart("A0_InitWindow", "Log file was opened on " + report->DateText());
  RecordStart("A0_InitWindow", "application working directory is\"" + report->WorkingDirectory() + "\"");
  RecordStart("A0_InitWindow", "path to resource file is " + resourcePath);
  displayRequest = DisplayRequest{1, 640, 480, 16};
  return 0;
}

int A0_Open() {
  appRunning = 1;
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  input = nullptr;
  video = nullptr;
  audio = nullptr;
  InitLayers();
  RecordStart("A0_Open", "application command line is: " + commandLine);
  ResetFrameStats();
  if (OpenInput() != 0 || OpenVideo() != 0) {
    Shutdown(kFailed);
    return kFailed;
  }
  OpenAudio();
  ApplyOptions();
  LoadSharedResources();
  shellWindow->CursorPosition(startCursor.x, startCursor.y);
  StartScenes();
  return 0;
}

void SaveOptionsOnDisplayLost() {
  if (appRunning && report) SaveOptions(options, report, optionsPlace);
}

void Shutdown(int code) {
  // Shutdown runs once per full-screen run; the window closing afterwards must not save again,
  // touch the deleted Report or post a second quit event.
  if (!appRunning) return;
  if (code == 0) SaveOptions(options, report, optionsPlace);
  ReleaseLayers();
  DestroySubsystems();
  if (code != 0) {
    shellWindow->Hide();
    shellWindow->ShowMessageBox(report->FatalText(), kProgramTitle);
  }
  report->WriteFiles();
  delete report;
  report = nullptr;
  appRunning = 0;
  shellWindow->PostQuit(0);
}

}  // namespace sylvora
