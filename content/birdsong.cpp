#include "content/birdsong.h"

#include <algorithm>
#include <cmath>

#include "content/random.h"

namespace sylvora {
namespace {

// Capacities of one species' description.
constexpr int kMaxSyllableKinds = 4;
constexpr int kMaxMotifs = 4;

// Silence before the first and after the last syllable.
constexpr double kLeadSeconds = 0.08;
constexpr double kTailSeconds = 0.12;
// Loudness rises with pitch inside a syllable (a syrinx driven harder sounds both higher and louder):
// the exponent of the pitch ratio to the syllable's middle pitch.
constexpr double kPitchLoudness = 0.8;
// How deep a rattling syllable's amplitude modulation goes.
constexpr double kRattleDepth = 0.85;

// One kind of syllable. Its loudness curve saturates at 1, so inner control points above 0.75 give a
// held note with soft ends rather than a swell.
struct Syllable {
  float seconds;       // length
  float gap;           // silence after it
  float hz[4];         // pitch: Bézier control points in Hz, interpolated on a log scale
  float loudness[2];   // inner Bézier control points of a curve from 0 to 0
  float buzzHz = 0;    // fast frequency modulation: rate, and depth as a fraction of the pitch
  float buzzDepth = 0;
  float rattleHz = 0;  // fast amplitude modulation rate
};

// A run of syllables: `pattern` names syllable kinds by letter ('a' is the first) and is sung `repeats`
// times, each repeat multiplying pitch, loudness and gaps by its step.
struct Motif {
  const char* pattern = nullptr;
  int repeats = 1;
  float pitchStep = 1, loudStep = 1, gapStep = 1;
  float pause = 0;  // extra silence after the motif
};

struct Species {
  const char* likeness;  // the kind of bird the song is modelled on
  float harmonic;        // second-harmonic amplitude relative to the fundamental
  float jitter;          // relative spread of pitch, length, loudness and gaps from syllable to syllable
  Syllable syllables[kMaxSyllableKinds];
  Motif motifs[kMaxMotifs];
};

// clang-format off
constexpr Species kSpecies[kSongCount] = {
    // Syllables: seconds, gap, pitch control points (Hz), loudness control points[, buzz Hz, buzz depth, rattle Hz].
    {"thrush: fluting slurred whistles, then a high twitter", 0.07f, 0.05f,
     {{0.13f, 0.07f, {1650, 1650, 2450, 2500}, {1.2f, 1.3f}},
      {0.20f, 0.06f, {2100, 3300, 2900, 1900}, {1.4f, 1.2f}},
      {0.12f, 0.09f, {2800, 2800, 1800, 1750}, {1.3f, 1.0f}},
      {0.03f, 0.022f, {7000, 6400, 4800, 4300}, {1.0f, 0.8f}}},
     {{.pattern = "abc", .pause = 0.08f}, {.pattern = "ba"},
      {.pattern = "d", .repeats = 7, .pitchStep = 0.99f, .loudStep = 0.9f}}},
    {"warbler: a fast descending trill with a flourish", 0.04f, 0.03f,
     {{0.05f, 0.04f, {5200, 6200, 6400, 5600}, {1.0f, 1.0f}},
      {0.035f, 0.018f, {7800, 7400, 5600, 5200}, {1.2f, 0.6f}},
      {0.12f, 0.0f, {3600, 5200, 5000, 3000}, {1.2f, 1.0f}}},
     {{.pattern = "a", .repeats = 2, .pause = 0.05f}, {.pattern = "b", .repeats = 22, .pitchStep = 0.975f},
      {.pattern = "c"}}},
    {"tit: a repeated two-note call", 0.04f, 0.03f,
     {{0.085f, 0.05f, {6300, 6400, 6100, 4600}, {1.3f, 1.0f}},
      {0.10f, 0.16f, {4600, 4500, 3300, 3100}, {1.3f, 1.0f}}},
     {{.pattern = "ab", .repeats = 5, .loudStep = 0.95f}}},
    {"a rising, quickening series of chirps", 0.05f, 0.04f,
     {{0.045f, 0.11f, {2300, 2500, 3700, 3500}, {0.8f, 1.5f}},
      {0.14f, 0.0f, {4000, 5800, 5600, 3600}, {1.2f, 1.0f}}},
     {{.pattern = "a", .repeats = 11, .pitchStep = 1.04f, .loudStep = 1.06f, .gapStep = 0.9f, .pause = 0.03f},
      {.pattern = "b"}}},
    {"bunting: a buzzy phrase", 0.03f, 0.04f,
     {{0.06f, 0.05f, {6000, 5800, 4600, 4300}, {1.2f, 1.0f}, 90, 0.04f},
      {0.35f, 0.04f, {5600, 5900, 5800, 5500}, {2.0f, 2.0f}, 110, 0.06f},
      {0.50f, 0.0f, {4000, 4200, 4100, 3600}, {2.0f, 1.5f}, 130, 0.08f}},
     {{.pattern = "a", .repeats = 7, .loudStep = 1.03f}, {.pattern = "bc"}}},
    {"a sweet long whistle ending in a trill", 0.03f, 0.03f,
     {{0.55f, 0.07f, {3100, 3150, 3200, 3150}, {2.0f, 2.0f}},
      {0.40f, 0.06f, {3900, 4000, 4000, 3950}, {2.0f, 1.6f}},
      {0.03f, 0.022f, {2800, 5600, 5200, 2700}, {1.2f, 1.0f}}},
     {{.pattern = "ab"}, {.pattern = "c", .repeats = 12, .loudStep = 0.96f}}},
    {"a short, harsh chattering call", 0.05f, 0.08f,
     {{0.035f, 0.025f, {2600, 4400, 4200, 2500}, {1.3f, 1.0f}, 240, 0.08f, 170}},
     {{.pattern = "a", .repeats = 7, .pitchStep = 0.99f, .loudStep = 0.97f, .pause = 0.07f},
      {.pattern = "a", .repeats = 5, .pitchStep = 1.03f, .loudStep = 0.97f, .pause = 0.06f},
      {.pattern = "a", .repeats = 9, .pitchStep = 0.99f, .loudStep = 0.96f, .gapStep = 1.04f}}},
};
// clang-format on

// Every motif names only syllable kinds its species defines.
constexpr bool PatternsNameDefinedSyllables() {
  for (const Species& species : kSpecies) {
    for (const Motif& motif : species.motifs) {
      for (const char* letter = motif.pattern; letter != nullptr && *letter != '\0'; ++letter) {
        const int kind = *letter - 'a';
        if (kind < 0 || kind >= kMaxSyllableKinds || species.syllables[kind].seconds <= 0) return false;
      }
    }
  }
  return true;
}
static_assert(PatternsNameDefinedSyllables());

// One syllable as sung: its kind, where it starts, how long it lasts and its pitch and loudness factors.
struct Note {
  const Syllable* kind;
  double start, seconds, pitch, loudness;
};

double Bezier(double p0, double p1, double p2, double p3, double u) {
  const double v = 1 - u;
  return v * v * v * p0 + 3 * v * v * u * p1 + 3 * v * u * u * p2 + u * u * u * p3;
}

// A factor near 1, spread by up to ±spread.
double Vary(Rng& rng, double spread) { return 1 + spread * rng.Range(-1, 1); }

std::vector<Note> Compose(const Species& species, Rng& rng) {
  std::vector<Note> notes;
  double t = kLeadSeconds;
  for (const Motif& motif : species.motifs) {
    if (motif.pattern == nullptr) break;
    double pitch = 1, loudness = 1, gap = 1;
    for (int r = 0; r < motif.repeats; ++r) {
      for (const char* letter = motif.pattern; *letter != '\0'; ++letter) {
        const Syllable& kind = species.syllables[*letter - 'a'];
        const double seconds = kind.seconds * Vary(rng, species.jitter);
        notes.push_back({&kind, t, seconds, pitch * Vary(rng, species.jitter), loudness * Vary(rng, species.jitter)});
        t += seconds + kind.gap * gap * Vary(rng, species.jitter);
      }
      pitch *= motif.pitchStep;
      loudness *= motif.loudStep;
      gap *= motif.gapStep;
    }
    t += motif.pause;
  }
  return notes;
}

void Sing(std::vector<float>& out, const Note& note, double harmonic, int rate) {
  const Syllable& kind = *note.kind;
  double logHz[4];
  for (int k = 0; k < 4; ++k) logHz[k] = std::log(kind.hz[k] * note.pitch);
  const double middle = (logHz[0] + logHz[1] + logHz[2] + logHz[3]) / 4;
  const size_t first = static_cast<size_t>(note.start * rate);
  const size_t count = std::min(static_cast<size_t>(note.seconds * rate), out.size() - first);
  double phase = 0;
  for (size_t i = 0; i < count; ++i) {
    const double u = (i + 0.5) / count, t = static_cast<double>(i) / rate;
    const double logPitch = Bezier(logHz[0], logHz[1], logHz[2], logHz[3], u);
    const double hz = std::exp(logPitch) * (1 + kind.buzzDepth * std::sin(2 * M_PI * kind.buzzHz * t));
    phase = std::fmod(phase + 2 * M_PI * hz / rate, 2 * M_PI);
      const double rattle = 1 - kRattleDepth * (0.5 - 0.5 * std::cos(2 * M_PI * kind.rattleHz * t));
    const double loudness = note.loudness * std::min(1.0, Bezier(0, kind.loudness[0], kind.loudness[1], 0, u)) *
                            std::exp(kPitchLoudness * (logPitch - middle)) * rattle;
    out[first + i] += static_cast<float>(loudness * (std::sin(phase) + harmonic * std::sin(2 * phase)));
  }
}

}  // namespace

std::vector<float> SingSong(int species, int rate) {
  const Species& bird = kSpecies[species];
  Rng rng(NameSeed("song", static_cast<uint64_t>(species)));
  const std::vector<Note> notes = Compose(bird, rng);
  const Note& last = notes.back();
  std::vector<float> out(static_cast<size_t>((last.start + last.seconds + kTailSeconds) * rate), 0.0f);
  for (const Note& note : notes) Sing(out, note, bird.harmonic, rate);
  return out;
}

const char* SongLikeness(int species) { return kSpecies[species].likeness; }

}  // namespace sylvora
