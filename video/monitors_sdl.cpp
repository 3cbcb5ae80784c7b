// The window's monitors through XRandR 1.5's monitor list, on the X connection SDL keeps for the window.
#include "video/monitors_sdl.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

namespace sylvora {

namespace {

// Room for what the server lists: the monitors, and the outputs' own ones that some of them split.
constexpr int kListedMonitors = 2 * kMaxMonitors;

bool Inside(const SurfaceRect& inner, const SurfaceRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool Same(const SurfaceRect& one, const SurfaceRect& other) { return Inside(one, other) && Inside(other, one); }

// Whether the monitor at index stands for no screen area of its own: it wholly holds a smaller monitor
// of the list (it is the area they split), or an earlier one is the same (a mirrored output).
bool SplitOrRepeated(const SurfaceRect* rects, int count, int index) {
  for (int other = 0; other < count; ++other) {
    if (other == index) continue;
    const bool same = Same(rects[other], rects[index]);
    if ((same && other < index) || (!same && Inside(rects[other], rects[index]))) return true;
  }
  return false;
}

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
  for (int index = 0; index < count && monitors.count < kMaxMonitors; ++index) {
    if (SplitOrRepeated(rects, count, index)) continue;
    const SurfaceRect cut{
        std::max(rects[index].left, area.left) - area.left, std::max(rects[index].top, area.top) - area.top,
        std::min(rects[index].right, area.right) - area.left, std::min(rects[index].bottom, area.bottom) - area.top};
    if (cut.left < cut.right && cut.top < cut.bottom) monitors.rects[monitors.count++] = cut;
  }
  return monitors.count > 0;
}

}  // namespace sylvora
