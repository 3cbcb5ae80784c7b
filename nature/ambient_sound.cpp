#include "nature/ambient_sound.h"

#include <string>
#include <vector>

#include "audio/audio_system.h"
#include "core/options.h"

namespace sylvora {

double BirdSongVolumeFactor(int32_t birdsSingingVolume) {
  const double factor = birdsSingingVolume * 10 * 0.02;
  return factor == 0 ? 0.02 : factor;
}

void AmbientSound::LoadOtherRenditions() {
  AudioSystem& audio = *context_.audio;
  for (int song = 0; song < kSongCount; ++song) {
    // Loaded again when a silent copy takes the sound over: the table is filled anew.
    int& count = otherRenditionCount[song];
    count = 0;
    nextRendition[song] = 0;
    for (int rendition = 1; rendition < kSongRenditions; ++rendition) {
      const std::string name = SongRenditionName(song, rendition);
      if (audio.HasSound(name) && audio.CreateSound(name, k3DSound, otherRenditions[song][count]) == 0) {
        ++count;
      }
    }
  }
}

int32_t AmbientSound::NextRendition(int song) {
  int& next = nextRendition[song];
  const int32_t index = next == 0 ? songs[song] : otherRenditions[song][next - 1];
  next = next < otherRenditionCount[song] ? next + 1 : 0;
  return index;
}

int AmbientSound::Load() {
  AudioSystem* audio = context_.audio;
  if (!audio) return 0;
  // Named first, in the order they are loaded, so that each is decoded beside the loading of the ones
  // before it.
  std::vector<std::string> names{"backmain"};
  for (int song = 0; song < kSongCount; ++song) names.push_back(SongRenditionName(song, 0));
  for (int song = 0; song < kSongCount; ++song) {
    for (int rendition = 1; rendition < kSongRenditions; ++rendition) {
      if (audio->HasSound(SongRenditionName(song, rendition))) names.push_back(SongRenditionName(song, rendition));
    }
  }
  audio->ExpectSounds(names);
  audio->CreateSound("backmain", kPlainSound, background);
  for (int song = 0; song < kSongCount; ++song) audio->CreateSound(SongRenditionName(song, 0), k3DSound, songs[song]);
  if (audio->Enabled()) LoadOtherRenditions();
  return 0;
}

int AmbientSound::Start() {
  context_.layerTable->SetFlags(LayerTable::kAmbientSoundLayer, 1);
  const Options& options = *context_.options;
  const double factor = BirdSongVolumeFactor(options.birds_singing_volume);
  if (context_.audio) {
    context_.audio->PlaySoundEx(background, static_cast<int32_t>(factor * 50), KeepCurrent, KeepCurrent, 1,
                                options.birds_singing);
  }
  songTimer.Set(100, 130);
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

int AmbientSound::Update() {
  if (!songTimer.Check()) return 0;
  const int song = RandomRange(0, kSongCount);
  const Options& options = *context_.options;
  const double factor = BirdSongVolumeFactor(options.birds_singing_volume);
  const int nearest = static_cast<int>(4 / factor);
  const int farthest = static_cast<int>(15 / factor);
  const float x = SongCoordinate(nearest, farthest);
  const float y = SongCoordinate(nearest, farthest);
  const float z = SongCoordinate(nearest, farthest);
  if (context_.audio) context_.audio->PlaySound3D(NextRendition(song), x, y, z, options.birds_singing);
  return 0;
}

void AmbientSound::Stop() { context_.layerTable->SetFlags(LayerTable::kAmbientSoundLayer, 0); }

}  // namespace sylvora
