// InputSystem on the in-memory device layer: creation steps and their messages, the per-object
// state machine, queries, focus loss and release.
#include <gmock/gmock.h>

#include "tests/input/input_test_support.h"

namespace sylvora {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kReport = 0, kWarning = 1, kError = 2;
constexpr int kSpaceObject = 56, kSpaceScanCode = 57;

TEST(KeyboardScanCodes, FollowTheTableOfDefinedKeys) {
  const std::pair<int, int> samples[] = {{0, 1},     {56, 57},   {82, 83},   {83, 86},   {95, 141}, {96, 144},
                                         {103, 151}, {104, 153}, {134, 227}, {135, 229}, {143, 237}};
  for (auto [index, code] : samples) EXPECT_EQ(KeyboardScanCode(index), code) << "index " << index;
  for (int i = 1; i < InputSystem::kKeyboardObjects; ++i) EXPECT_LT(KeyboardScanCode(i - 1), KeyboardScanCode(i));
}

class InputCreation : public InputFixture {};

TEST_F(InputCreation, OpensKeyboardAndMouseAndWarnsAboutAMissingJoystick) {
  EXPECT_EQ(input_->CreateDirectInput(window()), 0);
  EXPECT_EQ(backend_.window, window());
  EXPECT_EQ(input_->Create(InputDevice::All), 0);
  EXPECT_THAT(Messages(), ElementsAre(Logged{kReport, "CDInput", "DirectInput7 object was successfully created"},
                                      Logged{kReport, "CreateKeyboard", "keyboard was successfully created"},
                                      Logged{kReport, "CreateMouse", "mouse was successfully created"},
                                      Logged{kWarning, "CreateJoystick", "joystick was not created"}));
  EXPECT_THAT(backend_.calls,
              ElementsAre("CreateContext", "CreateDevice Keyboard", "SetDataFormat Keyboard",
                          "SetCooperativeLevel Keyboard", "CreateDevice Mouse", "SetDataFormat Mouse",
                          "SetCooperativeLevel Mouse", "SetMouseBufferSize 64", "CreateDevice Joystick"));
  // Without a joystick its queries find nothing.
  input_->Acquire(InputDevice::All);
  input_->Update(InputDevice::All);
  EXPECT_EQ(input_->Get(InputDevice::Joystick, 0), KeyState::Up);
  InputDevice found = InputDevice::None;
  int index = -1;
  EXPECT_EQ(input_->GetPressed(InputDevice::Joystick, found, index), 1);
}

TEST_F(InputCreation, SetsUpTheJoystickAxes) {
  backend_.joystickAttached = true;
  OpenAll();
  EXPECT_THAT(std::vector<std::string>(backend_.calls.begin() + 9, backend_.calls.begin() + 18),
              ElementsAre("SetDataFormat Joystick", "SetCooperativeLevel Joystick",
                          "SetAxisProperty Range X -5000 5000", "SetAxisProperty Range Y -5000 5000",
                          "SetAxisProperty DeadZone X 4000 0", "SetAxisProperty DeadZone Y 4000 0",
                          "SetAxisProperty Saturation X 9000 0", "SetAxisProperty Saturation Y 9000 0",
                          "Acquire Keyboard"));
  EXPECT_EQ(Messages().back(), (Logged{kReport, "CreateJoystick", "joystick was successfully created"}));
}

TEST_F(InputCreation, ReportsAMissingDeviceLayer) {
  backend_.failing.insert("CreateContext");
  EXPECT_EQ(input_->CreateDirectInput(window()), 2);
  EXPECT_THAT(Messages(), ElementsAre(Logged{kError, "CDInput", "DirectInput7 object was not created"}));
  EXPECT_EQ(report_->LastError().text, "DirectInput7 object was not created");
  // Devices cannot be made without it: the keyboard is reported as not created, nothing is opened.
  EXPECT_EQ(input_->Create(InputDevice::Keyboard), 2);
  EXPECT_EQ(NewMessages().back(), (Logged{kError, "CreateKeyboard", "keyboard was not created"}));
  EXPECT_EQ(backend_.Count("CreateDevice Keyboard"), 0);
}

struct CreationFault {
  const char* failingCall;
  int createResult;  // of Create(All)
  Logged message;
};

class InputCreationFault : public InputFixture, public ::testing::WithParamInterface<CreationFault> {};

TEST_P(InputCreationFault, ReportsTheFailedStep) {
  const CreationFault& fault = GetParam();
  backend_.joystickAttached = true;
  backend_.failing.insert(fault.failingCall);
  ASSERT_EQ(input_->CreateDirectInput(window()), 0);
  ClearMessagesSeen();
  EXPECT_EQ(input_->Create(InputDevice::All), fault.createResult);
  const std::vector<Logged> messages = NewMessages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), fault.message), 1) << ::testing::PrintToString(messages);
  // The failed device never reads: it is not created.
  input_->Acquire(InputDevice::All);
  backend_.HoldKey(kSpaceScanCode, true);
  backend_.Click(0, true);
  backend_.joystick.x = -5000;
  input_->Update(InputDevice::All);
  const std::string call = fault.failingCall;
  if (call.find("Keyboard") != std::string::npos) {
    EXPECT_EQ(input_->Get(InputDevice::Keyboard, kSpaceObject), KeyState::Up);
  }
  if (call.find("Mouse") != std::string::npos) {
    EXPECT_EQ(input_->Get(InputDevice::Mouse, 4), KeyState::Up);
  }
  if (call.find("Joystick") != std::string::npos || call.find("Axis") != std::string::npos) {
    EXPECT_EQ(input_->Get(InputDevice::Joystick, 0), KeyState::Up);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, InputCreationFault,
    ::testing::Values(
        CreationFault{"CreateDevice Keyboard", 2, {kError, "CreateKeyboard", "keyboard was not created"}},
        CreationFault{"SetDataFormat Keyboard", 2, {kError, "CreateKeyboard", "keyboard data was not initialized"}},
        CreationFault{"SetCooperativeLevel Keyboard", 2,
                      {kError, "CreateKeyboard", "keyboard cooperative level was not initialized"}},
        CreationFault{"CreateDevice Mouse", 2, {kError, "CreateMouse", "mouse was not created"}},
        CreationFault{"SetDataFormat Mouse", 2, {kError, "CreateMouse", "mouse data was not initialized"}},
        CreationFault{"SetCooperativeLevel Mouse", 2,
                      {kError, "CreateMouse", "mouse cooperative level was not initialized"}},
        CreationFault{"SetMouseBufferSize", 2, {kError, "CreateMouse", "mouse buffer was not initialized"}},
        CreationFault{"CreateDevice Joystick", 0, {kWarning, "CreateJoystick", "joystick was not created"}},
        CreationFault{"SetDataFormat Joystick", 0,
                      {kWarning, "CreateJoystick", "joystick data was not initialized"}},
        CreationFault{"SetCooperativeLevel Joystick", 0,
                      {kWarning, "CreateJoystick", "joystick cooperative level was not initialized"}},
        CreationFault{"SetAxisProperty Range X", 0,
                      {kWarning, "joystick.SetRange", "joystick X-axis was not initialized"}},
        CreationFault{"SetAxisProperty Range Y", 0,
                      {kWarning, "joystick.SetRange", "joystick Y-axis was not initialized"}},
        CreationFault{"SetAxisProperty DeadZone X", 0,
                      {kWarning, "joystick.SetDeadZone", "joystick X-axis deadzone was not initialized"}},
        CreationFault{"SetAxisProperty DeadZone Y", 0,
                      {kWarning, "joystick.SetDeadZone", "joystick Y-axis deadzone was not initialized"}},
        CreationFault{"SetAxisProperty Saturation X", 0,
                      {kWarning, "joystick.SetSaturation", "joystick X-axis saturation was not initialized"}},
        CreationFault{"SetAxisProperty Saturation Y", 0,
                      {kWarning, "joystick.SetSaturation", "joystick Y-axis saturation was not initialized"}}),
    // Each case is named after the failing call, with its blanks as underscores.
    [](const ::testing::TestParamInfo<CreationFault>& info) {
      std::string name = info.param.failingCall;
      for (char& c : name) {
        if (c == ' ') c = '_';
      }
      return name;
    });

