#pragma once
// Shared set-up of the shell tests: an in-memory installation (install-path file, options.ini), a fake
// clock, the window and input doubles, and a trace of the calls the shell makes into the subsystems.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_system.h"
#include "input/input_system.h"
#include "platform/install_path.h"
#include "report/report.h"
#include "shell/entry.h"
#include "shell/frame_loop.h"
#include "shell/shell_state.h"
#include "shell/startup.h"
#include "shell/subsystem_calls.h"
#include "tests/doubles/audio/fake_sound_library.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/input/fake_input_backend.h"
#include "tests/doubles/memory_files.h"
#include "tests/doubles/platform/memory_window.h"
#include "tests/doubles/video/fake_display.h"
#include "tests/doubles/video/fake_jpeg.h"
#include "video/video_system.h"

namespace sylvora {

// Every call the shell made into a subsystem, in order, as "name" or "name(args)".
inline std::vector<std::string> trace;

// Stand-ins for the video and audio objects: real ones on the display and sound-library doubles, never
// brought up, since the shell only tests their pointers and destroys them.
inline std::unique_ptr<VideoSystem> StandInVideo() {
  return std::make_unique<VideoSystem>(nullptr, std::make_unique<FakeDisplay>(), std::make_unique<FakeJpegDecoder>());
}
inline std::unique_ptr<AudioSystem> StandInAudio() {
  return std::make_unique<AudioSystem>(nullptr, std::make_unique<FakeSoundLibrary>());
}

// The display mode the fake video reports.
constexpr int kModeWidth = 1024;
constexpr int kModeHeight = 768;

// Subsystem calls that record themselves; the video and audio ones hand out the stand-ins.
inline SubsystemCalls TracingCalls() {
  SubsystemCalls calls;
  calls.createVideo = [](const DisplayRequest& r, NativeWindow* w, const std::string& path) {
    trace.push_back("createVideo(" + std::to_string(r.fullScreen) + " " + std::to_string(r.width) + "x" +
                    std::to_string(r.height) + "x" + std::to_string(r.depth) + (w ? " window " : " none ") + path +
                    ")");
    shell.video = StandInVideo();
    return 0;
  };
  calls.queryDisplayMode = [](int& width, int& height, int& depth) {
    trace.push_back("queryDisplayMode");
    width = kModeWidth;
    height = kModeHeight;
    depth = 16;
  };
  calls.createAudio = [](NativeWindow*, const std::string&) {
    trace.push_back("createAudio");
    shell.audio = StandInAudio();
  };
  calls.setVolumes = [](int samples, int music) {
    trace.push_back("setVolumes(" + std::to_string(samples) + " " + std::to_string(music) + ")");
  };
  calls.setGamma = [](int gamma) { trace.push_back("setGamma(" + std::to_string(gamma) + ")"); };
  calls.loadSharedPictures = [] { trace.push_back("loadSharedPictures"); };
  calls.loadAmbientSounds = [] { trace.push_back("loadAmbientSounds"); };
  calls.startFirstScene = [](int scene) {
    trace.push_back("startFirstScene(" + std::to_string(scene) + ")");
    shell.layerTable.SetFlags(LayerTable::kSceneLayer, 1);
  };
  calls.startAmbientSound = [] {
    trace.push_back("startAmbientSound");
    shell.layerTable.SetFlags(LayerTable::kAmbientSoundLayer, 1);
  };
  calls.destroyAudio = [] { trace.push_back("destroyAudio"); };
  calls.destroyVideo = [] { trace.push_back("destroyVideo"); };
  calls.resumeVideo = [] { trace.push_back("resumeVideo"); };
  calls.suspendVideo = [] { trace.push_back("suspendVideo"); };
  calls.resumeAudioOutput = [] { trace.push_back("resumeAudioOutput"); };
  calls.pauseAudioOutput = [] { trace.push_back("pauseAudioOutput"); };
  calls.sceneResume = [](int reason) { trace.push_back("sceneResume(" + std::to_string(reason) + ")"); };
  calls.scenePause = [](int reason) { trace.push_back("scenePause(" + std::to_string(reason) + ")"); };
  calls.present = [] { trace.push_back("present"); };
  return calls;
}

// A layer owner that records its calls under the real owner's names and stops by clearing its flags. A
// test may give its update or draw something else to do (onUpdate, onDraw), which is then not recorded.
class TracingLayer : public LayerOwner {
 public:
  TracingLayer(int layer, const char* updateName, const char* drawName, const char* stopName)
      : layer_(layer), updateName_(updateName), drawName_(drawName), stopName_(stopName) {}

