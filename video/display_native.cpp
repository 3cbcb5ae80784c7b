// The native display path.
//
// Why: the classic path composes every frame at 640 x 480 in RGB565 and stretches the result, so on a
// 1920 x 1080 display each picture pixel becomes a blurred 3 x 2.25 block with 16-bit banding. Here
// nothing is composed on the processor: every picture is a static 32-bit texture, uploaded once when
// it is loaded, and each BltFast is one filtered, scaled copy straight onto the output, so a picture
// with three times the pixels is shown with all of them.
//
// High-resolution pictures: with CreateArgs::highResolution, VideoSystem loads a picture's twin painted
// at three times the size and tells the layer its scale (SetPictureScale); its slot keeps the size in
// frame pixels, so the scenes' rectangles and the clipping are unchanged, and only the copy's source
// rectangle is scaled here. A picture without a twin is its own texture, smoothly scaled.
//
// How it fits the logic unchanged: VideoSystem still loads pictures through Lock/Unlock and
// SetColourKey, and still draws with BltFast into its secondary buffer. The layer turns a picture's
// pixels into a texture lazily, at the first blit after they changed, and then lets them go: the
// renderer holds the picture, and keeping a second copy of every three-times picture would double the
// program's memory. When pictures must be uploaded again, the layer says so: after a renderer reset
// the primary is lost; for a new brightness or key, or a picture drawn whose pixels are gone, it wants
// the pictures again (PicturesWanted). Either way the draws meet a lost surface, VideoSystem's Restore
// runs, and every picture without its pixels (NeedsPicture) is loaded again from the archive, as lost
// video memory is on the classic path. The secondary buffer is the frame (CreateFrame); it has no
// pixels: it stands for the renderer's back buffer, whose logical coordinates are mapped onto the
// output's pixels.
//
// Shape: stretching the 640 x 480 frame over a 16:9 output would make every round thing a third too
// wide. The frame is instead scaled by the output's height alike across and down, and made as many
// columns wide as the output's shape holds (FrameColumns), centred: a wide display shows more of the
// scene at both sides (the scenes' wide paintings), a narrow one loses a strip at each side; one wider
// than the paintings (past 7:3) has the frame scaled by its width instead, losing a sliver at the top
// and bottom. Nothing is stretched and no bar is left black.
//
// Monitors: a full-screen window can span several monitors (one X screen that XRandR splits, the
// device's GetMonitors; where SDL sees several displays, the device covers them all with the window).
// Each is then an output of its own: the frame has the columns of the widest-shaped one, every monitor
// gets its own scale and centring as above, and each BltFast is one copy per monitor, cut to it
// (RenderDevice::SetClip), so the scene is whole and undistorted on each and the screen area no monitor
// shows stays black. Twins are loaded for the largest monitor's scale. The monitors are asked again
// only when the output's size changes, never per frame.
//
// Renderers that scale on the processor (SDL's software renderer, where there is no graphics card):
// rescaling every picture at every copy would be most of a frame's cost, and its bilinear filter skips
// texels when it shrinks a twin. There each picture is scaled once, as it is uploaded, to the size the
// monitors show it (picture_scaler.h), and a copy at that size is one to one on whole output pixels;
// opaque pictures take the output's own pixel format, so the copy is a plain copy of rows. An output of
// another size wants the pictures again, to be made at its own. Monitors that show the frame at
// different scales keep the pictures at their own size, each copy scaled: made for one, a picture would
// be scaled twice for the other.
//
// Made ready ahead: turning keys to alpha, applying the ramp and scaling cost as much as decoding, and
// a scene's pictures would otherwise go through them one after another at its first frame. Each
// picture is handed to a worker (ahead_worker.h) once the loader has written it and given it its key
// and scale, as the next picture is made or the frame is drawn, so it is made ready beside the next
// decode; the worker takes the newest first, a scene's pictures before the creatures' sheets loaded
// earlier. A draw that needs a picture the worker has not reached takes it back and makes it itself.
// Whatever would change what the worker reads (new pixels, a key, a scale, the ramp, the picture's end)
// takes the picture back first.
//
// Colour keys: a filtered copy mixes a sprite's edge with its keyed neighbours, so the key becomes
// transparency and its colour is bled from the sprite (key_alpha.h); no dark fringe shows.
//
// Brightness: the classic path passes every presented pixel through the gamma ramp's tables. A colour
// modulation would be a straight multiplication, not the ramp's curve; instead the same tables are
// applied to the picture pixels as they are uploaded, and every picture is uploaded again when the
// ramp changes (a rare event: the options are applied at start and after the settings dialog).
//
// Resets: a renderer reset marks the primary lost; VideoSystem's Restore then restores it, which makes
// the renderer again after a device reset, and every picture is uploaded again at its next blit.
//
// The window's set-up (device, modes, full screen, clip) is the classic layer's, taken as a
// DisplayDevice: its surfaces, blits and presenting tables are never used here, nor made.
#include "video/display_native.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "archive/high_resolution.h"
#include "archive/wide_picture.h"
#include "platform/ahead_worker.h"
#include "video/key_alpha.h"
#include "video/picture_scaler.h"

