#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/install_path.h"
#include "platform/pointer_track.h"
#include "platform/session_bus.h"
#include "platform/user_dirs.h"
#include "platform/video_driver_choice.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/memory_ceiling.h"

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
    EXPECT_TRUE(ReadWholeFile(path.string(), 1024, bytes));
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

// A file longer than what its reader allows reads as unreadable, whatever its length claims; a sparse
// terabyte costs no memory.
TEST_F(DiskTest, AFileLongerThanItsLimitReadsAsUnreadable) {
  Write(dir / "eight", "12345678");
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile((dir / "eight").string(), 8, bytes));
  EXPECT_EQ(bytes, "12345678");
  EXPECT_FALSE(ReadWholeFile((dir / "eight").string(), 7, bytes));
  const fs::path setting = dir / "Sylvora Screensaver.conf";
  Write(setting, "path=/opt/sylvora\n");
  ASSERT_EQ(truncate(setting.c_str(), kSparseFileLength), 0);
  EXPECT_TRUE(PassesUnderMemoryCeiling(kTestMemoryCeiling, [&] {
    std::string directory;
    return !ReadInstallPath(setting.string(), directory) && directory.empty();
  }));
  // The ceiling catches a read that trusts the file's length.
  EXPECT_FALSE(PassesUnderMemoryCeiling(kTestMemoryCeiling, [&] {
    std::string whole;
    return ReadWholeFile(setting.string(), size_t{1} << 50, whole) || true;
  }));
}

// A save follows a link only where the kernel's rule for protected links would: another user's link in a
// directory others can write may aim anywhere, and the save is refused, leaving the aimed-at file alone.
TEST_F(DiskTest, ASaveFollowsAnotherUsersLinkOnlyInADirectoryOnlyItsOwnerWrites) {
  if (geteuid() != 0) GTEST_SKIP() << "making another user's link needs root";
  constexpr uid_t kOtherUser = 54321;
  Write(dir / "victim", "precious");
  for (const auto mode : {0777, 01777, 0755}) {
    SCOPED_TRACE(mode);
    const fs::path shared = dir / ("shared-" + std::to_string(mode));
    fs::create_directories(shared);
    ASSERT_EQ(chmod(shared.c_str(), static_cast<mode_t>(mode)), 0);
    fs::create_symlink(dir / "victim", shared / "options.ini");
    ASSERT_EQ(lchown((shared / "options.ini").c_str(), kOtherUser, kOtherUser), 0);
    const bool followed = mode == 0755;  // the directory is ours (root's) alone
    EXPECT_EQ(Files().ReplaceWhole((shared / "options.ini").string(), "options"), followed);
    EXPECT_EQ(Read(dir / "victim"), followed ? "options" : "precious");
    EXPECT_TRUE(fs::is_symlink(shared / "options.ini"));
    Write(dir / "victim", "precious");
  }
  // Our own link is followed wherever it is.
  fs::create_symlink(dir / "victim", dir / "shared-511" / "own.ini");
  EXPECT_TRUE(Files().ReplaceWhole((dir / "shared-511" / "own.ini").string(), "mine"));
  EXPECT_EQ(Read(dir / "victim"), "mine");
}

// A run killed between naming its new file and renaming it leaves options.ini.saving-<pid>; the next save
// removes every such file whose process has ended, and nothing else.
TEST_F(DiskTest, ASaveSweepsWhatKilledSavesLeftBehind) {
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
  const std::string dead = "options.ini.saving-" + std::to_string(ended);
  const std::string alive = "options.ini.saving-" + std::to_string(getppid());
  for (const std::string& name : {dead, alive, std::string("options.ini.saving-x1"), std::string("other.saving-1")}) {
    Write(dir / name, "half");
  }
  ASSERT_TRUE(Files().ReplaceWhole((dir / "options.ini").string(), "whole"));
  EXPECT_FALSE(fs::exists(dir / dead));
  for (const std::string& name : {alive, std::string("options.ini.saving-x1"), std::string("other.saving-1")}) {
    EXPECT_TRUE(fs::exists(dir / name)) << name;
  }
  EXPECT_EQ(Read(dir / "options.ini"), "whole");
}

// A bus that runs is used; where none does, every client is given an address it cannot connect to, so
// none starts one.
TEST_F(DiskTest, NoSessionBusIsStartedWhereNoneRuns) {
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = (dir / "with" / "bus").string();
  fs::create_directories(dir / "with");
  fs::create_directories(dir / "without");
  Write(dir / "without" / "bus", "a plain file is no bus");
  socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  struct Case {
    const char* address;
    std::string runtime;
    const char* expected;
  };
  for (const Case& c : {Case{"unix:path=/run/bus", "", "unix:path=/run/bus"},
                        Case{nullptr, (dir / "with").string(), nullptr}, Case{"", (dir / "with").string(), ""},
                        Case{nullptr, (dir / "without").string(), "disabled:"}, Case{nullptr, "", "disabled:"}}) {
    SCOPED_TRACE(c.runtime);
    if (c.address)
      setenv("DBUS_SESSION_BUS_ADDRESS", c.address, 1);
    else
      unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("XDG_RUNTIME_DIR", c.runtime.c_str(), 1);
    KeepFromStartingASessionBus();
    const char* now = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_EQ(now ? std::string(now) : "(unset)", c.expected ? std::string(c.expected) : "(unset)");
  }
  close(listener);
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  unsetenv("XDG_RUNTIME_DIR");
}

