#include "platform/user_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace sylvora {
namespace {

// The value of variable when it is an absolute path (the conventions say to ignore relative ones),
// with a trailing slash; else empty.
std::string AbsoluteVariable(const char* variable) {
  const char* value = std::getenv(variable);
  if (!value || value[0] != '/') return std::string();
  std::string directory(value);
  if (directory.back() != '/') directory += '/';
  return directory;
}

// The user's home directory with a trailing slash: $HOME, else the password database's entry.
std::string HomeDirectory() {
  std::string home = AbsoluteVariable("HOME");
  if (!home.empty()) return home;
  const passwd* entry = getpwuid(getuid());
  return entry && entry->pw_dir && entry->pw_dir[0] == '/' ? std::string(entry->pw_dir) + "/" : "/";
}

// variable's directory, or fallback under the home directory, with our own folder inside.
std::string ProgramDirectory(const char* variable, const char* fallback) {
  std::string base = AbsoluteVariable(variable);
  if (base.empty()) base = HomeDirectory() + fallback;
  return base + "sylvora/";
}

}  // namespace

std::string UserConfigDirectory() { return ProgramDirectory("XDG_CONFIG_HOME", ".config/"); }

std::string UserStateDirectory() { return ProgramDirectory("XDG_STATE_HOME", ".local/state/"); }

std::string UserRuntimeDirectory() { return AbsoluteVariable("XDG_RUNTIME_DIR"); }

}  // namespace sylvora
