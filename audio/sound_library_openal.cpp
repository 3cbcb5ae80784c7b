#include "audio/sound_library_openal.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <numbers>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio/ogg_decoder_vorbis.h"
#include "audio/sound_stream_openal.h"
#include "platform/ahead_worker.h"
#include "platform/files.h"

namespace sylvora {

namespace {

// The largest compressed range read into memory for one sample.
constexpr uint32_t kMaxEncodedBytes = 64u << 20;
// Playback rates a play call may ask for, in Hz.
constexpr int kMinFrequency = 100;
constexpr int kMaxFrequency = 100000;
// Speed of sound in metres per second, scaled by the distance factor into the caller's units.
constexpr float kSpeedOfSound = 343.3f;
// Where a stereo sample's two channels sit when not panned: OpenAL Soft's default, 30 degrees each side
// (angles count counter-clockwise from straight ahead, so positive is left).
constexpr float kStereoAngle = std::numbers::pi_v<float> / 6.0f;
constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2.0f;
// How often the feeder refills the streamed playbacks of the device output: a small part of the second
// and a half each has queued.
constexpr std::chrono::milliseconds kFeedInterval{50};
// Frames the loopback output mixes between two refills: well inside one streamed buffer.
constexpr int kRenderFramesPerRefill = static_cast<int>(StreamedSound::kBufferFrames / 4);

// One playback of a sample: its source and what the replacement rules compare.
struct Playback {
  ALuint source = 0;
  uint64_t startOrder = 0;  // when it was last started; the smallest has played longest
  Vector3 position;         // where it was last placed (the listener's space); plain playbacks stay at 0
};

// One loaded sample: its decoded data in an OpenAL buffer, or its stream, and its own sources.
struct Sample {
  bool used = false;
  ALuint buffer = 0;
  std::unique_ptr<StreamedSound> stream;  // set for a sample played from its compressed bytes
  int rate = 0;  // the decoded data's own rate; pitch = playback frequency / rate
  SampleInfo info;
  std::array<Playback, OpenAlSoundLibrary::kMaxPlaybacks> playbacks{};
};

// The OpenAL format of decoded 16-bit data.
ALenum FormatOf(int channels) { return channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16; }

// Channel handles name a sample and one of its playbacks; 0 is no channel.
uint32_t ChannelHandle(int sampleIndex, int playback) {
  return static_cast<uint32_t>(sampleIndex + 1) * OpenAlSoundLibrary::kMaxPlaybacks + static_cast<uint32_t>(playback);
}

float DistanceBetween(const Vector3& a, const Vector3& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

}  // namespace

// A sample named by ExpectSamples, its bytes read at once and decoded on the worker (or kept undecoded,
// where it is worth streaming), until SampleLoad takes it or the next ExpectSamples drops it.
struct AheadSample final : AheadJob {
  SampleRange range;  // an empty path: the slot is free
  uint32_t streamAboveBytes = 0;
  std::vector<uint8_t> bytes;
  int result = kSoundOk;
  DecodedSound sound;

  void Run() override {
    result = kSoundOk;
    if (StreamedSound::WorthStreaming(bytes, streamAboveBytes)) return;
    result = DecodeOggVorbis(bytes.data(), bytes.size(), sound);
    bytes = {};
  }
  bool Names(const std::string& path, uint32_t offset, uint32_t length) const {
    return !range.path.empty() && range.path == path && range.offset == offset && range.length == length;
  }
};

struct OpenAlSoundLibrary::State {
  Output output;
  uint32_t streamAboveBytes;
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  int frequency = 0;
  int error = kSoundOk;
  std::string reason;  // the libraries' own words for the last failure, until taken
  bool paused = false;
  int algorithm = k3DAlgorithmLight;
  float rollOff = 1.0f;
  Vector3 listener;
  int sampleVolume = 100;
  uint64_t playCount = 0;
  std::array<Sample, kSampleCapacity> samples{};
  std::array<AheadSample, kMaxSamplesAhead> ahead;
  // Held by whoever touches a streamed playback (or a sample's stream pointer): the main thread's calls
  // and the feeder, which refills them on the device output every kFeedInterval.
  std::mutex streamLock;
  std::condition_variable feederWake;
  bool feederStopping = false;
  std::thread feeder;
  // Last, so that it stops before the slots its jobs use are gone.
  AheadWorker aheadWorker{AheadWorker::Order::NewestFirst};

