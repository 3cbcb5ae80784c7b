#pragma once
// One sound per machine: a daemon starts one copy of the program per monitor, each drawing into its
// own window of the daemon's, and only the first may open the sound output. The copy that holds an exclusive lock on a per-user file plays; the lock
// lasts as long as the process (the system drops it when the process ends, however it ends).
#include <string>

namespace sylvora {

// What TakeSoundLock found.
enum class SoundLock {
  Taken,          // this process holds the lock now: it opens the sound output
  HeldElsewhere,  // another running copy holds it: this one stays silent
  Unavailable,    // no lock file could be made; with nothing to coordinate through, the copy plays
};

// The lock file: "sylvora-sound.lock" in runtimeDirectory (the value of XDG_RUNTIME_DIR, null or
// empty when unset), else /tmp/sylvora-<userId>.lock.
std::string SoundLockPath(const char* runtimeDirectory, unsigned userId);

// Tries once, without waiting, to lock the file at path (made when missing, never followed through a
// symbolic link). Once taken, the lock stays held until the process ends; a second call in the same
// process opens the file anew and so finds the lock held.
SoundLock TakeSoundLock(const std::string& path);

}  // namespace sylvora
