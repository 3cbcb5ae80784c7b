#include "tests/nature/scene_video.h"

#include "tests/nature/scene_content.h"

namespace sylvora {

SceneVideoTest::SceneVideoTest() : scopedFiles_(files_) {
  EXPECT_TRUE(WriteSceneTestArchive("/install"));
  auto display = std::make_unique<FakeDisplay>();
  display->redMask = 0xFF0000;
  display->greenMask = 0x00FF00;
  display->blueMask = 0x0000FF;
  display->desktop = {640, 480, 32};
  display_ = display.get();
  ownedVideo_ =
      std::make_unique<VideoSystem>(ownedReport_.get(), std::move(display), std::make_unique<FakeJpegDecoder>());
  CreateArgs args;
  args.depth = 32;
  args.resourcePath = "/install/";
  EXPECT_EQ(ownedVideo_->Create(args), 0);
  BuildScenes(ownedVideo_.get());
}

uint32_t SceneVideoTest::PixelAt(int x, int y) const {
  return FakeDisplay::Of(ownedVideo_->Secondary())->PixelAt(x, y) & 0xFFFFFF;
}

void SceneVideoTest::DrawFrame() {
  ownedVideo_->ClearSurface(SurfaceSecondary);
  NewBlits();
  scenes_->Draw();
}

int SceneVideoTest::NewBlits() {
  const int total = display_->CallCount("BltFast") + display_->CallCount("BltFast keyed");
  const int fresh = total - blitsSeen_;
  blitsSeen_ = total;
  return fresh;
}

}  // namespace sylvora
