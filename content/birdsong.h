#pragma once
// Bird songs sung from a table of species by a model of the bird's voice (content/syrinx.h). A species
// is its gestures (the pitch, pressure and tension curves of its syllables), their repeats and its tempo;
// each rendition of a song varies its phrases, timing, pitch and vibrato as a bird does between bouts.
#include <vector>

namespace sylvora {

// Songs in the table, one per species.
constexpr int kSongCount = 7;

// Rendition `rendition` (any number; 0 .. kSongRenditions - 1 are shipped) of the song of `species`
// (0 .. kSongCount - 1) at `rate` Hz, with a little silence before and after it, roughly -1..1 before any
// normalising. The same samples on every run.
std::vector<float> SingSong(int species, int rendition, int rate);
// A few words on the kind of bird song `species` is modelled on, for people looking at its sonogram.
const char* SongLikeness(int species);

}  // namespace sylvora
