// A screen-saver daemon's window: reading --root, --window-id and XSCREENSAVER_WINDOW, the mode choice
// beside the twelve switches, the run inside the daemon's window, and the sound lock.
#include <gmock/gmock.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/clock.h"
#include "shell/daemon_window.h"
#include "shell/sound_lock.h"
#include "tests/shell/shell_test_support.h"

namespace sylvora {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

DaemonWindowRequest Read(std::vector<std::string> arguments, const char* environment = nullptr) {
  return ReadDaemonWindowRequest(arguments, environment);
}

void ExpectWindow(const DaemonWindowRequest& request, uint64_t id) {
  EXPECT_TRUE(request.asked);
  EXPECT_TRUE(request.valid) << request.problem;
  EXPECT_EQ(request.windowId, id);
}

void ExpectUnusable(const DaemonWindowRequest& request, const std::string& problem) {
  EXPECT_TRUE(request.asked);
  EXPECT_FALSE(request.valid);
  EXPECT_EQ(request.problem, problem);
}

TEST(DaemonWindowRequest, WindowIdIsDecimalOrHexadecimal) {
  ExpectWindow(Read({"--window-id", "2097153"}), 2097153);
  ExpectWindow(Read({"-window-id", "0x200001"}), 0x200001);
  ExpectWindow(Read({"--window-id", "0X1A00003"}), 0x1A00003);
  ExpectWindow(Read({"--window-id", "4294967295"}), 0xFFFFFFFFu);
  // --window-id wins over the environment and over --root.
  ExpectWindow(Read({"--root", "--window-id", "77"}, "0x99"), 77);
}

TEST(DaemonWindowRequest, RootTakesTheEnvironmentsHexadecimalId) {
  ExpectWindow(Read({"--root"}, "0x2a00007"), 0x2a00007);
  ExpectWindow(Read({"-root"}, "2a00007"), 0x2a00007);
  // The daemon may set only the environment.
  ExpectWindow(Read({}, "0x10"), 0x10);
}

TEST(DaemonWindowRequest, NothingAskedWithoutFlagsOrEnvironment) {
  EXPECT_FALSE(Read({}).asked);
  EXPECT_FALSE(Read({"/s"}).asked);
  EXPECT_FALSE(Read({"--rooted", "window-id", "5"}).asked);
  EXPECT_FALSE(Read({}, "").asked);
}

TEST(DaemonWindowRequest, BadIdsAreUnusable) {
  ExpectUnusable(Read({"--window-id"}), "--window-id needs a window id");
  ExpectUnusable(Read({"--root"}), "--root needs the window id in XSCREENSAVER_WINDOW");
  ExpectUnusable(Read({"--root"}, ""), "--root needs the window id in XSCREENSAVER_WINDOW");
  ExpectUnusable(Read({"--window-id", "12x"}), "window id \"12x\" is not a window number");
  ExpectUnusable(Read({"-window-id", "0x"}), "window id \"0x\" is not a window number");
  ExpectUnusable(Read({"--root"}, "zz"), "XSCREENSAVER_WINDOW \"zz\" is not a window number");
  for (const char* text : {"", "0", "0x0", "-5", "+5", " 5", "4294967296", "0x100000000", "99999999999999999999999",
                           "1a"}) {
    uint64_t id = 123;
    EXPECT_FALSE(ParseWindowId(text, false, id)) << text;
    EXPECT_EQ(id, 123u) << text;
  }
  uint64_t id = 0;
  EXPECT_TRUE(ParseWindowId("1a", true, id));
  EXPECT_EQ(id, 0x1au);
}

ScreensaverMode LaunchModeOf(const std::string& line, const char* environment = nullptr) {
  std::vector<std::string> arguments;
  std::string word;
  for (char c : line + " ") {
    if (c != ' ') {
      word += c;
    } else if (!word.empty()) {
      arguments.push_back(word);
      word.clear();
    }
  }
  return SelectLaunchMode(CopyCommandLine(line), ReadDaemonWindowRequest(arguments, environment));
}

TEST(LaunchMode, TheTwelveSwitchesStillDecideFirst) {
  EXPECT_EQ(LaunchModeOf("/c --root", "0x20"), ScreensaverMode::Configure);
  EXPECT_EQ(LaunchModeOf("--root /c"), ScreensaverMode::Configure);
  EXPECT_EQ(LaunchModeOf("/s --window-id 0x20"), ScreensaverMode::FullScreen);
  EXPECT_EQ(LaunchModeOf("/p 55", "0x20"), ScreensaverMode::Preview);
  EXPECT_EQ(LaunchModeOf("-a", "0x20"), ScreensaverMode::Password);
  EXPECT_EQ(LaunchModeOf("\\C", "0x20"), ScreensaverMode::Configure);
}

TEST(LaunchMode, WithoutASwitchTheDaemonsWindowIsUsed) {
  EXPECT_EQ(LaunchModeOf("--root", "0x2A00007"), ScreensaverMode::DaemonWindow);
  EXPECT_EQ(LaunchModeOf("-root", "0x2A00007"), ScreensaverMode::DaemonWindow);
  EXPECT_EQ(LaunchModeOf("--window-id 0x1A00003"), ScreensaverMode::DaemonWindow);
  EXPECT_EQ(LaunchModeOf("-window-id 31457283"), ScreensaverMode::DaemonWindow);
  EXPECT_EQ(LaunchModeOf("", "0x2A00007"), ScreensaverMode::DaemonWindow);
  // Asked without a usable id is still the daemon's launch, not the settings dialog.
  EXPECT_EQ(LaunchModeOf("--root"), ScreensaverMode::DaemonWindow);
  EXPECT_EQ(LaunchModeOf(""), ScreensaverMode::Configure);
  EXPECT_EQ(LaunchModeOf("--verbose"), ScreensaverMode::Configure);
}

class DaemonWindowRun : public ShellFixture {
 protected:
  static constexpr uint64_t kWindowId = 0x2A00007;

