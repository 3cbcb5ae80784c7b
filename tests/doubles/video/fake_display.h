#pragma once
// An in-memory display layer for the video tests: surfaces are byte arrays in the display's format, the
// "screen" is one more array the tests can read, every call is recorded, and every call that can fail
// can be told to fail (or to report a lost surface, or a blit still drawing).
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "video/display_layer.h"

namespace sylvora {

// A surface of the fake layer: pixels at bytesPerPixel with a pitch padded to 8 bytes, so tests notice
// code that assumes pitch = width x bytes per pixel.
class FakeSurface final : public DisplaySurface {
 public:
  FakeSurface(int id, int width, int height, int bytesPerPixel, SurfaceMemory memory);

  // The pixel value at (x, y), little-endian, bytesPerPixel bytes.
  uint32_t PixelAt(int x, int y) const;
  void SetPixel(int x, int y, uint32_t value);

  int id;
  int width;
  int height;
  int bytesPerPixel;
  int pitch;
  SurfaceMemory memory;
  std::vector<uint8_t> pixels;
  bool hasKey = false;
  uint32_t key = 0;
  bool locked = false;
  // Fault injection for this surface.
  bool lost = false;        // IsLost true and blits/fills give SurfaceLost until restored
  bool stayLost = false;    // RestoreSurface does not help
  bool lockFails = false;
  int restoreCount = 0;
};

class FakeDisplay final : public DisplayLayer {
 public:
  FakeDisplay();
  ~FakeDisplay() override;

  // ---- The display the fake pretends to drive ----
  DisplayMode desktop{1024, 768, 32};
  // Bit masks of the display format reported for the primary; bytes per surface pixel follow the depth
  // of the mode set (full screen) or of the desktop (windowed).
  uint32_t redMask = 0xF800;
  uint32_t greenMask = 0x07E0;
  uint32_t blueMask = 0x001F;
  std::string driverName = "fake driver";
  std::string driverDescription = "fake display for tests";
  uint64_t videoMemoryTotal = 32 * 1024 * 1024;
  uint64_t videoMemoryFree = 16 * 1024 * 1024;
  GammaRamp rampAsFound;  // what GetGammaRamp gives

  std::string presenterName;  // what PresenterName tells; empty by default
  // The monitors GetMonitors gives in full screen; none (the whole output is one) by default.
  MonitorTable monitors;
  std::string PresenterName() override { return presenterName; }

  // ---- Fault injection ----
  // The library's words TakeFailureReason gives once; a test sets them beside a fault.
  std::string failureReason;
  std::string TakeFailureReason() override { return std::exchange(failureReason, std::string()); }
  bool createDeviceFails = false;
  bool identifierFails = false;
  bool displayModeFails = false;
  bool cooperativeLevelFails = false;
  std::set<std::string> refusedModes;  // "WxHxD" that SetDisplayMode refuses
  bool videoMemoryFails = false;
  bool primaryFails = false;
  bool videoSurfacesFail = false;      // CreateOffScreenSurface in video memory fails
  bool systemSurfacesFail = false;     // CreateOffScreenSurface in system memory fails
  int surfacesLeft = -1;               // surfaces that can still be made; -1 = no limit
  bool clipperFails = false;
  bool clipperWindowFails = false;
  bool attachClipperFails = false;
  bool gammaControlFails = false;
  bool getGammaFails = false;
  bool setGammaFails = false;
  bool pixelFormatFails = false;
  bool colourKeyFails = false;
  bool bltFails = false;
  bool fillFails = false;
  int stillDrawingPolls = 0;           // GetBltStatus answers StillDrawing this many more times
  bool presentLost = false;            // PresentBlt reports SurfaceLost
  bool newSurfacesFailToLock = false;  // off-screen surfaces made from now on refuse Lock
  bool monitorsFail = false;           // GetMonitors cannot tell the monitors

