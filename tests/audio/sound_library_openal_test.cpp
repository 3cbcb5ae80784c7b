// The OpenAL Soft sound library, measured: sounds rendered through OpenAL Soft's loopback device into
// memory, and pausing on its null backend (a loopback device has no clock of its own to pause).
#include "audio/sound_library_openal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "audio/sound_stream_openal.h"
#include "tests/audio/ogg_writer.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {
namespace {

// The default device of this process is OpenAL Soft's null backend, so the pause test needs no sound
// card; the loopback device does not depend on the backend. Read once, before the library starts.
const bool kNullBackend = setenv("ALSOFT_DRIVERS", "null", 1) == 0;

constexpr int kRate = 22050;

// Root-mean-square levels of the two channels of rendered stereo frames.
struct Levels {
  double left = 0;
  double right = 0;
};

class LoopbackTest : public ::testing::Test {
 protected:
  LoopbackTest() : installed_(files), library(OpenAlSoundLibrary::Output::Loopback) {
    files.Put("/snd/tone.ogg", EncodeOggTone({.seconds = 2.0, .frequency = 440, .left = 0.5}));
    files.Put("/snd/short.ogg", EncodeOggTone({.seconds = 0.3, .frequency = 440, .left = 0.5}));
    files.Put("/snd/stereo.ogg", EncodeOggTone({.channels = 2, .seconds = 2.0, .left = 0.5, .right = 0.5}));
  }

  void SetUp() override {
    ASSERT_TRUE(kNullBackend);
    ASSERT_TRUE(library.Init(kRate, true, nullptr)) << library.ErrorCode();
    library.Set3DAlgorithm(k3DAlgorithmOff);
    const Vector3 origin;
    library.Set3DPosition(&origin, nullptr, nullptr, nullptr);
    library.Set3DFactors(1.0f, 1.0f, 0.0f);
    library.Apply3D();
    ASSERT_TRUE(library.Start());
  }

  uint32_t Load(const char* path, uint32_t flags) {
    const uint32_t sample = library.SampleLoad(path, 0, 0, 3, flags);
    EXPECT_NE(sample, 0u) << path << " error " << library.ErrorCode();
    return sample;
  }
  // A 3D sample with the distances AudioSystem gives every 3D sound.
  uint32_t Load3D(const char* path) {
    const uint32_t sample = Load(path, kSample3D | kSampleOverDistance);
    SampleInfo info;
    EXPECT_TRUE(library.SampleGetInfo(sample, info));
    info.minDistance = 5.0f;
    info.maxDistance = 70.0f;
    EXPECT_TRUE(library.SampleSetInfo(sample, info));
    return sample;
  }

  std::vector<int16_t> Render(double seconds) {
    std::vector<int16_t> frames(static_cast<size_t>(seconds * kRate) * 2);
    library.Render(frames.data(), static_cast<int>(frames.size() / 2));
    return frames;
  }
  // Lets gain ramps settle, then measures a stretch of output.
  Levels Measure(double settle = 0.05, double seconds = 0.2) {
    Render(settle);
    const std::vector<int16_t> frames = Render(seconds);
    Levels levels;
    for (size_t i = 0; i < frames.size(); i += 2) {
      levels.left += static_cast<double>(frames[i]) * frames[i];
      levels.right += static_cast<double>(frames[i + 1]) * frames[i + 1];
    }
    const double count = static_cast<double>(frames.size() / 2);
    return {std::sqrt(levels.left / count), std::sqrt(levels.right / count)};
  }

