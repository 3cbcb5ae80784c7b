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

}  // namespace sylvora
