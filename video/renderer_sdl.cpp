// SDL's renderer for both SDL display paths: the policy's choice carried out, resets, failures, pacing.
#include "video/renderer_sdl.h"

#include <cstring>

namespace sylvora {

namespace {

// The refresh rate assumed when the display does not tell its own.
constexpr int kUnknownRefreshRate = 60;

// SDL's renderer flags for one try.
Uint32 FlagsOf(RendererTry attempt) {
  switch (attempt) {
    case RendererTry::AnyVsync: return SDL_RENDERER_PRESENTVSYNC;
    case RendererTry::AcceleratedVsync: return SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC;
    case RendererTry::Accelerated: return SDL_RENDERER_ACCELERATED;
    case RendererTry::Software: return SDL_RENDERER_SOFTWARE;
    default: return 0;
  }
}

// Whether presenting waits for the display: SDL's software renderer says it may, but its X
// shared-memory images never do.
bool PresentsWithVsync(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  return SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC) &&
         std::strcmp(info.name, "software") != 0;
}

// One frame of the display's refresh rate, in performance-counter ticks.
uint64_t RefreshPeriod(SDL_Window* window) {
  SDL_DisplayMode mode;
  const int index = SDL_GetWindowDisplayIndex(window);
  const int rate = SDL_GetCurrentDisplayMode(index < 0 ? 0 : index, &mode) == 0 && mode.refresh_rate > 0
                       ? mode.refresh_rate
                       : kUnknownRefreshRate;
  return SDL_GetPerformanceFrequency() / static_cast<uint64_t>(rate);
}

}  // namespace

SDL_Renderer* MakeSdlRenderer(SDL_Window* window, RendererUser user, bool vsync) {
  if (!window) return nullptr;
  const Uint32 flags = SDL_GetWindowFlags(window);
  const RendererChoice choice =
      ChooseRenderer(user, RendererWindow{(flags & SDL_WINDOW_FOREIGN) != 0, (flags & SDL_WINDOW_OPENGL) != 0}, vsync);
  if (choice.plainFramebuffer) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Renderer* renderer = nullptr;
  for (const RendererTry attempt : choice.tries) {
    if (renderer || attempt == RendererTry::None) break;
    renderer = SDL_CreateRenderer(window, -1, FlagsOf(attempt));
  }
  return renderer;
}

std::string SdlRendererName(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  return renderer && SDL_GetRendererInfo(renderer, &info) == 0 ? info.name : "";
}

std::string TakeSdlFailureReason() {
  std::string reason = SDL_GetError();
  SDL_ClearError();
  return reason;
}

void SdlResetWatch::Start() {
  if (!watching_) SDL_AddEventWatch(Notice, this);
  watching_ = true;
}

void SdlResetWatch::Stop() {
  if (watching_) SDL_DelEventWatch(Notice, this);
  watching_ = false;
}

int SDLCALL SdlResetWatch::Notice(void* userdata, SDL_Event* event) {
  auto* self = static_cast<SdlResetWatch*>(userdata);
  if (event->type == SDL_RENDER_DEVICE_RESET) self->seen_ = RenderReset::Device;
  if (event->type == SDL_RENDER_TARGETS_RESET && self->seen_ == RenderReset::None) self->seen_ = RenderReset::Targets;
  if (event->type == SDL_WINDOWEVENT) {
    const Uint8 change = event->window.event;
    self->outputLost_ = self->outputLost_ || change == SDL_WINDOWEVENT_EXPOSED ||
                        change == SDL_WINDOWEVENT_SIZE_CHANGED || change == SDL_WINDOWEVENT_RESTORED ||
                        change == SDL_WINDOWEVENT_SHOWN;
  }
  return 0;
}

void FramePacer::Start(SDL_Window* window, SDL_Renderer* renderer, bool vsync) {
  period_ = vsync && renderer && !PresentsWithVsync(renderer) ? RefreshPeriod(window) : 0;
  nextFrame_ = 0;
}

void FramePacer::Hold() {
  if (period_ == 0) return;
  const uint64_t now = SDL_GetPerformanceCounter();
  if (nextFrame_ > now && nextFrame_ - now <= period_) {
    SDL_Delay(static_cast<Uint32>((nextFrame_ - now) * 1000 / SDL_GetPerformanceFrequency()));
    nextFrame_ += period_;
  } else {
    nextFrame_ = now + period_;  // late, or the first frame: the schedule starts again from here
  }
}

}  // namespace sylvora
