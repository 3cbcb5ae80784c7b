#include <gtest/gtest.h>

#include <memory>

#include "archive/index_writer.h"
#include "archive/resource_index.h"
#include "report/report.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {
namespace {

std::string U32(uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
          static_cast<char>(v >> 24)};
}

// An index header followed by raw entry bytes.
std::string Index(int32_t count, const std::string& entries, const std::string& magic = "NRX") {
  return EncodeIndexString(magic) + U32(7) + U32(static_cast<uint32_t>(count)) + entries;
}

std::string Entry(int32_t type, const std::string& encodedName, uint32_t offset = 0, uint32_t length = 10) {
  return U32(static_cast<uint32_t>(type)) + EncodeIndexString("data.dat") + encodedName + U32(offset) + U32(length);
}

class ArchiveTest : public ::testing::Test {
 protected:
  MemoryFileSystem files;
  ScopedFileSystem useFiles{files};
  std::unique_ptr<Report> log = std::make_unique<Report>(1, "/i\\");
  std::unique_ptr<ArchiveTable> table = std::make_unique<ArchiveTable>();

  int Load(const std::string& bytes, const ArchiveReaderConfig& config) {
    files.Put("/i/data.nrx", bytes);
    return table->Load(*log, "/i\\", config);
  }
  const ReportMessage& Last() { return log->Message(log->MessageCount() - 1); }
};

TEST_F(ArchiveTest, MissingIndexFailsEachReaderInItsOwnWay) {
  EXPECT_EQ(table->Load(*log, "/i\\", kGraphicArchive), 2);
  EXPECT_EQ(Last().text, "nrx-file(data.nrx) was not found");
  EXPECT_EQ(Last().kind, 2);
  EXPECT_EQ(Last().module, "KALDRA.VIDEO");
  EXPECT_EQ(Last().function, "LoadResHeader");
  EXPECT_EQ(table->Load(*log, "/i\\", kSoundArchive), 1);
  EXPECT_EQ(Last().kind, 1);
  EXPECT_EQ(Last().module, "KALDRA.AUDIO");
}

TEST_F(ArchiveTest, EachReaderKeepsItsOwnTypes) {
  std::vector<PackItem> items = {{0, "bmp", "1"}, {1, "jpg", "22"}, {2, "s2", "3"}, {6, "s6", "4"},
                                 {7, "seven", "5"}, {-1, "minus", "6"}};
  files.Put("/i/data.nrx", BuildIndex(items, "data.dat"));
  ASSERT_EQ(table->Load(*log, "/i\\", kGraphicArchive), 0);
  EXPECT_EQ(Last().text, "nrx-file(data.nrx) was successfully loaded, 2 graphic objects was found");
  EXPECT_EQ(Last().kind, 0);
  ASSERT_EQ(table->Count(), 2);
  EXPECT_EQ(table->Entry(1).name, "jpg");
  EXPECT_EQ(table->Entry(1).fileName, "data.dat");
  EXPECT_EQ(table->Entry(1).offset, 1u);
  EXPECT_EQ(table->Entry(1).length, 2u);
  ASSERT_EQ(table->Load(*log, "/i\\", kSoundArchive), 0);
  EXPECT_EQ(Last().text, "nrx-file(data.nrx) was successfully loaded, 2 sound objects was found");
  EXPECT_EQ(table->Entry(1).type, 6);
}

TEST_F(ArchiveTest, EmptyIndexLoadsAndFindsNothing) {
  ASSERT_EQ(Load(Index(0, ""), kGraphicArchive), 0);
  EXPECT_EQ(Last().text, "nrx-file(data.nrx) was successfully loaded, 0 graphic objects was found");
  int index = 5;
  EXPECT_EQ(table->Find("back0_0", index), 1);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(Load(Index(-3, ""), kGraphicArchive), 0);
}

TEST_F(ArchiveTest, MagicIsCaseSensitiveAndExact) {
  for (const char* magic : {"nrx", "NRXX", "NR"}) {
    EXPECT_EQ(Load(Index(0, "", magic), kGraphicArchive), 2) << magic;
    EXPECT_EQ(Last().text, "nrx-file(data.nrx) is corrupted");
  }
}