  int Update() override { return Run(onUpdate, updateName_); }
  int Draw() override { return Run(onDraw, drawName_); }
  void Stop() override {
    trace.push_back(stopName_);
    shell.layerTable.SetFlags(layer_, 0);
  }

  std::function<int()> onUpdate;
  std::function<int()> onDraw;

 private:
  int Run(const std::function<int()>& instead, const char* name) {
    if (instead) return instead();
    if (name) trace.push_back(name);
    return 0;
  }

  int layer_;
  const char* updateName_;
  const char* drawName_;
  const char* stopName_;
};

class ShellFixture : public ::testing::Test {
 protected:
  static constexpr const char* kInstallDir = "/opt/sylvora";
  // The user's settings file (XDG_CONFIG_HOME is set to /home/user/.config) and the machine's defaults.
  static constexpr const char* kOptionsPath = "/home/user/.config/sylvora/options.ini";
  static constexpr const char* kMachineOptionsPath = "/opt/sylvora/options.ini";

  ShellFixture() : scopedFiles_(files_), scopedClock_(clock_) {
    ResetProcessState();
    setenv("XDG_CONFIG_HOME", "/home/user/.config", 1);
    setenv("XDG_STATE_HOME", "/home/user/.local/state", 1);
    files_.Put(InstallPathFile(), std::string("path=") + kInstallDir + "\n");
    window_.cursorX = 300;
    window_.cursorY = 200;
  }

  ~ShellFixture() override {
    if (shell.appRunning) Shutdown(0);
    ResetProcessState();
  }

  // The shell's state as before the entry point ran, and an empty trace.
  static void ResetProcessState() {
    shell.Reset();
    trace.clear();
  }

  // The tracing layer owners on layers 1 and 6, in place of the scene manager and the ambient sound.
  void UseTracingLayers() {
    shell.layerOwners[LayerTable::kSceneLayer] = &sceneLayer_;
    shell.layerOwners[LayerTable::kAmbientSoundLayer] = &ambientLayer_;
  }

  // What the entry point does before A0_Open, without choosing a mode.
  void PrepareFullScreen(const std::string& line = "/s") {
    shell.commandLine = CopyCommandLine(line);
    shell.window = &window_;
    shell.inputBackend = &backend_;
    ASSERT_TRUE(window_.Create(kProgramTitle, 640, 480, true));
    shell.appActive = 1;
    ASSERT_EQ(A0_InitWindow(), 0);
    window_.Show();
  }

  // A0_Open on the doubles, with the tracing subsystems when traced is set.
  void OpenFullScreen(bool traced = true) {
    PrepareFullScreen();
    if (traced) {
      shell.subsystemCalls = TracingCalls();
      UseTracingLayers();
    }
    ASSERT_EQ(A0_Open(), 0);
    trace.clear();
  }

  // Messages of module, in order, as "function: text".
  static std::vector<std::string> MessagesOf(const std::string& module) {
    std::vector<std::string> out;
    for (int i = 0; shell.report && i < shell.report->MessageCount(); ++i) {
      const ReportMessage& m = shell.report->Message(i);
      if (m.module == module) out.push_back(m.function + ": " + m.text);
    }
    return out;
  }

  MemoryFileSystem files_;
  ScopedFileSystem scopedFiles_;
  FakeClock clock_{50000};
  ScopedClock scopedClock_;
  MemoryWindow window_;
  FakeInputBackend backend_;
  TracingLayer sceneLayer_{LayerTable::kSceneLayer, "SceneUpdate", "SceneDraw", "SceneStop"};
  TracingLayer ambientLayer_{LayerTable::kAmbientSoundLayer, "AmbientSoundUpdate", nullptr, "StopAmbientSound"};
};

}  // namespace sylvora
