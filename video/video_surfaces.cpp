// VideoSystem: the surface table and the BMP and JPEG picture loaders.
#include <cstring>
#include <new>

#include "archive/high_resolution.h"
#include "platform/files.h"
#include "report/report.h"
#include "video/video_internal.h"
#include "video/video_system.h"

namespace sylvora {

namespace {

// The two BMP headers: 14 bytes of file header, 40 of info header; pixel rows follow at once.
constexpr size_t kBmpFileHeaderSize = 14;
constexpr size_t kBmpInfoHeaderSize = 40;
constexpr size_t kBmpHeadersSize = kBmpFileHeaderSize + kBmpInfoHeaderSize;
constexpr uint16_t kBmpMagic = 0x4D42;  // "BM"
constexpr uint16_t kBmpBitsPerPixel = 24;
constexpr uint32_t kBmpUncompressed = 0;
// How much of a picture DeclaredSize reads: a BMP's headers, or a JPEG's markers up to its frame header,
// which come first in every file we make.
constexpr size_t kDeclaredSizeProbeBytes = 16384;

uint16_t LittleEndian16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

uint32_t LittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Reads exactly size bytes; false on a short read.
bool ReadExactly(ReadableFile& file, void* buffer, size_t size) { return file.Read(buffer, size) == size; }

// Whether a picture side lies in 1 .. VideoSystem::kMaxPictureSide.
bool SensibleSide(int64_t side) { return side > 0 && side <= VideoSystem::kMaxPictureSide; }

// Whether a picture of width x height is one the program could use.
bool SensibleSize(int64_t width, int64_t height) {
  return SensibleSide(width) && SensibleSide(height) && width * height <= VideoSystem::kMaxPicturePixels;
}

// Whether the headers describe a plain 24-bit, uncompressed, bottom-up picture whose rows fit in
// pixelBytes bytes right after the headers.
bool PlainBmpFits(const uint8_t* fileHeader, const uint8_t* infoHeader, uint64_t pixelBytes) {
  const int64_t width = static_cast<int32_t>(LittleEndian32(infoHeader + 4));
  const int64_t height = static_cast<int32_t>(LittleEndian32(infoHeader + 8));
  if (!SensibleSize(width, height)) return false;
  if (LittleEndian32(fileHeader + 10) != kBmpHeadersSize) return false;
  if (LittleEndian32(infoHeader) != kBmpInfoHeaderSize) return false;
  if (LittleEndian16(infoHeader + 14) != kBmpBitsPerPixel) return false;
  if (LittleEndian32(infoHeader + 16) != kBmpUncompressed) return false;
  return static_cast<uint64_t>(PictureBuffer::RowBytes(static_cast<int>(width))) * height <= pixelBytes;
}

}  // namespace

int VideoSystem::IsValidSurface(int number) const {
  if (number == SurfaceSecondary) return 1;
  if (number < 0 || number >= surfaces_.slotCount) return 0;
  return surfaces_.slots[number].inUse ? 1 : 0;
}

DisplaySurface* VideoSystem::SurfaceOf(int number) const {
  return number == SurfaceSecondary ? secondary_ : surfaces_.slots[number].surface;
}

void VideoSystem::ReportInvalidSurface(MessageKind kind, const char* function, int number) {
  Say(1, kind, function, FormatText("surface N%d is invalid", number));
}

int VideoSystem::CreateOffScreenSurface(int width, int height, int videoMemory, int& handle,
                                        std::string& placement, int slot) {
  const char* function = "CreateOffScreenSurface";
  int number = slot;
  if (slot == SurfaceAnySlot) {
    number = 0;
    while (number < surfaces_.slotCount && surfaces_.slots[number].inUse) ++number;
    if (number == surfaces_.slotCount) {
      if (surfaces_.slotCount == kSurfaceCapacity) {
        Say(1, MessageKind::Error, function, "surface maximum is reached");
        return 2;
      }
      surfaces_.slots[number].inUse = 0;
      ++surfaces_.slotCount;
    }
  } else {
    // An explicit slot must name a slot of the table; it is counted, and a surface it held is let go.
    if (slot < 0 || slot >= kSurfaceCapacity) {
      ReportInvalidSurface(MessageKind::Error, function, slot);
      return 2;
    }
    if (slot >= surfaces_.slotCount) surfaces_.slotCount = slot + 1;
    SurfaceSlot& taken = surfaces_.slots[slot];
    if (taken.inUse && taken.surface) display_->ReleaseSurface(taken.surface);
    taken = SurfaceSlot{};
  }

  SurfaceSlot& target = surfaces_.slots[number];
  target.surface = display_->CreateOffScreenSurface(
      width, height, videoMemory ? SurfaceMemory::Video : SurfaceMemory::System);
  if (target.surface && videoMemory == 0) {
    placement = "in the system memory";
    target.inVideoMemory = 0;
  } else if (target.surface) {
    int total = 0;
    int free = 0;
    GetVideoMemory(total, free);
    placement = "in the video memory" + FormatText(" (free video memory=%d Kb)", free);
    target.inVideoMemory = 1;
  } else if (videoMemory) {
    target.surface = display_->CreateOffScreenSurface(width, height, SurfaceMemory::System);
    if (target.surface) {
      placement = "in the system memory (not in the video memory)";
      target.inVideoMemory = 0;
    }
  }
  if (!target.surface) {
    Say(1, MessageKind::Error, function, "surface was not created in the system memory");
    return 2;
  }
  target.inUse = 1;
  // Its size bounds what Draw takes from it; a loaded picture sets the same.
  target.width = width;
  target.height = height;
  handle = number;
  return 0;
}

int VideoSystem::CreateSurfaceA(const std::string& name, int videoMemory, uint32_t colourKey, int& handle,
                                int slot, uint8_t blackThreshold) {
  handle = SurfaceNone;
  PictureKind kind = PictureKind::Bmp;
  if (LoadGraphics(name, kind, blackThreshold) != 0) return 2;
  int number = SurfaceNone;
  std::string placement;
  const int width = picture_.width;
  const int height = picture_.height;
  if (CreateOffScreenSurface(width, height, videoMemory, number, placement, slot) != 0) {
    ReleasePicture();
    return 2;
  }
  const int scale = picture_.scale;
  display_->SetPictureScale(surfaces_.slots[number].surface, scale);
  blackThreshold = static_cast<uint8_t>(BlackLimit(blackThreshold, scale));
  if (PlaceHeldPicture(number) != 0) {
    ReleasePicture();
    return 2;
  }
  SetTransparentColor(number, colourKey);
  ReleasePicture();
  Say(0, MessageKind::Report, "CreateSurfaceA",
      "graph object <" + name + "> was successfully loaded and placed " + placement + FormatText(" [%d]", number));
  handle = number;
  SurfaceSlot& filled = surfaces_.slots[number];
  filled.requestedVideoMemory = videoMemory;
  filled.hasColourKey = 1;
  filled.colourKey = colourKey;
  filled.inUse = 1;
  filled.name = name;
  // The slot keeps the picture's size in frame pixels, which Draw's rectangles and clipping use.
  filled.width = width / scale;
  filled.height = height / scale;
  filled.blackThreshold = blackThreshold;
  filled.pictureScale = scale;
  return 0;
}

int VideoSystem::CreateSurfaceB(const std::string& name, int videoMemory, int& handle, int slot) {
  handle = SurfaceNone;
  PictureKind kind = PictureKind::Bmp;
  if (LoadGraphics(name, kind, kNotKeyed) != 0) return 2;
  int number = SurfaceNone;
  std::string placement;
  const int width = picture_.width;
  const int height = picture_.height;
  if (CreateOffScreenSurface(width, height, videoMemory, number, placement, slot) != 0 ||
      PlaceHeldPicture(number) != 0) {
    ReleasePicture();
    return 2;
  }
  const int scale = picture_.scale;
  display_->SetPictureScale(surfaces_.slots[number].surface, scale);
  ReleasePicture();
  Say(0, MessageKind::Report, "CreateSurfaceB",
      "graph object <" + name + "> was successfully loaded and placed " + placement + FormatText(" [%d]", number));
  handle = number;
  SurfaceSlot& filled = surfaces_.slots[number];
  filled.requestedVideoMemory = videoMemory;
  filled.hasColourKey = 0;
  filled.colourKey = 0;
  filled.inUse = 1;
  filled.name = name;
  // The slot keeps the picture's size in frame pixels, which Draw's rectangles and clipping use.
  filled.width = width / scale;
  filled.height = height / scale;
  filled.blackThreshold = 0;
  filled.pictureScale = scale;
  return 0;
}

int VideoSystem::ReloadSurface(const std::string& name, int slot) {
  const bool slotted = slot != SurfaceSecondary && IsValidSurface(slot);
  const SurfaceSlot* kept = slotted ? &surfaces_.slots[slot] : nullptr;
  PictureKind kind = PictureKind::Bmp;
  if (LoadGraphics(name, kind, kept && kept->hasColourKey ? kept->blackThreshold : kNotKeyed) != 0) return 2;
  // A twin that decoded when the surface was made and no longer does gives pixels of another size,
  // which the surface cannot take.
  if (kept && picture_.scale != kept->pictureScale) {
    ReleasePicture();
    return 2;
  }
  const int copied = PlaceHeldPicture(slot);
  ReleasePicture();
  return copied == 0 ? 0 : 2;
}

int VideoSystem::DeleteSurface(int number) {
  if (number == SurfaceNone) return 0;
  // The secondary buffer is never deleted: it is refused like a number that names no surface.
  if (IsValidSurface(number) == 0 || number == SurfaceSecondary) {
    ReportInvalidSurface(MessageKind::Warning, "DeleteSurface", number);
    return 1;
  }
  SurfaceSlot& slot = surfaces_.slots[number];
  WaitForBlit(slot.surface);
  display_->ReleaseSurface(slot.surface);
  slot = SurfaceSlot{};
  return 0;
}

void VideoSystem::ReleasePicture() {
  // The pixels may have been handed to the display whole: the byte count says a picture was held.
  if (picture_.byteCount != 0 && picture_.kind == PictureKind::Jpeg) jpeg_->Free();
  picture_ = PictureBuffer{};
}

int VideoSystem::PlaceHeldPicture(int number) {
  if (picture_.rows == PixelRows::BottomUpBgr || number == SurfaceNone || IsValidSurface(number) == 0) {
    return CopyDibToSurface(number, picture_.Bytes(), picture_.width, picture_.height);
  }
  if (display_->TakePixels(SurfaceOf(number), picture_.pixels, picture_.width, picture_.height)) return 0;
  Say(1, MessageKind::Error, "CopyDibToSurface", FormatText("surface N%d was not locked", number));
  return 2;
}

PixelRows VideoSystem::JpegRows() const {
  return display_->TakesPixels() ? PixelRows::TopDownBgrx : PixelRows::BottomUpBgr;
}

int VideoSystem::BlackLimit(int keyedThreshold, int scale) {
  if (keyedThreshold == kNotKeyed) return 0;
  return scale > 1 && keyedThreshold == 0 ? kHighResolutionSheetThreshold : keyedThreshold & 0xFF;
}

int VideoSystem::LoadGraphics(const std::string& name, PictureKind& kind, int keyedThreshold) {
  // The native path asks for the finest twin the display shows, then the three-times one; a picture
  // without a twin, or whose twins cannot be decoded, is drawn from its own pixels, smoothly scaled,
  // rather than left out. A twin that is there but broken is reported with what is shown instead.
  std::string brokenTwin;
  const auto reportBroken = [&](const std::string& shown) {
    if (!brokenTwin.empty()) {
      Say(1, MessageKind::Warning, "LoadGraphics",
          "graph object <" + brokenTwin + "> was not loaded, <" + shown + "> is shown instead");
    }
  };
  for (const int scale : {kFinestPictureScale, kHighResolutionScale}) {
    if (scale > highResolution_) continue;
    bool twinFound = false;
    if (LoadTwin(name, scale, BlackLimit(keyedThreshold, scale), kind, twinFound) == 0) {
      picture_.scale = scale;
      reportBroken(HighResolutionName(name, scale));
      return 0;
    }
    if (twinFound && brokenTwin.empty()) brokenTwin = HighResolutionName(name, scale);
  }
  reportBroken(name);
  const int blackLimit = BlackLimit(keyedThreshold, 1);
  return archiveMode_ == 1 ? LoadArchivedPicture(name, name, blackLimit, kind)
                           : LoadLoosePicture(name, name, blackLimit, kind);
}

bool VideoSystem::HasPicture(const std::string& name) {
  int entry = 0;
  if (archiveMode_ == 1) return FindGraphicEntry(name, entry) == 0;
  if (report_) report_->RestoreWorkingDirectory();
  const std::string stem = resourcePath_ + "graphics\\" + name;
  return Files().OpenForReading(stem + ".jpg") || Files().OpenForReading(stem + ".bmp");
}

void VideoSystem::ExpectPictures(std::span<const std::string> names, std::span<const int> keyedThresholds) {
  if (!decodeAhead_ || archiveMode_ != 1) return;
  decodeAhead_->DropUntaken();
  for (size_t i = 0; i < names.size() && i < keyedThresholds.size(); ++i) {
    int scale = 1;
    const int entry = FirstEntryLoaded(names[i], scale);
    if (entry >= 0 && !decodeAhead_->Expects(entry)) DecodeEntryAhead(entry, BlackLimit(keyedThresholds[i], scale));
  }
}

bool VideoSystem::PictureWaiting(const std::string& name) {
  if (display_->PreparingPictures()) return true;
  if (!decodeAhead_ || archiveMode_ != 1) return false;
  int scale = 1;
  const int entry = FirstEntryLoaded(name, scale);
  return entry >= 0 && decodeAhead_->Decoding(entry);
}

int VideoSystem::FirstEntryLoaded(const std::string& name, int& scale) const {
  int entry = 0;
  for (const int twinScale : {kFinestPictureScale, kHighResolutionScale}) {
    scale = twinScale;
    if (scale <= highResolution_ && FindGraphicEntry(HighResolutionName(name, scale), entry) == 0) return entry;
  }
  scale = 1;
  return FindGraphicEntry(name, entry) == 0 ? entry : -1;
}

void VideoSystem::DecodeEntryAhead(int entry, int blackLimit) {
  const ArchiveEntry& archived = graphicEntries_->Entry(entry);
  if (archived.type != kJpegPicture || archived.length == 0 || archived.length > kMaxPictureFileBytes) return;
  if (report_) report_->RestoreWorkingDirectory();
  std::unique_ptr<ReadableFile> file = Files().OpenForReading(resourcePath_ + archived.fileName);
  std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[archived.length]);
  if (!file || !bytes || !file->Seek(archived.offset) || !ReadExactly(*file, bytes.get(), archived.length)) return;
  decodeAhead_->Expect(entry, std::move(bytes), archived.length, blackLimit);
}