namespace sylvora {

namespace {

// Pixel format reported for every surface: XRGB8888, so pictures keep their full 24-bit colour.
constexpr uint32_t kRedMask = 0xFF0000;
constexpr uint32_t kGreenMask = 0x00FF00;
constexpr uint32_t kBlueMask = 0x0000FF;
constexpr int kDepth = 32;
// How far under a whole column the output's shape may fall and still count as that column.
constexpr double kColumnTolerance = 1e-6;

class NativeSurface;

// A picture's way into its texture: its pixels prepared in place (keys to alpha, the ramp's tables)
// and, where its texture is of another size, scaled into a buffer of their own. Run ahead on the
// worker as the picture is loaded, or on the main thread at its upload.
struct TexelsJob final : AheadJob {
  NativeSurface* picture = nullptr;
  RampTables tables;     // the ramp as it was when the job was set
  float texels = 0.0f;   // the texels per frame pixel it makes
  int width = 0;         // the texture's size at those texels
  int height = 0;
  std::unique_ptr<uint32_t[]> scaled;  // width x height, where that is not the picture's own size
  bool handedAhead = false;            // queued on the worker since it was last taken back

  void Run() override;
};

class NativeSurface final : public DisplaySurface {
 public:
  enum class Role { Primary, Frame, Picture };
  NativeSurface(Role role, int width, int height)
      : role(role), width(width), height(height) {
    job.picture = this;
  }

  Role role;
  int width;
  int height;
  // XRGB8888, rows width pixels apart: a picture's from its first Lock, or from the loader handing them
  // over (TakePixels), until it is uploaded. Not cleared when made, since the loader writes every pixel
  // at once.
  std::unique_ptr<uint32_t[]> pixels;
  bool keyed = false;
  uint32_t key = 0;
  int scale = 1;          // picture pixels per frame pixel along each side
  int texture = 0;        // the renderer's texture, 0 while there is none
  int textureWidth = 0;   // its size and kind, as made
  int textureHeight = 0;
  bool textureKeyed = false;
  float texels = 1.0f;    // its pixels per frame pixel: scale, or the size shown at when scaled on upload
  bool uploaded = false;  // the texture holds the pixels as they are now
  bool prepared = false;  // the pixels hold alpha and brightness already (set by the job)
  TexelsJob job;          // its way into the texture; the worker may hold it between loading and upload

  size_t PixelCount() const { return static_cast<size_t>(width) * height; }
  void MakePixels() {
    if (!pixels) pixels.reset(new uint32_t[PixelCount()]);
  }
};

NativeSurface* AsNative(DisplaySurface* surface) { return static_cast<NativeSurface*>(surface); }

void PreparePixels(NativeSurface& picture, const RampTables& tables) {
  uint32_t* pixels = picture.pixels.get();
  if (picture.keyed) {
    KeyToAlpha(pixels, picture.width, picture.height, picture.width, picture.key);
  } else {
    Opaque(pixels, picture.width, picture.height, picture.width);
  }
  if (!tables.identity) {
    for (uint32_t& pixel : std::span(pixels, picture.PixelCount())) {
      pixel = (pixel & 0xFF000000u) | uint32_t{tables.red[(pixel >> 16) & 0xFF]} << 16 |
              uint32_t{tables.green[(pixel >> 8) & 0xFF]} << 8 | tables.blue[pixel & 0xFF];
    }
  }
  picture.prepared = true;
}

void TexelsJob::Run() {
  if (!picture->prepared) PreparePixels(*picture, tables);
  scaled.reset();
  if (width == picture->width && height == picture->height) return;
  scaled.reset(new uint32_t[static_cast<size_t>(width) * height]);
  ScalePicture(picture->pixels.get(), picture->width, picture->height, scaled.get(), width, height, picture->keyed);
}

class NativeDisplayLayer final : public ProcessorRampLayer {
 public:
  NativeDisplayLayer(std::unique_ptr<DisplayDevice> device, std::unique_ptr<RenderDevice> render)
      : device_(std::move(device)), render_(std::move(render)) {}
  ~NativeDisplayLayer() override { render_->Close(); }

