#pragma once
// An in-memory sound library with fault injection: every call is recorded as one line of text (kept in a
// log the test can hold on to after the library is destroyed), and every call that can fail can be told to.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "audio/sound_library.h"

namespace sylvora {

class FakeSoundLibrary final : public SoundLibrary {
 public:
  using CallLog = std::vector<std::string>;

  FakeSoundLibrary() : calls(std::make_shared<CallLog>()) {}

  // ---- Fault injection ----
  uint32_t identity = kSoundLibraryIdentity;  // what Identity answers
  std::vector<int> initErrors;   // each Init fails with the next code here until the list is used up
  bool startFails = false;       // Start fails with kSoundStartFailed
  std::map<std::string, int> loadErrors;  // SampleLoad of this path fails with the code
  int loadError3D = 0;           // non-zero: every SampleLoad with kSample3D fails with this code
  int getInfoError = 0;          // non-zero: SampleGetInfo fails with this code
  int setInfoError = 0;          // non-zero: SampleSetInfo fails with this code

  // ---- What was done ----
  std::shared_ptr<CallLog> calls;             // "Init(22050,1)", "SampleLoad(path,0,0,3,0x20000)", ...
  std::map<uint32_t, SampleInfo> samples;     // loaded samples by handle, as last set
  std::vector<SampleRange> expected;          // what the last ExpectSamples named (kept out of calls)
  int musicVolume = 100;
  int sampleVolume = 100;
  bool paused = false;

  uint32_t Identity() override;
  bool Init(int frequency, bool with3D, NativeWindow* window) override;
  int ErrorCode() override { return error_; }
  // The library's words TakeFailureReason gives once; a test sets them beside a fault.
  std::string failureReason;
  std::string TakeFailureReason() override { return std::exchange(failureReason, std::string()); }
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
  void ExpectSamples(std::span<const SampleRange> named) override { expected.assign(named.begin(), named.end()); }
  bool SampleGetInfo(uint32_t sample, SampleInfo& info) override;
  bool SampleSetInfo(uint32_t sample, const SampleInfo& info) override;
  uint32_t SamplePlayEx(uint32_t sample, uint32_t start, int frequency, int volume, int pan, int loop) override;
  uint32_t SamplePlay3D(uint32_t sample, const Vector3& position, const Vector3* orientation,
                        const Vector3* velocity) override;
  void SetGlobalVolumes(int music, int sample, int stream) override;

 private:
  void Record(const std::string& call) { calls->push_back(call); }

  int error_ = 0;
  size_t initCount_ = 0;
  uint32_t nextSample_ = 1;
};

}  // namespace sylvora