int VideoSystem::LoadTwin(const std::string& name, int scale, int blackLimit, PictureKind& kind, bool& found) {
  const std::string twin = HighResolutionName(name, scale);
  found = HasPicture(twin);
  if (!found) return 2;
  int width = 0;
  int height = 0;
  const bool sized = DeclaredSize(name, width, height);
  const int loaded = archiveMode_ == 1 ? LoadArchivedPicture(twin, name, blackLimit, kind)
                                       : LoadLoosePicture(twin, name, blackLimit, kind);
  if (loaded != 0) return 2;
  // Whatever decodes under the twin's name is the twin only at exactly its scale times the picture's
  // size (the picture's own bytes stored there would be drawn a fraction of their size).
  const bool whole = picture_.width % scale == 0 && picture_.height % scale == 0;
  const bool matches = sized ? picture_.width == width * scale && picture_.height == height * scale : whole;
  if (matches) return 0;
  ReleasePicture();
  return 2;
}

bool VideoSystem::DeclaredSize(const std::string& name, int& width, int& height) {
  if (report_) report_->RestoreWorkingDirectory();
  std::unique_ptr<ReadableFile> file;
  bool jpeg = false;
  if (archiveMode_ == 1) {
    int entry = 0;
    if (FindGraphicEntry(name, entry) != 0) return false;
    const ArchiveEntry& archived = graphicEntries_->Entry(entry);
    jpeg = archived.type == kJpegPicture;
    file = Files().OpenForReading(resourcePath_ + archived.fileName);
    if (!file || !file->Seek(archived.offset)) return false;
  } else {
    const std::string stem = resourcePath_ + "graphics\\" + name;
    file = Files().OpenForReading(stem + ".jpg");
    jpeg = file != nullptr;
    if (!file) file = Files().OpenForReading(stem + ".bmp");
    if (!file) return false;
  }
  uint8_t head[kDeclaredSizeProbeBytes];
  const size_t got = file->Read(head, sizeof head);
  if (!jpeg) {
    if (got < kBmpHeadersSize || LittleEndian16(head) != kBmpMagic) return false;
    width = static_cast<int32_t>(LittleEndian32(head + kBmpFileHeaderSize + 4));
    height = static_cast<int32_t>(LittleEndian32(head + kBmpFileHeaderSize + 8));
    return true;
  }
  JpegHeader header;
  const bool read = jpeg_->Init() && jpeg_->ReadHeader(head, got, header);
  jpeg_->Free();
  width = header.width;
  height = header.height;
  return read;
}

