#pragma once
// The per-machine installation-directory setting that the installer writes and the shell reads at start-up.
#include <string>

namespace sylvora {

// The setting file of this build: <sysconfdir>/xdg/Tavro Software/Sylvora Screensaver.conf.
const std::string& InstallPathFile();

// Values this long or longer are refused, as the original's 260-byte buffer did.
constexpr size_t kInstallPathLimit = 260;
// A setting file longer than this reads as unreadable: it holds one short line and perhaps a few more.
constexpr size_t kInstallPathFileLimit = 16 * 1024;

// Reads the "path=" line of settingFile (opened read-only through Files()). Returns false, leaving
// directory untouched, when the file is missing, unreadable or longer than kInstallPathFileLimit, has no such line, or
// the value is empty or kInstallPathLimit bytes or longer.
bool ReadInstallPath(const std::string& settingFile, std::string& directory);

}  // namespace sylvora
