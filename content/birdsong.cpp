#include "content/birdsong.h"

#include <algorithm>
#include <cmath>

#include "content/random.h"
#include "content/syrinx.h"

namespace sylvora {
namespace {

// Capacities of one species' description.
constexpr int kMaxSyllableKinds = 4;
constexpr int kMaxMotifs = 4;

// Silence before the first and after the last syllable.
constexpr double kLeadSeconds = 0.08;
constexpr double kTailSeconds = 0.12;
// The voice settles at rest this long before the song, so the labia's first move is not heard.
constexpr double kSettleSeconds = 0.05;
// The pressure of the resting labia between syllables, below the oscillator's threshold at 0.
constexpr double kRestPressure = -0.15;
// Tension rises with pitch inside a syllable: β per octave above the syllable's middle pitch.
constexpr double kTensionPerOctave = 0.25;
constexpr double kLeastTension = 0.15, kMostTension = 1.2;
// Corner of the slow random wobbles behind vibrato and tremor.
constexpr double kWobbleHz = 7;
// The shortest silence jitter may leave between two syllables.
constexpr double kShortestGap = 0.006;
// How far one bout's tempo and pitch stray from the species' own.
constexpr double kBoutTempo = 0.06, kBoutPitch = 0.03;
// How a buzz's pulse period and depth change from one pulse to the next.
constexpr double kBuzzPeriodJitter = 0.25, kBuzzDepthJitter = 0.3;

// One kind of syllable: the gestures of one breath. The pressure curve saturates at 1, so inner control
// points above 0.75 hold the note with soft ends; the voice only sounds while the pressure is above its
// threshold, so the first and last parts of the curve are silent.
struct Syllable {
  float seconds;      // length of the pressure gesture
  float gap;          // rest after it
  float hz[4];        // the pitch the tension aims at: Bézier control points in Hz, on a log scale
  float pressure[2];  // inner Bézier control points of a curve from rest to rest
  float tension;      // β at the syllable's middle pitch: low is reedy, high is a pure whistle
  float buzzHz = 0;   // the pressure pulses this many times a second, by buzzDepth: a noisy buzz
  float buzzDepth = 0;
  float breath = 0;  // turbulence of the air flow, 0 .. 1
};

// A run of syllables: `pattern` names syllable kinds by letter ('a' is the first) and is sung `repeats`
// times, give or take `spread` from one bout to the next, each repeat multiplying pitch, loudness and
// gaps by its step.
struct Motif {
  const char* pattern = nullptr;
  int repeats = 1;
  int spread = 0;
  float pitchStep = 1, loudStep = 1, gapStep = 1;
  float pause = 0;  // extra rest after the motif
};

struct Species {
  const char* likeness;  // the kind of bird the song is modelled on
  float drive;           // peak pressure of a syllable at full loudness
  float vibrato;         // slow random wobble of the pitch, relative
  float tremor;          // slow random wobble of the pressure, relative
  float jitter;          // spread of pitch, length, gaps and loudness from one syllable to the next
  Tract tract;           // resonances as multiples of the pitch: {multiple, Q, gain}
  Syllable syllables[kMaxSyllableKinds];
  Motif motifs[kMaxMotifs];
};

// A clear whistler's tract: the beak's resonance on the pitch, faint ones on the next two harmonics.
constexpr Tract kWhistle = {{{1, 2.5f, 1}, {2, 4, 0.06f}, {3, 5, 0.02f}}};
// A fluting tract that lets more of the second harmonic through.
constexpr Tract kFlute = {{{1, 2, 1}, {2, 3, 0.15f}, {3, 4, 0.04f}}};
// An open, reedy tract for harsh calls.
constexpr Tract kReed = {{{1, 1.2f, 1}, {2, 2, 0.45f}, {3.1f, 2, 0.25f}}};

// clang-format off
constexpr Species kSpecies[kSongCount] = {
    // Syllables: seconds, gap, pitch control points (Hz), pressure control points, tension[, buzz Hz,
    // buzz depth, breath].
    {"thrush: fluting phrases, each repeated, then a high twitter", 0.32f, 0.012f, 0.04f, 0.05f, kWhistle,
     {{0.13f, 0.05f, {1750, 1800, 2600, 2650}, {1.6f, 1.6f}, 0.7f, 0, 0, 0.1f},
      {0.19f, 0.06f, {2200, 3300, 2950, 2050}, {1.8f, 1.5f}, 0.7f, 0, 0, 0.1f},
      {0.12f, 0.07f, {2950, 2850, 1950, 1850}, {1.7f, 1.3f}, 0.7f, 0, 0, 0.1f},
      {0.04f, 0.022f, {6900, 6300, 4900, 4400}, {1.6f, 1.2f}, 0.5f, 0, 0, 0.15f}},
     {{.pattern = "ab", .repeats = 2, .spread = 1, .pause = 0.12f},
      {.pattern = "c", .repeats = 3, .spread = 1, .pause = 0.1f},
      {.pattern = "d", .repeats = 6, .spread = 2, .pitchStep = 0.99f, .loudStep = 0.94f}}},
    {"warbler: a cascade of soft notes falling from high to low", 0.3f, 0.012f, 0.04f, 0.04f, kWhistle,
     {{0.07f, 0.025f, {8700, 8300, 6900, 6500}, {1.6f, 1.4f}, 0.9f, 0, 0, 0.1f},
      {0.14f, 0.0f, {4300, 5100, 4700, 3700}, {1.8f, 1.5f}, 0.8f, 0, 0, 0.1f}},
     {{.pattern = "a", .repeats = 14, .spread = 2, .pitchStep = 0.965f, .loudStep = 1.02f},
      {.pattern = "b"}}},
    {"tit: a repeated two-note tea-cher", 0.3f, 0.01f, 0.03f, 0.03f, kWhistle,
     {{0.11f, 0.04f, {6500, 6600, 6300, 6100}, {1.8f, 1.6f}, 0.9f, 0, 0, 0.05f},
      {0.13f, 0.15f, {4300, 4200, 3500, 3300}, {1.8f, 1.4f}, 0.8f, 0, 0, 0.05f}},
     {{.pattern = "ab", .repeats = 5, .spread = 1, .loudStep = 0.95f}}},
    {"a rising, quickening series of chirps", 0.34f, 0.015f, 0.04f, 0.05f, kFlute,
     {{0.06f, 0.11f, {2300, 2500, 3700, 3500}, {1.2f, 1.8f}, 0.5f, 0, 0, 0.2f},
      {0.17f, 0.0f, {4000, 5800, 5600, 3600}, {1.6f, 1.5f}, 0.6f, 0, 0, 0.2f}},
     {{.pattern = "a", .repeats = 11, .spread = 2, .pitchStep = 1.04f, .loudStep = 1.05f, .gapStep = 0.9f,
       .pause = 0.03f},
      {.pattern = "b"}}},
    {"bunting: a run of buzzy notes, then two long buzzes", 0.32f, 0.015f, 0.05f, 0.05f, kFlute,
     {{0.09f, 0.06f, {4800, 4700, 4300, 4100}, {1.8f, 1.5f}, 0.35f, 140, 0.32f, 0.7f},
      {0.42f, 0.05f, {5200, 5500, 5400, 5100}, {2.0f, 2.0f}, 0.4f, 110, 0.38f, 0.8f},
      {0.55f, 0.0f, {3500, 3700, 3600, 3100}, {2.0f, 1.6f}, 0.35f, 90, 0.4f, 0.9f}},
     {{.pattern = "a", .repeats = 7, .spread = 2, .loudStep = 1.03f}, {.pattern = "bc"}}},
    {"oriole: low fluted whistles in a yodelling phrase", 0.3f, 0.015f, 0.04f, 0.04f, kFlute,
     {{0.14f, 0.0f, {1550, 1650, 2350, 2300}, {1.6f, 1.8f}, 0.55f, 0, 0, 0.1f},
      {0.16f, 0.02f, {2300, 2950, 2700, 1900}, {1.8f, 1.6f}, 0.55f, 0, 0, 0.1f},
      {0.25f, 0.3f, {2050, 2150, 1750, 1550}, {1.8f, 1.4f}, 0.5f, 0, 0, 0.1f}},
     {{.pattern = "abc", .repeats = 3, .spread = 1, .pitchStep = 1.03f, .pause = 0.1f}}},
    {"a short, harsh chattering rasp", 0.4f, 0.02f, 0.06f, 0.08f, kReed,
     {{0.05f, 0.022f, {2900, 3500, 3300, 2700}, {1.6f, 1.4f}, 0.2f, 230, 0.35f, 1.0f}},
     {{.pattern = "a", .repeats = 8, .spread = 2, .pitchStep = 0.99f, .loudStep = 0.97f, .pause = 0.08f},
      {.pattern = "a", .repeats = 6, .spread = 2, .pitchStep = 1.02f, .loudStep = 0.97f, .pause = 0.07f},
      {.pattern = "a", .repeats = 9, .spread = 2, .pitchStep = 0.99f, .loudStep = 0.96f, .gapStep = 1.04f}}},
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

// One bout: its own tempo, pitch and repeat counts, every syllable a little different from the last.
std::vector<Note> Compose(const Species& species, Rng& rng) {
  const double tempo = Vary(rng, kBoutTempo), boutPitch = Vary(rng, kBoutPitch);
  std::vector<Note> notes;
  double t = kLeadSeconds;
  for (const Motif& motif : species.motifs) {
    if (motif.pattern == nullptr) break;
    const int repeats = std::max(1, motif.repeats + rng.Int(-motif.spread, motif.spread + 1));
    double pitch = boutPitch, loudness = 1, gap = tempo;
    for (int r = 0; r < repeats; ++r) {
      for (const char* letter = motif.pattern; *letter != '\0'; ++letter) {
        const Syllable& kind = species.syllables[*letter - 'a'];
        const double seconds = kind.seconds * tempo * Vary(rng, species.jitter);
        notes.push_back(
            {&kind, t, seconds, pitch * Vary(rng, species.jitter / 2), loudness * Vary(rng, species.jitter)});
        t += seconds + std::max(kShortestGap, kind.gap * gap * Vary(rng, 2 * species.jitter));
      }
      pitch *= motif.pitchStep;
      loudness *= motif.loudStep;
      gap *= motif.gapStep;
    }
    t += motif.pause * tempo;
  }
  return notes;
}

// A slow random wobble of about unit deviation: low-passed noise.
class Wobble {
 public:
  Wobble(int rate, uint64_t seed) : rng_(seed), pole_(1 - std::exp(-2 * M_PI * kWobbleHz / rate)) {}
  double Run() {
    value_ += pole_ * (rng_.Gauss() * std::sqrt((2 - pole_) / pole_) - value_);
    return value_;
  }

 private:
  Rng rng_;
  double pole_, value_ = 0;
};

// The pulses of a buzz: a pressure swing whose period and depth change from pulse to pulse.
class Buzz {
 public:
  explicit Buzz(uint64_t seed) : rng_(seed) {}
  double Run(double hz, double depth, int rate) {
    phase_ += hz * period_ / rate;
    if (phase_ >= 1) {
      phase_ -= 1;
      period_ = Vary(rng_, kBuzzPeriodJitter);
      depth_ = Vary(rng_, kBuzzDepthJitter);
    }
    return depth * depth_ * std::cos(2 * M_PI * phase_);
  }

 private:
  Rng rng_;
  double phase_ = 0, period_ = 1, depth_ = 1;
};

// The gestures of `note` at `seconds`; a rest when the note is over or has not begun.
VoiceGesture Gesture(const Species& species, const Note& note, double seconds, const double wobbles[2], double buzz) {
  const Syllable& kind = *note.kind;
  const double u = (seconds - note.start) / note.seconds;
  double logHz[4];
  for (int k = 0; k < 4; ++k) logHz[k] = std::log(kind.hz[k] * note.pitch);
  const double logPitch = Bezier(logHz[0], logHz[1], logHz[2], logHz[3], std::clamp(u, 0.0, 1.0));
  const double middle = (logHz[0] + logHz[1] + logHz[2] + logHz[3]) / 4;
  VoiceGesture g;
  g.hz = std::exp(logPitch) * (1 + species.vibrato * wobbles[0]);
  g.tension = std::clamp(kind.tension + kTensionPerOctave * (logPitch - middle) / M_LN2, kLeastTension, kMostTension);
  g.pressure = kRestPressure;
  if (u <= 0 || u >= 1) return g;
  const double envelope = std::min(1.0, Bezier(0, kind.pressure[0], kind.pressure[1], 0, u));
  const double peak = species.drive * note.loudness * (1 + species.tremor * wobbles[1]);
  g.pressure += (peak - kRestPressure) * envelope + buzz * envelope;
  g.breath = kind.breath;
  return g;
}

}  // namespace

std::vector<float> SingSong(int species, int rendition, int rate) {
  const Species& bird = kSpecies[species];
  Rng rng(NameSeed("song", static_cast<uint64_t>(species * 64 + rendition)));
  const std::vector<Note> notes = Compose(bird, rng);
  const Note& last = notes.back();
  std::vector<float> out(static_cast<size_t>((last.start + last.seconds + kTailSeconds) * rate), 0.0f);
  Syrinx voice(bird.tract, rate, rng.Next());
  Wobble vibrato(rate, rng.Next()), tremor(rate, rng.Next());
  Buzz buzz(rng.Next());
  const double still[2] = {0, 0};
  for (int i = 0; i < static_cast<int>(kSettleSeconds * rate); ++i) voice.Run(Gesture(bird, notes[0], 0, still, 0));
  size_t n = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double seconds = static_cast<double>(i) / rate;
    while (n + 1 < notes.size() && seconds >= notes[n + 1].start) ++n;
    const double wobbles[2] = {vibrato.Run(), tremor.Run()};
    const Syllable& kind = *notes[n].kind;
    const double pulse = kind.buzzHz > 0 ? buzz.Run(kind.buzzHz, kind.buzzDepth, rate) : 0;
    out[i] = static_cast<float>(voice.Run(Gesture(bird, notes[n], seconds, wobbles, pulse)));
  }
  return out;
}

const char* SongLikeness(int species) { return kSpecies[species].likeness; }

}  // namespace sylvora
