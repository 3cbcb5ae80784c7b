#pragma once
// Test pictures for every name the scene catalogue asks for, so a scene can be loaded and drawn without
// the real artwork: solid layers with black (transparent) holes, a sky whose every pixel names its
// panorama column, and sprite sheets whose every frame cell has its own colour. Used by the nature unit
// tests (in memory) and by the end-to-end test of the program (written to an install directory).
//
// Colours, as 0xRRGGBB, for checks on screen:
//   ground (back_0)        kGroundColour, everywhere; its wide painting (every scene's, back_0 only) the
//                          same in the frame's columns and kWideGroundColour beyond them
//   overlay (back_1)       kOverlayColour, except the columns x < kOverlayHoleWidth, which are black
//   foreground (back_2)    kForegroundColour, except the columns x < width / 2, which are black
//   sky                    red = kSkyRed; green * 256 + blue = panorama column + 1 (1 .. 1280); the upper
//                          half of the picture holds columns 0..639, the lower half 640..1279
//   creature frame cell    red = kCreatureRed, green = 8 + 16 x row, blue = 8 + 16 x column
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/index_writer.h"

namespace sylvora {

inline constexpr uint32_t kGroundColour = 0x3C8C28;
inline constexpr uint32_t kWideGroundColour = 0x6E7830;
inline constexpr uint32_t kOverlayColour = 0x2850B4;
inline constexpr uint32_t kForegroundColour = 0xB4A050;
inline constexpr uint8_t kSkyRed = 0xC0;
inline constexpr uint8_t kCreatureRed = 0xF8;
inline constexpr int kOverlayHoleWidth = 160;

// The colour of sky panorama column c (0..1279).
inline uint32_t SkyColour(int column) { return static_cast<uint32_t>(kSkyRed) << 16 | static_cast<uint32_t>(column + 1); }
// The panorama column a sky colour stands for, or -1 when the colour is not a sky colour.
inline int SkyColumn(uint32_t colour) {
  const int column = static_cast<int>(colour & 0xFFFF) - 1;
  return (colour >> 16) == kSkyRed && column >= 0 && column < 1280 ? column : -1;
}

// A plain 24-bit bottom-up BMP file of width x height whose pixel (x, y), y down, has colour(x, y).
std::string MakeBmp(int width, int height, const std::function<uint32_t(int x, int y)>& colour);

// Every scene picture (layers and all skies) and all 21 shared creature pictures, as BMP entries; with
// twins, each also as its three-times twin whose every pixel is a 3 x 3 square of the picture's.
std::vector<PackItem> SceneTestPictures(bool withTwins = false);

// Writes directory/data.nrx and directory/data.dat holding SceneTestPictures(withTwins); false on failure.
bool WriteSceneTestArchive(const std::string& directory, bool withTwins = false);

}  // namespace sylvora
