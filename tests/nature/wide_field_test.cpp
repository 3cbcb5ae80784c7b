// The native path on outputs of other shapes than 4:3: the ground is its wide painting and fills the
// output edge to edge, the sky runs across the whole width, and creatures come and go just beyond the
// visible edges.
#include <climits>
#include <vector>

#include "archive/wide_picture.h"
#include "tests/nature/native_scene.h"

namespace sylvora {
namespace {

using WideFieldTest = NativeSceneTest;

struct Output {
  int width, height;
};
// 4:3, 16:9, 21:9 and 5:4.
constexpr Output kOutputs[] = {{1440, 1080}, {1920, 1080}, {2520, 1080}, {1280, 1024}};

// Starts scene 3 with what a test does not look at switched off: no creature ever spawns.
void QuietScene(SceneManager& scenes) {
  scenes.Start(3);
  for (CreatureSet* set : scenes.theme.sets) set->spawnTimer.Set(INT_MAX, 1);
}

TEST_F(WideFieldTest, TheGroundIsItsWidePaintingAndFillsEveryShapeEdgeToEdge) {
  for (const Output output : kOutputs) {
    SCOPED_TRACE(output.width);
    StartNative(output.width, output.height);
    const int messages = ownedReport_->WarningCount();
    QuietScene(*scenes_);
    // Only the ground has a wide painting among the test pictures: the overlay is its own, silently.
    EXPECT_EQ(scenes_->scenePictures.wide[0], 1);
    EXPECT_EQ(scenes_->scenePictures.wide[1], 0);
    EXPECT_EQ(ownedReport_->WarningCount(), messages);
    const Sprite& ground = scenes_->theme.back0.sprite;
    EXPECT_EQ(ground.x, kWideFieldLeft);
    EXPECT_EQ(ground.sheetWidth, kWideLayerWidth);

    const float perPixel = static_cast<float>(output.height) / 480;
    bool seen = false;
    for (const FakeCopy& copy : NextFrame(0)) {
      if (copy.texture != render_->presented.front().texture) continue;  // the ground is drawn first
      seen = true;
      EXPECT_LE(copy.to.left, 0.0f);
      EXPECT_GE(copy.to.right, static_cast<float>(output.width) - 0.01f);
      EXPECT_FLOAT_EQ(copy.to.bottom, static_cast<float>(output.height));
      // The painting's columns shown are the field's, the frame's own in the middle.
      EXPECT_EQ(copy.from.left, scenes_->theme.fieldLeft - kWideFieldLeft);
      // The scene's middle column starts at the output's middle.
      EXPECT_FLOAT_EQ(copy.to.left + static_cast<float>(320 - scenes_->theme.fieldLeft) * perPixel,
                      static_cast<float>(output.width) / 2);
    }
    EXPECT_TRUE(seen);
  }
}

TEST_F(WideFieldTest, TheSkyRunsAcrossTheWholeWidthWithoutAGapOrARepeat) {
  StartNative(2520, 1080);
  QuietScene(*scenes_);
  NatureTheme& theme = scenes_->theme;
  theme.back0.enabled = theme.back1.enabled = theme.back2.enabled = 0;
  const int band = theme.skyBand;
  for (const double position : {0.0, 639.5, 1000.25, 1279.0}) {
    SCOPED_TRACE(position);
    theme.skyPosition = position;
    const std::vector<FakeCopy> copies = NextFrame(0);
    ASSERT_FALSE(copies.empty());
    EXPECT_LE(copies.front().to.left, 0.0f);
    EXPECT_GE(copies.back().to.right, 2520.0f - 0.01f);
    int columns = 0;
    for (size_t next = 0; next < copies.size(); ++next) {
      const FakeCopy& copy = copies[next];
      EXPECT_EQ(copy.from.bottom - copy.from.top, band);
      columns += copy.from.right - copy.from.left;
      if (next == 0) continue;
      const FakeCopy& before = copies[next - 1];
      EXPECT_NEAR(copy.to.left, before.to.right, 1e-3);
      const int beforeEnd = before.from.right + (before.from.top >= band ? 640 : 0);
      EXPECT_EQ(copy.from.left + (copy.from.top >= band ? 640 : 0), beforeEnd % 1280);
    }
    EXPECT_LT(columns, 1280) << "a column of the panorama shown twice";
  }
}

TEST_F(WideFieldTest, CreaturesEnterAndLeaveJustBeyondTheVisibleEdges) {
  StartNative(2520, 1080);
  QuietScene(*scenes_);
  NatureTheme& theme = scenes_->theme;
  ASSERT_EQ(theme.fieldLeft, kWideFieldLeft);
  ASSERT_EQ(theme.fieldRight, kWideFieldRight);
  theme.back0.enabled = theme.back1.enabled = theme.back2.enabled = theme.sky.enabled = 0;
  ButterflySet& set = theme.butterfliesSmall;
  int sides[2] = {0, 0};
  for (int i = 0; i < 20; ++i) {
    set.slots[0].active = 0;
    set.spawnTimer.Set(100, 1);
    const std::vector<FakeCopy> copies = NextFrame(100);
    const Butterfly& butterfly = set.slots[0];
    ASSERT_TRUE(butterfly.active);
    ASSERT_EQ(copies.size(), 1u);
    // One column of it shows, at the very edge of the output.
    const float perPixel = 1080.0f / 480;
    const OutputRect& to = copies[0].to;
    if (butterfly.side == 1) {
      EXPECT_NEAR(to.right - perPixel, 0.0f, perPixel);
    } else {
      EXPECT_NEAR(to.left + perPixel, 2520.0f, perPixel);
    }
    ++sides[butterfly.side];
  }
  EXPECT_GT(sides[0], 0);
  EXPECT_GT(sides[1], 0);
  // Gone only once no column of it is left in the field.
  EXPECT_FALSE(theme.IsOffScreen(kWideFieldLeft - 34.0, 10, 35, 47));
  EXPECT_TRUE(theme.IsOffScreen(kWideFieldLeft - 35.0, 10, 35, 47));
  EXPECT_FALSE(theme.IsOffScreen(kWideFieldRight - 0.5, 10, 35, 47));
  EXPECT_TRUE(theme.IsOffScreen(kWideFieldRight, 10, 35, 47));
}

TEST_F(WideFieldTest, TheFlockAndTheGlidersCrossTheWholeWidth) {
  options_.background_animation = 3;
  StartNative(2520, 1080);
  scenes_->Start(0);
  NatureTheme& theme = scenes_->theme;
  // Where the creatures' middles were seen: in the leftmost and the rightmost tenth of the 1120 columns.
  const int tenth = (kWideFieldRight - kWideFieldLeft) / 10;
  bool seen[2][2] = {};  // [flock, gliders][left, right]
  auto look = [&](int kind, const Creature& creature, int frameWidth) {
    if (!creature.active) return;
    const double middle = creature.x + frameWidth / 2.0;
    if (middle < kWideFieldLeft + tenth) seen[kind][0] = true;
    if (middle >= kWideFieldRight - tenth) seen[kind][1] = true;
  };
  for (int step = 0; step < 5 * 60 * 50; ++step) {  // five minutes at 50 updates a second
    clock_.Advance(20);
    theme.Update();
    for (const Creature& bird : theme.flock.slots) look(0, bird, theme.flock.variants[0].frameWidth);
    for (GliderGroup* set : {&theme.glidersNear, &theme.glidersFar}) {
      for (const Glider& glider : set->slots) look(1, glider, set->variants[glider.variant].frameWidth);
    }
  }
  EXPECT_TRUE(seen[0][0] && seen[0][1]) << "the flock";
  EXPECT_TRUE(seen[1][0] && seen[1][1]) << "the gliders";
}

}  // namespace
}  // namespace sylvora
