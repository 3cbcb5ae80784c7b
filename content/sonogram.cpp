#include "content/sonogram.h"

#include <cmath>
#include <complex>

namespace sylvora {
namespace {

using Complex = std::complex<double>;

// In-place radix-2 transform of a power-of-two length, with the twiddles of that length precomputed.
class Fft {
 public:
  explicit Fft(size_t size) : size_(size), twiddles_(size / 2) {
    for (size_t k = 0; k < size / 2; ++k) twiddles_[k] = std::polar(1.0, -2 * M_PI * static_cast<double>(k) / size);
  }
  void Run(std::vector<Complex>& x) const {
    for (size_t i = 1, j = 0; i < size_; ++i) {
      size_t bit = size_ >> 1;
      for (; j & bit; bit >>= 1) j ^= bit;
      j |= bit;
      if (i < j) std::swap(x[i], x[j]);
    }
    for (size_t half = 1; half < size_; half *= 2) {
      const size_t stride = size_ / (2 * half);
      for (size_t start = 0; start < size_; start += 2 * half) {
        for (size_t k = 0; k < half; ++k) {
          const Complex odd = x[start + half + k] * twiddles_[k * stride];
          x[start + half + k] = x[start + k] - odd;
          x[start + k] += odd;
        }
      }
    }
  }

 private:
  size_t size_;
  std::vector<Complex> twiddles_;
};

}  // namespace

Sonogram::Sonogram(const std::vector<float>& samples, int rate, int window, int hop)
    : bins_(window / 2 + 1), binHz_(static_cast<double>(rate) / window),
      frameSeconds_(static_cast<double>(hop) / rate) {
  const size_t length = static_cast<size_t>(window);
  if (samples.size() >= length) frames_ = static_cast<int>((samples.size() - length) / hop + 1);
  std::vector<double> hann(length);
  double windowSum = 0;
  for (size_t i = 0; i < length; ++i) {
    hann[i] = 0.5 - 0.5 * std::cos(2 * M_PI * (static_cast<double>(i) + 0.5) / window);
    windowSum += hann[i];
  }
  // A sine of amplitude a peaks at a * windowSum / 2 in its bin.
  const double scale = 4 / (windowSum * windowSum);
  const Fft fft(length);
  std::vector<Complex> x(length);
  power_.resize(static_cast<size_t>(frames_) * bins_);
  for (int f = 0; f < frames_; ++f) {
    const float* in = samples.data() + static_cast<size_t>(f) * hop;
    for (size_t i = 0; i < length; ++i) x[i] = in[i] * hann[i];
    fft.Run(x);
    float* out = &power_[static_cast<size_t>(f) * bins_];
    for (int b = 0; b < bins_; ++b) out[b] = static_cast<float>(std::norm(x[b]) * scale);
  }
}

}  // namespace sylvora
