#include "tests/content/sound_analysis.h"

#include <algorithm>
#include <cmath>

#include "content/sonogram.h"

namespace sylvora {
namespace {

// Song analysis: 5.8 ms windows every 1.45 ms at 44.1 kHz, fine enough in time for 40-a-second trills.
constexpr int kWindow = 256, kHop = 64;
// Below this, wind rumble rather than song.
constexpr double kLowestHz = 300;
// A frame belongs to a syllable when its power is within this of the song's loudest frame, and carries
// the syllable's pitch when its peak is within kPitchedDb of the syllable's loudest peak.
constexpr double kSyllableDb = 30, kPitchedDb = 20;
// Shorter silences do not part syllables, and shorter sounds are not syllables.
constexpr double kMinGapSeconds = 0.004, kMinSyllableSeconds = 0.008;
// A tracked pitch moves at most this far from one frame to the next; farther, the track breaks.
constexpr double kTrackStepOctaves = 0.15;
constexpr double kSweepOctaves = 1.0 / 3, kSweepSeconds = 0.06;
// A trill: notes of like pitch, 10 to 40 a second, for 300 ms or more.
constexpr double kTrillMinInterval = 1.0 / 40, kTrillMaxInterval = 1.0 / 10, kTrillSeconds = 0.3;
constexpr double kTrillPitchOctaves = 0.25;
constexpr double kEdgeSeconds = 0.02;
// Ambience bands, and the spectral grid of the correlation: 10 ms frames, log-spaced bands.
constexpr double kLowBandHz = 500, kHighBandHz = 4000;
constexpr int kGridBands = 32;
constexpr double kGridLowHz = 1000, kGridHighHz = 11000;
// Harmonics are the bins this near a multiple of the peak's frequency; the rest of a frame is noise.
constexpr int kHarmonicBins = 2;
// A repeated note: its pitch within this of the note before and its length within this ratio of it.
constexpr double kRepeatOctaves = 0.25, kRepeatLength = 1.43;
constexpr int kRepeatRunLength = 4;
// The ambience's repeats: level steps, the shortest shift looked at, and its bands (wind, brook, cricket).
constexpr double kLevelStepSeconds = 0.05, kShortestRepeatSeconds = 10;
constexpr double kRepeatBands[3][2] = {{50, 500}, {800, 2500}, {4200, 5300}};

double Db(double ratio) { return 10 * std::log10(std::max(ratio, 1e-30)); }

// One analysis frame: its power above kLowestHz, its dominant peak with the power an octave and a twelfth
// above it, and the share of its power lying between the peak's harmonics.
struct Frame {
  double power = 0, hz = 0, peak = 0;
  double harmonic = -1, third = -1;  // -1 when that multiple of the peak frequency is out of range
  double noise = 0;
};

// The most power within kHarmonicBins of `multiple` times the peak; -1 beyond the top bin.
double PowerNear(const Sonogram& s, int f, double hz, int multiple) {
  const int centre = static_cast<int>(std::lround(multiple * hz / s.BinHz()));
  if (centre + kHarmonicBins >= s.Bins()) return -1;
  double most = 0;
  for (int b = centre - kHarmonicBins; b <= centre + kHarmonicBins; ++b) most = std::max(most, double{s.Power(f, b)});
  return most;
}

double NoiseShare(const Sonogram& s, int f, double hz, double power) {
  if (power <= 0 || hz <= 0) return 0;
  const int lowest = static_cast<int>(kLowestHz / s.BinHz());
  double harmonic = 0;
  for (int k = 1; k * hz / s.BinHz() + kHarmonicBins < s.Bins() - 1; ++k) {
    const int centre = static_cast<int>(std::lround(k * hz / s.BinHz()));
    for (int b = std::max(lowest, centre - kHarmonicBins); b <= centre + kHarmonicBins; ++b) harmonic += s.Power(f, b);
  }
  return std::max(0.0, 1 - harmonic / power);
}

Frame Analyse(const Sonogram& s, int f) {
  Frame out;
  const int lowest = static_cast<int>(kLowestHz / s.BinHz());
  int top = lowest;
  for (int b = lowest; b < s.Bins() - 1; ++b) {
    out.power += s.Power(f, b);
    if (s.Power(f, b) > s.Power(f, top)) top = b;
  }
  // The peak between bins, from a parabola through the log powers around it.
  const double l = std::log(s.Power(f, top - 1) + 1e-30), c = std::log(s.Power(f, top) + 1e-30),
               r = std::log(s.Power(f, top + 1) + 1e-30);
  const double offset = l - 2 * c + r < 0 ? 0.5 * (l - r) / (l - 2 * c + r) : 0;
  out.hz = (top + offset) * s.BinHz();
  out.peak = s.Power(f, top);
  out.harmonic = PowerNear(s, f, out.hz, 2);
  out.third = PowerNear(s, f, out.hz, 3);
  out.noise = NoiseShare(s, f, out.hz, out.power);
  return out;
}

// Runs of frames within kSyllableDb of the loudest, parted by silences of at least kMinGapSeconds.
std::vector<std::pair<int, int>> SyllableFrames(const std::vector<Frame>& frames, double frameSeconds) {
  double loudest = 0;
  for (const Frame& f : frames) loudest = std::max(loudest, f.power);
  const int minGap = static_cast<int>(std::ceil(kMinGapSeconds / frameSeconds));
  std::vector<std::pair<int, int>> runs;  // [first, last]
  int quiet = minGap;
  for (int i = 0; i < static_cast<int>(frames.size()); ++i) {
    if (Db(frames[i].power / loudest) < -kSyllableDb) {
      ++quiet;
      continue;
    }
    if (quiet >= minGap) runs.push_back({i, i});
    runs.back().second = i;
    quiet = 0;
  }
  std::erase_if(runs, [&](auto run) { return (run.second - run.first + 1) * frameSeconds < kMinSyllableSeconds; });
  return runs;
}

// Whether the pitch, followed along unbroken tracks, moves kSweepOctaves within kSweepSeconds.
bool Sweeps(const std::vector<std::pair<int, double>>& track, double frameSeconds) {
  const int reach = static_cast<int>(kSweepSeconds / frameSeconds);
  for (size_t i = 0; i < track.size(); ++i) {
    for (size_t j = i + 1; j < track.size() && track[j].first - track[i].first <= reach; ++j) {
      const bool unbroken = track[j].first == track[j - 1].first + 1 &&
                            std::abs(track[j].second - track[j - 1].second) <= kTrackStepOctaves;
      if (!unbroken) break;
      if (std::abs(track[j].second - track[i].second) >= kSweepOctaves) return true;
    }
  }
  return false;
}

bool HasTrill(const std::vector<MeasuredSyllable>& syllables) {
  for (size_t first = 0, i = 1; i <= syllables.size(); ++i) {
    const bool continues = i < syllables.size() && [&] {
      const double interval = syllables[i].start - syllables[i - 1].start;
      return interval >= kTrillMinInterval && interval <= kTrillMaxInterval &&
             std::abs(std::log2(syllables[i].medianHz / syllables[i - 1].medianHz)) <= kTrillPitchOctaves;
    }();
    if (continues) continue;
    const MeasuredSyllable& last = syllables[i - 1];
    if (last.start + last.seconds - syllables[first].start >= kTrillSeconds && i - first > 2) return true;
    first = i;
  }
  return false;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * (values.size() - 1))];
}

