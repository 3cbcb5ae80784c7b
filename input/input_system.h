#pragma once
// Keyboard, mouse and the first joystick, turned into one small state machine per key, button or
// stick direction. The shell creates one InputSystem at start-up, updates it once per frame and asks
// whether anything is pressed; it pauses it while the window is inactive.
#include <array>
#include <cstdint>

#include "input/input_backend.h"
#include "platform/native_window.h"

namespace sylvora {

class Report;

// Device codes, the first argument of every device operation. Other values are reported as unknown.
enum class InputDevice : int { None = 0, All = 1, Keyboard = 2, Mouse = 3, Joystick = 4 };

// State of one input object as Get returns it.
enum class KeyState : int32_t {
  Up = 0,        // not pressed now nor at the previous update
  Pressed = 1,   // went down, or its repeat interval ran out
  Held = 2,      // down and within its repeat interval
  Released = 3,  // came up since the previous update
};

// One key, button or stick direction.
struct InputObject {
  int32_t down = 0;            // pressed at the last update
  int32_t repeatInterval = 0;  // ms; 0 for every object, so a held key reads Pressed every update
  uint32_t lastTime = 0;       // clock time of the last Pressed
  KeyState state = KeyState::Up;
  int scanCode = 0;            // keyboard objects only: the scan code watched
};

// The objects of one device with their device flags.
template <int kObjects>
struct InputDeviceObjects {
  static constexpr int kCount = kObjects;
  bool handle = false;  // the device is open in the backend
  int32_t created = 0;
  int32_t acquired = 0;
  std::array<InputObject, kObjects> objects;
};

class InputSystem {
 public:
  static constexpr int kKeyboardObjects = 144;
  static constexpr int kMouseObjects = 6;
  static constexpr int kJoystickObjects = 36;
  static constexpr int kMouseBufferEntries = 64;
  static constexpr int kLeftButtonObject = 4;   // mouse objects 4 and 5 are buttons 0 and 1
  static constexpr int kFirstJoystickButton = 4;  // joystick objects 0..3 are left, right, up, down
  // Joystick axis set-up: range, and dead zone and saturation in ten-thousandths of it.
  static constexpr int32_t kAxisMin = -5000;
  static constexpr int32_t kAxisMax = 5000;
  static constexpr int32_t kAxisDeadZone = 4000;
  static constexpr int32_t kAxisSaturation = 9000;

  // report receives every message and is not owned; backend is the device layer.
  InputSystem(Report* report, InputBackend& backend);
  InputSystem(const InputSystem&) = delete;
  InputSystem& operator=(const InputSystem&) = delete;

  // Opens the device layer for window: 0, or 2 on failure (reported).
  int CreateDirectInput(NativeWindow* window);
  // Opens the named devices: 0; 2 when the keyboard or mouse failed (a missing joystick only warns);
  // 1 for an unknown code.
  int Create(InputDevice device);
  // Starts or stops delivery for each named, created device.
  void Acquire(InputDevice device);
  void UnAcquire(InputDevice device);
  // Once per frame: re-acquires lost devices, reads the named ones and advances their objects.
  void Update(InputDevice device);
  // Returns every object of the named devices to Up without touching the devices.
  void Reset(InputDevice device);
  // State of object index of a ready device; Up for devices not ready, None and All.
  KeyState Get(InputDevice device, int index);
  // Finds the first Pressed or Held object (keyboard, then mouse, then joystick for All): 0 with
  // foundDevice and index written, 1 when nothing is pressed.
  int GetPressed(InputDevice device, InputDevice& foundDevice, int& index);
  // Un-acquires and closes everything; called before deletion.
  void Release();

  // The per-device steps of Create: 0 on success, non-zero on failure (reported).
  int CreateKeyboard();
  int CreateMouse();
  int CreateJoystick();

  // Read access for tests.
  const InputDeviceObjects<kKeyboardObjects>& Keyboard() const { return keyboard_; }
  const InputDeviceObjects<kMouseObjects>& Mouse() const { return mouse_; }
  const InputDeviceObjects<kJoystickObjects>& Joystick() const { return joystick_; }

 private:
  // Sub-operations of the joystick, reporting as "joystick.SetRange" and so on: 0 or 1.
  int JoystickSetRange(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax);
  int JoystickSetDeadZone(int32_t x, int32_t y);
  int JoystickSetSaturation(int32_t x, int32_t y);
  int SetAxisPair(AxisProperty property, int32_t xLow, int32_t xHigh, int32_t yLow, int32_t yHigh,
                  const char* function, const char* xText, const char* yText);

  // The device-opening steps shared by keyboard, mouse and joystick; false when one failed (reported).
  struct CreateTexts;
  bool OpenDevice(DeviceKind kind, bool& handle, const CreateTexts& texts);

  // Reads one device and advances its objects; false when the read failed (Update then stops).
  bool UpdateKeyboard();
  bool UpdateMouse();
  bool UpdateJoystick();
  // Handles a failed read of kind: re-acquires after a lost input and clears the acquired flag.
  template <int kObjects>
  void ReadFailed(DeviceKind kind, ReadResult result, InputDeviceObjects<kObjects>& device);

  // Reports "unknown input device" under function and returns true when device is not a known code.
  bool Unknown(InputDevice device, const char* function);
  void Warn(const char* function, const char* text, int always);

  Report* report_;
  InputBackend& backend_;
  NativeWindow* window_ = nullptr;
  bool context_ = false;  // the device layer is open
  InputDeviceObjects<kKeyboardObjects> keyboard_;
  uint8_t keyStates_[kKeyStateBytes] = {};
  // Keys that went down since the last update (from the event queue): a tap shorter than a frame
  // still reads Pressed at the next update.
  uint8_t keyPresses_[kKeyStateBytes] = {};
  InputDeviceObjects<kMouseObjects> mouse_;
  // Whether the left and right buttons are down, as the last of their events said.
  bool buttonsDown_[2] = {};
  InputDeviceObjects<kJoystickObjects> joystick_;
  int32_t joystickEnabled_ = 0;
};

// The keyboard scan code watched by keyboard object index (0..143).
int KeyboardScanCode(int index);

}  // namespace sylvora
