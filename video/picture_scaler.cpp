#include "video/picture_scaler.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace sylvora {

namespace {

// Weights are fixed point: each target pixel's weights along one axis add up to exactly kWeightOne.
constexpr int kWeightBits = 14;
constexpr uint32_t kWeightOne = 1u << kWeightBits;
// Bits the column sums give up so that the row sums of 8-bit channels under two weights fit 32 bits.
constexpr int kColumnShift = 6;
constexpr int kResultShift = 2 * kWeightBits - kColumnShift;
constexpr int kChannels = 4;  // alpha, red, green, blue, in that order within a sum
// A target pixel's alpha sum where every source pixel it is made of is opaque.
constexpr uint32_t kWholeAlpha = 255u << kResultShift;

// The source pixels each target pixel along one axis is made of: from first on, stride weights each
// (zero past its own).
struct AxisTaps {
  int stride = 0;
  std::vector<int> first;
  std::vector<uint32_t> weights;
};

// Makes shares (adding up to 1) whole weights adding up to kWeightOne: the rounding's remainder goes
// to the largest, so a flat picture stays exactly flat.
void Quantise(const std::vector<double>& shares, uint32_t* weights) {
  uint32_t total = 0;
  size_t largest = 0;
  for (size_t k = 0; k < shares.size(); ++k) {
    weights[k] = static_cast<uint32_t>(std::lround(shares[k] * kWeightOne));
    total += weights[k];
    if (shares[k] > shares[largest]) largest = k;
  }
  weights[largest] += kWeightOne - total;
}

AxisTaps MakeTaps(int sourceSize, int targetSize) {
  const double ratio = static_cast<double>(sourceSize) / targetSize;
  const bool shrinking = ratio > 1.0;
  AxisTaps taps;
  taps.stride = shrinking ? static_cast<int>(std::ceil(ratio)) + 1 : 2;
  taps.first.resize(static_cast<size_t>(targetSize));
  taps.weights.assign(static_cast<size_t>(targetSize) * taps.stride, 0);
  std::vector<double> shares(static_cast<size_t>(taps.stride));
  for (int out = 0; out < targetSize; ++out) {
    std::fill(shares.begin(), shares.end(), 0.0);
    int first = 0;
    if (shrinking) {
      // The target pixel covers [begin, begin + ratio) of the source: each source pixel weighs what of
      // it lies inside.
      const double begin = out * ratio;
      first = static_cast<int>(begin);
      for (int k = 0; k < taps.stride && first + k < sourceSize; ++k) {
        const double inside = std::min(begin + ratio, first + k + 1.0) - std::max(begin, double(first + k));
        if (inside > 0) shares[static_cast<size_t>(k)] = inside / ratio;
      }
    } else {
      // Between the two source pixels whose centres lie either side of the target pixel's centre; past
      // the edge, the edge pixel alone.
      const double centre = (out + 0.5) * ratio - 0.5;
      const double lower = std::floor(centre);
      first = std::clamp(static_cast<int>(lower), 0, sourceSize - 1);
      const bool inside = lower >= 0 && lower + 1 < sourceSize;
      shares[0] = inside ? 1.0 - (centre - lower) : 1.0;
      shares[1] = inside ? centre - lower : 0.0;
    }
    taps.first[static_cast<size_t>(out)] = first;
    Quantise(shares, &taps.weights[static_cast<size_t>(out) * taps.stride]);
  }
  return taps;
}

// A channel weighted by its alpha, in 8 bits.
uint32_t Premultiply(uint32_t channel, uint32_t alpha) { return (channel * alpha + 127) / 255; }

// Sums the source rows target row out is made of into columns (kChannels per source column), each
// made smaller by kColumnShift.
template <bool kTransparent>
void SumColumns(const uint32_t* source, int width, const AxisTaps& rows, int out, std::vector<uint32_t>& columns) {
  std::fill(columns.begin(), columns.end(), 0u);
  const uint32_t* weights = &rows.weights[static_cast<size_t>(out) * rows.stride];
  for (int k = 0; k < rows.stride; ++k) {
    const uint32_t weight = weights[k];
    if (weight == 0) continue;
    const uint32_t* row = source + static_cast<size_t>(rows.first[static_cast<size_t>(out)] + k) * width;
    uint32_t* sum = columns.data();
    for (int x = 0; x < width; ++x, sum += kChannels) {
      const uint32_t pixel = row[x];
      uint32_t alpha = 255;
      uint32_t red = (pixel >> 16) & 0xFF;
      uint32_t green = (pixel >> 8) & 0xFF;
      uint32_t blue = pixel & 0xFF;
      // A keyed picture's pixels are nearly all wholly clear, which adds nothing, or wholly opaque,
      // whose colours weigh as they are: only its edges need weighing by alpha.
      if constexpr (kTransparent) {
        alpha = pixel >> 24;
        if (alpha == 0) continue;
        if (alpha != 255) {
          red = Premultiply(red, alpha);
          green = Premultiply(green, alpha);
          blue = Premultiply(blue, alpha);
        }
      }
      sum[0] += weight * alpha;
      sum[1] += weight * red;
      sum[2] += weight * green;
      sum[3] += weight * blue;
    }
  }
  for (uint32_t& sum : columns) sum >>= kColumnShift;
}

// A colour channel back from its alpha-weighted sum; 0 where nothing was opaque.
uint32_t Unpremultiply(uint64_t channel, uint64_t alpha) {
  return alpha == 0 ? 0 : static_cast<uint32_t>(std::min<uint64_t>(255, (channel * 255 + alpha / 2) / alpha));
}

uint32_t Round(uint64_t sum) { return static_cast<uint32_t>((sum + (1u << (kResultShift - 1))) >> kResultShift); }

// Writes target row from the columns, across.
template <bool kTransparent>
void ScaleRow(const std::vector<uint32_t>& columns, const AxisTaps& across, uint32_t* row, int width) {
  for (int out = 0; out < width; ++out) {
    const uint32_t* weights = &across.weights[static_cast<size_t>(out) * across.stride];
    const uint32_t* sum = &columns[static_cast<size_t>(across.first[static_cast<size_t>(out)]) * kChannels];
    uint32_t total[kChannels] = {0, 0, 0, 0};
    for (int k = 0; k < across.stride; ++k, sum += kChannels) {
      if (weights[k] == 0) continue;
      for (int channel = 0; channel < kChannels; ++channel) total[channel] += weights[k] * sum[channel];
    }
    // Most pixels of a picture are made only of opaque ones: their colours need no dividing back.
    if (kTransparent && total[0] != kWholeAlpha) {
      row[out] = Round(total[0]) << 24 | Unpremultiply(total[1], total[0]) << 16 |
                 Unpremultiply(total[2], total[0]) << 8 | Unpremultiply(total[3], total[0]);
    } else {
      row[out] = 0xFF000000u | Round(total[1]) << 16 | Round(total[2]) << 8 | Round(total[3]);
    }
  }
}

template <bool kTransparent>
void Scale(const uint32_t* source, int sourceWidth, int sourceHeight, uint32_t* target, int targetWidth,
           int targetHeight) {
  const AxisTaps across = MakeTaps(sourceWidth, targetWidth);
  const AxisTaps down = MakeTaps(sourceHeight, targetHeight);
  std::vector<uint32_t> columns(static_cast<size_t>(sourceWidth) * kChannels);
  for (int y = 0; y < targetHeight; ++y) {
    SumColumns<kTransparent>(source, sourceWidth, down, y, columns);
    ScaleRow<kTransparent>(columns, across, target + static_cast<size_t>(y) * targetWidth, targetWidth);
  }
}

}  // namespace

void ScalePicture(const uint32_t* source, int sourceWidth, int sourceHeight, uint32_t* target, int targetWidth,
                  int targetHeight, bool transparent) {
  if (sourceWidth <= 0 || sourceHeight <= 0 || targetWidth <= 0 || targetHeight <= 0) return;
  if (transparent) {
    Scale<true>(source, sourceWidth, sourceHeight, target, targetWidth, targetHeight);
  } else {
    Scale<false>(source, sourceWidth, sourceHeight, target, targetWidth, targetHeight);
  }
}

}  // namespace sylvora
