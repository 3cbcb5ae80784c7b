#include "tests/doubles/video/fake_render_device.h"

#include <algorithm>

namespace sylvora {

bool FakeRenderDevice::Open(NativeWindow*) {
  if (openFails) return false;
  Close();
  open = true;
  ++opens;
  clip.reset();
  return true;
}

void FakeRenderDevice::Close() {
  open = false;
  textures.clear();
  copies.clear();
}

bool FakeRenderDevice::OutputSize(int& width, int& height) {
  if (!open) return false;
  width = outputWidth;
  height = outputHeight;
  return true;
}

int FakeRenderDevice::CreateTexture(int width, int height, bool transparent) {
  if (!open || textureFails) return 0;
  if (largestTextureSide > 0 && std::max(width, height) > largestTextureSide) return 0;
  textures[++lastHandle_] =
      FakeTexture{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height), 0, transparent};
  return lastHandle_;
}

bool FakeRenderDevice::UploadTexture(int texture, const uint32_t* pixels, int pitch) {
  const auto found = textures.find(texture);
  if (uploadFails || found == textures.end()) return false;
  FakeTexture& target = found->second;
  for (int y = 0; y < target.height; ++y) {
    for (int x = 0; x < target.width; ++x) {
      target.pixels[static_cast<size_t>(y) * target.width + x] = pixels[static_cast<size_t>(y) * pitch + x];
    }
  }
  ++target.uploads;
  return true;
}

void FakeRenderDevice::DestroyTexture(int texture) { textures.erase(texture); }

bool FakeRenderDevice::Copy(int texture, const SurfaceRect& from, const OutputRect& to) {
  if (copyFails || !textures.count(texture)) return false;
  copies.push_back({texture, from, to, clip});
  return true;
}

bool FakeRenderDevice::SetClip(const SurfaceRect* rect) {
  if (!open) return false;
  ++clipsSet;
  clip = rect ? std::optional<SurfaceRect>(*rect) : std::nullopt;
  return true;
}

bool FakeRenderDevice::Clear() {
  if (!open) return false;
  ++clears;
  copies.clear();
  return true;
}

bool FakeRenderDevice::Present() {
  if (!open) return false;
  ++presents;
  ++wholePresents;
  presented = std::move(copies);
  copies.clear();
  return true;
}

bool FakeRenderDevice::FillBlack(const SurfaceRect& area) {
  if (!open) return false;
  copies.push_back(
      {0, area, OutputRect{float(area.left), float(area.top), float(area.right), float(area.bottom)}, clip});
  return true;
}

bool FakeRenderDevice::PresentAreas(const SurfaceRect* areas, int count) {
  if (!open) return false;
  ++presents;
  shownAreas.assign(areas, areas + count);
  presented = std::move(copies);
  copies.clear();
  return true;
}

}  // namespace sylvora