bool Alike(const MeasuredSyllable& a, const MeasuredSyllable& b) {
  return std::abs(std::log2(b.medianHz / a.medianHz)) <= kRepeatOctaves && b.seconds <= a.seconds * kRepeatLength &&
         a.seconds <= b.seconds * kRepeatLength;
}

// The runs of repeated notes, and the median second differences of their onsets and pitches.
void MeasureRepeats(SongMeasure& m) {
  std::vector<double> timing, pitch;
  const std::vector<MeasuredSyllable>& s = m.syllables;
  for (size_t first = 0, i = 1; i <= s.size(); ++i) {
    if (i < s.size() && Alike(s[i - 1], s[i])) continue;
    if (i - first >= kRepeatRunLength) {
      ++m.repeatRuns;
      for (size_t k = first + 1; k + 1 < i; ++k) {
        timing.push_back(1000 * std::abs(s[k + 1].start - 2 * s[k].start + s[k - 1].start));
        pitch.push_back(1200 *
                        std::abs(std::log2(s[k + 1].medianHz * s[k - 1].medianHz / (s[k].medianHz * s[k].medianHz))));
      }
    }
    first = i;
  }
  m.timingJitterMs = Percentile(timing, 0.5);
  m.pitchJitterCents = Percentile(pitch, 0.5);
}

