#include "shell/sound_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace sylvora {

namespace {

// The descriptor that holds the lock, -1 while none is held.
int heldLock = -1;

}  // namespace

std::string SoundLockPath(const std::string& runtimeDirectory, const std::string& stateDirectory) {
  if (!runtimeDirectory.empty()) return runtimeDirectory + "sylvora-sound.lock";
  return stateDirectory + "sound.lock";
}

SoundLock TakeSoundLock(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) return SoundLock::Unavailable;
  if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
    // The descriptor stays open until released: closing it drops the lock.
    if (heldLock >= 0) close(heldLock);
    heldLock = descriptor;
    return SoundLock::Taken;
  }
  const bool held = errno == EWOULDBLOCK;
  close(descriptor);
  return held ? SoundLock::HeldElsewhere : SoundLock::Unavailable;
}

void ReleaseSoundLock() {
  if (heldLock < 0) return;
  close(heldLock);
  heldLock = -1;
}

}  // namespace sylvora
