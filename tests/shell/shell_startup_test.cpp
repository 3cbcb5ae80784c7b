// A0_Open's order and failure paths, and Shutdown's order, fatal box and single run.
#include <gmock/gmock.h>

#include <set>

#include "tests/shell/shell_test_support.h"

namespace sylvora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

const char* const kOldOptions = "; the user's own file\r\nbrightness = 9;\r\n";

class Startup : public ShellFixture {};

TEST_F(Startup, BringsEverythingUpInOrder) {
  files_.Put(kOptionsPath, "sound_volume = 7;\r\nmusic_volume = 3;\r\nbrightness = 6;\r\nnature_view = 4;\r\n");
  PrepareFullScreen("/S");
  shell.subsystemCalls = TracingCalls();
  window_.cursorX = 123;
  window_.cursorY = 45;
  ASSERT_EQ(A0_Open(), 0);
  EXPECT_THAT(trace, ElementsAre("createVideo(1 640x480x16 window /opt/sylvora\\)", "queryDisplayMode",
                                 "createAudio", "setVolumes(70 30)", "setGamma(150)", "loadSharedPictures",
                                 "loadAmbientSounds", "startFirstScene(4)", "startAmbientSound"));
  EXPECT_EQ(shell.appRunning, 1);
  EXPECT_EQ(window_.x, 0);
  EXPECT_EQ(window_.width, kModeWidth);
  EXPECT_EQ(window_.height, kModeHeight);
  EXPECT_EQ(shell.startCursor.x, 123);
  EXPECT_EQ(shell.startCursor.y, 45);
  EXPECT_EQ(shell.options.brightness, 6);
  EXPECT_EQ(shell.frameStats.windowStart, clock_.Milliseconds());
  EXPECT_EQ(shell.frameStats.windowLength, 1000);
  EXPECT_THAT(MessagesOf("A0"), ElementsAre(StartsWith("A0_InitWindow: Log file"), StartsWith("A0_InitWindow: app"),
                                            StartsWith("A0_InitWindow: path"),
                                            "A0_Open: application command line is: /s"));
  // Input: created, then every device acquired.
  ASSERT_NE(shell.input, nullptr);
  EXPECT_EQ(backend_.calls.front(), "CreateContext");
  EXPECT_THAT(std::vector<std::string>(backend_.calls.end() - 2, backend_.calls.end()),
              ElementsAre("Acquire Keyboard", "Acquire Mouse"));
  for (int i = 0; i < 7; ++i) EXPECT_EQ(shell.layerTable.layers[i].name, "Layer A" + std::to_string(i));
}

TEST_F(Startup, RunsWithoutTheSubsystemsThatAreNotThere) {
  PrepareFullScreen();
  ASSERT_EQ(A0_Open(), 0);
  EXPECT_EQ(shell.video, nullptr);
  EXPECT_EQ(shell.audio, nullptr);
  EXPECT_NE(shell.input, nullptr);
  EXPECT_EQ(window_.width, 640);
  EXPECT_EQ(shell.layerTable.count, 7);
}

TEST_F(Startup, ARandomFirstSceneIsOneOfTheSix) {
  static int scene;
  for (int run = 0; run < 5; ++run) {
    PrepareFullScreen();
    scene = -1;
    shell.subsystemCalls.startFirstScene = [](int s) { scene = s; };
    ASSERT_EQ(A0_Open(), 0);
    EXPECT_EQ(shell.options.nature_view, kRandomScene);
    EXPECT_GE(scene, 0);
    EXPECT_LT(scene, 6);
    Shutdown(0);
  }
}

// Input failures end start-up with the input's last error in the fatal box.
struct InputFault {
  const char* failingCall;
  const char* function;
  const char* text;
};

class StartupInputFault : public ShellFixture, public ::testing::WithParamInterface<InputFault> {};

