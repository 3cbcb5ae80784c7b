#pragma once
// The display operations the video subsystem needs from the platform: a device, a full-screen or
// window-bound primary, the frame and the pictures' surfaces, 1:1 colour-keyed blits, colour fills, a
// stretched present, a gamma ramp, lost-surface detection and word that the pictures must be written
// again. The real layers are SDL2 (display_sdl, the classic path) and the native layer (display_native),
// which keeps the classic layer for the window's set-up (DisplayDevice) only; tests use an in-memory
// double with fault injection. Every call is made by VideoSystem only.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/native_window.h"

namespace sylvora {

// A surface of the display layer. Each layer derives its own surface type from it; VideoSystem holds the
// pointer until it hands it back to ReleaseSurface.
class DisplaySurface {
 public:
  virtual ~DisplaySurface() = default;
};

// Results of the blits, fills and status queries, named after the conditions the logic tells apart.
enum class DisplayResult : int {
  Ok = 0,
  Failed = 1,        // any failure the logic does not tell apart
  SurfaceLost = 2,   // the surface's memory was taken away; Restore brings it back
  StillDrawing = 3,  // an earlier blit on the surface is still running
};

// Where an off-screen surface should live: fast display memory or plain system memory.
enum class SurfaceMemory : int { Video = 0, System = 1 };

// A display mode: size in pixels and bits per pixel.
struct DisplayMode {
  int width = 0;
  int height = 0;
  int depth = 0;
};

// A rectangle of surface pixels; right and bottom are exclusive.
struct SurfaceRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// How far past its whole frame pixel a blit really lies, in frame pixels along each side (each above -1
// and below 1): what a moving picture's position lost to the frame's whole-pixel grid.
struct SubPixelShift {
  double x = 0.0;
  double y = 0.0;
};

// Write access to a locked surface: the address of its top row, the byte distance between rows, and the
// surface's size, which bounds every write.
struct SurfaceLock {
  uint8_t* top = nullptr;
  int pitch = 0;
  int width = 0;
  int height = 0;
};

// The display's gamma ramp: 256 entries for each of red, green and blue.
struct GammaRamp {
  static constexpr int kEntries = 256;
  std::array<uint16_t, kEntries> red{};
  std::array<uint16_t, kEntries> green{};
  std::array<uint16_t, kEntries> blue{};

  // The ramp that leaves every level as it is: a display's ramp as found.
  static constexpr GammaRamp Identity() {
    GammaRamp identity;
    for (int level = 0; level < kEntries; ++level) {
      identity.red[level] = identity.green[level] = identity.blue[level] = static_cast<uint16_t>(level * 257);
    }
    return identity;
  }
};

// A ramp as one 8-bit table per component: how the layers that draw on the processor apply it to
// pixels. Built once per ramp change, never per frame.
struct RampTables {
  bool identity = true;  // every table gives each level back unchanged
  std::array<uint8_t, GammaRamp::kEntries> red{};
  std::array<uint8_t, GammaRamp::kEntries> green{};
  std::array<uint8_t, GammaRamp::kEntries> blue{};

  void Build(const GammaRamp& ramp) {
    identity = ramp.red == GammaRamp::Identity().red && ramp.green == GammaRamp::Identity().green &&
               ramp.blue == GammaRamp::Identity().blue;
    for (int level = 0; level < GammaRamp::kEntries; ++level) {
      red[level] = static_cast<uint8_t>(ramp.red[level] >> 8);
      green[level] = static_cast<uint8_t>(ramp.green[level] >> 8);
      blue[level] = static_cast<uint8_t>(ramp.blue[level] >> 8);
    }
  }
};

// How many monitors one full-screen window can span and be drawn on each.
constexpr int kMaxMonitors = 8;

// The monitors a full-screen window spans, each one's rectangle in the window's output pixels (cut to
// the window); the first count are filled.
struct MonitorTable {
  int count = 0;
  std::array<SurfaceRect, kMaxMonitors> rects{};
};

// The window's set-up, the part of the display both paths share: the device, its modes, full screen or
// a window, and the window's clip. The native layer takes the classic layer as its device.
class DisplayDevice {
 public:
  virtual ~DisplayDevice() = default;