  std::string TakeFailureReason() override {
    std::string reason = render_->TakeFailureReason();
    return reason.empty() ? device_->TakeFailureReason() : reason;
  }
  std::string PresenterName() override { return render_->Name(); }

  // The window's set-up is the classic layer's.
  bool CreateDevice() override { return device_->CreateDevice(); }
  void ReleaseDevice() override { device_->ReleaseDevice(); }
  bool GetDeviceIdentifier(std::string& name, std::string& description) override {
    return device_->GetDeviceIdentifier(name, description);
  }
  bool GetDisplayMode(DisplayMode& mode) override {
    if (!device_->GetDisplayMode(mode)) return false;
    mode.depth = kDepth;
    return true;
  }
  bool SetCooperativeLevel(NativeWindow* window, bool fullScreen, bool modeX) override {
    if (!device_->SetCooperativeLevel(window, fullScreen, modeX)) return false;
    window_ = window;
    fullScreen_ = fullScreen;
    return true;
  }
  bool SetDisplayMode(int width, int height, int depth) override {
    return depth == kDepth && device_->SetDisplayMode(width, height, depth);
  }
  void RestoreDisplayMode() override { device_->RestoreDisplayMode(); }
  bool GetAvailableVideoMemory(uint64_t& totalBytes, uint64_t& freeBytes) override {
    return device_->GetAvailableVideoMemory(totalBytes, freeBytes);
  }

  DisplaySurface* CreatePrimary(bool modeX) override {
    if (modeX || primary_ || !render_->Open(window_)) return nullptr;
    render_->TakeReset();  // a reset before there were textures took nothing away
    primary_ = new NativeSurface(NativeSurface::Role::Primary, 0, 0);
    return primary_;
  }

  bool FitsFrameToOutput() override { return true; }

  // Enough columns that the frame, scaled to the widest-shaped monitor's height, covers its width; but
  // never more than the scenes are painted wide (archive/wide_picture.h): a still wider monitor has the
  // frame scaled a little more, losing a sliver at its top and bottom, rather than black bars at its
  // sides. A narrower monitor beside it shows the frame's middle.
  int FrameColumns(int width, int height) override {
    int outputWidth = 0;
    int outputHeight = 0;
    if (!primary_ || !render_->OutputSize(outputWidth, outputHeight) || outputWidth <= 0 || outputHeight <= 0) {
      return width;
    }
    const MonitorTable& monitors = Monitors(outputWidth, outputHeight);
    int columns = 1;
    for (int index = 0; index < monitors.count; ++index) {
      const SurfaceRect& monitor = monitors.rects[index];
      const double shown = static_cast<double>(monitor.right - monitor.left) * height / (monitor.bottom - monitor.top);
      // A hair under a whole column is a rounding error, not a column to add.
      const int eachSide = static_cast<int>(std::ceil((shown - width) / 2 - kColumnTolerance));
      columns = std::max(columns, std::clamp(width + 2 * eachSide, 1, width - 2 * kWideFieldLeft));
    }
    return columns;
  }

  // The frame is the primary's renderer output, one at a time.
  DisplaySurface* CreateFrame(int width, int height, SurfaceMemory memory) override {
    if (memory == SurfaceMemory::Video || width <= 0 || height <= 0 || !primary_ || frame_) return nullptr;
    frame_ = new NativeSurface(NativeSurface::Role::Frame, width, height);
    placedWidth_ = 0;
    return frame_;
  }

  // Video memory is never offered: a picture's pixels are the layer's until they are uploaded.
  DisplaySurface* CreateOffScreenSurface(int width, int height, SurfaceMemory memory) override {
    if (memory == SurfaceMemory::Video || width <= 0 || height <= 0) return nullptr;
    HandAheadLoaded();
    auto* picture = new NativeSurface(NativeSurface::Role::Picture, width, height);
    pictures_.push_back(picture);
    return picture;
  }

  void SetPictureScale(DisplaySurface* surface, int scale) override {
    if (scale <= 0) return;
    TakeBack(*AsNative(surface));
    AsNative(surface)->scale = scale;
    loadedSinceAhead_ = true;
  }