int VideoSystem::LoadArchivedPicture(const std::string& entryName, const std::string& name, int blackLimit,
                                     PictureKind& kind) {
  const char* function = "LoadGraphics";
  int entry = 0;
  if (FindGraphicEntry(entryName, entry) != 0) {
    Say(1, MessageKind::Error, function, "graph object <" + name + "> was not found");
    return 2;
  }
  const int32_t type = graphicEntries_->Entry(entry).type;
  if (type != kJpegPicture && type != kBmpPicture) {
    Say(1, MessageKind::Error, function, "graph object <" + name + "> has unknown type");
    return 2;
  }
  kind = type == kJpegPicture ? PictureKind::Jpeg : PictureKind::Bmp;
  return LoadPictureOfKind(kind, "", entry, "object", name, blackLimit);
}

int VideoSystem::LoadPictureOfKind(PictureKind kind, const std::string& file, int entry, const char* source,
                                   const std::string& name, int blackLimit) {
  const bool jpeg = kind == PictureKind::Jpeg;
  if ((jpeg ? LoadGraphicsFromJpg(file, entry, blackLimit) : LoadGraphicsFromBmp(file, entry)) == 0) return 0;
  Say(1, MessageKind::Error, "LoadGraphics",
      std::string(jpeg ? "jpg" : "bmp") + " graph " + source + " <" + name + "> was not loaded");
  return 2;
}

