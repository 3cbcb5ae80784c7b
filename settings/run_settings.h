#pragma once
// The entry the shell calls in configure mode and when no mode switch is given.
#include "core/options.h"

namespace sylvora {

class Report;

// Shows the settings dialog modally on options, loaded from and saved to place, and returns when it
// closes: 1 after OK (options hold what was saved to the user's options.ini), 0 after Cancel, Escape or
// the close box. Returns -1, with an error in report, when no display can be opened for it.
int RunSettingsDialog(Options& options, Report* report, const OptionsPlace& place);

}  // namespace sylvora
