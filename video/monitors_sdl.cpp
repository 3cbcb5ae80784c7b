// The window's monitors through XRandR 1.5's monitor list, on the X connection SDL keeps for the window.
#include "video/monitors_sdl.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <span>

#include "video/monitor_table.h"

namespace sylvora {

namespace {

// The window's area on its X screen: its top-left corner in the root window's pixels and its size.
bool AreaOnScreen(Display* display, Window window, Window& root, SurfaceRect& area) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  int x = 0;
  int y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child)) return false;
  root = attributes.root;
  area = {x, y, x + attributes.width, y + attributes.height};
  return true;
}

// Whether the server keeps a monitor list (RandR 1.5 or later); asking one without it is an X error.
bool HasMonitorList(Display* display) {
  int eventBase = 0;
  int errorBase = 0;
  int major = 0;
  int minor = 0;
  return XRRQueryExtension(display, &eventBase, &errorBase) && XRRQueryVersion(display, &major, &minor) &&
         (major > 1 || (major == 1 && minor >= 5));
}

}  // namespace

bool FindWindowMonitors(SDL_Window* window, MonitorTable& monitors) {
  monitors.count = 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* display = info.info.x11.display;
  Window root = 0;
  SurfaceRect area;
  if (!display || !HasMonitorList(display) || !AreaOnScreen(display, info.info.x11.window, root, area)) return false;
  int listed = 0;
  XRRMonitorInfo* list = XRRGetMonitors(display, root, True, &listed);
  if (!list) return false;
  // Taken apart from XRandR's records first: the table is small, and the list is freed at once.
  SurfaceRect rects[kListedMonitors];
  const int count = std::min(listed, kListedMonitors);
  for (int index = 0; index < count; ++index) {
    const XRRMonitorInfo& monitor = list[index];
    rects[index] = {monitor.x, monitor.y, monitor.x + monitor.width, monitor.y + monitor.height};
  }
  XRRFreeMonitors(list);
  return SelectMonitors(std::span(rects, count), area, monitors);
}

}  // namespace sylvora
