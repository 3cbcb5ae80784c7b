// Stands in for a screen-saver daemon's window: creates and maps a plain black top-level window of
// the given size at the given place (10, 10 unless told), prints its id (decimal) on one line, and keeps
// it until it is terminated.
// Usage: daemon_window <width> <height> [<x> <y>]
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

volatile sig_atomic_t done = 0;
void Finish(int) { done = 1; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: daemon_window <width> <height> [<x> <y>]\n");
    return 2;
  }
  const unsigned width = static_cast<unsigned>(std::atoi(argv[1]));
  const unsigned height = static_cast<unsigned>(std::atoi(argv[2]));
  const int x = argc == 5 ? std::atoi(argv[3]) : 10;
  const int y = argc == 5 ? std::atoi(argv[4]) : 10;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "daemon_window: no display\n");
    return 1;
  }
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, width, height, 0,
                                            BlackPixel(display, screen), BlackPixel(display, screen));
  XStoreName(display, window, "daemon window");
  // Only structure events, as a daemon's window: button presses stay selectable by the program inside.
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify) break;
  }
  std::printf("%lu\n", window);
  std::fflush(stdout);
  std::signal(SIGTERM, Finish);
  std::signal(SIGINT, Finish);
  while (!done) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
    }
    usleep(20000);
  }
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return 0;
}
