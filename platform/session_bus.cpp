#include "platform/session_bus.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "platform/user_dirs.h"

namespace sylvora {

void KeepFromStartingASessionBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return;
  const std::string runtime = UserRuntimeDirectory();
  struct stat socketInfo {};
  if (!runtime.empty() && stat((runtime + "bus").c_str(), &socketInfo) == 0 && S_ISSOCK(socketInfo.st_mode)) return;
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

}  // namespace sylvora
