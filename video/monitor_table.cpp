#include "video/monitor_table.h"

#include <algorithm>

namespace sylvora {
namespace {

bool Inside(const SurfaceRect& inner, const SurfaceRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool Same(const SurfaceRect& one, const SurfaceRect& other) { return Inside(one, other) && Inside(other, one); }

// How many other monitors of the list lie wholly inside the one at index (an identical one included).
int HeldMonitors(std::span<const SurfaceRect> rects, int index) {
  int held = 0;
  for (int other = 0; other < static_cast<int>(rects.size()); ++other)
    held += other != index && Inside(rects[other], rects[index]);
  return held;
}

// Whether the monitor at index is left out (SelectMonitors says which are).
bool SplitOrRepeated(std::span<const SurfaceRect> rects, int index) {
  if (HeldMonitors(rects, index) >= 2) return true;
  for (int other = 0; other < static_cast<int>(rects.size()); ++other) {
    if (other == index || !Inside(rects[index], rects[other])) continue;
    if (Same(rects[other], rects[index])) {
      if (other < index) return true;
    } else if (HeldMonitors(rects, other) == 1) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool SelectMonitors(std::span<const SurfaceRect> listed, const SurfaceRect& window, MonitorTable& monitors) {
  monitors.count = 0;
  for (int index = 0; index < static_cast<int>(listed.size()) && monitors.count < kMaxMonitors; ++index) {
    if (SplitOrRepeated(listed, index)) continue;
    const SurfaceRect& monitor = listed[index];
    const SurfaceRect cut{
        std::max(monitor.left, window.left) - window.left, std::max(monitor.top, window.top) - window.top,
        std::min(monitor.right, window.right) - window.left, std::min(monitor.bottom, window.bottom) - window.top};
    if (cut.left < cut.right && cut.top < cut.bottom) monitors.rects[monitors.count++] = cut;
  }
  return monitors.count > 0;
}

}  // namespace sylvora
