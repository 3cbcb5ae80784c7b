#include "tests/doubles/video/fake_display.h"

#include <algorithm>

namespace sylvora {

namespace {

constexpr int kPitchAlignment = 8;

std::string ModeName(int width, int height, int depth) {
  return std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
}

DisplayResult LostOr(const FakeSurface* surface, bool fails) {
  if (surface->lost) return DisplayResult::SurfaceLost;
  return fails ? DisplayResult::Failed : DisplayResult::Ok;
}

}  // namespace

FakeSurface::FakeSurface(int id, int width, int height, int bytesPerPixel, SurfaceMemory memory)
    : id(id),
      width(width),
      height(height),
      bytesPerPixel(bytesPerPixel),
      pitch((width * bytesPerPixel + kPitchAlignment) / kPitchAlignment * kPitchAlignment),
      memory(memory),
      pixels(static_cast<size_t>(pitch) * height, 0xEE) {}

uint32_t FakeSurface::PixelAt(int x, int y) const {
  const uint8_t* at = pixels.data() + static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bytesPerPixel;
  uint32_t value = 0;
  for (int i = 0; i < bytesPerPixel; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
  return value;
}

void FakeSurface::SetPixel(int x, int y, uint32_t value) {
  uint8_t* at = pixels.data() + static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bytesPerPixel;
  for (int i = 0; i < bytesPerPixel; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

FakeDisplay::FakeDisplay() {
  for (int level = 0; level < GammaRamp::kEntries; ++level) {
    rampAsFound.red[level] = rampAsFound.green[level] = rampAsFound.blue[level] = static_cast<uint16_t>(level * 257);
  }
}

FakeDisplay::~FakeDisplay() {
  if (journal) journal->push_back("destroyed with " + std::to_string(live.size()) + " live surfaces");
  for (FakeSurface* surface : live) delete surface;
}

void FakeDisplay::Record(const std::string& call) {
  calls.push_back(call);
  if (journal) journal->push_back(call);
}

int FakeDisplay::CallCount(const std::string& name) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), name));
}

bool FakeDisplay::CreateDevice() {
  Record("CreateDevice");
  deviceOpen = !createDeviceFails;
  return deviceOpen;
}

void FakeDisplay::ReleaseDevice() {
  Record("ReleaseDevice");
  deviceOpen = false;
}

bool FakeDisplay::GetDeviceIdentifier(std::string& name, std::string& description) {
  Record("GetDeviceIdentifier");
  if (identifierFails) return false;
  name = driverName;
  description = driverDescription;
  return true;
}

bool FakeDisplay::GetDisplayMode(DisplayMode& mode) {
  Record("GetDisplayMode");
  if (displayModeFails) return false;
  mode = desktop;
  return true;
}

bool FakeDisplay::SetCooperativeLevel(NativeWindow* newWindow, bool newFullScreen, bool newModeX) {
  Record("SetCooperativeLevel");
  if (cooperativeLevelFails) return false;
  window = newWindow;
  fullScreen = newFullScreen;
  modeX = newModeX;
  if (!fullScreen) {
    bytesPerPixel_ = std::max(1, desktop.depth / 8);
    screenWidth = desktop.width;
    screenHeight = desktop.height;
    screen.assign(static_cast<size_t>(screenWidth) * screenHeight, 0);
  }
  return true;
}

bool FakeDisplay::SetDisplayMode(int width, int height, int depth) {
  Record("SetDisplayMode " + ModeName(width, height, depth));
  if (refusedModes.count(ModeName(width, height, depth))) return false;
  modeSet = {width, height, depth};
  bytesPerPixel_ = std::max(1, depth / 8);
  screenWidth = width;
  screenHeight = height;
  screen.assign(static_cast<size_t>(width) * height, 0);
  return true;
}

void FakeDisplay::RestoreDisplayMode() {
  Record("RestoreDisplayMode");
  modeRestored = true;
}

