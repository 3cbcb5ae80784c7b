// The display layer on SDL2: surfaces are SDL_Surfaces in the emulated format, blits are SDL blits with
// the surface's colour key (run-length encoded), presenting is one texture upload and one stretched copy.
#include "video/display_sdl.h"

#include <SDL.h>

#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "video/monitors_sdl.h"
#include "video/renderer_sdl.h"

namespace sylvora {

namespace {

// Once SDL has run-length encoded a keyed surface for a blit it keeps no plain pixels: a fill fails
// and a new key is ignored. Locking decodes the surface; unlocking encodes it again with the key then
// in force. change runs on the plain surface; false when it or the lock failed.
template <typename Change>
bool WithPlainPixels(SDL_Surface* surface, Change change) {
  if (SDL_LockSurface(surface) != 0) return false;
  const bool done = change(surface);
  SDL_UnlockSurface(surface);
  return done;
}

// Number of distinct RGB565 pixel values, the size of the 16-bit presenting table.
constexpr int kRgb565Values = 65536;

// An SDL surface, or the primary (which has no pixels of its own: it is the window's renderer).
class SdlSurface final : public DisplaySurface {
 public:
  explicit SdlSurface(SDL_Surface* pixels) : pixels_(pixels) {}
  ~SdlSurface() override {
    if (pixels_) SDL_FreeSurface(pixels_);
  }
  SDL_Surface* Pixels() const { return pixels_; }
  bool IsPrimary() const { return pixels_ == nullptr; }

  // The colour key is switched on and off per blit only when a caller asks for the other state.
  bool hasKey = false;
  bool keyEnabled = false;
  uint32_t key = 0;

 private:
  SDL_Surface* pixels_;
};

SdlSurface* AsSdl(DisplaySurface* surface) { return static_cast<SdlSurface*>(surface); }

// The emulated pixel format of a depth: SDL format and the red, green and blue masks reported.
struct EmulatedFormat {
  int depth;
  Uint32 sdlFormat;
  uint32_t red, green, blue;
};

constexpr std::array<EmulatedFormat, 3> kEmulatedFormats{{
    {16, SDL_PIXELFORMAT_RGB565, 0xF800, 0x07E0, 0x001F},
    {24, SDL_PIXELFORMAT_BGR24, 0xFF0000, 0x00FF00, 0x0000FF},
    {32, SDL_PIXELFORMAT_RGB888, 0xFF0000, 0x00FF00, 0x0000FF},
}};

const EmulatedFormat* FormatOfDepth(int depth) {
  for (const EmulatedFormat& format : kEmulatedFormats) {
    if (format.depth == depth) return &format;
  }
  return nullptr;
}

class SdlDisplayLayer final : public ProcessorRampLayer {
 public:
  SdlDisplayLayer(bool vsync, DisplaySpan span) : vsync_(vsync), span_(span) {}
  ~SdlDisplayLayer() override { DestroyRenderer(); }

  std::string PresenterName() override { return SdlRendererName(renderer_); }
  std::string TakeFailureReason() override { return TakeSdlFailureReason(); }

  bool CreateDevice() override { return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }
  void ReleaseDevice() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

  bool GetDeviceIdentifier(std::string& name, std::string& description) override {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) return false;
    SDL_version version;
    SDL_GetVersion(&version);
    name = driver;
    description = "SDL " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
                  std::to_string(version.patch) + " display on the " + driver + " video driver";
    return true;
  }

  // A layer spanning all displays reports the area it covers as the mode: the window is sized to it.
  bool GetDisplayMode(DisplayMode& mode) override {
    SDL_DisplayMode desktop;
    const int index = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
    if (SDL_GetDesktopDisplayMode(index < 0 ? 0 : index, &desktop) != 0) return false;
    mode = {desktop.w, desktop.h, static_cast<int>(SDL_BYTESPERPIXEL(desktop.format)) * 8};
    if (span_ == DisplaySpan::AllDisplays) SpannedArea(mode.width, mode.height);
    return true;
  }

  bool SetCooperativeLevel(NativeWindow* window, bool fullScreen, bool modeX) override {
    if (modeX || !window) return false;
    window_ = reinterpret_cast<SDL_Window*>(window);
    fullScreen_ = fullScreen;
    if (!fullScreen) {
      DisplayMode desktop;
      format_ = GetDisplayMode(desktop) ? FormatOfDepth(desktop.depth) : nullptr;
      if (!format_) format_ = FormatOfDepth(32);
      return true;
    }
    // A screen-saver daemon's window is full screen as far as we are concerned: its owner has sized
    // and shown it, and the frame is stretched over whatever size it has.
    if (Foreign()) return true;
    if (span_ == DisplaySpan::AllDisplays && CoverAllDisplays(window_)) return true;
    CoverDisplay();
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
    SDL_ShowWindow(window_);
    return true;
  }

