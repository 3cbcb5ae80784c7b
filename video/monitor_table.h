#pragma once
// Which of the monitors a display server lists a full-screen window is drawn on, one by one: the display
// adapter hands over the list and the window's area on the screen, both in screen pixels.
#include <span>

#include "video/display_layer.h"

namespace sylvora {

// Room for what a server lists: the monitors, and the outputs' own ones that some of them split.
constexpr int kListedMonitors = 2 * kMaxMonitors;

// Fills monitors with the listed monitors that have screen area of their own to fill, cut to the
// window's area and in its pixels; false when none is left. Left out: a monitor holding two or more
// smaller ones (the area they split: a server lists an output's own monitor beside the monitors made
// on it), a monitor inside a larger one that holds it alone (a mirror: the larger is filled, as a
// mirrored display always was), and a repeat of an earlier one.
bool SelectMonitors(std::span<const SurfaceRect> listed, const SurfaceRect& window, MonitorTable& monitors);

}  // namespace sylvora
