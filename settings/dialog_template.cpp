#include "settings/dialog_template.h"

namespace sylvora {
namespace {

constexpr std::array<const char*, 11> kVolumeEntries = {"0%",  "10%", "20%", "30%", "40%", "50%",
                                                        "60%", "70%", "80%", "90%", "100%"};
constexpr std::array<const char*, 4> kAnimationEntries = {"Disable", "Low", "Normal", "High"};
constexpr std::array<const char*, 4> kSkyEntries = {"Unmoved", "Low", "Normal", "High"};
constexpr std::array<const char*, 7> kSceneEntries = {
    "Randomly",             "Constantly 1st scene", "Constantly 2nd scene", "Constantly 3rd scene",
    "Constantly 4th scene", "Constantly 5th scene", "Constantly 6th scene"};
constexpr std::array<const char*, 13> kChangeEntries = {
    "every 1 minute",   "every 3 minutes",  "every 5 minutes",  "every 7 minutes",  "every 10 minutes",
    "every 15 minutes", "every 20 minutes", "every 25 minutes", "every 30 minutes", "every 40 minutes",
    "every 50 minutes", "every 60 minutes", "never"};

// Rounds value / divisor to the nearest whole number, halves away from zero, for non-negative values.
int DivideRounded(int value, int divisor) { return (value * 2 + divisor) / (divisor * 2); }

}  // namespace

const char* const kSettingsCaption = "Sylvora Screensaver Settings";
const char* const kProductLine = "Sylvora Screensaver version " SYLVORA_VERSION " by Tavro Software";
const char* const kAverageWidthSample = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

const std::array<ControlTemplate, kSettingsControlCount> kSettingsControls = {{
    {kOkButton, ControlKind::DefaultButton, {229, 116, 62, 19}, "OK", 'O'},
    {kCancelButton, ControlKind::Button, {159, 116, 62, 19}, "Cancel", 'C'},
    {kNoControlId, ControlKind::GroupBox, {7, 7, 94, 58}, "Sound"},
    {kSoundBox, ControlKind::CheckBox, {19, 21, 34, 10}, "Sound", 'S'},
    {kNoControlId, ControlKind::Label, {19, 39, 26, 8}, "Volume:", 'V', kVolumeList},
    {kVolumeList, ControlKind::List, {47, 37, 36, 114}, ""},
    {kNoControlId, ControlKind::GroupBox, {7, 67, 94, 41}, "Mouse"},
    {kMouseExitBox, ControlKind::CheckBox, {14, 85, 79, 10}, "Exit on Mouse Move", 'E'},
    {kNoControlId, ControlKind::GroupBox, {107, 7, 184, 102}, "Nature Scene settings"},
    {kNoControlId, ControlKind::Label, {138, 24, 47, 8}, "Nature Scene:", 'N', kSceneList},
    {kSceneList, ControlKind::List, {186, 22, 97, 72}, ""},
    {kNoControlId, ControlKind::Label, {112, 40, 74, 8}, "Change Nature Scene:", 'h', kChangeList},
    {kChangeList, ControlKind::List, {186, 37, 97, 127}, ""},
    {kNoControlId, ControlKind::Label, {126, 71, 59, 8}, "Nature Animation:", 'A', kAnimationList},
    {kAnimationList, ControlKind::List, {186, 69, 48, 63}, ""},
    {kNoControlId, ControlKind::Label, {139, 87, 46, 8}, "Speed of Sky:", 'k', kSkyList},
    {kSkyList, ControlKind::List, {186, 84, 48, 65}, ""},
    {kNoControlId, ControlKind::Label, {11, 143, 277, 8}, kProductLine},
}};

std::string MnemonicText(const char* text, char accessKey) {
  std::string marked = text;
  const size_t at = accessKey ? marked.find(accessKey) : std::string::npos;
  if (at != std::string::npos) marked.insert(at, 1, '_');
  return marked;
}

std::span<const char* const> ListEntries(int id) {
  switch (id) {
    case kVolumeList: return kVolumeEntries;
    case kAnimationList: return kAnimationEntries;
    case kSkyList: return kSkyEntries;
    case kSceneList: return kSceneEntries;
    case kChangeList: return kChangeEntries;
    default: return {};
  }
}

int AverageCharWidth(int sampleWidthPixels) { return (sampleWidthPixels / 26 + 1) / 2; }

PixelRect ToPixels(const DialogRect& rect, const DialogBaseUnits& units) {
  auto px = [&](int x) { return DivideRounded(x * units.charWidth, 4); };
  auto py = [&](int y) { return DivideRounded(y * units.charHeight, 8); };
  return {px(rect.x), py(rect.y), px(rect.x + rect.width) - px(rect.x), py(rect.y + rect.height) - py(rect.y)};
}

ScreenPoint CentredOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
  return {screenWidth / 2 - windowWidth / 2, screenHeight / 2 - windowHeight / 2};
}

}  // namespace sylvora
