#pragma once
// How a desktop screen-saver daemon (xscreensaver, xfce4-screensaver, a locker embedding an
// xscreensaver hack) asks for the scene: it owns a window and passes its id with --root (the id is
// then in XSCREENSAVER_WINDOW, hexadecimal) or --window-id ID (decimal or 0x hexadecimal), or only
// sets XSCREENSAVER_WINDOW. The program's own mode switches always come first: this request counts
// only when the command line holds none of them.
#include <cstdint>
#include <string>
#include <vector>

namespace sylvora {

// What the command line and the environment say about a daemon's window.
struct DaemonWindowRequest {
  bool asked = false;     // --root, -root, --window-id, -window-id or XSCREENSAVER_WINDOW was given
  bool valid = false;     // a usable window id was found
  uint64_t windowId = 0;  // the window to draw into, when valid
  std::string problem;    // why the request is unusable, when asked and not valid
};

// Largest X window id: ids are 32-bit resource numbers.
constexpr uint64_t kLargestWindowId = 0xFFFFFFFFu;

// Reads the request from the program's arguments (without its own name) and the value of
// XSCREENSAVER_WINDOW (null when unset). --window-id wins over --root and the environment.
DaemonWindowRequest ReadDaemonWindowRequest(const std::vector<std::string>& arguments,
                                            const char* environmentWindow);

// Window id text: decimal, or hexadecimal after 0x; hexDefault reads digits without 0x as
// hexadecimal (the environment's form). False for empty text, stray characters, 0 or a value
// beyond kLargestWindowId.
bool ParseWindowId(const std::string& text, bool hexDefault, uint64_t& id);

}  // namespace sylvora
