#pragma once
// Short-time spectra of a sound: the contact sheet draws them for every sound we ship, and the content
// tests measure the songs and the ambience on them.
#include <cstddef>
#include <vector>

namespace sylvora {

class Sonogram {
 public:
  // Hann windows of `window` samples (a power of two) every `hop` samples of a mono sound at `rate` Hz.
  Sonogram(const std::vector<float>& samples, int rate, int window, int hop);

  int Frames() const { return frames_; }
  // Bins 0 .. window / 2, from 0 Hz to half the rate.
  int Bins() const { return bins_; }
  double BinHz() const { return binHz_; }
  // Start of frame f is f * FrameSeconds() into the sound.
  double FrameSeconds() const { return frameSeconds_; }
  // Power in one bin, scaled so that a sine of amplitude a shows a^2 at its bin.
  float Power(int frame, int bin) const { return power_[static_cast<size_t>(frame) * bins_ + bin]; }

 private:
  int frames_ = 0, bins_ = 0;
  double binHz_ = 0, frameSeconds_ = 0;
  std::vector<float> power_;
};

}  // namespace sylvora
