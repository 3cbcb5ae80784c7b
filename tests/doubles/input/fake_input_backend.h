#pragma once
// An in-memory input device layer: the test sets keys, queues mouse events and moves the joystick;
// every call is recorded and any step can be told to fail.
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "input/input_backend.h"

namespace sylvora {

class FakeInputBackend final : public InputBackend {
 public:
  // Calls as "CreateDevice Keyboard", "SetAxisProperty DeadZone Y 4000 0", "Acquire Mouse", ...
  std::vector<std::string> calls;
  // Fault injection: a call whose text (as recorded, without values) is listed here fails, e.g.
  // "CreateContext", "SetDataFormat Mouse", "SetAxisProperty Saturation Y".
  std::set<std::string> failing;
  // Read results other than Ok, per device; the read then returns it without data.
  ReadResult keyboardRead = ReadResult::Ok;
  ReadResult mouseRead = ReadResult::Ok;
  ReadResult joystickRead = ReadResult::Ok;

  // Device contents.
  bool joystickAttached = false;
  uint8_t keys[kKeyStateBytes] = {};
  std::deque<MouseEvent> mouseEvents;
  JoystickState joystick;

  // Keys that went down since the last TakeKeyPresses, as the event queue would have them.
  uint8_t keyPresses[kKeyStateBytes] = {};

  void HoldKey(int scanCode, bool down) {
    if (down && !keys[scanCode]) keyPresses[scanCode] = 0x80;
    keys[scanCode] = down ? 0x80 : 0;
  }
  // A key pressed and released at once, between two reads: only the event queue saw it.
  void TapKey(int scanCode) { keyPresses[scanCode] = 0x80; }
  void Click(int button, bool down) { mouseEvents.push_back(MouseEvent{button, uint8_t(down ? 0x80 : 0)}); }
  // How often a call (as recorded) was made.
  int Count(const std::string& call) const;

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

  NativeWindow* window = nullptr;  // as given to CreateContext

 private:
  // Records call (with values appended) and says whether call is set to fail.
  bool Record(const std::string& call, const std::string& values = "");
};

// "Keyboard", "Mouse" or "Joystick".
std::string DeviceName(DeviceKind device);

}  // namespace sylvora
