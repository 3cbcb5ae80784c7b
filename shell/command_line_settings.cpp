#include "shell/command_line_settings.h"

#include <charconv>
#include <sstream>

#include "settings/settings_dialog.h"

namespace sylvora {

const std::array<const char*, 9> kSettingSwitches = {"--view",       "--every", "--drift", "--wildlife", "--volume",
                                                     "--brightness", "--mute",  "-fps",    "--fps"};

namespace {

// A switch that takes a whole number from low to high; value maps it to the options.ini value.
struct NumberSwitch {
  const char* name;
  int low;
  int high;
  RunSetting CommandLineSettings::*field;
  int32_t (*value)(int given);
};

int32_t Same(int given) { return given; }
int32_t SceneOfPosition(int position) { return kSceneListViews[position]; }
int32_t MinutesToMs(int minutes) { return minutes * 60000; }

constexpr NumberSwitch kNumberSwitches[] = {
    {"--view", 0, 6, &CommandLineSettings::natureView, SceneOfPosition},
    {"--every", 0, 60, &CommandLineSettings::changeFrequency, MinutesToMs},
    {"--drift", 0, 3, &CommandLineSettings::skySpeed, Same},
    {"--wildlife", 0, 3, &CommandLineSettings::animation, Same},
    {"--volume", 0, 10, &CommandLineSettings::soundVolume, Same},
    {"--brightness", 0, 10, &CommandLineSettings::brightness, Same},
};

bool ReadNumber(const std::string& word, int& number) {
  const char* end = word.data() + word.size();
  auto [at, error] = std::from_chars(word.data(), end, number);
  return error == std::errc() && at == end;
}

void Note(CommandLineSettings& settings, const std::string& text) {
  if (settings.problem.empty()) settings.problem = text;
}

// Takes the number after switch sw from words, or notes why not.
void TakeNumber(const NumberSwitch& sw, std::istringstream& words, CommandLineSettings& settings) {
  std::string word;
  int number = 0;
  if (!(words >> word) || !ReadNumber(word, number) || number < sw.low || number > sw.high) {
    Note(settings, std::string(sw.name) + " takes a whole number from " + std::to_string(sw.low) + " to " +
                       std::to_string(sw.high) + (word.empty() ? "" : ", not " + word));
    return;
  }
  settings.*sw.field = RunSetting{true, sw.value(number)};
}

// Each setting a switch gives and the option it stands in for.
struct SettingTarget {
  RunSetting CommandLineSettings::*setting;
  int32_t Options::*option;
};

constexpr SettingTarget kSettingTargets[] = {
    {&CommandLineSettings::natureView, &Options::nature_view},
    {&CommandLineSettings::changeFrequency, &Options::nature_change_freq},
    {&CommandLineSettings::skySpeed, &Options::speed_of_sky},
    {&CommandLineSettings::animation, &Options::background_animation},
    {&CommandLineSettings::soundVolume, &Options::sound_volume},
    {&CommandLineSettings::birdsSinging, &Options::birds_singing},
    {&CommandLineSettings::brightness, &Options::brightness},
};

}  // namespace

CommandLineSettings ReadCommandLineSettings(const std::string& commandLine) {
  CommandLineSettings settings;
  std::istringstream words(commandLine);
  std::string word;
  while (words >> word) {
    if (word == "-fps" || word == "--fps") settings.showFrameRate = true;
    if (word == "--mute") settings.birdsSinging = RunSetting{true, 0};
    for (const NumberSwitch& sw : kNumberSwitches) {
      if (word == sw.name) TakeNumber(sw, words, settings);
    }
  }
  return settings;
}

void ApplyCommandLineSettings(const CommandLineSettings& settings, Options& options) {
  for (const SettingTarget& target : kSettingTargets) {
    const RunSetting& setting = settings.*target.setting;
    if (setting.given) options.*target.option = setting.value;
  }
}

Options WithoutCommandLineSettings(const CommandLineSettings& settings, const Options& options,
                                   const Options& fromFile) {
  Options saved = options;
  for (const SettingTarget& target : kSettingTargets) {
    if ((settings.*target.setting).given) saved.*target.option = fromFile.*target.option;
  }
  return saved;
}

}  // namespace sylvora
