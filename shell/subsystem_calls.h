#pragma once
// The shell's calls into the subsystems it drives but does not implement: video, audio, the settings
// dialog, and the owners of the frame layers (the scene manager on layer 1, the ambient sound on
// layer 6). Each entry is a plain function; an empty entry is an absent piece and its step is skipped.
// Entries that act on the video or audio object run only while that object exists (its pointer in the
// shell's state is not null); the scene's pause and resume run only while layer 1 is updating. The
// shell keeps them in its state (shell/shell_state.h), which the real entries (shell/wiring.cpp) use.
#include <string>

#include "core/options.h"
#include "platform/native_window.h"

namespace sylvora {

class Report;

// The display the shell asks the video object for.
struct DisplayRequest {
  int fullScreen = 0;
  int width = 0;
  int height = 0;
  int depth = 0;
  // Non-zero when the command line forces the classic 640 x 480 frame (--retro) on any installation.
  int retro = 0;
};

struct SubsystemCalls {
  // Configure mode: runs the modal settings dialog over the hidden window on the shell's options.
  int (*runSettingsDialog)(Options& options, Report* report, const OptionsPlace& place) = nullptr;

  // A0_Open, in the order it calls them.
  // Creates the video object into `shell.video` and brings it up for request on window: 0, or 2 on failure
  // (reported; the object stays for Shutdown to destroy).
  int (*createVideo)(const DisplayRequest& request, NativeWindow* window, const std::string& resourcePath) = nullptr;
  // The display mode the video object uses; the window is sized to it.
  void (*queryDisplayMode)(int& width, int& height, int& depth) = nullptr;
  // Creates the audio object into `shell.audio` and brings it up; a failure only leaves the program silent.
  void (*createAudio)(NativeWindow* window, const std::string& resourcePath) = nullptr;
  // Global volumes of the audio object, in percent.
  void (*setVolumes)(int samplePercent, int musicPercent) = nullptr;
  // Display gamma adjustment of the video object.
  void (*setGamma)(int gamma) = nullptr;
  // Builds the scene manager and the ambient sound into the shell's state, on its video and audio objects
  // and options, and makes them the owners of layers 1 and 6.
  void (*createScenes)() = nullptr;
  // The pictures and sounds every scene shares; results are not examined.
  void (*loadSharedPictures)() = nullptr;
  void (*loadAmbientSounds)() = nullptr;
  // Sets the scene manager's last scene change to now and starts scene (which sets layer 1's flags).
  void (*startFirstScene)(int scene) = nullptr;
  // Starts the ambient sound (which sets layer 6's flags).
  void (*startAmbientSound)() = nullptr;

  // While ShellState::soundWaiting: tries once more to take the sound another copy held at start-up and,
  // once this copy has it, opens the output, sets its volumes and starts the ambient sound. True while
  // the sound is still held elsewhere.
  bool (*retakeSound)() = nullptr;

  // Shutdown, just before it destroys the audio or the video object: what holds on to it lets go.
  void (*destroyAudio)() = nullptr;
  void (*destroyVideo)() = nullptr;

  // OnActivateApp.
  void (*resumeVideo)() = nullptr;
  void (*suspendVideo)() = nullptr;
  void (*resumeAudioOutput)() = nullptr;
  void (*pauseAudioOutput)() = nullptr;
  void (*sceneResume)(int reason) = nullptr;
  void (*scenePause)(int reason) = nullptr;

  // FrameRender, when the command line asks for it (-fps): draws the frames per second into the frame's
  // corner over the scene, before it is shown.
  void (*drawFrameRate)(int framesPerSecond) = nullptr;
  // FrameRender: shows the secondary buffer; its result is not examined.
  void (*present)() = nullptr;
};

// Layers "Layer A0" .. "Layer A6" are in use.
constexpr int kLayersInUse = 7;

}  // namespace sylvora
