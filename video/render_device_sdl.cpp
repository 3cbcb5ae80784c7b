// The render device on SDL2: textures are static ARGB8888 SDL textures with alpha blending and linear
// filtering, copies are SDL_RenderCopy, resets are seen by watching SDL's renderer reset events.
#include "video/render_device_sdl.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "video/renderer_sdl.h"
#include "video/retained_render_device.h"

namespace sylvora {

namespace {

// Areas one present may show; the retained device never asks for more.
constexpr int kMaxShownAreas = kMaxChangedAreas;

class SdlRenderDevice final : public RenderDevice {
 public:
  explicit SdlRenderDevice(bool vsync) : vsync_(vsync) {}
  SdlRenderDevice(int width, int height, std::vector<uint32_t>* shown)
      : vsync_(false), memory_(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888)),
        shown_(shown) {}
  ~SdlRenderDevice() override {
    Close();
    SDL_FreeSurface(memory_);
  }

  std::string TakeFailureReason() override { return TakeSdlFailureReason(); }
  std::string Name() override { return SdlRendererName(renderer_); }

  bool Open(NativeWindow* window) override {
    Close();
    window_ = reinterpret_cast<SDL_Window*>(window);
    renderer_ = memory_ ? SDL_CreateSoftwareRenderer(memory_) : MakeSdlRenderer(window_, RendererUser::Native, vsync_);
    if (!renderer_) return false;
    SDL_RendererInfo info;
    wholePixels_ = SDL_GetRendererInfo(renderer_, &info) != 0 || (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    opaqueFormat_ = OpaqueFormat();
    if (!memory_) pacer_.Start(window_, renderer_, vsync_);
    resets_.Start();
    resets_.Forget();
    return true;
  }

  void Close() override {
    if (!renderer_) return;
    resets_.Stop();
    // Destroying the renderer destroys its textures.
    textures_.clear();
    SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
  }

  bool OutputSize(int& width, int& height) override {
    return renderer_ && SDL_GetRendererOutputSize(renderer_, &width, &height) == 0;
  }

  int LargestTextureSide() override {
    SDL_RendererInfo info;
    if (!renderer_ || SDL_GetRendererInfo(renderer_, &info) != 0) return 0;
    return std::min(info.max_texture_width, info.max_texture_height);
  }

  bool ScalesOnProcessor() override { return wholePixels_; }

  int CreateTexture(int width, int height, bool transparent) override {
    if (!renderer_) return 0;
    const Uint32 format = transparent ? Uint32{SDL_PIXELFORMAT_ARGB8888} : opaqueFormat_;
    SDL_Texture* texture = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!texture) return 0;
    if (SDL_SetTextureBlendMode(texture, transparent ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE) != 0) {
      SDL_DestroyTexture(texture);
      return 0;
    }
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
    textures_[++lastHandle_] = texture;
    return lastHandle_;
  }

  bool UploadTexture(int texture, const uint32_t* pixels, int pitch) override {
    SDL_Texture* target = Find(texture);
    return target && SDL_UpdateTexture(target, nullptr, pixels, pitch * 4) == 0;
  }

  void DestroyTexture(int texture) override {
    if (SDL_Texture* target = Find(texture)) SDL_DestroyTexture(target);
    textures_.erase(texture);
  }

  bool Copy(int texture, const SurfaceRect& from, const OutputRect& to) override {
    SDL_Texture* source = Find(texture);
    if (!source) return false;
    const SDL_Rect sourceRect{from.left, from.top, from.right - from.left, from.bottom - from.top};
    if (wholePixels_) {
      // SDL's software renderer cuts a rectangle's position and size to whole pixels apart, so the edges
      // of pictures laid side by side could miss each other by one; each edge is rounded here instead.
      const int left = static_cast<int>(std::lround(to.left));
      const int top = static_cast<int>(std::lround(to.top));
      const SDL_Rect targetRect{left, top, static_cast<int>(std::lround(to.right)) - left,
                                static_cast<int>(std::lround(to.bottom)) - top};
      return SDL_RenderCopy(renderer_, source, &sourceRect, &targetRect) == 0;
    }
    const SDL_FRect targetRect{to.left, to.top, to.right - to.left, to.bottom - to.top};
    return SDL_RenderCopyF(renderer_, source, &sourceRect, &targetRect) == 0;
  }

  bool SetClip(const SurfaceRect* clip) override {
    if (!renderer_) return false;
    if (!clip) return SDL_RenderSetClipRect(renderer_, nullptr) == 0;
    const SDL_Rect rect{clip->left, clip->top, clip->right - clip->left, clip->bottom - clip->top};
    return SDL_RenderSetClipRect(renderer_, &rect) == 0;
  }

