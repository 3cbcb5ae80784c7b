// The native display path's costs on the real adapters and our real content (the staged installation's
// data.nrx and data file), each beside a bare SDL2 + TurboJPEG function doing the same work in the same
// run:
//   BM_NativeFrame      one frame of the busiest scene (busiest_scene.h) updated, drawn through
//                       VideoSystem, the native display layer and the SDL render device, and presented;
//   BM_BareNativeFrame  the same twins decoded and uploaded by SDL alone as the same kind of texture (of
//                       the size ours were made: scaled by SDL's own stretch where our renderer scales on
//                       the processor), the same SDL_RenderCopy calls (recorded from one of our frames)
//                       and a present, on a window of the same size and a renderer of the same kind;
//   BM_NativeSceneChange  a scene change as the program makes it (free the scene's pictures, load the
//                       next scene's three-times pictures through the archive and TurboJPEG, configure),
//                       then the upload of each new picture into its texture, which the program does at
//                       its first draw;
//   BM_BareSceneDecode  TurboJPEG decoding the same pictures from the data file alone; with argument 1
//                       SDL also uploads them as textures.
// Neither side waits for vsync, so a frame costs what it costs. The output is the display's size: run
// under an X server of the size wanted (Xvfb :151 -screen 0 1920x1080x24, or 3840x2160x24); without
// DISPLAY SDL's dummy driver gives 1024 x 768. The renderer is the one our render device picks on this
// machine: SDL's software renderer where OpenGL would rasterise on the processor, which also sets SDL's
// framebuffer hint for the whole process, so the bare window presents the same way; the bare renderer is
// asked for by name. Every benchmark reports process_cpu_ms, the CPU of all the process's threads per
// iteration; the frames also report the output's size and name the renderer, and the scene change the
// size of the installed data (data.nrx and the data file it indexes).
// The scene changes move with glibc's allocator: a picture's buffers are either fresh pages, which the
// kernel faults in and zeroes, or memory an earlier change freed, as the allocator's dynamic mmap
// threshold has come to stand in this process; MALLOC_MMAP_THRESHOLD_ in the environment pins either case.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "archive/high_resolution.h"
#include "bench/bare_pictures.h"
#include "bench/nature/busiest_scene.h"
#include "bench/nature/scene_pictures.h"
#include "bench/process_cpu.h"
#include "nature/scene_catalogue.h"
#include "nature/scene_manager.h"
#include "platform/install_path.h"
#include "platform/window_sdl.h"
#include "report/report.h"
#include "tests/doubles/fake_clock.h"
#include "video/display_native.h"
#include "video/display_sdl.h"
#include "video/jpeg_turbojpeg.h"
#include "video/render_device_sdl.h"
#include "video/retained_render_device.h"
#include "video/video_system.h"

namespace sylvora {
namespace {

// The scene clock's step per frame: the animation runs as at 60 frames a second.
constexpr uint32_t kFrameMs = 16;

// One call the native layer made of the render device: a copy of the texture's rectangle onto the
// output, or, for texture 0, a clear.
struct DeviceCall {
  int texture = 0;
  SurfaceRect from;
  OutputRect to;
};

// The calls seen while the log is open, and the size of every texture made.
struct CallLog {
  bool open = false;
  std::vector<DeviceCall> calls;
  std::map<int, std::pair<int, int>> sizes;
};

// The program's SDL render device, given every call unchanged; copies and clears are also noted while
// the log is open, so the bench learns which texture each picture became and what one frame draws.
class WatchedRenderDevice final : public RenderDevice {
 public:
  WatchedRenderDevice(std::unique_ptr<RenderDevice> device, CallLog& log) : device_(std::move(device)), log_(log) {}