  MemoryFileSystem files;
  ScopedFileSystem installed_;
  OpenAlSoundLibrary library;
};

TEST_F(LoopbackTest, ReportsItsIdentityAndPlainPanningWhenAskedForIt) {
  EXPECT_EQ(library.Identity(), kSoundLibraryIdentity);
  EXPECT_FALSE(library.UsesHrtf());
  EXPECT_FALSE(library.Init(kRate, true, nullptr));
  EXPECT_EQ(library.ErrorCode(), kSoundAlreadyInitialised);
}

TEST_F(LoopbackTest, LoopedPlainSampleKeepsSoundingAndAnUnloopedOneEnds) {
  const uint32_t sample = Load("/snd/short.ogg", kSampleOverPosition);
  ASSERT_NE(library.SamplePlayEx(sample, 0, -1, 100, 0, 1), 0u);
  const Levels looped = Measure(1.0, 0.2);  // well past the 0.3 s of data
  EXPECT_GT(looped.left, 2000);
  library.Stop();
  EXPECT_LT(Measure().left, 1);

  ASSERT_NE(library.SamplePlayEx(sample, 0, -1, 100, 0, 0), 0u);
  EXPECT_LT(Measure(1.0, 0.2).left, 1);
}

TEST_F(LoopbackTest, PanPlacesMonoAndStereoSamplesLeftAndRight) {
  for (const char* path : {"/snd/tone.ogg", "/snd/stereo.ogg"}) {
    const uint32_t sample = Load(path, kSampleOverPosition);
    library.SamplePlayEx(sample, 0, -1, 100, -100, 1);
    const Levels left = Measure();
    EXPECT_GT(left.left, 3 * left.right) << path;
    library.Stop();
    library.SamplePlayEx(sample, 0, -1, 100, 100, 1);
    const Levels right = Measure();
    EXPECT_GT(right.right, 3 * right.left) << path;
    library.Stop();
    library.SamplePlayEx(sample, 0, -1, 100, 0, 1);
    const Levels centre = Measure();
    EXPECT_NEAR(centre.left / centre.right, 1.0, 0.05) << path;
    library.Stop();
  }
}

TEST_F(LoopbackTest, VolumeAndFrequencyOfAPlainPlay) {
  const uint32_t sample = Load("/snd/tone.ogg", kSampleOverPosition);
  library.SamplePlayEx(sample, 0, -1, 100, 0, 1);
  const double full = Measure().left;
  library.Stop();
  library.SamplePlayEx(sample, 0, -1, 25, 0, 1);
  EXPECT_NEAR(Measure().left / full, 0.25, 0.03);
  library.Stop();

  // Twice the sample's own rate plays the 440 Hz tone at 880 Hz: count rising zero crossings over 1 s.
  library.SamplePlayEx(sample, 0, 2 * kRate, 100, 0, 1);
  Render(0.05);
  const std::vector<int16_t> frames = Render(1.0);
  int crossings = 0;
  for (size_t i = 2; i < frames.size(); i += 2) crossings += frames[i - 2] < 0 && frames[i] >= 0;
  EXPECT_NEAR(crossings, 880, 10);
}

TEST_F(LoopbackTest, ThreeDDistanceAttenuatesUntilTheMaximumDistance) {
  const uint32_t sample = Load3D("/snd/tone.ogg");
  auto levelAt = [&](float z) {
    library.Stop();
    EXPECT_NE(library.SamplePlay3D(sample, Vector3{0, 0, z}, nullptr, nullptr), 0u);
    const Levels levels = Measure();
    return levels.left + levels.right;
  };
  const double at5 = levelAt(5), at50 = levelAt(50), at70 = levelAt(70), at200 = levelAt(200);
  EXPECT_NEAR(at50 / at5, 0.1, 0.01);  // inverse distance from the reference distance 5
  EXPECT_GT(at70, 0);
  EXPECT_NEAR(at200 / at70, 1.0, 0.02);  // clamped at the maximum distance
  EXPECT_NEAR(levelAt(2) / at5, 1.0, 0.02);  // full volume inside the minimum distance
}

TEST_F(LoopbackTest, ThreeDPositionsOnTheRightAreLouderOnTheRight) {
  const uint32_t sample = Load3D("/snd/stereo.ogg");
  SampleInfo info;
  ASSERT_TRUE(library.SampleGetInfo(sample, info));
  EXPECT_EQ(info.channels, 1);  // mixed down for 3D
  library.SamplePlay3D(sample, Vector3{10, 0, 0}, nullptr, nullptr);
  const Levels right = Measure();
  EXPECT_GT(right.right, 3 * right.left);
  library.Stop();
  library.SamplePlay3D(sample, Vector3{-10, 0, 0}, nullptr, nullptr);
  const Levels left = Measure();
  EXPECT_GT(left.left, 3 * left.right);
}

// A play call's channel names the playback it took, so the fourth play's channel shows which one it replaced.
TEST_F(LoopbackTest, FourthPlainPlayReplacesTheOneThatHasPlayedLongest) {
  const uint32_t sample = Load("/snd/tone.ogg", kSampleOverPosition);
  const uint32_t oldest = library.SamplePlayEx(sample, 0, -1, 100, -100, 1);  // alone on the left
  Render(0.05);
  const uint32_t second = library.SamplePlayEx(sample, 0, -1, 100, 100, 1);
  const uint32_t third = library.SamplePlayEx(sample, 0, -1, 100, 100, 1);
  EXPECT_NE(second, oldest);
  EXPECT_NE(third, second);
  const Levels three = Measure();
  ASSERT_GT(three.left, 2000);
  EXPECT_EQ(library.SamplePlayEx(sample, 0, -1, 100, 100, 1), oldest);
  const Levels four = Measure();
  EXPECT_LT(four.left, three.left / 100);
  EXPECT_GT(four.right, 2000);  // (its level depends on how the three right-hand waves line up)
}

TEST_F(LoopbackTest, Fourth3DPlayReplacesTheOneFurthestFromTheListener) {
  const uint32_t sample = Load3D("/snd/tone.ogg");
  // The oldest is near on the left; the furthest is on the right.
  library.SamplePlay3D(sample, Vector3{-6, 0, 0}, nullptr, nullptr);
  const uint32_t furthest = library.SamplePlay3D(sample, Vector3{40, 0, 0}, nullptr, nullptr);
  library.SamplePlay3D(sample, Vector3{6, 0, 0}, nullptr, nullptr);
  const Levels three = Measure();
  EXPECT_EQ(library.SamplePlay3D(sample, Vector3{6, 0, 0}, nullptr, nullptr), furthest);
  const Levels four = Measure();
  EXPECT_NEAR(four.left / three.left, 1.0, 0.05);  // the oldest, alone on the left, plays on
}

TEST_F(LoopbackTest, WithoutAReplacementRuleTheFourthPlayFails) {
  const uint32_t sample = Load("/snd/tone.ogg", 0);
  for (int i = 0; i < 3; ++i) ASSERT_NE(library.SamplePlayEx(sample, 0, -1, 100, 0, 1), 0u);
  EXPECT_EQ(library.SamplePlayEx(sample, 0, -1, 100, 0, 1), 0u);
  EXPECT_EQ(library.ErrorCode(), kSoundNoPlayback);
}

TEST_F(LoopbackTest, GlobalSampleVolumeScalesTheOutput) {
  const uint32_t sample = Load("/snd/tone.ogg", kSampleOverPosition);
  library.SamplePlayEx(sample, 0, -1, 100, 0, 1);
  const double full = Measure().left;
  library.SetGlobalVolumes(-1, 50, -1);
  EXPECT_NEAR(Measure().left / full, 0.5, 0.03);
  library.SetGlobalVolumes(20, -1, -1);  // the music volume leaves samples alone
  EXPECT_NEAR(Measure().left / full, 0.5, 0.03);
  library.SetGlobalVolumes(-1, 0, -1);
  const double silenced = Measure(0.5, 0.2).left;
  EXPECT_LT(silenced, full / 1000);  // below the 16-bit output's dither
}

TEST_F(LoopbackTest, PausedOutputIsSilentAndResumesWhereItStopped) {
  const uint32_t sample = Load("/snd/tone.ogg", kSampleOverPosition);
  const uint32_t channel = library.SamplePlayEx(sample, 0, -1, 100, 0, 0);
  Render(0.2);
  library.Pause();
  EXPECT_TRUE(library.IsPaused());
  const int64_t stoppedAt = library.ChannelPosition(channel);
  EXPECT_LT(Measure().left, 1);
  EXPECT_EQ(library.ChannelPosition(channel), stoppedAt);
  ASSERT_TRUE(library.Start());
  EXPECT_FALSE(library.IsPaused());
  EXPECT_GT(Measure(0.0, 0.2).left, 2000);
  EXPECT_NEAR(static_cast<double>(library.ChannelPosition(channel) - stoppedAt), 0.2 * kRate, 0.01 * kRate);
}

// A sample named ahead loads as it would have without, and one that cannot be decoded fails at its load
// with the code and the library's words it fails with there.
TEST_F(LoopbackTest, SamplesDecodedAheadLoadAsBeforeAndTheirFailuresAreTheLoadsToTell) {
  files.Put("/snd/notogg.ogg", "not a sound at all");
  auto loadBoth = [this](bool ahead) {
    if (ahead) {
      const std::vector<SampleRange> named{
          {"/snd/stereo.ogg", 0, 0}, {"/snd/notogg.ogg", 0, 0}, {"/snd/tone.ogg", 0, 0}};
      library.ExpectSamples(named);
    }
    std::vector<std::string> seen;
    for (const char* path : {"/snd/stereo.ogg", "/snd/notogg.ogg", "/snd/tone.ogg"}) {
      const uint32_t sample = library.SampleLoad(path, 0, 0, 3, kSample3D);
      SampleInfo info;
      const bool loaded = sample != 0 && library.SampleGetInfo(sample, info);
      seen.push_back(loaded ? std::to_string(info.length) + " bytes, " + std::to_string(info.channels) + " channel"
                            : "error " + std::to_string(library.ErrorCode()) + ": " + library.TakeFailureReason());
    }
    return seen;
  };
  const std::vector<std::string> without = loadBoth(false);
  EXPECT_TRUE(without[1].starts_with("error " + std::to_string(kSoundNotOggVorbis) + ": ")) << without[1];
  EXPECT_EQ(loadBoth(true), without);
}

TEST_F(LoopbackTest, SamplesComeFromFileRangesAndBadRangesFailWithTheirCodes) {
  const std::string first = files.At("/snd/short.ogg");
  const std::string second = files.At("/snd/stereo.ogg");
  files.Put("/snd/pack.dat", "HEAD" + first + second);
  const uint32_t offset = static_cast<uint32_t>(4 + first.size());

  const uint32_t packed = library.SampleLoad("/snd/pack.dat", offset, static_cast<uint32_t>(second.size()), 3, 0);
  ASSERT_NE(packed, 0u);
  SampleInfo info;
  ASSERT_TRUE(library.SampleGetInfo(packed, info));
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.frequency, kRate);
  EXPECT_NE(library.SampleLoad("/snd/pack.dat", offset, 0, 3, 0), 0u);  // length 0: to the end