  // True for a window another program (a screen-saver daemon) owns.
  bool Foreign() const { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FOREIGN); }

  // Without a window manager to honour the full-screen request (a bare X server, a kiosk session),
  // the window would stay at its 640 x 480: give it the display's bounds first.
  void CoverDisplay() {
    SDL_Rect bounds;
    const int index = SDL_GetWindowDisplayIndex(window_);
    if (SDL_GetDisplayBounds(index < 0 ? 0 : index, &bounds) != 0) return;
    SDL_SetWindowPosition(window_, bounds.x, bounds.y);
    SDL_SetWindowSize(window_, bounds.w, bounds.h);
  }

  bool SetDisplayMode(int width, int height, int depth) override {
    const EmulatedFormat* format = FormatOfDepth(depth);
    if (!format || width <= 0 || height <= 0) return false;
    format_ = format;
    modeWidth_ = width;
    modeHeight_ = height;
    return true;
  }

  void RestoreDisplayMode() override {
    // A window spanning all displays never entered SDL's full screen; there is nothing to leave.
    if (window_ && fullScreen_ && !Foreign()) SDL_SetWindowFullscreen(window_, 0);
  }

  bool GetAvailableVideoMemory(uint64_t&, uint64_t&) override { return false; }

  DisplaySurface* CreatePrimary(bool modeX) override {
    if (modeX || !window_ || !format_) return nullptr;
    if (!CreateRenderer()) return nullptr;
    resets_.Start();
    // The presenting tables are made with the first primary: the native path, which keeps this layer for
    // the window's set-up only, never presents through them.
    BuildPresentTables();
    return new SdlSurface(nullptr);
  }

  // The frame is one more off-screen surface: presenting reads its pixels.
  DisplaySurface* CreateFrame(int width, int height, SurfaceMemory memory) override {
    return CreateOffScreenSurface(width, height, memory);
  }

  DisplaySurface* CreateOffScreenSurface(int width, int height, SurfaceMemory memory) override {
    if (memory == SurfaceMemory::Video || !format_ || width <= 0 || height <= 0) return nullptr;
    SDL_Surface* pixels = SDL_CreateRGBSurfaceWithFormat(0, width, height, SDL_BITSPERPIXEL(format_->sdlFormat),
                                                         format_->sdlFormat);
    if (!pixels) return nullptr;
    SDL_SetSurfaceBlendMode(pixels, SDL_BLENDMODE_NONE);
    return new SdlSurface(pixels);
  }

  void ReleaseSurface(DisplaySurface* surface) override {
    if (AsSdl(surface)->IsPrimary()) {
      resets_.Stop();
      DestroyRenderer();
    }
    delete AsSdl(surface);
  }

  // SDL clips every copy to the window by itself.
  bool CreateClipper() override { return true; }
  bool SetClipperWindow(NativeWindow* window) override { return window != nullptr; }
  bool AttachClipper(DisplaySurface* primary) override { return primary != nullptr; }
  void ReleaseClipper() override {}

  // The ramp is applied in software while presenting, so every full-screen display has one.
  bool CreateGammaControl(DisplaySurface* primary) override { return primary != nullptr && fullScreen_; }

  bool GetPixelFormat(DisplaySurface* surface, uint32_t& red, uint32_t& green, uint32_t& blue) override {
    if (!surface || !format_) return false;
    red = format_->red;
    green = format_->green;
    blue = format_->blue;
    return true;
  }

  bool IsLost(DisplaySurface* surface) override {
    return AsSdl(surface)->IsPrimary() && resets_.Seen() != RenderReset::None;
  }

  // SDL surfaces live in the process's memory and keep their pixels.
  bool NeedsPicture(DisplaySurface*) override { return false; }

  bool RestoreSurface(DisplaySurface* surface) override {
    if (!AsSdl(surface)->IsPrimary() || resets_.Seen() == RenderReset::None) return true;
    if (resets_.Seen() == RenderReset::Device) {
      DestroyRenderer();
      if (!CreateRenderer()) return false;
    } else if (texture_) {
      SDL_DestroyTexture(texture_);
      texture_ = nullptr;
    }
    resets_.Forget();
    return true;
  }

