#pragma once
// One sound per machine: a daemon starts one copy of the program per monitor, each drawing into its
// own window of the daemon's, and only the first may open the sound output. The copy that holds an
// exclusive lock on a per-user file plays; the system drops the lock when the process ends, however it ends.
#include <string>

namespace sylvora {

// What TakeSoundLock found.
enum class SoundLock {
  Taken,          // this process holds the lock now: it opens the sound output
  HeldElsewhere,  // another running copy holds it: this one stays silent
  Unavailable,    // no lock file could be made; with nothing to coordinate through, the copy plays
};

// The lock file: "sylvora-sound.lock" in runtimeDirectory (XDG_RUNTIME_DIR with a trailing slash,
// empty when unset), else "sound.lock" in the user's stateDirectory. Never in a directory others write.
std::string SoundLockPath(const std::string& runtimeDirectory, const std::string& stateDirectory);

// Tries once, without waiting, to lock the file at path (made when missing, never followed through a
// symbolic link). Once taken, the lock stays held until ReleaseSoundLock or the end of the process; a
// second call in the same process opens the file anew and so finds the lock held.
SoundLock TakeSoundLock(const std::string& path);
// Drops the lock this process took, so another copy may play: called when the sound output it was
// taken for could not be opened after all. Does nothing when no lock is held.
void ReleaseSoundLock();

}  // namespace sylvora
