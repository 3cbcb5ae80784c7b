#pragma once
// The scene layers painted wide, for displays wider than 4:3: how they are named in data.nrx and which
// scene columns they cover. The generator writes them under these names; the scenes ask for them by the
// same rule on the native path only, so the classic 640 x 480 frame keeps its own pictures.
#include <string>
#include <string_view>

namespace sylvora {

// The scene columns a wide layer covers, left inclusive, right exclusive: the 640-column frame in the
// middle and 240 more on each side, enough for a 21:9 display at the frame's height. Its rows are the
// layer's own.
constexpr int kWideFieldLeft = -240;
constexpr int kWideFieldRight = 880;
constexpr int kWideLayerWidth = kWideFieldRight - kWideFieldLeft;

// Appended to a layer's name; the three-times twin of a wide layer adds its own suffix after this one.
// Like that suffix it keeps to letters, and no name the program asks for ends in it.
constexpr std::string_view kWideSuffix = "w";

// The name of the wide painting of the layer called name.
inline std::string WidePictureName(std::string_view name) { return std::string(name) + std::string(kWideSuffix); }

}  // namespace sylvora
