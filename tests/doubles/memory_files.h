#pragma once
// An in-memory file system with fault injection: every operation is recorded and can be told to fail.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace sylvora {

class MemoryFileSystem final : public FileSystem {
 public:
  // Paths are kept as NativePath gives them, so "a\b" and "a/b" name the same file.
  std::map<std::string, std::string> files;
  std::string currentDirectory = "/work";
  std::vector<std::string> directoryChanges;
  std::set<std::string> directories;  // made by MakeDirectories, by native path

  // Fault injection, by native path.
  std::set<std::string> unreadable;   // OpenForReading fails
  std::set<std::string> unwritable;   // WriteWhole / ReplaceWhole fail
  bool renameFails = false;
  bool makeDirectoriesFails = false;
  // ReplaceWhole fails after writing its temporary file, to prove the old file survives.
  bool replaceFailsBeforeRename = false;

  void Put(const std::string& path, std::string bytes) { files[NativePath(path)] = std::move(bytes); }
  bool Has(const std::string& path) const { return files.count(NativePath(path)) != 0; }
  const std::string& At(const std::string& path) const { return files.at(NativePath(path)); }

  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override;
  bool WriteWhole(const std::string& path, std::string_view bytes) override;
  bool ReplaceWhole(const std::string& path, std::string_view bytes) override;
  bool IsFile(const std::string& path) override { return Has(path); }
  bool MakeDirectories(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  std::string CurrentDirectory() override { return currentDirectory; }
  bool ChangeDirectory(const std::string& path) override {
    directoryChanges.push_back(path);
    currentDirectory = path;
    return true;
  }
};

// Installs a file system for the life of a test and puts the disk back afterwards.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& files) { UseFileSystem(&files); }
  ~ScopedFileSystem() { UseFileSystem(nullptr); }
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;
};

}  // namespace sylvora
