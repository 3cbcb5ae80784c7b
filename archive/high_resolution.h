#pragma once
// The pictures painted three times finer than the 640 x 480 logical screen, for displays that show
// it enlarged: how they are named in data.nrx and what the display must know to use them. The
// generator writes them under these names and the display asks for them by the same rule.
#include <string>
#include <string_view>

namespace sylvora {

// How many output pixels one logical pixel covers in each direction.
constexpr int kHighResolutionScale = 3;

// Appended to a picture's name. The index stores names with a length prefix and no length limit,
// and the loose files are named after them, so the suffix keeps to letters and digits; no name the
// program asks for ends in it, so a high-resolution name never shadows another.
constexpr std::string_view kHighResolutionSuffix = "x3";

// High-resolution sprite sheets are JPEG rather than BMP, a ninth of the size: a pixel whose R + G + B
// is below this is the black key. Compression ringing around the subjects stays under 30, and the
// subjects are painted at least 50 above it.
constexpr int kHighResolutionSheetThreshold = 40;

// The name of the picture painted kHighResolutionScale times finer than the one called name.
inline std::string HighResolutionName(std::string_view name) {
  return std::string(name) + std::string(kHighResolutionSuffix);
}

// The name a high-resolution name was made from; empty when name is not one.
inline std::string BaseResolutionName(std::string_view name) {
  if (name.size() <= kHighResolutionSuffix.size() || !name.ends_with(kHighResolutionSuffix)) return {};
  return std::string(name.substr(0, name.size() - kHighResolutionSuffix.size()));
}

}  // namespace sylvora
