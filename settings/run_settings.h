#pragma once
// The entry the shell calls in configure mode and when no mode switch is given.
#include "shell/options.h"

namespace sylvora {

class Report;

// Shows the settings dialog modally on the process-wide Options and returns when it closes: 1 after OK
// (the options were saved to the user's options.ini), 0 after Cancel, Escape or the close box.
// Returns -1, with an error in report, when no display can be opened for it.
int RunSettingsDialog(Report* report, const OptionsPlace& place);

}  // namespace sylvora
