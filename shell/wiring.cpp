#include "shell/wiring.h"

#include "audio/audio_system.h"
#include "audio/sound_library_openal.h"
#include "core/process_state.h"
#include "nature/ambient_sound.h"
#include "nature/nature_state.h"
#include "nature/scene_catalogue.h"
#include "nature/scene_manager.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/user_dirs.h"
#include "platform/window.h"
#include "report/report.h"
#include "settings/run_settings.h"
#include "shell/shell_state.h"
#include "shell/sound_lock.h"
#include "shell/subsystem_calls.h"
#include "video/display_native.h"
#include "video/display_path.h"
#include "video/display_sdl.h"
#include "video/frame_rate_counter.h"
#include "video/jpeg_turbojpeg.h"
#include "video/render_device_sdl.h"
#include "video/video_system.h"

namespace sylvora {
namespace {

// The first scene's ground tells whether the high-resolution pictures are installed.
constexpr int kMarkerScene = 0;
constexpr int kMarkerLayer = 0;
// The native path composes nothing at 16 bits: its pictures are written at 32.
constexpr int kNativeDepth = 32;

int CreateVideo(const DisplayRequest& request, NativeWindow* window, const std::string& directory) {
  const bool native = ChooseDisplayPath(request.retro != 0, directory, LayerPictureName(kMarkerScene, kMarkerLayer)) ==
                      DisplayPath::Native;
  std::unique_ptr<DisplayLayer> display = CreateSdlDisplayLayer();
  if (native) display = CreateNativeDisplayLayer(std::move(display), CreateSdlRenderDevice());
  core.video = new VideoSystem(core.report, std::move(display), CreateTurboJpegDecoder());
  CreateArgs args;
  args.fullScreen = request.fullScreen;
  args.width = request.width;
  args.height = request.height;
  args.depth = native ? kNativeDepth : request.depth;
  args.reserved = 1024;
  args.useArchive = 1;
  args.window = window;
  args.resourcePath = directory;
  args.highResolution = native ? 1 : 0;
  return core.video->Create(args);
}

// Whether another running copy in a daemon's window (the daemon starts one per monitor) holds the
// sound lock and so plays for the machine.
bool SoundPlaysElsewhere() {
  const std::string runtime = UserRuntimeDirectory();
  const std::string state = UserStateDirectory();
  if (runtime.empty()) Files().MakeDirectories(state);
  return TakeSoundLock(SoundLockPath(runtime, state)) == SoundLock::HeldElsewhere;
}

// In a daemon's window a copy that finds the sound played elsewhere keeps an audio object that never
// started, as after a failed start, and asks again while it runs (RetakeSound); one that took the lock
// but cannot open the output lets it go, so another copy may play. Full-screen mode of our own always
// opens the sound output.
void CreateAudio(NativeWindow* window, const std::string& directory) {
  core.audio = new AudioSystem(core.report, MakeOpenAlSoundLibrary());
  if (shell.inDaemonWindow && SoundPlaysElsewhere()) {
    core.report->AddMessage(1, MessageKind::Warning, "A0", "A0_Open", "sound output is used by another instance");
    shell.soundWaiting = 1;
    shell.lastSoundTry = TimeGetTime();
    return;
  }
  if (core.audio->Create(window, 1, 0, directory) != 0) ReleaseSoundLock();
}

// The sound start-up would have given this copy, had the copy before it been gone by then.
bool RetakeSound() {
  if (!core.audio || SoundPlaysElsewhere()) return true;
  if (core.audio->Create(shell.window->Handle(), 1, 0, core.resourcePath) != 0) {
    ReleaseSoundLock();
    return false;
  }
  core.audio->SetVolumes(core.options.sound_volume * 10, core.options.music_volume * 10);
  LoadAmbientSounds();
  StartAmbientSound();
  return false;
}

void StartFirstScene(int scene) {
  nature.lastSceneChange = TimeGetTime();
  SceneStart(scene);
}

// The corner counter of -fps; its sheet goes with the video object.
FrameRateCounter frameRateCounter;

void WireVideo(SubsystemCalls& calls) {
  calls.createVideo = CreateVideo;
  calls.queryDisplayMode = [](int& width, int& height, int& depth) {
    core.video->QueryDisplayMode(width, height, depth);
  };
  calls.setGamma = [](int gamma) { core.video->SetGamma(gamma); };
  calls.resumeVideo = [] { core.video->Resume(); };
  calls.suspendVideo = [] { core.video->Suspend(); };
  calls.present = [] { core.video->Present(); };
  calls.drawFrameRate = [](int rate) { frameRateCounter.Draw(*core.video, rate); };
  calls.destroyVideo = [] {
    frameRateCounter.Forget();
    delete core.video;
  };
}

void WireAudio(SubsystemCalls& calls) {
  calls.createAudio = CreateAudio;
  calls.setVolumes = [](int samples, int music) { core.audio->SetVolumes(samples, music); };
  calls.resumeAudioOutput = [] { core.audio->ResumeOutput(); };
  calls.pauseAudioOutput = [] { core.audio->PauseOutput(); };
  calls.destroyAudio = [] { delete core.audio; };
}

void WireScenes(SubsystemCalls& calls) {
  calls.loadSharedPictures = [] { LoadSharedPictures(); };
  calls.loadAmbientSounds = [] { LoadAmbientSounds(); };
  calls.startFirstScene = StartFirstScene;
  calls.startAmbientSound = [] { StartAmbientSound(); };
  calls.retakeSound = RetakeSound;
  calls.sceneResume = [](int reason) { SceneResume(reason); };
  calls.scenePause = [](int reason) { ScenePause(reason); };
  shell.layerCalls[LayerTable::kSceneLayer] = {SceneUpdate, SceneDraw, SceneStop};
  shell.layerCalls[LayerTable::kAmbientSoundLayer] = {AmbientSoundUpdate, nullptr, StopAmbientSound};
}

}  // namespace

void WireSubsystems() {
  shell.subsystemCalls.runSettingsDialog = RunSettingsDialog;
  WireVideo(shell.subsystemCalls);
  WireAudio(shell.subsystemCalls);
  WireScenes(shell.subsystemCalls);
}

}  // namespace sylvora