  void SetUp() override {
    shell.subsystemCalls = TracingCalls();
    UseTracingLayers();
  }

  int Run(const std::string& line, const DaemonWindowRequest& daemon) {
    return RunScreensaver(window_, backend_, line, daemon);
  }
  int RunInDaemonWindow() { return Run("--root", Read({"--root"}, "0x2A00007")); }
};

TEST_F(DaemonWindowRun, AttachesToTheWindowAndLeavesItsSizeAndPointerAlone) {
  window_.onIdlePeek = [this] {
    if (window_.idlePeeks == 5) window_.Push(WindowEventKind::Destroy);
  };
  EXPECT_EQ(RunInDaemonWindow(), 0);
  EXPECT_EQ(window_.foreignId, kWindowId);
  // Never shown, moved or sized by us; no cursor of ours over it.
  EXPECT_THAT(window_.calls, ElementsAre("CreateFrom", "PostQuit"));
  EXPECT_THAT(trace, Contains("createVideo(1 640x480x16 window /opt/sylvora\\)"));
  EXPECT_THAT(trace, Contains("queryDisplayMode"));
  EXPECT_THAT(trace, Contains("SceneDraw"));
  EXPECT_THAT(trace, Contains("present"));
}

TEST_F(DaemonWindowRun, InputNeverEndsTheRunButTheDaemonsStopDoesWithOptionsSaved) {
  window_.onIdlePeek = [this] {
    const int peek = window_.idlePeeks;
    if (peek == 3) backend_.HoldKey(57, true);
    if (peek == 4) backend_.Click(0, true);
    if (peek == 5) window_.cursorX += 300;  // far beyond the 12 pixels
    if (peek == 40) window_.Push(WindowEventKind::Destroy);  // SIGTERM, as the adapter delivers it
  };
  EXPECT_EQ(RunInDaemonWindow(), 0);
  EXPECT_GE(window_.idlePeeks, 40);
  EXPECT_THAT(window_.postedQuits, ElementsAre(0));
  EXPECT_TRUE(files_.Has(kOptionsPath));
  EXPECT_THAT(window_.boxes, IsEmpty());
  EXPECT_EQ(shell.report, nullptr);
}

// A copy that found the sound held by another asks for it again once a second while it draws, and
// stops asking once it has it.
TEST_F(DaemonWindowRun, ASilentCopyAsksForTheSoundOnceASecondUntilItHasIt) {
  static std::vector<uint32_t> asked;
  asked.clear();
  shell.subsystemCalls.createAudio = [](NativeWindow*, const std::string&) {
    shell.soundWaiting = 1;
    shell.lastSoundTry = TimeGetTime();
  };
  shell.subsystemCalls.retakeSound = [] {
    asked.push_back(TimeGetTime());
    return asked.size() < 3;  // the other copy ends before the third try
  };
  const uint32_t start = clock_.Milliseconds();
  window_.onIdlePeek = [this] {
    clock_.Advance(100);
    if (window_.idlePeeks == 60) window_.Push(WindowEventKind::Destroy);
  };
  EXPECT_EQ(RunInDaemonWindow(), 0);
  EXPECT_THAT(asked, ElementsAre(start + 1000, start + 2000, start + 3000));
  EXPECT_EQ(shell.soundWaiting, 0);
}

// A lost display connection, or a run outliving its window, leaves nothing to release: the adapter runs
// the shell's handler, which saves the options, and ends the process. Before the run and after it the
// handler saves nothing, and a stop after it does not save again.
TEST_F(DaemonWindowRun, ALostDisplaySavesTheOptionsOnceAndOnlyWhileASceneRuns) {
  static void (*lost)() = nullptr;
  window_.onIdlePeek = [this] {
    if (window_.idlePeeks != 5) return;
    lost = window_.displayLost;
    ASSERT_NE(lost, nullptr);
    shell.options.brightness = 9;
    lost();
    EXPECT_THAT(files_.At(kOptionsPath), HasSubstr("brightness = 9;"));
    files_.files.erase(NativePath(kOptionsPath));
    window_.Push(WindowEventKind::Destroy);
  };
  EXPECT_EQ(RunInDaemonWindow(), 0);
  lost();
  EXPECT_FALSE(files_.Has(kOptionsPath));
}

// An X error the run survives is recorded as a warning, and the run goes on.
TEST_F(DaemonWindowRun, AWindowingProblemIsReportedAndTheRunGoesOn) {
  window_.onIdlePeek = [this] {
    if (window_.idlePeeks == 3) window_.events.push_back({WindowEventKind::Problem, 0, "X error 17 (request 1.0)"});
    if (window_.idlePeeks != 6) return;
    EXPECT_THAT(MessagesOf("A0"), Contains("WindowProcedure: X error 17 (request 1.0)"));
    window_.Push(WindowEventKind::Destroy);
  };
  EXPECT_EQ(RunInDaemonWindow(), 0);
  EXPECT_GE(window_.idlePeeks, 6);
}

TEST_F(DaemonWindowRun, FocusChangesNeitherPauseNorResume) {
  window_.onIdlePeek = [this] {
    const int peek = window_.idlePeeks;
    if (peek == 3) window_.Push(WindowEventKind::Deactivate);
    if (peek == 10) window_.Push(WindowEventKind::Activate);
    if (peek == 20) window_.Push(WindowEventKind::Destroy);
  };
  EXPECT_EQ(RunInDaemonWindow(), 0);
  for (const char* call : {"scenePause(1)", "sceneResume(1)", "suspendVideo", "resumeVideo", "pauseAudioOutput",
                           "resumeAudioOutput"}) {
    EXPECT_EQ(std::count(trace.begin(), trace.end(), call), 0) << call;
  }
  // Frames ran all along: the scene updated at nearly every idle peek.
  EXPECT_GE(std::count(trace.begin(), trace.end(), "SceneUpdate"), 15);
}

TEST_F(DaemonWindowRun, AnUnusableIdEndsAtOnceWithItsReason) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Run("--window-id 12x", Read({"--window-id", "12x"})), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "sylvora: window id \"12x\" is not a window number\n");
  EXPECT_THAT(window_.calls, IsEmpty());
  EXPECT_THAT(trace, IsEmpty());
  EXPECT_FALSE(files_.Has(kOptionsPath));
}

