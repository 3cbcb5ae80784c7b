#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace sylvora {
namespace {

// A regular file opened for reading.
class DiskFile final : public ReadableFile {
 public:
  explicit DiskFile(FILE* file) : file_(file) {}
  ~DiskFile() override { std::fclose(file_); }
  DiskFile(const DiskFile&) = delete;
  DiskFile& operator=(const DiskFile&) = delete;

  size_t Read(void* buffer, size_t size) override { return std::fread(buffer, 1, size, file_); }
  bool Seek(uint64_t offset) override {
    if (offset > Size() || offset > static_cast<uint64_t>(std::numeric_limits<long>::max())) return false;
    return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
  }
  uint64_t Size() override {
    struct stat info {};
    return fstat(fileno(file_), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
  }

 private:
  FILE* file_;
};

// Opens native for reading when it is a regular file. The open itself never waits: a named pipe
// with no writer would otherwise block the program behind its black window for ever.
FILE* OpenRegularFile(const std::string& native) {
  const int descriptor = open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  struct stat info {};
  if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(descriptor);
    return nullptr;
  }
  fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
  FILE* file = fdopen(descriptor, "rb");
  if (!file) close(descriptor);
  return file;
}

// Writes all of bytes to an open descriptor and flushes it to the disk.
bool WriteAndSync(int descriptor, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(descriptor, bytes.data() + done, bytes.size() - done);
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return fsync(descriptor) == 0;
}

// Creates or truncates the file at native path and writes bytes; false on any failure.
bool WriteNative(const std::string& native, std::string_view bytes) {
  const int descriptor = open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor < 0) return false;
  const bool written = WriteAndSync(descriptor, bytes);
  return close(descriptor) == 0 && written;
}

// The process's file-creation mask, read without changing it for good.
mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

// The directory part of native, with its trailing slash ("./" for a bare name).
std::string DirectoryOf(const std::string& native) {
  const size_t slash = native.rfind('/');
  return slash == std::string::npos ? "./" : native.substr(0, slash + 1);
}

// More links than this in a chain is a loop; the open at its end then fails.
constexpr int kLinkHopLimit = 40;

// Whether the symbolic link at native may be followed by a save: the kernel's rule for protected links,
// kept by hand because a save renames over the link's target rather than opening it. A link of our own
// is followed; one of another user's only in a directory nobody but its owner (us, or the system) can
// write, since in any other such directory that user could have planted it to aim a save at any file of ours.
bool LinkMayBeFollowed(const std::string& native, const struct stat& link) {
  if (link.st_uid == geteuid()) return true;
  struct stat directory {};
  if (stat(DirectoryOf(native).c_str(), &directory) != 0) return false;
  const bool ownerOnly = (directory.st_mode & (S_IWGRP | S_IWOTH)) == 0;
  return ownerOnly && (directory.st_uid == geteuid() || directory.st_uid == 0);
}

// The file a save really replaces: native itself, or the end of its chain of symbolic links, so a
// settings file kept elsewhere (under version control, say) stays where it is and the link stays a link.
// False when a link on the way may not be followed: the save is refused.
bool FollowLinks(std::string& native) {
  for (int hop = 0; hop < kLinkHopLimit; ++hop) {
    struct stat link {};
    if (lstat(native.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return true;
    if (!LinkMayBeFollowed(native, link)) return false;
    char target[PATH_MAX];
    const ssize_t length = readlink(native.c_str(), target, sizeof target - 1);
    if (length <= 0) return false;
    std::string next(target, static_cast<size_t>(length));
    native = next[0] == '/' ? next : DirectoryOf(native) + next;
  }
  return true;
}

// The permission bits a replacement of native gets: the old file's, or the usual ones for a new
// file. False when native exists and is not a regular file we may write: that file is left alone.
bool ReplacementMode(const std::string& native, mode_t& mode) {
  struct stat info {};
  if (stat(native.c_str(), &info) != 0) {
    mode = 0666 & ~CurrentUmask();
    return errno == ENOENT;
  }
  mode = info.st_mode & 07777;
  return S_ISREG(info.st_mode) && faccessat(AT_FDCWD, native.c_str(), W_OK, AT_EACCESS) == 0;
}

// The name a save of native gives its new file just before renaming it into place.
const char* const kSavingInfix = ".saving-";

std::string SavingName(const std::string& native, pid_t process) {
  return native + kSavingInfix + std::to_string(process);
}

// Removes what saves of native killed between naming their new file and renaming it left behind: files
// of ours called native.saving-<process number> whose process has ended. A save still running elsewhere
// keeps its file.
void SweepInterruptedSaves(const std::string& native) {
  const std::string directoryName = DirectoryOf(native);
  const std::string prefix = native.substr(directoryName.size()) + kSavingInfix;
  DIR* directory = opendir(directoryName.c_str());
  if (!directory) return;
  while (const dirent* entry = readdir(directory)) {
    const std::string_view name(entry->d_name);
    if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 9) continue;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string_view::npos) continue;
    const pid_t process = static_cast<pid_t>(std::stol(std::string(digits)));
    if (process == getpid() || kill(process, 0) == 0 || errno != ESRCH) continue;
    struct stat info {};
    const std::string path = directoryName + std::string(name);
    if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid()) unlink(path.c_str());
  }
  closedir(directory);
}