  State(Output chosen, uint32_t streamAbove) : output(chosen), streamAboveBytes(streamAbove) {}

  // Refills every streamed playback; the caller holds streamLock.
  void RefillStreams() {
    for (Sample& sample : samples) {
      if (!sample.stream) continue;
      for (int i = 0; i < sample.info.maxPlaybacks; ++i) sample.stream->Refill(i, sample.playbacks[i].source);
    }
  }
  // The device output mixes on its own clock: a thread refills its streams. The loopback output's
  // Render refills them itself.
  void StartFeeder() {
    if (output != Output::DefaultDevice || feeder.joinable()) return;
    feeder = std::thread([this] {
      std::unique_lock<std::mutex> held(streamLock);
      while (!feederWake.wait_for(held, kFeedInterval, [this] { return feederStopping; })) RefillStreams();
    });
  }
  void StopFeeder() {
    if (!feeder.joinable()) return;
    {
      const std::lock_guard<std::mutex> held(streamLock);
      feederStopping = true;
    }
    feederWake.notify_all();
    feeder.join();
    feederStopping = false;
  }

  // Frees every slot of ahead, taking its job back from the worker first.
  void DropAhead() {
    for (AheadSample& slot : ahead) {
      if (slot.range.path.empty()) continue;
      aheadWorker.Claim(slot);
      slot.range = SampleRange{};
      slot.bytes = {};
      slot.sound = DecodedSound{};
    }
  }

  // Moves the sound decoded ahead for that range into sound, or the bytes of one worth streaming into
  // bytes. The worker decodes the last named first, so the loader, taking them in the order it named
  // them, decodes one the worker has not reached itself: both work until they meet. False when it was
  // not named or its decode failed: SampleLoad then reads and decodes it again and reports the failure
  // with the library's words.
  bool TakeAhead(const std::string& path, uint32_t offset, uint32_t length, DecodedSound& sound,
                 std::vector<uint8_t>& bytes) {
    const auto slot = std::find_if(ahead.begin(), ahead.end(),
                                   [&](const AheadSample& each) { return each.Names(path, offset, length); });
    if (slot == ahead.end()) return false;
    if (!aheadWorker.Claim(*slot)) slot->Run();
    const bool taken = slot->result == kSoundOk;
    if (taken) {
      sound = std::move(slot->sound);
      bytes = std::move(slot->bytes);
    }
    slot->range = SampleRange{};
    slot->bytes = {};
    slot->sound = DecodedSound{};
    return taken;
  }

  bool Fail(int code) {
    error = code;
    return false;
  }
  uint32_t FailHandle(int code) {
    error = code;
    return 0;
  }

  Sample* Find(uint32_t handle) {
    if (handle == 0 || handle > static_cast<uint32_t>(kSampleCapacity) || !samples[handle - 1].used) {
      error = kSoundBadHandle;
      return nullptr;
    }
    return &samples[handle - 1];
  }

  // Device attributes: the rate, enough sources for every sample's playbacks, the HRTF request of the
  // chosen 3D rendering, and for the loopback device the stereo 16-bit format it renders.
  std::vector<ALCint> Attributes() const {
    std::vector<ALCint> attributes{ALC_FREQUENCY, frequency, ALC_MONO_SOURCES, kSampleCapacity * kMaxPlaybacks,
                                   ALC_STEREO_SOURCES, 0};
    if (alcIsExtensionPresent(device, "ALC_SOFT_HRTF")) {
      const ALCint hrtf = algorithm == k3DAlgorithmOff    ? ALC_FALSE
                          : algorithm == k3DAlgorithmFull ? ALC_TRUE
                                                          : ALC_DONT_CARE_SOFT;
      attributes.insert(attributes.end(), {ALC_HRTF_SOFT, hrtf});
    }
    if (output == Output::Loopback) {
      attributes.insert(attributes.end(),
                        {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT});
    }
    attributes.push_back(0);
    return attributes;
  }

