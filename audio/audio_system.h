#pragma once
// The system's one sound object (module "KALDRA.AUDIO"): the sound output, the table of sounds and their
// plain and 3D playback, the global volumes, and pausing and resuming all output. The shell creates it,
// brings it up with Create and sets its volumes; the scene asset tables load the ambient sounds through
// CreateSound; the ambient sound plays them; activation changes pause and resume it.
//
// An audio system that fails to start never stops the program: it reports a warning, switches itself off
// and from then on accepts every call without sound. Its results are 0 for success and 1 for failure.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "archive/resource_index.h"
#include "audio/sound_library.h"
#include "platform/native_window.h"
#include "report/report.h"

namespace sylvora {

// Given as a volume, pan or frequency to PlaySoundEx, or as a volume to SetVolumes: leave it unchanged.
inline constexpr int KeepCurrent = -20000;

// What CreateSound loads a sound as.
enum SoundKind : int32_t { kPlainSound = 0, k3DSound = 1 };

// One entry of the sound table; a sound's number is its index.
struct SoundSlot {
  int32_t loaded = 0;   // 1 when the slot holds a usable sample
  uint32_t sample = 0;  // the library's sample handle
  int32_t is3D = 0;     // 1 for a sound loaded as 3D
};

class AudioSystem {
 public:
  static constexpr int kSoundCapacity = 1000;
  // Output format asked of the library: the default device at this rate, stereo, 16 bits.
  static constexpr int kOutputFrequency = 22050;
  // How many times one sample may play at once.
  static constexpr int kPlaybacksPerSample = 3;

  // report is kept, never freed; library is the platform's sound library (OpenAL Soft in the program, a
  // double in tests). The object starts off with the initial volumes and distances.
  AudioSystem(Report* report, std::unique_ptr<SoundLibrary> library);
  // When on: stops and frees the output.
  ~AudioSystem();
  AudioSystem(const AudioSystem&) = delete;
  AudioSystem& operator=(const AudioSystem&) = delete;

  // Opens the output, with 3D when it is available, and in archive mode reads the sound entries of
  // data.nrx. The shell calls it once with (main window, 1, 0, resource path). 0 on, 1 off.
  int Create(NativeWindow* window, int32_t useArchive, int32_t algorithm3D, const std::string& resourcePath);
  // Reads the sound entries of resourcePath + "data.nrx" through the shared index reader; only Create
  // calls it. 0 or 1.
  int LoadResHeader();
  // Hands out the next sound number in index and loads the named sound as kind (kPlainSound or k3DSound)
  // from data.nrx or from "sounds\" + name + ".ogg". 0 loaded, 1 not loaded; index stays valid either way.
  int CreateSound(const std::string& name, int32_t kind, int32_t& index);
  // The ambient sound names the sounds it is about to load, in the order it will: the library decodes
  // them meanwhile (SoundLibrary::ExpectSamples), without a word. Nothing while sound is off.
  void ExpectSounds(std::span<const std::string> names);
  // Plays a plain sound: volume 0..100, pan -100..100, frequency in Hz, each KeepCurrent for the sound's
  // default; loop 1 loops. enable 0 does nothing and succeeds. 0 or 1.
  int PlaySoundEx(int32_t index, int32_t volume, int32_t pan, int32_t frequency, int32_t loop, int32_t enable);
  // Plays a 3D sound at (x, y, z) metres from the listener at the origin. enable 0 does nothing. 0 or 1.
  int PlaySound3D(int32_t index, float x, float y, float z, int32_t enable);
  // Sets the global sound and music volumes, clamped to 0..100; KeepCurrent keeps one. Always 0.
  int SetVolumes(int32_t sampleVolume, int32_t musicVolume);
  // Pause and resume all output while the program is inactive.
  void PauseOutput();
  void ResumeOutput();

  // Whether CreateSound would find the named sound, in the archive's sound entries or as a loose file;
  // asks without a word. The ambient sound looks for the songs' optional renditions with it.
  bool HasSound(const std::string& name) const;

  // ---- Read access for the shell and for tests ----
  int32_t Enabled() const { return enabled_; }
  int32_t ThreeD() const { return threeD_; }
  int32_t Algorithm3D() const { return algorithm3D_; }
  int32_t SampleVolume() const { return sampleVolume_; }
  int32_t MusicVolume() const { return musicVolume_; }
  int32_t DefaultPan() const { return defaultPan_; }
  float MinDistance3D() const { return minDistance3D_; }
  float MaxDistance3D() const { return maxDistance3D_; }
  int32_t UseArchive() const { return useArchive_; }
  int32_t SoundCount() const { return soundCount_; }
  const SoundSlot& Sound(int index) const { return sounds_[index]; }
  int32_t ArchiveCount() const { return archiveSounds_->Count(); }
  const std::string& ResourcePath() const { return resourcePath_; }
  NativeWindow* Window() const { return window_; }

 private:
  // Reports a failed library call and switches the object off. Always 1.
  int FailCreate(const std::string& text);
  // The loose file of the named sound, in the installation's sounds folder.
  std::string LooseSoundPath(const std::string& name) const { return resourcePath_ + "sounds\\" + name + ".ogg"; }
  // Where the named sound's bytes are: the archive entry's range, or the whole loose file. False when the
  // archive has no such entry.
  bool FindSample(const std::string& name, SampleRange& range) const;
  // Loads a sample for CreateSound from the archive or the loose file; 0 when it failed (reported).
  uint32_t LoadSample(const std::string& name, uint32_t flags);
  // Reports a CreateSound failure with the ". Sound <name> was not loaded" suffix. Always 1.
  int FailSound(const std::string& text, const std::string& name);
  // Reports "sound number (index) is incorrect" under function and returns 1 when index is not handed out.
  bool IsBadNumber(int32_t index, const char* function);
  // Adds a message under module "KALDRA.AUDIO".
  void Say(int always, MessageKind kind, const char* function, const std::string& text);

  Report* report_;
  std::unique_ptr<SoundLibrary> library_;
  NativeWindow* window_ = nullptr;
  std::string resourcePath_;
  int32_t enabled_ = 0;
  int32_t threeD_ = 0;
  int32_t algorithm3D_ = 0;
  int32_t sampleVolume_ = 100;
  int32_t musicVolume_ = 100;
  int32_t defaultPan_ = 0;
  float minDistance3D_ = 5.0f;
  float maxDistance3D_ = 70.0f;
  int32_t useArchive_ = 0;
  int32_t soundCount_ = 0;
  std::array<SoundSlot, kSoundCapacity> sounds_{};
  // The archive's sound entries (types 2 to 6); its count is archiveCount.
  std::unique_ptr<ArchiveTable> archiveSounds_;
};

}  // namespace sylvora
