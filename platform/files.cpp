#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace sylvora {
namespace {

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
    const long here = std::ftell(file_);
    std::fseek(file_, 0, SEEK_END);
    const long end = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    return end < 0 ? 0 : static_cast<uint64_t>(end);
  }

 private:
  FILE* file_;
};

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

// Writes bytes to a fresh, uniquely named file beside native and renames it over native. The
// temporary name is created exclusively, so a name planted in a shared directory is never followed.
bool ReplaceNative(const std::string& native, std::string_view bytes) {
  std::string temporary = native + ".XXXXXX";
  const int descriptor = mkstemp(temporary.data());
  if (descriptor < 0) return false;
  const bool written = fchmod(descriptor, 0666 & ~CurrentUmask()) == 0 && WriteAndSync(descriptor, bytes);
  const bool closed = close(descriptor) == 0;
  if (written && closed && std::rename(temporary.c_str(), native.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

class DiskFileSystem final : public FileSystem {
 public:
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
    FILE* file = std::fopen(NativePath(path).c_str(), "rb");
    if (!file) return nullptr;
    return std::make_unique<DiskFile>(file);
  }
  bool WriteWhole(const std::string& path, std::string_view bytes) override {
    return WriteNative(NativePath(path), bytes);
  }
  bool ReplaceWhole(const std::string& path, std::string_view bytes) override {
    return ReplaceNative(NativePath(path), bytes);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
  }
  bool Remove(const std::string& path) override { return std::remove(NativePath(path).c_str()) == 0; }
  std::string CurrentDirectory() override {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
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

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  auto file = Files().OpenForReading(path);
  if (!file) return false;
  const uint64_t size = file->Size();
  if (size > static_cast<uint64_t>(std::numeric_limits<size_t>::max() / 2)) return false;
  bytes.resize(static_cast<size_t>(size));
  return file->Read(bytes.data(), bytes.size()) == bytes.size();
}

}  // namespace sylvora
