#pragma once
// The sound library on OpenAL Soft, with samples decoded from Ogg Vorbis by libvorbisfile.
//
// Each sample is one OpenAL buffer with up to three sources of its own, created when the sample is loaded,
// so playing never allocates. A plain sample longer than the stream threshold is instead played from its
// compressed bytes, a few buffers ahead of the mixer (sound_stream_openal.h): it loads without being
// decoded and is never held decoded whole. 3D placement uses the inverse-distance-clamped model
// (reference distance = the sample's minimum distance) around a listener at the origin; the interface's
// space is left-handed (+z ahead), OpenAL's right-handed (-z ahead), so z is negated on the way in. The
// global sample volume is the listener's gain, which scales every source.
//
// The library makes its context the process's current OpenAL context when it opens the output, so one
// instance plays at a time (the program has exactly one).
#include <cstdint>
#include <memory>

#include "audio/sound_library.h"

namespace sylvora {

class OpenAlSoundLibrary final : public SoundLibrary {
 public:
  // Most samples loaded at once, and most playbacks of one sample.
  static constexpr int kSampleCapacity = 1000;
  // Most samples decoded ahead at once: the ambience and every rendition of every song.
  static constexpr int kMaxSamplesAhead = 64;
  static constexpr int kMaxPlaybacks = 3;
  // Decoded sizes above which a plain sample streams: the ambience (16 MB), not a song (under 300 KB).
  static constexpr uint32_t kStreamAboveBytes = 2u << 20;

  // Where the output goes: the default playback device (the program) or OpenAL Soft's loopback device,
  // which mixes only when Render asks for it (tests measure the signal that way).
  enum class Output { DefaultDevice, Loopback };

  // streamAboveBytes: tests lower it to stream short sounds.
  explicit OpenAlSoundLibrary(Output output = Output::DefaultDevice, uint32_t streamAboveBytes = kStreamAboveBytes);
  // Frees whatever is still open.
  ~OpenAlSoundLibrary() override;
  OpenAlSoundLibrary(const OpenAlSoundLibrary&) = delete;
  OpenAlSoundLibrary& operator=(const OpenAlSoundLibrary&) = delete;

  uint32_t Identity() override;
  bool Init(int frequency, bool with3D, NativeWindow* window) override;
  int ErrorCode() override;
  std::string TakeFailureReason() override;
  void Set3DAlgorithm(int algorithm) override;
  void Set3DPosition(const Vector3* position, const Vector3* velocity, const Vector3* front,
                     const Vector3* top) override;
  void Set3DFactors(float distance, float rollOff, float doppler) override;
  void SetReverb(int environment, float mix, float decay, float damping) override;
  void Apply3D() override;
  bool Start() override;
  void Pause() override;
  void Stop() override;
  void Free() override;
  uint32_t SampleLoad(const std::string& path, uint32_t offset, uint32_t length, int maxPlaybacks,
                      uint32_t flags) override;
  void ExpectSamples(std::span<const SampleRange> samples) override;
  bool SampleGetInfo(uint32_t sample, SampleInfo& info) override;
  bool SampleSetInfo(uint32_t sample, const SampleInfo& info) override;
  uint32_t SamplePlayEx(uint32_t sample, uint32_t start, int frequency, int volume, int pan, int loop) override;
  uint32_t SamplePlay3D(uint32_t sample, const Vector3& position, const Vector3* orientation,
                        const Vector3* velocity) override;
  void SetGlobalVolumes(int music, int sample, int stream) override;

  // Loopback output only: mixes frames stereo frames of signed 16-bit samples into out. While paused the
  // mixer does not run: out is silence and no playback moves on.
  void Render(int16_t* out, int frames);
  // Whether Pause has stopped the output (and Start not yet resumed it).
  bool IsPaused() const;
  // The rendering actually in use: true when OpenAL Soft mixes through an HRTF.
  bool UsesHrtf() const;
  // Frames played so far by the playback a play call returned; -1 for a channel that does not exist.
  int64_t ChannelPosition(uint32_t channel) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The sound library the program uses: OpenAL Soft on the default output device.
std::unique_ptr<SoundLibrary> MakeOpenAlSoundLibrary();

}  // namespace sylvora