  bool Lock(DisplaySurface* surface, SurfaceLock& lock) override {
    SDL_Surface* pixels = AsSdl(surface)->Pixels();
    if (!pixels || SDL_LockSurface(pixels) != 0) return false;
    lock = {static_cast<uint8_t*>(pixels->pixels), pixels->pitch, pixels->w, pixels->h};
    return true;
  }

  void Unlock(DisplaySurface* surface) override {
    if (SDL_Surface* pixels = AsSdl(surface)->Pixels()) SDL_UnlockSurface(pixels);
  }

  // Copies whole pixels: the shift is not shown.
  DisplayResult BltFast(DisplaySurface* destination, int x, int y, const SubPixelShift&, DisplaySurface* source,
                        const SurfaceRect& rect, bool useColourKey) override {
    SdlSurface* from = AsSdl(source);
    SDL_Surface* to = AsSdl(destination)->Pixels();
    if (!from->Pixels() || !to) return DisplayResult::Failed;
    const bool keyed = useColourKey && from->hasKey;
    if (keyed != from->keyEnabled) {
      SDL_SetColorKey(from->Pixels(), keyed ? SDL_TRUE : SDL_FALSE, from->key);
      from->keyEnabled = keyed;
    }
    SDL_Rect sourceRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    SDL_Rect destinationRect{x, y, sourceRect.w, sourceRect.h};
    return SDL_BlitSurface(from->Pixels(), &sourceRect, to, &destinationRect) == 0 ? DisplayResult::Ok
                                                                                    : DisplayResult::Failed;
  }

  DisplayResult ColourFill(DisplaySurface* surface, uint32_t colour) override {
    SDL_Surface* pixels = AsSdl(surface)->Pixels();
    const bool filled = pixels && WithPlainPixels(pixels, [colour](SDL_Surface* plain) {
      return SDL_FillRect(plain, nullptr, colour) == 0;
    });
    return filled ? DisplayResult::Ok : DisplayResult::Failed;
  }

  bool SetColourKey(DisplaySurface* surface, uint32_t key) override {
    SdlSurface* keyed = AsSdl(surface);
    if (!keyed->Pixels()) return false;
    // Run-length encoding makes keyed blits between surfaces of one format several times faster.
    SDL_SetSurfaceRLE(keyed->Pixels(), 1);
    const bool set = WithPlainPixels(keyed->Pixels(), [key](SDL_Surface* plain) {
      return SDL_SetColorKey(plain, SDL_TRUE, key) == 0;
    });
    if (!set) return false;
    keyed->hasKey = keyed->keyEnabled = true;
    keyed->key = key;
    return true;
  }

  // SDL blits are synchronous: nothing is ever still drawing.
  DisplayResult GetBltStatus(DisplaySurface*) override { return DisplayResult::Ok; }

  DisplayResult PresentBlt(DisplaySurface* primary, const SurfaceRect& destination, DisplaySurface* source,
                           const SurfaceRect& sourceRect) override {
    if (!AsSdl(primary)->IsPrimary() || !renderer_) return DisplayResult::Failed;
    if (resets_.Seen() != RenderReset::None) return DisplayResult::SurfaceLost;
    SDL_Surface* frame = AsSdl(source)->Pixels();
    if (!frame || !UploadFrame(frame)) return DisplayResult::Failed;

    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    SDL_Rect to{};
    if (fullScreen_ && modeWidth_ > 0 && modeHeight_ > 0) {
      // The display mode's coordinates cover the whole window, whatever size the window really has.
      to = {destination.left * outputWidth / modeWidth_, destination.top * outputHeight / modeHeight_,
            (destination.right - destination.left) * outputWidth / modeWidth_,
            (destination.bottom - destination.top) * outputHeight / modeHeight_};
    } else {
      int windowX = 0;
      int windowY = 0;
      SDL_GetWindowPosition(window_, &windowX, &windowY);
      to = {destination.left - windowX, destination.top - windowY, destination.right - destination.left,
            destination.bottom - destination.top};
    }
    const SDL_Rect from{sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
                        sourceRect.bottom - sourceRect.top};
    if (to.x != 0 || to.y != 0 || to.w != outputWidth || to.h != outputHeight) {
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
      SDL_RenderClear(renderer_);
    }
    if (SDL_RenderCopy(renderer_, texture_, &from, &to) != 0) return DisplayResult::Failed;
    SDL_RenderPresent(renderer_);
    pacer_.Hold();
    return DisplayResult::Ok;
  }

