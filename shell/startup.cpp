#include "shell/startup.h"

#include <cstdlib>
#include <ctime>
#include <mutex>

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

// Held over the options' optionsRead, optionsSaved and their save: Shutdown saves on the main thread,
// but a run that outlives the daemon's window is ended by the window's watch, which saves on its own
// thread, at any moment.
std::mutex optionsSaveLock;

const char* const kModule = "A0";
constexpr int kFailed = 2;

void ResetFrameStats() {
  shell.frameStats = FrameStats{};
  shell.frameStats.windowStart = TimeGetTime();
}

void RecordStart(const char* function, const std::string& text) {
  shell.report->AddMessage(1, MessageKind::Report, kModule, function, text);
}

// Input: keyboard and mouse are required, the joystick is optional.
int OpenInput() {
  shell.input = std::make_unique<InputSystem>(shell.report.get(), *shell.inputBackend);
  if (shell.input->CreateDirectInput(shell.window->Handle()) != 0) return kFailed;
  if (shell.input->Create(InputDevice::All) != 0) return kFailed;
  shell.input->Acquire(InputDevice::All);
  return 0;
}

// Video, then the window sized to the display mode it uses.
int OpenVideo() {
  if (!shell.subsystemCalls.createVideo) return 0;
  if (shell.subsystemCalls.createVideo(shell.displayRequest, shell.window->Handle(), shell.resourcePath) != 0)
    return kFailed;
  if (shell.video && shell.subsystemCalls.queryDisplayMode) {
    int width = 0, height = 0, depth = 0;
    shell.subsystemCalls.queryDisplayMode(width, height, depth);
    // The daemon's window has the size its owner chose (a preview pane, one monitor); the frame is
    // drawn over it as it is (fitted to its shape on the native path).
    if (!shell.inDaemonWindow) shell.window->Resize(0, 0, width, height);
  }
  return 0;
}

// Audio's failure only leaves the program silent.
int OpenAudio() {
  if (shell.subsystemCalls.createAudio) shell.subsystemCalls.createAudio(shell.window->Handle(), shell.resourcePath);
  return 0;
}

// Options, then the volumes and the gamma they set.
int ApplyOptions() {
  LoadOptions(shell.options, shell.report.get(), shell.optionsPlace);
  shell.optionsFromFile = shell.options;
  ApplyCommandLineSettings(shell.commandLineSettings, shell.options);
  {
    const std::lock_guard<std::mutex> saving(optionsSaveLock);
    shell.optionsRead = 1;
  }
  if (shell.audio && shell.subsystemCalls.setVolumes) {
    shell.subsystemCalls.setVolumes(shell.options.sound_volume * 10, shell.options.music_volume * 10);
  }
  if (shell.video && shell.subsystemCalls.setGamma) shell.subsystemCalls.setGamma((shell.options.brightness - 4) * 75);
  return 0;
}

// The scene manager and the ambient sound, on the video and audio objects and the options just read,
// then the pictures every scene shares.
int OpenScenes() {
  if (shell.subsystemCalls.createScenes) shell.subsystemCalls.createScenes();
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
  const int scene = shell.options.nature_view == kRandomScene ? std::rand() % 6 : shell.options.nature_view;
  if (shell.subsystemCalls.startFirstScene) shell.subsystemCalls.startFirstScene(scene);
  if (shell.subsystemCalls.startAmbientSound) shell.subsystemCalls.startAmbientSound();
  return 0;
}

// A0_Open's steps from input on, in order: 0, or kFailed when the run cannot go on (reported). On a busy
// machine each may take a while, so a daemon's stop asked for meanwhile is looked for between any two.
constexpr int (*kStartUpSteps[])() = {OpenInput,  OpenVideo,         OpenAudio,         ApplyOptions,
                                      OpenScenes, LoadAmbientSounds, RecordStartCursor, StartScenes};

// The layers' owners first, as they hold on to the audio and video objects; the Report stays for the
// shutdown's own message and files.
void DestroySubsystems() {
  shell.layerOwners.fill(nullptr);
  shell.ambientSound.reset();
  shell.scenes.reset();
  if (shell.audio) {
    if (shell.subsystemCalls.destroyAudio) shell.subsystemCalls.destroyAudio();
    shell.audio.reset();
  }
  if (shell.video) {
    if (shell.subsystemCalls.destroyVideo) shell.subsystemCalls.destroyVideo();
    shell.video.reset();
  }
  if (shell.input) {
    shell.input->Release();
    shell.input.reset();
  }
}

// Done with the run's options, the first time in a run it is called: if write, and they were read, they
// are written back as the run leaves them, less what the command line set for this run only. Whoever
// comes second waits for the first to finish writing.
void CloseRunOptions(bool write) {
  const std::lock_guard<std::mutex> saving(optionsSaveLock);
  if (shell.optionsSaved) return;
  shell.optionsSaved = 1;
  if (!write || !shell.optionsRead) return;
  SaveOptions(WithoutCommandLineSettings(shell.commandLineSettings, shell.options, shell.optionsFromFile),
              shell.report.get(), shell.optionsPlace);
}

}  // namespace

int A0_InitWindow() {
  std::string directory;
  if (!ReadInstallPath(InstallPathFile(), directory)) {
    shell.window->ShowMessageBox(kInstallPathMissingText, kInstallPathMissingCaption);
    return kFailed;
  }
  shell.resourcePath = directory + "\\";
  shell.optionsPlace = OptionsPlace{UserConfigDirectory(), shell.resourcePath};
  shell.report = std::make_unique<Report>(static_cast<int>(ReportMode::Quiet), UserStateDirectory());
  RecordStart("A0_InitWindow", "Log file was opened on " + shell.report->DateText());
  RecordStart("A0_InitWindow", "application working directory is\"" + shell.report->WorkingDirectory() + "\"");
  RecordStart("A0_InitWindow", "path to resource file is " + shell.resourcePath);
  shell.displayRequest = DisplayRequest{1, 640, 480, 16, RetroRequested(shell.commandLine) ? 1 : 0};
  return 0;
}

int A0_Open() {
  shell.appRunning = 1;
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  shell.input = nullptr;
  shell.video = nullptr;
  shell.audio = nullptr;
  {
    const std::lock_guard<std::mutex> saving(optionsSaveLock);
    shell.optionsRead = shell.optionsSaved = 0;
  }
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

void SaveOptionsOnDisplayLost() { CloseRunOptions(true); }

void Shutdown(int code) {
  // Shutdown runs once per full-screen run; the window closing afterwards must not save again,
  // touch the deleted Report or post a second quit event.
  if (!shell.appRunning) return;
  CloseRunOptions(code == 0);
  ReleaseLayers();
  DestroySubsystems();
  if (code != 0) {
    shell.window->Hide();
    shell.window->ShowMessageBox(shell.report->FatalText(), kProgramTitle);
  }
  shell.report->WriteFiles();
  shell.report.reset();
  shell.appRunning = 0;
  shell.window->PostQuit(0);
}

}  // namespace sylvora
