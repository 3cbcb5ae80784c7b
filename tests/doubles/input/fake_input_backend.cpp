#include "tests/doubles/input/fake_input_backend.h"

#include <algorithm>

namespace sylvora {

std::string DeviceName(DeviceKind device) {
  switch (device) {
    case DeviceKind::Keyboard: return "Keyboard";
    case DeviceKind::Mouse: return "Mouse";
    case DeviceKind::Joystick: return "Joystick";
  }
  return "?";
}

namespace {

std::string PropertyName(AxisProperty property) {
  switch (property) {
    case AxisProperty::Range: return "Range";
    case AxisProperty::DeadZone: return "DeadZone";
    case AxisProperty::Saturation: return "Saturation";
  }
  return "?";
}

}  // namespace

bool FakeInputBackend::Record(const std::string& call, const std::string& values) {
  calls.push_back(values.empty() ? call : call + " " + values);
  return failing.count(call) == 0;
}

int FakeInputBackend::Count(const std::string& call) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

bool FakeInputBackend::CreateContext(NativeWindow* newWindow) {
  window = newWindow;
  return Record("CreateContext");
}

bool FakeInputBackend::CreateDevice(DeviceKind device) {
  const bool ok = Record("CreateDevice " + DeviceName(device));
  return ok && (device != DeviceKind::Joystick || joystickAttached);
}

bool FakeInputBackend::SetDataFormat(DeviceKind device) { return Record("SetDataFormat " + DeviceName(device)); }

bool FakeInputBackend::SetCooperativeLevel(DeviceKind device) {
  return Record("SetCooperativeLevel " + DeviceName(device));
}

bool FakeInputBackend::SetMouseBufferSize(int entries) {
  return Record("SetMouseBufferSize", std::to_string(entries));
}

bool FakeInputBackend::SetAxisProperty(AxisProperty property, JoystickAxis axis, int32_t low, int32_t high) {
  return Record("SetAxisProperty " + PropertyName(property) + (axis == JoystickAxis::X ? " X" : " Y"),
                std::to_string(low) + " " + std::to_string(high));
}

void FakeInputBackend::Acquire(DeviceKind device) { Record("Acquire " + DeviceName(device)); }

void FakeInputBackend::Unacquire(DeviceKind device) { Record("Unacquire " + DeviceName(device)); }

ReadResult FakeInputBackend::ReadKeyboard(uint8_t (&out)[kKeyStateBytes]) {
  Record("ReadKeyboard");
  if (keyboardRead != ReadResult::Ok) return keyboardRead;
  std::copy(std::begin(keys), std::end(keys), std::begin(out));
  return ReadResult::Ok;
}

// Not recorded: it follows every successful keyboard read, and the call lists stay those of the device.
void FakeInputBackend::TakeKeyPresses(uint8_t (&out)[kKeyStateBytes]) {
  std::copy(std::begin(keyPresses), std::end(keyPresses), std::begin(out));
  std::fill(std::begin(keyPresses), std::end(keyPresses), 0);
}

ReadResult FakeInputBackend::ReadMouseEvent(MouseEvent& event) {
  Record("ReadMouseEvent");
  if (mouseRead != ReadResult::Ok) return mouseRead;
  if (mouseEvents.empty()) return ReadResult::NoData;
  event = mouseEvents.front();
  mouseEvents.pop_front();
  return ReadResult::Ok;
}

void FakeInputBackend::PollJoystick() { Record("PollJoystick"); }

ReadResult FakeInputBackend::ReadJoystick(JoystickState& state) {
  Record("ReadJoystick");
  if (joystickRead != ReadResult::Ok) return joystickRead;
  state = joystick;
  return ReadResult::Ok;
}

void FakeInputBackend::ReleaseDevice(DeviceKind device) { Record("ReleaseDevice " + DeviceName(device)); }

void FakeInputBackend::ReleaseContext() { Record("ReleaseContext"); }

}  // namespace sylvora
