#include "input/input_backend_sdl.h"

#include <SDL.h>

namespace sylvora {
namespace {

// SDL scancodes and the keyboard scan codes the input logic watches for them.
struct ScancodePair {
  SDL_Scancode sdl;
  uint8_t scanCode;
};

constexpr ScancodePair kScancodePairs[] = {
    {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_1, 0x02}, {SDL_SCANCODE_2, 0x03}, {SDL_SCANCODE_3, 0x04},
    {SDL_SCANCODE_4, 0x05}, {SDL_SCANCODE_5, 0x06}, {SDL_SCANCODE_6, 0x07}, {SDL_SCANCODE_7, 0x08},
    {SDL_SCANCODE_8, 0x09}, {SDL_SCANCODE_9, 0x0A}, {SDL_SCANCODE_0, 0x0B}, {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D}, {SDL_SCANCODE_BACKSPACE, 0x0E}, {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10}, {SDL_SCANCODE_W, 0x11}, {SDL_SCANCODE_E, 0x12}, {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14}, {SDL_SCANCODE_Y, 0x15}, {SDL_SCANCODE_U, 0x16}, {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18}, {SDL_SCANCODE_P, 0x19}, {SDL_SCANCODE_LEFTBRACKET, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B}, {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_S, 0x1F}, {SDL_SCANCODE_D, 0x20}, {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22}, {SDL_SCANCODE_H, 0x23}, {SDL_SCANCODE_J, 0x24}, {SDL_SCANCODE_K, 0x25},
    {SDL_SCANCODE_L, 0x26}, {SDL_SCANCODE_SEMICOLON, 0x27}, {SDL_SCANCODE_APOSTROPHE, 0x28},
    {SDL_SCANCODE_GRAVE, 0x29}, {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_BACKSLASH, 0x2B},
    {SDL_SCANCODE_NONUSHASH, 0x2B}, {SDL_SCANCODE_Z, 0x2C}, {SDL_SCANCODE_X, 0x2D}, {SDL_SCANCODE_C, 0x2E},
    {SDL_SCANCODE_V, 0x2F}, {SDL_SCANCODE_B, 0x30}, {SDL_SCANCODE_N, 0x31}, {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_COMMA, 0x33}, {SDL_SCANCODE_PERIOD, 0x34}, {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_KP_MULTIPLY, 0x37}, {SDL_SCANCODE_LALT, 0x38},
    {SDL_SCANCODE_SPACE, 0x39}, {SDL_SCANCODE_CAPSLOCK, 0x3A}, {SDL_SCANCODE_F1, 0x3B},
    {SDL_SCANCODE_F2, 0x3C}, {SDL_SCANCODE_F3, 0x3D}, {SDL_SCANCODE_F4, 0x3E}, {SDL_SCANCODE_F5, 0x3F},
    {SDL_SCANCODE_F6, 0x40}, {SDL_SCANCODE_F7, 0x41}, {SDL_SCANCODE_F8, 0x42}, {SDL_SCANCODE_F9, 0x43},
    {SDL_SCANCODE_F10, 0x44}, {SDL_SCANCODE_NUMLOCKCLEAR, 0x45}, {SDL_SCANCODE_SCROLLLOCK, 0x46},
    {SDL_SCANCODE_KP_7, 0x47}, {SDL_SCANCODE_KP_8, 0x48}, {SDL_SCANCODE_KP_9, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x4A}, {SDL_SCANCODE_KP_4, 0x4B}, {SDL_SCANCODE_KP_5, 0x4C},
    {SDL_SCANCODE_KP_6, 0x4D}, {SDL_SCANCODE_KP_PLUS, 0x4E}, {SDL_SCANCODE_KP_1, 0x4F},
    {SDL_SCANCODE_KP_2, 0x50}, {SDL_SCANCODE_KP_3, 0x51}, {SDL_SCANCODE_KP_0, 0x52},
    {SDL_SCANCODE_KP_PERIOD, 0x53}, {SDL_SCANCODE_NONUSBACKSLASH, 0x56}, {SDL_SCANCODE_F11, 0x57},
    {SDL_SCANCODE_F12, 0x58}, {SDL_SCANCODE_F13, 0x64}, {SDL_SCANCODE_F14, 0x65}, {SDL_SCANCODE_F15, 0x66},
    {SDL_SCANCODE_INTERNATIONAL2, 0x70}, {SDL_SCANCODE_INTERNATIONAL1, 0x73},
    {SDL_SCANCODE_INTERNATIONAL4, 0x79}, {SDL_SCANCODE_INTERNATIONAL5, 0x7B},
    {SDL_SCANCODE_INTERNATIONAL3, 0x7D}, {SDL_SCANCODE_KP_EQUALS, 0x8D}, {SDL_SCANCODE_AUDIOPREV, 0x90},
    {SDL_SCANCODE_STOP, 0x95}, {SDL_SCANCODE_AUDIONEXT, 0x99}, {SDL_SCANCODE_KP_ENTER, 0x9C},
    {SDL_SCANCODE_RCTRL, 0x9D}, {SDL_SCANCODE_AUDIOMUTE, 0xA0}, {SDL_SCANCODE_MUTE, 0xA0},
    {SDL_SCANCODE_CALCULATOR, 0xA1}, {SDL_SCANCODE_AUDIOPLAY, 0xA2}, {SDL_SCANCODE_AUDIOSTOP, 0xA4},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE}, {SDL_SCANCODE_VOLUMEUP, 0xB0}, {SDL_SCANCODE_AC_HOME, 0xB2},
    {SDL_SCANCODE_KP_COMMA, 0xB3}, {SDL_SCANCODE_KP_DIVIDE, 0xB5}, {SDL_SCANCODE_PRINTSCREEN, 0xB7},
    {SDL_SCANCODE_RALT, 0xB8}, {SDL_SCANCODE_PAUSE, 0xC5}, {SDL_SCANCODE_HOME, 0xC7},
    {SDL_SCANCODE_UP, 0xC8}, {SDL_SCANCODE_PAGEUP, 0xC9}, {SDL_SCANCODE_LEFT, 0xCB},
    {SDL_SCANCODE_RIGHT, 0xCD}, {SDL_SCANCODE_END, 0xCF}, {SDL_SCANCODE_DOWN, 0xD0},
    {SDL_SCANCODE_PAGEDOWN, 0xD1}, {SDL_SCANCODE_INSERT, 0xD2}, {SDL_SCANCODE_DELETE, 0xD3},
    {SDL_SCANCODE_LGUI, 0xDB}, {SDL_SCANCODE_RGUI, 0xDC}, {SDL_SCANCODE_APPLICATION, 0xDD},
    {SDL_SCANCODE_POWER, 0xDE}, {SDL_SCANCODE_SLEEP, 0xDF}, {SDL_SCANCODE_AC_SEARCH, 0xE5},
    {SDL_SCANCODE_AC_BOOKMARKS, 0xE6}, {SDL_SCANCODE_AC_REFRESH, 0xE7}, {SDL_SCANCODE_AC_STOP, 0xE8},
    {SDL_SCANCODE_AC_FORWARD, 0xE9}, {SDL_SCANCODE_AC_BACK, 0xEA}, {SDL_SCANCODE_COMPUTER, 0xEB},
    {SDL_SCANCODE_MAIL, 0xEC}, {SDL_SCANCODE_MEDIASELECT, 0xED},
};

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> MakeScanCodeTable() {
  std::array<uint8_t, SDL_NUM_SCANCODES> table{};
  for (const ScancodePair& pair : kScancodePairs) table[pair.sdl] = pair.scanCode;
  return table;
}
constexpr auto kScanCodeTable = MakeScanCodeTable();

// SDL's raw axis travel.
constexpr int32_t kSdlAxisMin = -32768;
constexpr int32_t kSdlAxisMax = 32767;

// The button number of an SDL mouse button: left 0, right 1, then middle and the extra buttons.
int ButtonNumber(uint8_t sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    default: return sdlButton - 1;
  }
}

}  // namespace

