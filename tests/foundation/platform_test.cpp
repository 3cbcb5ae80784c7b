#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <fstream>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/install_path.h"
#include "tests/doubles/fake_clock.h"

namespace sylvora {
namespace {

namespace fs = std::filesystem;

class DiskTest : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    char pattern[] = "/tmp/sylvora-platform-XXXXXX";
    dir = mkdtemp(pattern);
  }
  void TearDown() override { fs::remove_all(dir); }
  void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  std::string Read(const fs::path& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path.string(), bytes));
    return bytes;
  }
};

TEST_F(DiskTest, BackslashesBecomeSlashesWhenOpening) {
  fs::create_directories(dir / "graphics");
  Write(dir / "graphics" / "a.bmp", "BM");
  EXPECT_EQ(Read(dir.string() + "\\graphics\\a.bmp"), "BM");
  EXPECT_EQ(NativePath("a\\b\\"), "a/b/");
  auto file = Files().OpenForReading((dir / "graphics" / "a.bmp").string());
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Size(), 2u);
  EXPECT_TRUE(file->Seek(2));
  EXPECT_FALSE(file->Seek(3));
  EXPECT_EQ(Files().OpenForReading((dir / "missing").string()), nullptr);
}

TEST_F(DiskTest, ReplaceWholeKeepsTheOldFileWhenTheWriteFails) {
  Write(dir / "options.ini", "old");
  EXPECT_TRUE(Files().ReplaceWhole((dir / "options.ini").string(), "new"));
  EXPECT_EQ(Read(dir / "options.ini"), "new");
  EXPECT_EQ(fs::status(dir / "options.ini").permissions() & fs::perms::others_read, fs::perms::others_read);
  fs::remove(dir / "options.ini");
  fs::create_directories(dir / "options.ini" / "inside");  // the rename over a non-empty folder fails
  EXPECT_FALSE(Files().ReplaceWhole((dir / "options.ini").string(), "newer"));
  EXPECT_TRUE(fs::exists(dir / "options.ini" / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // no temporary left
  EXPECT_FALSE(Files().ReplaceWhole((dir / "no-such-dir" / "x").string(), "x"));
}

TEST_F(DiskTest, InstallPathReadsThePathLine) {
  const std::string conf = (dir / "Sylvora Screensaver.conf").string();
  std::string path = "unchanged";
  EXPECT_FALSE(ReadInstallPath(conf, path));
  Write(conf, "[General]\r\npath=/opt/sylvora\r\n");
  ASSERT_TRUE(ReadInstallPath(conf, path));
  EXPECT_EQ(path, "/opt/sylvora");
  Write(conf, "other=1\n");
  EXPECT_FALSE(ReadInstallPath(conf, path));
  Write(conf, "path=" + std::string(259, 'a') + "\n");
  EXPECT_TRUE(ReadInstallPath(conf, path));
  Write(conf, "path=" + std::string(260, 'a') + "\n");
  path = "unchanged";
  EXPECT_FALSE(ReadInstallPath(conf, path));
  EXPECT_EQ(path, "unchanged");
  Write(conf, "path=\n");
  EXPECT_FALSE(ReadInstallPath(conf, path));
  Write(conf, "path=/usr/lib/sylvora");
  fs::permissions(conf, fs::perms::owner_read);  // the installer's file is read-only for users
  ASSERT_TRUE(ReadInstallPath(conf, path));
  EXPECT_EQ(path, "/usr/lib/sylvora");
}

TEST(ClockTest, FakeClockReplacesTheSystemClockAndWraps) {
  const uint32_t before = TimeGetTime();
  SleepMilliseconds(2);
  EXPECT_GE(static_cast<uint32_t>(TimeGetTime() - before), 2u);
  FakeClock fake(0xFFFFFFF0u);
  ScopedClock installed(fake);
  SleepMilliseconds(0x20);
  EXPECT_EQ(TimeGetTime(), 0x10u);
  EXPECT_EQ(fake.Slept(), 0x20u);
}

}  // namespace
}  // namespace sylvora
