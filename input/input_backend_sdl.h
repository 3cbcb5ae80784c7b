#pragma once
// The input device layer on SDL2: the keyboard state mapped to keyboard scan codes, left and right
// mouse button events buffered as they arrive, and the first joystick. Every read fails as "input
// lost" while the window lacks keyboard focus, as foreground-only devices do.
#include <array>
#include <cstdint>

#include "input/axis_scale.h"
#include "input/input_backend.h"

struct SDL_Window;
struct _SDL_Joystick;
union SDL_Event;

namespace sylvora {

class SdlInputBackend final : public InputBackend {
 public:
  SdlInputBackend() = default;
  ~SdlInputBackend() override;
  SdlInputBackend(const SdlInputBackend&) = delete;
  SdlInputBackend& operator=(const SdlInputBackend&) = delete;

  bool CreateContext(NativeWindow* window) override;
  bool CreateDevice(DeviceKind device) override;
  bool SetDataFormat(DeviceKind device) override;
  bool SetCooperativeLevel(DeviceKind device) override;
  bool SetMouseBufferSize(int entries) override;
  bool SetAxisProperty(AxisProperty property, JoystickAxis axis, int32_t low, int32_t high) override;
  void Acquire(DeviceKind device) override;
  void Unacquire(DeviceKind device) override;
  ReadResult ReadKeyboard(uint8_t (&keys)[kKeyStateBytes]) override;
  void TakeKeyPresses(uint8_t (&presses)[kKeyStateBytes]) override;
  ReadResult ReadMouseEvent(MouseEvent& event) override;
  void PollJoystick() override;
  ReadResult ReadJoystick(JoystickState& state) override;
  void ReleaseDevice(DeviceKind device) override;
  void ReleaseContext() override;

  static constexpr int kMaxMouseEvents = 64;

 private:
  // SDL's event watch: queues the mouse button events while the mouse is acquired, and notes the keys
  // that go down while the keyboard is.
  static int WatchEvents(void* self, SDL_Event* event);
  void NoteMouseButton(const SDL_Event& event);
  void NoteKeyDown(const SDL_Event& event);
  bool HasFocus() const;
  int Index(DeviceKind device) const { return static_cast<int>(device); }

  SDL_Window* window_ = nullptr;
  bool context_ = false;
  std::array<bool, 3> acquired_ = {};
  _SDL_Joystick* joystick_ = nullptr;
  std::array<AxisSetting, 2> axes_ = {};
  // Keys that went down since the last TakeKeyPresses, by keyboard scan code.
  std::array<uint8_t, kKeyStateBytes> keyPresses_ = {};
  // Ring buffer of mouse button events; full = newer events are dropped, as on an overflowing device.
  std::array<MouseEvent, kMaxMouseEvents> mouseEvents_ = {};
  int mouseCapacity_ = 0;
  int mouseFirst_ = 0;
  int mouseCount_ = 0;
};

// The keyboard scan code of an SDL scancode, 0 for keys that have none.
uint8_t ScanCodeOfSdlScancode(int sdlScancode);

}  // namespace sylvora
