// Asks an X window to close the way a window manager's close box does: a WM_DELETE_WINDOW client message.
// The end-to-end tests use it because Xvfb runs without a window manager. Usage: send_close_request WINDOW_ID
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: send_close_request WINDOW_ID\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "send_close_request: cannot open the display\n");
    return 1;
  }
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(display);
  return sent != 0 ? 0 : 1;
}