bool FakeDisplay::GetAvailableVideoMemory(uint64_t& totalBytes, uint64_t& freeBytes) {
  Record("GetAvailableVideoMemory");
  if (videoMemoryFails) return false;
  totalBytes = videoMemoryTotal;
  freeBytes = videoMemoryFree;
  return true;
}

DisplaySurface* FakeDisplay::CreatePrimary(bool primaryModeX) {
  Record(primaryModeX ? "CreatePrimary modeX" : "CreatePrimary");
  if (primaryFails) return nullptr;
  live.push_back(new FakeSurface(nextId_++, 0, 0, bytesPerPixel_, SurfaceMemory::Video));
  return live.back();
}

DisplaySurface* FakeDisplay::CreateOffScreenSurface(int width, int height, SurfaceMemory memory) {
  Record(memory == SurfaceMemory::Video ? "CreateOffScreenSurface video" : "CreateOffScreenSurface system");
  if (memory == SurfaceMemory::Video ? videoSurfacesFail : systemSurfacesFail) return nullptr;
  if (surfacesLeft == 0) return nullptr;
  if (surfacesLeft > 0) --surfacesLeft;
  live.push_back(new FakeSurface(nextId_++, width, height, bytesPerPixel_, memory));
  live.back()->lockFails = newSurfacesFailToLock;
  return live.back();
}

void FakeDisplay::ReleaseSurface(DisplaySurface* surface) {
  Record("ReleaseSurface");
  auto found = std::find(live.begin(), live.end(), surface);
  if (found == live.end()) {
    Record("ReleaseSurface of an unknown surface");
    return;
  }
  delete *found;
  live.erase(found);
  ++released;
}

bool FakeDisplay::CreateClipper() {
  Record("CreateClipper");
  return !clipperFails;
}

bool FakeDisplay::SetClipperWindow(NativeWindow*) {
  Record("SetClipperWindow");
  return !clipperWindowFails;
}

bool FakeDisplay::AttachClipper(DisplaySurface*) {
  Record("AttachClipper");
  return !attachClipperFails;
}

void FakeDisplay::ReleaseClipper() { Record("ReleaseClipper"); }

bool FakeDisplay::CreateGammaControl(DisplaySurface*) {
  Record("CreateGammaControl");
  gammaControl = !gammaControlFails;
  return gammaControl;
}

bool FakeDisplay::GetGammaRamp(GammaRamp& ramp) {
  Record("GetGammaRamp");
  if (getGammaFails) return false;
  ramp = rampAsFound;
  return true;
}

bool FakeDisplay::SetGammaRamp(const GammaRamp& ramp) {
  Record("SetGammaRamp");
  if (setGammaFails) return false;
  lastSetRamp = ramp;
  ++setRampCount;
  return true;
}

void FakeDisplay::ReleaseGammaControl() {
  Record("ReleaseGammaControl");
  gammaControl = false;
}

bool FakeDisplay::GetPixelFormat(DisplaySurface*, uint32_t& red, uint32_t& green, uint32_t& blue) {
  Record("GetPixelFormat");
  if (pixelFormatFails) return false;
  red = redMask;
  green = greenMask;
  blue = blueMask;
  return true;
}

bool FakeDisplay::IsLost(DisplaySurface* surface) {
  Record("IsLost");
  return Of(surface)->lost;
}

bool FakeDisplay::RestoreSurface(DisplaySurface* surface) {
  Record("RestoreSurface");
  FakeSurface* restored = Of(surface);
  ++restored->restoreCount;
  if (restored->stayLost) return false;
  restored->lost = false;
  return true;
}

bool FakeDisplay::NeedsPicture(DisplaySurface* surface) {
  Record("NeedsPicture");
  return Of(surface)->lost;
}

bool FakeDisplay::Lock(DisplaySurface* surface, SurfaceLock& lock) {
  Record("Lock");
  FakeSurface* locked = Of(surface);
  if (locked->lockFails || locked->lost || locked->locked) return false;
  locked->locked = true;
  lock = {locked->pixels.data(), locked->pitch, locked->width, locked->height};
  return true;
}