  EXPECT_EQ(library.SampleLoad("/snd/pack.dat", offset, static_cast<uint32_t>(second.size()) + 1, 3, 0), 0u);
  EXPECT_EQ(library.ErrorCode(), kSoundRangePastFile);
  EXPECT_EQ(library.SampleLoad("/snd/pack.dat", 0xFFFFFFF0u, 0x20u, 3, 0), 0u);
  EXPECT_EQ(library.ErrorCode(), kSoundRangePastFile);
  EXPECT_EQ(library.SampleLoad("/snd/pack.dat", 0, 4, 3, 0), 0u);
  EXPECT_EQ(library.ErrorCode(), kSoundNotOggVorbis);
  EXPECT_EQ(library.SampleLoad("/snd/missing.ogg", 0, 0, 3, 0), 0u);
  EXPECT_EQ(library.ErrorCode(), kSoundFileOpen);
  EXPECT_EQ(library.SampleLoad("/snd/tone.ogg", 0, 0, 4, 0), 0u);
  EXPECT_EQ(library.ErrorCode(), kSoundIllegalParameter);
  EXPECT_FALSE(library.SampleGetInfo(999, info));
  EXPECT_EQ(library.ErrorCode(), kSoundBadHandle);
  EXPECT_EQ(library.SamplePlay3D(packed, Vector3{}, nullptr, nullptr), 0u);  // not loaded as 3D
  EXPECT_EQ(library.ErrorCode(), kSoundNo3D);
}

