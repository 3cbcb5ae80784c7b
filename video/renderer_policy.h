#pragma once
// Which SDL renderer draws on which window, for both display paths: the decision alone, a pure function
// of who asks, what the window is and what it allows, so one table can check it. renderer_sdl carries it
// out; display_sdl (the classic layer) and render_device_sdl (the native device) both go through it.
#include <array>
#include <cstdint>

namespace sylvora {

// Who makes the renderer: the classic layer, which presents one 640 x 480 frame per present, or the
// native device, which copies every picture through it.
enum class RendererUser : uint8_t { Classic, Native };

// The window a renderer is made on. A preview pane is a daemon's window too, only smaller: the
// renderer is chosen as for any daemon's window.
struct RendererWindow {
  bool daemons = false;      // a screen-saver daemon's window, not one of ours
  // Made ready for OpenGL: ours where OpenGL draws on the card, and every one on Wayland, where SDL makes
  // each window so (it has no other way to show pixels there); a daemon's by its visual.
  bool takesOpenGl = false;
};

// One try at making a renderer, by the renderer flags SDL is asked for.
enum class RendererTry : uint8_t {
  None,              // no try
  AnyVsync,          // the first driver that presents with vsync
  Any,               // the first driver that works
  AcceleratedVsync,  // the first accelerated driver that presents with vsync
  Accelerated,       // the first accelerated driver
  Software,          // SDL's software renderer
};

// The most tries one choice makes.
inline constexpr int kRendererTries = 3;

struct RendererChoice {
  // Tell SDL, before the tries, that its software renderer presents as X shared-memory images rather
  // than through an OpenGL texture of its own.
  bool plainFramebuffer = false;
  std::array<RendererTry, kRendererTries> tries{};  // in order, until one gives a renderer; None ends them
};

// The choice, with vsync asked for or not:
// - A window made ready for OpenGL: an accelerated renderer (the classic layer leaves the kind to SDL),
//   with vsync first when asked, then without, then SDL's software renderer.
// - Any other window of ours: SDL's software renderer on shared-memory images; an OpenGL renderer would
//   rasterise on the processor there, for several times the cost. (Not on Wayland, where every window is
//   ready for OpenGL and SDL's software renderer would itself present through OpenGL, after making the
//   window anew for it.)
// - A daemon's window: on the classic path SDL's software renderer whatever the window allows. Its
//   frames go out as X shared-memory images, so a window the daemon takes away fails the next one at
//   once, where GL drew on into it for seconds; the window system has already made SDL present that way.
//   The native device draws through OpenGL where the daemon's visual takes it, as on a window of ours.
constexpr RendererChoice ChooseRenderer(RendererUser user, const RendererWindow& window, bool vsync) {
  using enum RendererTry;
  if (user == RendererUser::Classic && window.daemons) return {false, {Software, None, None}};
  if (!window.takesOpenGl) return {true, {Software, None, None}};
  if (user == RendererUser::Classic)
    return {false, vsync ? std::array{AnyVsync, Any, Software} : std::array{Any, Software, None}};
  return {false, vsync ? std::array{AcceleratedVsync, Accelerated, Software} : std::array{Accelerated, Software, None}};
}

}  // namespace sylvora
