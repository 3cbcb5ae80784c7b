#pragma once
// The user's ten settings, kept in options.ini in the user's own settings directory. Loaded at the start
// of full-screen mode and when the settings dialog opens; saved at every normal exit and on the dialog's OK.
#include <cstdint>
#include <string>

namespace sylvora {

class Report;

struct Options {
  int32_t speed_of_sky = 2;             // 0 unmoved .. 3 high
  int32_t background_animation = 2;     // creature level, 0 none .. 3 high
  int32_t nature_view = 1000;           // 0..5 a fixed scene, 1000 a random one
  int32_t nature_change_freq = 600000;  // ms between random scene changes, 0 never
  int32_t birds_singing = 1;            // whether the ambient sound plays
  int32_t sound_volume = 10;            // tenths
  int32_t music_volume = 5;             // tenths
  int32_t birds_singing_volume = 5;     // tenths
  int32_t brightness = 4;               // 0..10, gamma adjustment (brightness - 4) * 75
  int32_t exit_on_mouse_move = 1;       // end on a pointer move of more than 12 pixels

  bool operator==(const Options&) const = default;
};

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