void FakeDisplay::Unlock(DisplaySurface* surface) {
  Record("Unlock");
  Of(surface)->locked = false;
}

DisplayResult FakeDisplay::BltFast(DisplaySurface* destination, int x, int y, const SubPixelShift&,
                                   DisplaySurface* source, const SurfaceRect& rect, bool useColourKey) {
  Record(useColourKey ? "BltFast keyed" : "BltFast");
  FakeSurface* to = Of(destination);
  FakeSurface* from = Of(source);
  if (from->lost) return DisplayResult::SurfaceLost;
  const DisplayResult result = LostOr(to, bltFails);
  if (result != DisplayResult::Ok) return result;
  // A real blit refuses rectangles outside either surface; so does the fake, loudly.
  if (rect.left < 0 || rect.top < 0 || rect.right > from->width || rect.bottom > from->height || x < 0 || y < 0 ||
      x + rect.right - rect.left > to->width || y + rect.bottom - rect.top > to->height) {
    Record("BltFast out of bounds");
    return DisplayResult::Failed;
  }
  for (int row = rect.top; row < rect.bottom; ++row) {
    for (int column = rect.left; column < rect.right; ++column) {
      const uint32_t value = from->PixelAt(column, row);
      if (useColourKey && from->hasKey && value == from->key) continue;
      to->SetPixel(x + column - rect.left, y + row - rect.top, value);
    }
  }
  return DisplayResult::Ok;
}

DisplayResult FakeDisplay::ColourFill(DisplaySurface* surface, uint32_t colour) {
  Record("ColourFill");
  FakeSurface* filled = Of(surface);
  const DisplayResult result = LostOr(filled, fillFails);
  if (result != DisplayResult::Ok) return result;
  for (int y = 0; y < filled->height; ++y) {
    for (int x = 0; x < filled->width; ++x) filled->SetPixel(x, y, colour);
  }
  return DisplayResult::Ok;
}

bool FakeDisplay::SetColourKey(DisplaySurface* surface, uint32_t key) {
  Record("SetColourKey");
  if (colourKeyFails) return false;
  Of(surface)->hasKey = true;
  Of(surface)->key = key;
  return true;
}

DisplayResult FakeDisplay::GetBltStatus(DisplaySurface*) {
  Record("GetBltStatus");
  if (stillDrawingPolls > 0) {
    --stillDrawingPolls;
    return DisplayResult::StillDrawing;
  }
  return DisplayResult::Ok;
}

DisplayResult FakeDisplay::PresentBlt(DisplaySurface* primary, const SurfaceRect& destination, DisplaySurface* source,
                                      const SurfaceRect& sourceRect) {
  Record("PresentBlt");
  if (presentLost || Of(primary)->lost) return DisplayResult::SurfaceLost;
  FakeSurface* from = Of(source);
  lastPresentDestination = destination;
  ++presentCount;
  const int width = destination.right - destination.left;
  const int height = destination.bottom - destination.top;
  const int sourceWidth = sourceRect.right - sourceRect.left;
  const int sourceHeight = sourceRect.bottom - sourceRect.top;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int screenX = destination.left + x;
      const int screenY = destination.top + y;
      if (screenX < 0 || screenY < 0 || screenX >= screenWidth || screenY >= screenHeight) continue;
      screen[static_cast<size_t>(screenY) * screenWidth + screenX] =
          from->PixelAt(sourceRect.left + x * sourceWidth / width, sourceRect.top + y * sourceHeight / height);
    }
  }
  return DisplayResult::Ok;
}

void FakeDisplay::ClientOrigin(NativeWindow*, int& x, int& y) {
  Record("ClientOrigin");
  x = clientX;
  y = clientY;
}

bool FakeDisplay::GetMonitors(MonitorTable& found) {
  Record("GetMonitors");
  if (!fullScreen || monitorsFail || monitors.count == 0) return false;
  found = monitors;
  return true;
}

}  // namespace sylvora
