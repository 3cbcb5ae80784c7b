// The native display path on the doubles: pictures become textures once, each Draw is one copy mapped
// from the frame, fitted to the output's shape, onto the output's pixels, a renderer reset uploads every picture again,
// and the brightness reaches the uploaded pixels through the same ramp the classic path presents with.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <tuple>

#include "archive/high_resolution.h"
#include "tests/doubles/video/fake_render_device.h"
#include "tests/video/video_test_support.h"
#include "video/display_native.h"

namespace sylvora {
namespace {

// A 3 x 2 sprite, top row red key red, bottom row key green key (the key is black).
std::string Sprite() {
  std::string rows;
  rows += std::string{0, 0, 0, 0, char(200), 0, 0, 0, 0} + std::string(3, '\0');  // bottom row first
  rows += std::string{0, 0, char(200), 0, 0, 0, 0, 0, char(200)} + std::string(3, '\0');
  return MakeBmp(3, 2, rows);
}

class NativeVideoTest : public VideoTest {
 protected:
  NativeVideoTest() {
    auto fakeDisplay = std::make_unique<FakeDisplay>();
    auto fakeRender = std::make_unique<FakeRenderDevice>();
    display = fakeDisplay.get();
    render = fakeRender.get();
    auto fakeJpeg = std::make_unique<FakeJpegDecoder>();
    jpeg = fakeJpeg.get();
    video = std::make_unique<VideoSystem>(
        report.get(), CreateNativeDisplayLayer(std::move(fakeDisplay), std::move(fakeRender)), std::move(fakeJpeg));
  }

  // Full screen at 32 bits with the keyed sprite loaded; its slot number.
  int Started() {
    EXPECT_EQ(CreateVideo(1, 32), 0);
    PutLoose("sprite", "bmp", Sprite());
    int handle = SurfaceNone;
    EXPECT_EQ(video->CreateSurfaceA("sprite", 1, 0, handle, SurfaceAnySlot, 0), 0);
    return handle;
  }

  // Full screen at 32 bits on the native path, over an archive holding a 4 x 2 "ground", its twin
  // "groundx3" (12 x 6, another colour) and more; Create's result.
  int CreateWithTwins(std::vector<PackItem> more) {
    more.push_back({kBmpPicture, "ground", MakeSolidBmp(4, 2, 1, 2, 3)});
    more.push_back({kBmpPicture, "groundx3", MakeSolidBmp(12, 6, 4, 5, 6)});
    PutArchive(more);
    CreateArgs args;
    args.depth = 32;
    args.resourcePath = kInstall;
    args.highResolution = 1;
    return video->Create(args);
  }

