#pragma once
// Reader and writer of the flat parameter files (options.ini): names with one to eight comma-separated
// contents, read with typed lookups and written with comments and blank lines.
#include <array>
#include <cstdint>
#include <string>

namespace sylvora {

class Report;

enum class IniValueType : int { String = 0, Integer = 1, Float = 2, Boolean = 3 };

// One stored line: a parameter, or (with no contents) a comment or blank entry.
struct IniParameter {
  std::string name;
  int32_t contentCount = 0;
  std::array<std::string, 8> contents;
  std::string trailer;  // written right after the ";" that ends the line
};

// Used either to Load and then Get, or to Add entries and then Save; never both.
class IniFile {
 public:
  static constexpr int kParameterCapacity = 100;
  static constexpr int kContentCapacity = 8;
  // A parameter file longer than this reads as one that cannot be opened: a hundred parameters are a few
  // kilobytes, and the reader must not size its memory from a file someone made huge.
  static constexpr size_t kFileByteLimit = 64 * 1024;

  // directory ends in a backslash; file names are appended to it unchanged.
  IniFile(Report* report, std::string directory);
  virtual ~IniFile() = default;

  // Reads directory + fileName. 0 when read (even with no parameters or at a limit), 1 when it cannot be opened
  // or is longer than kFileByteLimit.
  int32_t Load(const std::string& fileName);
  // Converts the contents of the first parameter called name (lowercase) into the type's result array;
  // returns how many were converted, 0 when absent, nothing is loaded, or a content is invalid.
  int32_t Get(IniValueType type, const std::string& name);
  int32_t Get(int32_t type, const std::string& name);
  // Appends a parameter whose contents come from elements 0..n-1 of the type's result array.
  void Add(IniValueType type, const std::string& name, int32_t n, const std::string& trailer);
  void Add(int32_t type, const std::string& name, int32_t n, const std::string& trailer);
  // Appends a comment line "; " + text.
  void AddComment(const std::string& text);
  // Appends a line holding a single space.
  void AddBlankLine();
  // Writes every entry to directory + fileName with CR LF line ends, replacing the old file only once the
  // new one is complete. 0 when written, 1 when it could not be.
  int32_t Save(const std::string& fileName);

  int32_t Count() const { return count_; }
  const IniParameter& Parameter(int index) const { return parameters_[index]; }

  // Result arrays: Get fills them, Add reads them.
  std::array<std::string, kContentCapacity> strings;
  std::array<int32_t, kContentCapacity> integers{};
  std::array<double, kContentCapacity> floats{};
  std::array<int32_t, kContentCapacity> booleans{};

 private:
  void ParseLine(std::string line, const std::string& fileName);
  bool ConvertContent(IniValueType type, const std::string& content, int k);
  bool Append(IniParameter entry, const char* function);
  void Warn(const char* function, const std::string& text);

  Report* report_;
  std::string directory_;
  int32_t count_ = 0;
  std::array<IniParameter, kParameterCapacity> parameters_;
};

}  // namespace sylvora
