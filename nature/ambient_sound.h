#pragma once
// The scene's sound, owner of layer 6: the looping background ambience and bird songs played now and
// then at random 3D positions, nearer or farther with the user's bird-song volume. Scene changes do not
// touch it; the shell starts it after the first scene and stops it at shutdown.
#include <array>
#include <cstdint>

#include "core/layer_table.h"
#include "nature/nature_context.h"
#include "nature/nature_random.h"
#include "nature/song_renditions.h"

namespace sylvora {

// Built by the shell once the audio object exists, destroyed at shutdown after ReleaseLayers.
class AmbientSound : public LayerOwner {
 public:
  static constexpr int kSongCount = 7;  // "back0" .. "back6"

  explicit AmbientSound(const NatureContext& context) : context_(context) {}

  // Creates "backmain" (plain) and "back0".."back6" (3D) on the audio object and keeps their numbers;
  // each failure is reported by the audio object and ignored. Then, with the sound output on, creates
  // (3D) the songs' other renditions that the archive or the sounds folder holds, looking without a word
  // for those that are not there. Called by A0_Open after the shared pictures, and again when a silent
  // copy takes the sound over. Always 0.
  int Load();
  // Starts layer 6 and the looping background, and arms the song timer. Called by A0_Open after the
  // first scene's start. Always 0.
  int Start();
  // Layer 6's per-frame update: when the song timer fires, plays a random song at a random position; the
  // song's renditions take turns, which draws no random number. Always 0.
  int Update() override;
  // Layer 6 draws nothing. Always 0.
  int Draw() override { return 0; }
  // Clears layer 6's flags at shutdown; the background keeps playing until the audio object is destroyed.
  void Stop() override;

  int32_t background = 0;                    // "backmain"
  std::array<int32_t, kSongCount> songs{};   // "back0" .. "back6"
  ChanceTimer songTimer;                     // one song on average every 13 s once started
  // Each song's other renditions that are installed (SongRenditionName), played in turn with the song
  // itself: their sound numbers, how many were found, and which of the song's renditions plays next
  // (0 is the song itself).
  std::array<std::array<int32_t, kSongRenditions - 1>, kSongCount> otherRenditions{};
  std::array<int, kSongCount> otherRenditionCount{};
  std::array<int, kSongCount> nextRendition{};

 private:
  void LoadOtherRenditions();
  // The sound number of the song's next rendition, turning to the one after.
  int32_t NextRendition(int song);

  NatureContext context_;
};

// The bird-song volume factor for option birds_singing_volume o: o x 10 x 0.02, or 0.02 for 0.
double BirdSongVolumeFactor(int32_t birdsSingingVolume);

}  // namespace sylvora
