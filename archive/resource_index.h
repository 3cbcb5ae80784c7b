#pragma once
// The data.nrx index: named pictures and sounds with the file, byte offset and length holding each.
// Video and audio each read the whole index into a table of their own, keeping only their entry types.
#include <array>
#include <cstdint>
#include <string>

namespace sylvora {

class Report;

// One resource of the index.
struct ArchiveEntry {
  int32_t type = 0;      // ArchiveEntryType
  std::string fileName;  // relative to the resource path
  std::string name;      // the lookup key
  uint32_t offset = 0;
  uint32_t length = 0;
};

// Entry types of the index; 2 to 6 are sounds that are stored but not told apart.
enum ArchiveEntryType : int32_t {
  kBmpPicture = 0,
  kJpegPicture = 1,
  kFirstSoundType = 2,
  kLastSoundType = 6,
};

// What tells the video reader from the audio reader: the types kept and how failures are reported.
struct ArchiveReaderConfig {
  const char* module;        // "KALDRA.VIDEO" or "KALDRA.AUDIO"
  int failureKind;           // MessageKind of the not-found and corrupted messages
  int failureResult;         // LoadResHeader's result on failure
  int32_t firstType;         // lowest type kept
  int32_t lastType;          // highest type kept
  const char* foundSuffix;   // ends the success text, after the count
};

// The video reader's configuration: picture entries, failures are Errors returning 2.
extern const ArchiveReaderConfig kGraphicArchive;
// The audio reader's configuration: sound entries, failures are Warnings returning 1.
extern const ArchiveReaderConfig kSoundArchive;

// A reader's fixed table of entries, filled once by Load.
class ArchiveTable {
 public:
  static constexpr int kCapacity = 1000;
  // Read buffer size: the index is read sequentially through one buffer of this size.
  static constexpr size_t kReadBufferSize = 4096;

  // Reads resourcePath + "data.nrx" and keeps the entries of config's types. Reports the outcome under
  // config.module / "LoadResHeader"; returns 0 on success, config.failureResult when the index is missing,
  // corrupted or truncated (the table is then empty).
  int Load(Report& report, const std::string& resourcePath, const ArchiveReaderConfig& config);
  // The same reading without a word to the report: for a look at what is installed before the
  // subsystems start (the shell's choice of display path). False when Load would fail.
  bool LoadQuietly(const std::string& resourcePath, const ArchiveReaderConfig& config);
  // Finds name exactly (case-sensitive, first match). 0 with index set; 1 with index 0 when absent.
  int Find(const std::string& name, int& index) const;

  int Count() const { return count_; }
  const ArchiveEntry& Entry(int index) const { return entries_[index]; }

 private:
  // Fills the table; the failure text Load reports, or nullptr. overflowed tells of entries left out.
  const char* Read(const std::string& resourcePath, const ArchiveReaderConfig& config, bool& overflowed);

  std::array<ArchiveEntry, kCapacity> entries_;
  int count_ = 0;
};

}  // namespace sylvora
