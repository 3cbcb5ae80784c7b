// The entry point: command-line copy and mode choice, the window, the install-path lookup with its
// start messages, and what each mode does.
#include <gmock/gmock.h>

#include "shell/usage.h"
#include "tests/shell/shell_test_support.h"

namespace sylvora {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

ScreensaverMode ModeOf(const std::string& text) { return SelectMode(CopyCommandLine(text)); }

TEST(ModeSelection, SwitchesAreFoundAnywhereInAnyCase) {
  EXPECT_EQ(ModeOf("/s"), ScreensaverMode::FullScreen);
  EXPECT_EQ(ModeOf("/S"), ScreensaverMode::FullScreen);
  EXPECT_EQ(ModeOf("-s"), ScreensaverMode::FullScreen);
  EXPECT_EQ(ModeOf("\\S"), ScreensaverMode::FullScreen);
  EXPECT_EQ(ModeOf("/C:1234"), ScreensaverMode::Configure);
  EXPECT_EQ(ModeOf("/p 4567"), ScreensaverMode::Preview);
  EXPECT_EQ(ModeOf("\\P"), ScreensaverMode::Preview);
  EXPECT_EQ(ModeOf("-a 99"), ScreensaverMode::Password);
  EXPECT_EQ(ModeOf("xx/ayy"), ScreensaverMode::Password);
}

TEST(ModeSelection, GroupsAreTestedInOrder) {
  EXPECT_EQ(ModeOf("/s /p"), ScreensaverMode::Preview);
  EXPECT_EQ(ModeOf("/s /a"), ScreensaverMode::Password);
  EXPECT_EQ(ModeOf("/s /c"), ScreensaverMode::Configure);
  EXPECT_EQ(ModeOf("/c /a"), ScreensaverMode::Password);
}

TEST(ModeSelection, RetroIsFoundInAnyCaseAndChangesNoMode) {
  EXPECT_TRUE(RetroRequested(CopyCommandLine("/s --RETRO")));
  EXPECT_TRUE(RetroRequested(CopyCommandLine("--retro --root")));
  EXPECT_FALSE(RetroRequested(CopyCommandLine("/s -retro")));
  EXPECT_FALSE(RetroRequested(CopyCommandLine("/s")));
  EXPECT_EQ(ModeOf("--retro"), ScreensaverMode::Configure);
  EXPECT_EQ(ModeOf("--retro /s"), ScreensaverMode::FullScreen);
  EXPECT_EQ(SelectLaunchMode(CopyCommandLine("--retro --root"), DaemonWindowRequest{true, true, 7, ""}),
            ScreensaverMode::DaemonWindow);
}

TEST(ModeSelection, NoSwitchConfigures) {
  EXPECT_EQ(ModeOf(""), ScreensaverMode::Configure);
  EXPECT_EQ(ModeOf("s p a c"), ScreensaverMode::Configure);
  EXPECT_EQ(ModeOf("/x"), ScreensaverMode::Configure);
}

// --help and --version answer only as the one argument; neither holds a mode switch, so the host's
// command lines are unaffected.
TEST(InformationRequests, AreAnsweredOnlyAsTheOneArgument) {
  std::string text;
  ASSERT_TRUE(AnswerInformationRequest({"--help"}, text));
  EXPECT_THAT(text, StartsWith("Usage: sylvora [MODE] [--root | --window-id ID]\n"));
  ASSERT_TRUE(AnswerInformationRequest({"--version"}, text));
  EXPECT_THAT(text, ::testing::MatchesRegex("Sylvora Screensaver [0-9]+\\.[0-9]+\\.[0-9]+ by Tavro Software\n"));
  const std::vector<std::vector<std::string>> others = {{}, {"--help", "/s"}, {"/s", "--version"}, {"-help"}, {"--HELP"}};
  for (const auto& arguments : others) EXPECT_FALSE(AnswerInformationRequest(arguments, text)) << arguments.size();
  // No switch in either: the mode a host's command line would get is the no-switch one.
  EXPECT_EQ(ModeOf("--help"), ScreensaverMode::Configure);
  EXPECT_EQ(ModeOf("--version"), ScreensaverMode::Configure);
}

TEST(ModeSelection, OnlyTheFirst1000CharactersCount) {
  const std::string filler(998, 'x');
  EXPECT_EQ(ModeOf(filler + "/s"), ScreensaverMode::FullScreen);
  EXPECT_EQ(ModeOf(filler + "x/s"), ScreensaverMode::Configure);   // "/s" would end at character 1001
  EXPECT_EQ(ModeOf(filler + "/Sxxxx/p"), ScreensaverMode::FullScreen);
  const std::string copy = CopyCommandLine(filler + "ABCDEF");
  EXPECT_EQ(copy.size(), 1000u);
  EXPECT_EQ(copy.substr(996), "xxab");
}

class Entry : public ShellFixture {
 protected:
  int Run(const std::string& line) { return RunScreensaver(window_, backend_, line); }
};

TEST_F(Entry, PreviewEndsAtOnceWithoutShowingAnything) {
  EXPECT_EQ(Run("/p 123"), 0);
  EXPECT_TRUE(window_.created);
  EXPECT_THAT(window_.calls, ElementsAre("Create", "SetCursor"));
  EXPECT_THAT(window_.boxes, IsEmpty());
  EXPECT_EQ(shell.report, nullptr);
  EXPECT_FALSE(files_.Has(kOptionsPath));
  EXPECT_THAT(backend_.calls, IsEmpty());
}

TEST_F(Entry, TheWindowCarriesTheInvisibleCursor) {
  Run("/p");
  EXPECT_EQ(window_.title, "Sylvora Screensaver");
  EXPECT_EQ(window_.width, 640);
  EXPECT_EQ(window_.height, 480);
  ASSERT_TRUE(window_.cursorSet);
  for (uint8_t byte : window_.cursorAnd) EXPECT_EQ(byte, 0xFF);
  for (uint8_t byte : window_.cursorXor) EXPECT_EQ(byte, 0x00);
}

// Only full-screen mode draws frames into its window; the others' window only owns boxes and dialogs.
TEST_F(Entry, OnlyFullScreenModeMakesItsWindowReadyForFrames) {
  for (const auto& [line, forFrames] : {std::pair{"/p", false}, {"/a", false}, {"/c", false}, {"/s", true}}) {
    window_ = MemoryWindow{};
    window_.idlePeekLimit = 3;  // full screen ends through the runaway guard
    Run(line);
    EXPECT_EQ(window_.forFrames, forFrames) << line;
  }
}

TEST_F(Entry, PasswordModeExplainsAndChangesNothing) {
  EXPECT_EQ(Run("/a"), 0);
  ASSERT_EQ(window_.boxes.size(), 1u);
  EXPECT_EQ(window_.boxes[0].text, "This screensaver does not support password");
  EXPECT_EQ(window_.boxes[0].caption, "Attention");
  EXPECT_FALSE(window_.boxes[0].windowVisible);
  EXPECT_EQ(shell.report, nullptr);
  EXPECT_FALSE(files_.Has(kOptionsPath));
}

TEST_F(Entry, ConfigureRunsTheSettingsDialogOnTheOptionsWithTheReportAndTheUsersSettings) {
  static Options* dialogOptions;
  static Report* dialogReport;
  static OptionsPlace dialogPlace;
  static int dialogRuns;
  dialogOptions = nullptr;
  dialogReport = nullptr;
  dialogPlace = {};
  dialogRuns = 0;
  shell.subsystemCalls.runSettingsDialog = [](Options& o, Report* r, const OptionsPlace& place) {
    dialogOptions = &o;
    dialogReport = r;
    dialogPlace = place;
    ++dialogRuns;
    return 0;
  };
  EXPECT_EQ(Run("/c:3344"), 0);
  EXPECT_EQ(dialogOptions, &shell.options);
  EXPECT_NE(dialogReport, nullptr);
  EXPECT_EQ(dialogPlace.userDirectory, "/home/user/.config/sylvora/");
  EXPECT_EQ(dialogPlace.machineDirectory, "/opt/sylvora\\");
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(dialogRuns, 2);
  EXPECT_EQ(shell.report, nullptr);
  EXPECT_FALSE(window_.visible);
}

TEST_F(Entry, ConfigureWithoutADialogEndsAtOnce) {
  EXPECT_EQ(Run("/c"), 0);
  EXPECT_THAT(window_.boxes, IsEmpty());
  EXPECT_EQ(shell.report, nullptr);
}

TEST_F(Entry, AMissingInstallPathWarnsInEveryMode) {
  files_.files.clear();
  shell.subsystemCalls.runSettingsDialog = [](Options&, Report*, const OptionsPlace&) {
    ADD_FAILURE() << "dialog ran";
    return 0;
  };
  for (const char* line : {"/p 12", "/a", "/c", "/s", ""}) {
    window_ = MemoryWindow{};
    EXPECT_EQ(Run(line), 0) << line;
    ASSERT_EQ(window_.boxes.size(), 1u) << line;
    EXPECT_EQ(window_.boxes[0].text, "Registry data was not found. Please reinstall application.");
    EXPECT_EQ(window_.boxes[0].caption, "Warning");
    EXPECT_FALSE(window_.visible) << line;
    EXPECT_EQ(shell.report, nullptr);
    EXPECT_TRUE(window_.postedQuits.empty());
  }
  EXPECT_THAT(backend_.calls, IsEmpty());
  EXPECT_TRUE(files_.files.empty());
}

TEST_F(Entry, AnUnreadableInstallPathFileWarns) {
  files_.unreadable.insert(InstallPathFile());
  EXPECT_EQ(Run("/s"), 0);
  ASSERT_EQ(window_.boxes.size(), 1u);
  EXPECT_EQ(window_.boxes[0].caption, "Warning");
}

TEST_F(Entry, NoWindowEndsWithAFailureCode) {
  window_.createFails = true;
  EXPECT_EQ(Run("/s"), 1);
  EXPECT_THAT(window_.boxes, IsEmpty());
  EXPECT_EQ(shell.report, nullptr);
}

class InitWindow : public ShellFixture {
 protected:
  int Init() {
    shell.window = &window_;
    return A0_InitWindow();
  }
};

TEST_F(InitWindow, RecordsTheThreeStartMessages) {
  ASSERT_EQ(Init(), 0);
  EXPECT_EQ(shell.resourcePath, "/opt/sylvora\\");
  ASSERT_NE(shell.report, nullptr);
  EXPECT_EQ(shell.report->Mode(), ReportMode::Quiet);
  ASSERT_EQ(shell.report->MessageCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(shell.report->Message(i).kind, 0);
    EXPECT_EQ(shell.report->Message(i).module, "A0");
    EXPECT_EQ(shell.report->Message(i).function, "A0_InitWindow");
  }
  EXPECT_THAT(shell.report->Message(0).text, StartsWith("Log file was opened on "));
  EXPECT_GT(shell.report->Message(0).text.size(), std::string("Log file was opened on ").size());
  EXPECT_EQ(shell.report->Message(1).text, "application working directory is\"/work\"");
  EXPECT_EQ(shell.report->Message(2).text, "path to resource file is /opt/sylvora\\");
  EXPECT_EQ(shell.displayRequest.fullScreen, 1);
  EXPECT_EQ(shell.displayRequest.width, 640);
  EXPECT_EQ(shell.displayRequest.height, 480);
  EXPECT_EQ(shell.displayRequest.depth, 16);
  EXPECT_THAT(window_.boxes, IsEmpty());
}

TEST_F(InitWindow, AsksForTheClassicFrameOnlyWhenTheCommandLineSaysRetro) {
  shell.commandLine = CopyCommandLine("/s");
  ASSERT_EQ(Init(), 0);
  EXPECT_EQ(shell.displayRequest.retro, 0);
  shell.report.reset();
  shell.commandLine = CopyCommandLine("/S --Retro");
  ASSERT_EQ(Init(), 0);
  EXPECT_EQ(shell.displayRequest.retro, 1);
  EXPECT_EQ(shell.displayRequest.depth, 16);
}

TEST_F(InitWindow, NeedsOnlyReadAccessToTheInstallPathFile) {
  files_.unwritable.insert(InstallPathFile());
  files_.renameFails = true;
  ASSERT_EQ(Init(), 0);
  EXPECT_EQ(shell.resourcePath, "/opt/sylvora\\");
  EXPECT_EQ(files_.At(InstallPathFile()), "path=/opt/sylvora\n");
}

TEST_F(InitWindow, AddsOneBackslashEvenAfterATrailingOne) {
  files_.Put(InstallPathFile(), "path=C:\\Screens\\\n");
  ASSERT_EQ(Init(), 0);
  EXPECT_EQ(shell.resourcePath, "C:\\Screens\\\\");
}

TEST_F(InitWindow, Accepts259BytesAndRefuses260) {
  files_.Put(InstallPathFile(), "path=" + std::string(259, 'd') + "\n");
  ASSERT_EQ(Init(), 0);
  EXPECT_EQ(shell.resourcePath.size(), 260u);
  shell.report.reset();
  files_.Put(InstallPathFile(), "path=" + std::string(260, 'd') + "\n");
  EXPECT_EQ(Init(), 2);
  EXPECT_EQ(shell.report, nullptr);
  ASSERT_EQ(window_.boxes.size(), 1u);
  EXPECT_EQ(window_.boxes[0].caption, "Warning");
}

}  // namespace
}  // namespace sylvora