// Anything but a regular file reads as missing, and opening never waits (a pipe with no writer).
TEST_F(DiskTest, DirectoriesAndPipesReadAsMissing) {
  fs::create_directories(dir / "options.ini");
  ASSERT_EQ(mkfifo((dir / "data.nrx").c_str(), 0600), 0);
  for (const char* name : {"options.ini", "data.nrx"}) {
    EXPECT_EQ(Files().OpenForReading((dir / name).string()), nullptr) << name;
    EXPECT_FALSE(Files().IsFile((dir / name).string())) << name;
    std::string bytes;
    EXPECT_FALSE(ReadWholeFile((dir / name).string(), 1024, bytes)) << name;
  }
  Write(dir / "plain", "x");
  fs::create_symlink(dir / "plain", dir / "link");
  EXPECT_TRUE(Files().IsFile((dir / "link").string()));
}

TEST_F(DiskTest, ReplacingFollowsLinksAndKeepsPermissionBits) {
  fs::create_directories(dir / "dotfiles");
  Write(dir / "dotfiles" / "options.ini", "old");
  chmod((dir / "dotfiles" / "options.ini").c_str(), 0640);
  fs::create_symlink("dotfiles/options.ini", dir / "options.ini");
  ASSERT_TRUE(Files().ReplaceWhole((dir / "options.ini").string(), "new"));
  EXPECT_TRUE(fs::is_symlink(dir / "options.ini"));
  EXPECT_EQ(Read(dir / "dotfiles" / "options.ini"), "new");
  struct stat info {};
  ASSERT_EQ(stat((dir / "dotfiles" / "options.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "dotfiles"), fs::directory_iterator()), 1);
}

// Runs body in a child process as an unprivileged user (root may write anything); its exit code.
int AsUnprivilegedUser(const fs::path& dir, bool (*body)(const fs::path&)) {
  const pid_t child = fork();
  if (child == 0) {
    if (getuid() == 0 && (chown(dir.c_str(), 65534, 65534) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    _exit(body(dir) ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A file its user may not write is left alone, however writable its directory.
TEST_F(DiskTest, AFileTheUserMayNotWriteIsLeftAlone) {
  Write(dir / "read-only.ini", "mine");
  Write(dir / "unreadable.ini", "mine too");
  chmod((dir / "read-only.ini").c_str(), 0444);
  chmod((dir / "unreadable.ini").c_str(), 0000);
  const int code = AsUnprivilegedUser(dir, [](const fs::path& d) {
    return !Files().ReplaceWhole((d / "read-only.ini").string(), "new") &&
           !Files().ReplaceWhole((d / "unreadable.ini").string(), "new");
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Read(dir / "read-only.ini"), "mine");
  EXPECT_EQ(fs::file_size(dir / "unreadable.ini"), 8u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

// A save killed at any moment leaves either file whole and no temporary file behind.
TEST_F(DiskTest, ASaveKilledMidwayLeavesNoTemporaryFile) {
  const std::string big(8 << 20, 'x');
  Write(dir / "options.ini", "old");
  for (int attempt = 0; attempt < 12; ++attempt) {
    const pid_t child = fork();
    if (child == 0) {
      for (;;) Files().ReplaceWhole((dir / "options.ini").string(), big);
    }
    usleep(static_cast<useconds_t>(2000 + attempt * 3000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  const auto size = fs::file_size(dir / "options.ini");
  EXPECT_TRUE(size == 3 || size == big.size()) << size;
}

TEST_F(DiskTest, DirectoriesAreMadeOwnerOnlyWithTheirParents) {
  const fs::path deep = dir / "config" / "sylvora";
  ASSERT_TRUE(Files().MakeDirectories(deep.string() + "/"));
  EXPECT_TRUE(Files().MakeDirectories(deep.string()));  // already there
  for (const fs::path& made : {dir / "config", deep}) {
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
  }
  Write(dir / "file", "x");
  EXPECT_FALSE(Files().MakeDirectories((dir / "file" / "below").string()));
}

// The working directory is remembered whole, however deep.
TEST_F(DiskTest, TheCurrentDirectoryIsReadWhole) {
  fs::path deep = dir;
  for (int level = 0; level < 40; ++level) deep /= "a-rather-long-directory-name";
  fs::create_directories(deep);
  const std::string before = Files().CurrentDirectory();
  ASSERT_TRUE(Files().ChangeDirectory(deep.string()));
  EXPECT_EQ(Files().CurrentDirectory(), deep.string());
  Files().ChangeDirectory(before);
}

TEST(UserDirectories, FollowTheXdgVariablesElseTheHomeDirectory) {
  struct Case {
    const char* config;
    const char* state;
    const char* runtime;
    const char* home;
    std::string expectedConfig, expectedState, expectedRuntime;
  };
  const Case cases[] = {
      {"/c", "/s/", "/run/user/7", "/h", "/c/sylvora/", "/s/sylvora/", "/run/user/7/"},
      {nullptr, nullptr, nullptr, "/h", "/h/.config/sylvora/", "/h/.local/state/sylvora/", ""},
      {"relative", "", "also/relative", "/h/", "/h/.config/sylvora/", "/h/.local/state/sylvora/", ""},
  };
  auto set = [](const char* name, const char* value) { value ? setenv(name, value, 1) : unsetenv(name); };
  for (const Case& c : cases) {
    set("XDG_CONFIG_HOME", c.config);
    set("XDG_STATE_HOME", c.state);
    set("XDG_RUNTIME_DIR", c.runtime);
    set("HOME", c.home);
    EXPECT_EQ(UserConfigDirectory(), c.expectedConfig);
    EXPECT_EQ(UserStateDirectory(), c.expectedState);
    EXPECT_EQ(UserRuntimeDirectory(), c.expectedRuntime);
  }
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

// Where the pointer is told only over the window: the window appearing under a still pointer is no
// movement, moves over the window are, and where the pointer went while away from the window shows only
// as where it comes back.
TEST(PointerTrackTest, StartsWhereThePointerIsFirstSeenAndFollowsTheWindowAfterwards) {
  struct Step {
    const char* what;
    bool over;
    int windowX, windowY;
    int x, y;
  };
  constexpr Step kSteps[] = {
      {"not yet over the window: the origin", false, 0, 0, 0, 0},
      {"first seen at the window's middle", true, 400, 300, 0, 0},
      {"13 pixels right", true, 413, 300, 13, 0},
      {"12 pixels down from there", true, 413, 312, 13, 12},
      {"gone from the window: the last place", false, 0, 0, 13, 12},
      {"back at the top left corner", true, 0, 0, -400, -300},
      {"back at the first place", true, 400, 300, 0, 0},
  };
  PointerTrack track;
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.what);
    int x = -1, y = -1;
    track.Report(step.over, step.windowX, step.windowY, x, y);
    EXPECT_EQ(x, step.x);
    EXPECT_EQ(y, step.y);
  }
}

// The video driver our window and a daemon's get, for every kind of compositor and user's choice.
TEST(VideoDriverChoiceTest, WaylandFirstWhereNamedAndSeatedNeverWhereSeatless) {
  constexpr Compositor kAbsent = Compositor::Absent, kSeat = Compositor::WithSeat, kNoSeat = Compositor::WithoutSeat;
  struct Row {
    const char* userDriver;
    bool named;
    Compositor compositor;
    bool ours;
    const char* hint;
    bool waylandFirst;
    bool refused;
  };
  constexpr Row kRows[] = {
      {nullptr, true, kSeat, true, "wayland,x11", true, false},
      {nullptr, true, kSeat, false, nullptr, false, false},  // a daemon's X window
      {nullptr, false, kSeat, true, nullptr, false, false},  // only the default socket answers
      {"x11", true, kSeat, true, nullptr, false, false},
      {"wayland", true, kSeat, true, nullptr, false, false},
      {nullptr, true, kAbsent, true, nullptr, false, false},
      {nullptr, false, kAbsent, true, nullptr, false, false},
      {nullptr, true, kNoSeat, true, "x11", false, false},
      {nullptr, false, kNoSeat, false, "x11", false, false},
      {"x11", true, kNoSeat, true, nullptr, false, false},
      {"wayland", true, kNoSeat, true, nullptr, false, true},
      {"x11,wayland", true, kNoSeat, true, nullptr, false, true},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(std::string(row.userDriver ? row.userDriver : "no choice") + (row.named ? ", named" : "") +
                 ", compositor " + std::to_string(static_cast<int>(row.compositor)) + (row.ours ? ", ours" : ""));
    const VideoDriverChoice choice = ChooseVideoDriver(row.userDriver, row.named, row.compositor, row.ours);
    EXPECT_STREQ(choice.driverHint, row.hint);
    EXPECT_EQ(choice.waylandFirst, row.waylandFirst);
    EXPECT_STREQ(choice.refusal, row.refused ? kNoSeatRefusal : nullptr);
  }
}

}  // namespace
}  // namespace sylvora
