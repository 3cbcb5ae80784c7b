#include "nature/ambient_sound.h"

#include <string>

#include "audio/audio_system.h"
#include "core/process_state.h"
#include "nature/nature_state.h"
#include "platform/files.h"

namespace sylvora {

double BirdSongVolumeFactor(int32_t birdsSingingVolume) {
  const double factor = birdsSingingVolume * 10 * 0.02;
  return factor == 0 ? 0.02 : factor;
}

namespace {

// Whether the audio object would find the named sound: in the archive's sound entries, or as a loose file.
bool SoundInstalled(const AudioSystem& audio, const std::string& name) {
  int entry = 0;
  if (audio.UseArchive() == 1) return audio.ArchiveSounds().Find(name, entry) == 0;
  return Files().IsFile(audio.ResourcePath() + "sounds\\" + name + ".ogg");
}

void LoadOtherRenditions(AudioSystem& audio, AmbientSound& sound) {
  for (int song = 0; song < AmbientSound::kSongCount; ++song) {
    // Loaded again when a silent copy takes the sound over: the table is filled anew.
    int& count = sound.otherRenditionCount[song];
    count = 0;
    sound.nextRendition[song] = 0;
    for (int rendition = 1; rendition < kSongRenditions; ++rendition) {
      const std::string name = SongRenditionName(song, rendition);
      if (SoundInstalled(audio, name) && audio.CreateSound(name, k3DSound, sound.otherRenditions[song][count]) == 0) {
        ++count;
      }
    }
  }
}

// The sound number of the song's next rendition, turning to the one after.
int32_t NextRendition(AmbientSound& sound, int song) {
  int& next = sound.nextRendition[song];
  const int32_t index = next == 0 ? sound.songs[song] : sound.otherRenditions[song][next - 1];
  next = next < sound.otherRenditionCount[song] ? next + 1 : 0;
  return index;
}

}  // namespace

int LoadAmbientSounds() {
  if (!core.audio) return 0;
  core.audio->CreateSound("backmain", kPlainSound, nature.ambientSound.background);
  for (int song = 0; song < AmbientSound::kSongCount; ++song) {
    core.audio->CreateSound(SongRenditionName(song, 0), k3DSound, nature.ambientSound.songs[song]);
  }
  if (core.audio->Enabled()) LoadOtherRenditions(*core.audio, nature.ambientSound);
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
  if (core.audio) {
    core.audio->PlaySound3D(NextRendition(nature.ambientSound, song), x, y, z, core.options.birds_singing);
  }
  return 0;
}

void StopAmbientSound() { core.layerTable.SetFlags(LayerTable::kAmbientSoundLayer, 0); }

}  // namespace sylvora
