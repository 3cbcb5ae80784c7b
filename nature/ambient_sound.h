#pragma once
// The scene's sound, owner of layer 6: the looping background ambience and bird songs played now and
// then at random 3D positions, nearer or farther with the user's bird-song volume. Scene changes do not
// touch it; the shell starts it after the first scene and stops it at shutdown.
#include <array>
#include <cstdint>

#include "nature/nature_random.h"
#include "nature/song_renditions.h"

namespace sylvora {

// The sound numbers and the song timer, process-wide like the rest of the nature state
// (nature/nature_state.h).
struct AmbientSound {
  static constexpr int kSongCount = 7;  // "back0" .. "back6"

  int32_t background = 0;                    // "backmain"
  std::array<int32_t, kSongCount> songs{};   // "back0" .. "back6"
  ChanceTimer songTimer;                     // one song on average every 13 s once started
  // Each song's other renditions that are installed (SongRenditionName), played in turn with the song
  // itself: their sound numbers, how many were found, and which of the song's renditions plays next
  // (0 is the song itself).
  std::array<std::array<int32_t, kSongRenditions - 1>, kSongCount> otherRenditions{};
  std::array<int, kSongCount> otherRenditionCount{};
  std::array<int, kSongCount> nextRendition{};
};

// Creates "backmain" (plain) and "back0".."back6" (3D) on the audio object and keeps their numbers;
// each failure is reported by the audio object and ignored. Then, with the sound output on, creates
// (3D) the songs' other renditions that the archive or the sounds folder holds, looking without a word
// for those that are not there. Called by A0_Open after the shared pictures. Always 0.
int LoadAmbientSounds();
// Starts layer 6 and the looping background, and arms the song timer. Called by A0_Open after
// SceneStart. Always 0.
int StartAmbientSound();
// Layer 6's per-frame update: when the song timer fires, plays a random song at a random position; the
// song's renditions take turns, which draws no random number. Always 0.
int AmbientSoundUpdate();
// Clears layer 6's flags at shutdown; the background keeps playing until the audio object is destroyed.
void StopAmbientSound();

// The bird-song volume factor for option birds_singing_volume o: o x 10 x 0.02, or 0.02 for 0.
double BirdSongVolumeFactor(int32_t birdsSingingVolume);

}  // namespace sylvora