// What a loopback library loading one sample (named ahead, as the ambience is) renders for one play.
struct PlayHeard {
  std::vector<int16_t> frames;
  int64_t position = -1;  // the channel's position at the end
  uint32_t length = 0;    // the sample's length as SampleGetInfo tells it
};

PlayHeard RenderOnePlay(uint32_t streamAboveBytes, uint32_t start, int loop, double seconds) {
  OpenAlSoundLibrary library(OpenAlSoundLibrary::Output::Loopback, streamAboveBytes);
  PlayHeard heard;
  if (!library.Init(kRate, true, nullptr) || !library.Start()) return heard;
  library.Set3DAlgorithm(k3DAlgorithmOff);
  const SampleRange range{"/snd/long.ogg", 0, 0};
  library.ExpectSamples({&range, 1});
  const uint32_t sample = library.SampleLoad(range.path, 0, 0, 1, kSampleOverPosition);
  SampleInfo info;
  if (!library.SampleGetInfo(sample, info)) return heard;
  heard.length = info.length;
  const uint32_t channel = library.SamplePlayEx(sample, start, -1, 100, 0, loop);
  heard.frames.resize(static_cast<size_t>(seconds * kRate) * 2);
  library.Render(heard.frames.data(), static_cast<int>(heard.frames.size() / 2));
  heard.position = library.ChannelPosition(channel);
  return heard;
}