TEST_F(DaemonWindowRun, AWindowThatCannotBeUsedEndsWithCode1AndOneTakenAwayWhileAttachingWith0) {
  for (const auto& [gone, code] : {std::pair{false, 1}, std::pair{true, 0}}) {
    SCOPED_TRACE(gone ? "gone" : "unusable");
    window_ = MemoryWindow{};
    window_.createFails = !gone;
    window_.windowGoneOnAttach = gone;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunInDaemonWindow(), code);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_THAT(window_.calls, ElementsAre("CreateFrom"));
    EXPECT_EQ(shell.report, nullptr);
    EXPECT_FALSE(files_.Has(kOptionsPath));
  }
}

TEST_F(DaemonWindowRun, ConfigureWithRootStillRunsTheDialogInOurOwnWindow) {
  static int dialogs = 0;
  dialogs = 0;
  shell.subsystemCalls.runSettingsDialog = [](Options&, Report*, const OptionsPlace&) {
    ++dialogs;
    return 0;
  };
  EXPECT_EQ(Run("/c --root", Read({"/c", "--root"}, "0x2A00007")), 0);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(window_.foreignId, 0u);
  EXPECT_THAT(window_.calls, ElementsAre("Create", "SetCursor"));
  EXPECT_EQ(shell.inDaemonWindow, 0);
}

