#pragma once
// The pictures painted finer than the 640 x 480 logical screen, for displays that show it enlarged:
// three times for displays up to about 1440 rows, five times for taller ones (4K and up); how they are
// named in data.nrx and what the display must know to use them. The generator writes them under these
// names and the display asks for them by the same rule.
#include <string>
#include <string_view>

namespace sylvora {

// How many output pixels one logical pixel covers in each direction: every picture has a twin at
// kHighResolutionScale; the pictures the native path shows (the wide layers, the skies, the creature
// sheets) have one at kFinestPictureScale as well.
constexpr int kHighResolutionScale = 3;
constexpr int kFinestPictureScale = 5;
// How much a display may enlarge a twin before the next finer one is worth its pixels: a 3840 x 2160
// display shows the frame 4.5 times enlarged, the three-times twins by 1.5.
constexpr double kMostTwinEnlargement = 1.1;

// Appended to a picture's name, followed by the twin's scale ("x3", "x5"). The index stores names with
// a length prefix and no length limit, and the loose files are named after them, so the suffix keeps to
// letters and digits; no name the program asks for ends in it, so a twin's name never shadows another.
constexpr std::string_view kHighResolutionSuffix = "x";

// High-resolution sprite sheets are JPEG rather than BMP, a ninth of the size: a pixel whose R + G + B
// is below this is the black key. Compression ringing around the subjects stays under 30, and the
// subjects are painted at least 50 above it.
constexpr int kHighResolutionSheetThreshold = 40;

// The name of the picture painted scale times finer than the one called name.
inline std::string HighResolutionName(std::string_view name, int scale = kHighResolutionScale) {
  return std::string(name) + std::string(kHighResolutionSuffix) + std::to_string(scale);
}

// The name a three-times name was made from; empty when name is not one.
inline std::string BaseResolutionName(std::string_view name) {
  const std::string suffix = HighResolutionName("");
  if (name.size() <= suffix.size() || !name.ends_with(suffix)) return {};
  return std::string(name.substr(0, name.size() - suffix.size()));
}

}  // namespace sylvora
