#include "video/monitor_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sylvora {
namespace {

SurfaceRect At(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

std::string Text(const MonitorTable& monitors) {
  std::string text;
  for (int i = 0; i < monitors.count; ++i) {
    const SurfaceRect& r = monitors.rects[i];
    text += std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" + std::to_string(r.left) +
            "+" + std::to_string(r.top) + " ";
  }
  return text;
}

TEST(MonitorTableTest, EachMonitorWithScreenAreaOfItsOwnIsKeptCutToTheWindow) {
  const SurfaceRect wide = At(0, 0, 3200, 1080);
  std::vector<SurfaceRect> tenInARow;
  for (int i = 0; i < 10; ++i) tenInARow.push_back(At(100 * i, 0, 100, 100));
  const struct {
    const char* what;
    std::vector<SurfaceRect> listed;
    SurfaceRect window;
    std::string kept;
  } kCases[] = {
      {"one screen split in two: the screen's own monitor is left out",
       {wide, At(0, 0, 1920, 1080), At(1920, 0, 1280, 1024)},
       wide,
       "1920x1080+0+0 1280x1024+1920+0 "},
      {"two outputs side by side",
       {At(0, 0, 1920, 1080), At(1920, 0, 1280, 1024)},
       wide,
       "1920x1080+0+0 1280x1024+1920+0 "},
      {"a smaller mirror of the larger: the larger is filled",
       {At(0, 0, 1024, 768), At(0, 0, 1920, 1080)},
       At(0, 0, 1920, 1080),
       "1920x1080+0+0 "},
      {"a mirror of one size counts once",
       {At(0, 0, 1920, 1080), At(0, 0, 1920, 1080)},
       At(0, 0, 1920, 1080),
       "1920x1080+0+0 "},
      {"a window on the second output, in its own pixels",
       {At(0, 0, 1920, 1080), At(1920, 0, 2560, 1440)},
       At(1920, 0, 2560, 1440),
       "2560x1440+0+0 "},
      {"a monitor reaching past the window is cut to it",
       {At(-100, 0, 1000, 1080)},
       At(0, 0, 1920, 1080),
       "900x1080+0+0 "},
      {"no monitor meets the window", {At(2000, 0, 100, 100)}, At(0, 0, 1920, 1080), ""},
      {"no more than the table holds", tenInARow, At(0, 0, 1000, 100),
       "100x100+0+0 100x100+100+0 100x100+200+0 100x100+300+0 100x100+400+0 100x100+500+0 100x100+600+0 "
       "100x100+700+0 "},
  };
  for (const auto& c : kCases) {
    MonitorTable monitors;
    monitors.count = 3;  // what a table held before is not kept
    EXPECT_EQ(SelectMonitors(c.listed, c.window, monitors), !c.kept.empty()) << c.what;
    EXPECT_EQ(Text(monitors), c.kept) << c.what;
  }
}

}  // namespace
}  // namespace sylvora