// Sonogram grid of 10 ms frames on kGridBands log-spaced bands, amplitudes, frame by frame.
std::vector<double> BandGrid(const std::vector<float>& samples, int rate) {
  std::vector<double> grid;
  const Sonogram s(samples, rate, 512, rate / 100);
  for (int f = 0; f < s.Frames(); ++f) {
    for (int band = 0; band < kGridBands; ++band) {
      const double from = kGridLowHz * std::pow(kGridHighHz / kGridLowHz, double(band) / kGridBands);
      const double to = from * std::pow(kGridHighHz / kGridLowHz, 1.0 / kGridBands);
      double power = 0;
      for (int bin = static_cast<int>(from / s.BinHz()); bin < to / s.BinHz(); ++bin) power += s.Power(f, bin);
      grid.push_back(std::sqrt(power));
    }
  }
  return grid;
}

// Correlation of two equally long series after removing their means.
double Correlation(std::vector<double> a, std::vector<double> b) {
  for (std::vector<double>* v : {&a, &b}) {
    double mean = 0, length = 0;
    for (double x : *v) mean += x / v->size();
    for (double x : *v) length += (x - mean) * (x - mean);
    for (double& x : *v) x = (x - mean) / std::sqrt(length);
  }
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += a[i] * b[i];
  return sum;
}

// The band's level in dB, one value per kLevelStepSeconds.
std::vector<double> BandLevels(const std::vector<float>& mono, int rate, double fromHz, double toHz) {
  const Sonogram s(mono, rate, 1024, static_cast<int>(rate * kLevelStepSeconds));
  std::vector<double> levels;
  for (int f = 0; f < s.Frames(); ++f) {
    double power = 0;
    for (int b = static_cast<int>(fromHz / s.BinHz()); b <= toHz / s.BinHz(); ++b) power += s.Power(f, b);
    levels.push_back(Db(power));
  }
  return levels;
}

// The highest correlation of levels with themselves shifted by kShortestRepeatSeconds up to half their span;
// 1 for a sound too short to show that it does not repeat.
double RepeatCorrelation(const std::vector<double>& levels) {
  const size_t shortest = static_cast<size_t>(kShortestRepeatSeconds / kLevelStepSeconds);
  if (levels.size() / 2 < shortest) return 1;
  double highest = -1;
  for (size_t lag = shortest; lag <= levels.size() / 2; ++lag) {
    const std::vector<double> early(levels.begin(), levels.end() - static_cast<std::ptrdiff_t>(lag));
    const std::vector<double> late(levels.begin() + static_cast<std::ptrdiff_t>(lag), levels.end());
    highest = std::max(highest, Correlation(early, late));
  }
  return highest;
}

}  // namespace

int SongMeasure::Sweeping() const {
  return static_cast<int>(std::count_if(syllables.begin(), syllables.end(), [](auto& s) { return s.sweeps; }));
}

