// The SDL device layer: the scan-code table, axis scaling, and the real joystick and mouse paths on a
// window under the test display (a virtual joystick stands in for a real one).
#include "input/input_backend_sdl.h"

#include <SDL.h>
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "input/axis_scale.h"
#include "platform/window_sdl.h"
#include "tests/input/input_test_support.h"

// Under the leak checker: the D-Bus library SDL starts keeps one buffer until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace sylvora {
namespace {

TEST(SdlScanCodes, MapToTheKeysTheLogicWatches) {
  EXPECT_EQ(ScanCodeOfSdlScancode(SDL_SCANCODE_ESCAPE), 0x01);
  EXPECT_EQ(ScanCodeOfSdlScancode(SDL_SCANCODE_SPACE), 0x39);
  EXPECT_EQ(ScanCodeOfSdlScancode(SDL_SCANCODE_RETURN), 0x1C);
  EXPECT_EQ(ScanCodeOfSdlScancode(SDL_SCANCODE_KP_ENTER), 0x9C);
  EXPECT_EQ(ScanCodeOfSdlScancode(SDL_SCANCODE_RIGHT), 0xCD);
  EXPECT_EQ(ScanCodeOfSdlScancode(SDL_SCANCODE_RALT), 0xB8);
  EXPECT_EQ(ScanCodeOfSdlScancode(SDL_SCANCODE_F12), 0x58);
  EXPECT_EQ(ScanCodeOfSdlScancode(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(ScanCodeOfSdlScancode(-1), 0);
  EXPECT_EQ(ScanCodeOfSdlScancode(SDL_NUM_SCANCODES), 0);
  std::set<int> watched;
  for (int i = 0; i < InputSystem::kKeyboardObjects; ++i) watched.insert(KeyboardScanCode(i));
  std::set<int> mapped;
  for (int sdl = 0; sdl < SDL_NUM_SCANCODES; ++sdl) {
    const int code = ScanCodeOfSdlScancode(sdl);
    if (code == 0) continue;
    EXPECT_TRUE(watched.count(code)) << "SDL scancode " << sdl << " maps to unwatched code " << code;
    mapped.insert(code);
  }
  // Letters, digits, function keys, keypad and navigation keys all arrive.
  EXPECT_GE(mapped.size(), 120u);
}

TEST(AxisScaling, AppliesRangeDeadZoneAndSaturation) {
  const AxisSetting setting{-5000, 5000, 4000, 9000};
  EXPECT_EQ(ScaleAxis(0, -10000, 10000, setting), 0);
  EXPECT_EQ(ScaleAxis(4000, -10000, 10000, setting), 0);     // edge of the dead zone
  EXPECT_EQ(ScaleAxis(-4000, -10000, 10000, setting), 0);
  EXPECT_EQ(ScaleAxis(6500, -10000, 10000, setting), 2500);  // half-way between 40 % and 90 %
  EXPECT_EQ(ScaleAxis(-6500, -10000, 10000, setting), -2500);
  EXPECT_EQ(ScaleAxis(9000, -10000, 10000, setting), 5000);  // saturated
  EXPECT_EQ(ScaleAxis(-10000, -10000, 10000, setting), -5000);
  EXPECT_GT(ScaleAxis(4100, -10000, 10000, setting), 0);
  // SDL's asymmetric raw travel still reaches both ends.
  EXPECT_EQ(ScaleAxis(-32768, -32768, 32767, setting), -5000);
  EXPECT_EQ(ScaleAxis(32767, -32768, 32767, setting), 5000);
  // Without dead zone and saturation the mapping is linear onto any range.
  EXPECT_EQ(ScaleAxis(50, 0, 100, AxisSetting{0, 1000, 0, 10000}), 500);
  EXPECT_EQ(ScaleAxis(75, 0, 100, AxisSetting{0, 1000, 0, 10000}), 750);
}

// The real device layer on a window with focus under the test display.
class SdlInput : public InputFixture {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
    ASSERT_TRUE(window_.Create("input test", 320, 240, false));
    backend_ = std::make_unique<SdlInputBackend>();
    sdlInput_ = std::make_unique<InputSystem>(report_.get(), *backend_);
    ASSERT_EQ(sdlInput_->CreateDirectInput(window_.Handle()), 0);
  }

  void TearDown() override {
    if (sdlInput_) sdlInput_->Release();
    sdlInput_.reset();
    backend_.reset();
  }

  bool WaitForFocus() {
    window_.Show();
    for (int i = 0; i < 200; ++i) {
      SDL_PumpEvents();
      if (SDL_GetWindowFlags(reinterpret_cast<SDL_Window*>(window_.Handle())) & SDL_WINDOW_INPUT_FOCUS) return true;
      SDL_Delay(10);
    }
    return false;
  }

  static void PushButton(uint8_t button, bool down, Uint32 mouse = 0) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.which = mouse;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&event);
  }