  // The library's own words for the adapter's last failure, once: empty when it gave none or it was
  // already taken. The subsystem records it on a line after its own message about that failure.
  virtual std::string TakeFailureReason() = 0;
  // Opens the device of the primary display; false on failure.
  virtual bool CreateDevice() = 0;
  // Closes the device; the surfaces made by it must have been released first.
  virtual void ReleaseDevice() = 0;
  // The driver's name and description texts; false when the layer has none.
  virtual bool GetDeviceIdentifier(std::string& name, std::string& description) = 0;
  // The desktop's current mode; false when it cannot be read.
  virtual bool GetDisplayMode(DisplayMode& mode) = 0;
  // Binds the device to window: exclusive full screen (modeX when the width is 320) or normal windowed.
  virtual bool SetCooperativeLevel(NativeWindow* window, bool fullScreen, bool modeX) = 0;
  // Changes the full-screen mode; false when the mode cannot be set.
  virtual bool SetDisplayMode(int width, int height, int depth) = 0;
  // Puts the desktop's own mode back after full screen.
  virtual void RestoreDisplayMode() = 0;
  // Total and free bytes of off-screen display memory; false when the layer cannot tell.
  virtual bool GetAvailableVideoMemory(uint64_t& totalBytes, uint64_t& freeBytes) = 0;

  // Windowed mode: a clipper, bound to the window (DisplayLayer attaches it to the primary). Each false
  // on failure.
  virtual bool CreateClipper() = 0;
  virtual bool SetClipperWindow(NativeWindow* window) = 0;
  virtual void ReleaseClipper() = 0;

  // Top-left corner of window's client area in screen coordinates (windowed presenting).
  virtual void ClientOrigin(NativeWindow* window, int& x, int& y) = 0;

  // The monitors a full-screen window of our own spans (the native layer draws the scene on each); false
  // where there are none to tell apart (windowed, a daemon's window, which the daemon gives each monitor
  // on its own, or a display that cannot say): the whole output is then one monitor.
  virtual bool GetMonitors(MonitorTable& monitors) = 0;
};

class DisplayLayer : public DisplayDevice {
 public:
  // What shows the frames once the primary exists (the renderer's name, such as "opengl" or
  // "software"); empty before, or when there is nothing to tell.
  virtual std::string PresenterName() = 0;

  // The visible surface; nullptr on failure.
  virtual DisplaySurface* CreatePrimary(bool modeX) = 0;
  // Whether the frame is scaled alike across and down to the output's height and centred on it, rather
  // than stretched over the whole output: the frame then has as many columns as the output's shape holds
  // (FrameColumns), and the scenes show their wide paintings.
  virtual bool FitsFrameToOutput() { return false; }
  // How many columns VideoSystem makes the frame of a width x height scene with, once the primary exists:
  // width, or where the layer fits the frame to the output, enough to cover its shape at that height,
  // more or fewer than width by the same whole number at each side (so a wide display shows more of the
  // scene at both sides, a narrow one less).
  virtual int FrameColumns(int width, int) { return width; }
  // The frame every Draw goes to (VideoSystem's secondary buffer), width x height; nullptr on failure.
  virtual DisplaySurface* CreateFrame(int width, int height, SurfaceMemory memory) = 0;
  // A picture's surface of width x height in the display's format; nullptr on failure.
  virtual DisplaySurface* CreateOffScreenSurface(int width, int height, SurfaceMemory memory) = 0;
  // How many of the surface's pixels make one frame pixel along each side (a picture's high-resolution
  // twin); BltFast's rectangle stays in frame pixels. Layers that copy 1:1 never get such pictures.
  virtual void SetPictureScale(DisplaySurface*, int) {}
  // How many picture pixels per frame pixel the output shows: the scale of twins worth loading. Layers
  // that copy 1:1, and small windows, show no more than the frame's own pixels.
  virtual int ShownPictureScale() { return 1; }
  // Frees a surface made by this layer.
  virtual void ReleaseSurface(DisplaySurface* surface) = 0;

  // Windowed mode: attaches the device's clipper to the primary; false on failure.
  virtual bool AttachClipper(DisplaySurface* primary) = 0;

  // Full screen: a gamma control of the primary and its ramp. Each false on failure.
  virtual bool CreateGammaControl(DisplaySurface* primary) = 0;
  virtual bool GetGammaRamp(GammaRamp& ramp) = 0;
  virtual bool SetGammaRamp(const GammaRamp& ramp) = 0;
  virtual void ReleaseGammaControl() = 0;