  std::string TakeFailureReason() override { return device_->TakeFailureReason(); }
  std::string Name() override { return device_->Name(); }
  bool Open(NativeWindow* window) override { return device_->Open(window); }
  void Close() override { device_->Close(); }
  bool OutputSize(int& width, int& height) override { return device_->OutputSize(width, height); }
  int LargestTextureSide() override { return device_->LargestTextureSide(); }
  bool ScalesOnProcessor() override { return device_->ScalesOnProcessor(); }
  int CreateTexture(int width, int height, bool transparent) override {
    const int texture = device_->CreateTexture(width, height, transparent);
    log_.sizes[texture] = {width, height};
    return texture;
  }
  bool UploadTexture(int texture, const uint32_t* pixels, int pitch) override {
    return device_->UploadTexture(texture, pixels, pitch);
  }
  void DestroyTexture(int texture) override { device_->DestroyTexture(texture); }
  bool Copy(int texture, const SurfaceRect& from, const OutputRect& to) override {
    if (log_.open) log_.calls.push_back({texture, from, to});
    return device_->Copy(texture, from, to);
  }
  bool SetClip(const SurfaceRect* clip) override { return device_->SetClip(clip); }
  bool Clear() override {
    if (log_.open) log_.calls.push_back({});
    return device_->Clear();
  }
  bool Present() override { return device_->Present(); }
  RenderReset TakeReset() override { return device_->TakeReset(); }
  bool KeepsOutput() override { return device_->KeepsOutput(); }
  bool TakeOutputLost() override { return device_->TakeOutputLost(); }
  bool FillBlack(const SurfaceRect& area) override { return device_->FillBlack(area); }
  bool PresentAreas(const SurfaceRect* areas, int count) override { return device_->PresentAreas(areas, count); }