int VideoSystem::LoadLoosePicture(const std::string& file, const std::string& name, int blackLimit, PictureKind& kind) {
  const char* function = "LoadGraphics";
  if (report_) report_->RestoreWorkingDirectory();
  const std::string stem = resourcePath_ + "graphics\\" + file;
  if (Files().OpenForReading(stem + ".jpg")) {
    kind = PictureKind::Jpeg;
  } else if (Files().OpenForReading(stem + ".bmp")) {
    kind = PictureKind::Bmp;
  } else {
    Say(1, MessageKind::Error, function, "jpg or bmp graph file <" + name + "> was not found");
    return 2;
  }
  return LoadPictureOfKind(kind, file, LooseFileEntry, "file", name, blackLimit);
}

std::unique_ptr<ReadableFile> VideoSystem::OpenPicture(const std::string& name, int entry, const char* extension,
                                                       const char* function, uint64_t& byteCount,
                                                       bool& rangeFits) {
  if (report_) report_->RestoreWorkingDirectory();
  rangeFits = true;
  if (entry == LooseFileEntry) {
    std::unique_ptr<ReadableFile> file = Files().OpenForReading(resourcePath_ + "graphics\\" + name + extension);
    if (!file) {
      Say(1, MessageKind::Error, function,
          std::string(extension[1] == 'b' ? "bmp" : "jpg") + " graph file <" + name + "> was not found");
      return nullptr;
    }
    byteCount = file->Size();
    return file;
  }
  const bool known = entry >= 0 && entry < graphicEntries_->Count();
  const ArchiveEntry noEntry;
  const ArchiveEntry& archived = known ? graphicEntries_->Entry(entry) : noEntry;
  std::unique_ptr<ReadableFile> file = known ? Files().OpenForReading(resourcePath_ + archived.fileName) : nullptr;
  if (!file) {
    Say(1, MessageKind::Error, function, "res file <" + archived.fileName + "> was not found");
    return nullptr;
  }
  // An entry whose bytes run past the end of its file is refused before anything is allocated.
  rangeFits = static_cast<uint64_t>(archived.offset) + archived.length <= file->Size() &&
              file->Seek(archived.offset);
  byteCount = archived.length;
  return file;
}