TEST_F(InputCreation, DeviceOpenedBeforeAFailedStepIsClosedOnRelease) {
  backend_.failing.insert("SetCooperativeLevel Mouse");
  ASSERT_EQ(input_->CreateDirectInput(window()), 0);
  EXPECT_EQ(input_->Create(InputDevice::All), 2);
  backend_.calls.clear();
  input_->Release();
  EXPECT_THAT(backend_.calls, ElementsAre("Unacquire Keyboard", "ReleaseDevice Mouse", "ReleaseDevice Keyboard",
                                          "ReleaseContext"));
}

// In quiet mode only messages sent with always set survive, errors always do.
class InputQuietReport : public InputFixture {
 protected:
  InputQuietReport() : InputFixture(ReportMode::Quiet) {}
};

TEST_F(InputQuietReport, KeepsOnlyTheMessagesSentAlways) {
  backend_.joystickAttached = true;
  backend_.failing.insert("SetAxisProperty Range Y");
  OpenAll();
  input_->Get(InputDevice::Keyboard, 144);
  input_->Create(static_cast<InputDevice>(7));
  EXPECT_THAT(Messages(), ElementsAre(Logged{kReport, "CDInput", "DirectInput7 object was successfully created"},
                                      Logged{kReport, "CreateKeyboard", "keyboard was successfully created"},
                                      Logged{kReport, "CreateMouse", "mouse was successfully created"},
                                      Logged{kWarning, "joystick.SetRange", "joystick Y-axis was not initialized"}));
}

