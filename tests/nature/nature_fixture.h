#pragma once
// Common ground of the nature tests: a fake clock, a seeded generator, a quiet Report and fresh
// process-wide scene state, so each test drives the one NatureTheme from a known start.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "nature/nature_theme.h"
#include "nature/scene_catalogue.h"
#include "nature/scene_manager.h"
#include "report/report.h"
#include "shell/process_state.h"
#include "tests/doubles/fake_clock.h"

namespace sylvora {

class NatureTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kStart = 100000;

  NatureTest() : clock_(kStart), scopedClock_(clock_) {
    std::srand(12345);
    ownedReport_ = std::make_unique<Report>(static_cast<int>(ReportMode::Quiet), "./");
    report = ownedReport_.get();
    video = nullptr;
    options = Options{};
    layerTable = LayerTable{};
    scenePictures = ScenePictures{};
    scenePause = ScenePauseState{};
    sharedPictureSurfaces.fill(20000);
    currentScene = 0;
    lastSceneChange = 0;
    ForgetObjects();
  }
  ~NatureTest() override {
    report = nullptr;
    video = nullptr;
    ForgetObjects();
  }

  // The one theme outlives every test: drop the report and video objects it and its sprites were given.
  static void ForgetObjects() {
    NatureTheme& theme = natureTheme;
    theme.SetReport(report);
    theme.SetVideo(nullptr);
    for (SceneLayer* layer : {&theme.back0, &theme.back1, &theme.back2, &theme.sky}) layer->sprite.video = nullptr;
    for (CreatureSet* set : theme.sets) {
      for (Sprite& picture : set->variants) picture.video = nullptr;
    }
  }

  // Runs the theme's Update every step ms for duration ms.
  void RunTheme(NatureTheme& theme, uint32_t duration, uint32_t step) {
    for (uint32_t elapsed = 0; elapsed < duration; elapsed += step) {
      clock_.Advance(step);
      theme.Update();
    }
  }

  // Configures the one theme for scene through the catalogue, then Inits it again with generator seeds
  // until its wind blows the wanted way (negative: left).
  void ConfigureWithWind(int scene, bool windToTheLeft) {
    ConfigureScene(scene);
    for (unsigned seed = 1; (natureTheme.wind < 0) != windToTheLeft; ++seed) {
      std::srand(seed);
      natureTheme.Init();
    }
  }

  FakeClock clock_;
  ScopedClock scopedClock_;
  std::unique_ptr<Report> ownedReport_;
};

}  // namespace sylvora
