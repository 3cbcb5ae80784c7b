// One frame of the busiest scene (busiest_scene.h: every set at its maximum, the sky in two pieces), drawn
// by the real VideoSystem at 640 x 480 x 16: into the in-memory fake display (labelled so: its blits copy
// pixel by pixel in plain C++, an upper bound) and into the program's own
// SDL2 surfaces (SDL's dummy video driver unless DISPLAY is set). And one scene change on the build's
// real content through the real adapters: the disk, TurboJPEG and SDL, beside a bare program doing the
// same with those libraries alone. Every benchmark also reports process_cpu_ms, the CPU of all the
// process's threads per iteration.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "archive/resource_index.h"
#include "bench/bare_pictures.h"
#include "bench/nature/busiest_scene.h"
#include "bench/nature/scene_pictures.h"
#include "bench/process_cpu.h"
#include "nature/nature_theme.h"
#include "nature/scene_catalogue.h"
#include "nature/scene_manager.h"
#include "report/report.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/memory_files.h"
#include "tests/doubles/video/fake_display.h"
#include "tests/doubles/video/fake_jpeg.h"
#include "tests/nature/scene_content.h"
#include "video/display_sdl.h"
#include "video/jpeg_turbojpeg.h"
#include "video/video_system.h"

namespace sylvora {
namespace {

// Where a stage's pictures come from and what draws them.
enum class Backing {
  FakeDisplay,  // the scene test archive in memory, the fake display and JPEG decoder
  SdlSurfaces,  // the scene test archive in memory, the program's SDL2 display layer
  RealContent,  // the build's data.nrx on disk, the program's SDL2 display layer and TurboJPEG
};

// The objects a scene needs: the clock, the files, the Report, the video object and the scene manager.
struct Stage {
  FakeClock clock{1000};
  ScopedClock scopedClock{clock};
  MemoryFileSystem files;
  std::optional<ScopedFileSystem> scopedFiles;
  std::unique_ptr<Report> ownedReport = std::make_unique<Report>(static_cast<int>(ReportMode::Quiet), "./");
  std::unique_ptr<VideoSystem> ownedVideo;
  std::unique_ptr<BenchScenes> bench;
  FakeDisplay* display = nullptr;

  SDL_Window* window = nullptr;