  // Reads the file range into bytes. kSoundOk or the failure's code.
  static int ReadRange(const std::string& path, uint32_t offset, uint32_t length, std::vector<uint8_t>& bytes) {
    auto file = Files().OpenForReading(path);
    if (!file) return kSoundFileOpen;
    const uint64_t size = file->Size();
    if (offset > size) return kSoundRangePastFile;
    const uint64_t wanted = length == 0 ? size - offset : length;
    if (wanted > size - offset) return kSoundRangePastFile;
    if (wanted > kMaxEncodedBytes) return kSoundUnsupported;
    if (!file->Seek(offset)) return kSoundFileOpen;
    bytes.resize(static_cast<size_t>(wanted));
    size_t done = 0;
    while (done < bytes.size()) {
      const size_t got = file->Read(bytes.data() + done, bytes.size() - done);
      if (got == 0) return kSoundFileOpen;
      done += got;
    }
    return kSoundOk;
  }

  // The playback a new play of sample takes: a silent one, else the one its replacement rule names.
  int ChoosePlayback(Sample& sample) {
    const int count = sample.info.maxPlaybacks;
    for (int i = 0; i < count; ++i) {
      ALint state = AL_STOPPED;
      alGetSourcei(sample.playbacks[i].source, AL_SOURCE_STATE, &state);
      if (state != AL_PLAYING && state != AL_PAUSED) return i;
    }
    const uint32_t rule = sample.info.flags & kSampleOverMask;
    if (rule != kSampleOverDistance && rule != kSampleOverPosition) return -1;
    int chosen = 0;
    for (int i = 1; i < count; ++i) {
      const Playback& candidate = sample.playbacks[i];
      const Playback& best = sample.playbacks[chosen];
      const bool better = rule == kSampleOverDistance
                              ? DistanceBetween(candidate.position, listener) > DistanceBetween(best.position, listener)
                              : candidate.startOrder < best.startOrder;
      if (better) chosen = i;
    }
    alSourceStop(sample.playbacks[chosen].source);
    return chosen;
  }

  // Places a playback beside the listener by pan -100..100: a mono source on a half circle in front, a
  // stereo source by turning both channel angles towards the side.
  static void PlacePlain(ALuint source, int channels, int pan) {
    const float side = static_cast<float>(pan) / 100.0f;
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    if (channels == 1) {
      const float angle = side * kQuarterTurn;
      alSource3f(source, AL_POSITION, std::sin(angle), 0.0f, -std::cos(angle));
    } else {
      const float target = side < 0 ? kQuarterTurn : -kQuarterTurn;
      const float weight = std::fabs(side);
      const ALfloat angles[2] = {kStereoAngle + (target - kStereoAngle) * weight,
                                 -kStereoAngle + (target + kStereoAngle) * weight};
      alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
      alSourcefv(source, AL_STEREO_ANGLES, angles);
    }
  }

  // Places a playback in the listener's space with the sample's distances and the roll-off factor.
  void PlaceAt(ALuint source, const SampleInfo& info, const Vector3& position, const Vector3* orientation,
               const Vector3* velocity) const {
    alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
    alSource3f(source, AL_POSITION, position.x, position.y, -position.z);
    const Vector3 still;
    const Vector3& speed = velocity ? *velocity : still;
    alSource3f(source, AL_VELOCITY, speed.x, speed.y, -speed.z);
    const Vector3& facing = orientation ? *orientation : still;
    alSource3f(source, AL_DIRECTION, facing.x, facing.y, -facing.z);
    alSourcef(source, AL_REFERENCE_DISTANCE, info.minDistance);
    alSourcef(source, AL_MAX_DISTANCE, info.maxDistance);
    alSourcef(source, AL_ROLLOFF_FACTOR, rollOff);
  }

  // Starts playback index of sample with the given settings; the channel handle.
  uint32_t StartPlayback(int sampleIndex, int index, uint32_t start, int frequency, int volume, bool loop,
                 const Vector3& position) {
    Sample& sample = samples[sampleIndex];
    Playback& playback = sample.playbacks[index];
    const ALuint source = playback.source;
    const int clampedFrequency = std::clamp(frequency, kMinFrequency, kMaxFrequency);
    alSourcef(source, AL_PITCH, static_cast<float>(clampedFrequency) / static_cast<float>(sample.rate));
    alSourcef(source, AL_GAIN, static_cast<float>(std::clamp(volume, 0, 100)) / 100.0f);
    if (sample.stream) {
      const std::lock_guard<std::mutex> held(streamLock);
      const uint32_t frameBytes = static_cast<uint32_t>(sample.info.channels) * sizeof(int16_t);
      sample.stream->Start(index, source, start / frameBytes, loop);
    } else {
      alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
      alSourcei(source, AL_BYTE_OFFSET, start < sample.info.length ? static_cast<ALint>(start) : 0);
      alSourcePlay(source);
    }
    playback.startOrder = ++playCount;
    playback.position = position;
    error = kSoundOk;
    return ChannelHandle(sampleIndex, index);
  }

