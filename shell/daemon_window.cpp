#include "shell/daemon_window.h"

namespace sylvora {

namespace {

bool IsRootFlag(const std::string& argument) { return argument == "--root" || argument == "-root"; }
bool IsWindowIdFlag(const std::string& argument) { return argument == "--window-id" || argument == "-window-id"; }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

DaemonWindowRequest Unusable(const std::string& problem) {
  DaemonWindowRequest request;
  request.asked = true;
  request.problem = problem;
  return request;
}

DaemonWindowRequest Usable(uint64_t id) {
  DaemonWindowRequest request;
  request.asked = request.valid = true;
  request.windowId = id;
  return request;
}

}  // namespace

bool ParseWindowId(const std::string& text, bool hexDefault, uint64_t& id) {
  size_t start = 0;
  int base = hexDefault ? 16 : 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    start = 2;
    base = 16;
  }
  if (start == text.size()) return false;
  uint64_t value = 0;
  for (size_t i = start; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit >= base) return false;
    value = value * base + digit;
    if (value > kLargestWindowId) return false;
  }
  if (value == 0) return false;
  id = value;
  return true;
}

DaemonWindowRequest ReadDaemonWindowRequest(const std::vector<std::string>& arguments,
                                            const char* environmentWindow) {
  bool root = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (IsRootFlag(arguments[i])) root = true;
    if (!IsWindowIdFlag(arguments[i])) continue;
    if (i + 1 == arguments.size()) return Unusable(arguments[i] + " needs a window id");
    uint64_t id = 0;
    if (!ParseWindowId(arguments[i + 1], false, id)) {
      return Unusable("window id \"" + arguments[i + 1] + "\" is not a window number");
    }
    return Usable(id);
  }
  const bool environmentSet = environmentWindow != nullptr && environmentWindow[0] != '\0';
  if (!root && !environmentSet) return DaemonWindowRequest{};
  if (!environmentSet) return Unusable("--root needs the window id in XSCREENSAVER_WINDOW");
  uint64_t id = 0;
  if (!ParseWindowId(environmentWindow, true, id)) {
    return Unusable(std::string("XSCREENSAVER_WINDOW \"") + environmentWindow + "\" is not a window number");
  }
  return Usable(id);
}

}  // namespace sylvora
