// The frame steps (pacing, layer calls, exit tests), activation, and the message loop.
#include <gmock/gmock.h>

#include "tests/shell/shell_test_support.h"

namespace sylvora {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kSpaceScanCode = 57;

class FrameSteps : public ShellFixture {
 protected:
  // One frame as the loop runs it when the clock moves msPerFrame between frames.
  int Frame(uint32_t msPerFrame) {
    clock_.Advance(msPerFrame);
    const int sleepsBefore = clock_.Sleeps();
    EXPECT_EQ(FrameUpdate(), 0);
    EXPECT_EQ(FrameRender(), 0);
    return clock_.Sleeps() - sleepsBefore;
  }
};

TEST_F(FrameSteps, InitLayersNamesSevenClearLayers) {
  shell.layerTable.SetFlags(3, 1);
  shell.layerTable.count = 42;
  EXPECT_EQ(InitLayers(), 0);
  EXPECT_EQ(shell.layerTable.count, 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(shell.layerTable.layers[i].name, "Layer A" + std::to_string(i));
    EXPECT_EQ(
        shell.layerTable.layers[i].active + shell.layerTable.layers[i].updating + shell.layerTable.layers[i].drawing,
        0);
  }
  EXPECT_EQ(shell.layerTable.layers[7].name, "");
}

TEST_F(FrameSteps, At200FramesASecondSleepingStartsInTheThirdWindow) {
  OpenFullScreen(false);
  std::vector<double> averages;
  int firstSleep = 0;
  for (int frame = 1; frame <= 600 && !firstSleep; ++frame) {
    const double before = shell.frameStats.averageRate;
    if (Frame(5)) firstSleep = frame;
    if (shell.frameStats.averageRate != before) averages.push_back(shell.frameStats.averageRate);
  }
  // The window closes at the update of frame 200 (199 frames counted so far), then at 400 and 600.
  EXPECT_THAT(averages, ElementsAre(99.5, 149.75, 174.875));
  EXPECT_EQ(firstSleep, 600);
  EXPECT_EQ(clock_.Slept(), 5u);
  // Sleeping halves the rate: the next window measures 100 frames and the average falls back under
  // the limit, so the frame that closes it no longer sleeps.
  int sleeps = 0;
  for (int frame = 601; frame <= 700; ++frame) sleeps += Frame(5);
  EXPECT_EQ(sleeps, 99);
  EXPECT_EQ(shell.frameStats.averageRate, 137.4375);
}

TEST_F(FrameSteps, At100FramesASecondItNeverSleeps) {
  OpenFullScreen(false);
  for (int frame = 0; frame < 3000; ++frame) Frame(10);
  EXPECT_EQ(clock_.Sleeps(), 0);
  EXPECT_GT(shell.frameStats.averageRate, 95.0);
}

TEST_F(FrameSteps, TheRateCountsWholeSecondsOnly) {
  OpenFullScreen(false);
  for (int frame = 0; frame < 30; ++frame) Frame(1);
  clock_.Advance(1999 - 30);
  FrameUpdate();
  EXPECT_EQ(shell.frameStats.currentRate, 30.0);
  EXPECT_EQ(shell.frameStats.frameCount, 0);
  EXPECT_EQ(shell.frameStats.windowStart, clock_.Milliseconds());
  for (int frame = 0; frame < 50; ++frame) Frame(1);
  clock_.Advance(2000 - 50);
  FrameUpdate();
  EXPECT_EQ(shell.frameStats.currentRate, 25.0);
}

TEST_F(FrameSteps, UpdatesRunBeforeDrawsInLayerOrder) {
  OpenFullScreen();
  FrameUpdate();
  FrameRender();
  EXPECT_THAT(trace, ElementsAre("SceneUpdate", "AmbientSoundUpdate", "SceneDraw", "present"));
}

TEST_F(FrameSteps, WithNoLayerStartedAFrameIsStillPresentedAndCounted) {
  OpenFullScreen();
  shell.layerTable.SetFlags(1, 0);
  shell.layerTable.SetFlags(6, 0);
  const int before = shell.frameStats.frameCount;
  EXPECT_EQ(FrameUpdate(), 0);
  EXPECT_EQ(FrameRender(), 0);
  EXPECT_THAT(trace, ElementsAre("present"));
  EXPECT_EQ(shell.frameStats.frameCount, before + 1);
}

TEST_F(FrameSteps, AFailingSceneUpdateEndsWithTheFatalBox) {
  files_.Put(kOptionsPath, "brightness = 9;\r\n");
  OpenFullScreen();
  sceneLayer_.onUpdate = [] {
    shell.report->AddMessage(1, MessageKind::Error, "RURODODE.NATURE", "SceneUpdate", "surface 3 was not loaded");
    return 1;
  };
  EXPECT_EQ(FrameUpdate(), 2);
  EXPECT_THAT(trace, ElementsAre("SceneStop", "StopAmbientSound", "destroyAudio", "destroyVideo"));
  ASSERT_EQ(window_.boxes.size(), 1u);
  EXPECT_THAT(window_.boxes[0].text, ::testing::HasSubstr("[RURODODE.NATURE:SceneUpdate()]"));
  EXPECT_EQ(files_.At(kOptionsPath), "brightness = 9;\r\n");
  EXPECT_EQ(shell.appRunning, 0);
}

TEST_F(FrameSteps, AFailingAmbientUpdateEndsTheProgram) {
  OpenFullScreen();
  ambientLayer_.onUpdate = [] { return 1; };
  EXPECT_EQ(FrameUpdate(), 2);
  EXPECT_EQ(trace.front(), "SceneUpdate");
  EXPECT_THAT(window_.postedQuits, ElementsAre(0));
}

TEST_F(FrameSteps, AFailingDrawPresentsNothing) {
  OpenFullScreen();
  sceneLayer_.onDraw = [] { return 1; };
  const int before = shell.frameStats.frameCount;
  EXPECT_EQ(FrameRender(), 2);
  EXPECT_THAT(trace, ElementsAre("SceneStop", "StopAmbientSound", "destroyAudio", "destroyVideo"));
  EXPECT_EQ(shell.frameStats.frameCount, before);
  EXPECT_EQ(window_.boxes.size(), 1u);
}

class ExitTests : public ShellFixture {
 protected:
  void SetUp() override { OpenFullScreen(); }
  bool Exits() {
    CheckExit();
    return shell.appRunning == 0;
  }
};

TEST_F(ExitTests, NothingHappeningKeepsRunning) {
  EXPECT_FALSE(Exits());
  EXPECT_FALSE(Exits());
}

TEST_F(ExitTests, AKeyEndsWithOptionsSaved) {
  backend_.HoldKey(kSpaceScanCode, true);
  EXPECT_TRUE(Exits());
  EXPECT_TRUE(files_.Has(kOptionsPath));
  EXPECT_THAT(window_.postedQuits, ElementsAre(0));
  EXPECT_THAT(window_.boxes, IsEmpty());
}

TEST_F(ExitTests, TheLeftButtonEnds) {
  backend_.Click(0, true);
  EXPECT_TRUE(Exits());
  EXPECT_TRUE(files_.Has(kOptionsPath));
}

TEST_F(ExitTests, TheRightButtonEnds) {
  backend_.Click(1, true);
  EXPECT_TRUE(Exits());
}

TEST_F(ExitTests, TheMiddleButtonDoesNot) {
  backend_.Click(2, true);
  EXPECT_FALSE(Exits());
}

TEST_F(ExitTests, MovingMoreThan12PixelsEnds) {
  window_.cursorX = shell.startCursor.x + 12;
  window_.cursorY = shell.startCursor.y - 12;
  EXPECT_FALSE(Exits());
  window_.cursorX = shell.startCursor.x - 13;
  EXPECT_TRUE(Exits());
}

TEST_F(ExitTests, MovingMoreThan12PixelsDownEnds) {
  window_.cursorY = shell.startCursor.y + 13;
  EXPECT_TRUE(Exits());
}

TEST_F(ExitTests, MovesAreIgnoredWhenTheOptionIsOff) {
  shell.options.exit_on_mouse_move = 0;
  window_.cursorX = shell.startCursor.x + 500;
  window_.cursorY = shell.startCursor.y + 500;
  EXPECT_FALSE(Exits());
}

class JoystickExit : public ExitTests {
 protected:
  void SetUp() override {
    backend_.joystickAttached = true;
    OpenFullScreen();
  }
};

TEST_F(JoystickExit, TheJoystickNeverEnds) {
  backend_.joystick.x = -5000;
  backend_.joystick.buttons[0] = 0x80;
  EXPECT_FALSE(Exits());
  EXPECT_EQ(shell.input->Get(InputDevice::Joystick, 0), KeyState::Pressed);
  EXPECT_EQ(shell.input->Get(InputDevice::Joystick, 4), KeyState::Pressed);
}

class Activation : public ShellFixture {
 protected:
  void SetUp() override { OpenFullScreen(); }
};

TEST_F(Activation, LosingActivationPausesInputAudioVideoAndScene) {
  backend_.Click(0, true);
  shell.input->Update(InputDevice::All);
  backend_.calls.clear();
  OnActivateApp(0);
  EXPECT_EQ(shell.appActive, 0);
  EXPECT_THAT(trace, ElementsAre("pauseAudioOutput", "suspendVideo", "scenePause(1)"));
  EXPECT_THAT(backend_.calls, ElementsAre("Unacquire Keyboard", "Unacquire Mouse"));
  EXPECT_EQ(shell.input->Mouse().objects[4].state, KeyState::Up);
}

TEST_F(Activation, RegainingItResumesInTheirOrder) {
  OnActivateApp(0);
  trace.clear();
  backend_.calls.clear();
  OnActivateApp(1);
  EXPECT_EQ(shell.appActive, 1);
  EXPECT_THAT(trace, ElementsAre("resumeVideo", "sceneResume(1)", "resumeAudioOutput"));
  EXPECT_THAT(backend_.calls, ElementsAre("Acquire Keyboard", "Acquire Mouse"));
}

TEST_F(Activation, TheSceneIsLeftAloneWhenItIsNotUpdating) {
  shell.layerTable.SetFlags(1, 0);
  OnActivateApp(0);
  OnActivateApp(1);
  EXPECT_THAT(trace, ElementsAre("pauseAudioOutput", "suspendVideo", "resumeVideo", "resumeAudioOutput"));
}

TEST_F(Activation, AbsentObjectsAreSkipped) {
  Shutdown(0);
  trace.clear();
  shell.appRunning = 1;  // as in a partial start-up
  OnActivateApp(0);
  OnActivateApp(1);
  shell.appRunning = 0;
  EXPECT_THAT(trace, IsEmpty());
}

TEST_F(Activation, EventsBeforeOrAfterFullScreenAreIgnored) {
  Shutdown(0);
  shell.appActive = 1;
  WindowProcedure(WindowEvent{WindowEventKind::Deactivate, 0});
  EXPECT_EQ(shell.appActive, 1);
}

class MessageLoop : public ShellFixture {};

TEST_F(MessageLoop, FramesStopWhileInactiveAndAKeyEndsTheRun) {
  files_.Put(kOptionsPath, "");
  int framesWhileInactive = -1;
  window_.onIdlePeek = [this, &framesWhileInactive] {
    const int peek = window_.idlePeeks;
    if (peek == 3) window_.Push(WindowEventKind::Deactivate);
    if (peek == 4) backend_.calls.clear();
    if (peek == 50) {
      framesWhileInactive = backend_.Count("ReadKeyboard");
      window_.Push(WindowEventKind::Activate);
    }
    if (peek == 60) backend_.HoldKey(57, true);
  };
  shell.subsystemCalls = TracingCalls();
  EXPECT_EQ(RunScreensaver(window_, backend_, "/s"), 0);
  EXPECT_EQ(framesWhileInactive, 0);
  EXPECT_LT(window_.idlePeeks, 70);
  // The loop slept for events while inactive (peeks 4 to 50) and once more for the quit event after
  // the key ended the run; never while drawing.
  EXPECT_EQ(window_.waitTimeouts, std::vector<uint32_t>(48, kIdleWaitMs));
  EXPECT_THAT(window_.postedQuits, ElementsAre(0));
  EXPECT_NE(files_.At(kOptionsPath), "");
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "scenePause(1)"), 1);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "sceneResume(1)"), 1);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "suspendVideo"), 1);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "resumeVideo"), 1);
}

