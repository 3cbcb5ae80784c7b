// Speed of the video hot paths on the real window, SDL2 and TurboJPEG adapters: a colour-keyed layer
// blit, a whole composed frame, presenting stretched to the display (beside a bare SDL program doing the
// same upload, copy and present on the same renderer), and loading a JPEG into a surface.
//
// Run under an X server of 1920 x 1080 (for example Xvfb :72 -screen 0 1920x1080x24) to measure the
// present to that size; without DISPLAY the dummy driver's 1024 x 768 desktop is used. The renderer is
// the one the program picks on this machine. Every benchmark also reports process_cpu_ms: the CPU of all
// the process's threads per iteration.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/process_cpu.h"
#include "platform/window_sdl.h"
#include "report/report.h"
#include "tests/doubles/memory_files.h"
#include "video/display_sdl.h"
#include "video/jpeg_turbojpeg.h"
#include "video/video_system.h"

namespace sylvora {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kLayers = 4;
constexpr int kSprites = 40;
constexpr int kSpriteWidth = 48;
constexpr int kSpriteHeight = 32;

void Put32(std::string& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

// A 24-bit BMP whose pixels come from colourAt(x, y) (y = 0 is the top row), as blue, green, red.
template <typename ColourAt>
std::string MakeBmp(int width, int height, ColourAt colourAt) {
  const int rowBytes = PictureBuffer::RowBytes(width);
  std::string bytes = "BM";
  Put32(bytes, 54 + rowBytes * height);
  Put32(bytes, 0);
  Put32(bytes, 54);
  Put32(bytes, 40);
  Put32(bytes, width);
  Put32(bytes, height);
  Put32(bytes, 1 | 24 << 16);
  for (int i = 0; i < 6; ++i) Put32(bytes, 0);
  for (int y = height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const uint32_t bgr = colourAt(x, y);
      row += {static_cast<char>(bgr), static_cast<char>(bgr >> 8), static_cast<char>(bgr >> 16)};
    }
    row.resize(rowBytes, '\0');
    bytes += row;
  }
  return bytes;
}

// A scene layer: the upper part black (transparent), hills of varying colour below a wavy edge.
std::string LayerBmp(int layer) {
  return MakeBmp(kWidth, kHeight, [layer](int x, int y) -> uint32_t {
    const int edge = 200 + layer * 40 + ((x * (layer + 3)) % 60);
    if (y < edge) return 0;
    return static_cast<uint32_t>((x * 7 + y * 3 + layer * 50) & 0xFF) << 8 | static_cast<uint32_t>(y & 0x7F) << 16 |
           0x20;
  });
}

// A sprite sheet frame: a bird-like blob on black.
std::string SpriteBmp() {
  return MakeBmp(kSpriteWidth, kSpriteHeight, [](int x, int y) -> uint32_t {
    const int dx = x - kSpriteWidth / 2;
    const int dy = y - kSpriteHeight / 2;
    return dx * dx / 4 + dy * dy < 120 ? 0x403020u + static_cast<uint32_t>(x * 3) : 0;
  });
}

// A 640 x 480 JPEG of a detailed picture, encoded by TurboJPEG at a typical quality.
std::string PhotoJpeg() {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      rgb.push_back(static_cast<uint8_t>((x * 13 + y * 7) ^ (x * y)));
      rgb.push_back(static_cast<uint8_t>(y / 2 + ((x * 31) & 63)));
      rgb.push_back(static_cast<uint8_t>(255 - x / 3));
    }
  }
  tjhandle encoder = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  tjCompress2(encoder, rgb.data(), kWidth, 0, kHeight, TJPF_RGB, &jpeg, &size, TJSAMP_420, 85, 0);
  std::string bytes(reinterpret_cast<char*>(jpeg), size);
  tjFree(jpeg);
  tjDestroy(encoder);
  return bytes;
}

