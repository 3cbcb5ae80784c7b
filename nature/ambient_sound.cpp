#include "nature/ambient_sound.h"

#include <string>

#include "audio/audio_system.h"
#include "core/process_state.h"
#include "nature/nature_state.h"

namespace sylvora {

double BirdSongVolumeFactor(int32_t birdsSingingVolume) {
  const double factor = birdsSingingVolume * 10 * 0.02;
  return factor == 0 ? 0.02 : factor;
}

int LoadAmbientSounds() {
  if (!core.audio) return 0;
  core.audio->CreateSound("backmain", kPlainSound, nature.ambientSound.background);
  for (int song = 0; song < AmbientSound::kSongCount; ++song) {
    core.audio->CreateSound("back" + std::to_string(song), k3DSound, nature.ambientSound.songs[song]);
  }
  return 0;
}

int StartAmbientSound() {
  core.layerTable.SetFlags(LayerTable::kAmbientSoundLayer, 1);
  const double factor = BirdSongVolumeFactor(core.options.birds_singing_volume);
  if (core.audio) {
    core.audio->PlaySoundEx(nature.ambientSound.background, static_cast<int32_t>(factor * 50), KeepCurrent, KeepCurrent,
                            1, core.options.birds_singing);
  }
  nature.ambientSound.songTimer.Set(100, 130);
  return 0;
}

namespace {

// One coordinate of a song's position: a distance in the volume's range, on either side.
float SongCoordinate(int nearest, int farthest) {
  float coordinate = static_cast<float>(RandomRange(nearest, farthest));
  if (!RandomBool()) coordinate = -coordinate;
  return coordinate;
}

}  // namespace

int AmbientSoundUpdate() {
  if (!nature.ambientSound.songTimer.Check()) return 0;
  const int song = RandomRange(0, AmbientSound::kSongCount);
  const double factor = BirdSongVolumeFactor(core.options.birds_singing_volume);
  const int nearest = static_cast<int>(4 / factor);
  const int farthest = static_cast<int>(15 / factor);
  const float x = SongCoordinate(nearest, farthest);
  const float y = SongCoordinate(nearest, farthest);
  const float z = SongCoordinate(nearest, farthest);
  if (core.audio) core.audio->PlaySound3D(nature.ambientSound.songs[song], x, y, z, core.options.birds_singing);
  return 0;
}

void StopAmbientSound() { core.layerTable.SetFlags(LayerTable::kAmbientSoundLayer, 0); }

}  // namespace sylvora
