#pragma once
// The device layer under InputSystem: the few operations of a DirectInput-style keyboard, mouse and
// joystick that the input logic relies on. The SDL adapter is the real one; tests use an in-memory
// double that can fail any step.
#include <cstdint>

#include "platform/native_window.h"

namespace sylvora {

// The three devices the input logic drives.
enum class DeviceKind { Keyboard, Mouse, Joystick };

// Outcome of a device read.
enum class ReadResult {
  Ok,         // data was read
  NoData,     // the mouse's event buffer is empty
  InputLost,  // the device is not acquired (the window lacks focus); re-acquire and try later
  Failed,     // any other read error
};

// A joystick axis and the property set on it; values are in ten-thousandths for dead zone and saturation.
enum class JoystickAxis { X, Y };
enum class AxisProperty { Range, DeadZone, Saturation };

// Bytes of the keyboard's key-state array, indexed by keyboard scan code; bit 7 set = key down.
constexpr int kKeyStateBytes = 256;
constexpr int kJoystickButtons = 32;

// One buffered mouse event. Buttons are numbered from 0 (left), 1 (right); kMouseMotion marks
// movement and wheel events.
struct MouseEvent {
  static constexpr int kMouseMotion = -1;
  int button = kMouseMotion;
  uint8_t data = 0;  // bit 7 set = button went down
};

// One joystick sample: axes already scaled to the range set and with dead zone and saturation applied;
// bit 7 of a button byte set = pressed.
struct JoystickState {
  int32_t x = 0;
  int32_t y = 0;
  uint8_t buttons[kJoystickButtons] = {};
};

class InputBackend {
 public:
  virtual ~InputBackend() = default;
  // Opens the device layer for window; false on failure.
  virtual bool CreateContext(NativeWindow* window) = 0;
  // Opens one device (the first attached joystick that opens); false when there is none.
  virtual bool CreateDevice(DeviceKind device) = 0;
  // Selects the device's standard data layout; false on failure.
  virtual bool SetDataFormat(DeviceKind device) = 0;
  // Non-exclusive, foreground-only access through the window; false on failure.
  virtual bool SetCooperativeLevel(DeviceKind device) = 0;
  // Size of the mouse's event buffer in entries; false on failure.
  virtual bool SetMouseBufferSize(int entries) = 0;
  // Sets one property of a joystick axis: Range uses low..high, DeadZone and Saturation use low only.
  virtual bool SetAxisProperty(AxisProperty property, JoystickAxis axis, int32_t low, int32_t high) = 0;
  // Starts and stops delivery of the device's data; their results are not used.
  virtual void Acquire(DeviceKind device) = 0;
  virtual void Unacquire(DeviceKind device) = 0;
  // Reads the 256-byte key-state array.
  virtual ReadResult ReadKeyboard(uint8_t (&keys)[kKeyStateBytes]) = 0;
  // The keys that went down since the last call, taken from the event queue (bit 7 set), then forgets
  // them: a tap pressed and released between two reads of the state shows here though the state missed
  // it. Nothing is kept while the keyboard is not acquired.
  virtual void TakeKeyPresses(uint8_t (&presses)[kKeyStateBytes]) = 0;
  // Takes the oldest buffered mouse event; NoData when the buffer is empty.
  virtual ReadResult ReadMouseEvent(MouseEvent& event) = 0;
  // Asks the joystick to sample its controls.
  virtual void PollJoystick() = 0;
  // Reads the last joystick sample.
  virtual ReadResult ReadJoystick(JoystickState& state) = 0;
  // Closes one device, then the device layer itself.
  virtual void ReleaseDevice(DeviceKind device) = 0;
  virtual void ReleaseContext() = 0;
};

}  // namespace sylvora
