#include "input/input_system.h"

#include "platform/clock.h"
#include "report/report.h"

namespace sylvora {
namespace {

const char* const kModule = "KALDRA.INPUT";

// The 144 defined keyboard scan codes in ascending order: object i watches kScanCodes[i].
constexpr std::array<uint8_t, InputSystem::kKeyboardObjects> MakeScanCodes() {
  std::array<uint8_t, InputSystem::kKeyboardObjects> codes{};
  constexpr uint8_t kAfterKeypad[] = {86, 87, 88, 100, 101, 102, 112, 115, 121, 123, 125, 126, 141};
  constexpr uint8_t kExtended[] = {153, 156, 157, 160, 161, 162, 164, 174, 176, 178, 179,
                                   181, 183, 184, 197, 199, 200, 201, 203, 205, 207, 208,
                                   209, 210, 211, 219, 220, 221, 222, 223, 227};
  int i = 0;
  for (int code = 1; code <= 83; ++code) codes[i++] = static_cast<uint8_t>(code);
  for (uint8_t code : kAfterKeypad) codes[i++] = code;
  for (int code = 144; code <= 151; ++code) codes[i++] = static_cast<uint8_t>(code);
  for (uint8_t code : kExtended) codes[i++] = code;
  for (int code = 229; code <= 237; ++code) codes[i++] = static_cast<uint8_t>(code);
  return codes;
}
constexpr auto kScanCodes = MakeScanCodes();
static_assert(kScanCodes[56] == 57 && kScanCodes[143] == 237);

// Moves one object on by one update, given whether it is down now.
void Advance(InputObject& object, bool pressed, uint32_t now) {
  if (pressed) {
    if (!object.down) {
      object.down = 1;
      object.lastTime = now;
      object.state = KeyState::Pressed;
    } else if (static_cast<int32_t>(now - object.lastTime) < object.repeatInterval) {
      object.state = KeyState::Held;
    } else {
      object.lastTime = now;
      object.state = KeyState::Pressed;
    }
  } else if (object.down) {
    object.down = 0;
    object.state = KeyState::Released;
  } else {
    object.state = KeyState::Up;
  }
}

bool IsDown(KeyState state) { return state == KeyState::Pressed || state == KeyState::Held; }

// True when device names which: the code itself or All.
bool Names(InputDevice device, InputDevice which) { return device == InputDevice::All || device == which; }

template <int kObjects>
void ClearObjects(InputDeviceObjects<kObjects>& device) {
  for (InputObject& object : device.objects) {
    object.down = 0;
    object.lastTime = 0;
    object.state = KeyState::Up;
  }
}

template <int kObjects>
bool Ready(const InputDeviceObjects<kObjects>& device) {
  return device.created && device.acquired;
}

// The state of object index, or "unknown object of input device" under function and Up.
template <int kObjects>
KeyState ObjectState(const InputDeviceObjects<kObjects>& device, int index, Report* report, const char* function) {
  if (index < 0 || index >= kObjects) {
    report->AddMessage(0, MessageKind::Warning, kModule, function, "unknown object of input device");
    return KeyState::Up;
  }
  return device.objects[index].state;
}

// The first down object of a device, or -1.
template <int kObjects>
int FirstDown(const InputDeviceObjects<kObjects>& device) {
  for (int i = 0; i < kObjects; ++i) {
    if (IsDown(device.objects[i].state)) return i;
  }
  return -1;
}

}  // namespace

int KeyboardScanCode(int index) { return kScanCodes[index]; }

// Messages of one device's creation steps.
struct InputSystem::CreateTexts {
  const char* function;
  int kind;
  int always;
  const char* notCreated;
  const char* noDataFormat;
  const char* noCooperativeLevel;
};

InputSystem::InputSystem(Report* report, InputBackend& backend) : report_(report), backend_(backend) {}

void InputSystem::Warn(const char* function, const char* text, int always) {
  report_->AddMessage(always, MessageKind::Warning, kModule, function, text);
}

bool InputSystem::Unknown(InputDevice device, const char* function) {
  const int code = static_cast<int>(device);
  if (code >= static_cast<int>(InputDevice::None) && code <= static_cast<int>(InputDevice::Joystick)) return false;
  Warn(function, "unknown input device", 0);
  return true;
}

int InputSystem::CreateDirectInput(NativeWindow* window) {
  window_ = window;
  if (!backend_.CreateContext(window_)) {
    report_->AddMessage(1, MessageKind::Error, kModule, "CDInput", "DirectInput7 object was not created");
    return 2;
  }
  context_ = true;
  report_->AddMessage(1, MessageKind::Report, kModule, "CDInput", "DirectInput7 object was successfully created");
  return 0;
}

int InputSystem::Create(InputDevice device) {
  if (device == InputDevice::None) return 0;
  if (Unknown(device, "Create")) return 1;
  int result = 0;
  if (Names(device, InputDevice::Keyboard) && CreateKeyboard() != 0) result = 2;
  if (Names(device, InputDevice::Mouse) && CreateMouse() != 0) result = 2;
  if (Names(device, InputDevice::Joystick)) CreateJoystick();
  return result;
}

bool InputSystem::OpenDevice(DeviceKind kind, bool& handle, const CreateTexts& texts) {
  const char* failure = nullptr;
  // Without an open device layer there is nothing to create a device from.
  if (!context_ || !backend_.CreateDevice(kind)) {
    failure = texts.notCreated;
  } else {
    // The open device stays open after a later step fails, until Release closes it.
    handle = true;
    if (!backend_.SetDataFormat(kind)) {
      failure = texts.noDataFormat;
    } else if (!backend_.SetCooperativeLevel(kind)) {
      failure = texts.noCooperativeLevel;
    }
  }
  if (failure) report_->AddMessage(texts.always, texts.kind, kModule, texts.function, failure);
  return failure == nullptr;
}

int InputSystem::CreateKeyboard() {
  static const CreateTexts kTexts = {"CreateKeyboard", static_cast<int>(MessageKind::Error), 1,
                                     "keyboard was not created", "keyboard data was not initialized",
                                     "keyboard cooperative level was not initialized"};
  if (!OpenDevice(DeviceKind::Keyboard, keyboard_.handle, kTexts)) return 2;
  for (int i = 0; i < kKeyboardObjects; ++i) keyboard_.objects[i] = InputObject{.scanCode = kScanCodes[i]};
  for (uint8_t& byte : keyStates_) byte = 0;
  keyboard_.created = 1;
  report_->AddMessage(1, MessageKind::Report, kModule, "CreateKeyboard", "keyboard was successfully created");
  return 0;
}

int InputSystem::CreateMouse() {
  static const CreateTexts kTexts = {"CreateMouse", static_cast<int>(MessageKind::Error), 1,
                                     "mouse was not created", "mouse data was not initialized",
                                     "mouse cooperative level was not initialized"};
  if (!OpenDevice(DeviceKind::Mouse, mouse_.handle, kTexts)) return 2;
  if (!backend_.SetMouseBufferSize(kMouseBufferEntries)) {
    report_->AddMessage(1, MessageKind::Error, kModule, "CreateMouse", "mouse buffer was not initialized");
    return 2;
  }
  mouse_.objects.fill(InputObject{});
  buttonsDown_[0] = buttonsDown_[1] = false;
  mouse_.created = 1;
  report_->AddMessage(1, MessageKind::Report, kModule, "CreateMouse", "mouse was successfully created");
  return 0;
}

int InputSystem::CreateJoystick() {
  static const CreateTexts kTexts = {"CreateJoystick", static_cast<int>(MessageKind::Warning), 0,
                                     "joystick was not created", "joystick data was not initialized",
                                     "joystick cooperative level was not initialized"};
  if (!OpenDevice(DeviceKind::Joystick, joystick_.handle, kTexts)) return 1;
  if (JoystickSetRange(kAxisMin, kAxisMax, kAxisMin, kAxisMax) != 0) return 1;
  if (JoystickSetDeadZone(kAxisDeadZone, kAxisDeadZone) != 0) return 1;
  if (JoystickSetSaturation(kAxisSaturation, kAxisSaturation) != 0) return 1;
  joystick_.objects.fill(InputObject{});
  joystick_.created = 1;
  joystickEnabled_ = 1;
  report_->AddMessage(1, MessageKind::Report, kModule, "CreateJoystick", "joystick was successfully created");
  return 0;
}

int InputSystem::SetAxisPair(AxisProperty property, int32_t xLow, int32_t xHigh, int32_t yLow, int32_t yHigh,
                             const char* function, const char* xText, const char* yText) {
  if (!backend_.SetAxisProperty(property, JoystickAxis::X, xLow, xHigh)) {
    Warn(function, xText, 1);
    return 1;
  }
  if (!backend_.SetAxisProperty(property, JoystickAxis::Y, yLow, yHigh)) {
    Warn(function, yText, 1);
    return 1;
  }
  return 0;
}

int InputSystem::JoystickSetRange(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax) {
  return SetAxisPair(AxisProperty::Range, xMin, xMax, yMin, yMax, "joystick.SetRange",
                     "joystick X-axis was not initialized", "joystick Y-axis was not initialized");
}

int InputSystem::JoystickSetDeadZone(int32_t x, int32_t y) {
  return SetAxisPair(AxisProperty::DeadZone, x, 0, y, 0, "joystick.SetDeadZone",
                     "joystick X-axis deadzone was not initialized", "joystick Y-axis deadzone was not initialized");
}

int InputSystem::JoystickSetSaturation(int32_t x, int32_t y) {
  return SetAxisPair(AxisProperty::Saturation, x, 0, y, 0, "joystick.SetSaturation",
                     "joystick X-axis saturation was not initialized",
                     "joystick Y-axis saturation was not initialized");
}

void InputSystem::Acquire(InputDevice device) {
  if (device == InputDevice::None || Unknown(device, "Acquire")) return;
  if (Names(device, InputDevice::Keyboard) && keyboard_.created) {
    backend_.Acquire(DeviceKind::Keyboard);
    keyboard_.acquired = 1;
  }
  if (Names(device, InputDevice::Mouse) && mouse_.created) {
    backend_.Acquire(DeviceKind::Mouse);
    mouse_.acquired = 1;
  }
  if (Names(device, InputDevice::Joystick) && joystick_.created) {
    backend_.Acquire(DeviceKind::Joystick);
    joystick_.acquired = 1;
  }
}

void InputSystem::UnAcquire(InputDevice device) {
  if (device == InputDevice::None || Unknown(device, "UnAcquire")) return;
  if (Names(device, InputDevice::Keyboard) && keyboard_.created) {
    backend_.Unacquire(DeviceKind::Keyboard);
    keyboard_.acquired = 0;
  }
  if (Names(device, InputDevice::Mouse) && mouse_.created) {
    backend_.Unacquire(DeviceKind::Mouse);
    mouse_.acquired = 0;
  }
  if (Names(device, InputDevice::Joystick) && joystick_.created) {
    backend_.Unacquire(DeviceKind::Joystick);
    joystick_.acquired = 0;
  }
}

template <int kObjects>
void InputSystem::ReadFailed(DeviceKind kind, ReadResult result, InputDeviceObjects<kObjects>& device) {
  if (result == ReadResult::InputLost) backend_.Acquire(kind);
  device.acquired = 0;
}

void InputSystem::Update(InputDevice device) {
  // Devices lost while the window was inactive come back here by themselves.
  if (!keyboard_.acquired) Acquire(InputDevice::Keyboard);
  if (!mouse_.acquired) Acquire(InputDevice::Mouse);
  if (!joystick_.acquired) Acquire(InputDevice::Joystick);
  if (device == InputDevice::None || Unknown(device, "Update")) return;
  if (Names(device, InputDevice::Keyboard) && keyboard_.created && !UpdateKeyboard()) return;
  if (Names(device, InputDevice::Mouse) && mouse_.created && !UpdateMouse()) return;
  if (Names(device, InputDevice::Joystick) && joystick_.created && joystickEnabled_) UpdateJoystick();
}

bool InputSystem::UpdateKeyboard() {
  const ReadResult result = backend_.ReadKeyboard(keyStates_);
  if (result != ReadResult::Ok) {
    ReadFailed(DeviceKind::Keyboard, result, keyboard_);
    return false;
  }
  keyboard_.acquired = 1;
  // A key down now, or pressed and let go since the last update, is pressed at this update.
  backend_.TakeKeyPresses(keyPresses_);
  const uint32_t now = TimeGetTime();
  for (InputObject& object : keyboard_.objects) {
    Advance(object, ((keyStates_[object.scanCode] | keyPresses_[object.scanCode]) & 0x80) != 0, now);
  }
  return true;
}

bool InputSystem::UpdateMouse() {
  // The mouse reports changes only: a button stays as its last event left it. A button that went down
  // at any event since the last update is pressed at this one, even when it has come up again.
  bool wentDown[2] = {false, false};
  for (;;) {
    MouseEvent event;
    const ReadResult result = backend_.ReadMouseEvent(event);
    if (result == ReadResult::NoData) break;
    if (result != ReadResult::Ok) {
      ReadFailed(DeviceKind::Mouse, result, mouse_);
      return false;
    }
    if (event.button != 0 && event.button != 1) continue;
    buttonsDown_[event.button] = (event.data & 0x80) != 0;
    wentDown[event.button] = wentDown[event.button] || buttonsDown_[event.button];
  }
  mouse_.acquired = 1;
  const uint32_t now = TimeGetTime();
  for (int i = 0; i < kMouseObjects; ++i) {
    const int button = i - kLeftButtonObject;
    const bool pressed = (button == 0 || button == 1) && (buttonsDown_[button] || wentDown[button]);
    Advance(mouse_.objects[i], pressed, now);
  }
  return true;
}

bool InputSystem::UpdateJoystick() {
  backend_.PollJoystick();
  JoystickState state{};
  const ReadResult result = backend_.ReadJoystick(state);
  if (result != ReadResult::Ok) {
    ReadFailed(DeviceKind::Joystick, result, joystick_);
    return false;
  }
  joystick_.acquired = 1;
  const uint32_t now = TimeGetTime();
  const bool directions[kFirstJoystickButton] = {state.x < 0, state.x > 0, state.y < 0, state.y > 0};
  for (int i = 0; i < kJoystickObjects; ++i) {
    const bool pressed = i < kFirstJoystickButton ? directions[i]
                                                  : (state.buttons[i - kFirstJoystickButton] & 0x80) != 0;
    Advance(joystick_.objects[i], pressed, now);
  }
  return true;
}

void InputSystem::Reset(InputDevice device) {
  if (Unknown(device, "Reset")) return;
  if (Names(device, InputDevice::Keyboard) && keyboard_.created) {
    ClearObjects(keyboard_);
    for (uint8_t& byte : keyStates_) byte = 0;
  }
  if (Names(device, InputDevice::Mouse) && mouse_.created) {
    // A button still held reads Up until it is pressed again: the mouse reports changes only.
    ClearObjects(mouse_);
    buttonsDown_[0] = buttonsDown_[1] = false;
  }
  if (Names(device, InputDevice::Joystick) && joystick_.created) ClearObjects(joystick_);
}

KeyState InputSystem::Get(InputDevice device, int index) {
  switch (device) {
    case InputDevice::Keyboard:
      return Ready(keyboard_) ? ObjectState(keyboard_, index, report_, "keyboard.Get") : KeyState::Up;
    case InputDevice::Mouse:
      return Ready(mouse_) ? ObjectState(mouse_, index, report_, "mouse.Get") : KeyState::Up;
    case InputDevice::Joystick:
      return Ready(joystick_) && joystickEnabled_ ? ObjectState(joystick_, index, report_, "joystick.Get")
                                                  : KeyState::Up;
    case InputDevice::None:
    case InputDevice::All:
      return KeyState::Up;
  }
  Unknown(device, "Get");
  return KeyState::Up;
}

int InputSystem::GetPressed(InputDevice device, InputDevice& foundDevice, int& index) {
  if (device == InputDevice::None || Unknown(device, "GetPressed")) return 1;
  int found = -1;
  if (Names(device, InputDevice::Keyboard) && Ready(keyboard_) && (found = FirstDown(keyboard_)) >= 0) {
    foundDevice = InputDevice::Keyboard;
  } else if (Names(device, InputDevice::Mouse) && Ready(mouse_) && (found = FirstDown(mouse_)) >= 0) {
    foundDevice = InputDevice::Mouse;
  } else if (Names(device, InputDevice::Joystick) && Ready(joystick_) && joystickEnabled_ &&
             (found = FirstDown(joystick_)) >= 0) {
    foundDevice = InputDevice::Joystick;
  }
  if (found < 0) return 1;
  index = found;
  return 0;
}

void InputSystem::Release() {
  UnAcquire(InputDevice::All);
  if (joystick_.handle) backend_.ReleaseDevice(DeviceKind::Joystick);
  if (mouse_.handle) backend_.ReleaseDevice(DeviceKind::Mouse);
  if (keyboard_.handle) backend_.ReleaseDevice(DeviceKind::Keyboard);
  if (context_) backend_.ReleaseContext();
  context_ = false;
  keyboard_.handle = mouse_.handle = joystick_.handle = false;
  keyboard_.created = mouse_.created = joystick_.created = 0;
  keyboard_.acquired = mouse_.acquired = joystick_.acquired = 0;
  joystickEnabled_ = 0;
}

}  // namespace sylvora