SongMeasure MeasureSong(const std::vector<float>& samples, int rate) {
  SongMeasure out;
  out.seconds = static_cast<double>(samples.size()) / rate;
  const size_t edge = std::min(samples.size(), static_cast<size_t>(kEdgeSeconds * rate));
  float edgePeak = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    out.peak = std::max(out.peak, std::abs(samples[i]));
    if (i < edge || i >= samples.size() - edge) edgePeak = std::max(edgePeak, std::abs(samples[i]));
  }
  out.edgeDb = 2 * Db(edgePeak / out.peak);
  const Sonogram sonogram(samples, rate, kWindow, kHop);
  std::vector<Frame> frames;
  for (int f = 0; f < sonogram.Frames(); ++f) frames.push_back(Analyse(sonogram, f));
  const double frameSeconds = sonogram.FrameSeconds();
  std::vector<double> pitches;
  double harmonicSum = 0, thirdSum = 0, noiseSum = 0;
  int harmonicCount = 0, thirdCount = 0, pitchedCount = 0;
  for (auto [first, last] : SyllableFrames(frames, frameSeconds)) {
    double loudest = 0;
    for (int f = first; f <= last; ++f) loudest = std::max(loudest, frames[f].peak);
    std::vector<std::pair<int, double>> track;  // (frame, octaves)
    std::vector<double> hz;
    for (int f = first; f <= last; ++f) {
      if (Db(frames[f].peak / loudest) < -kPitchedDb) continue;
      track.push_back({f, std::log2(frames[f].hz)});
      hz.push_back(frames[f].hz);
      if (frames[f].harmonic >= 0) {
        harmonicSum += frames[f].harmonic / frames[f].peak;
        ++harmonicCount;
      }
      if (frames[f].third >= 0) {
        thirdSum += frames[f].third / frames[f].peak;
        ++thirdCount;
      }
      noiseSum += frames[f].noise;
      ++pitchedCount;
    }
    out.syllables.push_back({first * frameSeconds, (last - first + 1) * frameSeconds, Percentile(hz, 0.5),
                             Sweeps(track, frameSeconds)});
    pitches.insert(pitches.end(), hz.begin(), hz.end());
  }
  out.harmonicDb = harmonicCount ? Db(harmonicSum / harmonicCount) : 0;
  out.thirdDb = thirdCount ? Db(thirdSum / thirdCount) : 0;
  out.noiseDb = pitchedCount ? Db(noiseSum / pitchedCount) : 0;
  MeasureRepeats(out);
  out.lowHz = Percentile(pitches, 0.05);
  out.highHz = Percentile(pitches, 0.95);
  out.trill = HasTrill(out.syllables);
  return out;
}

AmbienceMeasure MeasureAmbience(const std::vector<float>& samples, int channels, int rate) {
  AmbienceMeasure out;
  out.seconds = static_cast<double>(samples.size()) / channels / rate;
  const size_t window = static_cast<size_t>(rate) * channels;
  double quietest = 1e30, loudest = 0;
  for (size_t at = 0; at + window <= samples.size(); at += window) {
    double sum = 0;
    for (size_t i = at; i < at + window; ++i) sum += samples[i] * samples[i];
    quietest = std::min(quietest, sum);
    loudest = std::max(loudest, sum);
  }
  out.gustDb = Db(loudest / quietest);
  std::vector<float> mono(samples.size() / channels);
  for (size_t i = 0; i < mono.size(); ++i) {
    for (int c = 0; c < channels; ++c) mono[i] += samples[i * channels + c] / channels;
  }
  const Sonogram sonogram(mono, rate, 4096, 4096);
  double low = 0, high = 0, all = 0;
  for (int f = 0; f < sonogram.Frames(); ++f) {
    for (int b = 0; b < sonogram.Bins(); ++b) {
      const double hz = b * sonogram.BinHz(), power = sonogram.Power(f, b);
      all += power;
      low += hz < kLowBandHz ? power : 0;
      high += hz > kHighBandHz ? power : 0;
    }
  }
  out.lowDb = Db(low / all);
  out.highDb = Db(high / all);
  out.repeatCorrelation = -1;
  for (const auto& band : kRepeatBands) {
    out.repeatCorrelation =
        std::max(out.repeatCorrelation, RepeatCorrelation(BandLevels(mono, rate, band[0], band[1])));
  }
  return out;
}

double SpectralCorrelation(const std::vector<float>& a, const std::vector<float>& b, int rate) {
  std::vector<double> grids[2] = {BandGrid(a, rate), BandGrid(b, rate)};
  const size_t cells = std::max(grids[0].size(), grids[1].size());
  for (std::vector<double>& grid : grids) grid.resize(cells, 0.0);
  return Correlation(grids[0], grids[1]);
}

}  // namespace sylvora