TEST_F(InputQuietReport, DropsTheMissingJoystickWarning) {
  OpenAll();
  for (const Logged& m : Messages()) EXPECT_NE(m.text, "joystick was not created");
}

class InputUnknownCodes : public InputFixture {};

TEST_F(InputUnknownCodes, AreReportedUnderEachOperation) {
  OpenAll();
  ClearMessagesSeen();
  const InputDevice bad = static_cast<InputDevice>(7);
  InputDevice found = InputDevice::None;
  int index = -1;
  EXPECT_EQ(input_->Create(bad), 1);
  input_->Acquire(bad);
  input_->UnAcquire(bad);
  input_->Update(bad);
  input_->Reset(bad);
  EXPECT_EQ(input_->Get(bad, 0), KeyState::Up);
  EXPECT_EQ(input_->GetPressed(bad, found, index), 1);
  std::vector<std::string> functions;
  for (const Logged& m : NewMessages()) {
    EXPECT_EQ(m.kind, kWarning);
    EXPECT_EQ(m.text, "unknown input device");
    functions.push_back(m.function);
  }
  EXPECT_THAT(functions, ElementsAre("Create", "Acquire", "UnAcquire", "Update", "Reset", "Get", "GetPressed"));
  EXPECT_EQ(input_->Create(InputDevice::None), 0);
  EXPECT_EQ(input_->GetPressed(InputDevice::None, found, index), 1);
  EXPECT_THAT(NewMessages().size(), 7u);
}

class InputStates : public InputFixture {
 protected:
  void SetUp() override { OpenAll(); }
  KeyState Space() { return input_->Get(InputDevice::Keyboard, kSpaceObject); }
  KeyState Left() { return input_->Get(InputDevice::Mouse, 4); }
  void Update() { input_->Update(InputDevice::All); }
};

TEST_F(InputStates, HeldKeyReadsPressedUntilItComesUp) {
  backend_.HoldKey(kSpaceScanCode, true);
  std::vector<KeyState> seen;
  for (int i = 0; i < 3; ++i) {
    Update();
    seen.push_back(Space());
  }
  backend_.HoldKey(kSpaceScanCode, false);
  Update();
  seen.push_back(Space());
  Update();
  seen.push_back(Space());
  EXPECT_THAT(seen, ElementsAre(KeyState::Pressed, KeyState::Pressed, KeyState::Pressed, KeyState::Released,
                                KeyState::Up));
}

// A tap shorter than a frame: the state at each update never shows it down, the event queue does.
TEST_F(InputStates, KeyTappedBetweenUpdatesIsPressedAtTheNextOne) {
  Update();
  backend_.TapKey(kSpaceScanCode);
  std::vector<KeyState> seen;
  for (int i = 0; i < 3; ++i) {
    Update();
    seen.push_back(Space());
  }
  EXPECT_THAT(seen, ElementsAre(KeyState::Pressed, KeyState::Released, KeyState::Up));
  InputDevice found = InputDevice::None;
  int index = -1;
  backend_.TapKey(kSpaceScanCode);
  Update();
  EXPECT_EQ(input_->GetPressed(InputDevice::Keyboard, found, index), 0);
  EXPECT_EQ(index, kSpaceObject);
}