  SdlWindowSystem window_;
  std::unique_ptr<SdlInputBackend> backend_;
  std::unique_ptr<InputSystem> sdlInput_;
};

TEST_F(SdlInput, VirtualJoystickReadsThroughTheRealPath) {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = 2;
  desc.nbuttons = 32;
  const int deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(deviceIndex, 0) << SDL_GetError();
  ASSERT_EQ(sdlInput_->Create(InputDevice::All), 0);
  ASSERT_EQ(sdlInput_->Joystick().created, 1);
  ASSERT_TRUE(WaitForFocus());
  sdlInput_->Acquire(InputDevice::All);
  SDL_Joystick* stick = SDL_JoystickOpen(deviceIndex);
  ASSERT_NE(stick, nullptr);

  auto updateWith = [&](Sint16 x, Sint16 y, int button) {
    SDL_JoystickSetVirtualAxis(stick, 0, x);
    SDL_JoystickSetVirtualAxis(stick, 1, y);
    for (int b = 0; b < 32; ++b) SDL_JoystickSetVirtualButton(stick, b, b == button ? SDL_PRESSED : SDL_RELEASED);
    sdlInput_->Update(InputDevice::All);
  };
  updateWith(-32768, 0, -1);
  EXPECT_EQ(sdlInput_->Get(InputDevice::Joystick, 0), KeyState::Pressed);
  EXPECT_EQ(sdlInput_->Get(InputDevice::Joystick, 1), KeyState::Up);
  // 30 % of the travel lies inside the 40 % dead zone.
  updateWith(0, static_cast<Sint16>(32767 * 0.3), 3);
  EXPECT_EQ(sdlInput_->Get(InputDevice::Joystick, 0), KeyState::Released);
  EXPECT_EQ(sdlInput_->Get(InputDevice::Joystick, 3), KeyState::Up);
  EXPECT_EQ(sdlInput_->Get(InputDevice::Joystick, 4 + 3), KeyState::Pressed);
  updateWith(0, static_cast<Sint16>(32767 * 0.5), -1);
  EXPECT_EQ(sdlInput_->Get(InputDevice::Joystick, 3), KeyState::Pressed);
  SDL_JoystickClose(stick);
  sdlInput_->Release();
  SDL_JoystickDetachVirtual(deviceIndex);
}