  void ReleaseSurface(DisplaySurface* surface) override {
    NativeSurface* native = AsNative(surface);
    TakeBack(*native);
    if (native == frame_) frame_ = nullptr;
    if (native == primary_) {
      // Closing the renderer ends its textures; pictures that outlive it upload again to the next one.
      render_->Close();
      ForgetMonitors();
      primary_ = nullptr;
      for (NativeSurface* picture : pictures_) {
        picture->texture = 0;
        picture->uploaded = false;
      }
    }
    if (native->texture != 0 && primary_) render_->DestroyTexture(native->texture);
    pictures_.erase(std::remove(pictures_.begin(), pictures_.end(), native), pictures_.end());
    delete native;
  }

  bool CreateClipper() override { return device_->CreateClipper(); }
  bool SetClipperWindow(NativeWindow* window) override { return device_->SetClipperWindow(window); }
  bool AttachClipper(DisplaySurface* primary) override { return primary == primary_ && primary_ != nullptr; }
  void ReleaseClipper() override { device_->ReleaseClipper(); }

  // The ramp is applied to the pictures' pixels at upload, so every full-screen display has one.
  bool CreateGammaControl(DisplaySurface* primary) override { return primary != nullptr && fullScreen_; }

  bool GetPixelFormat(DisplaySurface* surface, uint32_t& red, uint32_t& green, uint32_t& blue) override {
    if (!surface) return false;
    red = kRedMask;
    green = kGreenMask;
    blue = kBlueMask;
    return true;
  }

  // Only the primary is ever lost: by a renderer reset.
  bool IsLost(DisplaySurface* surface) override {
    return AsNative(surface) == primary_ && Reset() != RenderReset::None;
  }
  bool PicturesWanted() override { return picturesWanted_; }
  // A picture waiting for its upload is being made ready while the worker holds it, or until the next
  // draw hands it over.
  bool PreparingPictures() override {
    return std::any_of(pictures_.begin(), pictures_.end(), [this](NativeSurface* picture) {
      return picture->pixels && !picture->uploaded &&
             (picture->job.handedAhead ? worker_.Holds(picture->job) : loadedSinceAhead_);
    });
  }

  // A picture must be written again when it must be uploaded and its pixels are gone.
  bool NeedsPicture(DisplaySurface* surface) override {
    NativeSurface* native = AsNative(surface);
    return native->role == NativeSurface::Role::Picture && !native->uploaded && !native->pixels;
  }

  // Restoring the primary ends a reset, or the wish for the pictures: every picture is uploaded again.
  bool RestoreSurface(DisplaySurface* surface) override {
    if (AsNative(surface) != primary_ || !MustRestore()) return true;
    if (reset_ == RenderReset::Device) {
      // The old renderer took its textures with it: the handles name nothing any more.
      for (NativeSurface* picture : pictures_) picture->texture = 0;
      render_->Close();
      if (!render_->Open(window_)) return false;
      render_->TakeReset();
      ForgetMonitors();
    }
    for (NativeSurface* picture : pictures_) Changed(*picture);
    reset_ = RenderReset::None;
    picturesWanted_ = false;
    return true;
  }

  bool Lock(DisplaySurface* surface, SurfaceLock& lock) override {
    NativeSurface* native = AsNative(surface);
    if (native->role != NativeSurface::Role::Picture) return false;
    TakeBack(*native);
    native->MakePixels();
    lock = {reinterpret_cast<uint8_t*>(native->pixels.get()), native->width * 4, native->width, native->height};
    return true;
  }
  void Unlock(DisplaySurface* surface) override { Changed(*AsNative(surface)); }
  bool TakesPixels() const override { return true; }
  bool TakePixels(DisplaySurface* surface, std::unique_ptr<uint32_t[]>& pixels, int width, int height) override {
    NativeSurface* native = AsNative(surface);
    if (native->role != NativeSurface::Role::Picture || native->width != width || native->height != height) {
      return false;
    }
    TakeBack(*native);
    native->pixels = std::move(pixels);
    Changed(*native);
    return true;
  }

  // A keyed picture's texture always carries its transparency: VideoSystem's Draw asks for the key
  // exactly when the picture has one.
  bool DrawsSubPixels() override { return true; }

