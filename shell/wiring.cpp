#include "shell/wiring.h"

#include "audio/audio_system.h"
#include "audio/sound_library_openal.h"
#include "nature/ambient_sound.h"
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
#include "video/jpeg_turbojpeg.h"
#include "video/render_device_sdl.h"
#include "video/retained_render_device.h"
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
  std::unique_ptr<DisplayLayer> display =
      CreateSdlDisplayLayer(true, native ? DisplaySpan::AllDisplays : DisplaySpan::OneDisplay);
  if (native)
    display = CreateNativeDisplayLayer(std::move(display), CreateRetainedRenderDevice(CreateSdlRenderDevice()));
  shell.video = std::make_unique<VideoSystem>(shell.report.get(), std::move(display), CreateTurboJpegDecoder());
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
  return shell.video->Create(args);
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
  shell.audio = std::make_unique<AudioSystem>(shell.report.get(), MakeOpenAlSoundLibrary());
  if (shell.inDaemonWindow && SoundPlaysElsewhere()) {
    shell.report->AddMessage(1, MessageKind::Warning, "A0", "A0_Open", "sound output is used by another instance");
    shell.soundWaiting = 1;
    shell.lastSoundTry = TimeGetTime();
    return;
  }
  if (shell.audio->Create(window, 1, 0, directory) != 0) ReleaseSoundLock();
}

// The sound start-up would have given this copy, had the copy before it been gone by then.
bool RetakeSound() {
  if (!shell.audio || SoundPlaysElsewhere()) return true;
  if (shell.audio->Create(shell.window->Handle(), 1, 0, shell.resourcePath) != 0) {
    ReleaseSoundLock();
    return false;
  }
  shell.audio->SetVolumes(shell.options.sound_volume * 10, shell.options.music_volume * 10);
  if (shell.ambientSound) {
    shell.ambientSound->Load();
    shell.ambientSound->Start();
  }
  return false;
}

void CreateScenes() {
  const NatureContext context{shell.report.get(), shell.video.get(), shell.audio.get(), &shell.options,
                              &shell.layerTable};
  shell.scenes = std::make_unique<SceneManager>(context);
  shell.ambientSound = std::make_unique<AmbientSound>(context);
  shell.layerOwners[LayerTable::kSceneLayer] = shell.scenes.get();
  shell.layerOwners[LayerTable::kAmbientSoundLayer] = shell.ambientSound.get();
}

void StartFirstScene(int scene) {
  shell.scenes->lastSceneChange = TimeGetTime();
  shell.scenes->Start(scene);
}

void WireVideo(SubsystemCalls& calls) {
  calls.createVideo = CreateVideo;
  calls.queryDisplayMode = [](int& width, int& height, int& depth) {
    shell.video->QueryDisplayMode(width, height, depth);
  };
  calls.setGamma = [](int gamma) { shell.video->SetGamma(gamma); };
  calls.resumeVideo = [] { shell.video->Resume(); };
  calls.suspendVideo = [] { shell.video->Suspend(); };
  calls.present = [] { shell.video->Present(); };
  calls.drawFrameRate = [](int rate) { shell.frameRateCounter.Draw(*shell.video, rate); };
  calls.destroyVideo = [] { shell.frameRateCounter.Forget(); };
}

void WireAudio(SubsystemCalls& calls) {
  calls.createAudio = CreateAudio;
  calls.setVolumes = [](int samples, int music) { shell.audio->SetVolumes(samples, music); };
  calls.resumeAudioOutput = [] { shell.audio->ResumeOutput(); };
  calls.pauseAudioOutput = [] { shell.audio->PauseOutput(); };
}

void WireScenes(SubsystemCalls& calls) {
  calls.createScenes = CreateScenes;
  calls.loadSharedPictures = [] { shell.scenes->LoadSharedPictures(); };
  calls.loadAmbientSounds = [] { shell.ambientSound->Load(); };
  calls.startFirstScene = StartFirstScene;
  calls.startAmbientSound = [] { shell.ambientSound->Start(); };
  calls.retakeSound = RetakeSound;
  calls.sceneResume = [](int reason) { shell.scenes->Resume(reason); };
  calls.scenePause = [](int reason) { shell.scenes->Pause(reason); };
}

}  // namespace

void WireSubsystems() {
  shell.subsystemCalls.runSettingsDialog = RunSettingsDialog;
  WireVideo(shell.subsystemCalls);
  WireAudio(shell.subsystemCalls);
  WireScenes(shell.subsystemCalls);
}

}  // namespace sylvora
