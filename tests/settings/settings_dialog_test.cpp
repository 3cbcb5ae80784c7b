// The settings dialog's behaviour, driven through its controller on an in-memory options.ini.
#include "settings/settings_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/options.h"
#include "report/report.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {
namespace {

const std::string kInstallDir = "/opt/sylvora\\";
// The user's own file, the one the dialog reads and saves.
const std::string kOptionsPath = "/home/u/.config/sylvora/options.ini";
const OptionsPlace kPlace{"/home/u/.config/sylvora/", kInstallDir};

class SettingsDialogTest : public ::testing::Test {
 protected:
  // Writes options.ini from parameter lines, each ended with CR LF.
  void WriteOptions(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    files.Put(kOptionsPath, text);
  }

  // The saved line of key, e.g. "nature_view = 2;"; empty when the file or the key is missing.
  std::string SavedLine(const std::string& key) const {
    if (!files.Has(kOptionsPath)) return "";
    const std::string& text = files.At(kOptionsPath);
    const size_t start = text.find("\r\n" + key + " = ");
    if (start == std::string::npos) return "";
    return text.substr(start + 2, text.find("\r\n", start + 2) - start - 2);
  }

  // A second dialog opened on the same file, as the next configure run would open it.
  SettingsDialog Reopened() {
    SettingsDialog next(reopenedOptions, &report, kPlace);
    next.Open();
    return next;
  }