  DisplayResult BltFast(DisplaySurface* destination, int x, int y, const SubPixelShift& shift, DisplaySurface* source,
                        const SurfaceRect& rect, bool) override {
    NativeSurface* picture = AsNative(source);
    if (AsNative(destination) != frame_ || picture->role != NativeSurface::Role::Picture) return DisplayResult::Failed;
    if (!picture->uploaded && !picture->pixels) picturesWanted_ = true;
    if (!Place()) return DisplayResult::Failed;
    HandAheadLoaded();
    if (MustRestore()) return DisplayResult::SurfaceLost;
    if (!picture->uploaded && !Upload(*picture)) return DisplayResult::Failed;
    const auto left = static_cast<float>(x + shift.x);
    const auto top = static_cast<float>(y + shift.y);
    const auto width = static_cast<float>(rect.right - rect.left);
    const auto height = static_cast<float>(rect.bottom - rect.top);
    for (int index = 0; index < placementCount_; ++index) {
      const Placement& place = placements_[index];
      OutputRect to{place.originX + left * place.perFramePixel, place.originY + top * place.perFramePixel,
                    place.originX + (left + width) * place.perFramePixel,
                    place.originY + (top + height) * place.perFramePixel};
      // Cut to its monitor, a copy that misses it is left out.
      if (clipped_ && !Meets(to, place.monitor)) continue;
      if (clipped_ && !render_->SetClip(&place.monitor)) return DisplayResult::Failed;
      const SurfaceRect from =
          place.perFramePixel == picture->texels ? OneToOne(*picture, rect, to) : Scaled(rect, picture->texels);
      if (!render_->Copy(picture->texture, from, to)) return DisplayResult::Failed;
    }
    return DisplayResult::Ok;
  }

  // Twins are worth their pixels where the output is nearer their scale than the frame's own size (the
  // two sizes' geometric middle decides); a preview pane shows the pictures painted for the frame. An
  // output that would enlarge the three-times twins noticeably (past kMostTwinEnlargement) shows the
  // finest, where the renderer takes textures that large.
  int ShownPictureScale() override {
    if (!frame_ || !Place()) return 1;
    const double scale = LargestPerFramePixel();
    const int largest = render_->LargestTextureSide();
    const bool finestFit = largest == 0 || largest >= kWideLayerWidth * kFinestPictureScale;
    if (scale > kHighResolutionScale * kMostTwinEnlargement && finestFit) return kFinestPictureScale;
    return scale * scale >= kHighResolutionScale ? kHighResolutionScale : 1;
  }

  DisplayResult ColourFill(DisplaySurface* surface, uint32_t colour) override {
    NativeSurface* native = AsNative(surface);
    if (native->role == NativeSurface::Role::Picture) {
      TakeBack(*native);
      native->MakePixels();
      std::fill_n(native->pixels.get(), native->PixelCount(), colour);
      Changed(*native);
      return DisplayResult::Ok;
    }
    if (native != frame_) return DisplayResult::Failed;
    if (MustRestore()) return DisplayResult::SurfaceLost;
    return render_->Clear() ? DisplayResult::Ok : DisplayResult::Failed;
  }

  bool SetColourKey(DisplaySurface* surface, uint32_t key) override {
    NativeSurface* native = AsNative(surface);
    if (native->role != NativeSurface::Role::Picture) return native == frame_;
    TakeBack(*native);
    native->keyed = true;
    native->key = key;
    if (native->uploaded || native->prepared) picturesWanted_ = true;
    Changed(*native);
    return true;
  }

  // Copies are queued by the renderer: nothing is ever still drawing.
  DisplayResult GetBltStatus(DisplaySurface*) override { return DisplayResult::Ok; }

  // The frame was drawn at the output's resolution as it went: presenting only shows it.
  DisplayResult PresentBlt(DisplaySurface* primary, const SurfaceRect&, DisplaySurface* source,
                           const SurfaceRect&) override {
    if (AsNative(primary) != primary_ || !primary_ || AsNative(source) != frame_) return DisplayResult::Failed;
    if (MustRestore()) return DisplayResult::SurfaceLost;
    if (!render_->Present()) return DisplayResult::Failed;
    UploadOneWaiting();
    return DisplayResult::Ok;
  }

  void ClientOrigin(NativeWindow* window, int& x, int& y) override { device_->ClientOrigin(window, x, y); }
  bool GetMonitors(MonitorTable& monitors) override { return device_->GetMonitors(monitors); }