TEST_F(InputStates, MouseButtonKeepsItsStateUntilAnEventChangesIt) {
  backend_.Click(0, true);
  Update();
  EXPECT_EQ(Left(), KeyState::Pressed);
  Update();  // no event: still down
  EXPECT_EQ(Left(), KeyState::Pressed);
  backend_.Click(0, false);
  Update();
  EXPECT_EQ(Left(), KeyState::Released);
}

// Clicks whose events all fall between two updates: a press among them counts at the next update, and
// the button then reads as its last event left it.
TEST_F(InputStates, ClickBetweenUpdatesIsPressedAtTheNextOne) {
  struct Case {
    std::vector<bool> events;  // right button: true = down
    KeyState next, after;
  };
  const Case cases[] = {
      {{true, false}, KeyState::Pressed, KeyState::Released},
      {{true, false, true}, KeyState::Pressed, KeyState::Pressed},
      {{false}, KeyState::Up, KeyState::Up},
  };
  for (const Case& c : cases) {
    input_->Reset(InputDevice::All);
    for (bool down : c.events) backend_.Click(1, down);
    Update();
    const KeyState next = input_->Get(InputDevice::Mouse, 5);
    Update();
    EXPECT_EQ(next, c.next) << c.events.size() << " events";
    EXPECT_EQ(input_->Get(InputDevice::Mouse, 5), c.after) << c.events.size() << " events";
    EXPECT_EQ(Left(), KeyState::Up);
  }
}

TEST_F(InputStates, OtherButtonsAndMotionChangeNothing) {
  backend_.Click(2, true);
  backend_.Click(MouseEvent::kMouseMotion, 0x80);
  Update();
  for (int i = 0; i < InputSystem::kMouseObjects; ++i) EXPECT_EQ(input_->Get(InputDevice::Mouse, i), KeyState::Up);
}

TEST_F(InputStates, AfterResetAHeldButtonReadsUpButAHeldKeyIsPressedAgain) {
  backend_.HoldKey(kSpaceScanCode, true);
  backend_.Click(0, true);
  Update();
  input_->Reset(InputDevice::All);
  EXPECT_EQ(Space(), KeyState::Up);
  EXPECT_EQ(Left(), KeyState::Up);
  Update();
  EXPECT_EQ(Space(), KeyState::Pressed);
  EXPECT_EQ(Left(), KeyState::Up);
}

TEST_F(InputStates, ObjectIndexesAreChecked) {
  ClearMessagesSeen();
  EXPECT_EQ(input_->Get(InputDevice::Keyboard, 144), KeyState::Up);
  EXPECT_EQ(input_->Get(InputDevice::Keyboard, -1), KeyState::Up);
  EXPECT_EQ(input_->Get(InputDevice::Mouse, 6), KeyState::Up);
  EXPECT_THAT(NewMessages(), ElementsAre(Logged{kWarning, "keyboard.Get", "unknown object of input device"},
                                         Logged{kWarning, "keyboard.Get", "unknown object of input device"},
                                         Logged{kWarning, "mouse.Get", "unknown object of input device"}));
  ClearMessagesSeen();
  EXPECT_EQ(input_->Get(InputDevice::Mouse, 2), KeyState::Up);
  EXPECT_EQ(input_->Get(InputDevice::None, 0), KeyState::Up);
  EXPECT_EQ(input_->Get(InputDevice::All, 0), KeyState::Up);
  EXPECT_THAT(NewMessages(), IsEmpty());
}

TEST_F(InputStates, GetPressedSearchesKeyboardThenMouse) {
  InputDevice found = InputDevice::None;
  int index = -1;
  Update();
  EXPECT_EQ(input_->GetPressed(InputDevice::All, found, index), 1);
  backend_.HoldKey(kSpaceScanCode, true);
  backend_.Click(0, true);
  Update();
  EXPECT_EQ(input_->GetPressed(InputDevice::All, found, index), 0);
  EXPECT_EQ(found, InputDevice::Keyboard);
  EXPECT_EQ(index, kSpaceObject);
  EXPECT_EQ(input_->GetPressed(InputDevice::Mouse, found, index), 0);
  EXPECT_EQ(found, InputDevice::Mouse);
  EXPECT_EQ(index, 4);
  // Escape (object 0) comes before the space bar.
  backend_.HoldKey(1, true);
  Update();
  EXPECT_EQ(input_->GetPressed(InputDevice::Keyboard, found, index), 0);
  EXPECT_EQ(index, 0);
}