// Root-mean-square level of the left channel over frames first..first+count.
double LeftLevel(const std::vector<int16_t>& frames, size_t first, size_t count) {
  double sum = 0;
  for (size_t i = first; i < first + count; ++i) sum += static_cast<double>(frames[2 * i]) * frames[2 * i];
  return std::sqrt(sum / static_cast<double>(count));
}

// A long sound streams from its bytes: a listener must not hear it, across the stream's buffers, its loop
// and a start inside it, looped or played once.
TEST(OpenAlStream, AStreamedSampleSoundsExactlyAsItDoesHeldWhole) {
  ASSERT_TRUE(kNullBackend);
  MemoryFileSystem files;
  ScopedFileSystem installed(files);
  // 2.5 s of stereo: the loop wraps inside the stream's fourth buffer.
  files.Put("/snd/long.ogg",
            EncodeOggTone({.channels = 2, .seconds = 2.5, .frequency = 330, .left = 0.6, .right = 0.3}));
  constexpr size_t kBlock = kRate / 10;
  struct Play {
    uint32_t startBytes;
    int loop;
    double seconds;
  };
  for (const Play play : {Play{0, 1, 7.0}, Play{4 * 30000, 1, 7.0}, Play{4 * 30000, 0, 2.0}}) {
    SCOPED_TRACE(testing::Message() << "start " << play.startBytes << " loop " << play.loop);
    const PlayHeard held =
        RenderOnePlay(OpenAlSoundLibrary::kStreamAboveBytes, play.startBytes, play.loop, play.seconds);
    const PlayHeard streamed = RenderOnePlay(0, play.startBytes, play.loop, play.seconds);
    ASSERT_EQ(held.length, 2 * 2 * 55125u);
    EXPECT_EQ(streamed.length, held.length);
    EXPECT_EQ(streamed.position, held.position);
    ASSERT_EQ(streamed.frames.size(), held.frames.size());
    // The mixer fades in a source started inside its data; a stream's source starts at its own start.
    const size_t fadeSamples = play.startBytes == 0 ? 0 : 2 * kBlock;
    EXPECT_TRUE(
        std::equal(held.frames.begin() + fadeSamples, held.frames.end(), streamed.frames.begin() + fadeSamples));
    // And it is heard at all: without a gap while it loops, silent once played through.
    const size_t frames = streamed.frames.size() / 2;
    const size_t soundingFrames = play.loop ? frames : 55125 - 30000;
    for (size_t first = 0; first + kBlock <= frames; first += kBlock) {
      const double level = LeftLevel(streamed.frames, first, kBlock);
      if (first + kBlock < soundingFrames) {
        EXPECT_GT(level, 2000) << "at frame " << first;
      } else if (first > soundingFrames + kBlock) {
        EXPECT_LT(level, 1) << "at frame " << first;
      }
    }
  }
}