uint8_t ScanCodeOfSdlScancode(int sdlScancode) {
  if (sdlScancode < 0 || sdlScancode >= SDL_NUM_SCANCODES) return 0;
  return kScanCodeTable[sdlScancode];
}

SdlInputBackend::~SdlInputBackend() { ReleaseContext(); }

bool SdlInputBackend::CreateContext(NativeWindow* window) {
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
  window_ = reinterpret_cast<SDL_Window*>(window);
  SDL_AddEventWatch(&SdlInputBackend::WatchEvents, this);
  context_ = true;
  return true;
}

bool SdlInputBackend::CreateDevice(DeviceKind device) {
  if (device != DeviceKind::Joystick) return true;
  // The first attached joystick that opens.
  for (int i = 0; i < SDL_NumJoysticks() && !joystick_; ++i) joystick_ = SDL_JoystickOpen(i);
  return joystick_ != nullptr;
}

// SDL gives every device in one fixed layout, so selecting it cannot fail.
bool SdlInputBackend::SetDataFormat(DeviceKind) { return true; }

// Non-exclusive, foreground-only access is what HasFocus enforces at each read.
bool SdlInputBackend::SetCooperativeLevel(DeviceKind) { return window_ != nullptr; }

bool SdlInputBackend::SetMouseBufferSize(int entries) {
  if (entries < 1 || entries > kMaxMouseEvents) return false;
  mouseCapacity_ = entries;
  return true;
}

