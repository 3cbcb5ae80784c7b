#include "nature/ambient_sound.h"

#include <string>

#include "audio/audio_system.h"
#include "shell/process_state.h"

namespace sylvora {

AmbientSound ambientSound;

double BirdSongVolumeFactor(int32_t birdsSingingVolume) {
  const double factor = birdsSingingVolume * 10 * 0.02;
  return factor == 0 ? 0.02 : factor;
}

int LoadAmbientSounds() {
  if (!audio) return 0;
  audio->CreateSound("backmain", kPlainSound, ambientSound.background);
  for (int song = 0; song < AmbientSound::kSongCount; ++song) {
    audio->CreateSound("back" + std::to_string(song), k3DSound, ambientSound.songs[song]);
  }
  return 0;
}

int StartAmbientSound() {
  layerTable.SetFlags(LayerTable::kAmbientSoundLayer, 1);
  const double factor = BirdSongVolumeFactor(options.birds_singing_volume);
  if (audio) {
    audio->PlaySoundEx(ambientSound.background, static_cast<int32_t>(factor * 50), KeepCurrent, KeepCurrent, 1,
                       options.birds_singing);
  }
  ambientSound.songTimer.Set(100, 130);
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
  if (!ambientSound.songTimer.Check()) return 0;
  const int song = RandomRange(0, AmbientSound::kSongCount);
  const double factor = BirdSongVolumeFactor(options.birds_singing_volume);
  const int nearest = static_cast<int>(4 / factor);
  const int farthest = static_cast<int>(15 / factor);
  const float x = SongCoordinate(nearest, farthest);
  const float y = SongCoordinate(nearest, farthest);
  const float z = SongCoordinate(nearest, farthest);
  if (audio) audio->PlaySound3D(ambientSound.songs[song], x, y, z, options.birds_singing);
  return 0;
}

void StopAmbientSound() { layerTable.SetFlags(LayerTable::kAmbientSoundLayer, 0); }

}  // namespace sylvora