// One video object in full screen 640 x 480 x 16 on SDL, with the pictures the benchmarks draw.
class Stage {
 public:
  Stage() {
    if (!std::getenv("DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    window_.Create("video bench", kWidth, kHeight, true);
    for (int layer = 0; layer < kLayers; ++layer) files_.Put("/bench/graphics/layer" + std::to_string(layer) + ".bmp", LayerBmp(layer));
    files_.Put("/bench/graphics/sprite.bmp", SpriteBmp());
    files_.Put("/bench/graphics/photo.jpg", PhotoJpeg());
    report_ = std::make_unique<Report>(static_cast<int>(ReportMode::Quiet), "/bench/");
    video_ = std::make_unique<VideoSystem>(report_.get(), CreateSdlDisplayLayer(false), CreateTurboJpegDecoder());
    CreateArgs args;
    args.useArchive = 0;
    args.window = window_.Handle();
    args.resourcePath = "/bench/";
    ready_ = video_->Create(args) == 0;
    ready_ = ready_ && video_->CreateSurfaceB("layer0", 1, layers_[0], SurfaceAnySlot) == 0;
    for (int layer = 1; layer < kLayers; ++layer) {
      ready_ = ready_ && video_->CreateSurfaceA("layer" + std::to_string(layer), 1, 0, layers_[layer], SurfaceAnySlot,
                                                30) == 0;
    }
    ready_ = ready_ && video_->CreateSurfaceA("sprite", 0, 0, sprite_, SurfaceAnySlot, 0) == 0;
  }
  ~Stage() { video_.reset(); }

  bool Ready() const { return ready_; }
  VideoSystem& Video() { return *video_; }
  int Layer(int index) const { return layers_[index]; }
  int Sprite() const { return sprite_; }
  int OutputWidth() const {
    int width = 0, height = 0, depth = 0;
    video_->QueryDisplayMode(width, height, depth);
    return width;
  }
  int OutputHeight() const {
    int width = 0, height = 0, depth = 0;
    video_->QueryDisplayMode(width, height, depth);
    return height;
  }
  // The renderer the display layer chose for the window, as SDL names it.
  std::string RendererName() {
    SDL_RendererInfo info;
    SDL_Renderer* renderer = SDL_GetRenderer(reinterpret_cast<SDL_Window*>(window_.Handle()));
    return renderer && SDL_GetRendererInfo(renderer, &info) == 0 ? info.name : "none";
  }
  Uint32 WindowFlags() { return SDL_GetWindowFlags(reinterpret_cast<SDL_Window*>(window_.Handle())); }

 private:
  MemoryFileSystem files_;
  ScopedFileSystem scopedFiles_{files_};
  SdlWindowSystem window_;  // made as the program makes its window
  std::unique_ptr<Report> report_;
  std::unique_ptr<VideoSystem> video_;
  int layers_[kLayers] = {SurfaceNone, SurfaceNone, SurfaceNone, SurfaceNone};
  int sprite_ = SurfaceNone;
  bool ready_ = false;
};

Stage& TheStage() {
  static Stage stage;
  return stage;
}

void BM_KeyedLayerBlit(benchmark::State& state) {
  Stage& stage = TheStage();
  if (!stage.Ready()) return state.SkipWithError("video did not start");
  const ProcessCpu cpu;
  for (auto _ : state) benchmark::DoNotOptimize(stage.Video().Draw({0, 0, kWidth, kHeight}, stage.Layer(1), 0, 0));
  cpu.Report(state);
}
BENCHMARK(BM_KeyedLayerBlit)->Unit(benchmark::kMicrosecond);

void BM_FullFrame(benchmark::State& state) {
  Stage& stage = TheStage();
  if (!stage.Ready()) return state.SkipWithError("video did not start");
  const ProcessCpu cpu;
  for (auto _ : state) {
    for (int layer = 0; layer < kLayers; ++layer) stage.Video().Draw({0, 0, kWidth, kHeight}, stage.Layer(layer), 0, 0);
    for (int sprite = 0; sprite < kSprites; ++sprite) {
      stage.Video().Draw({0, 0, kSpriteWidth, kSpriteHeight}, stage.Sprite(), (sprite * 97) % (kWidth - kSpriteWidth),
                         (sprite * 53) % (kHeight - kSpriteHeight));
    }
  }
  cpu.Report(state);
}
BENCHMARK(BM_FullFrame)->Unit(benchmark::kMicrosecond);

void BM_PresentStretched(benchmark::State& state) {
  Stage& stage = TheStage();
  if (!stage.Ready()) return state.SkipWithError("video did not start");
  const ProcessCpu cpu;
  for (auto _ : state) stage.Video().Present();
  cpu.Report(state);
  state.counters["display_width"] = stage.OutputWidth();
  state.counters["display_height"] = stage.OutputHeight();
  state.SetLabel(stage.RendererName());
}
BENCHMARK(BM_PresentStretched)->Unit(benchmark::kMillisecond);

// The same present written directly against SDL, for the ratio: a window of the same kind, the
// renderer the program chose, a 640 x 480 streaming texture updated from memory, one stretched copy.
void BM_BareSdlPresentStretched(benchmark::State& state) {
  Stage& stage = TheStage();
  if (!stage.Ready()) return state.SkipWithError("video did not start");
  SDL_Window* window = SDL_CreateWindow("bare present", 0, 0, stage.OutputWidth(), stage.OutputHeight(),
                                        SDL_WINDOW_BORDERLESS | (stage.WindowFlags() & SDL_WINDOW_OPENGL));
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, stage.RendererName().c_str());
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
  SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
  SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                                      kWidth, kHeight)
                                  : nullptr;
  if (!texture) return state.SkipWithError("bare SDL could not start");
  std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
  const ProcessCpu cpu;
  for (auto _ : state) {
    SDL_UpdateTexture(texture, nullptr, frame.data(), kWidth * 4);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
  }
  cpu.Report(state);
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
}
BENCHMARK(BM_BareSdlPresentStretched)->Unit(benchmark::kMillisecond);

void BM_PresentBrightened(benchmark::State& state) {
  Stage& stage = TheStage();
  if (!stage.Ready()) return state.SkipWithError("video did not start");
  stage.Video().SetGamma(150);
  const ProcessCpu cpu;
  for (auto _ : state) stage.Video().Present();
  cpu.Report(state);
  stage.Video().SetGamma(0);
}
BENCHMARK(BM_PresentBrightened)->Unit(benchmark::kMillisecond);

void BM_LoadJpegIntoSurface(benchmark::State& state) {
  Stage& stage = TheStage();
  if (!stage.Ready()) return state.SkipWithError("video did not start");
  const ProcessCpu cpu;
  for (auto _ : state) {
    int handle = SurfaceNone;
    if (stage.Video().CreateSurfaceA("photo", 1, 0, handle, SurfaceAnySlot, 30) != 0) {
      return state.SkipWithError("the JPEG did not load");
    }
    stage.Video().DeleteSurface(handle);
  }
  cpu.Report(state);
}
BENCHMARK(BM_LoadJpegIntoSurface)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sylvora