 private:
  // Where the frame lies on one monitor: the monitor's rectangle of the output, and the frame's scale
  // and top-left corner in output pixels.
  struct Placement {
    SurfaceRect monitor;
    float perFramePixel = 1.0f;
    float originX = 0.0f;
    float originY = 0.0f;
  };

  // The output's monitors (the whole output where the device names none), asked of the device again
  // only when the output's size changed, never per frame.
  const MonitorTable& Monitors(int outputWidth, int outputHeight) {
    if (outputWidth == monitorsWidth_ && outputHeight == monitorsHeight_) return monitors_;
    monitorsWidth_ = outputWidth;
    monitorsHeight_ = outputHeight;
    const SurfaceRect output{0, 0, outputWidth, outputHeight};
    MonitorTable found;
    monitors_.count = 0;
    if (device_->GetMonitors(found)) {
      for (int index = 0; index < std::min(found.count, kMaxMonitors); ++index) {
        const SurfaceRect cut = Intersection(found.rects[index], output);
        if (cut.left < cut.right && cut.top < cut.bottom) monitors_.rects[monitors_.count++] = cut;
      }
    }
    if (monitors_.count == 0) monitors_ = {1, {output}};
    return monitors_;
  }

  // Places the frame on every monitor as on an output of its own: one scale across and down that covers
  // the monitor (the frame is as wide as the widest-shaped monitor needs, or at most as the scenes are
  // painted, FrameColumns), the frame's middle on the monitor's. Made again only when the output's size
  // or the frame changed; false when the output's size cannot be read.
  bool Place() {
    int outputWidth = 0;
    int outputHeight = 0;
    if (!render_->OutputSize(outputWidth, outputHeight)) return false;
    if (outputWidth == placedWidth_ && outputHeight == placedHeight_) return true;
    const MonitorTable& monitors = Monitors(outputWidth, outputHeight);
    const auto frameWidth = static_cast<float>(frame_->width);
    const auto frameHeight = static_cast<float>(frame_->height);
    for (int index = 0; index < monitors.count; ++index) {
      const SurfaceRect& monitor = monitors.rects[index];
      const auto width = static_cast<float>(monitor.right - monitor.left);
      const auto height = static_cast<float>(monitor.bottom - monitor.top);
      const float perFramePixel = std::max(height / frameHeight, width / frameWidth);
      placements_[index] = {monitor, perFramePixel,
                            static_cast<float>(monitor.left) + (width - frameWidth * perFramePixel) / 2,
                            static_cast<float>(monitor.top) + (height - frameHeight * perFramePixel) / 2};
    }
    placementCount_ = monitors.count;
    const SurfaceRect& only = monitors.rects[0];
    const bool clipped = monitors.count > 1 || only.left != 0 || only.top != 0 || only.right != outputWidth ||
                         only.bottom != outputHeight;
    // Copies that were cut to a monitor reach the whole output again.
    if (clipped_ && !clipped) render_->SetClip(nullptr);
    clipped_ = clipped;
    placedWidth_ = outputWidth;
    placedHeight_ = outputHeight;
    WantPicturesScaledForAnotherSize();
    return true;
  }

  // Pictures uploaded at the size another output showed them are wanted again, to be made at this one's.
  void WantPicturesScaledForAnotherSize() {
    for (const NativeSurface* picture : pictures_) {
      if (picture->uploaded && picture->texels != UploadTexels(*picture)) picturesWanted_ = true;
    }
  }

  // The texels per frame pixel a picture is uploaded at: where the renderer scales on the processor and
  // every monitor shows the frame at one scale, that scale, so that each copy is one to one; else the
  // picture's own, scaled at each copy (a picture made for one monitor's size would be scaled twice for
  // another's, and blurred).
  float UploadTexels(const NativeSurface& picture) const {
    const float shown = placements_[0].perFramePixel;
    const bool oneScale = std::all_of(placements_.begin(), placements_.begin() + placementCount_,
                                      [shown](const Placement& place) { return place.perFramePixel == shown; });
    return render_->ScalesOnProcessor() && placementCount_ > 0 && oneScale ? shown : static_cast<float>(picture.scale);
  }

  // A new renderer, which starts without a clip, may stand for a display set up anew: the monitors are
  // asked again.
  void ForgetMonitors() {
    monitorsWidth_ = placedWidth_ = 0;
    clipped_ = false;
  }