TEST_F(MessageLoop, ClosingTheWindowIsANormalExit) {
  window_.onIdlePeek = [this] {
    if (window_.idlePeeks == 5) window_.Push(WindowEventKind::Destroy);
  };
  EXPECT_EQ(RunScreensaver(window_, backend_, "/s"), 0);
  EXPECT_TRUE(files_.Has(kOptionsPath));
  EXPECT_THAT(window_.postedQuits, ElementsAre(0));
}

TEST_F(MessageLoop, TheWindowClosingAfterAnExitDoesNotShutDownAgain) {
  window_.onIdlePeek = [this] {
    if (window_.idlePeeks == 5) backend_.HoldKey(57, true);
  };
  EXPECT_EQ(RunScreensaver(window_, backend_, "/s"), 0);
  files_.files.erase(NativePath(kOptionsPath));
  // The window's close arrives after the exit test already shut down.
  WindowProcedure(WindowEvent{WindowEventKind::Destroy, 0});
  EXPECT_THAT(window_.postedQuits, ElementsAre(0));
  EXPECT_FALSE(files_.Has(kOptionsPath));
}

TEST_F(MessageLoop, AFailingFrameStepWaitsForTheQuitEvent) {
  shell.subsystemCalls = TracingCalls();
  UseTracingLayers();
  sceneLayer_.onDraw = [] { return 1; };
  EXPECT_EQ(RunScreensaver(window_, backend_, "/s"), 0);
  EXPECT_EQ(shell.appRunning, 0);
  EXPECT_EQ(window_.boxes.size(), 1u);
  EXPECT_THAT(window_.postedQuits, ElementsAre(0));
  EXPECT_LT(window_.idlePeeks, 5);
}

TEST_F(MessageLoop, TheQuitCodeIsTheExitCode) {
  window_.onIdlePeek = [this] {
    if (window_.idlePeeks == 2) window_.Push(WindowEventKind::Quit, 7);
  };
  EXPECT_EQ(RunScreensaver(window_, backend_, "/s"), 7);
  Shutdown(0);
}

}  // namespace
}  // namespace sylvora
