#pragma once
// Bird songs sung from a small table of species. A song is a sequence of syllables; a syllable is one
// phase-continuous whistle whose pitch and loudness follow cubic Bézier curves, sometimes buzzing (fast
// frequency modulation) or rattling (fast amplitude modulation), with a faint second harmonic.
#include <vector>

namespace sylvora {

// Songs in the table, one per species.
constexpr int kSongCount = 7;

// Song `species` (0 .. kSongCount - 1) at `rate` Hz with a little silence before and after it, roughly
// -1..1 before any normalising. The same samples on every run.
std::vector<float> SingSong(int species, int rate);
// A few words on the kind of bird song `species` is modelled on, for people looking at its sonogram.
const char* SongLikeness(int species);

}  // namespace sylvora