  // Only a full-screen window of our own spans monitors to be drawn on one by one: a daemon gives each
  // monitor a window of its own, and a preview pane or a window lies on one.
  bool GetMonitors(MonitorTable& monitors) override {
    return window_ && fullScreen_ && !Foreign() && FindWindowMonitors(window_, monitors);
  }

  void ClientOrigin(NativeWindow* window, int& x, int& y) override {
    x = y = 0;
    if (window) SDL_GetWindowPosition(reinterpret_cast<SDL_Window*>(window), &x, &y);
  }

 private:
  bool CreateRenderer() {
    renderer_ = MakeSdlRenderer(window_, RendererUser::Classic, vsync_);
    pacer_.Start(window_, renderer_, vsync_);
    return renderer_ != nullptr;
  }

  void DestroyRenderer() {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = nullptr;
    if (renderer_) SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
  }

  void RampChanged() override { BuildPresentTables(); }

  // The RGB565 table that turns a 16-bit pixel straight into the texture's XRGB8888 pixel with the ramp
  // applied. Built with the primary and at each ramp change, never per frame.
  void BuildPresentTables() {
    const RampTables& tables = Tables();
    rgb565Table_.resize(kRgb565Values);
    for (int value = 0; value < kRgb565Values; ++value) {
      const int red5 = value >> 11;
      const int green6 = (value >> 5) & 0x3F;
      const int blue5 = value & 0x1F;
      rgb565Table_[value] = 0xFF000000u | uint32_t{tables.red[(red5 << 3) | (red5 >> 2)]} << 16 |
                            uint32_t{tables.green[(green6 << 2) | (green6 >> 4)]} << 8 |
                            tables.blue[(blue5 << 3) | (blue5 >> 2)];
    }
  }

  // Copies frame into the streaming texture as XRGB8888 through the ramp tables.
  bool UploadFrame(SDL_Surface* frame) {
    const RampTables& tables = Tables();
    if (!texture_ || textureWidth_ != frame->w || textureHeight_ != frame->h) {
      if (texture_) SDL_DestroyTexture(texture_);
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, frame->w, frame->h);
      if (!texture_) return false;
      SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
      SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
      textureWidth_ = frame->w;
      textureHeight_ = frame->h;
    }
    void* texturePixels = nullptr;
    int texturePitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &texturePixels, &texturePitch) != 0) return false;
    if (SDL_MUSTLOCK(frame)) SDL_LockSurface(frame);
    const int bytesPerPixel = frame->format->BytesPerPixel;
    for (int y = 0; y < frame->h; ++y) {
      const uint8_t* from = static_cast<const uint8_t*>(frame->pixels) + static_cast<size_t>(y) * frame->pitch;
      auto* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(texturePixels) + static_cast<size_t>(y) * texturePitch);
      if (bytesPerPixel == 2) {
        const auto* row = reinterpret_cast<const uint16_t*>(from);
        for (int x = 0; x < frame->w; ++x) to[x] = rgb565Table_[row[x]];
      } else if (bytesPerPixel == 4 && tables.identity) {
        std::memcpy(to, from, static_cast<size_t>(frame->w) * 4);
      } else {
        for (int x = 0; x < frame->w; ++x, from += bytesPerPixel) {
          to[x] = 0xFF000000u | uint32_t{tables.red[from[2]]} << 16 | uint32_t{tables.green[from[1]]} << 8 |
                  tables.blue[from[0]];
        }
      }
    }
    if (SDL_MUSTLOCK(frame)) SDL_UnlockSurface(frame);
    SDL_UnlockTexture(texture_);
    return true;
  }

  bool vsync_;
  DisplaySpan span_;
  FramePacer pacer_;
  SDL_Window* window_ = nullptr;
  bool fullScreen_ = false;
  const EmulatedFormat* format_ = nullptr;
  int modeWidth_ = 0;
  int modeHeight_ = 0;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  SdlResetWatch resets_;
  std::vector<uint32_t> rgb565Table_;  // empty until the first primary
};

}  // namespace

std::unique_ptr<DisplayLayer> CreateSdlDisplayLayer(bool vsync, DisplaySpan span) {
  return std::make_unique<SdlDisplayLayer>(vsync, span);
}

}  // namespace sylvora
