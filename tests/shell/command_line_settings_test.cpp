// The per-run settings of the command line: what each switch gives, what it cannot take, that none of
// them reads as a mode, that sylvora.xml offers only switches the program takes, that a run uses them
// and that its save leaves them out, and the -fps counter's call in the frame.
#include "shell/command_line_settings.h"

#include <gmock/gmock.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "tests/shell/shell_test_support.h"

namespace sylvora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

CommandLineSettings Read(const std::string& text) { return ReadCommandLineSettings(CopyCommandLine(text)); }

TEST(CommandLineSettings, EachSwitchGivesItsOptionsValue) {
  struct Case {
    const char* line;
    RunSetting CommandLineSettings::*field;
    int32_t value;
  };
  const Case cases[] = {
      {"--root --view 0", &CommandLineSettings::natureView, kRandomScene},
      {"--root --view 3", &CommandLineSettings::natureView, 3},
      {"--root --view 4", &CommandLineSettings::natureView, 2},  // the dialog's "Constantly 4th scene"
      {"--root --view 1", &CommandLineSettings::natureView, 0},
      {"--every 0", &CommandLineSettings::changeFrequency, 0},
      {"--every 60", &CommandLineSettings::changeFrequency, 3600000},
      {"--drift 3", &CommandLineSettings::skySpeed, 3},
      {"--wildlife 0", &CommandLineSettings::animation, 0},
      {"--VOLUME 10", &CommandLineSettings::soundVolume, 10},
      {"--brightness 0 --brightness 10", &CommandLineSettings::brightness, 10},
      {"--mute", &CommandLineSettings::birdsSinging, 0},
  };
  for (const Case& c : cases) {
    const CommandLineSettings settings = Read(c.line);
    SCOPED_TRACE(c.line);
    EXPECT_TRUE((settings.*c.field).given);
    EXPECT_EQ((settings.*c.field).value, c.value);
    EXPECT_EQ(settings.problem, "");
    EXPECT_FALSE(settings.showFrameRate);
  }
  EXPECT_TRUE(Read("--root -fps").showFrameRate);
  EXPECT_TRUE(Read("/s --fps").showFrameRate);
  EXPECT_FALSE(Read("/s -fpsx").showFrameRate);
}

TEST(CommandLineSettings, AValueOutOfRangeOrMissingIsLeftOutAndSaid) {
  const struct {
    const char* line;
    const char* problem;
  } cases[] = {
      {"--view 7", "--view takes a whole number from 0 to 6, not 7"},
      {"--every -1", "--every takes a whole number from 0 to 60, not -1"},
      {"--brightness 11 --volume x", "--brightness takes a whole number from 0 to 10, not 11"},
      {"--drift", "--drift takes a whole number from 0 to 3"},
      {"--wildlife 2.5", "--wildlife takes a whole number from 0 to 3, not 2.5"},
  };
  for (const auto& c : cases) {
    const CommandLineSettings settings = Read(c.line);
    EXPECT_EQ(settings.problem, c.problem);
    Options options;
    ApplyCommandLineSettings(settings, options);
    EXPECT_EQ(options, Options{}) << c.line;
  }
}

// The modes are plain substrings of the whole line: no switch of ours, nor any line sylvora.xml makes,
// may hold one of the twelve.
TEST(CommandLineSettings, NoSwitchReadsAsAMode) {
  for (const char* name : kSettingSwitches) {
    for (const char* mode : {"-p", "/p", "\\p", "-a", "/a", "\\a", "-c", "/c", "\\c", "-s", "/s", "\\s"}) {
      EXPECT_EQ(std::string(name).find(mode), std::string::npos) << name << " holds " << mode;
    }
  }
  std::ifstream xml(SYLVORA_HACK_XML);
  ASSERT_TRUE(xml) << SYLVORA_HACK_XML;
  std::stringstream text;
  text << xml.rdbuf();
  const std::string content = text.str();
  const std::regex argument(R"re(arg(-set|-unset)?="([^"]*)")re");
  int offered = 0;
  std::string all = "--root";
  for (auto it = std::sregex_iterator(content.begin(), content.end(), argument); it != std::sregex_iterator(); ++it) {
    const std::string line = (*it)[2];
    all += " " + line;
    ++offered;
    EXPECT_EQ(Read(line).problem, "") << line;
  }
  EXPECT_GT(offered, 50);
  DaemonWindowRequest daemon;
  daemon.asked = true;
  EXPECT_EQ(SelectLaunchMode(CopyCommandLine(all), daemon), ScreensaverMode::DaemonWindow) << all;
  EXPECT_EQ(SelectMode(CopyCommandLine("/s " + all)), ScreensaverMode::FullScreen);
}

class CommandLineRun : public ShellFixture {
 protected:
  void Open(const std::string& line) {
    PrepareFullScreen(line);
    shell.commandLineSettings = ReadCommandLineSettings(shell.commandLine);
    shell.subsystemCalls = TracingCalls();
    UseTracingLayers();
    ASSERT_EQ(A0_Open(), 0);
  }
};

TEST_F(CommandLineRun, SwitchesHoldForTheRunAndTheSaveKeepsTheFilesValues) {
  files_.Put(kOptionsPath, "nature_view = 1;\r\nsound_volume = 7;\r\nbrightness = 6;\r\nspeed_of_sky = 1;\r\n");
  Open("/s --view 4 --volume 2 --brightness 8");
  EXPECT_THAT(trace, testing::IsSupersetOf({"setVolumes(20 50)", "setGamma(300)", "startFirstScene(2)"}));
  EXPECT_EQ(shell.options.speed_of_sky, 1);
  shell.options.exit_on_mouse_move = 0;  // a change the run makes itself is saved as ever
  Shutdown(0);
  const std::string saved = files_.At(kOptionsPath);
  EXPECT_THAT(saved, HasSubstr("nature_view = 1;"));
  EXPECT_THAT(saved, HasSubstr("sound_volume = 7;"));
  EXPECT_THAT(saved, HasSubstr("brightness = 6;"));
  EXPECT_THAT(saved, HasSubstr("exit_on_mouse_move = false;"));
}

class FrameRateCounterCall : public CommandLineRun {
 protected:
  std::vector<int> RatesDrawnInOneFrame(const std::string& line) {
    static std::vector<int> drawn;
    drawn.clear();
    Open(line);
    shell.subsystemCalls.drawFrameRate = [](int rate) {
      drawn.push_back(rate);
      trace.push_back("drawFrameRate");
    };
    shell.frameStats.currentRate = 59.6;
    trace.clear();
    FrameRender();
    return drawn;
  }
};

TEST_F(FrameRateCounterCall, IsDrawnOverTheSceneBeforeThePresentWhenAsked) {
  EXPECT_THAT(RatesDrawnInOneFrame("/s -fps"), ElementsAre(60));
  EXPECT_THAT(trace, ElementsAre("SceneDraw", "drawFrameRate", "present"));
}

TEST_F(FrameRateCounterCall, IsNotDrawnOtherwise) {
  EXPECT_THAT(RatesDrawnInOneFrame("/s"), testing::IsEmpty());
  EXPECT_THAT(trace, ElementsAre("SceneDraw", "present"));
}

}  // namespace
}  // namespace sylvora