TEST_F(SdlInput, MouseButtonsAreBufferedWhileTheWindowHasFocus) {
  ASSERT_EQ(sdlInput_->Create(InputDevice::Mouse), 0);
  ASSERT_TRUE(WaitForFocus());
  sdlInput_->Acquire(InputDevice::Mouse);
  PushButton(SDL_BUTTON_LEFT, true);
  PushButton(SDL_BUTTON_RIGHT, true);
  PushButton(SDL_BUTTON_RIGHT, false);
  PushButton(SDL_BUTTON_MIDDLE, true);
  PushButton(SDL_BUTTON_LEFT, true, SDL_TOUCH_MOUSEID);  // a tap on a touch screen is a click
  MouseEvent event;
  std::vector<std::pair<int, int>> seen;
  while (backend_->ReadMouseEvent(event) == ReadResult::Ok) seen.emplace_back(event.button, event.data);
  EXPECT_THAT(seen, ::testing::ElementsAre(std::pair{0, 0x80}, std::pair{1, 0x80}, std::pair{1, 0}, std::pair{2, 0x80},
                                          std::pair{0, 0x80}));
  // The buffer holds 64 events; later ones are dropped.
  for (int i = 0; i < 70; ++i) PushButton(SDL_BUTTON_LEFT, i % 2 == 0);
  int count = 0;
  while (backend_->ReadMouseEvent(event) == ReadResult::Ok) ++count;
  EXPECT_EQ(count, InputSystem::kMouseBufferEntries);
  // Through the logic: a held left button.
  PushButton(SDL_BUTTON_LEFT, true);
  sdlInput_->Update(InputDevice::Mouse);
  EXPECT_EQ(sdlInput_->Get(InputDevice::Mouse, 4), KeyState::Pressed);
}

// A key that went down and up between two reads: SDL's key state has it up again, its event is kept.
TEST_F(SdlInput, KeyPressesAreKeptFromTheEventQueueUntilTaken) {
  ASSERT_EQ(sdlInput_->Create(InputDevice::Keyboard), 0);
  ASSERT_TRUE(WaitForFocus());
  auto pushKey = [](SDL_Scancode code, Uint32 type) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.scancode = code;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&event);
  };
  uint8_t presses[kKeyStateBytes];
  backend_->TakeKeyPresses(presses);
  pushKey(SDL_SCANCODE_SPACE, SDL_KEYDOWN);  // not acquired yet: not kept
  sdlInput_->Acquire(InputDevice::Keyboard);
  pushKey(SDL_SCANCODE_RETURN, SDL_KEYDOWN);
  pushKey(SDL_SCANCODE_RETURN, SDL_KEYUP);
  backend_->TakeKeyPresses(presses);
  std::vector<int> down;
  for (int code = 0; code < kKeyStateBytes; ++code) {
    if (presses[code] & 0x80) down.push_back(code);
  }
  EXPECT_THAT(down, ::testing::ElementsAre(0x1C));
  backend_->TakeKeyPresses(presses);
  EXPECT_EQ(std::count(std::begin(presses), std::end(presses), 0), kKeyStateBytes) << "taken once only";
  // Through the logic: the tap ends at the next update as a press.
  pushKey(SDL_SCANCODE_SPACE, SDL_KEYDOWN);
  pushKey(SDL_SCANCODE_SPACE, SDL_KEYUP);
  sdlInput_->Update(InputDevice::Keyboard);
  EXPECT_EQ(sdlInput_->Get(InputDevice::Keyboard, 56), KeyState::Pressed);
}

TEST_F(SdlInput, ReadsFailAsLostWhileTheWindowLacksFocus) {
  ASSERT_EQ(sdlInput_->Create(InputDevice::All), 0);
  sdlInput_->Acquire(InputDevice::All);
  // The window is still hidden, so it cannot have focus.
  uint8_t keys[kKeyStateBytes];
  MouseEvent event;
  EXPECT_EQ(backend_->ReadKeyboard(keys), ReadResult::InputLost);
  EXPECT_EQ(backend_->ReadMouseEvent(event), ReadResult::InputLost);
  sdlInput_->Update(InputDevice::All);
  EXPECT_EQ(sdlInput_->Keyboard().acquired, 0);
  ASSERT_TRUE(WaitForFocus());
  sdlInput_->Update(InputDevice::All);
  EXPECT_EQ(sdlInput_->Keyboard().acquired, 1);
  EXPECT_EQ(sdlInput_->Mouse().acquired, 1);
  EXPECT_EQ(backend_->ReadKeyboard(keys), ReadResult::Ok);
}

}  // namespace
}  // namespace sylvora
