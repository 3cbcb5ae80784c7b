#pragma once
// The settings dialog's template: its caption and size, every control with its id, kind, place and text
// in dialog units, the entries of its drop-down lists, and the arithmetic that turns dialog units into
// pixels and centres the window. Shared by the controller (ids and lists) and the GTK view (layout).
#include <array>
#include <span>
#include <string>

namespace sylvora {

// Ids of the controls the dialog procedure handles; the labels and group boxes have none.
enum SettingsControlId : int {
  kOkButton = 1,
  kCancelButton = 2,
  kSoundBox = 1000,
  kVolumeList = 1002,
  kMouseExitBox = 1005,
  kAnimationList = 1006,
  kSkyList = 1007,
  kSceneList = 1008,
  kChangeList = 1009,
};
// The id of a control the procedure never hears from.
constexpr int kNoControlId = -1;

// What a template entry becomes on screen.
enum class ControlKind { DefaultButton, Button, GroupBox, CheckBox, Label, List };

// A rectangle in dialog units, origin at the top left of the client area.
struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// One control of the template. A list's height is that of its dropped-down list, as on Windows.
struct ControlTemplate {
  int id = kNoControlId;
  ControlKind kind = ControlKind::Label;
  DialogRect rect;
  const char* text = "";
  // The letter of text that Alt takes to the control (underlined), 0 for none; a label's letter takes
  // the keyboard to the control it names.
  char accessKey = 0;
  // For a label, the control it names (for the access key and for assistive technology).
  int labelFor = kNoControlId;
};

// The window's caption.
extern const char* const kSettingsCaption;
// The client area's size in dialog units.
constexpr int kSettingsWidth = 298;
constexpr int kSettingsHeight = 158;
// Every control, in creation order.
constexpr int kSettingsControlCount = 18;
extern const std::array<ControlTemplate, kSettingsControlCount> kSettingsControls;
// The order Tab visits the controls in, as they are read: down the left column, down the right one,
// then the buttons from left to right. A disabled control is passed over.
constexpr std::array<int, 9> kTabOrder = {kSoundBox,      kVolumeList, kMouseExitBox, kSceneList, kChangeList,
                                          kAnimationList, kSkyList,    kCancelButton, kOkButton};
// text with an underscore before the first accessKey in it, as toolkits mark an access key; text
// itself when it holds no such letter (or accessKey is 0).
std::string MnemonicText(const char* text, char accessKey);
// The line at the bottom naming the product and the build's version.
extern const char* const kProductLine;

// The entries of list id in order; empty for any other id.
std::span<const char* const> ListEntries(int id);

// The font metrics a dialog unit is derived from, in pixels.
struct DialogBaseUnits {
  int charWidth = 0;   // average character width
  int charHeight = 0;  // character cell height
};

// The text whose width, divided by its 52 letters with rounding, is the average character width.
extern const char* const kAverageWidthSample;
// Average character width from the pixel width of kAverageWidthSample, rounded to the nearest pixel.
int AverageCharWidth(int sampleWidthPixels);

// A rectangle in pixels.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
// Maps rect to pixels edge by edge (so neighbouring controls stay neighbours): x units are a quarter of the
// average character width, y units an eighth of the character height, each edge rounded to the nearest pixel.
PixelRect ToPixels(const DialogRect& rect, const DialogBaseUnits& units);

// A window's top-left corner on the screen.
struct ScreenPoint {
  int x = 0;
  int y = 0;
};
// Where a window of the given outer size goes to be centred on the screen: half the screen less half the
// window, each half an integer division truncated toward zero on its own.
ScreenPoint CentredOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

}  // namespace sylvora
