// The dialog template's contents and its dialog-unit and centring arithmetic.
#include "settings/dialog_template.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace sylvora {
namespace {

const ControlTemplate* FindControl(const std::string& text, ControlKind kind) {
  for (const ControlTemplate& control : kSettingsControls) {
    if (control.text == text && control.kind == kind) return &control;
  }
  return nullptr;
}

bool Inside(const DialogRect& inner, const DialogRect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

TEST(DialogTemplateTest, EightPointSansSerifMetricsGiveTheClassicClientSize) {
  // 6 x 13 pixel base units: 298 x 158 dialog units are 447 x 257 pixels.
  const PixelRect client = ToPixels({0, 0, kSettingsWidth, kSettingsHeight}, {6, 13});
  EXPECT_EQ(client.width, 447);
  EXPECT_EQ(client.height, 257);
}

TEST(DialogTemplateTest, EdgesAreRoundedOneByOneSoNeighboursStayTouching) {
  // OK at 229,116 size 62 x 19: left 343.5 -> 344, right 436.5 -> 437, top 188.5 -> 189, bottom 219.375 -> 219.
  const PixelRect ok = ToPixels({229, 116, 62, 19}, {6, 13});
  EXPECT_EQ(ok.x, 344);
  EXPECT_EQ(ok.y, 189);
  EXPECT_EQ(ok.width, 93);
  EXPECT_EQ(ok.height, 30);
  const PixelRect left = ToPixels({0, 0, 7, 3}, {7, 15});
  const PixelRect right = ToPixels({7, 3, 7, 3}, {7, 15});
  EXPECT_EQ(left.x + left.width, right.x);
  EXPECT_EQ(left.y + left.height, right.y);
}

TEST(DialogTemplateTest, AverageCharWidthRoundsTheSampleWidthOverItsLetters) {
  EXPECT_EQ(AverageCharWidth(0), 0);
  EXPECT_EQ(AverageCharWidth(285), 5);  // 10.96 per pair of letters -> 5
  EXPECT_EQ(AverageCharWidth(286), 6);  // 11 -> 5.5 -> 6
  EXPECT_EQ(AverageCharWidth(337), 6);  // 12.96 -> 6
  EXPECT_EQ(AverageCharWidth(338), 7);
  EXPECT_EQ(std::string(kAverageWidthSample).size(), 52u);
}

TEST(DialogTemplateTest, CentringHalvesScreenAndWindowSeparatelyTruncatingTowardZero) {
  // The classic frame: 447 + 2 x (1 + 3) wide, 257 + 18 + 2 x (3 + 1) high.
  ScreenPoint origin = CentredOrigin(1024, 768, 455, 283);
  EXPECT_EQ(origin.x, 512 - 227);
  EXPECT_EQ(origin.y, 384 - 141);
  origin = CentredOrigin(799, 601, 455, 283);
  EXPECT_EQ(origin.x, 399 - 227);
  EXPECT_EQ(origin.y, 300 - 141);
  origin = CentredOrigin(300, 200, 455, 283);  // a screen smaller than the window
  EXPECT_EQ(origin.x, -77);
  EXPECT_EQ(origin.y, -41);
}

TEST(DialogTemplateTest, ControlsHaveUniqueIdsAndLieInsideTheDialog) {
  std::set<int> ids;
  for (const ControlTemplate& control : kSettingsControls) {
    SCOPED_TRACE(control.text);
    if (control.id != kNoControlId) {
      EXPECT_TRUE(ids.insert(control.id).second);
    }
    if (control.kind != ControlKind::List) {
      EXPECT_TRUE(Inside(control.rect, {0, 0, kSettingsWidth, kSettingsHeight}));
    }
  }
  EXPECT_EQ(ids, (std::set<int>{kOkButton, kCancelButton, kSoundBox, kVolumeList, kMouseExitBox, kAnimationList,
                                kSkyList, kSceneList, kChangeList}));
  EXPECT_EQ(kSettingsControls[0].kind, ControlKind::DefaultButton);
  EXPECT_EQ(kSettingsControls[0].id, kOkButton);
  EXPECT_STREQ(kSettingsCaption, "Sylvora Screensaver Settings");
}

TEST(DialogTemplateTest, GroupBoxesHoldTheirControls) {
  const ControlTemplate* sound = FindControl("Sound", ControlKind::GroupBox);
  const ControlTemplate* mouse = FindControl("Mouse", ControlKind::GroupBox);
  const ControlTemplate* nature = FindControl("Nature Scene settings", ControlKind::GroupBox);
  ASSERT_TRUE(sound && mouse && nature);
  EXPECT_TRUE(Inside(FindControl("Sound", ControlKind::CheckBox)->rect, sound->rect));
  EXPECT_TRUE(Inside(FindControl("Volume:", ControlKind::Label)->rect, sound->rect));
  EXPECT_TRUE(Inside(FindControl("Exit on Mouse Move", ControlKind::CheckBox)->rect, mouse->rect));
  for (const char* label : {"Nature Scene:", "Change Nature Scene:", "Nature Animation:", "Speed of Sky:"}) {
    ASSERT_NE(FindControl(label, ControlKind::Label), nullptr) << label;
    EXPECT_TRUE(Inside(FindControl(label, ControlKind::Label)->rect, nature->rect)) << label;
  }
}

// Every control that takes the keyboard is reached by a letter of its own or of the label naming it,
// and no two letters are the same (Alt takes either case).
TEST(DialogTemplateTest, EveryControlHasItsOwnAccessKey) {
  std::set<int> reached;
  std::set<char> letters;
  for (const ControlTemplate& control : kSettingsControls) {
    if (!control.accessKey) continue;
    SCOPED_TRACE(control.text);
    EXPECT_NE(std::string(control.text).find(control.accessKey), std::string::npos);
    EXPECT_TRUE(letters.insert(static_cast<char>(std::tolower(control.accessKey))).second);
    reached.insert(control.kind == ControlKind::Label ? control.labelFor : control.id);
  }
  EXPECT_EQ(reached, std::set<int>(kTabOrder.begin(), kTabOrder.end()));
  EXPECT_EQ(FindControl("Volume:", ControlKind::Label)->labelFor, kVolumeList);
  EXPECT_EQ(FindControl("Change Nature Scene:", ControlKind::Label)->labelFor, kChangeList);
  EXPECT_EQ(FindControl("Speed of Sky:", ControlKind::Label)->labelFor, kSkyList);
}

TEST(DialogTemplateTest, MnemonicTextMarksTheFirstAccessKey) {
  EXPECT_EQ(MnemonicText("OK", 'O'), "_OK");
  EXPECT_EQ(MnemonicText("Change Nature Scene:", 'h'), "C_hange Nature Scene:");
  EXPECT_EQ(MnemonicText("Speed of Sky:", 'S'), "_Speed of Sky:");
  EXPECT_EQ(MnemonicText("Volume:", 'x'), "Volume:");
  EXPECT_EQ(MnemonicText("Volume:", 0), "Volume:");
}

// Reading order from the geometry: the left column (left of the scene group) top down, then the right
// column top down, then the buttons below both, left to right.
TEST(DialogTemplateTest, TabGoesInReadingOrder) {
  auto place = [](int id) {
    for (const ControlTemplate& control : kSettingsControls) {
      if (control.id == id) return control.rect;
    }
    return DialogRect{};
  };
  const DialogRect nature = FindControl("Nature Scene settings", ControlKind::GroupBox)->rect;
  auto band = [&](const DialogRect& r) { return r.y >= nature.y + nature.height ? 2 : r.x < nature.x ? 0 : 1; };
  for (size_t i = 1; i < kTabOrder.size(); ++i) {
    const DialogRect before = place(kTabOrder[i - 1]);
    const DialogRect after = place(kTabOrder[i]);
    SCOPED_TRACE(kTabOrder[i]);
    ASSERT_LE(band(before), band(after));
    if (band(before) == band(after) && band(after) < 2) {
      EXPECT_LT(before.y, after.y);
    }
    if (band(before) == 2 && band(after) == 2) {
      EXPECT_LT(before.x, after.x);
    }
  }
}

TEST(DialogTemplateTest, ListsHoldTheirEntriesInOrder) {
  const auto volume = ListEntries(kVolumeList);
  ASSERT_EQ(volume.size(), 11u);
  EXPECT_STREQ(volume[0], "0%");
  EXPECT_STREQ(volume[5], "50%");
  EXPECT_STREQ(volume[10], "100%");
  const auto animation = ListEntries(kAnimationList);
  ASSERT_EQ(animation.size(), 4u);
  EXPECT_STREQ(animation[0], "Disable");
  EXPECT_STREQ(animation[3], "High");
  const auto sky = ListEntries(kSkyList);
  ASSERT_EQ(sky.size(), 4u);
  EXPECT_STREQ(sky[0], "Unmoved");
  EXPECT_STREQ(sky[1], "Low");
  const auto scene = ListEntries(kSceneList);
  ASSERT_EQ(scene.size(), 7u);
  EXPECT_STREQ(scene[0], "Randomly");
  EXPECT_STREQ(scene[3], "Constantly 3rd scene");
  EXPECT_STREQ(scene[4], "Constantly 4th scene");
  const auto change = ListEntries(kChangeList);
  ASSERT_EQ(change.size(), 13u);
  EXPECT_STREQ(change[0], "every 1 minute");
  EXPECT_STREQ(change[4], "every 10 minutes");
  EXPECT_STREQ(change[11], "every 60 minutes");
  EXPECT_STREQ(change[12], "never");
  EXPECT_TRUE(ListEntries(kSoundBox).empty());
  EXPECT_TRUE(ListEntries(kNoControlId).empty());
}

TEST(DialogTemplateTest, BottomLineNamesTheProductAndTheBuildsVersion) {
  EXPECT_EQ(std::string(kProductLine), "Sylvora Screensaver version " SYLVORA_VERSION " by Tavro Software");
  EXPECT_STREQ(kSettingsControls.back().text, kProductLine);
}

}  // namespace
}  // namespace sylvora
