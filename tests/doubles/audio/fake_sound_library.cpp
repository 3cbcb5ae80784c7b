#include "tests/doubles/audio/fake_sound_library.h"

#include <cstdio>

namespace sylvora {

namespace {

// Floats as the shortest text that keeps them apart ("5", "0.5", "-1").
std::string Number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

std::string Point(const Vector3* point) {
  if (!point) return "null";
  return "(" + Number(point->x) + "," + Number(point->y) + "," + Number(point->z) + ")";
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

}  // namespace

uint32_t FakeSoundLibrary::Identity() {
  Record("Identity");
  return identity;
}

bool FakeSoundLibrary::Init(int frequency, bool with3D, NativeWindow*) {
  Record("Init(" + std::to_string(frequency) + "," + (with3D ? "1" : "0") + ")");
  if (initCount_ < initErrors.size()) {
    error_ = initErrors[initCount_++];
    return false;
  }
  return true;
}

void FakeSoundLibrary::Set3DAlgorithm(int algorithm) { Record("Set3DAlgorithm(" + std::to_string(algorithm) + ")"); }

void FakeSoundLibrary::Set3DPosition(const Vector3* position, const Vector3* velocity, const Vector3* front,
                                     const Vector3* top) {
  Record("Set3DPosition(" + Point(position) + "," + Point(velocity) + "," + Point(front) + "," + Point(top) + ")");
}

void FakeSoundLibrary::Set3DFactors(float distance, float rollOff, float doppler) {
  Record("Set3DFactors(" + Number(distance) + "," + Number(rollOff) + "," + Number(doppler) + ")");
}

void FakeSoundLibrary::SetReverb(int environment, float mix, float decay, float damping) {
  Record("SetReverb(" + std::to_string(environment) + "," + Number(mix) + "," + Number(decay) + "," +
         Number(damping) + ")");
}

void FakeSoundLibrary::Apply3D() { Record("Apply3D"); }

bool FakeSoundLibrary::Start() {
  Record("Start");
  if (startFails) {
    error_ = kSoundStartFailed;
    return false;
  }
  paused = false;
  return true;
}

void FakeSoundLibrary::Pause() {
  Record("Pause");
  paused = true;
}

void FakeSoundLibrary::Stop() { Record("Stop"); }

void FakeSoundLibrary::Free() { Record("Free"); }

uint32_t FakeSoundLibrary::SampleLoad(const std::string& path, uint32_t offset, uint32_t length, int maxPlaybacks,
                                      uint32_t flags) {
  Record("SampleLoad(" + path + "," + std::to_string(offset) + "," + std::to_string(length) + "," +
         std::to_string(maxPlaybacks) + "," + Hex(flags) + ")");
  const auto failure = loadErrors.find(path);
  if (failure != loadErrors.end() || (loadError3D != 0 && (flags & kSample3D))) {
    error_ = failure != loadErrors.end() ? failure->second : loadError3D;
    return 0;
  }
  SampleInfo info;
  info.frequency = 22050;
  info.flags = flags;
  info.maxPlaybacks = maxPlaybacks;
  info.channels = 1;
  samples[nextSample_] = info;
  return nextSample_++;
}

bool FakeSoundLibrary::SampleGetInfo(uint32_t sample, SampleInfo& info) {
  Record("SampleGetInfo(" + std::to_string(sample) + ")");
  if (getInfoError != 0 || samples.count(sample) == 0) {
    error_ = getInfoError != 0 ? getInfoError : kSoundBadHandle;
    return false;
  }
  info = samples[sample];
  return true;
}

bool FakeSoundLibrary::SampleSetInfo(uint32_t sample, const SampleInfo& info) {
  Record("SampleSetInfo(" + std::to_string(sample) + ",pan " + std::to_string(info.pan) + ",mode " +
         std::to_string(info.mode3D) + ",min " + Number(info.minDistance) + ",max " + Number(info.maxDistance) + ")");
  if (setInfoError != 0 || samples.count(sample) == 0) {
    error_ = setInfoError != 0 ? setInfoError : kSoundBadHandle;
    return false;
  }
  samples[sample] = info;
  return true;
}

uint32_t FakeSoundLibrary::SamplePlayEx(uint32_t sample, uint32_t start, int frequency, int volume, int pan,
                                        int loop) {
  Record("SamplePlayEx(" + std::to_string(sample) + "," + std::to_string(start) + "," + std::to_string(frequency) +
         "," + std::to_string(volume) + "," + std::to_string(pan) + "," + std::to_string(loop) + ")");
  return sample;
}

uint32_t FakeSoundLibrary::SamplePlay3D(uint32_t sample, const Vector3& position, const Vector3* orientation,
                                        const Vector3* velocity) {
  Record("SamplePlay3D(" + std::to_string(sample) + "," + Point(&position) + "," + Point(orientation) + "," +
         Point(velocity) + ")");
  return sample;
}

void FakeSoundLibrary::SetGlobalVolumes(int music, int sample, int stream) {
  Record("SetGlobalVolumes(" + std::to_string(music) + "," + std::to_string(sample) + "," + std::to_string(stream) +
         ")");
  if (music >= 0) musicVolume = music;
  if (sample >= 0) sampleVolume = sample;
}

}  // namespace sylvora
