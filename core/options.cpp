#include "core/options.h"

#include "inifile/ini_file.h"
#include "platform/files.h"

namespace sylvora {
namespace {

const char* const kOptionsFile = "options.ini";

// Stores the first Integer content of key when it lies in [low, high].
void ReadInteger(IniFile& file, const char* key, int32_t low, int32_t high, int32_t& field) {
  if (file.Get(IniValueType::Integer, key) > 0 && file.integers[0] >= low && file.integers[0] <= high) {
    field = file.integers[0];
  }
}

void ReadBoolean(IniFile& file, const char* key, int32_t& field) {
  if (file.Get(IniValueType::Boolean, key) > 0) field = file.booleans[0];
}

void AddInteger(IniFile& file, const char* key, int32_t value) {
  file.integers[0] = value;
  file.Add(IniValueType::Integer, key, 1, "");
}

void AddBoolean(IniFile& file, const char* key, int32_t value) {
  file.booleans[0] = value;
  file.Add(IniValueType::Boolean, key, 1, "");
}

void AddSectionHeader(IniFile& file, const char* title) {
  file.AddComment("-----------------------");
  file.AddComment(title);
  file.AddBlankLine();
}

}  // namespace

int LoadOptions(Options& options, Report* report, const OptionsPlace& place) {
  options = Options{};
  const bool userHasFile = Files().IsFile(place.userDirectory + kOptionsFile);
  IniFile file(report, userHasFile ? place.userDirectory : place.machineDirectory);
  if (file.Load(kOptionsFile) != 0) return 0;
  ReadInteger(file, "nature_view", 0, 5, options.nature_view);
  ReadInteger(file, "nature_change_freq", 0, 3600000, options.nature_change_freq);
  ReadInteger(file, "background_animation", 0, 3, options.background_animation);
  ReadInteger(file, "speed_of_sky", 0, 3, options.speed_of_sky);
  ReadInteger(file, "brightness", 0, 10, options.brightness);
  ReadBoolean(file, "exit_on_mouse_move", options.exit_on_mouse_move);
  ReadBoolean(file, "birds_singing", options.birds_singing);
  ReadInteger(file, "sound_volume", 0, 10, options.sound_volume);
  ReadInteger(file, "birds_singing_volume", 0, 10, options.birds_singing_volume);
  ReadInteger(file, "music_volume", 0, 10, options.music_volume);
  return 0;
}

int SaveOptions(const Options& options, Report* report, const OptionsPlace& place) {
  if (!Files().MakeDirectories(place.userDirectory)) return 1;
  IniFile file(report, place.userDirectory);
  file.AddComment(" ");
  file.AddComment("Sylvora Screensaver Options file");
  file.AddComment(" ");
  file.AddBlankLine();
  file.AddBlankLine();
  AddSectionHeader(file, "Graphics");
  AddInteger(file, "nature_view", options.nature_view);
  AddInteger(file, "nature_change_freq", options.nature_change_freq);
  AddInteger(file, "background_animation", options.background_animation);
  AddInteger(file, "speed_of_sky", options.speed_of_sky);
  AddInteger(file, "brightness", options.brightness);
  AddBoolean(file, "exit_on_mouse_move", options.exit_on_mouse_move);
  file.AddBlankLine();
  file.AddBlankLine();
  AddSectionHeader(file, "Sound");
  AddBoolean(file, "birds_singing", options.birds_singing);
  AddInteger(file, "sound_volume", options.sound_volume);
  AddInteger(file, "birds_singing_volume", options.birds_singing_volume);
  AddInteger(file, "music_volume", options.music_volume);
  return file.Save(kOptionsFile) != 0 ? 1 : 0;
}

}  // namespace sylvora
