#include "nature/ambient_sound.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "audio/audio_system.h"
#include "core/layer_table.h"
#include "core/options.h"
#include "report/report.h"
#include "tests/doubles/audio/fake_sound_library.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {
namespace {

// A song's position as the library received it.
struct SongPlay {
  unsigned sample;
  float x, y, z;
};

class AmbientSoundTest : public ::testing::Test {
 protected:
  FakeClock clock{1000};
  ScopedClock useClock{clock};
  MemoryFileSystem files;
  ScopedFileSystem useFiles{files};
  std::unique_ptr<Report> log = std::make_unique<Report>(1, "/install\\");
  FakeSoundLibrary* library = nullptr;
  std::shared_ptr<FakeSoundLibrary::CallLog> calls;

  Options options;
  LayerTable layers;
  std::unique_ptr<AudioSystem> audio;
  std::unique_ptr<AmbientSound> sound;

  void SetUp() override {
    UseFreshAudio();
    srand(7);
  }

  // A started audio object on a fresh library double, and a fresh ambient sound on it.
  void UseFreshAudio() {
    sound.reset();
    auto fake = std::make_unique<FakeSoundLibrary>();
    library = fake.get();
    calls = fake->calls;
    audio = std::make_unique<AudioSystem>(log.get(), std::move(fake));
    ASSERT_EQ(audio->Create(nullptr, 0, 0, "/install\\"), 0);
    sound = std::make_unique<AmbientSound>(NatureContext{log.get(), nullptr, audio.get(), &options, &layers});
  }

  // Which song (0..6) and rendition (0 the song itself) each sample number holds.
  std::map<unsigned, std::pair<int, int>> RenditionOfSample() const {
    std::map<unsigned, std::pair<int, int>> found;
    for (int song = 0; song < AmbientSound::kSongCount; ++song) {
      found[audio->Sound(sound->songs[song]).sample] = {song, 0};
      for (int r = 0; r < sound->otherRenditionCount[song]; ++r) {
        found[audio->Sound(sound->otherRenditions[song][r]).sample] = {song, r + 1};
      }
    }
    return found;
  }

  // Every call of the given kind made since the mark.
  std::vector<std::string> CallsSince(size_t mark, const std::string& prefix) {
    std::vector<std::string> found;
    for (size_t i = mark; i < calls->size(); ++i) {
      if ((*calls)[i].rfind(prefix, 0) == 0) found.push_back((*calls)[i]);
    }
    return found;
  }

  // Runs the ambient sound for seconds of simulated time at 100 frames a second.
  std::vector<SongPlay> RunSongs(int seconds) {
    const size_t mark = calls->size();
    for (int frame = 0; frame < seconds * 100; ++frame) {
      clock.Advance(10);
      sound->Update();
    }
    std::vector<SongPlay> plays;
    for (const std::string& call : CallsSince(mark, "SamplePlay3D(")) {
      SongPlay play{};
      EXPECT_EQ(std::sscanf(call.c_str(), "SamplePlay3D(%u,(%f,%f,%f)", &play.sample, &play.x, &play.y, &play.z), 4)
          << call;
      plays.push_back(play);
    }
    return plays;
  }
};

TEST_F(AmbientSoundTest, LoadsTheBackgroundPlainAndTheSevenSongsIn3D) {
  const size_t mark = calls->size();
  EXPECT_EQ(sound->Load(), 0);
  const auto loads = CallsSince(mark, "SampleLoad(");
  ASSERT_EQ(loads.size(), 8u);
  EXPECT_NE(loads[0].find("sounds\\backmain.ogg"), std::string::npos);
  EXPECT_NE(loads[7].find("sounds\\back6.ogg"), std::string::npos);
  EXPECT_EQ(sound->background, 0);
  for (int song = 0; song < AmbientSound::kSongCount; ++song) {
    EXPECT_EQ(sound->songs[song], song + 1);
    EXPECT_EQ(audio->Sound(sound->songs[song]).is3D, 1);
  }
  EXPECT_EQ(audio->Sound(sound->background).is3D, 0);
}

TEST_F(AmbientSoundTest, VolumeFactorGivesTheBackgroundVolumeAndSongDistances) {
  struct Row {
    int background, nearest, farthest;
  };
  const Row table[11] = {{1, 200, 750}, {10, 20, 75}, {20, 10, 37}, {30, 6, 25}, {40, 5, 18}, {50, 4, 15},
                         {60, 3, 12},   {70, 2, 10},  {80, 2, 9},   {90, 2, 8},  {100, 2, 7}};
  for (int o = 0; o <= 10; ++o) {
    const double v = BirdSongVolumeFactor(o);
    EXPECT_EQ(static_cast<int>(v * 50), table[o].background) << o;
    EXPECT_EQ(static_cast<int>(4 / v), table[o].nearest) << o;
    EXPECT_EQ(static_cast<int>(15 / v), table[o].farthest) << o;
  }
}

TEST_F(AmbientSoundTest, StartLoopsTheBackgroundAtTheBirdSongVolume) {
  sound->Load();
  options.birds_singing_volume = 0;
  const size_t mark = calls->size();
  EXPECT_EQ(sound->Start(), 0);
  const Layer& layer = layers.layers[LayerTable::kAmbientSoundLayer];
  EXPECT_EQ(layer.active + layer.updating + layer.drawing, 3);
  const auto plays = CallsSince(mark, "SamplePlayEx(");
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0], "SamplePlayEx(1,0,-1,1,-101,1)");  // sample 1, default rate and pan, volume 1, looped
  EXPECT_EQ(sound->songTimer.interval, 100);
  EXPECT_EQ(sound->songTimer.oneIn, 130);
  sound->Stop();
  EXPECT_EQ(layer.active + layer.updating + layer.drawing, 0);
}

