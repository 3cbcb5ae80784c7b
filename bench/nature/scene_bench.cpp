// One frame of the busiest scene (every set at its maximum: 5 + 5 seeds, 7 flock birds, 2 x 10 gliders,
// 2 x 10 butterflies) and one scene change, drawn by the real VideoSystem at 640 x 480 x 16: into the
// in-memory fake display (whose blits copy pixel by pixel in plain C++, an upper bound) and into the
// program's own SDL2 surfaces (SDL's dummy video driver unless DISPLAY is set).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "nature/nature_theme.h"
#include "nature/scene_catalogue.h"
#include "nature/scene_manager.h"
#include "report/report.h"
#include "shell/process_state.h"
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

// The process-wide objects a scene needs, on fakes.
struct Stage {
  FakeClock clock{1000};
  ScopedClock scopedClock{clock};
  MemoryFileSystem files;
  ScopedFileSystem scopedFiles{files};
  std::unique_ptr<Report> ownedReport = std::make_unique<Report>(static_cast<int>(ReportMode::Quiet), "./");
  std::unique_ptr<VideoSystem> ownedVideo;
  FakeDisplay* display = nullptr;

  SDL_Window* window = nullptr;

  // onSdl: the program's SDL2 display layer on a hidden window; otherwise the fake display.
  explicit Stage(bool onSdl = false) {
    std::srand(1);
    WriteSceneTestArchive("/install");
    report = ownedReport.get();
    CreateArgs args;
    args.resourcePath = "/install/";
    if (onSdl) {
      if (!std::getenv("DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
      SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
      SDL_Init(SDL_INIT_VIDEO);
      window = SDL_CreateWindow("nature bench", 0, 0, 640, 480, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
      args.window = reinterpret_cast<NativeWindow*>(window);
      ownedVideo = std::make_unique<VideoSystem>(report, CreateSdlDisplayLayer(false), CreateTurboJpegDecoder());
    } else {
      auto fake = std::make_unique<FakeDisplay>();
      fake->desktop = {640, 480, 16};
      display = fake.get();
      ownedVideo = std::make_unique<VideoSystem>(report, std::move(fake), std::make_unique<FakeJpegDecoder>());
    }
    if (ownedVideo->Create(args) != 0) std::abort();
    video = ownedVideo.get();
    options = Options{};
    options.background_animation = 3;
    LoadSharedPictures();
  }
  ~Stage() {
    SceneStop();
    ownedVideo.reset();
    video = nullptr;
    report = nullptr;
    if (window) {
      SDL_DestroyWindow(window);
      SDL_Quit();
    }
  }
};

// Fills every slot of every set with a creature on screen that stays there, and holds the spawns back.
void FillEverySet(uint32_t now) {
  NatureTheme& theme = natureTheme;
  auto place = [now](Creature& c, const Sprite& picture, double x, double y) {
    c.active = 1;
    c.x = x;
    c.y = y;
    c.speed = 0.0;  // stays on screen for the whole run
    c.frame = 0;
    c.frameCount = picture.frameCount;
    c.animationSpeed = picture.animationSpeed;
    c.moveClock = c.animationClock = now;
  };
  for (CreatureSet* set : theme.sets) set->spawnTimer.Set(INT_MAX, 1);
  for (int i = 0; i < SeedSet::kSlots; ++i) {
    place(theme.seedA.slots[i], theme.seedA.variants[0], 60 * i, 100);
    place(theme.seedB.slots[i], theme.seedB.variants[0], 60 * i + 30, 200);
  }
  theme.flock.group = CreatureGroup{1, 7, 7, 20, 0, 1, {}};
  for (int i = 0; i < BirdFlock::kSlots; ++i) place(theme.flock.slots[i], theme.flock.variants[0], 80 * i, 30);
  for (GliderGroup* group : {&theme.glidersNear, &theme.glidersFar}) {
    group->group = CreatureGroup{1, 10, 10, 50, 0, 0, {}};
    for (int i = 0; i < GliderGroup::kSlots; ++i) {
      Glider& g = group->slots[i];
      g.variant = 0;
      place(g, group->variants[0], 60 * i, 60 + 5 * i);
      g.tilt = g.targetTilt = 5;
      g.tiltClock = now;
    }
  }
  for (ButterflySet* set : {&theme.butterfliesLarge, &theme.butterfliesSmall}) {
    for (int i = 0; i < ButterflySet::kSlots; ++i) {
      Butterfly& b = set->slots[i];
      b.variant = i % set->variantCount;
      place(b, set->variants[b.variant], 60 * i, 300 + 10 * i);
      b.cruising = 1;
    }
  }
}

// Sets up scene 0 with every creature set at its maximum.
void StartBusiestScene(Stage& stage) {
  options.nature_view = 0;  // scene 0: every set but the seeds
  SceneStart(0);
  // Seeds are only on in scene 4; switch them on here too so every set is at its maximum.
  natureTheme.seedA.variantCount = natureTheme.seedB.variantCount = 1;
  for (SeedSet* set : {&natureTheme.seedA, &natureTheme.seedB}) {
    const CreatureVariant& v = SetVariants(4, set == &natureTheme.seedA ? 0 : 1)[0];
    set->variants[0].Setup(video, sharedPictureSurfaces[v.sharedPicture], v.sheetWidth, v.sheetHeight);
    set->variants[0].SetFrames(v.frameWidth, v.frameHeight, v.frames, v.speed);
  }
  FillEverySet(stage.clock.Milliseconds());
}

void BM_BusiestSceneUpdateOnly(benchmark::State& state) {
  Stage stage;
  StartBusiestScene(stage);
  for (auto _ : state) {
    stage.clock.Advance(16);
    SceneUpdate();
  }
}
BENCHMARK(BM_BusiestSceneUpdateOnly)->Unit(benchmark::kMicrosecond);

void BM_BusiestSceneFrame(benchmark::State& state) {
  Stage stage;
  StartBusiestScene(stage);
  for (auto _ : state) {
    stage.clock.Advance(16);
    SceneUpdate();
    SceneDraw();
  }
  // One more frame, counting what it drew: 3 layers, 1 or 2 sky blits and 57 creatures.
  const int before = stage.display->CallCount("BltFast") + stage.display->CallCount("BltFast keyed");
  SceneDraw();
  state.counters["blits_per_frame"] =
      stage.display->CallCount("BltFast") + stage.display->CallCount("BltFast keyed") - before;
}
BENCHMARK(BM_BusiestSceneFrame)->Unit(benchmark::kMicrosecond);

// The same frame on the program's SDL2 surfaces (RGB565, colour-keyed blits).
void BM_BusiestSceneFrameSdl(benchmark::State& state) {
  Stage stage(true);
  StartBusiestScene(stage);
  for (auto _ : state) {
    stage.clock.Advance(16);
    SceneUpdate();
    SceneDraw();
  }
}
BENCHMARK(BM_BusiestSceneFrameSdl)->Unit(benchmark::kMicrosecond);

void BM_SceneChange(benchmark::State& state) {
  Stage stage;
  SceneStart(0);
  int scene = 0;
  for (auto _ : state) {
    scene = (scene + 1) % kSceneCount;
    SceneSwitch(scene, 1);  // free 4 pictures, load 4 (3 in scene 1), configure
  }
}
BENCHMARK(BM_SceneChange)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sylvora
