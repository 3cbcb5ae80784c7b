// Sounds: the background ambience looping seamlessly (gusts of wind, leaves rustling after them, a
// distant brook with its bubbles and a faint cricket), and the seven bird songs of the species table.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "content/birdsong.h"
#include "content/painters.h"
#include "content/random.h"

namespace sylvora {
namespace {

// Songs at the usual rate; the ambience at the output's rate, which loses nothing audible and halves its
// three minutes' size.
constexpr int kSongRate = 44100;
constexpr int kRate = 22050;
// The ambience loop: long enough that no gust, rustle or chirp pattern comes round again within three
// minutes, and the overlap that is folded back onto its start to hide the loop point.
constexpr double kAmbienceSeconds = 182.0;
constexpr double kCrossfadeSeconds = 2.0;
// Levels after normalising: the songs' peak, where the encoder's small overshoot stays far from clipping,
// and the ambience's root mean square, whose gusts then peak well below full scale.
constexpr float kSongPeak = 0.7f;
constexpr double kAmbienceLevel = 0.07;

// Gusts in one loop at random moments, so their spacing varies, and the calm between them (relative to
// a full gust). Their strength is sampled this many times a second and interpolated between.
constexpr int kGustCount = 34;
constexpr double kCalm = 0.3;
constexpr double kGustRate = 200;
// Leaves answer a gust a moment after it reaches the trees.
constexpr double kLeafLagSeconds = 0.4;
// Leaf clicks per second in a full gust, and how fast one dies away (Hz of a one-pole decay).
constexpr double kLeafClicksPerSecond = 220;
constexpr double kLeafClickDecayHz = 60;
// Brook bubbles: their spacing in seconds; the brook's rush swells and ebbs over tens of seconds too.
constexpr double kBubbleSpacingMin = 0.008, kBubbleSpacingMax = 0.07;
constexpr double kBrookSwellHz = 0.03;
// The cricket: chirps of a few short tone pulses at a period that drifts and stumbles, with a pause now
// and then.
constexpr double kChirpSeconds = 0.62, kChirpJitter = 0.1, kChirpDrift = 0.15;
constexpr int kFewestPulses = 2, kMostPulses = 4;
constexpr double kCricketPulseSeconds = 0.014, kCricketPulseSpacing = 0.022;
constexpr double kCricketHz = 4700, kCricketHzSpread = 0.02;
constexpr double kCricketPauseChance = 0.04, kCricketPauseMin = 2, kCricketPauseMax = 9;
// The mix before normalising.
constexpr double kWindGain = 3.0, kHowlGain = 0.25, kLeafGain = 0.35;
constexpr double kBrookGain = 0.3, kBubbleGain = 0.15, kCricketGain = 0.1;
// Left and right gains: the brook lies to the left, the cricket to the right.
constexpr double kBrookPan[2] = {0.75, 0.4}, kCricketPan[2] = {0.3, 0.8};

// Second-order section (the usual cookbook band-pass form).
class BandPass {
 public:
  BandPass(double hz, double q) {
    const double w = 2 * M_PI * hz / kRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
    b0_ = alpha / a0;
    a1_ = -2 * std::cos(w) / a0;
    a2_ = (1 - alpha) / a0;
  }
  double Run(double x) {
    const double y = b0_ * (x - x2_) - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  double b0_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A band-pass whose centre may move every sample (state-variable form, stable well below rate / 6).
struct SweptBand {
  double low = 0, band = 0;
  double Run(double x, double hz, double q) {
    const double f = 2 * std::sin(M_PI * hz / kRate);
    low += f * band;
    band += f * (x - low - band / q);
    return band;
  }
};

// A one-pole low-pass whose cutoff may change every sample.
struct Smoother {
  double y = 0;
  double Run(double x, double hz) {
    y += (1 - std::exp(-2 * M_PI * hz / kRate)) * (x - y);
    return y;
  }
};

void ScaleToLevel(std::vector<float>& samples, double rms) {
  double sum = 0;
  for (float s : samples) sum += s * s;
  const double scale = rms / std::sqrt(sum / samples.size());
  for (float& s : samples) s = static_cast<float>(s * scale);
}

void Normalise(std::vector<float>& samples, float peak) {
  float top = 0;
  for (float s : samples) top = std::max(top, std::abs(s));
  if (top > 0) {
    for (float& s : samples) s *= peak / top;
  }
}

// ---------------------------------------------------------------------------------------------------
// Ambience.

// The strength of the wind: raised-cosine swells of random strength and width at random moments over a
// calm, wrapping around the loop so that the wind runs on across the loop point.
class Gusts {
 public:
  explicit Gusts(Rng& rng) {
    std::array<Gust, kGustCount> gusts;
    for (Gust& g : gusts) g = {rng.Range(0, kAmbienceSeconds), rng.Range(1.0, 5.0), rng.Range(0.2, 1.6)};
    strength_.resize(static_cast<size_t>((kAmbienceSeconds + kCrossfadeSeconds) * kGustRate) + 2);
    for (size_t i = 0; i < strength_.size(); ++i) strength_[i] = Strength(gusts, i / kGustRate);
  }
  // kCalm .. 1 at `seconds`, from a loop before the take's start to its end.
  double At(double seconds) const {
    const double at = (seconds < 0 ? seconds + kAmbienceSeconds : seconds) * kGustRate;
    const size_t i = std::min(static_cast<size_t>(at), strength_.size() - 2);
    return strength_[i] + (at - i) * (strength_[i + 1] - strength_[i]);
  }

 private:
  struct Gust {
    double centre, halfWidth, strength;
  };
  // Overlapping gusts saturate rather than add up.
  static double Strength(const std::array<Gust, kGustCount>& gusts, double seconds) {
    double swell = 0;
    for (const Gust& g : gusts) {
      const double from =
          std::fmod(seconds - g.centre + 1.5 * kAmbienceSeconds, kAmbienceSeconds) - kAmbienceSeconds / 2;
      if (std::abs(from) < g.halfWidth) swell += g.strength * (0.5 + 0.5 * std::cos(M_PI * from / g.halfWidth));
    }
    return kCalm + (1 - kCalm) * std::tanh(swell);
  }
  std::vector<double> strength_;
};

// Brook bubbles: short blips whose pitch rises as they shrink, each decaying in a few tens of ms.
class Bubbles {
 public:
  Bubbles(Rng& rng, size_t total) {
    for (double t = 0; t < static_cast<double>(total) / kRate; t += rng.Range(kBubbleSpacingMin, kBubbleSpacingMax)) {
      bubbles_.push_back({static_cast<size_t>(t * kRate), rng.Range(700, 2400), rng.Range(1.2, 2.0),
                          rng.Range(0.008, 0.03), rng.Range(0.2, 1.0)});
    }
  }
  double Run(size_t i) {
    while (next_ < bubbles_.size() && bubbles_[next_].start == i) live_.push_back(next_++);
    double out = 0;
    for (auto it = live_.begin(); it != live_.end();) {
      const Bubble& b = bubbles_[*it];
      const double t = static_cast<double>(i - b.start) / kRate;
      if (t > b.decay * 5) {
        it = live_.erase(it);
        continue;
      }
      const double hz = b.hz * (1 + (b.rise - 1) * std::min(1.0, t / b.decay));
      out += b.gain * std::sin(2 * M_PI * hz * t) * std::exp(-t / b.decay) * std::min(1.0, t * 2000);
      ++it;
    }
    return out;
  }

 private:
  struct Bubble { size_t start; double hz, rise, decay, gain; };
  std::vector<Bubble> bubbles_;
  std::vector<size_t> live_;
  size_t next_ = 0;
};

// The cricket: its tone gated into smooth pulses, a few to a chirp, its chirps at a period that drifts
// and stumbles, louder and softer, and now and then a pause.
class Cricket {
 public:
  Cricket(Rng& rng, double seconds) {
    double period = kChirpSeconds;
    for (double t = rng.Range(0, kChirpSeconds); t < seconds;) {
      chirps_.push_back({t, rng.Int(kFewestPulses, kMostPulses + 1), kCricketHz * (1 + kCricketHzSpread * rng.Gauss()),
                         rng.Range(0.5, 1.0)});
      period = std::clamp(period * (1 + 0.05 * rng.Gauss()), kChirpSeconds * (1 - kChirpDrift),
                          kChirpSeconds * (1 + kChirpDrift));
      t += period * (1 + kChirpJitter * rng.Gauss());
      if (rng.Unit() < kCricketPauseChance) t += rng.Range(kCricketPauseMin, kCricketPauseMax);
    }
  }
  double Run(double seconds) {
    while (next_ + 1 < chirps_.size() && seconds >= chirps_[next_ + 1].start) ++next_;
    if (chirps_.empty() || seconds < chirps_[next_].start) return 0;
    const Chirp& c = chirps_[next_];
    const double inChirp = seconds - c.start, pulse = std::fmod(inChirp, kCricketPulseSpacing);
    if (inChirp >= c.pulses * kCricketPulseSpacing || pulse > kCricketPulseSeconds) return 0;
    return c.gain * std::pow(std::sin(M_PI * pulse / kCricketPulseSeconds), 2) * std::sin(2 * M_PI * c.hz * inChirp);
  }

 private:
  struct Chirp {
    double start;
    int pulses;
    double hz, gain;
  };
  std::vector<Chirp> chirps_;
  size_t next_ = 0;
};

// One channel's wind and leaves; the channels share part of their noise, so the wind sounds wide
// but whole.
struct WindChannel {
  Smoother body, body2, flutter, clicks;
  SweptBand howl;
  BandPass leafBand{4200, 0.5};
  // Stronger wind is brighter, and its hollow resonance rises; leaves flutter and click with their gust.
  double Run(Rng& rng, double common, double gust, double leafGust) {
    const double noise = 0.6 * common + 0.8 * rng.Gauss();
    const double cutoff = 90 + 420 * gust;
    const double wind =
        body2.Run(body.Run(noise, cutoff), cutoff) * kWindGain + howl.Run(noise, 220 + 260 * gust, 4) * kHowlGain;
    if (rng.Unit() < kLeafClicksPerSecond * std::pow(leafGust, 3) / kRate) clicks.y += rng.Range(0.5, 1.5);
    const double flicker = std::max(0.0, flutter.Run(rng.Gauss(), 12) * 5 + 0.3);
    const double rustle = flicker * leafGust * leafGust + clicks.Run(0, kLeafClickDecayHz);
    return wind * gust + leafBand.Run(rng.Gauss()) * kLeafGain * rustle;
  }
};

// The raw take, loop plus overlap, interleaved stereo.
std::vector<float> AmbienceTake(size_t total) {
  Rng rng(NameSeed("backmain"));
  const Gusts gusts(rng);
  Bubbles bubbles(rng, total);
  Cricket cricket(rng, static_cast<double>(total) / kRate);
  WindChannel wind[2];
  BandPass brookBand[2] = {BandPass(1200, 0.8), BandPass(1400, 0.8)};
  Smoother babble, swell;
  std::vector<float> raw(total * 2);
  for (size_t i = 0; i < total; ++i) {
    const double seconds = static_cast<double>(i) / kRate;
    const double gust = gusts.At(seconds), leafGust = gusts.At(seconds - kLeafLagSeconds);
    const double common = rng.Gauss(), bubble = bubbles.Run(i), chirp = cricket.Run(seconds);
    // The brook babbles: its rush swells and ebbs a few times a second under the bubbles, and more
    // slowly as the water's flow changes.
    const double flow = (0.6 + std::max(0.0, babble.Run(rng.Gauss(), 4) * 25)) *
                        std::clamp(1 + swell.Run(rng.Gauss(), kBrookSwellHz) * 150, 0.5, 1.5);
    for (int c = 0; c < 2; ++c) {
      const double brook = brookBand[c].Run(rng.Gauss()) * kBrookGain * flow + bubble * kBubbleGain;
      raw[i * 2 + c] = static_cast<float>(wind[c].Run(rng, common, gust, leafGust) + brook * kBrookPan[c] +
                                          chirp * kCricketGain * kCricketPan[c]);
    }
  }
  return raw;
}

SampleBuffer Ambience() {
  const size_t loop = static_cast<size_t>(kAmbienceSeconds * kRate);
  const size_t fade = static_cast<size_t>(kCrossfadeSeconds * kRate);
  const std::vector<float> raw = AmbienceTake(loop + fade);
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
  ScaleToLevel(out.samples, kAmbienceLevel);
  return out;
}

SampleBuffer Song(int species, int rendition) {
  SampleBuffer out;
  out.channels = 1;
  out.rate = kSongRate;
  out.samples = SingSong(species, rendition, kSongRate);
  Normalise(out.samples, kSongPeak);
  return out;
}

}  // namespace

SampleBuffer SynthesiseSound(const ContentItem& item) {
  return item.role == ContentRole::Ambience ? Ambience() : Song(item.variant, item.rendition);
}

}  // namespace sylvora