int VideoSystem::LoadGraphicsFromBmp(const std::string& name, int entry) {
  const char* function = "LoadGraphicsFromBmp";
  ReleasePicture();
  uint64_t total = 0;
  bool rangeFits = true;
  std::unique_ptr<ReadableFile> file = OpenPicture(name, entry, ".bmp", function, total, rangeFits);
  if (!file) return 2;

  uint8_t fileHeader[kBmpFileHeaderSize] = {};
  uint8_t infoHeader[kBmpInfoHeaderSize] = {};
  const bool headersRead = rangeFits && total >= kBmpHeadersSize && total <= kMaxPictureFileBytes &&
                           ReadExactly(*file, fileHeader, sizeof fileHeader) &&
                           LittleEndian16(fileHeader) == kBmpMagic && ReadExactly(*file, infoHeader, sizeof infoHeader);
  if (!headersRead || !PlainBmpFits(fileHeader, infoHeader, total - kBmpHeadersSize)) {
    Say(1, MessageKind::Error, function, "bmp graph file\\object <" + name + "> is incorrect");
    return 2;
  }
  // Only the rows the header describes are read: whatever follows them is not part of the picture.
  const int32_t width = static_cast<int32_t>(LittleEndian32(infoHeader + 4));
  const int32_t height = static_cast<int32_t>(LittleEndian32(infoHeader + 8));
  if (!picture_.Allocate(width, height, PixelRows::BottomUpBgr)) {
    Say(1, MessageKind::Error, function, "memory for dib was not allocated");
    return 2;
  }
  if (!ReadExactly(*file, picture_.Bytes(), picture_.byteCount)) {
    ReleasePicture();
    Say(1, MessageKind::Error, function, "bmp graph file\\object <" + name + "> is incorrect");
    return 2;
  }
  picture_.kind = PictureKind::Bmp;
  return 0;
}

