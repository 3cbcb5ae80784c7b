#include "archive/resource_index.h"

#include <cstring>
#include <memory>

#include "platform/files.h"
#include "report/report.h"

namespace sylvora {

const ArchiveReaderConfig kGraphicArchive{"KALDRA.VIDEO", static_cast<int>(MessageKind::Error), 2,
                                          kBmpPicture, kJpegPicture, " graphic objects was found"};
const ArchiveReaderConfig kSoundArchive{"KALDRA.AUDIO", static_cast<int>(MessageKind::Warning), 1,
                                        kFirstSoundType, kLastSoundType, " sound objects was found"};

namespace {

// Sequential little-endian reads of the index through one fixed buffer. Any read past the end
// of the file marks the stream failed; callers check Ok() once per entry.
class IndexStream {
 public:
  explicit IndexStream(ReadableFile& file) : file_(file), remaining_(file.Size()) {}

  bool Ok() const { return ok_; }

  uint32_t U8() {
    uint8_t byte = 0;
    Bytes(&byte, 1);
    return byte;
  }
  uint32_t U16() {
    uint8_t bytes[2] = {};
    Bytes(bytes, 2);
    return bytes[0] | (bytes[1] << 8);
  }
  uint32_t U32() {
    uint8_t bytes[4] = {};
    Bytes(bytes, 4);
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
  }

  // A length-prefixed string; UTF-16 strings come back as UTF-8. A declared length longer than what
  // is left of the file fails the stream without allocating it.
  std::string String() {
    bool wide = false;
    uint64_t length = Length(wide);
    if (!wide) return Text(length);
    bool nested = false;
    length = Length(nested);
    if (nested) return Fail();
    return WideText(length);
  }

 private:
  // Steps one and two of the length prefix; sets wide on the UTF-16 marker.
  uint64_t Length(bool& wide) {
    const uint32_t first = U8();
    if (first < 0xFF) return first;
    const uint32_t word = U16();
    if (word < 0xFFFE) return word;
    if (word == 0xFFFF) return U32();
    wide = true;
    return 0;
  }

  std::string Text(uint64_t length) {
    if (!ok_ || length > Left()) return Fail();
    std::string text(static_cast<size_t>(length), '\0');
    Bytes(text.data(), text.size());
    return text;
  }

  std::string WideText(uint64_t length) {
    if (!ok_ || length * 2 > Left()) return Fail();
    std::string text;
    for (uint64_t i = 0; i < length; ++i) {
      uint32_t unit = U16();
      if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < length) {
        const uint32_t low = U16();
        ++i;
        unit = (low >= 0xDC00 && low < 0xE000) ? 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00) : '?';
      } else if (unit >= 0xD800 && unit < 0xE000) {
        unit = '?';
      }
      AppendUtf8(text, unit);
    }
    return text;
  }

  static void AppendUtf8(std::string& text, uint32_t code) {
    if (code < 0x80) {
      text += static_cast<char>(code);
    } else if (code < 0x800) {
      text += static_cast<char>(0xC0 | (code >> 6));
      text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      text += static_cast<char>(0xE0 | (code >> 12));
      text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      text += static_cast<char>(0xF0 | (code >> 18));
      text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  uint64_t Left() const { return remaining_ + (filled_ - position_); }

  std::string Fail() {
    ok_ = false;
    return std::string();
  }

  void Bytes(void* out, size_t size) {
    uint8_t* target = static_cast<uint8_t*>(out);
    while (size > 0 && ok_) {
      if (position_ == filled_ && !Refill()) {
        ok_ = false;
        return;
      }
      const size_t chunk = std::min(size, filled_ - position_);
      std::memcpy(target, buffer_.data() + position_, chunk);
      position_ += chunk;
      target += chunk;
      size -= chunk;
    }
  }

  bool Refill() {
    filled_ = file_.Read(buffer_.data(), buffer_.size());
    position_ = 0;
    remaining_ -= std::min<uint64_t>(remaining_, filled_);
    return filled_ > 0;
  }

  ReadableFile& file_;
  std::array<uint8_t, ArchiveTable::kReadBufferSize> buffer_{};
  size_t position_ = 0;
  size_t filled_ = 0;
  uint64_t remaining_;
  bool ok_ = true;
};

// The message text is the reader's own; only its module, kind and result change.
int Failure(Report& report, const ArchiveReaderConfig& config, const char* text) {
  report.AddMessage(1, config.failureKind, config.module, "LoadResHeader", text);
  return config.failureResult;
}

}  // namespace

int ArchiveTable::Load(Report& report, const std::string& resourcePath, const ArchiveReaderConfig& config) {
  report.RestoreWorkingDirectory();
  bool overflowed = false;
  if (const char* failure = Read(resourcePath, config, overflowed)) return Failure(report, config, failure);
  if (overflowed) {
    report.AddMessage(
        1, MessageKind::Warning, config.module, "LoadResHeader",
        "nrx-file(data.nrx) lists more than " + std::to_string(kCapacity) + " objects, the rest was ignored");
  }
  report.AddMessage(1, MessageKind::Report, config.module, "LoadResHeader",
                    "nrx-file(data.nrx) was successfully loaded, " + std::to_string(count_) + config.foundSuffix);
  return 0;
}

bool ArchiveTable::LoadQuietly(const std::string& resourcePath, const ArchiveReaderConfig& config) {
  bool overflowed = false;
  return Read(resourcePath, config, overflowed) == nullptr;
}

const char* ArchiveTable::Read(const std::string& resourcePath, const ArchiveReaderConfig& config, bool& overflowed) {
  count_ = 0;
  auto file = Files().OpenForReading(resourcePath + "data.nrx");
  if (!file) return "nrx-file(data.nrx) was not found";

  IndexStream stream(*file);
  const std::string magic = stream.String();
  stream.U32();
  if (!stream.Ok() || magic != "NRX") return "nrx-file(data.nrx) is corrupted";

  // An index that ends inside its entry count is as truncated as one that ends inside an entry.
  const int32_t entryCount = static_cast<int32_t>(stream.U32());
  if (!stream.Ok()) return "nrx-file(data.nrx) is corrupted";
  for (int32_t i = 0; i < entryCount; ++i) {
    ArchiveEntry entry;
    entry.type = static_cast<int32_t>(stream.U32());
    entry.fileName = stream.String();
    entry.name = stream.String();
    entry.offset = stream.U32();
    entry.length = stream.U32();
    if (!stream.Ok()) {
      count_ = 0;
      return "nrx-file(data.nrx) is corrupted";
    }
    if (entry.type < config.firstType || entry.type > config.lastType) continue;
    if (count_ < kCapacity) {
      entries_[count_++] = std::move(entry);
    } else {
      overflowed = true;
    }
  }
  return nullptr;
}

int ArchiveTable::Find(const std::string& name, int& index) const {
  for (int i = 0; i < count_; ++i) {
    if (entries_[i].name == name) {
      index = i;
      return 0;
    }
  }
  index = 0;
  return 1;
}

}  // namespace sylvora
