#include "shell/startup.h"

#include <cstdlib>
#include <ctime>

#include "core/process_state.h"
#include "input/input_system.h"
#include "platform/clock.h"
#include "platform/install_path.h"
#include "platform/user_dirs.h"
#include "platform/window.h"
#include "report/report.h"
#include "shell/entry.h"
#include "shell/frame_loop.h"
#include "shell/shell_state.h"
#include "shell/subsystem_calls.h"

namespace sylvora {

const char* const kProgramTitle = "Sylvora Screensaver";
const char* const kInstallPathMissingText = "Registry data was not found. Please reinstall application.";
const char* const kInstallPathMissingCaption = "Warning";

namespace {

const char* const kModule = "A0";
constexpr int kFailed = 2;

void ResetFrameStats() {
  shell.frameStats = FrameStats{};
  shell.frameStats.windowStart = TimeGetTime();
}

void RecordStart(const char* function, const std::string& text) {
  core.report->AddMessage(1, MessageKind::Report, kModule, function, text);
}

// Input: keyboard and mouse are required, the joystick is optional.
int OpenInput() {
  core.input = new InputSystem(core.report, *shell.inputBackend);
  if (core.input->CreateDirectInput(shell.window->Handle()) != 0) return kFailed;
  if (core.input->Create(InputDevice::All) != 0) return kFailed;
  core.input->Acquire(InputDevice::All);
  return 0;
}

// Video, then the window sized to the display mode it uses.
int OpenVideo() {
  if (!shell.subsystemCalls.createVideo) return 0;
  if (shell.subsystemCalls.createVideo(shell.displayRequest, shell.window->Handle(), core.resourcePath) != 0)
    return kFailed;
  if (core.video && shell.subsystemCalls.queryDisplayMode) {
    int width = 0, height = 0, depth = 0;
    shell.subsystemCalls.queryDisplayMode(width, height, depth);
    // The daemon's window has the size its owner chose (a preview pane, one monitor); the frame is
    // stretched over it as it is.
    if (!shell.inDaemonWindow) shell.window->Resize(0, 0, width, height);
  }
  return 0;
}

// Audio's failure only leaves the program silent.
int OpenAudio() {
  if (shell.subsystemCalls.createAudio) shell.subsystemCalls.createAudio(shell.window->Handle(), core.resourcePath);
  return 0;
}

// Options, then the volumes and the gamma they set.
int ApplyOptions() {
  LoadOptions(core.options, core.report, core.optionsPlace);
  shell.optionsRead = 1;
  shell.optionsFromFile = core.options;
  ApplyCommandLineSettings(shell.commandLineSettings, core.options);
  if (core.audio && shell.subsystemCalls.setVolumes) {
    shell.subsystemCalls.setVolumes(core.options.sound_volume * 10, core.options.music_volume * 10);
  }
  if (core.video && shell.subsystemCalls.setGamma) shell.subsystemCalls.setGamma((core.options.brightness - 4) * 75);
  return 0;
}

int LoadSharedPictures() {
  if (shell.subsystemCalls.loadSharedPictures) shell.subsystemCalls.loadSharedPictures();
  return 0;
}

int LoadAmbientSounds() {
  if (shell.subsystemCalls.loadAmbientSounds) shell.subsystemCalls.loadAmbientSounds();
  return 0;
}

int RecordStartCursor() {
  shell.window->CursorPosition(shell.startCursor.x, shell.startCursor.y);
  return 0;
}

// The first scene: a fixed one, or one of the six at random.
int StartScenes() {
  const int scene = core.options.nature_view == kRandomScene ? std::rand() % 6 : core.options.nature_view;
  if (shell.subsystemCalls.startFirstScene) shell.subsystemCalls.startFirstScene(scene);
  if (shell.subsystemCalls.startAmbientSound) shell.subsystemCalls.startAmbientSound();
  return 0;
}

// A0_Open's steps from input on, in order: 0, or kFailed when the run cannot go on (reported). On a busy
// machine each may take a while, so a daemon's stop asked for meanwhile is looked for between any two.
constexpr int (*kStartUpSteps[])() = {OpenInput,          OpenVideo,         OpenAudio,         ApplyOptions,
                                      LoadSharedPictures, LoadAmbientSounds, RecordStartCursor, StartScenes};

void DestroySubsystems() {
  if (core.audio) {
    if (shell.subsystemCalls.destroyAudio) shell.subsystemCalls.destroyAudio();
    core.audio = nullptr;
  }
  if (core.video) {
    if (shell.subsystemCalls.destroyVideo) shell.subsystemCalls.destroyVideo();
    core.video = nullptr;
  }
  if (core.input) {
    core.input->Release();
    delete core.input;
    core.input = nullptr;
  }
}

// The options as the run leaves them, less what the command line set for this run only.
int SaveRunOptions() {
  return SaveOptions(WithoutCommandLineSettings(shell.commandLineSettings, core.options, shell.optionsFromFile),
                     core.report, core.optionsPlace);
}

}  // namespace

int A0_InitWindow() {
  std::string directory;
  if (!ReadInstallPath(InstallPathFile(), directory)) {
    shell.window->ShowMessageBox(kInstallPathMissingText, kInstallPathMissingCaption);
    return kFailed;
  }
  core.resourcePath = directory + "\\";
  core.optionsPlace = OptionsPlace{UserConfigDirectory(), core.resourcePath};
  core.report = new Report(static_cast<int>(ReportMode::Quiet), UserStateDirectory());
  RecordStart("A0_InitWindow", "Log file was opened on " + core.report->DateText());
  RecordStart("A0_InitWindow", "application working directory is\"" + core.report->WorkingDirectory() + "\"");
  RecordStart("A0_InitWindow", "path to resource file is " + core.resourcePath);
  shell.displayRequest = DisplayRequest{1, 640, 480, 16, RetroRequested(shell.commandLine) ? 1 : 0};
  return 0;
}

int A0_Open() {
  shell.appRunning = 1;
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  core.input = nullptr;
  core.video = nullptr;
  core.audio = nullptr;
  shell.optionsRead = 0;
  InitLayers();
  RecordStart("A0_Open", "application command line is: " + shell.commandLine);
  ResetFrameStats();
  for (const auto step : kStartUpSteps) {
    // A stop ends the run as a stop of a running scene does, quietly; options not yet read are not written.
    if (shell.window->StopRequested()) {
      Shutdown(0);
      return 0;
    }
    if (step() != 0) {
      Shutdown(kFailed);
      return kFailed;
    }
  }
  return 0;
}

void SaveOptionsOnDisplayLost() {
  if (shell.appRunning && shell.optionsRead && core.report) SaveRunOptions();
}

void Shutdown(int code) {
  // Shutdown runs once per full-screen run; the window closing afterwards must not save again,
  // touch the deleted Report or post a second quit event.
  if (!shell.appRunning) return;
  if (code == 0 && shell.optionsRead) SaveRunOptions();
  ReleaseLayers();
  DestroySubsystems();
  if (code != 0) {
    shell.window->Hide();
    shell.window->ShowMessageBox(core.report->FatalText(), kProgramTitle);
  }
  core.report->WriteFiles();
  delete core.report;
  core.report = nullptr;
  shell.appRunning = 0;
  shell.window->PostQuit(0);
}

}  // namespace sylvora
