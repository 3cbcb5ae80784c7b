#pragma once
// The monitors an SDL window spans on X11, from XRandR's monitor list: what the display layer on SDL2
// gives the native layer, which draws the scene once on each.
#include "video/display_layer.h"

struct SDL_Window;

namespace sylvora {

// Fills monitors with those of the window's X screen that it covers, in its own pixels (X11's window
// pixels are its renderer's output pixels) and cut to it, as SelectMonitors (monitor_table.h) chooses
// them. False when the window is not on X11, the server has no monitor list (RandR before 1.5), or
// the window covers no monitor.
bool FindWindowMonitors(SDL_Window* window, MonitorTable& monitors);

// Where SDL reports several displays on X11: the area a full-screen window covers to show them all,
// from the X screen's origin to their farthest right and bottom edges (what lies between them and no
// display shows is drawn black). False elsewhere.
bool SpannedArea(int& width, int& height);

// Places the window over the spanned area and shows it, and where a window manager spans full-screen
// windows over monitors (EWMH's _NET_WM_FULLSCREEN_MONITORS) asks it to make the window full screen
// over the monitors at the four outer edges; without one, the geometry alone holds. False, with
// nothing changed, where there is no spanned area or the window is not on X11.
bool CoverAllDisplays(SDL_Window* window);

}  // namespace sylvora
