#include "inifile/ini_file.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/files.h"
#include "report/report.h"

namespace sylvora {
namespace {

const char* const kModule = "KALDRA.INIFILE";
const char* const kQuote = "\"";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

void LowerCase(std::string& text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
}

// Digits, signs and at most one decimal point; the empty content passes.
bool IsNumeric(const std::string& content) {
  int points = 0;
  for (char c : content) {
    if (c == '.') {
      if (++points > 1) return false;
    } else if (!(c >= '0' && c <= '9') && c != '+' && c != '-') {
      return false;
    }
  }
  return true;
}

// atoi's reading (sign, then digits up to the first other character), saturated to 32 bits
// where atoi would overflow.
int32_t ParseInteger(const std::string& content) {
  size_t i = 0;
  bool negative = false;
  if (i < content.size() && (content[i] == '+' || content[i] == '-')) negative = content[i++] == '-';
  int64_t value = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  for (; i < content.size() && content[i] >= '0' && content[i] <= '9'; ++i) {
    value = value * 10 + (content[i] - '0');
    if (value > limit) value = limit;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

bool ParseBoolean(const std::string& content, int32_t& value) {
  if (content == "0" || content == "false" || content == "off") {
    value = 0;
    return true;
  }
  if (content == "1" || content == "true" || content == "on") {
    value = 1;
    return true;
  }
  return false;
}

bool ValidType(int32_t type) { return type >= 0 && type <= 3; }

}  // namespace

IniFile::IniFile(Report* report, std::string directory) : report_(report), directory_(std::move(directory)) {}

void IniFile::Warn(const char* function, const std::string& text) {
  report_->AddMessage(0, MessageKind::Warning, kModule, function, text);
}

int32_t IniFile::Load(const std::string& fileName) {
  report_->RestoreWorkingDirectory();
  std::string text;
  if (!ReadWholeFile(directory_ + fileName, kFileByteLimit, text)) {
    Warn("Load", "file (" + fileName + ") not found");
    return 1;
  }
  count_ = 0;
  size_t lineStart = 0;
  while (lineStart < text.size()) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    ParseLine(text.substr(lineStart, lineEnd - lineStart), fileName);
    lineStart = lineEnd + 1;
    if (count_ == kParameterCapacity) {
      Warn("Load", "too many strings in file (" + fileName + "), maximum " + std::to_string(kParameterCapacity));
      break;
    }
  }
  report_->AddMessage(0, MessageKind::Report, kModule, "Load",
                      std::string("ini-file ") + kQuote + fileName + kQuote + " was successfully loaded, " +
                          std::to_string(count_) + " parameters found");
  return 0;
}

void IniFile::ParseLine(std::string line, const std::string& fileName) {
  line = Trim(line);
  LowerCase(line);
  const size_t comment = line.find(';');
  if (comment != std::string::npos) line.erase(comment);
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return;

  IniParameter& parameter = parameters_[count_];
  parameter = IniParameter{};
  parameter.name = Trim(line.substr(0, equals));
  std::string value = Trim(line.substr(equals + 1));
  int i = 1;
  size_t comma;
  while ((comma = value.find(',')) != std::string::npos) {
    parameter.contentCount = i;
    parameter.contents[i - 1] = Trim(value.substr(0, comma));
    value = Trim(value.substr(comma + 1));
    if (++i > kContentCapacity) {
      Warn("Load", "too many parameters, line " + std::to_string(count_ + 1) + " (" + fileName + ")");
      break;
    }
  }
  if (i <= kContentCapacity) {
    parameter.contentCount = i;
    parameter.contents[i - 1] = value;
  }
  ++count_;
}

int32_t IniFile::Get(IniValueType type, const std::string& name) { return Get(static_cast<int32_t>(type), name); }

int32_t IniFile::Get(int32_t type, const std::string& name) {
  if (count_ == 0) {
    Warn("Get", "no parameters");
    return 0;
  }
  if (!ValidType(type)) {
    Warn("Get", "invalid data type");
    return 0;
  }
  for (int index = 0; index < count_; ++index) {
    const IniParameter& parameter = parameters_[index];
    if (parameter.name != name) continue;
    for (int k = 0; k < parameter.contentCount; ++k) {
      if (!ConvertContent(static_cast<IniValueType>(type), parameter.contents[k], k)) {
        Warn("Get", std::string("parameter ") + kQuote + name + kQuote + " has invalid content");
        return 0;
      }
    }
    return parameter.contentCount;
  }
  return 0;
}

bool IniFile::ConvertContent(IniValueType type, const std::string& content, int k) {
  switch (type) {
    case IniValueType::String:
      strings[k] = content;
      return true;
    case IniValueType::Integer:
      if (!IsNumeric(content)) return false;
      integers[k] = ParseInteger(content);
      return true;
    case IniValueType::Float:
      if (!IsNumeric(content)) return false;
      floats[k] = std::atof(content.c_str());
      return true;
    case IniValueType::Boolean:
      return ParseBoolean(content, booleans[k]);
  }
  return false;
}

bool IniFile::Append(IniParameter entry, const char* function) {
  if (count_ >= kParameterCapacity) {
    Warn(function, "too many strings, maximum " + std::to_string(kParameterCapacity));
    return false;
  }
  parameters_[count_++] = std::move(entry);
  return true;
}

void IniFile::Add(IniValueType type, const std::string& name, int32_t n, const std::string& trailer) {
  Add(static_cast<int32_t>(type), name, n, trailer);
}

void IniFile::Add(int32_t type, const std::string& name, int32_t n, const std::string& trailer) {
  if (n > kContentCapacity) {
    Warn("Add", "too many contents");
    n = kContentCapacity;
  }
  if (!ValidType(type)) {
    Warn("Add", "invalid data type");
    return;
  }
  IniParameter entry;
  entry.name = name;
  entry.contentCount = n < 0 ? 0 : n;
  entry.trailer = trailer;
  for (int k = 0; k < entry.contentCount; ++k) {
    switch (static_cast<IniValueType>(type)) {
      case IniValueType::String:
        entry.contents[k] = strings[k];
        break;
      case IniValueType::Integer:
        entry.contents[k] = std::to_string(integers[k]);
        break;
      case IniValueType::Float: {
        char text[400];
        std::snprintf(text, sizeof text, "%f", floats[k]);
        entry.contents[k] = text;
        break;
      }
      case IniValueType::Boolean:
        entry.contents[k] = booleans[k] ? "true" : "false";
        break;
    }
  }
  Append(std::move(entry), "Add");
}

void IniFile::AddComment(const std::string& text) {
  IniParameter entry;
  entry.name = "; " + text;
  Append(std::move(entry), "AddComment");
}

void IniFile::AddBlankLine() {
  IniParameter entry;
  entry.name = " ";
  Append(std::move(entry), "AddBlankLine");
}

int32_t IniFile::Save(const std::string& fileName) {
  report_->RestoreWorkingDirectory();
  std::string text;
  for (int index = 0; index < count_; ++index) {
    const IniParameter& entry = parameters_[index];
    text += entry.name;
    if (entry.contentCount >= 1) {
      text += " = ";
      for (int k = 0; k < entry.contentCount; ++k) {
        if (k > 0) text += ", ";
        text += entry.contents[k];
      }
      text += ";";
    }
    text += entry.trailer;
    text += "\r\n";
  }
  return Files().ReplaceWhole(directory_ + fileName, text) ? 0 : 1;
}

}  // namespace sylvora
