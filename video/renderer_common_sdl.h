#pragma once
// What both SDL display paths (display_sdl, render_device_sdl) need when they make a renderer: holding
// presents to the display's refresh rate where the renderer does not.
#include <SDL.h>

#include <cstdint>
#include <cstring>

namespace sylvora {

class FramePacer {
 public:
  // Reads the display's refresh period once, when a renderer is made. Presents are held only when
  // vsync is wanted and renderer does not wait for the display itself.
  void Start(SDL_Window* window, SDL_Renderer* renderer, bool vsync) {
    period_ = vsync && renderer && !PresentsWithVsync(renderer) ? RefreshPeriod(window) : 0;
    nextFrame_ = 0;
  }

  // A present with no vsync returns at once, and the frames would come as fast as the processor can
  // make them: they are held to the display's refresh rate (60 a second when it is unknown).
  void Hold() {
    if (period_ == 0) return;
    const uint64_t now = SDL_GetPerformanceCounter();
    if (nextFrame_ > now && nextFrame_ - now <= period_) {
      SDL_Delay(static_cast<Uint32>((nextFrame_ - now) * 1000 / SDL_GetPerformanceFrequency()));
      nextFrame_ += period_;
    } else {
      nextFrame_ = now + period_;  // late, or the first frame: the schedule starts again from here
    }
  }

 private:
  // The refresh rate assumed when the display does not tell its own.
  static constexpr int kUnknownRefreshRate = 60;

  // Whether presenting waits for the display: SDL's software renderer says it may, but its X
  // shared-memory images never do.
  static bool PresentsWithVsync(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    return SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC) &&
           std::strcmp(info.name, "software") != 0;
  }

  // One frame of the display's refresh rate, in performance-counter ticks.
  static uint64_t RefreshPeriod(SDL_Window* window) {
    SDL_DisplayMode mode;
    const int index = SDL_GetWindowDisplayIndex(window);
    const int rate = SDL_GetCurrentDisplayMode(index < 0 ? 0 : index, &mode) == 0 && mode.refresh_rate > 0
                         ? mode.refresh_rate
                         : kUnknownRefreshRate;
    return SDL_GetPerformanceFrequency() / static_cast<uint64_t>(rate);
  }

  uint64_t period_ = 0;     // ticks between frames when presents are held; 0 when not
  uint64_t nextFrame_ = 0;  // performance-counter time the next frame is due
};

}  // namespace sylvora
