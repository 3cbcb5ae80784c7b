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

double Db(double ratio) { return 10 * std::log10(std::max(ratio, 1e-30)); }

// One analysis frame: its power above kLowestHz, and its dominant peak with the power an octave above it.
struct Frame {
  double power = 0, hz = 0, peak = 0;
  double harmonic = -1;  // -1 when twice the peak frequency is out of range
};

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
  const int octave = static_cast<int>(std::lround(2 * out.hz / s.BinHz()));
  if (octave + 2 < s.Bins()) {
    for (int b = octave - 2; b <= octave + 2; ++b) out.harmonic = std::max(out.harmonic, double{s.Power(f, b)});
  }
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
  double harmonicSum = 0;
  int harmonicCount = 0;
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
    }
    out.syllables.push_back({first * frameSeconds, (last - first + 1) * frameSeconds, Percentile(hz, 0.5),
                             Sweeps(track, frameSeconds)});
    pitches.insert(pitches.end(), hz.begin(), hz.end());
  }
  out.harmonicDb = harmonicCount ? Db(harmonicSum / harmonicCount) : 0;
  out.lowHz = Percentile(pitches, 0.05);
  out.highHz = Percentile(pitches, 0.95);
  out.trill = HasTrill(out.syllables);
  return out;
}

AmbienceMeasure MeasureAmbience(const std::vector<float>& samples, int channels, int rate) {
  AmbienceMeasure out;
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
  return out;
}

double SpectralCorrelation(const std::vector<float>& a, const std::vector<float>& b, int rate) {
  std::vector<double> grids[2];
  const std::vector<float>* sounds[2] = {&a, &b};
  for (int k = 0; k < 2; ++k) {
    const Sonogram s(*sounds[k], rate, 512, rate / 100);
    for (int f = 0; f < s.Frames(); ++f) {
      for (int band = 0; band < kGridBands; ++band) {
        const double from = kGridLowHz * std::pow(kGridHighHz / kGridLowHz, double(band) / kGridBands);
        const double to = from * std::pow(kGridHighHz / kGridLowHz, 1.0 / kGridBands);
        double power = 0;
        for (int bin = static_cast<int>(from / s.BinHz()); bin < to / s.BinHz(); ++bin) power += s.Power(f, bin);
        grids[k].push_back(std::sqrt(power));
      }
    }
  }
  const size_t cells = std::max(grids[0].size(), grids[1].size());
  for (std::vector<double>& grid : grids) {
    grid.resize(cells, 0.0);
    double mean = 0, length = 0;
    for (double v : grid) mean += v / cells;
    for (double v : grid) length += (v - mean) * (v - mean);
    for (double& v : grid) v = (v - mean) / std::sqrt(length);
  }
  double correlation = 0;
  for (size_t i = 0; i < cells; ++i) correlation += grids[0][i] * grids[1][i];
  return correlation;
}

}  // namespace sylvora
