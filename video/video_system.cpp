// VideoSystem: the display device, full-screen and windowed set-up, pixel format, gamma and restoration.
#include "video/video_system.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <limits>

#include "archive/high_resolution.h"
#include "report/report.h"
#include "video/video_internal.h"

namespace sylvora {

namespace {

// Byte counts of video memory above this are reported as 65535 KB.
constexpr uint64_t kVideoMemoryCap = 0x3FFFFFF;
constexpr int kVideoMemoryCapKb = 65535;
// The longest driver name or description kept, as the device identifier's text fields hold.
constexpr size_t kDriverTextLimit = 512;
// A positive gamma step adds this much to every entry below kGammaCeiling; a negative step takes it
// from every entry above kGammaStep.
constexpr int kGammaStep = 50;
constexpr int kGammaCeiling = 65485;
// Mode X is asked for when the requested width is this.
constexpr int kModeXWidth = 320;

// Index of the lowest set bit (0 for an empty mask) and the number of bits up to the highest set bit.
void MaskShiftAndBits(uint32_t mask, uint16_t& shift, uint16_t& bits) {
  if (mask == 0) {
    shift = 0;
    bits = 0;
    return;
  }
  shift = static_cast<uint16_t>(__builtin_ctz(mask));
  bits = static_cast<uint16_t>(31 - __builtin_clz(mask) - shift + 1);
}

// Text up to its first NUL, at most kDriverTextLimit characters.
std::string DriverText(const std::string& text) {
  std::string kept = text.substr(0, text.find('\0'));
  if (kept.size() > kDriverTextLimit) kept.resize(kDriverTextLimit);
  return kept;
}

// One ramp entry after steps (non-zero) gamma steps: the same as stepping one at a time, in closed form.
uint16_t SteppedGamma(uint16_t entry, int64_t steps) {
  int64_t value = entry;
  if (steps > 0 && value < kGammaCeiling) {
    const int64_t stepsUntilCeiling = (kGammaCeiling - value + kGammaStep - 1) / kGammaStep;
    value += kGammaStep * std::min(steps, stepsUntilCeiling);
  } else if (steps < 0 && value > kGammaStep) {
    const int64_t stepsUntilFloor = (value - kGammaStep + kGammaStep - 1) / kGammaStep;
    value -= kGammaStep * std::min(-steps, stepsUntilFloor);
  }
  return static_cast<uint16_t>(value);
}

}  // namespace

std::string FormatText(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

VideoSystem::VideoSystem(Report* report, std::unique_ptr<DisplayLayer> display, std::unique_ptr<JpegDecoder> jpeg)
    : report_(report),
      display_(std::move(display)),
      jpeg_(std::move(jpeg)),
      decodeAhead_(jpeg_
                       ? std::make_unique<DecodeAhead>(jpeg_->Another(), kMaxPictureSide, kMaxPicturePixels, JpegRows())
                       : nullptr),
      graphicEntries_(std::make_unique<ArchiveTable>()) {
  EnableSafeBlitting();
}

VideoSystem::~VideoSystem() {
  if (fullScreen_ == 1) display_->RestoreDisplayMode();
  ReleasePicture();
  for (int i = 0; i < surfaces_.slotCount; ++i) {
    SurfaceSlot& slot = surfaces_.slots[i];
    if (slot.inUse && slot.surface) display_->ReleaseSurface(slot.surface);
    slot.surface = nullptr;
  }
  ReleaseDeviceObjects();
}

void VideoSystem::ReportPresenter(const char* function) {
  const std::string presenter = display_->PresenterName();
  if (!presenter.empty()) Say(1, MessageKind::Report, function, "frames are presented by the " + presenter + " renderer");
}

void VideoSystem::Say(int always, MessageKind kind, const char* function, const std::string& text) {
  if (!report_) return;
  report_->AddMessage(always, kind, kVideoModule, function, text);
  if (kind == MessageKind::Report) return;
  // The library's own reason follows as a warning of its own, so the last error stays the message above.
  std::string reason = display_->TakeFailureReason();
  if (reason.empty() && jpeg_) reason = jpeg_->TakeFailureReason();
  if (!reason.empty()) report_->AddMessage(1, MessageKind::Warning, kVideoModule, function, "reason: " + reason);
}

void VideoSystem::ReleaseDeviceObjects() {
  DropGammaControl();
  if (secondary_) display_->ReleaseSurface(secondary_);
  secondary_ = nullptr;
  if (clipper_) display_->ReleaseClipper();
  clipper_ = false;
  if (primary_) display_->ReleaseSurface(primary_);
  primary_ = nullptr;
  if (deviceOpen_) display_->ReleaseDevice();
  deviceOpen_ = false;
}

void VideoSystem::DropGammaControl() {
  if (gammaControl_) display_->ReleaseGammaControl();
  gammaControl_ = false;
  gammaAvailable_ = 0;
}

int VideoSystem::Create(const CreateArgs& args) {
  ReleaseDeviceObjects();
  window_ = args.window;
  resourcePath_ = args.resourcePath;
  if (!display_->CreateDevice()) {
    Say(1, MessageKind::Error, "Create", "DirectDraw7 interface was not created");
    return 2;
  }
  deviceOpen_ = true;
  if (GetVideoDesc() == 0) {
    Say(1, MessageKind::Report, "Create", "video driver: " + driverName_);
    Say(1, MessageKind::Report, "Create", "video driver desc: " + driverDescription_);
  }
  reserved_ = args.reserved;
  archiveMode_ = (args.useArchive == 0 || args.useArchive == 1) ? args.useArchive : 0;
  highResolution_ = args.highResolution;

  DisplayMode desktop;
  if (!display_->GetDisplayMode(desktop)) {
    Say(1, MessageKind::Warning, "Create", "current videomode was not detected");
    desktop = {args.width, args.height, args.depth};
  }
  displayWidth_ = desktop.width;
  displayHeight_ = desktop.height;
  displayDepth_ = args.depth;

  const int result = args.fullScreen ? CreateFullScreen(args.width, args.height, args.depth)
                                     : CreateWindowed(args.width, args.height);
  // A window too small to show more than the frame's own pixels (a preview pane) draws the pictures
  // painted for it, rather than shrinking their twins.
  const int shownScale = display_->ShownPictureScale();
  if (highResolution_ != 0) highResolution_ = shownScale < kHighResolutionScale ? 0 : shownScale;
  if (result == 0 && (archiveMode_ != 1 || LoadResHeader() == 0)) return 0;
  return 2;
}

int VideoSystem::CreateSecondary(int width, int height, const char* function) {
  const int columns = display_->FrameColumns(width, height);
  secondary_ = display_->CreateFrame(columns, height, SurfaceMemory::Video);
  if (!secondary_) secondary_ = display_->CreateFrame(columns, height, SurfaceMemory::System);
  if (!secondary_) {
    Say(1, MessageKind::Error, function, "back buffer was not created");
    return 2;
  }
  frameColumns_ = columns;
  fieldLeft_ = (width - columns) / 2;
  return 0;
}

int VideoSystem::CreateFullScreen(int width, int height, int depth) {
  const char* function = "CreateFullScreen";
  const bool modeX = width == kModeXWidth;
  if (!display_->SetCooperativeLevel(window_, true, modeX)) {
    Say(1, MessageKind::Error, function, "level of cooperation was not installed");
    return 2;
  }
  if (!display_->SetDisplayMode(displayWidth_, displayHeight_, depth)) {
    displayWidth_ = width;
    displayHeight_ = height;
    displayDepth_ = depth;
    if (!display_->SetDisplayMode(width, height, depth)) {
      Say(1, MessageKind::Error, function, FormatText("display mode %dx%dx%d was not installed", width, height, depth));
      return 2;
    }
  }
  videoMemoryTotalKb_ = 0;
  videoMemoryFreeKb_ = 0;
  if (GetVideoMemory(videoMemoryTotalKb_, videoMemoryFreeKb_) == 0) {
    Say(1, MessageKind::Report, function, FormatText("video memory: %d Kb (%d Kb free)", videoMemoryTotalKb_, videoMemoryFreeKb_));
  }
  primary_ = display_->CreatePrimary(modeX);
  if (!primary_) {
    Say(1, MessageKind::Error, function, "primary surface was not created");
    return 2;
  }
  ReportPresenter(function);
  if (CreateSecondary(width, height, function) != 0) return 2;
  if (StorePixelFormat() != 0) return 2;
  ClearSurface(SurfaceSecondary);

  if (!display_->CreateGammaControl(primary_)) {
    Say(1, MessageKind::Warning, function, "IDirectDrawGammaControl interface was not created");
    gammaControl_ = false;
    gammaAvailable_ = 0;
  } else {
    gammaControl_ = true;
    Say(1, MessageKind::Report, function, "IDirectDrawGammaControl interface was successfully created");
    gammaAvailable_ = 1;
    StoreGamma();
  }
  fullScreen_ = 1;
  conversionDepth_ = depth;
  secondaryWidth_ = frameColumns_;
  secondaryHeight_ = height;
  Say(1, MessageKind::Report, function,
      FormatText("fullscreen mode %dx%dx%d was installed successfully (pixel format: %d%d%d)", displayWidth_,
                 displayHeight_, depth, pixelFormat_.redBits, pixelFormat_.greenBits, pixelFormat_.blueBits));
  return 0;
}

int VideoSystem::CreateWindowed(int width, int height) {
  const char* function = "CreateWindowed";
  if (!display_->SetCooperativeLevel(window_, false, false)) {
    Say(1, MessageKind::Error, function, "level of cooperation was not installed");
    return 2;
  }
  videoMemoryTotalKb_ = 0;
  videoMemoryFreeKb_ = 0;
  if (GetVideoMemory(videoMemoryTotalKb_, videoMemoryFreeKb_) == 0) {
    Say(1, MessageKind::Report, function, FormatText("video memory: %d Kb (%d Kb free)", videoMemoryTotalKb_, videoMemoryFreeKb_));
  }
  primary_ = display_->CreatePrimary(false);
  if (!primary_) {
    Say(1, MessageKind::Error, function, "primary surface was not created");
    return 2;
  }
  ReportPresenter(function);
  if (!display_->CreateClipper()) {
    Say(1, MessageKind::Error, function, "clipper was not created");
    return 2;
  }
  clipper_ = true;
  if (!display_->SetClipperWindow(window_)) {
    Say(1, MessageKind::Error, function, "window handle was not attached to clipper");
    return 2;
  }
  if (!display_->AttachClipper(primary_)) {
    Say(1, MessageKind::Error, function, "clipper was not attached to primary surface");
    return 2;
  }
  int total = 0;
  int free = 0;
  GetVideoMemory(total, free);
  Say(1, MessageKind::Report, function, FormatText("primary surface was successfully created, free video memory: %d Kb", free));

  DisplayMode desktop;
  if (!display_->GetDisplayMode(desktop)) {
    Say(1, MessageKind::Error, function, "current videomode was not detected");
    return 2;
  }
  if (CreateSecondary(width, height, function) != 0) return 2;
  free = 0;
  GetVideoMemory(total, free);
  Say(1, MessageKind::Report, function, FormatText("back buffer was successfully created, free video memory: %d Kb", free));
  if (StorePixelFormat() != 0) return 2;
  ClearSurface(SurfaceSecondary);

  fullScreen_ = 0;
  conversionDepth_ = desktop.depth;
  secondaryWidth_ = frameColumns_;
  secondaryHeight_ = height;
  Say(1, MessageKind::Report, function,
      FormatText("windowed mode %dx%dx%d was installed successfully (pixel format: %d%d%d)", width, height,
                 desktop.depth, pixelFormat_.redBits, pixelFormat_.greenBits, pixelFormat_.blueBits));
  return 0;
}

void VideoSystem::QueryDisplayMode(int& width, int& height, int& depth) const {
  width = displayWidth_;
  height = displayHeight_;
  depth = displayDepth_;
}

int VideoSystem::StorePixelFormat() {
  uint32_t red = 0;
  uint32_t green = 0;
  uint32_t blue = 0;
  if (!primary_ || !display_->GetPixelFormat(primary_, red, green, blue)) {
    Say(1, MessageKind::Error, "StorePixelFormat", "pixel format was not received");
    return 2;
  }
  MaskShiftAndBits(red, pixelFormat_.redShift, pixelFormat_.redBits);
  MaskShiftAndBits(green, pixelFormat_.greenShift, pixelFormat_.greenBits);
  MaskShiftAndBits(blue, pixelFormat_.blueShift, pixelFormat_.blueBits);
  return 0;
}

int VideoSystem::GetVideoDesc() {
  driverName_ = " ";
  driverDescription_ = " ";
  std::string name;
  std::string description;
  if (!display_->GetDeviceIdentifier(name, description)) {
    Say(1, MessageKind::Warning, "GetVideoDesc", "description of video driver was not received");
    return 1;
  }
  driverName_ = DriverText(name);
  driverDescription_ = DriverText(description);
  return 0;
}

int VideoSystem::GetVideoMemory(int& total, int& free) {
  uint64_t totalBytes = 0;
  uint64_t freeBytes = 0;
  if (!display_->GetAvailableVideoMemory(totalBytes, freeBytes)) {
    Say(1, MessageKind::Warning, "GetVideoMemory", "volume of video memory was not received");
    return 1;
  }
  auto kilobytes = [](uint64_t bytes) {
    return bytes > kVideoMemoryCap ? kVideoMemoryCapKb : static_cast<int>(bytes / 1024);
  };
  total = kilobytes(totalBytes);
  free = kilobytes(freeBytes);
  return 0;
}

void VideoSystem::StoreGamma() {
  if (!gammaControl_ || gammaAvailable_ != 1) return;
  if (!display_->GetGammaRamp(storedGamma_)) {
    Say(1, MessageKind::Warning, "StoreGamma", "current gamma was not stored");
    DropGammaControl();
  }
}

void VideoSystem::SetGamma(int steps) {
  if (!gammaControl_ || gammaAvailable_ != 1) return;
  GammaRamp working = storedGamma_;
  if (steps != 0 && steps != std::numeric_limits<int>::min()) {
    for (auto* channel : {&working.red, &working.green, &working.blue}) {
      for (uint16_t& entry : *channel) entry = SteppedGamma(entry, steps);
    }
  }
  if (!display_->SetGammaRamp(working)) {
    Say(1, MessageKind::Warning, "SetGamma", "gamma was not changed");
    DropGammaControl();
  }
}

void VideoSystem::EnableSafeBlitting() {
  safeBlitting_ = 1;
  Say(1, MessageKind::Report, "EnableSafeBlitting", "safe blitting enabled");
}

void VideoSystem::Suspend() { suspended_ = 1; }

void VideoSystem::Resume() { suspended_ = 0; }

int VideoSystem::Restore() {
  if (suspended_ == 1) return 0;
  if (!primary_ || !(display_->IsLost(primary_) || display_->PicturesWanted())) return 0;
  display_->RestoreSurface(primary_);
  if (secondary_) display_->RestoreSurface(secondary_);
  for (int i = 0; i < surfaces_.slotCount; ++i) {
    const SurfaceSlot& slot = surfaces_.slots[i];
    if (slot.inUse && slot.surface) display_->RestoreSurface(slot.surface);
  }
  // Video memory comes back empty; a display that lets a picture's pixels go once it has shown them
  // (the native path) names that picture, wherever it lives.
  for (int i = 0; i < surfaces_.slotCount; ++i) {
    const SurfaceSlot& slot = surfaces_.slots[i];
    if (!slot.inUse || !(slot.inVideoMemory || display_->NeedsPicture(slot.surface))) continue;
    const std::string name = slot.name;
    if (ReloadSurface(name, i) != 0) {
      Say(1, MessageKind::Warning, "Restore", FormatText("surface N%d(", i) + name + ") was not restored");
      return 1;
    }
  }
  Say(0, MessageKind::Report, "Restore", "all surfaces were restored");
  return 1;
}

int VideoSystem::LoadResHeader() {
  if (!report_) return 2;
  return graphicEntries_->Load(*report_, resourcePath_, kGraphicArchive);
}

int VideoSystem::FindGraphicEntry(const std::string& name, int& index) const {
  return graphicEntries_->Find(name, index);
}

}  // namespace sylvora