TEST_F(DaemonWindowRun, AStartUpFailureStillShutsDownWithTheBox) {
  shell.subsystemCalls.createVideo = [](const DisplayRequest&, NativeWindow*, const std::string&) {
    shell.report->AddMessage(1, MessageKind::Error, "KALDRA.VIDEO", "CreateFullScreen", "no display");
    return 2;
  };
  EXPECT_EQ(RunInDaemonWindow(), 0);
  ASSERT_EQ(window_.boxes.size(), 1u);
  EXPECT_THAT(window_.boxes[0].text, HasSubstr("no display"));
  EXPECT_FALSE(files_.Has(kOptionsPath));
}

class SoundLockFile : public ::testing::Test {
 protected:
  SoundLockFile() {
    directory_ = std::filesystem::temp_directory_path() / ("sylvora-lock-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(directory_);
  }
  ~SoundLockFile() override { std::filesystem::remove_all(directory_); }
  std::filesystem::path directory_;
};

TEST_F(SoundLockFile, LivesInTheRuntimeDirectoryElseInTheUsersStateDirectory) {
  EXPECT_EQ(SoundLockPath("/run/user/1000/", "/home/u/.local/state/sylvora/"), "/run/user/1000/sylvora-sound.lock");
  EXPECT_EQ(SoundLockPath("", "/home/u/.local/state/sylvora/"), "/home/u/.local/state/sylvora/sound.lock");
}

TEST_F(SoundLockFile, OnlyTheFirstTakerGetsItUntilItLetsGo) {
  const std::string path = (directory_ / "sylvora-sound.lock").string();
  EXPECT_EQ(TakeSoundLock(path), SoundLock::Taken);
  EXPECT_EQ(TakeSoundLock(path), SoundLock::HeldElsewhere);
  EXPECT_EQ(TakeSoundLock(path), SoundLock::HeldElsewhere);
  ReleaseSoundLock();
  EXPECT_EQ(TakeSoundLock(path), SoundLock::Taken);
  ReleaseSoundLock();
  ReleaseSoundLock();  // nothing held: nothing happens
}

TEST_F(SoundLockFile, NoFileMeansNoCoordination) {
  EXPECT_EQ(TakeSoundLock((directory_ / "missing" / "sylvora-sound.lock").string()), SoundLock::Unavailable);
  // A planted symbolic link is not followed.
  std::filesystem::create_symlink(directory_ / "target", directory_ / "link.lock");
  EXPECT_EQ(TakeSoundLock((directory_ / "link.lock").string()), SoundLock::Unavailable);
  EXPECT_FALSE(std::filesystem::exists(directory_ / "target"));
}

}  // namespace
}  // namespace sylvora
