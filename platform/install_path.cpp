#include "platform/install_path.h"

#include "platform/files.h"

namespace sylvora {

const std::string& InstallPathFile() {
  static const std::string file = SYLVORA_INSTALL_PATH_FILE;
  return file;
}

bool ReadInstallPath(const std::string& settingFile, std::string& directory) {
  std::string text;
  if (!ReadWholeFile(settingFile, kInstallPathFileLimit, text)) return false;
  static constexpr std::string_view kKey = "path=";
  size_t lineStart = 0;
  while (lineStart < text.size()) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    std::string_view line(text.data() + lineStart, lineEnd - lineStart);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with(kKey)) {
      line.remove_prefix(kKey.size());
      if (line.empty() || line.size() >= kInstallPathLimit) return false;
      directory.assign(line);
      return true;
    }
    lineStart = lineEnd + 1;
  }
  return false;
}

}  // namespace sylvora