  // The red, green and blue bit masks of surface's pixel format; false on failure.
  virtual bool GetPixelFormat(DisplaySurface* surface, uint32_t& red, uint32_t& green, uint32_t& blue) = 0;
  // Whether surface (VideoSystem asks of the primary) lost its memory; RestoreSurface gives a surface
  // memory back (its pixels are undefined then).
  virtual bool IsLost(DisplaySurface* surface) = 0;
  virtual bool RestoreSurface(DisplaySurface* surface) = 0;
  // Whether the pictures must be written again although the primary was not lost: a layer that lets a
  // picture's pixels go once it has shown them wants them back to show them anew (a new brightness or
  // key). VideoSystem's Restore then restores the primary, which ends the wish, and loads again every
  // picture NeedsPicture names.
  virtual bool PicturesWanted() { return false; }
  // Whether pictures already loaded are still being made ready for their textures beside the main
  // thread (the native layer's worker): a picture loaded now would compete with that work for the
  // processor. The scene manager waits for it before loading a coming scene's next picture.
  virtual bool PreparingPictures() { return false; }
  // Whether the picture on surface must be written again after a restore: its memory came back empty,
  // or the layer let its pixels go. Pictures in video memory are always written again.
  virtual bool NeedsPicture(DisplaySurface* surface) = 0;

  // Write access to the whole surface; Unlock ends it.
  virtual bool Lock(DisplaySurface* surface, SurfaceLock& lock) = 0;
  virtual void Unlock(DisplaySurface* surface) = 0;
  // Whether the layer keeps its pictures as XRGB8888 rows, top row first, with no padding, and takes
  // them whole (TakePixels) instead of through Lock: the loader then decodes straight into that form,
  // on the worker that decodes ahead, and nothing is converted or copied on the loader's thread.
  virtual bool TakesPixels() const { return false; }
  // Makes pixels (width x height, as TakesPixels says) the surface's, as Lock, a write of every pixel
  // and Unlock would; false, with pixels left to the caller, where the surface is not of that size or
  // takes no pixels.
  virtual bool TakePixels(DisplaySurface*, std::unique_ptr<uint32_t[]>&, int, int) { return false; }

  // Copies source's rectangle 1:1 to (x, y) of destination; with useColourKey, source pixels equal to
  // source's colour key are skipped. The rectangle lies inside both surfaces. Layers that draw between
  // frame pixels (DrawsSubPixels) move the copy by shift; the others copy to (x, y).
  virtual DisplayResult BltFast(DisplaySurface* destination, int x, int y, const SubPixelShift& shift,
                                DisplaySurface* source, const SurfaceRect& rect, bool useColourKey) = 0;
  virtual bool DrawsSubPixels() { return false; }
  // Fills the whole surface with colour (a pixel value in the surface's format).
  virtual DisplayResult ColourFill(DisplaySurface* surface, uint32_t colour) = 0;
  // Gives surface a source colour key of one pixel value.
  virtual bool SetColourKey(DisplaySurface* surface, uint32_t key) = 0;
  // StillDrawing while an earlier blit on surface is still running, otherwise Ok.
  virtual DisplayResult GetBltStatus(DisplaySurface* surface) = 0;
  // Shows source's rectangle on the primary at destination (stretched when the sizes differ).
  // Destination is in screen coordinates of the primary.
  virtual DisplayResult PresentBlt(DisplaySurface* primary, const SurfaceRect& destination, DisplaySurface* source,
                                   const SurfaceRect& sourceRect) = 0;
};

// A display layer that applies the gamma ramp to pixels on the processor (the classic SDL layer as it
// presents, the native layer as it uploads): it keeps the ramp and its tables, and tells the layer of
// each change through RampChanged.
class ProcessorRampLayer : public DisplayLayer {
 public:
  ProcessorRampLayer() { tables_.Build(ramp_); }

  bool GetGammaRamp(GammaRamp& ramp) final {
    ramp = ramp_;
    return true;
  }
  bool SetGammaRamp(const GammaRamp& ramp) final {
    ramp_ = ramp;
    tables_.Build(ramp_);
    RampChanged();
    return true;
  }
  void ReleaseGammaControl() final { SetGammaRamp(GammaRamp::Identity()); }

 protected:
  // Called after each ramp change, with Tables() built for the new ramp.
  virtual void RampChanged() = 0;
  const RampTables& Tables() const { return tables_; }

 private:
  GammaRamp ramp_ = GammaRamp::Identity();
  RampTables tables_;
};

}  // namespace sylvora