TEST(OpenAlOutput, CallsBeforeInitFailWithoutTouchingADevice) {
  OpenAlSoundLibrary library(OpenAlSoundLibrary::Output::Loopback);
  EXPECT_FALSE(library.Start());
  EXPECT_EQ(library.ErrorCode(), kSoundNotInitialised);
  EXPECT_EQ(library.SampleLoad("/snd/tone.ogg", 0, 0, 3, 0), 0u);
  EXPECT_EQ(library.ErrorCode(), kSoundNotInitialised);
  library.Pause();
  library.Stop();
  library.SetGlobalVolumes(10, 10, 10);
  library.Free();
  EXPECT_FALSE(library.IsPaused());
}

// The default device on the null backend mixes in real time: while paused, playback positions stand still.
TEST(OpenAlOutput, PausingTheDefaultDeviceHoldsEveryPlayback) {
  ASSERT_TRUE(kNullBackend);
  MemoryFileSystem files;
  ScopedFileSystem installed(files);
  files.Put("/snd/tone.ogg", EncodeOggTone({.seconds = 1.0}));
  OpenAlSoundLibrary library;
  ASSERT_TRUE(library.Init(kRate, true, nullptr)) << library.ErrorCode();
  ASSERT_TRUE(library.Start());
  const uint32_t sample = library.SampleLoad("/snd/tone.ogg", 0, 0, 3, kSampleOverPosition);
  ASSERT_NE(sample, 0u);
  const uint32_t channel = library.SamplePlayEx(sample, 0, -1, 100, 0, 1);

  auto waitForMoreThan = [&](int64_t position) {
    for (int i = 0; i < 200 && library.ChannelPosition(channel) <= position; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return library.ChannelPosition(channel);
  };
  ASSERT_GT(waitForMoreThan(0), 0);
  library.Pause();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let a mix in progress finish
  const int64_t held = library.ChannelPosition(channel);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(library.ChannelPosition(channel), held);
  ASSERT_TRUE(library.Start());
  EXPECT_NE(waitForMoreThan(held), held);
}

// The default device mixes on its own clock: a streamed playback is refilled as it plays, long after the
// buffers its play queued are used up.
TEST(OpenAlOutput, AStreamedPlaybackOnTheDefaultDeviceIsRefilledAsItPlays) {
  ASSERT_TRUE(kNullBackend);
  MemoryFileSystem files;
  ScopedFileSystem installed(files);
  files.Put("/snd/tone.ogg", EncodeOggTone({.seconds = 1.0}));
  OpenAlSoundLibrary library(OpenAlSoundLibrary::Output::DefaultDevice, 0);
  ASSERT_TRUE(library.Init(kRate, true, nullptr)) << library.ErrorCode();
  ASSERT_TRUE(library.Start());
  const uint32_t sample = library.SampleLoad("/snd/tone.ogg", 0, 0, 1, kSampleOverPosition);
  ASSERT_NE(sample, 0u);
  const uint32_t channel = library.SamplePlayEx(sample, 0, -1, 100, 0, 1);
  // What the play queued lasts StreamedSound::kBuffers * kBufferFrames / kRate, about 3 s.
  const auto queuedFor =
      std::chrono::milliseconds(1000 * StreamedSound::kBuffers * StreamedSound::kBufferFrames / kRate);
  std::this_thread::sleep_for(queuedFor + std::chrono::milliseconds(500));
  std::vector<int64_t> positions;
  for (int i = 0; i < 3; ++i) {
    positions.push_back(library.ChannelPosition(channel));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }
  EXPECT_TRUE(positions[0] != positions[1] || positions[1] != positions[2])
      << "the playback stood at " << positions[0] << " after its queued buffers ran out";
}

}  // namespace
}  // namespace sylvora
