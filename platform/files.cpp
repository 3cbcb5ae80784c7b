#include "platform/files.h"

#include <unistd.h>

#include <cstdio>
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

// Writes bytes to a new file at native path; false on any failure (a partial file may remain).
bool WriteNative(const std::string& native, std::string_view bytes) {
  FILE* file = std::fopen(native.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool flushed = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  return std::fclose(file) == 0 && written && flushed;
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
    const std::string target = NativePath(path);
    const std::string temporary = target + ".new";
    if (WriteNative(temporary, bytes) && std::rename(temporary.c_str(), target.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
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
