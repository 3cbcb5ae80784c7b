#pragma once
// The user's ten settings, kept in options.ini in the user's own settings directory. Loaded at the start
// of full-screen mode and when the settings dialog opens; saved at every normal exit and on the dialog's OK.
#include <array>
#include <cstdint>
#include <string>

namespace sylvora {

class Report;

// The settings' values. A default-made Options holds every option's default from kOptionTable.
struct Options {
  Options();

  int32_t speed_of_sky;          // 0 unmoved .. 3 high
  int32_t background_animation;  // creature level, 0 none .. 3 high
  int32_t nature_view;           // 0..5 a fixed scene, 1000 a random one
  int32_t nature_change_freq;    // ms between random scene changes, 0 never
  int32_t birds_singing;         // whether the ambient sound plays
  int32_t sound_volume;          // tenths
  int32_t music_volume;          // tenths
  int32_t birds_singing_volume;  // tenths
  int32_t brightness;            // 0..10, gamma adjustment (brightness - 4) * 75
  int32_t exit_on_mouse_move;    // end on a pointer move of more than 12 pixels

  bool operator==(const Options&) const = default;
};

// How an option is written in options.ini, and which of its two parts holds it.
enum class OptionType { Integer, Boolean };
enum class OptionSection { Graphics, Sound };

// One option as options.ini holds it: its key and field; the values the loader takes (an Integer in
// low..high; a Boolean is 0 or 1); its default, which a missing or unusable value leaves; and the part
// of the file it is written in.
struct OptionRow {
  const char* key;
  int32_t Options::*field;
  OptionType type;
  int32_t low;
  int32_t high;
  int32_t fallback;
  OptionSection section;
};

inline constexpr int kOptionCount = 10;
// Every option in the order options.ini lists them. The defaults, the loader, the saver and the settings
// dialog's lists all read it.
extern const std::array<OptionRow, kOptionCount> kOptionTable;

// nature_view's value for "a random scene, changed every nature_change_freq".
constexpr int32_t kRandomScene = 1000;

// Where options.ini is kept. The user's own file is read first and is the one every save writes; the
// installation's, if there is one, holds the machine's defaults for a user who has none yet.
struct OptionsPlace {
  std::string userDirectory;     // with a trailing slash; the first save makes it, owner-only
  std::string machineDirectory;  // the installation directory with its trailing backslash; never written
};

// Fills options with the defaults, then with every valid, in-range value of the user's options.ini, or
// of the machine's when the user has no such file. Always returns 0.
int LoadOptions(Options& options, Report* report, const OptionsPlace& place);
// Writes options to the user's options.ini in the fixed layout, making its directory first; 0 when
// written, 1 when not (the old file is then left as it was).
int SaveOptions(const Options& options, Report* report, const OptionsPlace& place);

}  // namespace sylvora
