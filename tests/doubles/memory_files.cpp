#include "tests/doubles/memory_files.h"

#include <algorithm>
#include <cstring>

namespace sylvora {
namespace {

// Reads a snapshot of the file's bytes taken when it was opened.
class MemoryFile final : public ReadableFile {
 public:
  explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}
  size_t Read(void* buffer, size_t size) override {
    const size_t count = std::min(size, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
  }
  bool Seek(uint64_t offset) override {
    if (offset > bytes_.size()) return false;
    position_ = static_cast<size_t>(offset);
    return true;
  }
  uint64_t Size() override { return bytes_.size(); }

 private:
  std::string bytes_;
  size_t position_ = 0;
};

}  // namespace

std::unique_ptr<ReadableFile> MemoryFileSystem::OpenForReading(const std::string& path) {
  const std::string native = NativePath(path);
  auto found = files.find(native);
  if (found == files.end() || unreadable.count(native)) return nullptr;
  return std::make_unique<MemoryFile>(found->second);
}

bool MemoryFileSystem::WriteWhole(const std::string& path, std::string_view bytes) {
  const std::string native = NativePath(path);
  if (unwritable.count(native)) return false;
  files[native] = std::string(bytes);
  return true;
}

bool MemoryFileSystem::ReplaceWhole(const std::string& path, std::string_view bytes) {
  const std::string native = NativePath(path);
  if (unwritable.count(native) || replaceFailsBeforeRename) return false;
  files[native] = std::string(bytes);
  return true;
}

bool MemoryFileSystem::MakeDirectories(const std::string& path) {
  if (makeDirectoriesFails) return false;
  directories.insert(NativePath(path));
  return true;
}

bool MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  auto found = files.find(NativePath(from));
  if (renameFails || found == files.end()) return false;
  files[NativePath(to)] = found->second;
  files.erase(found);
  return true;
}

bool MemoryFileSystem::Remove(const std::string& path) { return files.erase(NativePath(path)) != 0; }

}  // namespace sylvora