  MemoryFileSystem files;
  ScopedFileSystem scope{files};
  Report report{static_cast<int>(ReportMode::Quiet), kInstallDir};
  Options options;
  Options reopenedOptions;
  SettingsDialog dialog{options, &report, kPlace};
};

// The dialog offers exactly the values options.ini takes: a value list an entry for each value from 0 to
// the option's highest, the scene and change lists only values their options take.
TEST(SettingsDialogAgreement, ListsOfferTheValuesOptionsIniTakes) {
  const auto option = [](int32_t Options::*field) {
    return *std::find_if(kOptionTable.begin(), kOptionTable.end(),
                         [field](const OptionRow& row) { return row.field == field; });
  };
  for (const ValueList& list : kValueLists) {
    SCOPED_TRACE(option(list.field).key);
    EXPECT_EQ(option(list.field).low, 0);
    EXPECT_EQ(static_cast<int>(ListEntries(list.id).size()), option(list.field).high + 1);
  }
  const OptionRow view = option(&Options::nature_view);
  for (const int value : kSceneListViews)
    EXPECT_TRUE(value == kRandomScene || (value >= view.low && value <= view.high));
  EXPECT_EQ(ListEntries(kSceneList).size(), kSceneListViews.size());
  const OptionRow change = option(&Options::nature_change_freq);
  for (const int value : kChangeListTimes) EXPECT_TRUE(value >= change.low && value <= change.high) << value;
  EXPECT_EQ(ListEntries(kChangeList).size(), kChangeListTimes.size());
}

TEST_F(SettingsDialogTest, ListsAreEmptyUntilOpenedAndThenHoldTheirEntries) {
  EXPECT_EQ(dialog.Control(kSceneList).entryCount, 0);
  EXPECT_EQ(dialog.Control(kSceneList).selection, kNoSelection);
  dialog.Open();
  EXPECT_EQ(dialog.Control(kVolumeList).entryCount, 11);
  EXPECT_EQ(dialog.Control(kAnimationList).entryCount, 4);
  EXPECT_EQ(dialog.Control(kSkyList).entryCount, 4);
  EXPECT_EQ(dialog.Control(kSceneList).entryCount, 7);
  EXPECT_EQ(dialog.Control(kChangeList).entryCount, 13);
}

TEST_F(SettingsDialogTest, OpeningWithoutAFileShowsTheDefaults) {
  dialog.Open();
  EXPECT_EQ(options, Options{});
  EXPECT_EQ(dialog.Control(kVolumeList).selection, 10);
  EXPECT_TRUE(dialog.Control(kVolumeList).enabled);
  EXPECT_TRUE(dialog.Control(kSoundBox).checked);
  EXPECT_TRUE(dialog.Control(kMouseExitBox).checked);
  EXPECT_EQ(dialog.Control(kAnimationList).selection, 2);
  EXPECT_EQ(dialog.Control(kSkyList).selection, 2);
  EXPECT_EQ(dialog.Control(kSceneList).selection, 0);
  EXPECT_EQ(dialog.Control(kChangeList).selection, kTenMinutesPosition);
  EXPECT_TRUE(dialog.Control(kChangeList).enabled);
  EXPECT_FALSE(dialog.Closed());
  EXPECT_FALSE(files.Has(kOptionsPath));
}

TEST_F(SettingsDialogTest, OpeningShowsTheFilesValues) {
  WriteOptions({"birds_singing = false;", "exit_on_mouse_move = off;", "sound_volume = 3;",
                "background_animation = 0;", "speed_of_sky = 3;", "nature_change_freq = 1500000;"});
  dialog.Open();
  EXPECT_FALSE(dialog.Control(kSoundBox).checked);
  EXPECT_FALSE(dialog.Control(kVolumeList).enabled);
  EXPECT_EQ(dialog.Control(kVolumeList).selection, 3);
  EXPECT_FALSE(dialog.Control(kMouseExitBox).checked);
  EXPECT_EQ(dialog.Control(kAnimationList).selection, 0);
  EXPECT_EQ(dialog.Control(kSkyList).selection, 3);
  EXPECT_EQ(dialog.Control(kChangeList).selection, 7);
  EXPECT_TRUE(dialog.Control(kAnimationList).enabled);
  EXPECT_TRUE(dialog.Control(kSkyList).enabled);
  EXPECT_TRUE(dialog.Control(kSceneList).enabled);
}

TEST_F(SettingsDialogTest, ConstantSceneWithATimeOpensAsNeverDisabledAndOkWritesZero) {
  WriteOptions({"nature_view = 4;", "nature_change_freq = 300000;"});
  dialog.Open();
  EXPECT_EQ(dialog.Control(kSceneList).selection, 5);
  EXPECT_EQ(dialog.Control(kChangeList).selection, kNeverPosition);
  EXPECT_FALSE(dialog.Control(kChangeList).enabled);
  EXPECT_EQ(options.nature_change_freq, 0);
  dialog.Command(kOkButton);
  EXPECT_EQ(SavedLine("nature_change_freq"), "nature_change_freq = 0;");
  EXPECT_EQ(SavedLine("nature_view"), "nature_view = 4;");
}

TEST_F(SettingsDialogTest, RandomlyShowsTenMinutesEnabledWhateverTheListShowed) {
  WriteOptions({"nature_view = 0;"});
  dialog.Open();
  ASSERT_FALSE(dialog.Control(kChangeList).enabled);
  dialog.ListChosen(kSceneList, 0);
  EXPECT_EQ(options.nature_view, kRandomScene);
  EXPECT_EQ(options.nature_change_freq, 600000);
  EXPECT_EQ(dialog.Control(kChangeList).selection, kTenMinutesPosition);
  EXPECT_TRUE(dialog.Control(kChangeList).enabled);

  // Already random with another time: choosing "Randomly" again still resets it.
  dialog.ListChosen(kChangeList, 8);
  ASSERT_EQ(options.nature_change_freq, 1800000);
  dialog.ListChosen(kSceneList, 0);
  EXPECT_EQ(dialog.Control(kChangeList).selection, kTenMinutesPosition);
  EXPECT_EQ(options.nature_change_freq, 600000);
}

TEST_F(SettingsDialogTest, EveryConstantEntryShowsNeverDisabledAndOkWritesZero) {
  const int expectedViews[] = {0, 1, 3, 2, 4, 5};
  for (int position = 1; position <= 6; ++position) {
    SCOPED_TRACE(position);
    SettingsDialog fresh(options, &report, kPlace);
    fresh.Open();
    fresh.ListChosen(kSceneList, position);
    EXPECT_EQ(options.nature_view, expectedViews[position - 1]);
    EXPECT_EQ(fresh.Control(kChangeList).selection, kNeverPosition);
    EXPECT_FALSE(fresh.Control(kChangeList).enabled);
    fresh.Command(kOkButton);
    EXPECT_EQ(SavedLine("nature_change_freq"), "nature_change_freq = 0;");
    EXPECT_EQ(SavedLine("nature_view"), "nature_view = " + std::to_string(expectedViews[position - 1]) + ";");
    files.files.clear();
  }
}

TEST_F(SettingsDialogTest, FourthSceneStoresTwoAndThirdStoresThreeAndReopenSelectsThemAgain) {
  dialog.Open();
  dialog.ListChosen(kSceneList, 4);
  dialog.Command(kOkButton);
  EXPECT_EQ(SavedLine("nature_view"), "nature_view = 2;");
  EXPECT_EQ(Reopened().Control(kSceneList).selection, 4);

  SettingsDialog again(options, &report, kPlace);
  again.Open();
  again.ListChosen(kSceneList, 3);
  again.Command(kOkButton);
  EXPECT_EQ(SavedLine("nature_view"), "nature_view = 3;");
  EXPECT_EQ(Reopened().Control(kSceneList).selection, 3);
}

TEST_F(SettingsDialogTest, TimeNotInTheListLeavesNoSelectionAndOkWritesItBack) {
  WriteOptions({"nature_view = 1000;", "nature_change_freq = 123456;"});
  dialog.Open();
  EXPECT_EQ(dialog.Control(kChangeList).selection, kNoSelection);
  EXPECT_TRUE(dialog.Control(kChangeList).enabled);
  dialog.Command(kChangeList);  // a notification with nothing selected changes nothing
  dialog.Command(kOkButton);
  EXPECT_EQ(SavedLine("nature_change_freq"), "nature_change_freq = 123456;");
}

TEST_F(SettingsDialogTest, ChangeListPositionsMapToTimesBothWays) {
  for (int position = 0; position < static_cast<int>(kChangeListTimes.size()); ++position) {
    SCOPED_TRACE(position);
    SettingsDialog fresh(options, &report, kPlace);
    fresh.Open();
    fresh.ListChosen(kSceneList, 0);
    fresh.ListChosen(kChangeList, position);
    fresh.Command(kOkButton);
    EXPECT_EQ(SavedLine("nature_change_freq"),
              "nature_change_freq = " + std::to_string(kChangeListTimes[position]) + ";");
    EXPECT_EQ(Reopened().Control(kChangeList).selection, position);
  }
  EXPECT_EQ(kChangeListTimes[0], 60000);
  EXPECT_EQ(kChangeListTimes[kTenMinutesPosition], 600000);
  EXPECT_EQ(kChangeListTimes[11], 3600000);
  EXPECT_EQ(kChangeListTimes[kNeverPosition], 0);
}

TEST_F(SettingsDialogTest, UncheckingSoundDisablesTheVolumeWhichIsStillSaved) {
  dialog.Open();
  dialog.ListChosen(kVolumeList, 7);
  dialog.BoxToggled(kSoundBox, false);
  EXPECT_FALSE(dialog.Control(kVolumeList).enabled);
  EXPECT_EQ(dialog.Control(kVolumeList).selection, 7);
  EXPECT_EQ(options.birds_singing, 0);
  dialog.Command(kOkButton);
  EXPECT_EQ(SavedLine("sound_volume"), "sound_volume = 7;");
  EXPECT_EQ(SavedLine("birds_singing"), "birds_singing = false;");

  SettingsDialog next = Reopened();
  EXPECT_FALSE(next.Control(kSoundBox).checked);
  next.BoxToggled(kSoundBox, true);
  EXPECT_TRUE(next.Control(kVolumeList).enabled);
  EXPECT_EQ(reopenedOptions.birds_singing, 1);
}

TEST_F(SettingsDialogTest, ListsStoreTheirPositionsAndTheMouseBoxCountsOnlyOnOk) {
  dialog.Open();
  dialog.ListChosen(kAnimationList, 0);
  dialog.ListChosen(kSkyList, 1);
  dialog.ListChosen(kVolumeList, 0);
  EXPECT_EQ(options.background_animation, 0);
  EXPECT_EQ(options.speed_of_sky, 1);
  EXPECT_EQ(options.sound_volume, 0);
  dialog.BoxToggled(kMouseExitBox, false);
  EXPECT_FALSE(dialog.Control(kMouseExitBox).checked);
  EXPECT_EQ(options.exit_on_mouse_move, 1);
  dialog.Command(kOkButton);
  EXPECT_EQ(options.exit_on_mouse_move, 0);
  EXPECT_EQ(SavedLine("exit_on_mouse_move"), "exit_on_mouse_move = false;");
  EXPECT_EQ(SavedLine("background_animation"), "background_animation = 0;");
  EXPECT_EQ(SavedLine("speed_of_sky"), "speed_of_sky = 1;");
  EXPECT_EQ(SavedLine("sound_volume"), "sound_volume = 0;");
}

TEST_F(SettingsDialogTest, CancelAfterChangingEveryControlLeavesTheFileAsItWas) {
  // Unusual spacing and order that a rewrite would normalise.
  WriteOptions({"; mine", "speed_of_sky=1;", "nature_view = 5;", "music_volume = 2;"});
  const std::string before = files.At(kOptionsPath);
  dialog.Open();
  dialog.BoxToggled(kSoundBox, false);
  dialog.ListChosen(kVolumeList, 1);
  dialog.BoxToggled(kMouseExitBox, false);
  dialog.ListChosen(kSceneList, 0);
  dialog.ListChosen(kChangeList, 2);
  dialog.ListChosen(kAnimationList, 3);
  dialog.ListChosen(kSkyList, 0);
  dialog.Command(kCancelButton);
  EXPECT_TRUE(dialog.Closed());
  EXPECT_EQ(dialog.Result(), 0);
  EXPECT_EQ(files.At(kOptionsPath), before);
  EXPECT_EQ(files.files.size(), 1u);
}

TEST_F(SettingsDialogTest, CancelWithoutAFileCreatesNone) {
  dialog.Open();
  dialog.ListChosen(kSceneList, 2);
  dialog.Command(kCancelButton);
  EXPECT_FALSE(files.Has(kOptionsPath));
}

TEST_F(SettingsDialogTest, HiddenOptionsSurviveOk) {
  WriteOptions({"brightness = 9;", "birds_singing_volume = 0;", "music_volume = 10;"});
  dialog.Open();
  dialog.ListChosen(kSceneList, 1);
  dialog.ListChosen(kVolumeList, 4);
  dialog.Command(kOkButton);
  EXPECT_EQ(SavedLine("brightness"), "brightness = 9;");
  EXPECT_EQ(SavedLine("birds_singing_volume"), "birds_singing_volume = 0;");
  EXPECT_EQ(SavedLine("music_volume"), "music_volume = 10;");
}

TEST_F(SettingsDialogTest, OkSavesTheWholeRecordInItsLayoutAndClosesWithOne) {
  dialog.Open();
  dialog.Command(kOkButton);
  EXPECT_TRUE(dialog.Closed());
  EXPECT_EQ(dialog.Result(), 1);
  const std::string expected =
      ";  \r\n; Sylvora Screensaver Options file\r\n;  \r\n \r\n \r\n; -----------------------\r\n; Graphics\r\n"
      " \r\nnature_view = 1000;\r\nnature_change_freq = 600000;\r\nbackground_animation = 2;\r\n"
      "speed_of_sky = 2;\r\nbrightness = 4;\r\nexit_on_mouse_move = true;\r\n \r\n \r\n"
      "; -----------------------\r\n; Sound\r\n \r\nbirds_singing = true;\r\nsound_volume = 10;\r\n"
      "birds_singing_volume = 5;\r\nmusic_volume = 5;\r\n";
  EXPECT_EQ(files.At(kOptionsPath), expected);
}

TEST_F(SettingsDialogTest, FailedSaveStillClosesWithOneAndKeepsTheOldFile) {
  WriteOptions({"nature_view = 2;"});
  const std::string before = files.At(kOptionsPath);
  files.unwritable.insert(kOptionsPath);
  dialog.Open();
  dialog.ListChosen(kSceneList, 0);
  dialog.Command(kOkButton);
  EXPECT_TRUE(dialog.Closed());
  EXPECT_EQ(dialog.Result(), 1);
  EXPECT_EQ(files.At(kOptionsPath), before);
}

TEST_F(SettingsDialogTest, NothingHappensAfterClosing) {
  dialog.Open();
  dialog.Command(kCancelButton);
  dialog.ListChosen(kSceneList, 3);
  dialog.BoxToggled(kSoundBox, false);
  dialog.Command(kOkButton);
  EXPECT_EQ(dialog.Result(), 0);
  EXPECT_EQ(options, Options{});
  EXPECT_EQ(dialog.Control(kSceneList).selection, 0);
  EXPECT_FALSE(files.Has(kOptionsPath));
}

TEST_F(SettingsDialogTest, UnknownControlsAndPositionsChangeNothing) {
  dialog.Open();
  const Options before = options;
  dialog.Command(4242);
  dialog.ListChosen(4242, 1);
  dialog.BoxToggled(4242, true);
  EXPECT_FALSE(dialog.Control(4242).enabled);
  EXPECT_EQ(dialog.Control(4242).entryCount, 0);
  // A position past the end clears the selection, which then leaves the option alone.
  dialog.ListChosen(kSceneList, 7);
  EXPECT_EQ(dialog.Control(kSceneList).selection, kNoSelection);
  dialog.ListChosen(kVolumeList, -5);
  EXPECT_EQ(dialog.Control(kVolumeList).selection, kNoSelection);
  dialog.ListChosen(kAnimationList, kNoSelection);
  dialog.ListChosen(kSkyList, 4);
  EXPECT_EQ(options.nature_view, before.nature_view);
  EXPECT_EQ(options.sound_volume, before.sound_volume);
  EXPECT_EQ(options.background_animation, before.background_animation);
  EXPECT_EQ(options.speed_of_sky, before.speed_of_sky);
  EXPECT_FALSE(dialog.Closed());
}

}  // namespace
}  // namespace sylvora