// Writes bytes into an unnamed file in native's directory, gives it a name only once it is complete
// and renames that over native: a run killed while writing leaves nothing behind, and one killed between
// the naming and the renaming leaves a name the next save sweeps away.
// Returns -1 when the file system has no unnamed files, else 0 or 1 for failure or success.
int ReplaceThroughUnnamedFile(const std::string& native, std::string_view bytes, mode_t mode) {
  const int descriptor = open(DirectoryOf(native).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (descriptor < 0) return errno == EOPNOTSUPP || errno == EISDIR ? -1 : 0;
  bool done = fchmod(descriptor, mode) == 0 && WriteAndSync(descriptor, bytes);
  const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
  const std::string temporary = SavingName(native, getpid());
  unlink(temporary.c_str());  // a leftover of a killed run of ours with the same process number
  done = done && linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0;
  close(descriptor);
  if (done && std::rename(temporary.c_str(), native.c_str()) == 0) return 1;
  unlink(temporary.c_str());
  return 0;
}

// The same through a named temporary file, for file systems without unnamed ones. Its name is
// created exclusively, so a name planted in a shared directory is never followed.
bool ReplaceThroughNamedFile(const std::string& native, std::string_view bytes, mode_t mode) {
  const std::string temporary = SavingName(native, getpid());
  unlink(temporary.c_str());
  const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (descriptor < 0) return false;
  const bool written = fchmod(descriptor, mode) == 0 && WriteAndSync(descriptor, bytes);
  const bool closed = close(descriptor) == 0;
  if (written && closed && std::rename(temporary.c_str(), native.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

bool ReplaceNative(std::string native, std::string_view bytes) {
  mode_t mode = 0;
  if (!FollowLinks(native) || !ReplacementMode(native, mode)) return false;
  SweepInterruptedSaves(native);
  const int unnamed = ReplaceThroughUnnamedFile(native, bytes, mode);
  return unnamed >= 0 ? unnamed == 1 : ReplaceThroughNamedFile(native, bytes, mode);
}

bool IsDirectory(const std::string& native) {
  struct stat info {};
  return stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// mkdir -p with owner-only permissions for whatever it creates.
bool MakeNativeDirectories(const std::string& native) {
  for (size_t slash = native.find('/', 1); slash != std::string::npos; slash = native.find('/', slash + 1)) {
    mkdir(native.substr(0, slash).c_str(), 0700);
  }
  mkdir(native.c_str(), 0700);
  return IsDirectory(native);
}

class DiskFileSystem final : public FileSystem {
 public:
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
    FILE* file = OpenRegularFile(NativePath(path));
    if (!file) return nullptr;
    return std::make_unique<DiskFile>(file);
  }
  bool IsFile(const std::string& path) override {
    struct stat info {};
    return stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
  }
  bool WriteWhole(const std::string& path, std::string_view bytes) override {
    return WriteNative(NativePath(path), bytes);
  }
  bool ReplaceWhole(const std::string& path, std::string_view bytes) override {
    return ReplaceNative(NativePath(path), bytes);
  }
  bool MakeDirectories(const std::string& path) override { return MakeNativeDirectories(NativePath(path)); }
  bool Rename(const std::string& from, const std::string& to) override {
    return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
  }
  bool Remove(const std::string& path) override { return std::remove(NativePath(path).c_str()) == 0; }
  std::string CurrentDirectory() override {
    char* current = getcwd(nullptr, 0);
    if (!current) return std::string();
    std::string directory(current);
    std::free(current);
    return directory;
  }
  bool ChangeDirectory(const std::string& path) override { return chdir(NativePath(path).c_str()) == 0; }
};

DiskFileSystem diskFiles;
FileSystem* installedFiles = nullptr;

}  // namespace
FileSystem& Files() { return installedFiles ? *installedFiles : diskFiles; }

void UseFileSystem(FileSystem* files) { installedFiles = files; }

std::string NativePath(std::string_view path) {
  std::string native(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

bool ReadWholeFile(const std::string& path, size_t limit, std::string& bytes) {
  auto file = Files().OpenForReading(path);
  if (!file) return false;
  const uint64_t size = file->Size();
  if (size > limit) return false;
  bytes.resize(static_cast<size_t>(size));
  return file->Read(bytes.data(), bytes.size()) == bytes.size();
}

}  // namespace sylvora
