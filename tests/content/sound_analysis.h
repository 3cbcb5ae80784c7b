#pragma once
// Measurements of decoded sounds on their short-time spectra, with the dominant frequency of each frame
// tracked from peak to peak: what the content tests hold the bird songs and the ambience to.
#include <vector>

namespace sylvora {

// One syllable: a stretch of sound between gaps.
struct MeasuredSyllable {
  double start = 0, seconds = 0;
  double medianHz = 0;  // of its dominant frequency
  bool sweeps = false;  // its dominant frequency moves a third of an octave or more within 60 ms
};

struct SongMeasure {
  double seconds = 0;
  float peak = 0;
  double edgeDb = 0;  // loudest sample of the first and last 20 ms, relative to the peak
  std::vector<MeasuredSyllable> syllables;
  double harmonicDb = 0;  // mean second-harmonic power relative to the fundamental
  double thirdDb = 0;     // mean third-harmonic power relative to the fundamental
  double noiseDb = 0;     // mean share of a pitched frame's power lying between its harmonics
  // Runs of four or more like syllables (a note repeated), and how much a note differs from the one
  // before beyond the run's steady trend: the median second difference of onset times (ms) and of
  // pitch (cents). Zero without such a run.
  int repeatRuns = 0;
  double timingJitterMs = 0, pitchJitterCents = 0;
  double lowHz = 0, highHz = 0;  // 5th and 95th percentile of the dominant frequency
  bool trill = false;  // a note repeated 10 to 40 times a second for 300 ms or more
  int Sweeping() const;
};

// A mono sound.
SongMeasure MeasureSong(const std::vector<float>& samples, int rate);

struct AmbienceMeasure {
  double seconds = 0;
  double gustDb = 0;  // level range of its one-second windows
  double lowDb = 0, highDb = 0;  // power below 500 Hz and above 4 kHz, relative to the whole
  // The highest correlation of a band's level (in 50 ms steps) with itself shifted by 10 s up to half the
  // sound, over the wind's, the brook's and the cricket's bands: near 1 when something comes round again,
  // and 1 for a sound shorter than 20 s.
  double repeatCorrelation = 0;
};

// An interleaved sound of `channels` channels.
AmbienceMeasure MeasureAmbience(const std::vector<float>& samples, int channels, int rate);

// Correlation of two mono sounds' sonograms on one grid of 10 ms frames and log-spaced bands, each
// sonogram normalised to zero mean and unit length; the shorter is padded with silence.
double SpectralCorrelation(const std::vector<float>& a, const std::vector<float>& b, int rate);

}  // namespace sylvora
