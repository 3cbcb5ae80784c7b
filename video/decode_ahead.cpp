#include "video/decode_ahead.h"

#include <algorithm>
#include <new>
#include <utility>

#include "video/video_system.h"

namespace sylvora {

void AheadPicture::Run() {
  JpegHeader header;
  const bool read = decoder->Init() && decoder->ReadHeader(bytes.get(), byteCount, header);
  const bool sensible = read && header.width > 0 && header.height > 0 && header.width <= maxSide &&
                        header.height <= maxSide && int64_t{header.width} * header.height <= maxPixels;
  if (sensible) {
    const int rowBytes = PictureBuffer::RowBytes(header.width);
    pixelBytes = static_cast<size_t>(rowBytes) * header.height;
    pixels.reset(new (std::nothrow) uint8_t[pixelBytes]);
    if (pixels && !decoder->ReadImage(pixels.get(), rowBytes)) pixels.reset();
    width = header.width;
    height = header.height;
  }
  decoder->Free();
  bytes.reset();
}

DecodeAhead::DecodeAhead(std::unique_ptr<JpegDecoder> decoder, int maxSide, int64_t maxPixels)
    : decoder_(std::move(decoder)) {
  for (AheadPicture& slot : slots_) {
    slot.decoder = decoder_.get();
    slot.maxSide = maxSide;
    slot.maxPixels = maxPixels;
  }
}

DecodeAhead::~DecodeAhead() { DropUntaken(); }

void DecodeAhead::DropUntaken() {
  for (AheadPicture& slot : slots_) {
    if (slot.entry >= 0) Free(slot);
  }
}

void DecodeAhead::Expect(int entry, std::unique_ptr<uint8_t[]> bytes, size_t byteCount) {
  const auto free = std::find_if(slots_.begin(), slots_.end(), [](const AheadPicture& slot) { return slot.entry < 0; });
  if (free == slots_.end() || Expects(entry)) return;
  free->entry = entry;
  free->bytes = std::move(bytes);
  free->byteCount = byteCount;
  free->named = ++namedCount_;
  HandOldest();
}

void DecodeAhead::HandOldest() {
  for (;;) {
    int handed = 0;
    AheadPicture* oldest = nullptr;
    for (AheadPicture& slot : slots_) {
      if (slot.entry < 0) continue;
      if (slot.handed) ++handed;
      if (!slot.handed && (!oldest || slot.named < oldest->named)) oldest = &slot;
    }
    if (handed >= kMostDecodedAhead || !oldest) return;
    oldest->handed = worker_.Queue(*oldest);
    if (!oldest->handed) return;
  }
}

AheadPicture* DecodeAhead::Find(int entry) {
  const auto slot =
      std::find_if(slots_.begin(), slots_.end(), [entry](const AheadPicture& each) { return each.entry == entry; });
  return slot == slots_.end() ? nullptr : &*slot;
}

bool DecodeAhead::Expects(int entry) const {
  return std::any_of(slots_.begin(), slots_.end(), [entry](const AheadPicture& slot) { return slot.entry == entry; });
}

bool DecodeAhead::Decoding(int entry) {
  AheadPicture* slot = Find(entry);
  return slot && (!slot->handed || worker_.Holds(*slot));
}

bool DecodeAhead::Take(int entry, std::unique_ptr<uint8_t[]>& pixels, size_t& pixelBytes, int& width, int& height) {
  AheadPicture* slot = Find(entry);
  if (!slot) return false;
  const bool decoded = worker_.Await(*slot) && slot->pixels;
  if (decoded) {
    pixels = std::move(slot->pixels);
    pixelBytes = slot->pixelBytes;
    width = slot->width;
    height = slot->height;
  }
  Free(*slot);
  HandOldest();
  return decoded;
}

void DecodeAhead::Free(AheadPicture& slot) {
  worker_.Claim(slot);
  slot.handed = false;
  slot.entry = -1;
  slot.bytes.reset();
  slot.pixels.reset();
}

}  // namespace sylvora
