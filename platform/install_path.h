#pragma once
// The per-machine installation-directory setting that the installer writes and the shell reads at start-up.
#include <string>

namespace sylvora {

// The setting file of this build: <sysconfdir>/xdg/Tavro Software/Sylvora Screensaver.conf.
const std::string& InstallPathFile();

// Values this long or longer are refused, as the original's 260-byte buffer did.
constexpr size_t kInstallPathLimit = 260;

// Reads the "path=" line of settingFile (opened read-only through Files()). Returns false, leaving
// directory untouched, when the file is missing or unreadable, has no such line, or the value is
// empty or kInstallPathLimit bytes or longer.
bool ReadInstallPath(const std::string& settingFile, std::string& directory);

}  // namespace sylvora