  // The largest monitor's output pixels per frame pixel.
  float LargestPerFramePixel() const {
    float largest = 0.0f;
    for (int index = 0; index < placementCount_; ++index) largest = std::max(largest, placements_[index].perFramePixel);
    return largest;
  }

  static SurfaceRect Intersection(const SurfaceRect& one, const SurfaceRect& other) {
    return {std::max(one.left, other.left), std::max(one.top, other.top), std::min(one.right, other.right),
            std::min(one.bottom, other.bottom)};
  }

  static bool Meets(const OutputRect& to, const SurfaceRect& monitor) {
    return to.right > static_cast<float>(monitor.left) && to.left < static_cast<float>(monitor.right) &&
           to.bottom > static_cast<float>(monitor.top) && to.top < static_cast<float>(monitor.bottom);
  }

  // The strongest renderer reset not yet restored; the renderer's word is taken and kept until the
  // primary is restored.
  RenderReset Reset() {
    const RenderReset seen = render_->TakeReset();
    if (seen > reset_) reset_ = seen;
    return reset_;
  }

  // Whether drawing must wait for VideoSystem's Restore: a reset, or pictures wanted again.
  bool MustRestore() { return Reset() != RenderReset::None || picturesWanted_; }

  // Puts the picture's pixels into its texture, turned in place into what the texture shows: keys to
  // alpha (or all opaque), through the ramp's tables; at UploadTexels' size. Then lets the pixels go.
  bool Upload(NativeSurface& picture) {
    const float texels = UploadTexels(picture);
    TexelsJob& job = picture.job;
    // What the worker made for another output's size is made again, from the pixels it prepared.
    if (!TakeBack(picture) || job.texels != texels) {
      SetUp(job, texels);
      job.Run();
    }
    if (!MakeTexture(picture, job.width, job.height)) return false;
    const uint32_t* texture = job.scaled ? job.scaled.get() : picture.pixels.get();
    if (!render_->UploadTexture(picture.texture, texture, job.width)) return false;
    picture.texels = texels;
    picture.uploaded = true;
    picture.prepared = false;
    picture.pixels.reset();
    job.scaled.reset();
    return true;
  }

  // Sets the job to make its picture's texture at texels per frame pixel, with the ramp as it is now.
  void SetUp(TexelsJob& job, float texels) const {
    job.texels = texels;
    job.width = TextureSide(job.picture->width, job.picture->scale, texels);
    job.height = TextureSide(job.picture->height, job.picture->scale, texels);
    job.tables = Tables();
  }

  // Hands every picture loaded since the last time, and not yet uploaded, to the worker: called as the
  // next picture is made and as the frame is drawn, when the loader has written the pictures and given
  // them their keys and scales.
  void HandAheadLoaded() {
    if (!loadedSinceAhead_ || !frame_ || !Place()) return;
    loadedSinceAhead_ = false;
    for (NativeSurface* picture : pictures_) {
      TexelsJob& job = picture->job;
      if (!picture->pixels || picture->uploaded || job.handedAhead) continue;
      SetUp(job, UploadTexels(*picture));
      job.handedAhead = worker_.Queue(job);
    }
  }

  // Takes the picture's job back from the worker before anything it reads is changed; true when the
  // worker ran it, so its results stand.
  bool TakeBack(NativeSurface& picture) {
    if (!picture.job.handedAhead) return false;
    picture.job.handedAhead = false;
    return worker_.Claim(picture.job);
  }

  // New pixels, a key or a scale are on their way: what was prepared, scaled or uploaded is stale.
  void Changed(NativeSurface& picture) {
    TakeBack(picture);
    picture.job.scaled.reset();
    picture.uploaded = picture.prepared = false;
    loadedSinceAhead_ = true;
  }

  // A picture loaded but not yet drawn holds all its pixels, the twins' three or five times as many as
  // its texture would: after each present one of them is uploaded, so the pictures of creatures that
  // have not come yet soon take only their textures' memory, a frame at a time. An upload that fails is
  // left for the picture's first draw, which reports it.
  void UploadOneWaiting() {
    const auto waiting = std::find_if(pictures_.begin(), pictures_.end(), [this](const NativeSurface* picture) {
      return picture->pixels && !picture->uploaded && !worker_.Holds(picture->job);
    });
    if (waiting != pictures_.end() && Place()) Upload(**waiting);
  }

