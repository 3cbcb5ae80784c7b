#pragma once
// Which of SDL's video drivers our window may use, decided before SDL starts: a pure function of the
// user's choice, the environment and what a Wayland compositor, if one answers, offers, so that one table
// can check it. window_sdl asks the compositor and carries the choice out.
#include <cstring>

namespace sylvora {

// What a Wayland compositor offers, asked before SDL starts.
enum class Compositor : unsigned char {
  Absent,       // none answers (or it hands us a ready connection, which asking would use up)
  WithSeat,     // it has a seat: a keyboard, a pointer, or room for them
  WithoutSeat,  // it has no seat at all, on which SDL 2.26's Wayland driver crashes while starting
};

struct VideoDriverChoice {
  const char* driverHint = nullptr;  // SDL's video-driver hint to set, or null to leave it as it is
  bool waylandFirst = false;         // our window will be the compositor's native client
  const char* refusal = nullptr;     // why the video system is not started at all, or null
};

inline constexpr char kNoSeatRefusal[] =
    "the Wayland compositor has no seat (no keyboard or pointer), and SDL's Wayland driver cannot start on it";

// userDriver: SDL_VIDEODRIVER or its hint, null when unset. waylandNamed: WAYLAND_DISPLAY names a
// compositor. preferWayland: the window is our own, which a named compositor should show natively (a
// daemon's window is an X window).
// - A compositor without a seat: SDL is kept from its Wayland driver (X11 alone, where the user left the
//   choice to us), and a user's choice that names Wayland is refused rather than left to crash.
// - A named compositor with a seat and no choice of the user's: Wayland first, X11 as the fall-back;
//   SDL 2.26 on its own would take the X server beside it (XWayland).
// - Otherwise SDL chooses as it would.
inline VideoDriverChoice ChooseVideoDriver(const char* userDriver, bool waylandNamed, Compositor compositor,
                                           bool preferWayland) {
  if (compositor == Compositor::WithoutSeat) {
    if (!userDriver) return {"x11", false, nullptr};
    return std::strstr(userDriver, "wayland") ? VideoDriverChoice{nullptr, false, kNoSeatRefusal} : VideoDriverChoice{};
  }
  if (compositor == Compositor::WithSeat && !userDriver && waylandNamed && preferWayland)
    return {"wayland,x11", true, nullptr};
  return {};
}

}  // namespace sylvora