  FakeRenderDevice* render = nullptr;
};

TEST_F(NativeVideoTest, APictureIsOneTextureAndEachDrawOneCopyOntoTheOutputsPixels) {
  const int sprite = Started();
  EXPECT_EQ(video->ClearSurface(SurfaceSecondary), 0);
  EXPECT_EQ(video->Draw({0, 0, 3, 2}, sprite, 320, 240), 0);
  EXPECT_EQ(video->Draw({1, 0, 3, 2}, sprite, 637, 0), 0);
  video->Present();
  video->Present();

  ASSERT_EQ(render->textures.size(), 1u);
  const FakeTexture& texture = render->textures.begin()->second;
  EXPECT_EQ(texture.uploads, 1);
  EXPECT_TRUE(texture.transparent);
  // Keys are clear and carry the colour of their neighbours; the picture is opaque at full 24 bits.
  EXPECT_EQ(texture.pixels,
            (std::vector<uint32_t>{0xFFC80000, 0x00854200, 0xFFC80000, 0x00646400, 0xFF00C800, 0x00646400}));
  ASSERT_EQ(render->presents, 2);
  EXPECT_EQ(render->presented.size(), 0u);  // nothing drawn for the second frame
  EXPECT_EQ(render->clears, 2);             // at start-up and here
  EXPECT_TRUE(HasMessage(MessageKind::Report, "CreateFullScreen", "frames are presented by the fake renderer"));
}

// Output edges of a copy, for comparing with the expected ones in one line.
std::vector<float> Edges(const OutputRect& to) { return {to.left, to.top, to.right, to.bottom}; }

TEST_F(NativeVideoTest, CopiesScaleTheFrameAlikeAcrossAndDownAndCentreTheSceneOnTheOutput) {
  struct Output {
    int width, height, columns;
  };
  // 4:3, 16:9, 7:3 and 5:4, a 16:9 size whose share of a column falls between two, and two ultrawides
  // wider than the scenes are painted (1120 columns at most), which lose rows at the top and bottom.
  for (const Output output :
       {Output{1440, 1080, 640}, Output{1920, 1080, 854}, Output{2520, 1080, 1120}, Output{1280, 1024, 600},
        Output{1366, 768, 854}, Output{2560, 1080, 1120}, Output{3840, 1080, 1120}}) {
    SCOPED_TRACE(output.width);
    render->outputWidth = output.width;
    render->outputHeight = output.height;
    render->presented.clear();
    const int sprite = Started();
    ASSERT_EQ(video->SecondaryWidth(), output.columns);
    ASSERT_EQ(video->FieldLeft(), (640 - output.columns) / 2);
    const float perPixel = std::max(static_cast<float>(output.height) / 480,
                                    static_cast<float>(output.width) / static_cast<float>(output.columns));
    ASSERT_EQ(video->Draw({0, 0, 3, 2}, sprite, 0, 0), 0);
    ASSERT_EQ(video->Draw({0, 0, 1, 1}, sprite, output.columns - 1, 479), 0);
    ASSERT_EQ(video->Draw({0, 0, 3, 2}, sprite, 320 - video->FieldLeft(), 240), 0);
    video->Present();
    ASSERT_EQ(render->presented.size(), 3u);
    const OutputRect& first = render->presented[0].to;
    const OutputRect& last = render->presented[1].to;
    // Round things stay round: one scale across and down.
    EXPECT_NEAR((first.right - first.left) / (first.bottom - first.top), 1.5f, 1e-4);
    EXPECT_NEAR(first.bottom - first.top, 2 * perPixel, 1e-3);
    // The frame covers the output, by less than a frame pixel beyond each side, and as much beyond its top
    // as its bottom.
    EXPECT_LE(first.left, 0.0f);
    EXPECT_GT(first.left, -perPixel);
    EXPECT_GE(last.right, static_cast<float>(output.width) - 0.01f);
    EXPECT_LT(last.right, static_cast<float>(output.width) + perPixel);
    EXPECT_LE(first.top, 0.0f);
    EXPECT_NEAR(first.top, static_cast<float>(output.height) - last.bottom, 1e-3);
    // The scene's middle starts at the output's middle.
    EXPECT_FLOAT_EQ(render->presented[2].to.left, static_cast<float>(output.width) / 2);
    EXPECT_FLOAT_EQ(render->presented[2].to.top, static_cast<float>(output.height) / 2);
  }
}

TEST_F(NativeVideoTest, CopiesMeetExactlyAndFallBetweenOutputPixelsByTheirShift) {
  render->outputWidth = 1440;
  render->outputHeight = 1080;
  const int sprite = Started();
  const float scale = 2.25f;
  ASSERT_EQ(video->Draw({0, 0, 3, 2}, sprite, 0, 0), 0);
  ASSERT_EQ(video->Draw({0, 0, 3, 2}, sprite, 3, 0), 0);
  ASSERT_EQ(video->Draw({1, 1, 3, 2}, sprite, 638, 479), 0);
  // A creature half a frame pixel right and a quarter down of its whole position, and one clipped at the
  // left edge, a little further left than its clipped position says.
  ASSERT_EQ(video->Draw({0, 0, 3, 2}, sprite, 320, 240, SubPixelShift{0.5, 0.25}), 0);
  ASSERT_EQ(video->Draw({1, 0, 3, 2}, sprite, 0, 10, SubPixelShift{-0.75, 0.0}), 0);
  video->Present();
  ASSERT_EQ(render->presented.size(), 5u);
  EXPECT_EQ(render->presented[0].to.right, render->presented[1].to.left);  // neighbours meet exactly
  EXPECT_EQ(Edges(render->presented[0].to), (std::vector<float>{0, 0, 3 * scale, 2 * scale}));
  EXPECT_EQ(Edges(render->presented[2].to), (std::vector<float>{638 * scale, 479 * scale, 1440, 1080}));
  EXPECT_EQ(render->presented[2].from.left, 1);
  EXPECT_EQ(render->presented[2].from.bottom, 2);
  EXPECT_EQ(Edges(render->presented[3].to),
            (std::vector<float>{320.5f * scale, 240.25f * scale, 323.5f * scale, 242.25f * scale}));
  EXPECT_EQ(Edges(render->presented[4].to),
            (std::vector<float>{-0.75f * scale, 10 * scale, 1.25f * scale, 12 * scale}));
}

TEST_F(NativeVideoTest, AfterAResetEveryPictureIsUploadedAgainAtItsNextDraw) {
  const int sprite = Started();
  ASSERT_EQ(video->Draw({0, 0, 3, 2}, sprite, 0, 0), 0);
  const std::vector<uint32_t> uploaded = render->textures.begin()->second.pixels;

  // Render targets reset: the same texture is filled again.
  render->pendingReset = RenderReset::Targets;
  EXPECT_EQ(video->Draw({0, 0, 3, 2}, sprite, 0, 0), 0);
  ASSERT_EQ(render->textures.size(), 1u);
  EXPECT_EQ(render->textures.begin()->second.uploads, 2);
  EXPECT_EQ(render->opens, 1);

  // Device reset: a new renderer, and a new texture with the same pixels, loaded again from the files
  // (the layer let them go at the first upload).
  render->pendingReset = RenderReset::Device;
  video->Present();  // the present finds the reset; the frame after it draws again
  EXPECT_EQ(render->opens, 2);
  EXPECT_EQ(video->Draw({0, 0, 3, 2}, sprite, 0, 0), 0);
  video->Present();
  ASSERT_EQ(render->textures.size(), 1u);
  EXPECT_EQ(render->textures.begin()->second.pixels, uploaded);
  EXPECT_EQ(render->presented.size(), 1u);
  EXPECT_EQ(ErrorCount(), 0);
  EXPECT_TRUE(HasMessage(MessageKind::Report, "Restore", "all surfaces were restored"));

  // A picture whose file is gone by then cannot come back, and its draws fail as any lost picture's.
  files.Remove(std::string(kInstall) + "graphics\\sprite.bmp");
  render->pendingReset = RenderReset::Targets;
  EXPECT_EQ(video->Draw({0, 0, 3, 2}, sprite, 0, 0), 1);
}

TEST_F(NativeVideoTest, BrightnessIsTheRampAppliedToTheUploadedPixels) {
  const int sprite = Started();
  ASSERT_EQ(video->GammaAvailable(), 1);
  ASSERT_EQ(video->Draw({0, 0, 3, 2}, sprite, 0, 0), 0);
  video->SetGamma(100);  // every ramp entry 5000 higher: level 200 (51400) becomes 56400, shown as 220
  ASSERT_EQ(video->Draw({0, 0, 3, 2}, sprite, 0, 0), 0);
  const FakeTexture& texture = render->textures.begin()->second;
  EXPECT_EQ(texture.uploads, 2);
  EXPECT_EQ(texture.pixels[0], 0xFFDC1313u);  // red 200 -> 220; green and blue 0 -> 5000 >> 8 = 19
  video->SetGamma(0);
  ASSERT_EQ(video->Draw({0, 0, 3, 2}, sprite, 0, 0), 0);
  EXPECT_EQ(texture.pixels[0], 0xFFC80000u);
}

TEST_F(NativeVideoTest, APictureComesFromItsThreeTimesTwinWhereTheArchiveHasOneAndIsDrawnInFramePixels) {
  ASSERT_EQ(CreateWithTwins({{kBmpPicture, "sky", MakeSolidBmp(4, 2, 7, 8, 9)}}), 0);
  int ground = SurfaceNone;
  int sky = SurfaceNone;
  ASSERT_EQ(video->CreateSurfaceB("ground", 1, ground, SurfaceAnySlot), 0);
  ASSERT_EQ(video->CreateSurfaceB("sky", 1, sky, SurfaceAnySlot), 0);
  EXPECT_EQ(video->Surfaces().slots[ground].width, 4);
  EXPECT_EQ(video->Surfaces().slots[ground].height, 2);
  EXPECT_TRUE(HasMessage(MessageKind::Report, "CreateSurfaceB",
                         "graph object <ground> was successfully loaded and placed in the system memory "
                         "(not in the video memory) [0]"));

  // Clipped in frame pixels (the picture is 4 wide), copied from the twin's pixels.
  ASSERT_EQ(video->Draw({1, 0, 9, 2}, ground, 0, 0), 0);
  ASSERT_EQ(video->Draw({0, 0, 4, 2}, sky, 0, 0), 0);
  video->Present();
  ASSERT_EQ(render->presented.size(), 2u);
  const FakeTexture& twin = render->textures.at(render->presented[0].texture);
  EXPECT_EQ(twin.width, 12);
  EXPECT_FALSE(twin.transparent);  // an opaque picture is copied without blending
  EXPECT_EQ(twin.pixels[0], 0xFF060504u);
  const SurfaceRect from = render->presented[0].from;
  EXPECT_EQ(std::tie(from.left, from.top, from.right, from.bottom), std::make_tuple(3, 0, 12, 6));
  EXPECT_EQ(render->textures.at(render->presented[1].texture).width, 4);  // no twin: its own pixels
  EXPECT_EQ(render->presented[1].from.right, 4);
}

// Twins are loaded only where the output is nearer their scale than the frame's size: a preview pane
// draws the pictures painted for the frame. The middle between 1 and 3 times is the square root of 3
// (1108.5 output pixels across a 640-pixel frame). Past 3.3 times (1584 rows) the five-times twin is
// drawn where there is one and the renderer takes a texture as wide as the widest five-times layer;
// else the three-times one.
TEST_F(NativeVideoTest, EachOutputDrawsTheTwinPaintedForItsScale) {
  struct Output {
    int width, height, largestTextureSide;
    bool finestTwin;
    int textureWidth;
  };
  // A wide output shows more columns, not bigger ones: only its height counts.
  for (const Output output :
       {Output{320, 240, 0, true, 4}, Output{1100, 820, 0, true, 4}, Output{1920, 831, 0, true, 4},
        Output{1109, 480, 0, true, 4}, Output{640, 832, 0, true, 12}, Output{1920, 1080, 0, true, 12},
        Output{2816, 1584, 0, true, 12}, Output{2816, 1585, 0, true, 20}, Output{3840, 2160, 0, true, 20},
        Output{3840, 2160, 0, false, 12}, Output{3840, 2160, 5600, true, 20}, Output{3840, 2160, 5599, true, 12}}) {
    SCOPED_TRACE(std::to_string(output.width) + "x" + std::to_string(output.height) + " largest texture " +
                 std::to_string(output.largestTextureSide) + (output.finestTwin ? " with" : " without") +
                 " the five-times twin");
    render->outputWidth = output.width;
    render->outputHeight = output.height;
    render->largestTextureSide = output.largestTextureSide;
    std::vector<PackItem> finest;
    if (output.finestTwin) finest.push_back({kBmpPicture, "groundx5", MakeSolidBmp(20, 10, 4, 5, 6)});
    ASSERT_EQ(CreateWithTwins(finest), 0);
    int ground = SurfaceNone;
    ASSERT_EQ(video->CreateSurfaceB("ground", 1, ground, SurfaceAnySlot), 0);
    ASSERT_EQ(video->Draw({0, 0, 4, 2}, ground, 0, 0), 0);
    video->Present();
    ASSERT_EQ(render->presented.size(), 1u);
    EXPECT_EQ(render->textures.at(render->presented[0].texture).width, output.textureWidth);
    const SurfaceRect from = render->presented[0].from;
    EXPECT_EQ(from.right, output.textureWidth);  // the whole picture, in the twin's pixels
    video->DeleteSurface(ground);
  }
}

// SDL's software renderer would rescale every picture at every copy: there each picture is uploaded at
// the size the output shows it, twin or not, and every copy is one to one on whole output pixels. An
// output of another size has them made again at its own.
TEST_F(NativeVideoTest, WhereTheRendererScalesOnTheProcessorPicturesComeAtTheSizeShownAndCopyOneToOne) {
  render->scalesOnProcessor = true;
  ASSERT_EQ(CreateWithTwins({{kBmpPicture, "sky", MakeSolidBmp(4, 2, 7, 8, 9)}}), 0);
  int ground = SurfaceNone;
  int sky = SurfaceNone;
  ASSERT_EQ(video->CreateSurfaceB("ground", 1, ground, SurfaceAnySlot), 0);
  ASSERT_EQ(video->CreateSurfaceB("sky", 1, sky, SurfaceAnySlot), 0);
  const auto drawBoth = [&] {
    ASSERT_EQ(video->Draw({1, 0, 4, 2}, ground, 10, 3), 0);
    ASSERT_EQ(video->Draw({0, 0, 4, 2}, sky, 0, 0), 0);
    video->Present();
    ASSERT_EQ(render->presented.size(), 2u);
  };
  const auto edges = [](const FakeCopy& copy) {
    return std::vector<float>{float(copy.from.left),   float(copy.from.top), float(copy.from.right),
                              float(copy.from.bottom), copy.to.left,         copy.to.top,
                              copy.to.right,           copy.to.bottom};
  };

  // 1920 x 1080: 854 columns at 2.25 output pixels each, the first 0.75 left of the output. The 4 x 2
  // pictures (the ground from its 12 x 6 twin, the sky enlarged) are 9 x 5, flat as they were painted.
  drawBoth();
  const FakeTexture& twin = render->textures.at(render->presented[0].texture);
  const FakeTexture& enlarged = render->textures.at(render->presented[1].texture);
  EXPECT_EQ(std::tie(twin.width, twin.height, enlarged.width, enlarged.height), std::make_tuple(9, 5, 9, 5));
  EXPECT_EQ(twin.pixels, std::vector<uint32_t>(45, 0xFF060504u));
  EXPECT_EQ(enlarged.pixels, std::vector<uint32_t>(45, 0xFF090807u));
  // The ground's three columns from frame x 10 span output 21.75 to 28.5: whole pixels 22 to 29, seven
  // texels from its second frame column's (2.25, rounded); the sky's edges, -0.75 and 8.25, round away.
  EXPECT_EQ(edges(render->presented[0]), (std::vector<float>{2, 0, 9, 4, 22, 7, 29, 11}));
  EXPECT_EQ(edges(render->presented[1]), (std::vector<float>{0, 0, 9, 5, -1, 0, 8, 5}));

  // 2560 x 1440: three output pixels per frame pixel, the twin's own size; the sky is made 12 x 6.
  render->outputWidth = 2560;
  render->outputHeight = 1440;
  drawBoth();
  EXPECT_EQ(render->textures.at(render->presented[0].texture).width, 12);
  EXPECT_EQ(render->textures.at(render->presented[1].texture).height, 6);
  EXPECT_EQ(edges(render->presented[0]), (std::vector<float>{3, 0, 12, 6, 29, 9, 38, 15}));
  EXPECT_EQ(ErrorCount(), 0);
}

// A picture loaded but not drawn would hold all its pixels until it first is: once the worker has made
// it ready, a present uploads it, one a present, and its first draw then uploads nothing. Until the
// worker is done, the next picture of a coming scene waits.
TEST_F(NativeVideoTest, EachPresentUploadsOnePictureNotYetDrawn) {
  const int sprite = Started();
  int opaque = SurfaceNone;
  ASSERT_EQ(video->CreateSurfaceB("sprite", 1, opaque, SurfaceAnySlot), 0);
  EXPECT_TRUE(render->textures.empty());
  EXPECT_TRUE(video->PictureWaiting("another")) << "loaded, not yet handed to the worker";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  size_t uploaded = 0;
  while (uploaded < 2 && std::chrono::steady_clock::now() < deadline) {
    video->Present();
    ASSERT_LE(render->textures.size(), uploaded + 1) << "a present uploaded two pictures";
    uploaded = render->textures.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(uploaded, 2u) << "pictures uploaded by the presents of 20 seconds";
  EXPECT_FALSE(video->PictureWaiting("another"));
  ASSERT_EQ(video->Draw({0, 0, 3, 2}, sprite, 0, 0), 0);
  ASSERT_EQ(video->Draw({0, 0, 3, 2}, opaque, 0, 0), 0);
  video->Present();
  for (const auto& [handle, texture] : render->textures) EXPECT_EQ(texture.uploads, 1);
  EXPECT_EQ(render->presented.size(), 2u);
}

// Two monitors side by side on one 3200 x 1080 output, 1920 x 1080 and a 1280 x 1024 that leaves a
// strip below it: each shows the scene as an output of its own size would, every copy is cut to its
// monitor, and a copy that misses a monitor is not made for it.
TEST_F(NativeVideoTest, EachMonitorShowsTheSceneAsAnOutputOfItsOwnAndNothingLiesOutsideThem) {
  const SurfaceRect left{0, 0, 1920, 1080};
  const SurfaceRect right{1920, 0, 3200, 1024};
  display->monitors = {2, {left, right}};
  render->outputWidth = 3200;
  render->outputHeight = 1080;
  const int sprite = Started();
  ASSERT_EQ(video->SecondaryWidth(), 854);  // the 16:9 monitor's columns: the 5:4 one shows their middle 600
  const int middle = 320 - video->FieldLeft();
  const int column20 = 20 - video->FieldLeft();  // a lone 1280 x 1024 output's first scene column
  // Where a draw's copy lies on each monitor (left, top, right, bottom); none where it misses the monitor.
  struct Case {
    const char* what;
    SurfaceRect source;
    int x, y;
    std::vector<float> onLeft, onRight;
  };
  // The 5:4 monitor is scaled by its height, 1024 / 480 output pixels a frame pixel; the 16:9 one by 2.25.
  const std::vector<Case> cases{
      {"the scene's middle", {0, 0, 3, 2}, middle, 240, {960, 540, 966.75f, 544.5f}, {2560, 512, 2566.4f, 516.267f}},
      {"scene column 20", {0, 0, 3, 2}, column20, 0, {285, 0, 291.75f, 4.5f}, {1920, 0, 1926.4f, 4.267f}},
      // The frame overhangs the left monitor by three quarters of a pixel at each side; the right one shows
      // none of the frame's sides.
      {"the frame's first column", {0, 0, 1, 1}, 0, 0, {-0.75f, 0, 1.5f, 2.25f}, {}},
      // The frame's last pixel reaches past the left monitor's edge; the right one's last row is 1024.
      {"last pixel", {0, 0, 1, 1}, 853, 479, {1918.5f, 1077.75f, 1920.75f, 1080}, {}},
      {"last row", {0, 0, 1, 1}, middle, 479, {960, 1077.75f, 962.25f, 1080}, {2560, 1021.867f, 2562.133f, 1024}},
  };
  for (const Case& draw : cases) {
    SCOPED_TRACE(draw.what);
    ASSERT_EQ(video->Draw(draw.source, sprite, draw.x, draw.y), 0);
    video->Present();
    std::vector<std::pair<SurfaceRect, std::vector<float>>> wanted{{left, draw.onLeft}};
    if (!draw.onRight.empty()) wanted.push_back({right, draw.onRight});
    ASSERT_EQ(render->presented.size(), wanted.size());
    for (size_t index = 0; index < wanted.size(); ++index) {
      const FakeCopy& copy = render->presented[index];
      ASSERT_TRUE(copy.clip.has_value());
      const SurfaceRect& clip = *copy.clip;
      const SurfaceRect& want = wanted[index].first;
      EXPECT_EQ(std::tie(clip.left, clip.top, clip.right, clip.bottom),
                std::tie(want.left, want.top, want.right, want.bottom));
      const std::vector<float> edges = Edges(copy.to);
      for (size_t edge = 0; edge < edges.size(); ++edge) EXPECT_NEAR(edges[edge], wanted[index].second[edge], 1e-3);
      EXPECT_EQ(copy.from.right - copy.from.left, draw.source.right - draw.source.left);
    }
  }
  EXPECT_EQ(display->CallCount("GetMonitors"), 1);  // asked once, not per frame
}

// Which monitors there are decides the frame's columns, how many copies a draw makes and whether they are
// cut, and the largest monitor's scale decides whether twins are loaded. Where they cannot be told, the
// whole output is one monitor, as on a single display.
TEST_F(NativeVideoTest, TheMonitorsDecideColumnsCopiesAndTwinsAndTheWholeOutputStandsInWhenTheyCannotBeTold) {
  struct Case {
    const char* what;
    int outputWidth, outputHeight;
    MonitorTable monitors;
    bool fails;
    int columns, copies, textureWidth;
  };
  const SurfaceRect wide{0, 0, 1920, 1080};
  const SurfaceRect fiveFour{1920, 0, 3200, 1024};
  const SurfaceRect small{0, 0, 640, 480};
  const std::vector<Case> cases{
      {"16:9 beside 5:4", 3200, 1080, {2, {wide, fiveFour}}, false, 854, 2, 12},
      {"the same, unreadable: one 3200 x 1080 output", 3200, 1080, {2, {wide, fiveFour}}, true, 1120, 1, 12},
      {"a small one beside a large one: twins", 2560, 1080, {2, {small, {640, 0, 2560, 1080}}}, false, 854, 2, 12},
      {"two small ones: no twins", 1440, 600, {2, {small, {640, 0, 1440, 600}}}, false, 640, 2, 4},
      {"one reaching past the output, cut to it", 3200, 1080, {2, {wide, {1920, 0, 3840, 1080}}}, false, 854, 2, 12},
      {"one that is the whole output: no clip", 1920, 1080, {1, {wide}}, false, 854, 1, 12},
  };
  for (const Case& one : cases) {
    SCOPED_TRACE(one.what);
    render->outputWidth = one.outputWidth;
    render->outputHeight = one.outputHeight;
    display->monitors = one.monitors;
    display->monitorsFail = one.fails;
    render->clipsSet = 0;
    ASSERT_EQ(CreateWithTwins({}), 0);
    ASSERT_EQ(video->SecondaryWidth(), one.columns);
    int ground = SurfaceNone;
    ASSERT_EQ(video->CreateSurfaceB("ground", 1, ground, SurfaceAnySlot), 0);
    ASSERT_EQ(video->Draw({0, 0, 4, 2}, ground, 320 - video->FieldLeft(), 240), 0);
    video->Present();
    ASSERT_EQ(render->presented.size(), static_cast<size_t>(one.copies));
    const int cut = static_cast<int>(std::count_if(render->presented.begin(), render->presented.end(),
                                                   [](const FakeCopy& copy) { return copy.clip.has_value(); }));
    EXPECT_EQ(cut, one.copies > 1 ? one.copies : 0);
    EXPECT_EQ(render->clipsSet, cut);
    EXPECT_EQ(render->textures.at(render->presented[0].texture).width, one.textureWidth);
    video->DeleteSurface(ground);
  }
}

// Decoded by the loader or ahead on the worker, where the pixels go to the display whole.
TEST_F(NativeVideoTest, AJpegTwinOfAPictureKeyedOnExactBlackIsKeyedAtTheSheetThreshold) {
  // Left to right: compression's near-black (R + G + B 39), the threshold itself (40), a subject pixel.
  std::vector<uint8_t> pixels = SolidPixels(12, 6, 90, 90, 90);
  const uint8_t nearBlack[][3] = {{13, 13, 13}, {14, 13, 13}};
  for (int i = 0; i < 2; ++i) std::copy(nearBlack[i], nearBlack[i] + 3, pixels.begin() + 3 * i);
  PutArchive(
      {{kBmpPicture, "sheet", MakeSolidBmp(4, 2, 0, 0, 0)}, {kJpegPicture, "sheetx3", MakeFakeJpeg(12, 6, pixels)}});
  CreateArgs args;
  args.depth = 32;
  args.resourcePath = kInstall;
  args.highResolution = 1;
  ASSERT_EQ(video->Create(args), 0);
  for (const bool ahead : {false, true}) {
    SCOPED_TRACE(ahead ? "decoded ahead" : "decoded by the loader");
    if (ahead) video->ExpectPictures(std::vector<std::string>{"sheet"}, std::vector<int>{0});
    jpeg->calls.clear();
    render->presented.clear();
    int sheet = SurfaceNone;
    ASSERT_EQ(video->CreateSurfaceA("sheet", 0, 0, sheet, SurfaceAnySlot, 0), 0);
    EXPECT_EQ(std::count(jpeg->calls.begin(), jpeg->calls.end(), "ReadImage"), ahead ? 0 : 1);
    EXPECT_EQ(video->Surfaces().slots[sheet].blackThreshold, kHighResolutionSheetThreshold);  // kept for reloads
    ASSERT_EQ(video->Draw({0, 0, 4, 2}, sheet, 0, 0), 0);
    video->Present();
    ASSERT_EQ(render->presented.size(), 1u);
    const FakeTexture& twin = render->textures.at(render->presented[0].texture);
    EXPECT_TRUE(twin.transparent);
    EXPECT_EQ(twin.pixels[0] >> 24, 0u);     // keyed
    EXPECT_EQ(twin.pixels[1] >> 24, 0xFFu);  // at the threshold: kept
    EXPECT_EQ(twin.pixels[2], 0xFF5A5A5Au);
    EXPECT_EQ(twin.pixels[12 * 5 + 11], 0xFF5A5A5Au) << "the bottom right, top row first";
    video->DeleteSurface(sheet);
  }
}

TEST_F(NativeVideoTest, LooseFilesFollowTheSameRuleAndOnlyOnTheNativePath) {
  PutLoose("ground", "bmp", MakeSolidBmp(4, 2, 1, 2, 3));
  PutLoose("groundx3", "jpg", MakeFakeJpeg(12, 6, SolidPixels(12, 6, 4, 5, 6)));
  for (const int highResolution : {1, 0}) {
    CreateArgs args;
    args.depth = 32;
    args.useArchive = 0;
    args.resourcePath = kInstall;
    args.highResolution = highResolution;
    ASSERT_EQ(video->Create(args), 0);
    int ground = SurfaceNone;
    ASSERT_EQ(video->CreateSurfaceB("ground", 0, ground, SurfaceAnySlot), 0);
    EXPECT_EQ(video->Surfaces().slots[ground].width, 4);
    ASSERT_EQ(video->Draw({0, 0, 4, 2}, ground, 0, 0), 0);
    video->Present();
    ASSERT_EQ(render->presented.size(), 1u);
    EXPECT_EQ(render->textures.at(render->presented[0].texture).width, highResolution ? 12 : 4);
    EXPECT_EQ(render->presented[0].from.right, highResolution ? 12 : 4);
    video->DeleteSurface(ground);
  }
}

// A twin that cannot be decoded, or is not three times its picture's size, never hides the picture: it
// is drawn from its own pixels, smoothly scaled, with a warning.
TEST_F(NativeVideoTest, APictureWhoseTwinIsDamagedIsDrawnFromItsOwnPixels) {
  const std::string ground = MakeSolidBmp(4, 2, 1, 2, 3);
  const std::string twin = MakeSolidBmp(12, 6, 4, 5, 6);
  const PackItem damaged[] = {{kJpegPicture, "groundx3", "random bytes, no JPEG at all"},
                              {kBmpPicture, "groundx3", twin.substr(0, twin.size() / 2)},
                              {kBmpPicture, "groundx3", MakeBmp(9000, 9000, "")},
                              {kBmpPicture, "groundx3", ground},
                              {kJpegPicture, "groundx3", MakeFakeJpeg(12, 7, SolidPixels(12, 7, 4, 5, 6))}};
  for (const PackItem& item : damaged) {
    SCOPED_TRACE(item.bytes.substr(0, 40));
    for (const int useArchive : {1, 0}) {
      video.reset();
      report = std::make_unique<Report>(static_cast<int>(ReportMode::FileLogging), kInstall);
      if (useArchive) {
        PutArchive({{kBmpPicture, "ground", ground}, item});
      } else {
        files.files.clear();
        PutLoose("ground", "bmp", ground);
        PutLoose("groundx3", item.type == kJpegPicture ? "jpg" : "bmp", item.bytes);
      }
      video = std::make_unique<VideoSystem>(
          report.get(), CreateNativeDisplayLayer(std::make_unique<FakeDisplay>(), std::make_unique<FakeRenderDevice>()),
          std::make_unique<FakeJpegDecoder>());
      CreateArgs args;
      args.depth = 32;
      args.useArchive = useArchive;
      args.resourcePath = kInstall;
      args.highResolution = 1;
      ASSERT_EQ(video->Create(args), 0);
      int surface = SurfaceNone;
      ASSERT_EQ(video->CreateSurfaceB("ground", 0, surface, SurfaceAnySlot), 0);
      EXPECT_EQ(video->Surfaces().slots[surface].width, 4);
      EXPECT_EQ(video->Surfaces().slots[surface].pictureScale, 1);
      EXPECT_TRUE(HasMessage(MessageKind::Warning, "LoadGraphics",
                             "graph object <groundx3> was not loaded, <ground> is shown instead"));
    }
  }
}

// On a display that shows the five-times twins, a broken one gives way to the three-times twin.
TEST_F(NativeVideoTest, ABrokenFiveTimesTwinGivesWayToTheThreeTimesOne) {
  render->outputWidth = 3840;
  render->outputHeight = 2160;
  ASSERT_EQ(CreateWithTwins({{kJpegPicture, "groundx5", "random bytes, no JPEG at all"}}), 0);
  int surface = SurfaceNone;
  ASSERT_EQ(video->CreateSurfaceB("ground", 0, surface, SurfaceAnySlot), 0);
  EXPECT_EQ(video->Surfaces().slots[surface].pictureScale, kHighResolutionScale);
  EXPECT_TRUE(HasMessage(MessageKind::Warning, "LoadGraphics",
                         "graph object <groundx5> was not loaded, <groundx3> is shown instead"));
}

TEST_F(NativeVideoTest, RendererFailuresAreTheVideoObjectsOwnFailures) {
  render->openFails = true;
  render->failureReason = "no GL context";
  EXPECT_EQ(CreateVideo(1, 32), 2);
  EXPECT_TRUE(HasMessage(MessageKind::Error, "CreateFullScreen", "primary surface was not created"));
  EXPECT_TRUE(HasMessage(MessageKind::Warning, "CreateFullScreen", "reason: no GL context"));

  render->openFails = false;
  const int sprite = Started();
  // Each fault fails its draw alone; the next draw, without it, tries again and succeeds.
  auto failsOnceWith = [&](bool FakeRenderDevice::*fault) {
    render->*fault = true;
    EXPECT_EQ(video->Draw({0, 0, 3, 2}, sprite, 5, 6), 1);
    render->*fault = false;
    EXPECT_EQ(video->Draw({0, 0, 3, 2}, sprite, 5, 6), 0);
  };
  failsOnceWith(&FakeRenderDevice::textureFails);  // the first draw makes the texture
  video->SetGamma(5);                              // the next one uploads again
  failsOnceWith(&FakeRenderDevice::uploadFails);
  failsOnceWith(&FakeRenderDevice::copyFails);
  EXPECT_EQ(render->textures.begin()->second.uploads, 2);
  EXPECT_TRUE(HasMessage(MessageKind::Warning, "Draw",
                         "blitting was failed [from <sprite>(0) (0,0,3,2) to secondary buffer (5,6)]"));
  EXPECT_EQ(render->copies.size(), 3u);
}

}  // namespace
}  // namespace sylvora