  // Makes maxPlaybacks sources for sample. kSoundOk, or kSoundOutOfMemory with none made.
  static int MakeSources(Sample& sample, int maxPlaybacks) {
    ALuint sources[kMaxPlaybacks] = {};
    alGenSources(maxPlaybacks, sources);
    if (alGetError() != AL_NO_ERROR) return kSoundOutOfMemory;
    for (int i = 0; i < maxPlaybacks; ++i) sample.playbacks[i] = Playback{sources[i], 0, Vector3{}};
    return kSoundOk;
  }

  // Puts the decoded sound into sample's buffer, which every one of its sources plays.
  static int LoadBuffer(Sample& sample, const DecodedSound& sound, int maxPlaybacks) {
    alGetError();
    alGenBuffers(1, &sample.buffer);
    alBufferData(sample.buffer, FormatOf(sound.channels), sound.samples.data(),
                 static_cast<ALsizei>(sound.samples.size() * sizeof(int16_t)), sound.rate);
    const int result = alGetError() == AL_NO_ERROR ? MakeSources(sample, maxPlaybacks) : kSoundOutOfMemory;
    if (result != kSoundOk) {
      alDeleteBuffers(1, &sample.buffer);
      sample.buffer = 0;
      return result;
    }
    for (int i = 0; i < maxPlaybacks; ++i) {
      alSourcei(sample.playbacks[i].source, AL_BUFFER, static_cast<ALint>(sample.buffer));
    }
    sample.rate = sound.rate;
    return kSoundOk;
  }

  // Gives sample a stream of the bytes, one reader and its buffers for each of its sources.
  static int LoadStream(Sample& sample, std::vector<uint8_t> bytes, int maxPlaybacks) {
    auto stream = std::make_unique<StreamedSound>();
    int result = stream->Open(std::move(bytes), maxPlaybacks);
    alGetError();
    if (result == kSoundOk) result = MakeSources(sample, maxPlaybacks);
    if (result != kSoundOk) return result;
    sample.rate = stream->Rate();
    sample.stream = std::move(stream);
    return kSoundOk;
  }

