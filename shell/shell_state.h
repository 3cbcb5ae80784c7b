#pragma once
// The program's one process-wide state, the shell's: the command line, the activity flags the message
// loop tests, the display request, the pointer position at start-up, the frame statistics, the platform
// adapters the program's main() built, the calls into the subsystems, and the objects of a run, which it
// alone owns. Below the shell nothing reads it: the scenes, the ambient sound and the settings dialog
// are handed what they use.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/audio_system.h"
#include "core/layer_table.h"
#include "core/options.h"
#include "input/input_system.h"
#include "nature/ambient_sound.h"
#include "nature/scene_manager.h"
#include "report/report.h"
#include "shell/command_line_settings.h"
#include "shell/subsystem_calls.h"
#include "video/frame_rate_counter.h"
#include "video/video_system.h"

namespace sylvora {

class WindowSystem;
class InputBackend;

// The longest command line the shell keeps.
constexpr size_t kCommandLineLimit = 1000;

// A point in desktop coordinates.
struct CursorPoint {
  int x = 0;
  int y = 0;
};

// Frame-rate measurement that drives the pacing in FrameUpdate.
struct FrameStats {
  double currentRate = 0.0;   // frames per second over the last measuring window
  double averageRate = 0.0;   // running average, weight 0.5 per window
  uint32_t windowStart = 0;   // clock time the current window began
  int windowLength = 1000;    // ms
  int frameCount = 0;         // frames presented in the current window
};

// Everything the shell's steps share between calls, from the entry point to Shutdown.
struct ShellState {
  // Lower-cased copy of the command line, at most kCommandLineLimit characters.
  std::string commandLine;

  // 1 while the application is the active one; set when the window is created, then only by OnActivateApp.
  int appActive = 0;
  // 1 while full-screen mode runs: set by A0_Open, cleared by Shutdown and by the loop when a frame step fails.
  int appRunning = 0;
  // 1 while the scene runs in a window a screen-saver daemon owns (set once by the entry point): the
  // daemon decides when the run pauses or ends, so the input exit tests and activation changes are left
  // to it, and the window keeps the size its owner gave it.
  int inDaemonWindow = 0;
  // 1 while this copy in a daemon's window is silent because another copy held the sound when it started:
  // the frame loop then asks for the sound again every kSoundRetryMs (last asked at lastSoundTry), so the
  // sound comes back once that copy is gone.
  int soundWaiting = 0;
  uint32_t lastSoundTry = 0;
  // 1 once A0_Open has read the options: only then may a stop write them back. 1 in optionsSaved once
  // a stop has dealt with them (written back or not), which happens once in a run.
  int optionsRead = 0;
  int optionsSaved = 0;

  // The settings the command line gives for this run (set once by the entry point), and the options as
  // options.ini gave them before those were applied (set by A0_Open): a save writes the file's values
  // back for the fields the command line set.
  CommandLineSettings commandLineSettings;
  Options optionsFromFile;

  // The display the shell asks the video object for; set once by A0_InitWindow.
  DisplayRequest displayRequest;
  // Where the pointer was at the end of start-up; CheckExit measures movement from here.
  CursorPoint startCursor;
  // Started by A0_Open, counted by FrameRender, measured by FrameUpdate.
  FrameStats frameStats;
  // The corner counter of -fps; its sheet goes with the video object.
  FrameRateCounter frameRateCounter;

  // The program's window and the input device layer, set by the entry point for the life of the process.
  WindowSystem* window = nullptr;
  InputBackend* inputBackend = nullptr;

  // The calls into the subsystems: filled once by WireSubsystems (shell/wiring.cpp) before
  // RunScreensaver; the shell's tests fill them with doubles.
  SubsystemCalls subsystemCalls;
  // The owner of each layer in use, or null; the real ones (the scenes on layer 1, the ambient sound on
  // layer 6) are set when subsystemCalls.createScenes builds them, the shell's tests set doubles.
  std::array<LayerOwner*, kLayersInUse> layerOwners{};

  // The objects of a run, in the order they are made: the Report by A0_InitWindow, the others by
  // A0_Open's steps (video, audio and the scenes through subsystemCalls). Shutdown destroys them in the
  // reverse order; each per-frame and activation call tests its pointer first.
  std::unique_ptr<Report> report;
  std::unique_ptr<InputSystem> input;
  std::unique_ptr<VideoSystem> video;
  std::unique_ptr<AudioSystem> audio;
  std::unique_ptr<SceneManager> scenes;
  std::unique_ptr<AmbientSound> ambientSound;

  // The user's settings, loaded at start-up and when the settings dialog opens.
  Options options;
  // The installation directory with a trailing backslash; every file name is appended to it.
  std::string resourcePath;
  // Where options.ini is read and written: the user's settings directory, and resourcePath for the
  // machine's defaults.
  OptionsPlace optionsPlace;
  // Layer 1 is the scene, layer 6 the ambient sound.
  LayerTable layerTable;

  // Destroys the run's objects, last made first, and forgets the layer owners among them.
  void DestroyRunObjects();
  // Back to the state before the entry point ran, for tests: the run's objects are destroyed, the adapters
  // forgotten.
  void Reset();
};

// The process's one shell state.
extern ShellState shell;

}  // namespace sylvora
