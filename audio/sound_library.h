#pragma once
// The sound-library operations the audio subsystem needs from the platform: output set-up with an
// optional 3D listener, samples decoded from a file range, plain and 3D playback with up to a fixed number
// of simultaneous playbacks per sample, global volumes, pause and start. The real library is OpenAL Soft
// with libvorbisfile (sound_library_openal); tests use an in-memory double with fault injection. Every
// call is made by AudioSystem only.
#include <cstdint>
#include <span>
#include <string>

#include "platform/native_window.h"

namespace sylvora {

// The identity every implementation of this interface reports from Identity(); AudioSystem refuses a
// library that answers anything else (it was built against another revision of these operations).
inline constexpr uint32_t kSoundLibraryIdentity = 0x70001;

// Codes ErrorCode() returns after a failed call. The numbers are this interface's own; only kNo3D has a
// meaning to AudioSystem (Create falls back to plain output), the rest are printed in its warnings.
enum SoundLibraryError : int {
  kSoundOk = 0,
  kSoundOutOfMemory = 1,       // no room for another sample or its decoded data
  kSoundFileOpen = 2,          // the file could not be opened or read
  kSoundNoDevice = 3,          // no output device could be opened
  kSoundBadHandle = 5,         // the sample handle names no loaded sample
  kSoundUnsupported = 6,       // a valid stream in a format the output cannot take (channels, rate, size)
  kSoundRangePastFile = 7,     // offset and length run past the end of the file
  kSoundNotInitialised = 8,    // Init has not succeeded
  kSoundStartFailed = 9,       // the output could not be started
  kSoundAlreadyInitialised = 14,
  kSoundNoPlayback = 18,       // every playback of the sample is busy and its flags allow no replacement
  kSoundIllegalParameter = 20,
  kSoundNo3D = 21,             // the output cannot position sounds in 3D
  kSoundContextFailed = 22,    // the device opened but playback could not be set up on it
  kSoundNotOggVorbis = 41,     // the bytes are not a valid Ogg Vorbis stream
};

// Sample flags given to SampleLoad and kept in SampleInfo::flags.
inline constexpr uint32_t kSampleLoop = 0x4;           // playbacks loop unless the play call says otherwise
inline constexpr uint32_t kSample3D = 0x8;             // positioned in 3D (stereo data is mixed down to mono)
inline constexpr uint32_t kSampleOverPosition = 0x20000;  // all playbacks busy: replace the one playing longest
inline constexpr uint32_t kSampleOverDistance = 0x30000;  // all busy: replace the one furthest from the listener
// The bits of flags that choose the replacement rule; with neither rule a play fails while all are busy.
inline constexpr uint32_t kSampleOverMask = 0x30000;

// 3D modes of a sample (SampleInfo::mode3D).
inline constexpr int k3DModeNormal = 0;  // positioned relative to the listener at the origin
inline constexpr int k3DModeOff = 2;     // played as a plain sound: volume and pan only

// 3D rendering choices for Set3DAlgorithm (AudioSystem passes its stored choice + 1).
inline constexpr int k3DAlgorithmOff = 1;    // plain stereo panning
inline constexpr int k3DAlgorithmFull = 2;   // the best rendering the output offers (HRTF where available)
inline constexpr int k3DAlgorithmLight = 3;  // the library's default rendering

// A point or direction in the library's left-handed space: +x right, +y up, +z ahead of the listener.
struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// A sample's default attributes, read by SampleGetInfo and written back by SampleSetInfo.
struct SampleInfo {
  int frequency = 0;          // default playback rate in Hz; the decoded data's own rate after loading
  int volume = 100;           // default volume 0..100
  int pan = 0;                // default pan -100 (left) .. 100 (right)
  uint32_t flags = 0;         // the kSample* flags given to SampleLoad
  uint32_t length = 0;        // decoded data length in bytes (16-bit samples, all channels)
  int channels = 0;           // channels of the decoded data as played (1 for a 3D sample)
  int maxPlaybacks = 0;       // simultaneous playbacks, as given to SampleLoad
  int mode3D = k3DModeNormal; // k3DModeNormal or k3DModeOff
  float minDistance = 1.0f;   // full volume inside this distance
  float maxDistance = 10000.0f;  // no further attenuation beyond this distance
};

// A sample's bytes: offset..offset+length of path (length 0: to the end of the file).
struct SampleRange {
  std::string path;
  uint32_t offset = 0;
  uint32_t length = 0;
};

class SoundLibrary {
 public:
  virtual ~SoundLibrary() = default;