  void ApplyListenerGain() const {
    if (context) alListenerf(AL_GAIN, static_cast<float>(sampleVolume) / 100.0f);
  }
};

OpenAlSoundLibrary::OpenAlSoundLibrary(Output output, uint32_t streamAboveBytes)
    : state_(std::make_unique<State>(output, streamAboveBytes)) {}

OpenAlSoundLibrary::~OpenAlSoundLibrary() { Free(); }

uint32_t OpenAlSoundLibrary::Identity() { return kSoundLibraryIdentity; }

bool OpenAlSoundLibrary::Init(int frequency, bool /*with3D: OpenAL always positions*/, NativeWindow*) {
  State& s = *state_;
  if (s.device) return s.Fail(kSoundAlreadyInitialised);
  if (frequency <= 0) return s.Fail(kSoundIllegalParameter);
  s.frequency = frequency;
  s.device = s.output == Output::Loopback ? alcLoopbackOpenDeviceSOFT(nullptr) : alcOpenDevice(nullptr);
  if (!s.device) {
    s.reason = alcGetString(nullptr, alcGetError(nullptr));
    return s.Fail(kSoundNoDevice);
  }
  const std::vector<ALCint> attributes = s.Attributes();
  s.context = alcCreateContext(s.device, attributes.data());
  if (!s.context || !alcMakeContextCurrent(s.context)) {
    s.reason = alcGetString(s.device, alcGetError(s.device));
    if (s.context) alcDestroyContext(s.context);
    alcCloseDevice(s.device);
    s.context = nullptr;
    s.device = nullptr;
    return s.Fail(kSoundContextFailed);
  }
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  s.paused = false;
  s.ApplyListenerGain();
  s.error = kSoundOk;
  return true;
}

int OpenAlSoundLibrary::ErrorCode() { return state_->error; }

std::string OpenAlSoundLibrary::TakeFailureReason() { return std::exchange(state_->reason, std::string()); }

void OpenAlSoundLibrary::Set3DAlgorithm(int algorithm) {
  State& s = *state_;
  if (algorithm < k3DAlgorithmOff || algorithm > k3DAlgorithmLight) {
    s.error = kSoundIllegalParameter;
    return;
  }
  s.algorithm = algorithm;
  if (s.device && alcIsExtensionPresent(s.device, "ALC_SOFT_HRTF")) {
    const std::vector<ALCint> attributes = s.Attributes();
    alcResetDeviceSOFT(s.device, attributes.data());
  }
}

void OpenAlSoundLibrary::Set3DPosition(const Vector3* position, const Vector3* velocity, const Vector3* front,
                                       const Vector3* top) {
  State& s = *state_;
  if (!s.context) return;
  alDeferUpdatesSOFT();
  if (position) {
    s.listener = *position;
    alListener3f(AL_POSITION, position->x, position->y, -position->z);
  }
  if (velocity) alListener3f(AL_VELOCITY, velocity->x, velocity->y, -velocity->z);
  if (front && top) {
    const ALfloat orientation[6] = {front->x, front->y, -front->z, top->x, top->y, -top->z};
    alListenerfv(AL_ORIENTATION, orientation);
  }
}

void OpenAlSoundLibrary::Set3DFactors(float distance, float rollOff, float doppler) {
  State& s = *state_;
  if (!s.context) return;
  alDeferUpdatesSOFT();
  if (distance > 0.0f) alSpeedOfSound(kSpeedOfSound * distance);
  if (rollOff >= 0.0f) s.rollOff = rollOff;
  if (doppler >= 0.0f) alDopplerFactor(doppler);
}

// This output renders no environmental reverb at all, which is what a mix of 0 asks for; the other
// parameters only shape a reverb, so there is nothing to set.
void OpenAlSoundLibrary::SetReverb(int, float, float, float) {}

void OpenAlSoundLibrary::Apply3D() {
  if (state_->context) alProcessUpdatesSOFT();
}

bool OpenAlSoundLibrary::Start() {
  State& s = *state_;
  if (!s.device) return s.Fail(kSoundNotInitialised);
  if (s.paused && s.output == Output::DefaultDevice) alcDeviceResumeSOFT(s.device);
  s.paused = false;
  return true;
}

void OpenAlSoundLibrary::Pause() {
  State& s = *state_;
  if (!s.device) return;
  if (s.output == Output::DefaultDevice) alcDevicePauseSOFT(s.device);
  s.paused = true;
}

void OpenAlSoundLibrary::Stop() {
  State& s = *state_;
  const std::lock_guard<std::mutex> held(s.streamLock);
  for (Sample& sample : s.samples) {
    if (!sample.used) continue;
    for (int i = 0; i < sample.info.maxPlaybacks; ++i) {
      if (sample.stream) sample.stream->Stop(i);
      alSourceStop(sample.playbacks[i].source);
    }
  }
}

void OpenAlSoundLibrary::ExpectSamples(std::span<const SampleRange> samples) {
  State& s = *state_;
  s.DropAhead();
  auto slot = s.ahead.begin();
  for (const SampleRange& range : samples) {
    if (slot == s.ahead.end()) break;
    if (State::ReadRange(range.path, range.offset, range.length, slot->bytes) != kSoundOk) continue;
    slot->range = range;
    slot->streamAboveBytes = s.streamAboveBytes;
    if (!s.aheadWorker.Queue(*slot)) {
      slot->range = SampleRange{};
      slot->bytes = {};
      break;
    }
    ++slot;
  }
}

void OpenAlSoundLibrary::Free() {
  State& s = *state_;
  s.StopFeeder();
  if (!s.device) return;
  for (Sample& sample : s.samples) {
    if (!sample.used) continue;
    for (int i = 0; i < sample.info.maxPlaybacks; ++i) alDeleteSources(1, &sample.playbacks[i].source);
    alDeleteBuffers(1, &sample.buffer);
    sample = Sample{};  // a stream's buffers go with it, now that no source holds them
  }
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(s.context);
  alcCloseDevice(s.device);
  s.context = nullptr;
  s.device = nullptr;
  s.paused = false;
}

uint32_t OpenAlSoundLibrary::SampleLoad(const std::string& path, uint32_t offset, uint32_t length,
                                        int maxPlaybacks, uint32_t flags) {
  State& s = *state_;
  if (!s.context) return s.FailHandle(kSoundNotInitialised);
  if (maxPlaybacks < 1 || maxPlaybacks > kMaxPlaybacks) return s.FailHandle(kSoundIllegalParameter);
  const auto free = std::find_if(s.samples.begin(), s.samples.end(), [](const Sample& x) { return !x.used; });
  if (free == s.samples.end()) return s.FailHandle(kSoundOutOfMemory);

  DecodedSound sound;
  std::vector<uint8_t> bytes;
  if (!s.TakeAhead(path, offset, length, sound, bytes)) {
    const int result = State::ReadRange(path, offset, length, bytes);
    if (result != kSoundOk) return s.FailHandle(result);
  }
  // A 3D sample is mixed down to mono whole, so only a plain one streams.
  const bool streamed =
      sound.samples.empty() && !(flags & kSample3D) && StreamedSound::WorthStreaming(bytes, s.streamAboveBytes);
  if (sound.samples.empty() && !streamed) {
    const int result = DecodeOggVorbis(bytes.data(), bytes.size(), sound);
    if (result != kSoundOk) {
      s.reason = TakeVorbisFailureReason();
      return s.FailHandle(result);
    }
  }
  if (flags & kSample3D) MixDownToMono(sound);

  Sample& sample = *free;
  const std::lock_guard<std::mutex> held(s.streamLock);  // the feeder's OpenAL errors stay out of these checks
  const int result =
      streamed ? s.LoadStream(sample, std::move(bytes), maxPlaybacks) : s.LoadBuffer(sample, sound, maxPlaybacks);
  if (result != kSoundOk) return s.FailHandle(result);
  sample.used = true;
  sample.info = SampleInfo{};
  sample.info.frequency = sample.rate;
  sample.info.flags = flags;
  sample.info.channels = streamed ? sample.stream->Channels() : sound.channels;
  sample.info.length = static_cast<uint32_t>(
      (streamed ? sample.stream->Frames() * static_cast<uint64_t>(sample.info.channels) : sound.samples.size()) *
      sizeof(int16_t));
  sample.info.maxPlaybacks = maxPlaybacks;
  sample.info.mode3D = (flags & kSample3D) ? k3DModeNormal : k3DModeOff;
  if (streamed) s.StartFeeder();
  s.error = kSoundOk;
  return static_cast<uint32_t>(free - s.samples.begin()) + 1;
}

bool OpenAlSoundLibrary::SampleGetInfo(uint32_t handle, SampleInfo& info) {
  const Sample* sample = state_->Find(handle);
  if (!sample) return false;
  info = sample->info;
  return true;
}

bool OpenAlSoundLibrary::SampleSetInfo(uint32_t handle, const SampleInfo& info) {
  State& s = *state_;
  Sample* sample = s.Find(handle);
  if (!sample) return false;
  if (info.frequency <= 0 || info.minDistance < 0.0f || info.maxDistance < 0.0f ||
      (info.mode3D != k3DModeNormal && info.mode3D != k3DModeOff)) {
    return s.Fail(kSoundIllegalParameter);
  }
  // What the data is and how many playbacks it has were fixed when it was loaded.
  SampleInfo& kept = sample->info;
  kept.frequency = info.frequency;
  kept.volume = std::clamp(info.volume, 0, 100);
  kept.pan = std::clamp(info.pan, -100, 100);
  kept.flags = (kept.flags & ~kSampleLoop) | (info.flags & kSampleLoop);
  kept.mode3D = info.mode3D;
  kept.minDistance = info.minDistance;
  kept.maxDistance = info.maxDistance;
  return true;
}

uint32_t OpenAlSoundLibrary::SamplePlayEx(uint32_t handle, uint32_t start, int frequency, int volume, int pan,
                                          int loop) {
  State& s = *state_;
  Sample* sample = s.Find(handle);
  if (!sample) return 0;
  const int index = s.ChoosePlayback(*sample);
  if (index < 0) return s.FailHandle(kSoundNoPlayback);
  const SampleInfo& info = sample->info;
  State::PlacePlain(sample->playbacks[index].source, info.channels,
                    std::clamp(pan == -101 ? info.pan : pan, -100, 100));
  const bool looping = loop < 0 ? (info.flags & kSampleLoop) != 0 : loop != 0;
  return s.StartPlayback(static_cast<int>(handle - 1), index, start, frequency == -1 ? info.frequency : frequency,
                 volume == -1 ? info.volume : volume, looping, Vector3{});
}

uint32_t OpenAlSoundLibrary::SamplePlay3D(uint32_t handle, const Vector3& position, const Vector3* orientation,
                                          const Vector3* velocity) {
  State& s = *state_;
  Sample* sample = s.Find(handle);
  if (!sample) return 0;
  const SampleInfo& info = sample->info;
  if (!(info.flags & kSample3D)) return s.FailHandle(kSoundNo3D);
  const int index = s.ChoosePlayback(*sample);
  if (index < 0) return s.FailHandle(kSoundNoPlayback);
  const ALuint source = sample->playbacks[index].source;
  // With 3D switched off the sound plays in the centre, as a plain one.
  if (info.mode3D == k3DModeOff) {
    State::PlacePlain(source, info.channels, 0);
  } else {
    s.PlaceAt(source, info, position, orientation, velocity);
  }
  return s.StartPlayback(static_cast<int>(handle - 1), index, 0, info.frequency, info.volume,
                 (info.flags & kSampleLoop) != 0, info.mode3D == k3DModeOff ? Vector3{} : position);
}

// Music and streams have nothing to act on here: this library plays samples only.
void OpenAlSoundLibrary::SetGlobalVolumes(int /*music*/, int sample, int /*stream*/) {
  State& s = *state_;
  if (sample >= 0) {
    s.sampleVolume = std::min(sample, 100);
    s.ApplyListenerGain();
  }
}

void OpenAlSoundLibrary::Render(int16_t* out, int frames) {
  State& s = *state_;
  if (s.output != Output::Loopback || !s.device || s.paused) {
    std::memset(out, 0, static_cast<size_t>(frames) * 2 * sizeof(int16_t));
    return;
  }
  for (int done = 0; done < frames; done += kRenderFramesPerRefill) {
    {
      const std::lock_guard<std::mutex> held(s.streamLock);
      s.RefillStreams();
    }
    alcRenderSamplesSOFT(s.device, out + static_cast<ptrdiff_t>(done) * 2,
                         std::min(kRenderFramesPerRefill, frames - done));
  }
}

bool OpenAlSoundLibrary::IsPaused() const { return state_->paused; }

bool OpenAlSoundLibrary::UsesHrtf() const {
  ALCint enabled = ALC_FALSE;
  if (state_->device && alcIsExtensionPresent(state_->device, "ALC_SOFT_HRTF")) {
    alcGetIntegerv(state_->device, ALC_HRTF_SOFT, 1, &enabled);
  }
  return enabled == ALC_TRUE;
}

int64_t OpenAlSoundLibrary::ChannelPosition(uint32_t channel) const {
  const uint32_t sampleNumber = channel / kMaxPlaybacks;
  const uint32_t playback = channel % kMaxPlaybacks;
  if (sampleNumber == 0 || sampleNumber > static_cast<uint32_t>(kSampleCapacity)) return -1;
  const Sample& sample = state_->samples[sampleNumber - 1];
  if (!sample.used || static_cast<int>(playback) >= sample.info.maxPlaybacks) return -1;
  if (sample.stream) {
    const std::lock_guard<std::mutex> held(state_->streamLock);
    return sample.stream->Position(static_cast<int>(playback), sample.playbacks[playback].source);
  }
  ALint offset = 0;
  alGetSourcei(sample.playbacks[playback].source, AL_SAMPLE_OFFSET, &offset);
  return offset;
}

std::unique_ptr<SoundLibrary> MakeOpenAlSoundLibrary() {
  return std::make_unique<OpenAlSoundLibrary>(OpenAlSoundLibrary::Output::DefaultDevice);
}

}  // namespace sylvora
