#include "video/decode_ahead.h"

#include <algorithm>
#include <utility>

namespace sylvora {

void AheadPicture::Run() {
  JpegHeader header;
  const bool read = decoder->Init() && decoder->ReadHeader(bytes.get(), byteCount, header);
  const bool sensible = read && header.width > 0 && header.height > 0 && header.width <= maxSide &&
                        header.height <= maxSide && int64_t{header.width} * header.height <= maxPixels;
  if (sensible && picture.Allocate(header.width, header.height, rows)) {
    if (decoder->ReadImage(picture.Bytes(), PictureBuffer::RowBytes(header.width, rows), rows)) {
      BlackenBelow(picture, blackLimit);
    } else {
      picture.pixels.reset();
    }
  }
  decoder->Free();
  bytes.reset();
}

DecodeAhead::DecodeAhead(std::unique_ptr<JpegDecoder> decoder, int maxSide, int64_t maxPixels, PixelRows rows)
    : decoder_(std::move(decoder)) {
  for (AheadPicture& slot : slots_) {
    slot.decoder = decoder_.get();
    slot.rows = rows;
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

void DecodeAhead::Expect(int entry, std::unique_ptr<uint8_t[]> bytes, size_t byteCount, int blackLimit) {
  const auto free = std::find_if(slots_.begin(), slots_.end(), [](const AheadPicture& slot) { return slot.entry < 0; });
  if (free == slots_.end() || Expects(entry)) return;
  free->entry = entry;
  free->bytes = std::move(bytes);
  free->byteCount = byteCount;
  free->blackLimit = blackLimit;
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

bool DecodeAhead::Take(int entry, int blackLimit, PictureBuffer& picture) {
  AheadPicture* slot = Find(entry);
  if (!slot) return false;
  const bool decoded = worker_.Await(*slot) && slot->picture.pixels && slot->blackLimit == blackLimit;
  if (decoded) picture = std::move(slot->picture);
  Free(*slot);
  HandOldest();
  return decoded;
}

void DecodeAhead::Free(AheadPicture& slot) {
  worker_.Claim(slot);
  slot.handed = false;
  slot.entry = -1;
  slot.bytes.reset();
  slot.picture.pixels.reset();
}

}  // namespace sylvora