  // ---- What happened ----
  std::vector<std::string> calls;      // every call by name, in order
  // A copy of the calls that outlives the fake (the video object owns and destroys it), ending with
  // "destroyed with N live surfaces".
  std::shared_ptr<std::vector<std::string>> journal;
  bool deviceOpen = false;
  bool fullScreen = false;
  bool modeX = false;
  NativeWindow* window = nullptr;
  DisplayMode modeSet;                 // last mode SetDisplayMode accepted
  bool modeRestored = false;
  bool gammaControl = false;
  GammaRamp lastSetRamp;
  int setRampCount = 0;
  std::vector<FakeSurface*> live;      // surfaces not yet released
  int released = 0;
  // The visible screen, filled by PresentBlt with nearest-pixel stretching; one 32-bit value a pixel
  // holding the source pixel value unchanged.
  int screenWidth = 0;
  int screenHeight = 0;
  std::vector<uint32_t> screen;
  int presentCount = 0;
  SurfaceRect lastPresentDestination;
  int clientX = 0;
  int clientY = 0;

  uint32_t ScreenAt(int x, int y) const { return screen[static_cast<size_t>(y) * screenWidth + x]; }
  static FakeSurface* Of(DisplaySurface* surface) { return static_cast<FakeSurface*>(surface); }
  int CallCount(const std::string& name) const;

  bool CreateDevice() override;
  void ReleaseDevice() override;
  bool GetDeviceIdentifier(std::string& name, std::string& description) override;
  bool GetDisplayMode(DisplayMode& mode) override;
  bool SetCooperativeLevel(NativeWindow* window, bool fullScreen, bool modeX) override;
  bool SetDisplayMode(int width, int height, int depth) override;
  void RestoreDisplayMode() override;
  bool GetAvailableVideoMemory(uint64_t& totalBytes, uint64_t& freeBytes) override;
  DisplaySurface* CreatePrimary(bool modeX) override;
  // The frame is made and fails as any off-screen surface, and is recorded as one.
  DisplaySurface* CreateFrame(int width, int height, SurfaceMemory memory) override {
    return CreateOffScreenSurface(width, height, memory);
  }
  DisplaySurface* CreateOffScreenSurface(int width, int height, SurfaceMemory memory) override;
  void ReleaseSurface(DisplaySurface* surface) override;
  bool CreateClipper() override;
  bool SetClipperWindow(NativeWindow* window) override;
  bool AttachClipper(DisplaySurface* primary) override;
  void ReleaseClipper() override;
  bool CreateGammaControl(DisplaySurface* primary) override;
  bool GetGammaRamp(GammaRamp& ramp) override;
  bool SetGammaRamp(const GammaRamp& ramp) override;
  void ReleaseGammaControl() override;
  bool GetPixelFormat(DisplaySurface* surface, uint32_t& red, uint32_t& green, uint32_t& blue) override;
  bool IsLost(DisplaySurface* surface) override;
  bool RestoreSurface(DisplaySurface* surface) override;
  // A surface still lost after the restore has no pixels: its picture is written again.
  bool NeedsPicture(DisplaySurface* surface) override;
  bool Lock(DisplaySurface* surface, SurfaceLock& lock) override;
  void Unlock(DisplaySurface* surface) override;
  DisplayResult BltFast(DisplaySurface* destination, int x, int y, const SubPixelShift& shift, DisplaySurface* source,
                        const SurfaceRect& rect, bool useColourKey) override;
  DisplayResult ColourFill(DisplaySurface* surface, uint32_t colour) override;
  bool SetColourKey(DisplaySurface* surface, uint32_t key) override;
  DisplayResult GetBltStatus(DisplaySurface* surface) override;
  DisplayResult PresentBlt(DisplaySurface* primary, const SurfaceRect& destination, DisplaySurface* source,
                           const SurfaceRect& sourceRect) override;
  void ClientOrigin(NativeWindow* window, int& x, int& y) override;
  bool GetMonitors(MonitorTable& monitors) override;

 private:
  void Record(const std::string& call);

  int bytesPerPixel_ = 2;
  int nextId_ = 0;
};

}  // namespace sylvora
