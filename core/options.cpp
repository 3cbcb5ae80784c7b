#include "core/options.h"

#include "inifile/ini_file.h"
#include "platform/files.h"

namespace sylvora {

const std::array<OptionRow, kOptionCount> kOptionTable = {{
    {"nature_view", &Options::nature_view, OptionType::Integer, 0, 5, kRandomScene, OptionSection::Graphics},
    {"nature_change_freq", &Options::nature_change_freq, OptionType::Integer, 0, 3600000, 600000,
     OptionSection::Graphics},
    {"background_animation", &Options::background_animation, OptionType::Integer, 0, 3, 2, OptionSection::Graphics},
    {"speed_of_sky", &Options::speed_of_sky, OptionType::Integer, 0, 3, 2, OptionSection::Graphics},
    {"brightness", &Options::brightness, OptionType::Integer, 0, 10, 4, OptionSection::Graphics},
    {"exit_on_mouse_move", &Options::exit_on_mouse_move, OptionType::Boolean, 0, 1, 1, OptionSection::Graphics},
    {"birds_singing", &Options::birds_singing, OptionType::Boolean, 0, 1, 1, OptionSection::Sound},
    {"sound_volume", &Options::sound_volume, OptionType::Integer, 0, 10, 10, OptionSection::Sound},
    {"birds_singing_volume", &Options::birds_singing_volume, OptionType::Integer, 0, 10, 5, OptionSection::Sound},
    {"music_volume", &Options::music_volume, OptionType::Integer, 0, 10, 5, OptionSection::Sound},
}};

Options::Options() {
  for (const OptionRow& option : kOptionTable) this->*option.field = option.fallback;
}

namespace {

const char* const kOptionsFile = "options.ini";

// Stores the option's first content when it is one the option takes.
void ReadOption(IniFile& file, const OptionRow& option, Options& options) {
  if (option.type == OptionType::Boolean) {
    if (file.Get(IniValueType::Boolean, option.key) > 0) options.*option.field = file.booleans[0];
    return;
  }
  if (file.Get(IniValueType::Integer, option.key) > 0 && file.integers[0] >= option.low &&
      file.integers[0] <= option.high) {
    options.*option.field = file.integers[0];
  }
}

void AddOption(IniFile& file, const OptionRow& option, const Options& options) {
  const bool boolean = option.type == OptionType::Boolean;
  (boolean ? file.booleans : file.integers)[0] = options.*option.field;
  file.Add(boolean ? IniValueType::Boolean : IniValueType::Integer, option.key, 1, "");
}

// Each part of the file opens with two blank lines, a rule, its title and a blank line.
void AddSectionHeader(IniFile& file, OptionSection section) {
  file.AddBlankLine();
  file.AddBlankLine();
  file.AddComment("-----------------------");
  file.AddComment(section == OptionSection::Graphics ? "Graphics" : "Sound");
  file.AddBlankLine();
}

}  // namespace

int LoadOptions(Options& options, Report* report, const OptionsPlace& place) {
  options = Options{};
  const bool userHasFile = Files().IsFile(place.userDirectory + kOptionsFile);
  IniFile file(report, userHasFile ? place.userDirectory : place.machineDirectory);
  if (file.Load(kOptionsFile) != 0) return 0;
  for (const OptionRow& option : kOptionTable) ReadOption(file, option, options);
  return 0;
}

int SaveOptions(const Options& options, Report* report, const OptionsPlace& place) {
  if (!Files().MakeDirectories(place.userDirectory)) return 1;
  IniFile file(report, place.userDirectory);
  file.AddComment(" ");
  file.AddComment("Sylvora Screensaver Options file");
  file.AddComment(" ");
  for (int i = 0; i < kOptionCount; ++i) {
    const OptionRow& option = kOptionTable[i];
    if (i == 0 || option.section != kOptionTable[i - 1].section) AddSectionHeader(file, option.section);
    AddOption(file, option, options);
  }
  return file.Save(kOptionsFile) != 0 ? 1 : 0;
}

}  // namespace sylvora