  // SDL's clear fills the whole output, whatever the clip.
  bool Clear() override {
    if (!renderer_) return false;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    return SDL_RenderClear(renderer_) == 0;
  }

  bool Present() override {
    if (!renderer_) return false;
    SDL_RenderPresent(renderer_);
    if (memory_) {
      const SDL_Rect whole{0, 0, memory_->w, memory_->h};
      return ShowMemory(&whole, 1);
    }
    pacer_.Hold();
    return true;
  }

  // SDL's software renderer draws into the window's surface (or the memory device's), which keeps its
  // pixels from one present to the next.
  bool KeepsOutput() override { return wholePixels_; }
  bool TakeOutputLost() override { return resets_.TakeOutputLost(); }

  bool FillBlack(const SurfaceRect& area) override {
    if (!renderer_) return false;
    const SDL_Rect rect{area.left, area.top, area.right - area.left, area.bottom - area.top};
    return SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE) == 0 &&
           SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255) == 0 && SDL_RenderFillRect(renderer_, &rect) == 0;
  }

  // Where the renderer draws on the processor, its present shows the window's whole surface: here only the
  // areas are sent to the display.
  bool PresentAreas(const SurfaceRect* areas, int count) override {
    if (!renderer_) return false;
    if (!wholePixels_) return Present();
    if (SDL_RenderFlush(renderer_) != 0) return false;
    count = std::min(count, kMaxShownAreas);
    for (int index = 0; index < count; ++index) {
      const SurfaceRect& area = areas[index];
      shownAreas_[index] = {area.left, area.top, area.right - area.left, area.bottom - area.top};
    }
    if (memory_) return ShowMemory(shownAreas_.data(), count);
    // Called with no area too: the frame still waits for the display as a present does.
    if (SDL_UpdateWindowSurfaceRects(window_, shownAreas_.data(), count) != 0) return false;
    pacer_.Hold();
    return true;
  }

  RenderReset TakeReset() override {
    const RenderReset seen = resets_.Seen();
    resets_.Forget();
    return seen;
  }

 private:
  // Copies the areas of what the memory renderer drew to the caller's pixels, which keep the rest, as a
  // window shows only what is sent to it.
  bool ShowMemory(const SDL_Rect* areas, int count) {
    const auto* pixels = static_cast<const uint32_t*>(memory_->pixels);
    const int rowPixels = memory_->pitch / 4;
    shown_->resize(static_cast<size_t>(memory_->w) * memory_->h);
    for (int index = 0; index < count; ++index) {
      SDL_Rect area;
      const SDL_Rect whole{0, 0, memory_->w, memory_->h};
      if (!SDL_IntersectRect(&areas[index], &whole, &area)) continue;
      for (int y = area.y; y < area.y + area.h; ++y) {
        std::copy_n(pixels + static_cast<size_t>(y) * rowPixels + area.x, area.w,
                    shown_->data() + static_cast<size_t>(y) * memory_->w + area.x);
      }
    }
    return true;
  }

  // ARGB8888 pixels, alpha ignored: the output's own format where the software renderer draws into an
  // XRGB8888 surface (as the X11 window's is), so a copy is a plain copy of rows.
  Uint32 OpaqueFormat() const {
    if (!wholePixels_) return SDL_PIXELFORMAT_ARGB8888;
    const Uint32 output = memory_ ? memory_->format->format : SDL_GetWindowPixelFormat(window_);
    return output == SDL_PIXELFORMAT_RGB888 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_ARGB8888;
  }

  SDL_Texture* Find(int texture) const {
    const auto found = textures_.find(texture);
    return found == textures_.end() ? nullptr : found->second;
  }

  bool vsync_;
  SDL_Surface* memory_ = nullptr;         // what a memory device draws on instead of a window
  std::vector<uint32_t>* shown_ = nullptr;  // where its presents go
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  bool wholePixels_ = false;  // the renderer draws at whole output pixels only (SDL's software renderer)
  Uint32 opaqueFormat_ = SDL_PIXELFORMAT_ARGB8888;  // what opaque textures are made in
  std::array<SDL_Rect, kMaxChangedAreas> shownAreas_{};  // PresentAreas' areas in SDL's terms
  std::unordered_map<int, SDL_Texture*> textures_;
  int lastHandle_ = 0;
  SdlResetWatch resets_;
  FramePacer pacer_;
};

}  // namespace

std::unique_ptr<RenderDevice> CreateSdlRenderDevice(bool vsync) { return std::make_unique<SdlRenderDevice>(vsync); }

std::unique_ptr<RenderDevice> CreateSdlMemoryRenderDevice(int width, int height, std::vector<uint32_t>* shown) {
  return std::make_unique<SdlRenderDevice>(width, height, shown);
}

}  // namespace sylvora
