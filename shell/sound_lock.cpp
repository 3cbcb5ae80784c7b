#include "shell/sound_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace sylvora {

std::string SoundLockPath(const char* runtimeDirectory, unsigned userId) {
  if (runtimeDirectory != nullptr && runtimeDirectory[0] != '\0') {
    return std::string(runtimeDirectory) + "/sylvora-sound.lock";
  }
  return "/tmp/sylvora-" + std::to_string(userId) + ".lock";
}

SoundLock TakeSoundLock(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) return SoundLock::Unavailable;
  if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
    // The descriptor stays open for the life of the process: closing it would drop the lock.
    return SoundLock::Taken;
  }
  const bool held = errno == EWOULDBLOCK;
  close(descriptor);
  return held ? SoundLock::HeldElsewhere : SoundLock::Unavailable;
}

}  // namespace sylvora
