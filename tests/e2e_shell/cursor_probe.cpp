// Prints how many pixels of the pointer's current image are not fully transparent, as the X server
// draws it at the pointer's position. 0 means the pointer is invisible there.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "cursor_probe: no display\n");
    return 2;
  }
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (!image) {
    std::fprintf(stderr, "cursor_probe: no cursor image\n");
    return 2;
  }
  long visible = 0;
  for (int i = 0; i < image->width * image->height; ++i) {
    if ((image->pixels[i] >> 24) & 0xFF) ++visible;
  }
  std::printf("%ld\n", visible);
  XFree(image);
  XCloseDisplay(display);
  return 0;
}
