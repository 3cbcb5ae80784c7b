#pragma once
// The pointer's position where the windowing system tells it only while the pointer is over one of our
// windows (Wayland): a compositor gives no desktop position, and the window's own pointer position is
// unknown until the pointer first comes over the window. The full-screen window appears under a pointer
// that has not moved, so that first sighting is where the pointer already was: the track starts there,
// at the position it reported before (the origin, before any sighting), and follows the window's own
// positions from then on. Later sightings keep the track, so a pointer that left the window and came
// back elsewhere has moved by the distance between the two places.
namespace sylvora {

class PointerTrack {
 public:
  // The position to report, given whether the pointer is over the window and, if it is, where in it.
  void Report(bool overWindow, int windowX, int windowY, int& x, int& y) {
    if (overWindow) {
      if (!seen_) {
        shiftX_ = lastX_ - windowX;
        shiftY_ = lastY_ - windowY;
        seen_ = true;
      }
      lastX_ = windowX + shiftX_;
      lastY_ = windowY + shiftY_;
    }
    x = lastX_;
    y = lastY_;
  }

 private:
  bool seen_ = false;
  int shiftX_ = 0, shiftY_ = 0;
  int lastX_ = 0, lastY_ = 0;
};

}  // namespace sylvora
