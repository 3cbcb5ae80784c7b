// Sounds: the background ambience (wind in grass and leaves, a distant brook) looping seamlessly, and
// seven bird songs made from swept tones with harmonics and envelopes, given a little room around them.
#include <algorithm>
#include <cmath>
#include <vector>

#include "content/painters.h"
#include "content/random.h"

namespace sylvora {
namespace {

constexpr int kRate = 44100;
// The ambience loop and the overlap that is folded back onto its start to hide the loop point.
constexpr double kAmbienceSeconds = 40.0;
constexpr double kCrossfadeSeconds = 2.0;
// Peak levels after normalising; the encoder's small overshoot stays far from clipping.
constexpr float kAmbiencePeak = 0.55f;
constexpr float kSongPeak = 0.7f;

// Second-order section (the usual cookbook band-pass and low-pass forms).
class Biquad {
 public:
  static Biquad BandPass(double hz, double q) {
    const double w = 2 * M_PI * hz / kRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
    return {alpha / a0, 0, -alpha / a0, -2 * std::cos(w) / a0, (1 - alpha) / a0};
  }
  static Biquad LowPass(double hz, double q) {
    const double w = 2 * M_PI * hz / kRate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
    return {(1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0};
  }
  double Run(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  Biquad(double b0, double b1, double b2, double a1, double a2) : b0_(b0), b1_(b1), b2_(b2), a1_(a1), a2_(a2) {}
  double b0_, b1_, b2_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A one-pole low-pass whose cutoff may change every sample.
struct Smoother {
  double y = 0;
  double Run(double x, double hz) {
    y += (1 - std::exp(-2 * M_PI * hz / kRate)) * (x - y);
    return y;
  }
};

void Normalise(std::vector<float>& samples, float peak) {
  float top = 0;
  for (float s : samples) top = std::max(top, std::abs(s));
  if (top > 0) {
    for (float& s : samples) s *= peak / top;
  }
}

// ---------------------------------------------------------------------------------------------------
// Ambience.

SampleBuffer Ambience() {
  const size_t loop = static_cast<size_t>(kAmbienceSeconds * kRate);
  const size_t fade = static_cast<size_t>(kCrossfadeSeconds * kRate);
  const size_t total = loop + fade;
  Rng rng(NameSeed("backmain"));
  std::vector<float> raw(total * 2);
  Biquad windBand[2] = {Biquad::BandPass(380, 0.6), Biquad::BandPass(420, 0.6)};
  Biquad leafBand[2] = {Biquad::BandPass(3200, 0.9), Biquad::BandPass(3600, 0.9)};
  Biquad brookBand[2] = {Biquad::BandPass(900, 1.2), Biquad::BandPass(1100, 1.2)};
  Smoother windBody[2], flutter[2], burble;
  // Brook bubbles: short rising blips, a few per second.
  struct Bubble { size_t start; double hz, rise, length, gain, pan; };
  std::vector<Bubble> bubbles;
  for (size_t t = 0; t < total;) {
    bubbles.push_back({t, rng.Range(500, 1300), rng.Range(1.3, 2.2), rng.Range(0.015, 0.05), rng.Range(0.2, 1.0),
                       rng.Range(0.1, 0.45)});
    t += static_cast<size_t>(rng.Range(0.03, 0.25) * kRate);
  }
  size_t nextBubble = 0;
  std::vector<std::pair<size_t, size_t>> live;  // (bubble index, samples played)
  for (size_t i = 0; i < total; ++i) {
    const double u = static_cast<double>(i) / loop;  // loop phase; the envelopes repeat every loop
    const double gust = 0.55 + 0.25 * std::sin(2 * M_PI * 3 * u) + 0.14 * std::sin(2 * M_PI * 7 * u + 1.3) +
                        0.06 * std::sin(2 * M_PI * 17 * u + 0.4);
    const double common = rng.Gauss();
    const double rustle = std::max(0.0, burble.Run(rng.Gauss(), 6) * 6);
    double brook = 0;
    while (nextBubble < bubbles.size() && bubbles[nextBubble].start == i) live.push_back({nextBubble++, 0});
    double bubbleOut[2] = {0, 0};
    for (auto it = live.begin(); it != live.end();) {
      const Bubble& b = bubbles[it->first];
      const double t = static_cast<double>(it->second) / kRate;
      if (t > b.length * 4) {
        it = live.erase(it);
        continue;
      }
      const double hz = b.hz * (1 + (b.rise - 1) * std::min(1.0, t / b.length));
      const double v = b.gain * std::sin(2 * M_PI * hz * t) * std::exp(-t / b.length) * std::min(1.0, t * 2000);
      bubbleOut[0] += v * (1 - b.pan);
      bubbleOut[1] += v * b.pan;
      ++it->second;
      ++it;
    }
    for (int c = 0; c < 2; ++c) {
      const double noise = 0.6 * common + 0.8 * rng.Gauss();
      const double wind = windBody[c].Run(noise, 120 + 260 * gust) * 2.2 + windBand[c].Run(noise) * 0.5;
      const double leaves = leafBand[c].Run(rng.Gauss()) * (0.25 * gust * gust + 0.12 * rustle) *
                            std::max(0.0, flutter[c].Run(rng.Gauss(), 14) * 4 + 0.6);
      brook = brookBand[c].Run(rng.Gauss()) * 0.12 * (0.7 + 0.3 * std::sin(2 * M_PI * 29 * u));
      raw[i * 2 + c] = static_cast<float>(wind * gust + leaves + brook + bubbleOut[c] * 0.035);
    }
  }
  // Fold the overlap past the loop end back onto the start with an equal-power crossfade: the last
  // sample of the loop is then followed, on wrapping, by the very sample that followed it in the raw take.
  SampleBuffer out;
  out.channels = 2;
  out.rate = kRate;
  out.samples.assign(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(loop * 2));
  for (size_t i = 0; i < fade; ++i) {
    const double a = 0.5 * M_PI * static_cast<double>(i) / fade;
    for (int c = 0; c < 2; ++c) {
      out.samples[i * 2 + c] = static_cast<float>(raw[(loop + i) * 2 + c] * std::cos(a) + raw[i * 2 + c] * std::sin(a));
    }
  }
  Normalise(out.samples, kAmbiencePeak);
  return out;
}

// ---------------------------------------------------------------------------------------------------
// Bird songs.

// One tone: a sweep from f0 to f1 (shape > 1 stays near f0 longer), vibrato, harmonics and an envelope
// that rises over `attack` of its length and falls away over the rest.
struct Tone {
  double start, length;
  double f0, f1, shape = 1;
  double gain = 1;
  double vibratoHz = 0, vibratoDepth = 0;
  double second = 0.12, third = 0.04;
  double attack = 0.15;
};

void AddTone(std::vector<double>& out, const Tone& t) {
  const size_t first = static_cast<size_t>(t.start * kRate);
  const size_t count = static_cast<size_t>(t.length * kRate);
  double phase = 0;
  for (size_t i = 0; i < count && first + i < out.size(); ++i) {
    const double u = static_cast<double>(i) / count;
    const double hz = t.f0 + (t.f1 - t.f0) * std::pow(u, t.shape) +
                      t.vibratoDepth * std::sin(2 * M_PI * t.vibratoHz * i / kRate);
    phase += 2 * M_PI * hz / kRate;
    const double rise = std::min(1.0, u / t.attack);
    const double fall = u < t.attack ? 1.0 : std::cos(0.5 * M_PI * (u - t.attack) / (1 - t.attack));
    const double env = std::sin(0.5 * M_PI * rise) * std::pow(std::max(0.0, fall), 0.7);
    out[first + i] += t.gain * env *
                      (std::sin(phase) + t.second * std::sin(2 * phase + 0.3) + t.third * std::sin(3 * phase + 0.7));
  }
}

// A little space around the song: a few short, damped reflections as from nearby trees.
std::vector<float> WithRoom(const std::vector<double>& dry) {
  static constexpr double kDelays[] = {0.023, 0.037, 0.053, 0.071, 0.097};
  static constexpr double kGains[] = {0.22, 0.16, 0.12, 0.08, 0.05};
  std::vector<float> wet(dry.size());
  Smoother damp[5];
  for (size_t i = 0; i < dry.size(); ++i) {
    double s = dry[i];
    for (int k = 0; k < 5; ++k) {
      const size_t d = static_cast<size_t>(kDelays[k] * kRate);
      s += kGains[k] * damp[k].Run(i >= d ? dry[i - d] : 0, 3500);
    }
    wet[i] = static_cast<float>(s);
  }
  return wet;
}

std::vector<double> SongTones(int song) {
  Rng rng(NameSeed("song", static_cast<uint64_t>(song)));
  std::vector<Tone> tones;
  double seconds = 0;
  switch (song) {
    case 0: {  // fluting phrase, ending in a soft twitter
      const double notes[][3] = {{1900, 2300, 0.20}, {2300, 2100, 0.16}, {1700, 1600, 0.26}, {2500, 2700, 0.14},
                                 {2200, 1800, 0.22}, {1900, 2000, 0.30}};
      double t = 0.05;
      for (const auto& n : notes) {
        tones.push_back({t, n[2], n[0], n[1], 1.4, 1.0, 5, 18, 0.18, 0.05, 0.2});
        t += n[2] + rng.Range(0.04, 0.09);
      }
      for (int i = 0; i < 6; ++i) {
        tones.push_back({t, 0.035, 5200, 4200, 1, 0.35, 0, 0, 0.05, 0, 0.2});
        t += 0.05;
      }
      seconds = t + 0.3;
      break;
    }
    case 1: {  // a two-note call, three times
      double t = 0.05;
      for (int i = 0; i < 3; ++i) {
        tones.push_back({t, 0.11, 5400, 5100, 1, 1.0, 0, 0, 0.06, 0.01, 0.12});
        tones.push_back({t + 0.15, 0.12, 3700, 3500, 1, 0.85, 0, 0, 0.08, 0.02, 0.12});
        t += 0.34;
      }
      seconds = t + 0.3;
      break;
    }
    case 2: {  // a fast trill, swelling and falling in pitch
      const int count = 40;
      for (int i = 0; i < count; ++i) {
        const double u = static_cast<double>(i) / count;
        const double base = 6200 - 1600 * u;
        tones.push_back({0.05 + i * 0.042, 0.03, base, base - 1500, 0.8, 0.4 + 0.6 * std::sin(M_PI * u), 0, 0, 0.05,
                         0, 0.2});
      }
      seconds = 0.05 + count * 0.042 + 0.3;
      break;
    }
    case 3: {  // an accelerating descending series with a flourish at the end
      double t = 0.05, gap = 0.13;
      for (int i = 0; i < 11; ++i) {
        const double hz = 5000 - i * 190;
        tones.push_back({t, 0.07, hz + 300, hz - 300, 1, 0.8, 0, 0, 0.08, 0.02, 0.2});
        t += gap;
        gap = std::max(0.07, gap * 0.93);
      }
      tones.push_back({t, 0.13, 2600, 5200, 0.7, 1.0, 0, 0, 0.1, 0.02, 0.3});
      tones.push_back({t + 0.13, 0.16, 5200, 2900, 1.2, 0.9, 0, 0, 0.1, 0.02, 0.1});
      seconds = t + 0.6;
      break;
    }
    case 4: {  // a warble: quick glides between wandering pitches with a fast tremble
      double t = 0.05, hz = 3200;
      for (int i = 0; i < 16; ++i) {
        const double next = rng.Range(2500, 5200);
        const double length = rng.Range(0.06, 0.13);
        tones.push_back({t, length, hz, next, 1, rng.Range(0.6, 1.0), 38, 160, 0.1, 0.03, 0.25});
        hz = next;
        t += length + rng.Range(0.0, 0.04);
      }
      seconds = t + 0.3;
      break;
    }
    case 5: {  // a cuckoo-like call, twice
      for (int i = 0; i < 2; ++i) {
        const double t = 0.05 + i * 0.95;
        tones.push_back({t, 0.2, 700, 680, 1, 1.0, 0, 0, 0.1, 0.03, 0.25});
        tones.push_back({t + 0.26, 0.36, 580, 560, 1, 0.85, 0, 0, 0.1, 0.03, 0.2});
      }
      seconds = 2.2;
      break;
    }
    default: {  // a dove's coo: coo-COO-coo, low and hollow
      const double notes[][4] = {{0.05, 0.35, 470, 0.6}, {0.5, 0.7, 540, 1.0}, {1.35, 0.45, 450, 0.7}};
      for (const auto& n : notes) {
        tones.push_back({n[0], n[1], n[2] * 0.94, n[2], 0.6, n[3], 4, 6, 0.35, 0.12, 0.35});
      }
      seconds = 2.3;
      break;
    }
  }
  std::vector<double> out(static_cast<size_t>(seconds * kRate), 0.0);
  for (const Tone& t : tones) AddTone(out, t);
  return out;
}

SampleBuffer Song(int song) {
  SampleBuffer out;
  out.channels = 1;
  out.rate = kRate;
  out.samples = WithRoom(SongTones(song));
  Normalise(out.samples, kSongPeak);
  return out;
}

}  // namespace

SampleBuffer SynthesiseSound(const ContentItem& item) {
  return item.role == ContentRole::Ambience ? Ambience() : Song(item.variant);
}

}  // namespace sylvora