  explicit Stage(Backing backing = Backing::FakeDisplay) {
    std::srand(1);
    CreateArgs args;
    if (backing == Backing::RealContent) {
      args.resourcePath = std::string(SYLVORA_CONTENT_DIR) + "/";
    } else {
      scopedFiles.emplace(files);
      WriteSceneTestArchive("/install");
      args.resourcePath = "/install/";
    }
    if (backing != Backing::FakeDisplay) {
      if (!std::getenv("DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
      SDL_Init(SDL_INIT_VIDEO);
      window = SDL_CreateWindow("nature bench", 0, 0, 640, 480, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
      args.window = reinterpret_cast<NativeWindow*>(window);
      ownedVideo =
          std::make_unique<VideoSystem>(ownedReport.get(), CreateSdlDisplayLayer(false), CreateTurboJpegDecoder());
    } else {
      auto fake = std::make_unique<FakeDisplay>();
      fake->desktop = {640, 480, 16};
      display = fake.get();
      ownedVideo =
          std::make_unique<VideoSystem>(ownedReport.get(), std::move(fake), std::make_unique<FakeJpegDecoder>());
    }
    if (ownedVideo->Create(args) != 0) std::abort();
    bench = std::make_unique<BenchScenes>(ownedReport.get(), ownedVideo.get());
    bench->scenes.LoadSharedPictures();
  }
  ~Stage() {
    bench->scenes.Stop();
    bench.reset();
    ownedVideo.reset();
    if (window) {
      SDL_DestroyWindow(window);
      SDL_Quit();
    }
  }
};

void BM_BusiestSceneUpdateOnly(benchmark::State& state) {
  Stage stage;
  StartBusiestScene(*stage.bench, stage.clock.Milliseconds());
  const ProcessCpu cpu;
  for (auto _ : state) {
    stage.clock.Advance(16);
    stage.bench->scenes.Update();
  }
  cpu.Report(state);
}
BENCHMARK(BM_BusiestSceneUpdateOnly)->Unit(benchmark::kMicrosecond);

void BM_BusiestSceneFrameOnTheFakeDisplay(benchmark::State& state) {
  Stage stage;
  StartBusiestScene(*stage.bench, stage.clock.Milliseconds());
  const ProcessCpu cpu;
  for (auto _ : state) {
    stage.clock.Advance(16);
    stage.bench->scenes.Update();
    stage.bench->scenes.Draw();
  }
  cpu.Report(state);
  // One more frame, counting what it drew: 3 layers, 2 sky blits and 57 creatures.
  const int before = stage.display->CallCount("BltFast") + stage.display->CallCount("BltFast keyed");
  stage.bench->scenes.Draw();
  state.counters["blits_per_frame"] =
      stage.display->CallCount("BltFast") + stage.display->CallCount("BltFast keyed") - before;
}
BENCHMARK(BM_BusiestSceneFrameOnTheFakeDisplay)->Unit(benchmark::kMicrosecond);

// The same frame on the program's SDL2 surfaces (RGB565, colour-keyed blits).
void BM_BusiestSceneFrameSdl(benchmark::State& state) {
  Stage stage(Backing::SdlSurfaces);
  StartBusiestScene(*stage.bench, stage.clock.Milliseconds());
  const ProcessCpu cpu;
  for (auto _ : state) {
    stage.clock.Advance(16);
    stage.bench->scenes.Update();
    stage.bench->scenes.Draw();
  }
  cpu.Report(state);
}
BENCHMARK(BM_BusiestSceneFrameSdl)->Unit(benchmark::kMicrosecond);

// A scene change as the program makes it: our pictures read from data.dat on disk, decoded by TurboJPEG
// and converted into the SDL2 display layer's surfaces.
void BM_SceneChange(benchmark::State& state) {
  Stage stage(Backing::RealContent);
  stage.bench->scenes.Start(0);
  int scene = 0;
  const ProcessCpu cpu;
  for (auto _ : state) {
    scene = (scene + 1) % kSceneCount;
    stage.bench->scenes.Switch(scene, 1);  // free 4 pictures, load 4 (3 in scene 1), configure
  }
  cpu.Report(state);
}
BENCHMARK(BM_SceneChange)->Unit(benchmark::kMillisecond);

// What the scene change loads for each scene, found in the build's index before anything is timed.
std::vector<std::vector<ScenePicture>> BareScenes() {
  Report quiet(static_cast<int>(ReportMode::Quiet), "./");
  auto index = std::make_unique<ArchiveTable>();
  if (index->Load(quiet, std::string(SYLVORA_CONTENT_DIR) + "/", kGraphicArchive) != 0) return {};
  return SceneChangePictures(*index, false);
}

// A picture as a plain program loads it: stdio, TurboJPEG into blue-green-red rows, SDL converting that
// into the display layer's RGB565 surface, keyed on black with run-length encoding asked. (Ours also
// turns near-black pixels into the key first; that pass has no counterpart here.) Null on failure.
SDL_Surface* LoadBarePicture(std::FILE* data, tjhandle decoder, const ScenePicture& picture) {
  const std::vector<unsigned char> bytes = bare::ReadBytes(data, picture.offset, picture.length);
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  if (bytes.empty() ||
      tjDecompressHeader3(decoder, bytes.data(), bytes.size(), &width, &height, &subsampling, &colourspace) != 0) {
    return nullptr;
  }
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
  if (tjDecompress2(decoder, bytes.data(), bytes.size(), pixels.data(), width, width * 3, height, TJPF_BGR, 0) != 0) {
    return nullptr;
  }
  SDL_Surface* decoded =
      SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 24, width * 3, SDL_PIXELFORMAT_BGR24);
  SDL_Surface* surface = decoded ? SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_RGB565, 0) : nullptr;
  SDL_FreeSurface(decoded);
  if (surface && picture.Keyed()) {
    SDL_SetSurfaceRLE(surface, 1);
    SDL_SetColorKey(surface, SDL_TRUE, 0);
  }
  return surface;
}

// The same scene change written against the libraries alone, for the ratio: free the scene's surfaces,
// then load the next scene's pictures from data.dat.
void BM_BareSceneChange(benchmark::State& state) {
  const std::vector<std::vector<ScenePicture>> scenes = BareScenes();
  std::FILE* data = std::fopen((std::string(SYLVORA_CONTENT_DIR) + "/data.dat").c_str(), "rb");
  tjhandle decoder = tjInitDecompress();
  if (scenes.empty() || !data || !decoder) return state.SkipWithError("the build's content did not open");
  std::vector<SDL_Surface*> loaded;
  int scene = 0;
  const ProcessCpu cpu;
  for (auto _ : state) {
    scene = (scene + 1) % kSceneCount;
    for (SDL_Surface* surface : loaded) SDL_FreeSurface(surface);
    loaded.clear();
    for (const ScenePicture& picture : scenes[scene]) loaded.push_back(LoadBarePicture(data, decoder, picture));
  }
  cpu.Report(state);
  if (std::count(loaded.begin(), loaded.end(), nullptr) != 0) state.SkipWithError("a picture did not load");
  for (SDL_Surface* surface : loaded) SDL_FreeSurface(surface);
  tjDestroy(decoder);
  std::fclose(data);
}
BENCHMARK(BM_BareSceneChange)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sylvora
