#pragma once
// What the native display path needs from a GPU-style renderer on the program's window: static
// textures, scaled and filtered copies onto the output, clear, present, and word of a reset that took
// the textures away. The real device is SDL2's renderer (render_device_sdl); tests use an in-memory
// double with fault injection. Every call is made by the native display layer (display_native) only.
#include <cstdint>
#include <string>

#include "platform/native_window.h"
#include "video/display_layer.h"

namespace sylvora {

// What a renderer reset took away: nothing, the render targets (our static textures stay), or the
// whole device (every texture is gone and the renderer must be made again).
enum class RenderReset : int { None = 0, Targets = 1, Device = 2 };

// A rectangle of output pixels whose edges may lie between pixels; right and bottom are exclusive.
struct OutputRect {
  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
};

class RenderDevice {
 public:
  virtual ~RenderDevice() = default;

  // The library's own words for the last failure, once (see DisplayLayer::TakeFailureReason).
  virtual std::string TakeFailureReason() = 0;
  // The renderer's name ("opengl", "software"); empty while there is none.
  virtual std::string Name() = 0;
  // Makes the renderer on window; false on failure. Close ends it and every texture.
  virtual bool Open(NativeWindow* window) = 0;
  virtual void Close() = 0;
  // The output's size in pixels; false when it cannot be read.
  virtual bool OutputSize(int& width, int& height) = 0;

  // The longest side a texture may have; 0 when the renderer sets no limit. Read after Open.
  virtual int LargestTextureSide() = 0;
  // Whether the renderer scales copies on the processor (SDL's software renderer): there the native
  // layer uploads its pictures at the size they are shown, so every copy is one to one. Read after Open.
  virtual bool ScalesOnProcessor() = 0;
  // A static texture of width x height with linear filtering: a handle above 0, or 0 on failure. A
  // transparent texture is ARGB8888 and blended by its alpha; an opaque one is copied as it is (blending
  // costs dearly on a software renderer), and takes the output's own 32-bit format where that saves
  // converting at every copy. Upload replaces all its pixels: ARGB8888 (alpha 255 for an opaque one),
  // rows pitch pixels apart.
  virtual int CreateTexture(int width, int height, bool transparent) = 0;
  virtual bool UploadTexture(int texture, const uint32_t* pixels, int pitch) = 0;
  virtual void DestroyTexture(int texture) = 0;

  // Copies the texture's rectangle from (texture pixels) onto the output's rectangle to (output pixels,
  // edges between pixels where a picture lies between them).
  virtual bool Copy(int texture, const SurfaceRect& from, const OutputRect& to) = 0;
  // Limits the copies from now on to the output's rectangle clip, or lets them reach the whole output
  // again (nullptr). A new renderer starts without a limit.
  virtual bool SetClip(const SurfaceRect* clip) = 0;
  // Fills the whole output with black, whatever the clip.
  virtual bool Clear() = 0;
  // Shows what was drawn since the last present.
  virtual bool Present() = 0;

  // Whether what was presented stays on the output for the next frame to draw over (SDL's software
  // renderer draws into the window's own pixels): then a frame need only redraw and show what changed.
  // Read after Open.
  virtual bool KeepsOutput() = 0;
  // Whether the output lost what it kept since the last call (the window was exposed or resized), once.
  virtual bool TakeOutputLost() = 0;
  // Fills area with black, within the clip.
  virtual bool FillBlack(const SurfaceRect& area) = 0;
  // Shows only the output's areas (count of them) drawn since the last present, as a Present would.
  virtual bool PresentAreas(const SurfaceRect* areas, int count) = 0;

  // The strongest reset seen since the last call, once.
  virtual RenderReset TakeReset() = 0;
};

}  // namespace sylvora
