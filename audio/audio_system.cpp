#include "audio/audio_system.h"

#include <algorithm>
#include <vector>

#include "platform/files.h"

namespace sylvora {

namespace {

constexpr const char* kModule = "KALDRA.AUDIO";

// What the library takes for "the sample's own default" in place of KeepCurrent.
constexpr int kLibraryDefaultVolume = -1;
constexpr int kLibraryDefaultPan = -101;
constexpr int kLibraryDefaultFrequency = -1;
// "Leave this global volume as it is" for SetGlobalVolumes.
constexpr int kLibraryUnchangedVolume = -1;

// Load flags: plain sounds replace their longest-playing playback when all are busy, 3D sounds the one
// furthest from the listener.
constexpr uint32_t kPlainLoadFlags = kSampleOverPosition;
constexpr uint32_t k3DLoadFlags = kSample3D | kSampleOverDistance;

// A volume clamped to 0..100, or the library's "unchanged" for KeepCurrent (stored is then left alone).
int ApplyVolume(int32_t requested, int32_t& stored) {
  if (requested == KeepCurrent) return kLibraryUnchangedVolume;
  stored = std::clamp(requested, 0, 100);
  return stored;
}

}  // namespace

AudioSystem::AudioSystem(Report* report, std::unique_ptr<SoundLibrary> library)
    : report_(report), library_(std::move(library)), archiveSounds_(std::make_unique<ArchiveTable>()) {}

AudioSystem::~AudioSystem() {
  if (enabled_) {
    library_->Stop();
    library_->Free();
  }
}

int AudioSystem::Create(NativeWindow* window, int32_t useArchive, int32_t algorithm3D,
                        const std::string& resourcePath) {
  window_ = window;
  resourcePath_ = resourcePath;
  enabled_ = 1;
  threeD_ = 1;

  if (library_->Identity() != kSoundLibraryIdentity) {
    return FailCreate("BASS version 1.7 was not loaded. Incorrect BASS.DLL");
  }
  if (!library_->Init(kOutputFrequency, true, window)) {
    const int code = library_->ErrorCode();
    if (code != kSoundNo3D) return FailCreate("BASS was not initialized, BASS errorcode is " + std::to_string(code));
    threeD_ = 0;
    Say(1, MessageKind::Warning, "Create", "sound3D was not supported");
    if (!library_->Init(kOutputFrequency, false, window)) {
      return FailCreate("BASS was not initialized, BASS errorcode is " + std::to_string(library_->ErrorCode()));
    }
  }

  if (threeD_) {
    if (algorithm3D >= 0 && algorithm3D <= 2) algorithm3D_ = algorithm3D;
    library_->Set3DAlgorithm(algorithm3D_ + 1);
    const Vector3 origin;
    library_->Set3DPosition(&origin, nullptr, nullptr, nullptr);
    library_->Set3DFactors(1.0f, 1.0f, 0.0f);
    library_->SetReverb(-1, 0.0f, -1.0f, -1.0f);
    library_->Apply3D();
  }

  if (!library_->Start()) {
    library_->Free();
    return FailCreate("digital output was not started");
  }
  SetVolumes(sampleVolume_, musicVolume_);
  Say(1, MessageKind::Report, "Create",
      "sound system was successfully initialized - default device, 22050hz, stereo, 16 bits");

  useArchive_ = (useArchive == 0 || useArchive == 1) ? useArchive : 0;
  if (useArchive_ == 1 && LoadResHeader() != 0) {
    enabled_ = 0;
    return 1;
  }
  return 0;
}

int AudioSystem::FailCreate(const std::string& text) {
  enabled_ = 0;
  Say(1, MessageKind::Warning, "Create", text);
  return 1;
}

int AudioSystem::LoadResHeader() {
  return archiveSounds_->Load(*report_, resourcePath_, kSoundArchive) == 0 ? 0 : 1;
}

int AudioSystem::CreateSound(const std::string& name, int32_t kind, int32_t& index) {
  if (soundCount_ == kSoundCapacity) {
    index = kSoundCapacity - 1;
    sounds_[index].loaded = 0;
    return FailSound("sounds maximum is reached", name);
  }
  index = soundCount_++;
  SoundSlot& slot = sounds_[index];
  slot = SoundSlot{};
  if (!enabled_) return 1;

  report_->RestoreWorkingDirectory();
  const bool is3D = kind == k3DSound;
  const uint32_t sample = LoadSample(name, is3D ? k3DLoadFlags : kPlainLoadFlags);
  if (sample == 0) return 1;

  SampleInfo info;
  if (!library_->SampleGetInfo(sample, info)) {
    return FailSound("BASS_SampleGetInfo was failed, BASS errorcode is " + std::to_string(library_->ErrorCode()),
                     name);
  }
  info.pan = defaultPan_;
  if (is3D) {
    info.mode3D = k3DModeNormal;
    info.minDistance = minDistance3D_;
    info.maxDistance = maxDistance3D_;
  } else {
    info.mode3D = k3DModeOff;
  }
  if (!library_->SampleSetInfo(sample, info)) {
    return FailSound("BASS_SampleSetInfo was failed, BASS errorcode is " + std::to_string(library_->ErrorCode()),
                     name);
  }

  slot.loaded = 1;
  slot.sample = sample;
  slot.is3D = is3D ? 1 : 0;
  Say(0, MessageKind::Report, "CreateSound",
      std::string(is3D ? "3DSound <" : "sound <") + name + "> was successfully loaded" + " [" +
          std::to_string(index) + "]");
  return 0;
}

bool AudioSystem::HasSound(const std::string& name) const {
  int entry = 0;
  if (useArchive_ == 1) return archiveSounds_->Find(name, entry) == 0;
  return Files().IsFile(LooseSoundPath(name));
}

void AudioSystem::ExpectSounds(std::span<const std::string> names) {
  if (!enabled_) return;
  std::vector<SampleRange> ranges;
  for (const std::string& name : names) {
    SampleRange range;
    if (FindSample(name, range)) ranges.push_back(std::move(range));
  }
  report_->RestoreWorkingDirectory();
  library_->ExpectSamples(ranges);
}

bool AudioSystem::FindSample(const std::string& name, SampleRange& range) const {
  range = SampleRange{LooseSoundPath(name), 0, 0};
  if (useArchive_ != 1) return true;
  int entry = 0;
  if (archiveSounds_->Find(name, entry) != 0) return false;
  const ArchiveEntry& found = archiveSounds_->Entry(entry);
  range = SampleRange{resourcePath_ + found.fileName, found.offset, found.length};
  return true;
}

uint32_t AudioSystem::LoadSample(const std::string& name, uint32_t flags) {
  SampleRange range;
  if (!FindSample(name, range)) {
    FailSound("sound was not found in the res file", name);
    return 0;
  }
  const uint32_t sample = library_->SampleLoad(range.path, range.offset, range.length, kPlaybacksPerSample, flags);
  if (sample == 0) {
    FailSound("BASS_SampleLoad was failed, BASS errorcode is " + std::to_string(library_->ErrorCode()), name);
  }
  return sample;
}

int AudioSystem::FailSound(const std::string& text, const std::string& name) {
  Say(1, MessageKind::Warning, "CreateSound", text + ". Sound <" + name + "> was not loaded");
  return 1;
}

int AudioSystem::PlaySoundEx(int32_t index, int32_t volume, int32_t pan, int32_t frequency, int32_t loop,
                             int32_t enable) {
  if (enable == 0) return 0;
  if (IsBadNumber(index, "PlaySoundEx")) return 1;
  const SoundSlot& slot = sounds_[index];
  if (!enabled_ || !slot.loaded || slot.is3D) return 1;
  library_->SamplePlayEx(slot.sample, 0, frequency == KeepCurrent ? kLibraryDefaultFrequency : frequency,
                         volume == KeepCurrent ? kLibraryDefaultVolume : volume,
                         pan == KeepCurrent ? kLibraryDefaultPan : pan, loop);
  return 0;
}

int AudioSystem::PlaySound3D(int32_t index, float x, float y, float z, int32_t enable) {
  if (enable == 0) return 0;
  if (IsBadNumber(index, "PlaySound3D")) return 1;
  const SoundSlot& slot = sounds_[index];
  if (!enabled_ || !slot.loaded || !slot.is3D) return 1;
  library_->SamplePlay3D(slot.sample, Vector3{x, y, z}, nullptr, nullptr);
  return 0;
}

bool AudioSystem::IsBadNumber(int32_t index, const char* function) {
  if (index >= 0 && index < soundCount_) return false;
  Say(1, MessageKind::Warning, function, "sound number (" + std::to_string(index) + ") is incorrect");
  return true;
}

int AudioSystem::SetVolumes(int32_t sampleVolume, int32_t musicVolume) {
  const int sample = ApplyVolume(sampleVolume, sampleVolume_);
  const int music = ApplyVolume(musicVolume, musicVolume_);
  library_->SetGlobalVolumes(music, sample, kLibraryUnchangedVolume);
  return 0;
}

void AudioSystem::PauseOutput() {
  if (enabled_) library_->Pause();
}

void AudioSystem::ResumeOutput() {
  if (enabled_) library_->Start();
}

void AudioSystem::Say(int always, MessageKind kind, const char* function, const std::string& text) {
  report_->AddMessage(always, kind, kModule, function, text);
  if (kind == MessageKind::Report) return;
  // The library's own reason follows as a warning of its own, so the last error stays the message above.
  const std::string reason = library_->TakeFailureReason();
  if (!reason.empty()) report_->AddMessage(1, MessageKind::Warning, kModule, function, "reason: " + reason);
}

}  // namespace sylvora