TEST_F(ArchiveTest, LookupIsExactAndFirstMatchWins) {
  ASSERT_EQ(Load(Index(3, Entry(1, EncodeIndexString("Sky"), 1) + Entry(1, EncodeIndexString("sky"), 2) +
                              Entry(1, EncodeIndexString("sky"), 3)),
                 kGraphicArchive),
            0);
  int index = -1;
  ASSERT_EQ(table->Find("sky", index), 0);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(table->Find("SKY", index), 1);
}

TEST_F(ArchiveTest, LongAndWideStringEncodings) {
  const std::string n256(256, 'a'), n300(300, 'b'), n254(254, 'c');
  const std::string wide = std::string("\xFF\xFE\xFF", 3) + "\x04" + std::string("h\0\xE9\0\x3D\xD8\x00\xDE", 6 + 2);
  ASSERT_EQ(EncodeIndexString(n256).substr(0, 3), std::string("\xFF\x00\x01", 3));
  const std::string entries = Entry(0, std::string("\xFF\x00\x01", 3) + n256) +
                              Entry(0, std::string("\xFF\xFF\xFF", 3) + U32(300) + n300) +
                              Entry(0, "\xFE" + n254) + Entry(0, wide);
  ASSERT_EQ(Load(Index(4, entries), kGraphicArchive), 0);
  EXPECT_EQ(table->Entry(0).name, n256);
  EXPECT_EQ(table->Entry(1).name, n300);
  EXPECT_EQ(table->Entry(2).name, n254);
  EXPECT_EQ(table->Entry(3).name, "h\xC3\xA9\xF0\x9F\x98\x80");
}

TEST_F(ArchiveTest, TruncatedOrLyingIndexesAreCorrupted) {
  const std::string good = Entry(0, EncodeIndexString("a"));
  const std::string cases[] = {
      Index(2, good),                                                    // fewer entries than counted
      Index(1, good.substr(0, good.size() - 1)),                         // cut inside the last entry
      Index(1, U32(0) + std::string("\xFF\xFF\xFF", 3) + U32(0x7FFFFFF0)),  // absurd declared length
      Index(1, U32(0) + std::string("\xFF\xFE\xFF\xFF\xFE", 5)),           // wide marker twice
      std::string("\x03NR", 3),                                          // cut inside the magic
      EncodeIndexString("NRX") + U32(7),                                 // ends before the entry count
      EncodeIndexString("NRX") + U32(7) + "\x01\x00",                    // ends inside the entry count
  };
  for (const std::string& bytes : cases) {
    EXPECT_EQ(Load(bytes, kSoundArchive), 1);
    EXPECT_EQ(Last().text, "nrx-file(data.nrx) is corrupted");
    EXPECT_EQ(table->Count(), 0);
  }
}

TEST_F(ArchiveTest, MoreThanAThousandEntriesStopAtTheCapacityWithOneWarning) {
  std::vector<PackItem> items;
  for (int i = 0; i < 1003; ++i) items.push_back({1, "p" + std::to_string(i), "x"});
  files.Put("/i/data.nrx", BuildIndex(items, "d"));
  ASSERT_EQ(table->Load(*log, "/i\\", kGraphicArchive), 0);
  EXPECT_EQ(table->Count(), 1000);
  EXPECT_EQ(table->Entry(999).name, "p999");
  ASSERT_EQ(log->WarningCount(), 1);
  EXPECT_EQ(log->WarningEntry(0).module, "KALDRA.VIDEO");
  EXPECT_EQ(Last().text, "nrx-file(data.nrx) was successfully loaded, 1000 graphic objects was found");
}

TEST_F(ArchiveTest, WriterPacksDataAtConsecutiveOffsets) {
  std::vector<PackItem> items = {{1, "a", "AAAA"}, {0, "b", "BB"}};
  ASSERT_TRUE(WriteArchive("/out", items, "data.dat"));
  EXPECT_EQ(files.At("/out/data.dat"), "AAAABB");
  files.Put("/i/data.nrx", files.At("/out/data.nrx"));
  ASSERT_EQ(table->Load(*log, "/i\\", kGraphicArchive), 0);
  EXPECT_EQ(table->Entry(1).offset, 4u);
  EXPECT_EQ(table->Entry(1).length, 2u);
  EXPECT_EQ(EncodeIndexString(std::string(0x10000, 'z')).substr(0, 7), std::string("\xFF\xFF\xFF\x00\x00\x01\x00", 7));
}

}  // namespace
}  // namespace sylvora