TEST_F(InputStates, LostFocusFailsReadsUntilTheDeviceComesBack) {
  backend_.HoldKey(kSpaceScanCode, true);
  Update();
  ASSERT_EQ(Space(), KeyState::Pressed);
  backend_.keyboardRead = ReadResult::InputLost;
  backend_.calls.clear();
  Update();
  // The lost device is re-acquired at once, the update stops before the mouse, queries give Up.
  EXPECT_THAT(backend_.calls, ElementsAre("ReadKeyboard", "Acquire Keyboard"));
  EXPECT_EQ(input_->Keyboard().acquired, 0);
  EXPECT_EQ(Space(), KeyState::Up);
  backend_.keyboardRead = ReadResult::Ok;
  backend_.calls.clear();
  Update();
  EXPECT_EQ(backend_.calls.front(), "Acquire Keyboard");
  EXPECT_EQ(input_->Keyboard().acquired, 1);
  EXPECT_EQ(Space(), KeyState::Pressed);
}

TEST_F(InputStates, OtherReadErrorsDoNotReacquire) {
  backend_.mouseRead = ReadResult::Failed;
  backend_.calls.clear();
  Update();
  EXPECT_EQ(backend_.Count("Acquire Mouse"), 0);
  EXPECT_EQ(input_->Mouse().acquired, 0);
  EXPECT_EQ(backend_.Count("ReadJoystick"), 0);
}

TEST_F(InputStates, UnacquiredDevicesAnswerUp) {
  backend_.HoldKey(kSpaceScanCode, true);
  Update();
  input_->UnAcquire(InputDevice::Keyboard);
  EXPECT_EQ(Space(), KeyState::Up);
  InputDevice found = InputDevice::None;
  int index = -1;
  EXPECT_EQ(input_->GetPressed(InputDevice::Keyboard, found, index), 1);
}

TEST_F(InputStates, ReleaseClosesEverything) {
  backend_.calls.clear();
  input_->Release();
  EXPECT_THAT(backend_.calls, ElementsAre("Unacquire Keyboard", "Unacquire Mouse", "ReleaseDevice Mouse",
                                          "ReleaseDevice Keyboard", "ReleaseContext"));
  backend_.HoldKey(kSpaceScanCode, true);
  backend_.calls.clear();
  Update();
  EXPECT_THAT(backend_.calls, IsEmpty());
  EXPECT_EQ(Space(), KeyState::Up);
}

class JoystickStates : public InputFixture {
 protected:
  void SetUp() override {
    backend_.joystickAttached = true;
    OpenAll();
  }
  KeyState Object(int i) { return input_->Get(InputDevice::Joystick, i); }
};

TEST_F(JoystickStates, DirectionsAndButtons) {
  backend_.joystick.x = -1;
  backend_.joystick.y = 5000;
  backend_.joystick.buttons[31] = 0x80;
  backend_.joystick.buttons[0] = 0x7F;  // only the high bit counts
  input_->Update(InputDevice::All);
  EXPECT_THAT((std::vector<KeyState>{Object(0), Object(1), Object(2), Object(3), Object(4), Object(35)}),
              ElementsAre(KeyState::Pressed, KeyState::Up, KeyState::Up, KeyState::Pressed, KeyState::Up,
                          KeyState::Pressed));
  EXPECT_THAT(std::vector<std::string>(backend_.calls.end() - 2, backend_.calls.end()),
              ElementsAre("PollJoystick", "ReadJoystick"));
  InputDevice found = InputDevice::None;
  int index = -1;
  EXPECT_EQ(input_->GetPressed(InputDevice::All, found, index), 0);
  EXPECT_EQ(found, InputDevice::Joystick);
  EXPECT_EQ(index, 0);
  ClearMessagesSeen();
  EXPECT_EQ(Object(36), KeyState::Up);
  EXPECT_THAT(NewMessages(), ElementsAre(Logged{kWarning, "joystick.Get", "unknown object of input device"}));
}

}  // namespace
}  // namespace sylvora