 private:
  std::unique_ptr<RenderDevice> device_;
  CallLog& log_;
};

// The program's video on the native path, full screen on a window made as the program makes it, with
// the staged installation's pictures and the shared creature pictures loaded, as the program wires it
// (shell/wiring.cpp) but for vsync.
class NativeStage {
 public:
  NativeStage() {
    if (!std::getenv("DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ready_ = ReadInstallPath(InstallPathFile(), installation_) &&
             window_.Create("native bench", kSceneWidth, kSceneHeight, true);
    auto device = std::make_unique<WatchedRenderDevice>(CreateRetainedRenderDevice(CreateSdlRenderDevice(false)), log_);
    video_ = std::make_unique<VideoSystem>(
        report_.get(), CreateNativeDisplayLayer(CreateSdlDisplayLayer(), std::move(device)), CreateTurboJpegDecoder());
    bench_ = std::make_unique<BenchScenes>(report_.get(), video_.get());
    ready_ = ready_ && video_->Create(Arguments()) == 0 && bench_->scenes.LoadSharedPictures() == 0;
  }
  ~NativeStage() {
    bench_->scenes.Stop();
    bench_.reset();
    video_.reset();
  }

  bool Ready() const { return ready_; }
  VideoSystem& Video() { return *video_; }
  BenchScenes& Bench() { return *bench_; }
  const std::string& Installation() const { return installation_; }
  SDL_Window* Window() { return reinterpret_cast<SDL_Window*>(window_.Handle()); }

  // SDL's name of the renderer our device made.
  std::string RendererName() {
    SDL_RendererInfo info;
    SDL_Renderer* renderer = SDL_GetRenderer(Window());
    return renderer && SDL_GetRendererInfo(renderer, &info) == 0 ? info.name : "none";
  }
  void OutputSize(int& width, int& height) { SDL_GetRendererOutputSize(SDL_GetRenderer(Window()), &width, &height); }

  // One frame as the program's frame loop makes it: the scene updated, drawn and presented.
  void Frame() {
    clock_.Advance(kFrameMs);
    bench_->scenes.Update();
    bench_->scenes.Draw();
    video_->Present();
  }

  // The device calls of one frame.
  std::vector<DeviceCall> RecordFrame() {
    return Watch([this] { Frame(); });
  }

  // The texture of the picture in slot number, made and uploaded by drawing one pixel of it.
  int TextureOf(int number) {
    const std::vector<DeviceCall> calls = Watch([this, number] { video_->Draw({0, 0, 1, 1}, number, 0, 0); });
    return calls.empty() ? 0 : calls.back().texture;
  }

  uint32_t Now() { return clock_.Milliseconds(); }

  // The size our texture was made at; 0 x 0 for one the stage never saw made.
  std::pair<int, int> TextureSize(int texture) const {
    const auto found = log_.sizes.find(texture);
    return found == log_.sizes.end() ? std::pair<int, int>{0, 0} : found->second;
  }

 private:
  // The device calls work makes.
  template <typename Work>
  std::vector<DeviceCall> Watch(Work work) {
    log_.calls.clear();
    log_.open = true;
    work();
    log_.open = false;
    return std::move(log_.calls);
  }

  CreateArgs Arguments() {
    CreateArgs args;
    args.fullScreen = 1;
    args.depth = 32;
    args.useArchive = 1;
    args.window = window_.Handle();
    args.resourcePath = installation_ + "/";
    args.highResolution = 1;
    return args;
  }

  FakeClock clock_{1000};
  ScopedClock scopedClock_{clock_};
  std::unique_ptr<Report> report_ = std::make_unique<Report>(static_cast<int>(ReportMode::Quiet), "./");
  SdlWindowSystem window_;  // outlives the video: it shuts SDL down
  CallLog log_;
  std::unique_ptr<VideoSystem> video_;
  std::unique_ptr<BenchScenes> bench_;
  std::string installation_;
  bool ready_ = false;
};

NativeStage& TheStage() {
  static NativeStage stage;
  return stage;
}

// The busiest scene, started afresh (the scene change benchmarks leave another one), with every picture
// of it uploaded by one frame.
void StartBusiestFrame(NativeStage& stage) {
  StartBusiestScene(stage.Bench(), stage.Now());
  stage.Frame();
}

// What a frame benchmark reports beside its times: the copies of one frame, the output's size and, as
// its label, the renderer.
void ReportFrame(benchmark::State& state, NativeStage& stage, size_t copies) {
  int width = 0, height = 0;
  stage.OutputSize(width, height);
  state.counters["copies_per_frame"] = static_cast<double>(copies);
  state.counters["output_width"] = width;
  state.counters["output_height"] = height;
  state.SetLabel(stage.RendererName());
}

void BM_NativeFrame(benchmark::State& state) {
  NativeStage& stage = TheStage();
  if (!stage.Ready()) return state.SkipWithError("the native video did not start on the staged installation");
  StartBusiestFrame(stage);
  const ProcessCpu cpu;
  for (auto _ : state) stage.Frame();
  cpu.Report(state);
  ReportFrame(state, stage, stage.RecordFrame().size());
}
BENCHMARK(BM_NativeFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// A window of the stage's size and kind, with a renderer of the same name as ours, for the bare side;
// it covers ours while it lives.
class BareWindow {
 public:
  explicit BareWindow(NativeStage& stage) {
    int width = 0, height = 0;
    stage.OutputSize(width, height);
    const Uint32 openGl = SDL_GetWindowFlags(stage.Window()) & SDL_WINDOW_OPENGL;
    window_ = SDL_CreateWindow("bare native", 0, 0, width, height,
                               SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | openGl);
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, stage.RendererName().c_str());
    renderer_ = window_ ? SDL_CreateRenderer(window_, -1, 0) : nullptr;
    SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
    SDL_RendererInfo info;
    int bareWidth = 0, bareHeight = 0;
    ready_ = renderer_ && SDL_GetRendererInfo(renderer_, &info) == 0 && stage.RendererName() == info.name &&
             SDL_GetRendererOutputSize(renderer_, &bareWidth, &bareHeight) == 0 && bareWidth == width &&
             bareHeight == height;
  }
  ~BareWindow() {
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
  }
  BareWindow(const BareWindow&) = delete;
  BareWindow& operator=(const BareWindow&) = delete;

  bool Ready() const { return ready_; }
  SDL_Renderer* Renderer() { return renderer_; }

 private:
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  bool ready_ = false;
};

// Where a picture's bytes are in the installation: the finest twin the index has, up to the scale the
// program loads its own from, as the program picks them.
bool FindPictureBytes(const VideoSystem& video, const std::string& name, const ArchiveEntry*& entry) {
  int found = 0;
  bool twin = false;
  for (const int scale : {kFinestPictureScale, kHighResolutionScale}) {
    twin = twin || (scale <= video.TwinScale() && video.FindGraphicEntry(HighResolutionName(name, scale), found) == 0);
  }
  if (!twin && video.FindGraphicEntry(name, found) != 0) return false;
  entry = &video.GraphicEntries().Entry(found);
  return true;
}

// How the bare side makes its textures: of the size ours were made (our pictures scaled on upload where
// the renderer scales on the processor), opaque ones in the output's format where ours are.
struct BareTextureKind {
  int width = 0;
  int height = 0;
  Uint32 opaqueFormat = SDL_PIXELFORMAT_ARGB8888;
};

// The slot's picture as the bare side has it: read from the data file, decoded by TurboJPEG (SDL for a
// BMP), keyed at the slot's threshold, scaled by SDL to the size of ours, uploaded by SDL. Null on
// failure.
SDL_Texture* BareTextureOf(const VideoSystem& video, const SurfaceSlot& slot, tjhandle decoder, SDL_Renderer* renderer,
                           const std::string& installation, const BareTextureKind& kind) {
  const ArchiveEntry* entry = nullptr;
  if (!FindPictureBytes(video, slot.name, entry)) return nullptr;
  std::FILE* data = std::fopen((installation + "/" + entry->fileName).c_str(), "rb");
  if (!data) return nullptr;
  bare::Pixels pixels;
  const bool decoded = bare::Decode(decoder, bare::ReadBytes(data, entry->offset, entry->length), pixels);
  std::fclose(data);
  if (!decoded) return nullptr;
  if (slot.hasColourKey) bare::KeyNearBlack(pixels, std::max(1, int{slot.blackThreshold}));
  if (!bare::ScaleTo(pixels, kind.width, kind.height)) return nullptr;
  return bare::Upload(renderer, pixels, slot.hasColourKey != 0, kind.opaqueFormat);
}

// The bare side of the frame: its own textures of the pictures our frame draws, keyed by our texture
// handles, and our frame's copies to repeat with them.
class BareFrame {
 public:
  BareFrame(NativeStage& stage, SDL_Renderer* renderer) : renderer_(renderer) {
    SDL_RendererInfo info;
    wholePixels_ = SDL_GetRendererInfo(renderer, &info) != 0 || (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    StartBusiestFrame(stage);
    calls_ = stage.RecordFrame();
    std::map<int, int> slots;  // our texture handle -> the slot of its picture
    const SurfaceTable& table = stage.Video().Surfaces();
    for (int number = 0; number < table.slotCount; ++number) {
      if (table.slots[number].inUse) slots[stage.TextureOf(number)] = number;
    }
    tjhandle decoder = tjInitDecompress();
    BareTextureKind kind;
    if (wholePixels_ && SDL_GetWindowPixelFormat(SDL_RenderGetWindow(renderer)) == SDL_PIXELFORMAT_RGB888) {
      kind.opaqueFormat = SDL_PIXELFORMAT_RGB888;
    }
    for (const DeviceCall& call : calls_) {
      if (call.texture == 0 || textures_.count(call.texture)) continue;
      const auto slot = slots.find(call.texture);
      std::tie(kind.width, kind.height) = stage.TextureSize(call.texture);
      textures_[call.texture] = slot == slots.end() ? nullptr
                                                    : BareTextureOf(stage.Video(), table.slots[slot->second], decoder,
                                                                    renderer, stage.Installation(), kind);
    }
    tjDestroy(decoder);
  }
  ~BareFrame() {
    for (const auto& [handle, texture] : textures_) SDL_DestroyTexture(texture);
  }
  BareFrame(const BareFrame&) = delete;
  BareFrame& operator=(const BareFrame&) = delete;

  bool Ready() const {
    return !calls_.empty() && std::none_of(textures_.begin(), textures_.end(), [](const auto& t) { return !t.second; });
  }
  size_t Copies() const { return calls_.size(); }

  // Our frame's clears and copies with the bare textures, and a present.
  void Draw() {
    for (const DeviceCall& call : calls_) {
      if (call.texture == 0) {
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        continue;
      }
      const SDL_Rect from{call.from.left, call.from.top, call.from.right - call.from.left,
                          call.from.bottom - call.from.top};
      // As our device copies: whole output pixels, each edge rounded, on SDL's software renderer, and
      // edges between pixels on the others.
      if (wholePixels_) {
        const int left = static_cast<int>(std::lround(call.to.left));
        const int top = static_cast<int>(std::lround(call.to.top));
        const SDL_Rect to{left, top, static_cast<int>(std::lround(call.to.right)) - left,
                          static_cast<int>(std::lround(call.to.bottom)) - top};
        SDL_RenderCopy(renderer_, textures_[call.texture], &from, &to);
      } else {
        const SDL_FRect to{call.to.left, call.to.top, call.to.right - call.to.left, call.to.bottom - call.to.top};
        SDL_RenderCopyF(renderer_, textures_[call.texture], &from, &to);
      }
    }
    SDL_RenderPresent(renderer_);
  }

 private:
  SDL_Renderer* renderer_;
  bool wholePixels_ = false;
  std::vector<DeviceCall> calls_;
  std::map<int, SDL_Texture*> textures_;
};

void BM_BareNativeFrame(benchmark::State& state) {
  NativeStage& stage = TheStage();
  if (!stage.Ready()) return state.SkipWithError("the native video did not start on the staged installation");
  BareWindow window(stage);
  if (!window.Ready()) return state.SkipWithError("bare SDL did not make a renderer like ours at our size");
  BareFrame frame(stage, window.Renderer());
  if (!frame.Ready()) return state.SkipWithError("the bare side did not load our frame's pictures");
  const ProcessCpu cpu;
  for (auto _ : state) frame.Draw();
  cpu.Report(state);
  ReportFrame(state, stage, frame.Copies());
}
BENCHMARK(BM_BareNativeFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// Uploads each picture of the current scene into its texture, as its first draw does.
void UploadScenePictures(NativeStage& stage) {
  const ScenePictures& pictures = stage.Bench().scenes.scenePictures;
  for (int layer = 0; layer < pictures.layerCount; ++layer) stage.TextureOf(pictures.layers[layer]);
  if (pictures.skyCount > 0) stage.TextureOf(pictures.sky);
}

// The installation's data.nrx and data file together, in bytes.
uintmax_t InstalledDataBytes(NativeStage& stage) {
  std::error_code error;
  const std::string& data = stage.Video().GraphicEntries().Entry(0).fileName;
  return std::filesystem::file_size(stage.Installation() + "/data.nrx", error) +
         std::filesystem::file_size(stage.Installation() + "/" + data, error);
}

void BM_NativeSceneChange(benchmark::State& state) {
  NativeStage& stage = TheStage();
  if (!stage.Ready()) return state.SkipWithError("the native video did not start on the staged installation");
  stage.Bench().scenes.Start(0);
  int scene = 0;
  const ProcessCpu cpu;
  for (auto _ : state) {
    scene = (scene + 1) % kSceneCount;
    stage.Bench().scenes.Switch(scene, 1);  // free 4 pictures, load 4 (3 in scene 1), configure
    UploadScenePictures(stage);
  }
  cpu.Report(state);
  state.counters["installed_data_MB"] = static_cast<double>(InstalledDataBytes(stage)) / 1e6;
}
BENCHMARK(BM_NativeSceneChange)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bare side's pictures of one scene: decoded pixels, and their textures when uploaded.
struct BareScene {
  std::vector<bare::Pixels> pixels;
  std::vector<SDL_Texture*> textures;

  void Free() {
    for (SDL_Texture* texture : textures) SDL_DestroyTexture(texture);
    textures.clear();
    pixels.clear();
  }
};

// Reads and decodes the scene's pictures into scene; with renderer, keys the overlays at their
// thresholds and uploads each one. False when one failed.
bool LoadBareScene(std::FILE* data, tjhandle decoder, const std::vector<ScenePicture>& pictures, SDL_Renderer* renderer,
                   BareScene& scene) {
  bool loaded = true;
  for (const ScenePicture& picture : pictures) {
    scene.pixels.emplace_back();
    bare::Pixels& pixels = scene.pixels.back();
    loaded = bare::Decode(decoder, bare::ReadBytes(data, picture.offset, picture.length), pixels) && loaded;
    if (!renderer) continue;
    if (picture.Keyed()) bare::KeyNearBlack(pixels, picture.threshold);
    scene.textures.push_back(bare::Upload(renderer, pixels, picture.Keyed()));
    loaded = scene.textures.back() != nullptr && loaded;
  }
  return loaded;
}

void BM_BareSceneDecode(benchmark::State& state) {
  NativeStage& stage = TheStage();
  if (!stage.Ready()) return state.SkipWithError("the native video did not start on the staged installation");
  // The pictures our scene change loads: the three-times twins.
  const std::vector<std::vector<ScenePicture>> scenes = SceneChangePictures(stage.Video().GraphicEntries(), true);
  std::FILE* data =
      scenes.empty() ? nullptr : std::fopen((stage.Installation() + "/" + scenes[0][0].fileName).c_str(), "rb");
  if (!data) return state.SkipWithError("the installation's data file did not open");
  std::unique_ptr<BareWindow> window = state.range(0) ? std::make_unique<BareWindow>(stage) : nullptr;
  SDL_Renderer* renderer = window && window->Ready() ? window->Renderer() : nullptr;
  tjhandle decoder = tjInitDecompress();
  BareScene loaded;
  bool failed = false;
  int scene = 0;
  const ProcessCpu cpu;
  for (auto _ : state) {
    scene = (scene + 1) % kSceneCount;
    loaded.Free();
    failed = !LoadBareScene(data, decoder, scenes[scene], renderer, loaded) || failed;
  }
  cpu.Report(state);
  loaded.Free();
  tjDestroy(decoder);
  std::fclose(data);
  if (failed || (window && !renderer)) state.SkipWithError("a picture did not load");
}
BENCHMARK(BM_BareSceneDecode)->Arg(0)->Arg(1)->ArgName("upload")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace sylvora
