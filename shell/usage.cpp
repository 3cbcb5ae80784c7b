#include "shell/usage.h"

namespace sylvora {
namespace {

const char* const kVersionText = "Sylvora Screensaver " SYLVORA_VERSION " by Tavro Software\n";

const char* const kUsageText =
    "Usage: sylvora [MODE] [--root | --window-id ID]\n"
    "An animated nature screensaver: six painted scenes with wind, creatures and bird songs.\n"
    "\n"
    "Modes (found anywhere in the command line, with -, / or \\ in front):\n"
    "  /s            run full screen; any key, a click or a pointer move ends it\n"
    "  /c            show the settings dialog (also with no mode at all)\n"
    "  /p            preview: end at once\n"
    "  /a            password change: explain that there is none\n"
    "\n"
    "In a screen-saver daemon's window (xscreensaver, xfce4-screensaver), with no mode:\n"
    "  --root        draw into the window named by XSCREENSAVER_WINDOW (hexadecimal)\n"
    "  --window-id ID  draw into window ID (decimal, or hexadecimal with 0x)\n"
    "  The daemon ends the run with SIGTERM; input does not.\n"
    "\n"
    "  --retro       draw the 640 x 480 frame stretched, as on the displays of its day, even where\n"
    "                the high-resolution pictures are installed\n"
    "\n"
    "Settings for this run only (options.ini keeps its own values):\n"
    "  --view N      scene: 0 random, 1 to 6 always that scene (as the settings dialog numbers them)\n"
    "  --every M     a new random scene every M minutes (1 to 60), 0 never\n"
    "  --drift N     sky speed, 0 unmoved to 3 high;  --wildlife N  creatures, 0 none to 3 high\n"
    "  --volume N    sound volume in tenths, 0 to 10;  --mute  no sound\n"
    "  --brightness N  0 darkest to 10 brightest, 4 unchanged\n"
    "  -fps          show the frames per second in the top left corner\n"
    "\n"
    "  --help        show this text;  --version  show the version\n"
    "\n"
    "Files: the installation directory is named by /etc/xdg/Tavro Software/Sylvora Screensaver.conf;\n"
    "your settings are in $XDG_CONFIG_HOME/sylvora/options.ini (~/.config/sylvora/options.ini).\n"
    "See sylvora(6).\n";

}  // namespace

bool AnswerInformationRequest(const std::vector<std::string>& arguments, std::string& text) {
  if (arguments.size() != 1) return false;
  if (arguments[0] == "--help") text = kUsageText;
  else if (arguments[0] == "--version") text = kVersionText;
  else return false;
  return true;
}

}  // namespace sylvora