bool SdlInputBackend::SetAxisProperty(AxisProperty property, JoystickAxis axis, int32_t low, int32_t high) {
  AxisSetting& setting = axes_[axis == JoystickAxis::X ? 0 : 1];
  switch (property) {
    case AxisProperty::Range:
      if (low >= high) return false;
      setting.min = low;
      setting.max = high;
      return true;
    case AxisProperty::DeadZone:
      if (low < 0 || low > 10000) return false;
      setting.deadZone = low;
      return true;
    case AxisProperty::Saturation:
      if (low < 0 || low > 10000) return false;
      setting.saturation = low;
      return true;
  }
  return false;
}

void SdlInputBackend::Acquire(DeviceKind device) { acquired_[Index(device)] = true; }

void SdlInputBackend::Unacquire(DeviceKind device) {
  acquired_[Index(device)] = false;
  if (device == DeviceKind::Mouse) mouseFirst_ = mouseCount_ = 0;
  if (device == DeviceKind::Keyboard) keyPresses_.fill(0);
}

bool SdlInputBackend::HasFocus() const {
  return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

ReadResult SdlInputBackend::ReadKeyboard(uint8_t (&keys)[kKeyStateBytes]) {
  if (!acquired_[Index(DeviceKind::Keyboard)] || !HasFocus()) return ReadResult::InputLost;
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  for (uint8_t& key : keys) key = 0;
  for (int sdl = 0; sdl < count; ++sdl) {
    const uint8_t code = ScanCodeOfSdlScancode(sdl);
    if (code != 0 && state[sdl]) keys[code] = 0x80;
  }
  return ReadResult::Ok;
}

int SdlInputBackend::WatchEvents(void* self, SDL_Event* event) {
  auto* backend = static_cast<SdlInputBackend*>(self);
  if (event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP) backend->NoteMouseButton(*event);
  if (event->type == SDL_KEYDOWN) backend->NoteKeyDown(*event);
  return 0;
}

void SdlInputBackend::NoteMouseButton(const SDL_Event& event) {
  if (!acquired_[Index(DeviceKind::Mouse)] || !HasFocus()) return;
  if (mouseCount_ >= mouseCapacity_) return;
  MouseEvent& slot = mouseEvents_[(mouseFirst_ + mouseCount_) % kMaxMouseEvents];
  slot.button = ButtonNumber(event.button.button);
  slot.data = event.type == SDL_MOUSEBUTTONDOWN ? 0x80 : 0;
  ++mouseCount_;
}

void SdlInputBackend::NoteKeyDown(const SDL_Event& event) {
  if (!acquired_[Index(DeviceKind::Keyboard)] || !HasFocus()) return;
  const uint8_t code = ScanCodeOfSdlScancode(event.key.keysym.scancode);
  if (code != 0) keyPresses_[code] = 0x80;
}

void SdlInputBackend::TakeKeyPresses(uint8_t (&presses)[kKeyStateBytes]) {
  for (int i = 0; i < kKeyStateBytes; ++i) presses[i] = keyPresses_[i];
  keyPresses_.fill(0);
}

ReadResult SdlInputBackend::ReadMouseEvent(MouseEvent& event) {
  if (!acquired_[Index(DeviceKind::Mouse)] || !HasFocus()) return ReadResult::InputLost;
  if (mouseCount_ == 0) return ReadResult::NoData;
  event = mouseEvents_[mouseFirst_];
  mouseFirst_ = (mouseFirst_ + 1) % kMaxMouseEvents;
  --mouseCount_;
  return ReadResult::Ok;
}

void SdlInputBackend::PollJoystick() {
  if (joystick_) SDL_JoystickUpdate();
}

ReadResult SdlInputBackend::ReadJoystick(JoystickState& state) {
  if (!joystick_) return ReadResult::Failed;
  if (!acquired_[Index(DeviceKind::Joystick)] || !HasFocus()) return ReadResult::InputLost;
  state.x = ScaleAxis(SDL_JoystickGetAxis(joystick_, 0), kSdlAxisMin, kSdlAxisMax, axes_[0]);
  state.y = ScaleAxis(SDL_JoystickGetAxis(joystick_, 1), kSdlAxisMin, kSdlAxisMax, axes_[1]);
  const int buttons = SDL_JoystickNumButtons(joystick_);
  for (int i = 0; i < kJoystickButtons; ++i) {
    state.buttons[i] = i < buttons && SDL_JoystickGetButton(joystick_, i) ? 0x80 : 0;
  }
  return ReadResult::Ok;
}

void SdlInputBackend::ReleaseDevice(DeviceKind device) {
  acquired_[Index(device)] = false;
  if (device == DeviceKind::Joystick && joystick_) {
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
  }
}

void SdlInputBackend::ReleaseContext() {
  if (!context_) return;
  if (joystick_) ReleaseDevice(DeviceKind::Joystick);
  SDL_DelEventWatch(&SdlInputBackend::WatchEvents, this);
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  context_ = false;
  window_ = nullptr;
}

}  // namespace sylvora
