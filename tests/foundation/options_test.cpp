#include "core/options.h"

#include <gtest/gtest.h>

#include <memory>

#include "report/report.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {
namespace {

const char* const kDefaultFile =
    ";  \r\n; Sylvora Screensaver Options file\r\n;  \r\n \r\n \r\n; -----------------------\r\n; Graphics\r\n \r\n"
    "nature_view = 1000;\r\nnature_change_freq = 600000;\r\nbackground_animation = 2;\r\nspeed_of_sky = 2;\r\n"
    "brightness = 4;\r\nexit_on_mouse_move = true;\r\n \r\n \r\n; -----------------------\r\n; Sound\r\n \r\n"
    "birds_singing = true;\r\nsound_volume = 10;\r\nbirds_singing_volume = 5;\r\nmusic_volume = 5;\r\n";

class OptionsTest : public ::testing::Test {
 protected:
  MemoryFileSystem files;
  ScopedFileSystem useFiles{files};
  std::unique_ptr<Report> log = std::make_unique<Report>(1, "/home/u/.local/state/sylvora/");
  const OptionsPlace place{"/home/u/.config/sylvora/", "/install\\"};
  static constexpr const char* kUserFile = "/home/u/.config/sylvora/options.ini";
  static constexpr const char* kMachineFile = "/install/options.ini";

  Options LoadFrom(const std::string& text) {
    files.Put(kUserFile, text);
    Options loaded;
    loaded.brightness = 99;
    EXPECT_EQ(LoadOptions(loaded, log.get(), place), 0);
    return loaded;
  }
};

TEST_F(OptionsTest, DefaultsSaveAsTheTwentyThreeLines) {
  ASSERT_EQ(SaveOptions(Options{}, log.get(), place), 0);
  EXPECT_EQ(files.At(kUserFile), kDefaultFile);
}

TEST_F(OptionsTest, MissingFileGivesDefaults) {
  Options loaded;
  loaded.nature_view = 3;
  LoadOptions(loaded, log.get(), place);
  EXPECT_EQ(loaded, Options{});
}

TEST_F(OptionsTest, ValuesOutsideTheirRangeKeepTheDefault) {
  EXPECT_EQ(LoadFrom("nature_view = 3;").nature_view, 3);
  EXPECT_EQ(LoadFrom("nature_view = 6;").nature_view, 1000);
  EXPECT_EQ(LoadFrom("nature_view = 1000;").nature_view, 1000);
  EXPECT_EQ(LoadFrom("nature_change_freq = 3600000;").nature_change_freq, 3600000);
  EXPECT_EQ(LoadFrom("nature_change_freq = 3600001;").nature_change_freq, 600000);
  EXPECT_EQ(LoadFrom("nature_change_freq = 99999999999;").nature_change_freq, 600000);
  EXPECT_EQ(LoadFrom("brightness = 11;").brightness, 4);
  EXPECT_EQ(LoadFrom("brightness = 0;").brightness, 0);
  EXPECT_EQ(LoadFrom("sound_volume = -1;").sound_volume, 10);
  EXPECT_EQ(LoadFrom("exit_on_mouse_move = off;").exit_on_mouse_move, 0);
  EXPECT_EQ(LoadFrom("exit_on_mouse_move = maybe;").exit_on_mouse_move, 1);
}

TEST_F(OptionsTest, OnlyMusicVolumeGivesDefaultsElsewhere) {
  Options expected;
  expected.music_volume = 0;
  EXPECT_EQ(LoadFrom("music_volume = 0;"), expected);
}

TEST_F(OptionsTest, GarbageGivesDefaults) {
  EXPECT_EQ(LoadFrom(std::string("\0\xff\x01=;,,\n", 8) + std::string(1 << 20, 'x')), Options{});
}

TEST_F(OptionsTest, EveryInRangeValueSurvivesARoundTrip) {
  for (int value = 0; value <= 10; ++value) {
    Options saved;
    saved.speed_of_sky = value % 4;
    saved.background_animation = (value + 1) % 4;
    saved.nature_view = value <= 5 ? value : 1000;
    saved.nature_change_freq = value * 360000;
    saved.birds_singing = value % 2;
    saved.exit_on_mouse_move = (value + 1) % 2;
    saved.sound_volume = value;
    saved.music_volume = 10 - value;
    saved.birds_singing_volume = value;
    saved.brightness = value;
    ASSERT_EQ(SaveOptions(saved, log.get(), place), 0);
    Options loaded;
    LoadOptions(loaded, log.get(), place);
    EXPECT_EQ(loaded, saved) << "value " << value;
  }
}

TEST_F(OptionsTest, FailedSaveReturnsOneAndKeepsTheOldFile) {
  files.Put(kUserFile, "old");
  files.unwritable.insert(kUserFile);
  EXPECT_EQ(SaveOptions(Options{}, log.get(), place), 1);
  EXPECT_EQ(files.At(kUserFile), "old");
  files.makeDirectoriesFails = true;
  files.unwritable.clear();
  EXPECT_EQ(SaveOptions(Options{}, log.get(), place), 1);
  EXPECT_EQ(files.At(kUserFile), "old");
}

// The machine's file is read only while the user has none, and is never written.
TEST_F(OptionsTest, MachineDefaultsStandInUntilTheUserHasAFile) {
  files.Put(kMachineFile, "brightness = 9;");
  Options loaded;
  LoadOptions(loaded, log.get(), place);
  EXPECT_EQ(loaded.brightness, 9);
  loaded.sound_volume = 3;
  ASSERT_EQ(SaveOptions(loaded, log.get(), place), 0);
  EXPECT_EQ(files.directories.count("/home/u/.config/sylvora/"), 1u);
  EXPECT_EQ(files.At(kMachineFile), "brightness = 9;");
  files.Put(kUserFile, "sound_volume = 2;");
  LoadOptions(loaded, log.get(), place);
  EXPECT_EQ(loaded.brightness, 4);
  EXPECT_EQ(loaded.sound_volume, 2);
}

}  // namespace
}  // namespace sylvora
