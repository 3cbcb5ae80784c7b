// VideoSystem: pixel conversion of pictures, drawing into the secondary buffer and presenting it.
#include <algorithm>

#include "report/report.h"
#include "video/video_internal.h"
#include "video/video_system.h"

namespace sylvora {

namespace {

// How often Draw restores and retries a blit that keeps meeting a lost surface before giving up.
constexpr int kLostSurfaceRetries = 3;
// How often a wait for an earlier blit polls the display layer before going on regardless.
constexpr int kBlitWaitPolls = 1000000;

// A component reduced to its top bits (a pure shift, never rounded).
uint32_t TopBits(uint8_t component, uint16_t bits) {
  return bits >= 8 ? component : static_cast<uint32_t>(component) >> (8 - bits);
}

// The 16-bit pixel value of one blue-green-red pixel.
uint32_t Pixel16(const uint8_t* bgr, const PixelFormat& format) {
  return TopBits(bgr[2], format.redBits) << format.redShift | TopBits(bgr[1], format.greenBits) << format.greenShift |
         TopBits(bgr[0], format.blueBits) << format.blueShift;
}

// The 24- and 32-bit pixel value of one blue-green-red pixel: full components at their shifts.
uint32_t PixelFull(const uint8_t* bgr, const PixelFormat& format) {
  return static_cast<uint32_t>(bgr[2]) << format.redShift | static_cast<uint32_t>(bgr[1]) << format.greenShift |
         static_cast<uint32_t>(bgr[0]) << format.blueShift;
}

// Stores the low byteCount bytes of value little-endian at destination.
void StoreLittleEndian(uint8_t* destination, uint32_t value, int byteCount) {
  for (int i = 0; i < byteCount; ++i) destination[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

int VideoSystem::ApplyBlackThreshold(int threshold) {
  BlackenBelow(picture_, threshold & 0xFF);
  return 0;
}

int VideoSystem::CopyDibToSurface(int number, const uint8_t* pixels, int width, int height) {
  if (number == SurfaceNone) return 0;
  if (IsValidSurface(number) == 0) {
    ReportInvalidSurface(MessageKind::Error, "CopyDibToSurface", number);
    return 2;
  }
  int result = 0;
  switch (conversionDepth_) {
    case 16: result = CopyDib24ToSurface16(number, pixels, width, height); break;
    case 24: result = CopyDib24ToSurface24(number, pixels, width, height); break;
    case 32: result = CopyDib24ToSurface32(number, pixels, width, height); break;
    default: break;
  }
  return result == 0 ? 0 : 2;
}

template <int BytesPerPixel, uint32_t (*PixelValue)(const uint8_t*, const PixelFormat&)>
int VideoSystem::CopyDibWith(int number, const uint8_t* pixels, int width, int height, const char* function) {
  DisplaySurface* surface = SurfaceOf(number);
  SurfaceLock lock;
  if (!surface || !display_->Lock(surface, lock)) {
    Say(1, MessageKind::Error, function, FormatText("surface N%d was not locked", number));
    return 2;
  }
  // Writes stay inside the surface even if the picture is larger than it.
  const int rowsToWrite = std::min(height, lock.height);
  const int pixelsToWrite = std::min(width, lock.width);
  const size_t rowBytes = static_cast<size_t>(PictureBuffer::RowBytes(width));
  for (int y = 0; y < rowsToWrite; ++y) {
    const uint8_t* source = pixels + static_cast<size_t>(height - 1 - y) * rowBytes;
    uint8_t* destination = lock.top + static_cast<ptrdiff_t>(y) * lock.pitch;
    for (int x = 0; x < pixelsToWrite; ++x, source += 3, destination += BytesPerPixel) {
      StoreLittleEndian(destination, PixelValue(source, pixelFormat_), BytesPerPixel);
    }
  }
  display_->Unlock(surface);
  return 0;
}

int VideoSystem::CopyDib24ToSurface16(int number, const uint8_t* pixels, int width, int height) {
  return CopyDibWith<2, Pixel16>(number, pixels, width, height, "CopyDib24ToSurface16");
}

int VideoSystem::CopyDib24ToSurface24(int number, const uint8_t* pixels, int width, int height) {
  return CopyDibWith<3, PixelFull>(number, pixels, width, height, "CopyDib24ToSurface24");
}

int VideoSystem::CopyDib24ToSurface32(int number, const uint8_t* pixels, int width, int height) {
  return CopyDibWith<4, PixelFull>(number, pixels, width, height, "CopyDib24ToSurface32");
}

int VideoSystem::ClipToSecondary(SurfaceRect& rect, int pictureWidth, int pictureHeight, int x, int y,
                                 int bufferWidth, int bufferHeight) {
  SurfaceRect clipped{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, pictureWidth),
                      std::min(rect.bottom, pictureHeight)};
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom || x < 0 || x >= bufferWidth || y < 0 ||
      y >= bufferHeight) {
    return 1;
  }
  if (x + (clipped.right - clipped.left) > bufferWidth) clipped.right = bufferWidth + clipped.left - x;
  if (y + (clipped.bottom - clipped.top) > bufferHeight) clipped.bottom = bufferHeight + clipped.top - y;
  if (clipped.left < clipped.right && clipped.top < clipped.bottom) {
    rect = clipped;
    return 0;
  }
  return 1;
}

void VideoSystem::ReportFailedBlit(int number, const SurfaceRect& rect, int x, int y) {
  const std::string& name = number >= 0 && number < kSurfaceCapacity ? surfaces_.slots[number].name : "";
  Say(1, MessageKind::Warning, "Draw",
      "blitting was failed [from <" + name +
          FormatText(">(%d) (%d,%d,%d,%d) to secondary buffer (%d,%d)]", number, rect.left, rect.top, rect.right,
                     rect.bottom, x, y));
}

int VideoSystem::Draw(const SurfaceRect& source, int number, int x, int y) {
  return Draw(source, number, x, y, SubPixelShift{});
}

int VideoSystem::Draw(const SurfaceRect& source, int number, int x, int y, const SubPixelShift& shift) {
  if (number == SurfaceNone) return 0;
  // The secondary buffer is never a source: it is refused like a number that names no surface.
  if (IsValidSurface(number) == 0 || number == SurfaceSecondary || !secondary_) {
    ReportInvalidSurface(MessageKind::Warning, "Draw", number);
    return 1;
  }
  const SurfaceSlot& slot = surfaces_.slots[number];
  SurfaceRect rect = source;
  if (safeBlitting_ == 1 &&
      ClipToSecondary(rect, slot.width, slot.height, x, y, secondaryWidth_, secondaryHeight_) == 1) {
    ReportFailedBlit(number, rect, x, y);
    return 1;
  }
  const bool keyed = slot.hasColourKey == 1;
  DisplayResult result = display_->BltFast(secondary_, x, y, shift, slot.surface, rect, keyed);
  for (int retry = 0; result == DisplayResult::SurfaceLost && retry < kLostSurfaceRetries; ++retry) {
    // A restore that found nothing lost cannot make the next try succeed.
    if (Restore() == 0) break;
    result = display_->BltFast(secondary_, x, y, shift, slot.surface, rect, keyed);
  }
  if (result != DisplayResult::Ok) {
    ReportFailedBlit(number, rect, x, y);
    return 1;
  }
  return 0;
}

int VideoSystem::SetTransparentColor(int number, uint32_t key) {
  if (number == SurfaceNone) return 0;
  DisplaySurface* surface = IsValidSurface(number) ? SurfaceOf(number) : nullptr;
  if (!surface) {
    ReportInvalidSurface(MessageKind::Warning, "SetTransparentColor", number);
    return 1;
  }
  if (!display_->SetColourKey(surface, key)) {
    Say(1, MessageKind::Warning, "SetTransparentColor", "color key was not created");
    return 1;
  }
  if (number != SurfaceSecondary) {
    surfaces_.slots[number].hasColourKey = 1;
    surfaces_.slots[number].colourKey = key;
  }
  return 0;
}

void VideoSystem::WaitForBlit(DisplaySurface* surface) {
  for (int poll = 0; poll < kBlitWaitPolls && display_->GetBltStatus(surface) == DisplayResult::StillDrawing;
       ++poll) {
  }
}

int VideoSystem::ClearSurface(int number) {
  if (number == SurfaceNone) return 0;
  DisplaySurface* surface = IsValidSurface(number) ? SurfaceOf(number) : nullptr;
  if (!surface) {
    ReportInvalidSurface(MessageKind::Warning, "ClearSurface", number);
    return 1;
  }
  WaitForBlit(surface);
  DisplayResult result = display_->ColourFill(surface, 0);
  if (result == DisplayResult::SurfaceLost) {
    Restore();
    WaitForBlit(surface);
    result = display_->ColourFill(surface, 0);
  }
  return result == DisplayResult::Ok ? 0 : 1;
}

void VideoSystem::Present() {
  if (suspended_ == 1 || !primary_ || !secondary_) return;
  const SurfaceRect whole{0, 0, secondaryWidth_, secondaryHeight_};
  SurfaceRect destination{0, 0, displayWidth_, displayHeight_};
  if (fullScreen_ != 1) {
    int originX = 0;
    int originY = 0;
    display_->ClientOrigin(window_, originX, originY);
    destination = {originX, originY, originX + secondaryWidth_, originY + secondaryHeight_};
  }
  WaitForBlit(primary_);
  if (display_->PresentBlt(primary_, destination, secondary_, whole) == DisplayResult::SurfaceLost) Restore();
}

}  // namespace sylvora
