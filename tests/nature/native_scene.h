#pragma once
// A NatureTest on the native display path: a real VideoSystem over the fake renderer, whose output the
// test sizes, and an in-memory install directory holding the scene test pictures in data.nrx.
#include <algorithm>
#include <memory>
#include <vector>

#include "tests/doubles/memory_files.h"
#include "tests/doubles/video/fake_display.h"
#include "tests/doubles/video/fake_jpeg.h"
#include "tests/doubles/video/fake_render_device.h"
#include "tests/nature/nature_fixture.h"
#include "tests/nature/scene_content.h"
#include "video/display_native.h"
#include "video/video_system.h"

namespace sylvora {

class NativeSceneTest : public NatureTest {
 protected:
  NativeSceneTest() : scopedFiles_(files_) { EXPECT_TRUE(WriteSceneTestArchive("/install")); }

  // A fresh video object full screen on an output of width x height, and a scene manager on it with the
  // shared pictures loaded.
  void StartNative(int width, int height) {
    auto render = std::make_unique<FakeRenderDevice>();
    render_ = render.get();
    render_->outputWidth = width;
    render_->outputHeight = height;
    video_ = std::make_unique<VideoSystem>(ownedReport_.get(),
                                           CreateNativeDisplayLayer(std::make_unique<FakeDisplay>(), std::move(render)),
                                           std::make_unique<FakeJpegDecoder>());
    CreateArgs args;
    args.depth = 32;
    args.resourcePath = "/install/";
    ASSERT_EQ(video_->Create(args), 0);
    BuildScenes(video_.get());
    ASSERT_EQ(scenes_->LoadSharedPictures(), 0);
  }

  // One frame later: the theme updated, drawn and presented; the copies it showed, left to right.
  std::vector<FakeCopy> NextFrame(uint32_t frameMs) {
    clock_.Advance(frameMs);
    scenes_->theme.Update();
    video_->ClearSurface(SurfaceSecondary);
    scenes_->Draw();
    video_->Present();
    std::vector<FakeCopy> copies = render_->presented;
    std::sort(copies.begin(), copies.end(), [](const FakeCopy& a, const FakeCopy& b) { return a.to.left < b.to.left; });
    return copies;
  }

  MemoryFileSystem files_;
  ScopedFileSystem scopedFiles_;
  FakeRenderDevice* render_ = nullptr;
  std::unique_ptr<VideoSystem> video_;
};

}  // namespace sylvora
