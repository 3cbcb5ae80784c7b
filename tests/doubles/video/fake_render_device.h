#pragma once
// An in-memory render device for the native display tests: textures keep the pixels last uploaded, the
// output is a list of the copies made since the last present, every call is counted, and every call
// that can fail can be told to; a test injects a renderer reset with pendingReset.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "video/render_device.h"

namespace sylvora {

struct FakeTexture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // ARGB8888, rows width pixels apart, as last uploaded
  int uploads = 0;
  bool transparent = false;  // as made
};

struct FakeCopy {
  int texture = 0;
  SurfaceRect from;
  OutputRect to;
  std::optional<SurfaceRect> clip;  // the clip in force, none when the copy could reach the whole output
};

class FakeRenderDevice final : public RenderDevice {
 public:
  std::string TakeFailureReason() override { return std::exchange(failureReason, std::string()); }
  std::string Name() override { return open ? "fake" : ""; }
  bool Open(NativeWindow* window) override;
  void Close() override;
  bool OutputSize(int& width, int& height) override;
  int LargestTextureSide() override { return largestTextureSide; }
  bool ScalesOnProcessor() override { return scalesOnProcessor; }
  int CreateTexture(int width, int height, bool transparent) override;
  bool UploadTexture(int texture, const uint32_t* pixels, int pitch) override;
  void DestroyTexture(int texture) override;
  bool Copy(int texture, const SurfaceRect& from, const OutputRect& to) override;
  bool SetClip(const SurfaceRect* rect) override;
  bool Clear() override;
  bool Present() override;
  RenderReset TakeReset() override { return std::exchange(pendingReset, RenderReset::None); }
  bool KeepsOutput() override { return keepsOutput; }
  bool TakeOutputLost() override { return std::exchange(outputLost, false); }
  bool FillBlack(const SurfaceRect& area) override;
  bool PresentAreas(const SurfaceRect* areas, int count) override;

  // ---- The output the fake pretends to draw on ----
  int outputWidth = 1920;
  int outputHeight = 1080;
  int largestTextureSide = 0;  // 0: any size; else a wider or taller texture is refused
  bool scalesOnProcessor = false;  // as SDL's software renderer: pictures come at the size shown
  bool keepsOutput = false;        // as SDL's software renderer: a frame may redraw only what changed
  bool outputLost = false;         // the window lost what it kept (once)

  // ---- Fault injection ----
  std::string failureReason;
  bool openFails = false;
  bool textureFails = false;
  bool uploadFails = false;
  bool copyFails = false;
  RenderReset pendingReset = RenderReset::None;

  // ---- What happened ----
  bool open = false;
  int opens = 0;
  int clears = 0;
  int presents = 0;
  int clipsSet = 0;
  std::optional<SurfaceRect> clip;      // the clip in force; a new renderer has none
  std::map<int, FakeTexture> textures;  // live textures by handle; a close (a new renderer) empties it
  std::vector<FakeCopy> copies;         // since the last present
  std::vector<FakeCopy> presented;      // the copies the last present showed; a black fill is texture 0
  int wholePresents = 0;                // presents of the whole output
  std::vector<SurfaceRect> shownAreas;  // the areas the last PresentAreas showed

 private:
  int lastHandle_ = 0;
};

}  // namespace sylvora