int VideoSystem::LoadGraphicsFromJpg(const std::string& name, int entry, int blackLimit) {
  const char* function = "LoadGraphicsFromJpg";
  ReleasePicture();
  if (name.empty() && decodeAhead_ && decodeAhead_->Take(entry, blackLimit, picture_)) {
    picture_.kind = PictureKind::Jpeg;
    return 0;
  }
  uint64_t count = 0;
  bool rangeFits = true;
  std::unique_ptr<ReadableFile> file = OpenPicture(name, entry, ".jpg", function, count, rangeFits);
  if (!file) return 2;
  if (!rangeFits || count > kMaxPictureFileBytes) {
    Say(1, MessageKind::Error, function, "JPG parameters was not readed");
    return 2;
  }
  std::unique_ptr<uint8_t[]> compressed(new (std::nothrow) uint8_t[count ? count : 1]);
  if (!compressed) {
    Say(1, MessageKind::Error, function, "memory for jpg was not allocated");
    return 2;
  }
  const bool read = ReadExactly(*file, compressed.get(), count);
  file.reset();

  if (!jpeg_->Init()) {
    Say(1, MessageKind::Error, function, "IJL was not initialized");
    return 2;
  }
  JpegHeader header;
  if (!read || !jpeg_->ReadHeader(compressed.get(), count, header) || !SensibleSize(header.width, header.height)) {
    jpeg_->Free();
    Say(1, MessageKind::Error, function, "JPG parameters was not readed");
    return 2;
  }
  const PixelRows rows = JpegRows();
  if (!picture_.Allocate(header.width, header.height, rows)) {
    jpeg_->Free();
    Say(1, MessageKind::Error, function, "memory for dib was not allocated");
    return 2;
  }
  picture_.kind = PictureKind::Jpeg;
  if (!jpeg_->ReadImage(picture_.Bytes(), PictureBuffer::RowBytes(header.width, rows), rows)) {
    ReleasePicture();
    Say(1, MessageKind::Error, function, "jpg was not readed");
    return 2;
  }
  ApplyBlackThreshold(blackLimit);
  return 0;
}

}  // namespace sylvora
