#pragma once
// The user's settings given on the command line for one run, as a screen-saver daemon's own settings
// page passes them (xscreensaver builds the hack's command line from sylvora.xml). Each overrides its
// options.ini value for that run only: the file keeps its own value when the run saves.
//
// The modes are found as plain substrings of the command line, so no switch here holds "-c", "-p",
// "-a" or "-s" (nor their "/" and "\" forms): every switch starts with a letter other than those four.
#include <array>
#include <cstdint>
#include <string>

#include "core/options.h"

namespace sylvora {

// One setting a switch can give. value is the options.ini value it stands for.
struct RunSetting {
  bool given = false;
  int32_t value = 0;
};

struct CommandLineSettings {
  RunSetting natureView;       // --view N: 0 random, 1..6 the dialog's "Constantly Nth scene"
  RunSetting changeFrequency;  // --every M: minutes between random scenes, 0 never (0..60)
  RunSetting skySpeed;         // --drift N: 0 unmoved .. 3 high
  RunSetting animation;        // --wildlife N: 0 no creatures .. 3 high
  RunSetting soundVolume;      // --volume N: tenths, 0..10
  RunSetting birdsSinging;     // --mute: no sound at all
  RunSetting brightness;       // --brightness N: 0..10, 4 unchanged
  bool showFrameRate = false;  // -fps or --fps: frames per second in the top left corner
  // What was wrong with the first switch that could not be taken (its value missing or out of range),
  // empty when every switch was taken; the run goes on without it.
  std::string problem;
};

// The switches a lower-cased command line holds; words that are no switch of ours are left to the modes
// and the daemon's switches. A switch given twice takes its last value.
CommandLineSettings ReadCommandLineSettings(const std::string& commandLine);
// Overrides the fields of options that settings give.
void ApplyCommandLineSettings(const CommandLineSettings& settings, Options& options);
// What a run saves: options as the run leaves them, with every field a switch gave put back to its
// value in fromFile, so that a switch never reaches options.ini.
Options WithoutCommandLineSettings(const CommandLineSettings& settings, const Options& options,
                                   const Options& fromFile);

// Every switch name above, for the help text's checks and the tests.
extern const std::array<const char*, 9> kSettingSwitches;

}  // namespace sylvora
