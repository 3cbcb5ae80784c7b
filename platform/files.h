#pragma once
// File access for every subsystem that reads or writes files: the index and pictures, sounds,
// options.ini, the report logs and the install-path setting.
//
// The logic keeps Windows-style relative names ("graphics\", the trailing backslash of the resource path);
// the real file system turns every backslash into a slash at the moment a path is opened.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sylvora {

// A file opened for reading: sequential reads from a position that can be moved.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads up to size bytes at the current position; returns how many were read (0 at the end).
  virtual size_t Read(void* buffer, size_t size) = 0;
  // Moves the read position; false when offset lies past the end of the file.
  virtual bool Seek(uint64_t offset) = 0;
  // The file's length in bytes.
  virtual uint64_t Size() = 0;
};

// The file services the subsystems use. The real one works on the disk; tests install an
// in-memory one that can be told to fail.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Opens path for reading; nullptr when it cannot be opened or is not a regular file (a directory or
  // a named pipe reads as missing, and opening never blocks).
  virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) = 0;
  // Whether path names a regular file (through symbolic links), readable or not.
  virtual bool IsFile(const std::string& path) = 0;
  // Creates or truncates path and writes bytes; false when any step fails.
  virtual bool WriteWhole(const std::string& path, std::string_view bytes) = 0;
  // Writes bytes to a temporary file beside path and renames it over path, so a failure at any
  // step leaves the old file as it was; false on failure. A symbolic link at path is followed and its
  // target replaced where the kernel's rule for protected links would follow it (the link is ours, or its
  // directory is writable by its owner alone, who is us or the system); otherwise the save fails. An
  // existing file keeps its permission bits, and one we may not write is left alone (false). A run killed
  // while saving leaves no temporary file behind, or one the next save removes.
  virtual bool ReplaceWhole(const std::string& path, std::string_view bytes) = 0;
  // Creates the directory path ends in and its missing parents, each readable by its owner only;
  // true when it exists as a directory afterwards.
  virtual bool MakeDirectories(const std::string& path) = 0;
  // Renames from to to; false when from is missing or the rename fails.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Deletes path; false when it could not be deleted.
  virtual bool Remove(const std::string& path) = 0;
  // The process's current directory; empty when it cannot be read.
  virtual std::string CurrentDirectory() = 0;
  // Makes path the current directory; false on failure.
  virtual bool ChangeDirectory(const std::string& path) = 0;
};

// The process's file system: the disk unless a test installed another.
FileSystem& Files();
// Installs files as the process's file system; nullptr goes back to the disk.
void UseFileSystem(FileSystem* files);

// path with every backslash turned into a slash, as it is handed to the operating system.
std::string NativePath(std::string_view path);

// Reads a whole file through Files(); false when it cannot be opened or read completely, or when it
// holds more than limit bytes: a file larger than what it can sensibly hold reads as unreadable, so a huge
// or sparse file never decides how much memory the program asks for.
bool ReadWholeFile(const std::string& path, size_t limit, std::string& bytes);

}  // namespace sylvora