TEST_P(StartupInputFault, ShowsTheInputErrorAndLeavesOptionsAlone) {
  files_.Put(kOptionsPath, kOldOptions);
  backend_.failing.insert(GetParam().failingCall);
  shell.subsystemCalls = TracingCalls();
  EXPECT_EQ(RunScreensaver(window_, backend_, "/s"), 0);
  ASSERT_EQ(window_.boxes.size(), 1u);
  const std::string expected = std::string("ERROR Occured\n\nIn module: [KALDRA.INPUT:") + GetParam().function +
                               "()]\n\n\"" + GetParam().text + "\"\n\n" + kSupportContactLine +
                               "Please include error description(see above) in your message.\nThank you";
  EXPECT_EQ(window_.boxes[0].text, expected);
  EXPECT_EQ(window_.boxes[0].caption, "Sylvora Screensaver");
  EXPECT_FALSE(window_.boxes[0].windowVisible);
  EXPECT_THAT(window_.calls, ElementsAre("Create", "SetCursor", "Show", "Hide", "MessageBox", "PostQuit"));
  EXPECT_EQ(files_.At(kOptionsPath), kOldOptions);
  EXPECT_THAT(trace, IsEmpty());  // neither video nor audio was created
  EXPECT_EQ(shell.input, nullptr);
  EXPECT_EQ(shell.report, nullptr);
  EXPECT_EQ(shell.appRunning, 0);
  // Whatever was opened is closed again.
  EXPECT_EQ(backend_.Count("ReleaseContext"), std::string(GetParam().failingCall) == "CreateContext" ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    CreationSteps, StartupInputFault,
    ::testing::Values(InputFault{"CreateContext", "CDInput", "DirectInput7 object was not created"},
                      InputFault{"CreateDevice Keyboard", "CreateKeyboard", "keyboard was not created"},
                      InputFault{"SetMouseBufferSize", "CreateMouse", "mouse buffer was not initialized"}));

TEST_F(Startup, AVideoFailureShowsTheVideoErrorAndNeverCreatesAudio) {
  files_.Put(kOptionsPath, kOldOptions);
  PrepareFullScreen();
  shell.subsystemCalls = TracingCalls();
  shell.subsystemCalls.createVideo = [](const DisplayRequest&, NativeWindow*, const std::string&) {
    trace.push_back("createVideo");
    shell.video = StandInVideo();
    shell.report->AddMessage(1, MessageKind::Error, "KALDRA.VIDEO", "CreateFullScreen", "display mode was not set");
    return 2;
  };
  EXPECT_EQ(A0_Open(), 2);
  EXPECT_THAT(trace, ElementsAre("createVideo", "destroyVideo"));
  ASSERT_EQ(window_.boxes.size(), 1u);
  EXPECT_THAT(window_.boxes[0].text, HasSubstr("[KALDRA.VIDEO:CreateFullScreen()]"));
  EXPECT_THAT(window_.boxes[0].text, HasSubstr("\"display mode was not set\""));
  EXPECT_EQ(files_.At(kOptionsPath), kOldOptions);
  EXPECT_EQ(shell.video, nullptr);
  EXPECT_EQ(window_.width, 640);  // never resized
}

TEST_F(Startup, AnAudioFailureOnlySilences) {
  PrepareFullScreen();
  shell.subsystemCalls = TracingCalls();
  shell.subsystemCalls.createAudio = [](NativeWindow*, const std::string&) {
    trace.push_back("createAudio");
    shell.audio = StandInAudio();
    shell.report->AddMessage(1, MessageKind::Error, "KALDRA.AUDIO", "Create", "sound device was not initialized");
  };
  EXPECT_EQ(A0_Open(), 0);
  EXPECT_EQ(trace.back(), "startAmbientSound");
  EXPECT_THAT(window_.boxes, IsEmpty());
}

// A daemon's stop that comes while start-up runs ends it before the next step, quietly: everything made
// so far is taken down, no box is shown, and the options are written back only once they were read.
TEST_F(Startup, AStopBetweenAnyTwoStepsEndsStartUpThereAndSavesOnlyOptionsItRead) {
  // The trace a stop before step n leaves; the options are read in step 3 (0 = input).
  const std::vector<std::string> steps[] = {{},
                                            {},
                                            {"createVideo(1 640x480x16 window /opt/sylvora\\)", "queryDisplayMode"},
                                            {"createAudio"},
                                            {"setVolumes(100 50)", "setGamma(0)"},
                                            {"loadSharedPictures"},
                                            {"loadAmbientSounds"},
                                            {}};
  for (int stopAt = 0; stopAt < 8; ++stopAt) {
    SCOPED_TRACE(stopAt);
    ResetProcessState();
    window_ = MemoryWindow{};
    files_.Put(kOptionsPath, "nature_view = 2;\r\n");
    PrepareFullScreen();
    shell.subsystemCalls = TracingCalls();
    UseTracingLayers();
    window_.stopAtCheck = stopAt;
    ASSERT_EQ(A0_Open(), 0);
    std::vector<std::string> expected;
    for (int step = 0; step <= stopAt; ++step) expected.insert(expected.end(), steps[step].begin(), steps[step].end());
    if (stopAt >= 3) expected.push_back("destroyAudio");
    if (stopAt >= 2) expected.push_back("destroyVideo");
    EXPECT_EQ(trace, expected);
    EXPECT_EQ(files_.At(kOptionsPath).find("sound_volume") != std::string::npos, stopAt > 3);
    EXPECT_THAT(window_.boxes, IsEmpty());
    EXPECT_EQ(shell.appRunning, 0);
    EXPECT_EQ(shell.input, nullptr);
    // The loop that follows takes the stop's event and the quit, and ends as a stop does.
    EXPECT_EQ(RunMessageLoop(), 0);
  }
}

class ShutdownOrder : public ShellFixture {};

TEST_F(ShutdownOrder, NormalExitSavesOptionsAndTakesEverythingDown) {
  OpenFullScreen();
  shell.options.brightness = 8;
  backend_.calls.clear();
  Shutdown(0);
  EXPECT_THAT(trace, ElementsAre("SceneStop", "StopAmbientSound", "destroyAudio", "destroyVideo"));
  EXPECT_THAT(backend_.calls, ElementsAre("Unacquire Keyboard", "Unacquire Mouse", "ReleaseDevice Mouse",
                                          "ReleaseDevice Keyboard", "ReleaseContext"));
  ASSERT_TRUE(files_.Has(kOptionsPath));
  EXPECT_THAT(files_.At(kOptionsPath), HasSubstr("brightness = 8;"));
  EXPECT_THAT(window_.boxes, IsEmpty());
  EXPECT_TRUE(window_.visible);
  EXPECT_THAT(window_.postedQuits, ElementsAre(0));
  EXPECT_EQ(shell.report, nullptr);
  EXPECT_EQ(shell.input, nullptr);
  EXPECT_EQ(shell.video, nullptr);
  EXPECT_EQ(shell.audio, nullptr);
  EXPECT_EQ(shell.appRunning, 0);
}

// The machine's options.ini gives a new user's first run its values; the run's save goes to the
// user's own file, and nothing in the installation changes.
TEST_F(ShutdownOrder, AFirstRunStartsFromTheMachinesDefaultsAndSavesOnlyTheUsersFile) {
  files_.Put(kMachineOptionsPath, "brightness = 6;\r\n");
  const auto installation = files_.files;
  OpenFullScreen();
  EXPECT_EQ(shell.options.brightness, 6);
  Shutdown(0);
  ASSERT_TRUE(files_.Has(kOptionsPath));
  EXPECT_THAT(files_.At(kOptionsPath), HasSubstr("brightness = 6;"));
  files_.files.erase(NativePath(kOptionsPath));
  EXPECT_EQ(files_.files, installation);
  EXPECT_EQ(files_.directories, (std::set<std::string>{"/home/user/.config/sylvora/"}));
}

TEST_F(ShutdownOrder, ASecondShutdownDoesNothing) {
  OpenFullScreen();
  Shutdown(0);
  files_.files.erase(NativePath(kOptionsPath));
  trace.clear();
  backend_.calls.clear();
  Shutdown(0);
  Shutdown(2);
  EXPECT_FALSE(files_.Has(kOptionsPath));
  EXPECT_THAT(trace, IsEmpty());
  EXPECT_THAT(backend_.calls, IsEmpty());
  EXPECT_THAT(window_.postedQuits, ElementsAre(0));
  EXPECT_THAT(window_.boxes, IsEmpty());
}

TEST_F(ShutdownOrder, AFailureHidesTheWindowAndShowsTheFatalText) {
  OpenFullScreen();
  files_.Put(kOptionsPath, kOldOptions);
  Shutdown(2);
  EXPECT_EQ(files_.At(kOptionsPath), kOldOptions);
  ASSERT_EQ(window_.boxes.size(), 1u);
  // No error was recorded, so the box is empty.
  EXPECT_EQ(window_.boxes[0].text, "");
  EXPECT_EQ(window_.boxes[0].caption, "Sylvora Screensaver");
  EXPECT_FALSE(window_.boxes[0].windowVisible);
  EXPECT_THAT(window_.postedQuits, ElementsAre(0));
}

TEST_F(ShutdownOrder, StopsOnlyLayersThatAreStarted) {
  OpenFullScreen();
  shell.layerTable.SetFlags(1, 0);
  shell.layerTable.layers[6].updating = 0;  // any one flag still counts as started
  Shutdown(0);
  EXPECT_THAT(trace, ElementsAre("StopAmbientSound", "destroyAudio", "destroyVideo"));
}

}  // namespace
}  // namespace sylvora
