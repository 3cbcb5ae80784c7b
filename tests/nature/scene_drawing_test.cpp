// What a viewer sees: the layers in their order and places, the sky stitched across its seam, the
// creatures cut at the screen's edges, and missing pictures left out silently.
#include <chrono>
#include <climits>

#include "tests/nature/scene_content.h"
#include "tests/nature/scene_video.h"

namespace sylvora {
namespace {

class SceneDrawingTest : public SceneVideoTest {
 protected:
  // Starts scene with no creatures, so only layers and sky are drawn.
  void StartQuietScene(int scene) {
    options_.background_animation = 0;
    ASSERT_EQ(scenes_->LoadSharedPictures(), 0);
    scenes_->Start(scene);
  }
  // The surface table's slots holding a picture.
  int SlotsInUse() const {
    int inUse = 0;
    for (int i = 0; i < ownedVideo_->Surfaces().slotCount; ++i) inUse += ownedVideo_->Surfaces().slots[i].inUse;
    return inUse;
  }
  // Switches every layer but the sky off.
  void OnlySky() { scenes_->theme.back0.enabled = scenes_->theme.back1.enabled = scenes_->theme.back2.enabled = 0; }
  // Every column of the sky band shows panorama column (position + column) mod 1280.
  void ExpectSkyWindowAt(int position) {
    scenes_->theme.skyPosition = position + 0.75;  // truncated
    DrawFrame();
    const int band = scenes_->theme.skyBand;
    for (int x = 0; x < 640; ++x) {
      for (int y : {0, band / 2, band - 1}) {
        ASSERT_EQ(SkyColumn(PixelAt(x, y)), (position + x) % 1280) << "position " << position << " x " << x;
      }
    }
    EXPECT_EQ(PixelAt(5, band), 0u) << "nothing below the band";
  }
};

TEST_F(SceneDrawingTest, TheSkyIsStitchedWithoutAGapAtEveryPosition) {
  StartQuietScene(3);
  OnlySky();
  for (int position : {0, 1, 300, 639, 640, 641, 900, 1279}) ExpectSkyWindowAt(position);
}

TEST_F(SceneDrawingTest, ASeamPositionTakesOneBlitAndAnyOtherTwo) {
  StartQuietScene(2);
  OnlySky();
  const struct { int position; int blits; } cases[] = {{0, 1}, {300, 2}, {639, 2}, {640, 1}, {900, 2}, {1279, 2}};
  for (const auto& c : cases) {
    scenes_->theme.skyPosition = c.position;
    DrawFrame();
    EXPECT_EQ(NewBlits(), c.blits) << "position " << c.position;
  }
}

TEST_F(SceneDrawingTest, WithSpeedZeroTheUpperHalfFillsTheBand) {
  options_.speed_of_sky = 0;
  StartQuietScene(0);
  OnlySky();
  RunTheme(scenes_->theme, 10000, 20);
  DrawFrame();
  for (int x = 0; x < 640; x += 7) EXPECT_EQ(SkyColumn(PixelAt(x, 0)), x);
}

TEST_F(SceneDrawingTest, SceneZeroLayersAreDrawnBackToFrontInTheirPlaces) {
  StartQuietScene(0);
  DrawFrame();
  // back_1 covers the band except its hole; back_2 (300 x 480 at 0, 0) has its hole left of 150.
  EXPECT_EQ(SkyColumn(PixelAt(10, 10)), 10);
  EXPECT_EQ(SkyColumn(PixelAt(149, 248)), 149);
  EXPECT_EQ(PixelAt(10, 249), kGroundColour);
  EXPECT_EQ(PixelAt(150, 10), kForegroundColour);   // back_2 over back_1's hole
  EXPECT_EQ(PixelAt(200, 10), kForegroundColour);   // back_2 over back_1
  EXPECT_EQ(PixelAt(299, 479), kForegroundColour);  // back_2 over the ground
  EXPECT_EQ(PixelAt(300, 10), kOverlayColour);
  EXPECT_EQ(PixelAt(639, 248), kOverlayColour);
  EXPECT_EQ(PixelAt(639, 249), kGroundColour);
  EXPECT_EQ(PixelAt(300, 479), kGroundColour);
}

TEST_F(SceneDrawingTest, SceneThreeForegroundIsPlacedFromTheGround) {
  StartQuietScene(3);
  DrawFrame();
  EXPECT_EQ(SkyColumn(PixelAt(400, 207)), 400);
  EXPECT_EQ(PixelAt(400, 208), kOverlayColour);
  EXPECT_EQ(PixelAt(400, 279), kOverlayColour);
  EXPECT_EQ(PixelAt(400, 280), kGroundColour);
  // back_2: 320 x 148 at (152, 332), its left half transparent.
  EXPECT_EQ(PixelAt(311, 400), kGroundColour);
  EXPECT_EQ(PixelAt(312, 400), kForegroundColour);
  EXPECT_EQ(PixelAt(471, 479), kForegroundColour);
  EXPECT_EQ(PixelAt(472, 400), kGroundColour);
  EXPECT_EQ(PixelAt(312, 331), kGroundColour);
  EXPECT_EQ(PixelAt(312, 332), kForegroundColour);
}

TEST_F(SceneDrawingTest, ComputedForegroundPositionsOfScenesTwoAndFour) {
  StartQuietScene(2);
  DrawFrame();
  EXPECT_EQ(PixelAt(400, 259), kGroundColour);
  EXPECT_EQ(PixelAt(400, 260), kForegroundColour);
  EXPECT_EQ(PixelAt(319, 300), kGroundColour);
  StartQuietScene(4);
  DrawFrame();
  EXPECT_EQ(PixelAt(400, 27), kOverlayColour);
  EXPECT_EQ(PixelAt(400, 28), kForegroundColour);
  EXPECT_EQ(PixelAt(623, 28), kForegroundColour);
  EXPECT_EQ(PixelAt(624, 28), kOverlayColour);
  EXPECT_EQ(PixelAt(400, 479), kForegroundColour);
}

TEST_F(SceneDrawingTest, SceneOneNeverDrawsABack2) {
  StartQuietScene(1);
  EXPECT_EQ(scenes_->scenePictures.layerCount, 2);
  EXPECT_EQ(scenes_->theme.back2.enabled, 0);
  scenes_->theme.skyPosition = 0;
  DrawFrame();
  EXPECT_EQ(NewBlits(), 3);  // ground, one sky blit, overlay
  EXPECT_EQ(PixelAt(200, 300), kGroundColour);
  for (int i = 0; i < ownedReport_->MessageCount(); ++i) {
    EXPECT_EQ(ownedReport_->Message(i).text.find("back1_2"), std::string::npos);
  }
}

TEST_F(SceneDrawingTest, SceneChangesFreeTheOldPicturesAndReuseTheirSlots) {
  StartQuietScene(0);
  const int slotsInUse = ownedVideo_->Surfaces().slotCount;
  EXPECT_EQ(slotsInUse, 21 + 4);
  scenes_->Switch(1, 1);
  scenes_->Switch(3, 1);
  scenes_->Switch(0, 1);
  EXPECT_EQ(ownedVideo_->Surfaces().slotCount, slotsInUse);
  EXPECT_EQ(SlotsInUse(), 25);
  scenes_->Stop();
  EXPECT_EQ(SlotsInUse(), 21);  // the shared creature pictures stay
}

TEST_F(SceneDrawingTest, AChangeLoadsAPictureAFrameWhileTheSceneIsShownAndSwapsOnTheFirstFrameAfterTheInterval) {
  options_.nature_change_freq = 60000;
  StartQuietScene(0);
  const uint32_t start = scenes_->lastSceneChange = clock_.Milliseconds();
  const ScenePictures shown = scenes_->scenePictures;
  clock_.Set(start + 58000);
  scenes_->Update();
  EXPECT_EQ(scenes_->nextScene.scene, -1) << "chosen before the lead";
  clock_.Set(start + 58001);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  int inUse = SlotsInUse();
  do {
    scenes_->Update();
    ASSERT_LE(SlotsInUse() - inUse, 1) << "more than one picture loaded in a frame";
    inUse = SlotsInUse();
    ASSERT_EQ(scenes_->currentScene, 0);
    ASSERT_EQ(scenes_->theme.back0.sprite.surface, shown.layers[0]);
  } while (scenes_->nextScene.loaded < scenes_->nextScene.count && std::chrono::steady_clock::now() < deadline);
  const SceneLoad next = scenes_->nextScene;
  ASSERT_EQ(next.loaded, next.count) << "pictures loaded ahead after 20 s";
  ASSERT_NE(next.scene, 0);
  EXPECT_EQ(SlotsInUse(), 25 + next.count);
  clock_.Set(start + 60000);
  scenes_->Update();
  EXPECT_EQ(scenes_->currentScene, 0);
  clock_.Set(start + 60001);
  scenes_->Update();
  EXPECT_EQ(scenes_->currentScene, next.scene);
  EXPECT_EQ(scenes_->lastSceneChange, start + 60001);
  EXPECT_EQ(scenes_->scenePictures.layers, next.pictures.layers);
  EXPECT_EQ(scenes_->scenePictures.sky, next.pictures.sky);
  EXPECT_EQ(scenes_->theme.back0.sprite.surface, next.pictures.layers[0]);
  EXPECT_EQ(SlotsInUse(), 21 + next.count) << "the shown scene's pictures freed";
  EXPECT_EQ(scenes_->nextScene.scene, -1);
}

TEST_F(SceneDrawingTest, StoppingTheSceneFreesTheChangeOnItsWay) {
  options_.nature_change_freq = 60000;
  StartQuietScene(2);
  scenes_->lastSceneChange = clock_.Milliseconds();
  clock_.Advance(59000);
  for (int frame = 0; frame < 3; ++frame) scenes_->Update();
  ASSERT_NE(scenes_->nextScene.scene, -1);
  scenes_->Stop();
  EXPECT_EQ(SlotsInUse(), 21);
  EXPECT_EQ(scenes_->nextScene.scene, -1);
}

TEST_F(SceneDrawingTest, SceneThreePicksEachOfItsFourSkiesByOneDraw) {
  scenes_->LoadSharedPictures();
  bool seen[4] = {};
  for (unsigned seed = 1; seed <= 40 && !(seen[0] && seen[1] && seen[2] && seen[3]); ++seed) {
    std::srand(seed);
    const int choice = std::rand() % 4;
    std::srand(seed);
    scenes_->LoadScenePictures(3);
    ASSERT_EQ(ownedVideo_->Surfaces().slots[scenes_->scenePictures.sky].name, "sky3_" + std::to_string(choice));
    seen[choice] = true;
  }
  EXPECT_TRUE(seen[0] && seen[1] && seen[2] && seen[3]);
}

TEST_F(SceneDrawingTest, ScenesWithOneSkyDoNotDrawANumber) {
  scenes_->LoadSharedPictures();
  std::srand(5);
  const int next = std::rand();
  std::srand(5);
  scenes_->LoadScenePictures(5);
  EXPECT_EQ(ownedVideo_->Surfaces().slots[scenes_->scenePictures.sky].name, "sky5_0");
  EXPECT_EQ(std::rand(), next);
}

TEST_F(SceneDrawingTest, SceneFourHasSeedsAndButterfliesButNoFlockOrGliders) {
  options_.background_animation = 3;
  scenes_->LoadSharedPictures();
  scenes_->Start(4);
  EXPECT_EQ(scenes_->theme.flock.variantCount, 0);
  EXPECT_EQ(scenes_->theme.glidersNear.variantCount, 0);
  EXPECT_EQ(scenes_->theme.glidersFar.variantCount, 0);
  // The small butterflies use the 25 x 32 pictures of the large set.
  EXPECT_EQ(scenes_->theme.butterfliesSmall.variants[0].frameWidth, 25);
  EXPECT_EQ(scenes_->theme.butterfliesSmall.variants[0].surface, scenes_->sharedPictureSurfaces[13]);
  EXPECT_EQ(scenes_->theme.butterfliesLarge.variantCount, 4);
  bool seeds = false, butterflies = false;
  for (int frame = 0; frame < 3 * 60 * 50; ++frame) {
    clock_.Advance(20);
    scenes_->Update();
    ASSERT_FALSE(scenes_->theme.flock.group.active);
    ASSERT_FALSE(scenes_->theme.glidersNear.group.active || scenes_->theme.glidersFar.group.active);
    for (const Seed& s : scenes_->theme.seedA.slots) seeds = seeds || s.active;
    for (const Butterfly& b : scenes_->theme.butterfliesLarge.slots) butterflies = butterflies || b.active;
  }
  EXPECT_TRUE(seeds);
  EXPECT_TRUE(butterflies);
}

TEST_F(SceneDrawingTest, CreaturesAreCutAtTheScreenEdgesAndShowTheirFrameAndRow) {
  StartQuietScene(0);
  scenes_->theme.back0.enabled = scenes_->theme.back1.enabled = scenes_->theme.back2.enabled =
      scenes_->theme.sky.enabled = 0;
  ButterflySet& set = scenes_->theme.butterfliesLarge;
  Butterfly& left = set.slots[0];
  left.active = 1;
  left.variant = 0;  // 35 x 47
  left.x = -10.7;    // truncates to -10: columns 10..34 of the frame show at 0..24
  left.y = 100;
  left.frame = 3.6;   // column 3
  left.heading = 180;  // facing left: row 1
  Butterfly& corner = set.slots[1];
  corner.active = 1;
  corner.variant = 5;  // 25 x 32
  corner.x = 630;
  corner.y = 470.2;
  corner.frame = 0;
  corner.heading = 0;  // row 0
  DrawFrame();
  const uint32_t leftCell = static_cast<uint32_t>(kCreatureRed) << 16 | (8 + 16 * 1) << 8 | (8 + 16 * 3);
  EXPECT_EQ(PixelAt(0, 100), leftCell);
  EXPECT_EQ(PixelAt(24, 146), leftCell);
  EXPECT_EQ(PixelAt(25, 100), 0u);
  EXPECT_EQ(PixelAt(0, 147), 0u);
  EXPECT_EQ(PixelAt(0, 99), 0u);
  const uint32_t cornerCell = static_cast<uint32_t>(kCreatureRed) << 16 | 8 << 8 | 8;
  EXPECT_EQ(PixelAt(630, 470), cornerCell);
  EXPECT_EQ(PixelAt(639, 479), cornerCell);
  EXPECT_EQ(PixelAt(629, 479), 0u);
  EXPECT_EQ(NewBlits(), 2);
}

TEST_F(SceneDrawingTest, GlidersShowTheRowOfTheirTiltAndDirection) {
  StartQuietScene(5);
  scenes_->theme.back0.enabled = scenes_->theme.back1.enabled = scenes_->theme.back2.enabled =
      scenes_->theme.sky.enabled = 0;
  GliderGroup& set = scenes_->theme.glidersFar;
  set.group.active = 1;
  set.group.direction = 1;
  Glider& glider = set.slots[0];
  glider.active = 1;
  glider.variant = 0;  // 37 x 43
  glider.x = 100;
  glider.y = 100;
  glider.frame = 7.9;
  glider.tilt = 8;  // row 3, plus 5 flying right
  DrawFrame();
  EXPECT_EQ(PixelAt(100, 100), static_cast<uint32_t>(kCreatureRed) << 16 | (8 + 16 * 8) << 8 | (8 + 16 * 7));
  EXPECT_EQ(PixelAt(136, 142), PixelAt(100, 100));
  EXPECT_EQ(PixelAt(137, 100), 0u);
  set.group.active = 0;  // an idle group is not drawn
  DrawFrame();
  EXPECT_EQ(PixelAt(100, 100), 0u);
}

TEST_F(SceneDrawingTest, MissingPicturesAreLeftOutSilentlyAndTheRestIsDrawn) {
  files_.files.erase("/install/data.dat");  // every picture fails to load
  WriteArchive("/install", {}, "data.dat");
  options_.background_animation = 0;
  EXPECT_EQ(scenes_->LoadSharedPictures(), 2);
  scenes_->Start(0);
  EXPECT_EQ(scenes_->theme.back0.sprite.surface, SurfaceNone);
  const int messages = ownedReport_->MessageCount();
  const int warnings = ownedReport_->WarningCount();
  DrawFrame();
  EXPECT_EQ(NewBlits(), 0);
  EXPECT_EQ(ownedReport_->MessageCount(), messages);
  EXPECT_EQ(ownedReport_->WarningCount(), warnings);
}

TEST_F(SceneDrawingTest, ALoadFailureLeavesOnlyThatPictureOut) {
  options_.background_animation = 0;
  scenes_->LoadSharedPictures();
  display_->videoSurfacesFail = true;
  display_->systemSurfacesFail = true;
  EXPECT_EQ(scenes_->LoadScenePictures(0), 2);
  display_->videoSurfacesFail = display_->systemSurfacesFail = false;
  EXPECT_EQ(scenes_->scenePictures.layers[0], SurfaceNone);
  EXPECT_EQ(scenes_->scenePictures.sky, SurfaceNone);
  EXPECT_EQ(scenes_->FreeScenePictures(), 0);
  EXPECT_EQ(scenes_->scenePictures.loaded, 0);
}

}  // namespace
}  // namespace sylvora