  // The picture's side of pixels at texels per frame pixel, painted at scale: whole pixels enough to
  // cover it, since a copy's edges are rounded.
  static int TextureSide(int pixels, int scale, float texels) {
    if (texels == static_cast<float>(scale)) return pixels;
    const double frameSide = static_cast<double>(pixels) / scale;
    return std::max(1, static_cast<int>(std::ceil(frameSide * texels - kColumnTolerance)));
  }

  // Gives the picture a texture of that size and of its kind, keeping the one it has where it fits.
  bool MakeTexture(NativeSurface& picture, int width, int height) {
    if (picture.texture != 0 &&
        (picture.textureWidth != width || picture.textureHeight != height || picture.textureKeyed != picture.keyed)) {
      render_->DestroyTexture(picture.texture);
      picture.texture = 0;
    }
    if (picture.texture == 0) {
      picture.texture = render_->CreateTexture(width, height, picture.keyed);
      picture.textureWidth = width;
      picture.textureHeight = height;
      picture.textureKeyed = picture.keyed;
    }
    return picture.texture != 0;
  }

  // The texture's rectangle for the frame's rect where it is shown at its own size: whole output pixels,
  // as many texels as output pixels, so the copy scales nothing. to is rounded to whole pixels; where
  // rounding asks for a texel past the texture's edge, the rectangle starts one texel earlier instead.
  static SurfaceRect OneToOne(const NativeSurface& picture, const SurfaceRect& rect, OutputRect& to) {
    const int left = static_cast<int>(std::lround(to.left));
    const int top = static_cast<int>(std::lround(to.top));
    const int width = std::min(static_cast<int>(std::lround(to.right)) - left, picture.textureWidth);
    const int height = std::min(static_cast<int>(std::lround(to.bottom)) - top, picture.textureHeight);
    const int fromLeft = std::clamp(static_cast<int>(std::lround(static_cast<float>(rect.left) * picture.texels)), 0,
                                    picture.textureWidth - width);
    const int fromTop = std::clamp(static_cast<int>(std::lround(static_cast<float>(rect.top) * picture.texels)), 0,
                                   picture.textureHeight - height);
    to = {static_cast<float>(left), static_cast<float>(top), static_cast<float>(left + width),
          static_cast<float>(top + height)};
    return {fromLeft, fromTop, fromLeft + width, fromTop + height};
  }

  // The texture's rectangle for the frame's rect, at texels per frame pixel.
  static SurfaceRect Scaled(const SurfaceRect& rect, float texels) {
    const auto texel = [texels](int frame) {
      return static_cast<int>(std::lround(static_cast<float>(frame) * texels));
    };
    return {texel(rect.left), texel(rect.top), texel(rect.right), texel(rect.bottom)};
  }

  // Pixels not yet prepared take the new ramp's tables at their upload; the others must be loaded again.
  void RampChanged() override {
    for (NativeSurface* picture : pictures_) {
      TakeBack(*picture);
      if (picture->uploaded || picture->prepared) picturesWanted_ = true;
    }
  }

  std::unique_ptr<DisplayDevice> device_;
  std::unique_ptr<RenderDevice> render_;
  NativeWindow* window_ = nullptr;
  bool fullScreen_ = false;
  NativeSurface* primary_ = nullptr;
  NativeSurface* frame_ = nullptr;
  std::vector<NativeSurface*> pictures_;
  MonitorTable monitors_;  // the output's monitors, as Monitors last found them
  int monitorsWidth_ = 0;  // the output's size they were found for; 0 while none were
  int monitorsHeight_ = 0;
  std::array<Placement, kMaxMonitors> placements_{};
  int placementCount_ = 0;
  int placedWidth_ = 0;  // the output's size the placements were made for; 0 while none were
  int placedHeight_ = 0;
  bool clipped_ = false;                   // each copy is cut to its monitor: they are not the one whole output
  RenderReset reset_ = RenderReset::None;  // a renderer reset not yet restored
  bool picturesWanted_ = false;            // pictures must be written again (PicturesWanted)
  bool loadedSinceAhead_ = false;          // a picture was written since HandAheadLoaded last ran
  // Last, so that it stops before the pictures its jobs read are gone.
  AheadWorker worker_{AheadWorker::Order::NewestFirst};
};

}  // namespace

std::unique_ptr<DisplayLayer> CreateNativeDisplayLayer(std::unique_ptr<DisplayDevice> device,
                                                       std::unique_ptr<RenderDevice> render) {
  return std::make_unique<NativeDisplayLayer>(std::move(device), std::move(render));
}

}  // namespace sylvora