  // kSoundLibraryIdentity for a library that offers these operations as described here.
  virtual uint32_t Identity() = 0;
  // Opens the default output at frequency Hz, stereo, 16 bits; with3D asks for 3D positioning. false on
  // failure, with ErrorCode() set (kSoundNo3D when only the 3D part is missing).
  virtual bool Init(int frequency, bool with3D, NativeWindow* window) = 0;
  // The code of the last failed call.
  virtual int ErrorCode() = 0;
  // The library's own words for the adapter's last failure, once: empty when it gave none or it was
  // already taken. The subsystem records it on a line after its own message about that failure.
  virtual std::string TakeFailureReason() = 0;
  // Chooses the 3D rendering: k3DAlgorithmOff, k3DAlgorithmFull or k3DAlgorithmLight.
  virtual void Set3DAlgorithm(int algorithm) = 0;
  // Places the listener; a null argument leaves that property as it is. Takes effect at Apply3D.
  virtual void Set3DPosition(const Vector3* position, const Vector3* velocity, const Vector3* front,
                             const Vector3* top) = 0;
  // Metres per distance unit, distance roll-off and Doppler strength. Takes effect at Apply3D.
  virtual void Set3DFactors(float distance, float rollOff, float doppler) = 0;
  // Environmental reverb; -1 (or a negative float) leaves a parameter as it is, a mix of 0 means none.
  virtual void SetReverb(int environment, float mix, float decay, float damping) = 0;
  // Applies the listener and factor changes made since the last call.
  virtual void Apply3D() = 0;
  // Starts or resumes the output. false on failure.
  virtual bool Start() = 0;
  // Pauses the whole output; Start continues every playback where it stopped.
  virtual void Pause() = 0;
  // Stops every playback.
  virtual void Stop() = 0;
  // Releases every sample and the output.
  virtual void Free() = 0;
  // Decodes the Ogg Vorbis bytes at offset..offset+length of path (length 0: to the end of the file) into
  // a sample that can play maxPlaybacks times at once. The sample handle, or 0 on failure.
  virtual uint32_t SampleLoad(const std::string& path, uint32_t offset, uint32_t length, int maxPlaybacks,
                              uint32_t flags) = 0;
  // Names a sample SampleLoad will soon be asked for, by the same path and range: the library may decode
  // it meanwhile, on a thread of its own. Nothing else shows: a sample named and never loaded is dropped
  // at the next call, and SampleLoad reports every failure as before.
  virtual void ExpectSamples(std::span<const SampleRange> samples) = 0;
  // Reads and writes a sample's default attributes. false on failure.
  virtual bool SampleGetInfo(uint32_t sample, SampleInfo& info) = 0;
  virtual bool SampleSetInfo(uint32_t sample, const SampleInfo& info) = 0;
  // Plays a sample plainly from start (bytes). frequency -1, volume -1 and pan -101 use the sample's
  // defaults; loop 1 loops, 0 plays once, -1 follows the sample's kSampleLoop flag. The playback's channel,
  // or 0 when none could be had.
  virtual uint32_t SamplePlayEx(uint32_t sample, uint32_t start, int frequency, int volume, int pan,
                                int loop) = 0;
  // Plays a 3D sample at position; null orientation and velocity mean none. The channel, or 0.
  virtual uint32_t SamplePlay3D(uint32_t sample, const Vector3& position, const Vector3* orientation,
                                const Vector3* velocity) = 0;
  // Global volumes 0..100 of music, samples and streams; -1 leaves one as it is.
  virtual void SetGlobalVolumes(int music, int sample, int stream) = 0;
};

}  // namespace sylvora