TEST_F(AmbientSoundTest, SongsComeFromAllAroundWithinTheVolumesRange) {
  sound->Load();
  options.birds_singing_volume = 10;
  sound->Start();
  const auto plays = RunSongs(1300);
  // One song every 13 s on average: 100 expected over 1300 s.
  EXPECT_GT(plays.size(), 70u);
  EXPECT_LT(plays.size(), 135u);
  int negative = 0, positive = 0;
  for (const SongPlay& play : plays) {
    EXPECT_GE(play.sample, 2u);
    EXPECT_LE(play.sample, 8u);
    for (float c : {play.x, play.y, play.z}) {
      EXPECT_GE(std::fabs(c), 2.0f);
      EXPECT_LE(std::fabs(c), 6.0f);
      (c < 0 ? negative : positive)++;
    }
  }
  EXPECT_GT(negative, 50);
  EXPECT_GT(positive, 50);
}

TEST_F(AmbientSoundTest, QuietestVolumePutsSongsFarAway) {
  sound->Load();
  options.birds_singing_volume = 0;
  sound->Start();
  const auto plays = RunSongs(300);
  ASSERT_FALSE(plays.empty());
  for (const SongPlay& play : plays) {
    for (float c : {play.x, play.y, play.z}) {
      EXPECT_GE(std::fabs(c), 200.0f);
      EXPECT_LE(std::fabs(c), 749.0f);
    }
  }
}

TEST_F(AmbientSoundTest, InstalledRenditionsTakeTurnsAndSongsStillPlayWhenAndWhereTheyDid) {
  // Without renditions: the songs as they always played.
  sound->Load();
  options.birds_singing_volume = 10;
  sound->Start();
  std::vector<std::pair<int, SongPlay>> plain;
  const std::vector<SongPlay> plainPlays = RunSongs(2000);
  for (const SongPlay& play : plainPlays) plain.push_back({RenditionOfSample().at(play.sample).first, play});

  // Again from the same random start, with three renditions of every song but the fourth, which has one
  // (its second is missing), installed beside the songs.
  ASSERT_NO_FATAL_FAILURE(UseFreshAudio());
  for (int song = 0; song < AmbientSound::kSongCount; ++song) {
    for (int r = 1; r < kSongRenditions; ++r) {
      if (song != 3 || r == 3) files.Put("/install/sounds/" + SongRenditionName(song, r) + ".ogg", "x");
    }
  }
  const int warningsBefore = log->WarningCount();
  size_t mark = calls->size();
  sound->Load();
  const auto loads = CallsSince(mark, "SampleLoad(");
  ASSERT_EQ(loads.size(), 8u + 6 * 3 + 1);
  EXPECT_NE(loads[8].find("sounds\\back0r1.ogg"), std::string::npos) << loads[8];
  EXPECT_NE(loads[17].find("sounds\\back3r3.ogg"), std::string::npos) << loads[17];
  EXPECT_EQ(log->WarningCount(), warningsBefore) << "a missing rendition is not a missing sound";
  EXPECT_EQ(sound->otherRenditionCount[3], 1);
  EXPECT_EQ(sound->otherRenditionCount[6], 3);
  srand(7);
  sound->Start();
  const std::map<unsigned, std::pair<int, int>> rendition = RenditionOfSample();
  const std::vector<SongPlay> plays = RunSongs(2000);
  ASSERT_EQ(plays.size(), plain.size());
  ASSERT_GT(plays.size(), 100u);
  std::array<int, AmbientSound::kSongCount> turn{};
  for (size_t i = 0; i < plays.size(); ++i) {
    const auto [song, r] = rendition.at(plays[i].sample);
    EXPECT_EQ(song, plain[i].first) << "play " << i;
    EXPECT_EQ(plays[i].x, plain[i].second.x) << "play " << i;
    EXPECT_EQ(plays[i].y, plain[i].second.y) << "play " << i;
    EXPECT_EQ(plays[i].z, plain[i].second.z) << "play " << i;
    // Each song's renditions in turn: the song itself, then the others found, then round again.
    EXPECT_EQ(r, turn[song]) << "play " << i << " of song " << song;
    turn[song] = (turn[song] + 1) % (1 + sound->otherRenditionCount[song]);
  }
}

TEST_F(AmbientSoundTest, NoSoundAtAllWhenBirdsDoNotSingThoughTheTimerRuns) {
  sound->Load();
  options.birds_singing = 0;
  const size_t mark = calls->size();
  sound->Start();
  const uint32_t armed = sound->songTimer.last;
  EXPECT_TRUE(RunSongs(300).empty());
  EXPECT_TRUE(CallsSince(mark, "SamplePlay").empty());
  EXPECT_NE(sound->songTimer.last, armed);
}

}  // namespace
}  // namespace sylvora
