// The window's monitors through XRandR 1.5's monitor list, on the X connection SDL keeps for the window;
// and a full-screen window over all of SDL's displays, spanned by the window manager through EWMH.
#include "video/monitors_sdl.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstring>
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

// The window's X connection and window, where it is on X11.
bool X11Of(SDL_Window* window, Display*& display, Window& xWindow) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  display = info.info.x11.display;
  xWindow = info.info.x11.window;
  return display != nullptr;
}

// Whether the running window manager says it spans full-screen windows over chosen monitors.
bool WindowManagerSpans(Display* display, Window root) {
  const Atom supported = XInternAtom(display, "_NET_SUPPORTED", False);
  const Atom spanning = XInternAtom(display, "_NET_WM_FULLSCREEN_MONITORS", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  const int read =
      XGetWindowProperty(display, root, supported, 0, 4096, False, XA_ATOM, &type, &format, &count, &remaining, &data);
  if (read != Success || !data) return false;
  const std::span atoms(reinterpret_cast<const Atom*>(data), format == 32 ? count : 0);
  const bool found = std::find(atoms.begin(), atoms.end(), spanning) != atoms.end();
  XFree(data);
  return found;
}

// A client message to the window manager about the window, as EWMH asks for a mapped window.
void TellWindowManager(Display* display, Window root, Window window, const char* name, std::span<const long, 5> data) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, name, False);
  event.xclient.format = 32;
  std::copy(data.begin(), data.end(), event.xclient.data.l);
  XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// The window manager is asked to span the window over the monitors at the four edges of the screen's
// monitors, by their indices in XRandR's monitor list, which is the order Xinerama gives them.
void AskToSpan(Display* display, Window window) {
  const Window root = DefaultRootWindow(display);
  if (!HasMonitorList(display) || !WindowManagerSpans(display, root)) return;
  int listed = 0;
  XRRMonitorInfo* list = XRRGetMonitors(display, root, True, &listed);
  if (!list) return;
  long top = 0, bottom = 0, left = 0, right = 0;
  for (int index = 1; index < listed; ++index) {
    const XRRMonitorInfo& monitor = list[index];
    if (monitor.y < list[top].y) top = index;
    if (monitor.y + monitor.height > list[bottom].y + list[bottom].height) bottom = index;
    if (monitor.x < list[left].x) left = index;
    if (monitor.x + monitor.width > list[right].x + list[right].width) right = index;
  }
  XRRFreeMonitors(list);
  constexpr long kSourceApplication = 1;
  constexpr long kAddState = 1;
  const long edges[5] = {top, bottom, left, right, kSourceApplication};
  TellWindowManager(display, root, window, "_NET_WM_FULLSCREEN_MONITORS", edges);
  const long fullScreen[5] = {kAddState, static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False)), 0,
                              kSourceApplication, 0};
  TellWindowManager(display, root, window, "_NET_WM_STATE", fullScreen);
  XFlush(display);
}

}  // namespace

bool SpannedArea(int& width, int& height) {
  const char* driver = SDL_GetCurrentVideoDriver();
  const int count = SDL_GetNumVideoDisplays();
  if (!driver || std::strcmp(driver, "x11") != 0 || count < 2) return false;
  int right = 0;
  int bottom = 0;
  for (int index = 0; index < count; ++index) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(index, &bounds) != 0) return false;
    right = std::max(right, bounds.x + bounds.w);
    bottom = std::max(bottom, bounds.y + bounds.h);
  }
  width = right;
  height = bottom;
  return true;
}

bool CoverAllDisplays(SDL_Window* window) {
  Display* display = nullptr;
  Window xWindow = 0;
  int width = 0;
  int height = 0;
  if (!SpannedArea(width, height) || !X11Of(window, display, xWindow)) return false;
  SDL_SetWindowPosition(window, 0, 0);
  SDL_SetWindowSize(window, width, height);
  SDL_ShowWindow(window);
  AskToSpan(display, xWindow);
  return true;
}

bool FindWindowMonitors(SDL_Window* window, MonitorTable& monitors) {
  monitors.count = 0;
  Display* display = nullptr;
  Window xWindow = 0;
  Window root = 0;
  SurfaceRect area;
  if (!X11Of(window, display, xWindow) || !HasMonitorList(display) || !AreaOnScreen(display, xWindow, root, area)) {
    return false;
  }
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
