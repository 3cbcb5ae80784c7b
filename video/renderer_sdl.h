#pragma once
// SDL's renderer for both SDL display paths (display_sdl, render_device_sdl), in one place: making the
// renderer the policy chooses for the window (renderer_policy.h), noticing a renderer reset, SDL's own
// words for a failure, the renderer's name, and holding presents to the display's refresh rate where
// the renderer does not.
#include <SDL.h>

#include <cstdint>
#include <string>
#include <utility>

#include "video/render_device.h"
#include "video/renderer_policy.h"

namespace sylvora {

// Makes the renderer ChooseRenderer gives user for window; nullptr when every try failed.
SDL_Renderer* MakeSdlRenderer(SDL_Window* window, RendererUser user, bool vsync);

// The renderer's name ("opengl", "software"); empty for none.
std::string SdlRendererName(SDL_Renderer* renderer);

// SDL keeps its words for the last failure of any of its calls; they are taken with the failure the
// subsystem reports, and cleared so they are not given again.
std::string TakeSdlFailureReason();

// Notices SDL's renderer resets (its events reach the watch as they are queued): the strongest one seen
// since it was last forgotten; and whether the window was shown, exposed or resized since that was last
// taken, which loses what the window kept of the frames before.
class SdlResetWatch {
 public:
  ~SdlResetWatch() { Stop(); }
  void Start();
  void Stop();
  RenderReset Seen() const { return seen_; }
  void Forget() { seen_ = RenderReset::None; }
  bool TakeOutputLost() { return std::exchange(outputLost_, false); }

 private:
  static int SDLCALL Notice(void* userdata, SDL_Event* event);

  bool watching_ = false;
  RenderReset seen_ = RenderReset::None;
  bool outputLost_ = false;
};

class FramePacer {
 public:
  // Reads the display's refresh period once, when a renderer is made. Presents are held only when
  // vsync is wanted and renderer does not wait for the display itself.
  void Start(SDL_Window* window, SDL_Renderer* renderer, bool vsync);

  // A present with no vsync returns at once, and the frames would come as fast as the processor can
  // make them: they are held to the display's refresh rate (60 a second when it is unknown).
  void Hold();

 private:
  uint64_t period_ = 0;     // ticks between frames when presents are held; 0 when not
  uint64_t nextFrame_ = 0;  // performance-counter time the next frame is due
};

}  // namespace sylvora
