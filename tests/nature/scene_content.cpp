#include "tests/nature/scene_content.h"

#include "archive/high_resolution.h"
#include "archive/resource_index.h"
#include "archive/wide_picture.h"
#include "nature/scene_catalogue.h"

namespace sylvora {
namespace {

void PutLittleEndian(std::string& bytes, size_t at, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

PackItem Picture(const std::string& name, int width, int height, const std::function<uint32_t(int, int)>& colour) {
  return PackItem{kBmpPicture, name, MakeBmp(width, height, colour)};
}

// A solid picture whose columns left of holeWidth are black.
std::function<uint32_t(int, int)> SolidWithHole(uint32_t colour, int holeWidth) {
  return [colour, holeWidth](int x, int) { return x < holeWidth ? 0u : colour; };
}

}  // namespace

std::string MakeBmp(int width, int height, const std::function<uint32_t(int x, int y)>& colour) {
  const int rowBytes = (3 * width + 3) & ~3;
  const size_t pixelBytes = static_cast<size_t>(rowBytes) * height;
  std::string bytes(54 + pixelBytes, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutLittleEndian(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
  PutLittleEndian(bytes, 10, 54, 4);
  PutLittleEndian(bytes, 14, 40, 4);
  PutLittleEndian(bytes, 18, static_cast<uint32_t>(width), 4);
  PutLittleEndian(bytes, 22, static_cast<uint32_t>(height), 4);
  PutLittleEndian(bytes, 26, 1, 2);
  PutLittleEndian(bytes, 28, 24, 2);
  PutLittleEndian(bytes, 34, static_cast<uint32_t>(pixelBytes), 4);
  for (int y = 0; y < height; ++y) {
    const size_t row = 54 + static_cast<size_t>(height - 1 - y) * rowBytes;
    for (int x = 0; x < width; ++x) {
      const uint32_t rgb = colour(x, y);
      bytes[row + 3 * x] = static_cast<char>(rgb & 0xFF);
      bytes[row + 3 * x + 1] = static_cast<char>((rgb >> 8) & 0xFF);
      bytes[row + 3 * x + 2] = static_cast<char>((rgb >> 16) & 0xFF);
    }
  }
  return bytes;
}

std::vector<PackItem> SceneTestPictures(bool withTwins) {
  std::vector<PackItem> items;
  // Each picture, and with twins its copy three times the size, each pixel a square of nine.
  auto add = [&items, withTwins](const std::string& name, int width, int height,
                                  const std::function<uint32_t(int, int)>& colour) {
    items.push_back(Picture(name, width, height, colour));
    if (!withTwins) return;
    constexpr int s = kHighResolutionScale;
    items.push_back(Picture(HighResolutionName(name), s * width, s * height,
                            [colour](int x, int y) { return colour(x / s, y / s); }));
  };
  for (int scene = 0; scene < kSceneCount; ++scene) {
    const SceneEntry& entry = kScenes[scene];
    add(LayerPictureName(scene, 0), entry.back0.width, entry.back0.height,
                            SolidWithHole(kGroundColour, 0));
    add(WidePictureName(LayerPictureName(scene, 0)), kWideLayerWidth, entry.back0.height, [](int x, int) {
      const int column = x + kWideFieldLeft;
      return column >= 0 && column < kSceneWidth ? kGroundColour : kWideGroundColour;
    });
    add(LayerPictureName(scene, 1), entry.back1.width, entry.back1.height,
                            SolidWithHole(kOverlayColour, kOverlayHoleWidth));
    if (entry.hasBack2) {
      add(LayerPictureName(scene, 2), entry.back2.width, entry.back2.height,
                              SolidWithHole(kForegroundColour, entry.back2.width / 2));
    }
    const int band = SkyBandOf(scene);
    for (int sky = 0; sky < entry.skyCount; ++sky) {
      add(entry.skies[sky], kSceneWidth, 2 * band,
          [band](int x, int y) { return SkyColour(y < band ? x : kSceneWidth + x); });
    }
  }
  // Each shared picture once, sized by the first variant that uses it.
  std::vector<bool> done(kSharedPictureCount, false);
  for (int scene = 0; scene < kSceneCount; ++scene) {
    for (int set = 0; set < NatureTheme::kSetCount; ++set) {
      const CreatureVariant* variants = SetVariants(scene, set);
      for (int i = 0; i < kScenes[scene].variantCounts[set]; ++i) {
        const CreatureVariant& v = variants[i];
        if (done[v.sharedPicture]) continue;
        done[v.sharedPicture] = true;
        add(kSharedPictureNames[v.sharedPicture], v.sheetWidth, v.sheetHeight, [v](int x, int y) {
          const uint32_t column = x / v.frameWidth, row = y / v.frameHeight;
          return static_cast<uint32_t>(kCreatureRed) << 16 | (8 + 16 * row) << 8 | (8 + 16 * column);
        });
      }
    }
  }
  return items;
}

bool WriteSceneTestArchive(const std::string& directory, bool withTwins) {
  return WriteArchive(directory, SceneTestPictures(withTwins), "data.dat");
}

}  // namespace sylvora
