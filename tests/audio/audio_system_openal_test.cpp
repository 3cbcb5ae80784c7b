// AudioSystem on the real OpenAL Soft library (loopback output): sounds from an archive reach the
// speakers, and broken archive sounds end as warnings with the library's own codes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "archive/index_writer.h"
#include "audio/audio_system.h"
#include "audio/sound_library_openal.h"
#include "report/report.h"
#include "tests/audio/ogg_writer.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {
namespace {

using ::testing::ElementsAre;

class AudioOnOpenAlTest : public ::testing::Test {
 protected:
  AudioOnOpenAlTest() : installed_(files), report(static_cast<int>(ReportMode::Quiet), "/install/") {
    auto real = std::make_unique<OpenAlSoundLibrary>(OpenAlSoundLibrary::Output::Loopback);
    library = real.get();
    audio = std::make_unique<AudioSystem>(&report, std::move(real));
  }

  // RMS of the left and right channels over seconds of output, after settle seconds for gain ramps.
  std::pair<double, double> Levels(double seconds = 0.2, double settle = 0.05) {
    std::vector<int16_t> frames(static_cast<size_t>((seconds + settle) * AudioSystem::kOutputFrequency) * 2);
    library->Render(frames.data(), static_cast<int>(frames.size() / 2));
    double left = 0, right = 0;
    const size_t skip = static_cast<size_t>(settle * AudioSystem::kOutputFrequency) * 2;
    for (size_t i = skip; i < frames.size(); i += 2) {
      left += static_cast<double>(frames[i]) * frames[i];
      right += static_cast<double>(frames[i + 1]) * frames[i + 1];
    }
    const double count = static_cast<double>((frames.size() - skip) / 2);
    return {std::sqrt(left / count), std::sqrt(right / count)};
  }

  std::vector<std::string> Warnings() const {
    std::vector<std::string> texts;
    for (int i = 0; i < report.WarningCount(); ++i) texts.push_back(report.WarningEntry(i).text);
    return texts;
  }

  MemoryFileSystem files;
  ScopedFileSystem installed_;
  Report report;
  OpenAlSoundLibrary* library = nullptr;
  std::unique_ptr<AudioSystem> audio;
};

TEST_F(AudioOnOpenAlTest, ArchiveSoundsPlayAndBrokenOnesAreWarnings) {
  const std::string tone = EncodeOggTone({.seconds = 0.3});
  std::vector<PackItem> items{{2, "backmain", tone}, {3, "song0", tone}, {4, "notogg", std::string(500, 'x')},
                              {5, "cut", tone}};
  files.Put("/install/data.nrx", BuildIndex(items, "sounds.dat"));
  std::string data = BuildDataFile(items);
  data.resize(data.size() - 10);  // the last entry now runs past the end of its file
  files.Put("/install/sounds.dat", data);

  ASSERT_EQ(audio->Create(nullptr, 1, 0, "/install/"), 0);
  ASSERT_EQ(audio->ArchiveCount(), 4);
  int32_t backmain = -1, song = -1, broken = -1, cut = -1;
  EXPECT_EQ(audio->CreateSound("backmain", kPlainSound, backmain), 0);
  EXPECT_EQ(audio->CreateSound("song0", k3DSound, song), 0);
  EXPECT_EQ(audio->CreateSound("notogg", kPlainSound, broken), 1);
  EXPECT_EQ(audio->CreateSound("cut", kPlainSound, cut), 1);
  EXPECT_THAT(Warnings(),
              ElementsAre("BASS_SampleLoad was failed, BASS errorcode is 41. Sound <notogg> was not loaded",
                          "reason: OV_ENOTVORBIS: not Vorbis data",
                          "BASS_SampleLoad was failed, BASS errorcode is 7. Sound <cut> was not loaded"));

  // KeepCurrent everywhere: looped at the sound's own volume, pan (centre) and rate, well past its 0.3 s.
  EXPECT_EQ(audio->PlaySoundEx(backmain, KeepCurrent, KeepCurrent, KeepCurrent, 1, 1), 0);
  const auto [left, right] = Levels(0.2, 1.0);
  EXPECT_GT(left, 2000);
  EXPECT_NEAR(left / right, 1.0, 0.05);

  audio->SetVolumes(0, KeepCurrent);
  EXPECT_LT(Levels(0.2, 0.5).first, left / 1000);
  audio->SetVolumes(100, KeepCurrent);
  EXPECT_EQ(audio->PlaySound3D(song, 20.0f, 0.0f, 0.0f, 1), 0);
  const auto [withSongLeft, withSongRight] = Levels(0.1);
  EXPECT_GT(withSongRight, withSongLeft * 1.05);  // the song is on the right
  EXPECT_EQ(audio->PlaySoundEx(broken, 100, 0, 22050, 1, 1), 1);

  audio->PauseOutput();
  EXPECT_TRUE(library->IsPaused());
  EXPECT_EQ(Levels().first, 0);
  audio->ResumeOutput();
  EXPECT_FALSE(library->IsPaused());
  EXPECT_GT(Levels().first, 2000);
}

}  // namespace
}  // namespace sylvora
