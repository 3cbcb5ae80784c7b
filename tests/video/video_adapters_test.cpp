// The real adapters: TurboJPEG decoding pictures the tests encode, and the SDL2 display layer composing
// and presenting a frame on SDL's dummy video driver, read back from the renderer.
#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "report/report.h"
#include "tests/doubles/video/fake_display.h"
#include "tests/video/video_test_support.h"
#include "video/display_native.h"
#include "video/display_sdl.h"
#include "video/jpeg_turbojpeg.h"
#include "video/render_device_sdl.h"
#include "video/retained_render_device.h"
#include "video/video_system.h"

namespace sylvora {
namespace {

// A JPEG of width x height top-down pixels in pixelFormat, made by TurboJPEG itself.
std::string EncodeJpeg(const std::vector<uint8_t>& pixels, int width, int height, int pixelFormat, int subsampling) {
  tjhandle encoder = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int result = tjCompress2(encoder, pixels.data(), width, 0, height, pixelFormat, &jpeg, &size, subsampling,
                                 100, 0);
  std::string bytes = result == 0 ? std::string(reinterpret_cast<char*>(jpeg), size) : std::string();
  tjFree(jpeg);
  tjDestroy(encoder);
  return bytes;
}

// Top-down RGB rows: the top half red, the bottom half blue.
std::vector<uint8_t> RedOverBlue(int width, int height) {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (y < height / 2) rgb.insert(rgb.end(), {230, 20, 20});
      else rgb.insert(rgb.end(), {20, 20, 230});
    }
  }
  return rgb;
}

MATCHER_P2(Near, expected, tolerance, "") { return std::abs(static_cast<int>(arg) - expected) <= tolerance; }

// Decodes bytes with the real decoder into the picture layout rows; empty on failure.
std::vector<uint8_t> Decode(const std::string& bytes, JpegHeader& header, uint8_t fill = 0xAB,
                            PixelRows rows = PixelRows::BottomUpBgr) {
  std::unique_ptr<JpegDecoder> decoder = CreateTurboJpegDecoder();
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  if (!decoder->Init() || !decoder->ReadHeader(data, bytes.size(), header)) return {};
  const int rowBytes = PictureBuffer::RowBytes(header.width, rows);
  std::vector<uint8_t> pixels(static_cast<size_t>(rowBytes) * header.height, fill);
  if (!decoder->ReadImage(pixels.data(), rowBytes, rows)) return {};
  decoder->Free();
  return pixels;
}

TEST(TurboJpegTest, DecodesBottomUpBlueGreenRedRows) {
  JpegHeader header;
  const auto pixels = Decode(EncodeJpeg(RedOverBlue(8, 4), 8, 4, TJPF_RGB, TJSAMP_444), header);
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(header.width, 8);
  EXPECT_EQ(header.height, 4);
  EXPECT_EQ(header.channels, 3);
  // The first stored row is the picture's bottom row: blue; the last is the top: red.
  EXPECT_THAT((std::vector<uint8_t>{pixels[0], pixels[1], pixels[2]}),
              ::testing::ElementsAre(Near(230, 6), Near(20, 6), Near(20, 6)));
  const size_t top = 3 * 24;
  EXPECT_THAT((std::vector<uint8_t>{pixels[top], pixels[top + 1], pixels[top + 2]}),
              ::testing::ElementsAre(Near(20, 6), Near(20, 6), Near(230, 6)));
}

TEST(TurboJpegTest, RowsArePaddedAndThePadIsLeftAlone) {
  JpegHeader header;
  const auto pixels = Decode(EncodeJpeg(RedOverBlue(5, 3), 5, 3, TJPF_RGB, TJSAMP_444), header);
  ASSERT_EQ(pixels.size(), 48u);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(pixels[row * 16 + 15], 0xAB) << row;
  EXPECT_THAT(pixels[16 * 2 + 14], Near(230, 6));  // the top row's last red byte
}

TEST(TurboJpegTest, GreyscaleExpandsToThreeEqualChannels) {
  std::vector<uint8_t> grey(6 * 2);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 20);
  JpegHeader header;
  const auto pixels = Decode(EncodeJpeg(grey, 6, 2, TJPF_GRAY, TJSAMP_GRAY), header);
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(header.channels, 1);
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(pixels[3 * x], pixels[3 * x + 1]);
    EXPECT_EQ(pixels[3 * x], pixels[3 * x + 2]);
    EXPECT_THAT(pixels[3 * x], Near(grey[6 + x], 3));  // bottom row first
  }
}

// A display that takes pixels whole gets the very values of the bottom-up rows, top row first, each
// pixel widened to four bytes with an opaque fourth.
TEST(TurboJpegTest, TopDownFourBytePixelsHoldTheBottomUpRowsValues) {
  std::vector<uint8_t> grey(7 * 3);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 11);
  std::vector<uint8_t> cmyk;
  for (int i = 0; i < 7 * 3; ++i) cmyk.insert(cmyk.end(), {200, static_cast<uint8_t>(i * 9), 50, 160});
  const std::string pictures[] = {EncodeJpeg(RedOverBlue(7, 3), 7, 3, TJPF_RGB, TJSAMP_420),
                                  EncodeJpeg(grey, 7, 3, TJPF_GRAY, TJSAMP_GRAY),
                                  EncodeJpeg(cmyk, 7, 3, TJPF_CMYK, TJSAMP_444)};
  for (const std::string& bytes : pictures) {
    JpegHeader header;
    const auto bottomUp = Decode(bytes, header);
    const auto topDown = Decode(bytes, header, 0, PixelRows::TopDownBgrx);
    ASSERT_EQ(topDown.size(), 7u * 4 * 3) << header.channels;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 7; ++x) {
        const uint8_t* bgr = &bottomUp[static_cast<size_t>(2 - y) * 24 + 3 * x];
        const uint8_t* bgrx = &topDown[static_cast<size_t>(y) * 28 + 4 * x];
        EXPECT_EQ(std::vector<uint8_t>(bgrx, bgrx + 4), (std::vector<uint8_t>{bgr[0], bgr[1], bgr[2], 0xFF}))
            << header.channels << " channels, " << x << "," << y;
      }
    }
  }
}

TEST(TurboJpegTest, CmykIsConvertedToBlueGreenRed) {
  // Inverted-ink CMYK (255 = no ink): C 200, M 100, Y 50 with no black ink reads as R 200, G 100, B 50;
  // with K 128 each component is about halved.
  std::vector<uint8_t> cmyk;
  for (int i = 0; i < 16; ++i) cmyk.insert(cmyk.end(), {200, 100, 50, 255});
  for (int i = 0; i < 16; ++i) cmyk.insert(cmyk.end(), {200, 100, 50, 128});
  JpegHeader header;
  const auto pixels = Decode(EncodeJpeg(cmyk, 4, 8, TJPF_CMYK, TJSAMP_444), header);
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(header.channels, 4);
  const size_t top = 7 * 12;  // the top row, from the first CMYK rows
  EXPECT_THAT((std::vector<uint8_t>{pixels[top], pixels[top + 1], pixels[top + 2]}),
              ::testing::ElementsAre(Near(50, 6), Near(100, 6), Near(200, 6)));
  EXPECT_THAT((std::vector<uint8_t>{pixels[0], pixels[1], pixels[2]}),
              ::testing::ElementsAre(Near(25, 6), Near(50, 6), Near(100, 6)));
}

TEST(TurboJpegTest, GarbageHasNoHeader) {
  JpegHeader header;
  EXPECT_TRUE(Decode("\xFF\xD8 not really a jpeg", header).empty());
  EXPECT_TRUE(Decode("", header).empty());
}

// A temporary installation directory on disk, removed afterwards.
class TempInstall {
 public:
  TempInstall() {
    char pattern[] = "/tmp/sylvora-video-XXXXXX";
    path_ = mkdtemp(pattern);
    std::filesystem::create_directories(path_ + "/graphics");
  }
  ~TempInstall() { std::filesystem::remove_all(path_); }
  // The resource path as the shell hands it over: with a trailing backslash.
  std::string ResourcePath() const { return path_ + "\\"; }
  void Put(const std::string& relative, const std::string& bytes) const {
    std::ofstream(path_ + "/" + relative, std::ios::binary) << bytes;
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

TEST(TurboJpegTest, VideoSystemLoadsARealJpegFromDisk) {
  TempInstall install;
  install.Put("graphics/layer.jpg", EncodeJpeg(RedOverBlue(16, 8), 16, 8, TJPF_RGB, TJSAMP_444));
  install.Put("graphics/layer.bmp", MakeSolidBmp(16, 8, 0, 255, 0));
  auto report = std::make_unique<Report>(static_cast<int>(ReportMode::Quiet), install.Path() + "/");
  auto display = std::make_unique<FakeDisplay>();
  FakeDisplay* fake = display.get();
  VideoSystem video(report.get(), std::move(display), CreateTurboJpegDecoder());
  CreateArgs args;
  args.useArchive = 0;
  args.resourcePath = install.ResourcePath();
  ASSERT_EQ(video.Create(args), 0);
  int handle = SurfaceNone;
  ASSERT_EQ(video.CreateSurfaceA("layer", 1, 0, handle, SurfaceAnySlot, 30), 0) << report->LastError().text;
  const FakeSurface* surface = FakeDisplay::Of(video.Surfaces().slots[handle].surface);
  EXPECT_EQ(fake->CallCount("SetColourKey"), 1);
  EXPECT_EQ(surface->PixelAt(0, 0) >> 11, 230u >> 3);      // red on top (the JPEG, not the green BMP)
  EXPECT_EQ(surface->PixelAt(15, 7) & 0x1F, 230u >> 3);    // blue at the bottom
  // TurboJPEG's own words for a broken file follow the loader's message.
  install.Put("graphics/broken.jpg", "\xFF\xD8\xFF\xE0 not a picture");
  EXPECT_EQ(video.CreateSurfaceA("broken", 1, 0, handle, SurfaceAnySlot, 30), 2);
  const ReportMessage& reason = report->WarningEntry(report->WarningCount() - 1);
  EXPECT_EQ(reason.text.rfind("reason: ", 0), 0u) << reason.text;
  EXPECT_GT(reason.text.size(), 10u);
}

// ---- SDL2 display layer on the dummy video driver ----

class SdlDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_OVERRIDE);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    window_ = SDL_CreateWindow("video test", 0, 0, 640, 480, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    report_ = std::make_unique<Report>(static_cast<int>(ReportMode::FileLogging), install_.Path() + "/");
    video_ = std::make_unique<VideoSystem>(report_.get(), CreateSdlDisplayLayer(false), CreateTurboJpegDecoder());
  }
  void TearDown() override {
    video_.reset();
    if (window_) SDL_DestroyWindow(window_);
    SDL_Quit();
  }
  int Create(int width, int height, int depth = 16) {
    CreateArgs args;
    args.width = width;
    args.height = height;
    args.depth = depth;
    args.useArchive = 0;
    args.window = reinterpret_cast<NativeWindow*>(window_);
    args.resourcePath = install_.ResourcePath();
    return video_->Create(args);
  }
  // A green background and a red 8 x 8 sprite whose top-left 4 x 4 quarter is black (transparent).
  void LoadBackAndSprite(int& back, int& sprite) {
    install_.Put("graphics/back.bmp", MakeSolidBmp(160, 120, 0, 255, 0));
    std::string rows;
    for (int y = 7; y >= 0; --y) {
      for (int x = 0; x < 8; ++x) rows += (x < 4 && y < 4) ? std::string(3, '\0') : std::string("\0\0\xFF", 3);
    }
    install_.Put("graphics/sprite.bmp", MakeBmp(8, 8, rows));
    ASSERT_EQ(video_->CreateSurfaceB("back", 1, back, SurfaceAnySlot), 0);
    ASSERT_EQ(video_->CreateSurfaceA("sprite", 0, 0, sprite, SurfaceAnySlot, 0), 0);
  }
  bool HasText(const std::string& text) const {
    for (int i = 0; i < report_->MessageCount(); ++i) {
      if (report_->Message(i).text == text) return true;
    }
    return false;
  }
  // The presented frame, as 0xAARRGGBB values, with its size.
  std::vector<uint32_t> ReadScreen(int& width, int& height) {
    SDL_Renderer* renderer = SDL_GetRenderer(window_);
    SDL_GetRendererOutputSize(renderer, &width, &height);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), width * 4) != 0) return {};
    return pixels;
  }

  TempInstall install_;
  SDL_Window* window_ = nullptr;
  std::unique_ptr<Report> report_;
  std::unique_ptr<VideoSystem> video_;
};

TEST_F(SdlDisplayTest, FullScreenEmulatesRgb565AndTakesTheFallbackPaths) {
  ASSERT_EQ(Create(640, 480), 0) << report_->LastError().text;
  int width = 0, height = 0, depth = 0;
  video_->QueryDisplayMode(width, height, depth);
  SDL_DisplayMode desktop;
  SDL_GetDesktopDisplayMode(0, &desktop);
  EXPECT_EQ(width, desktop.w);
  EXPECT_EQ(height, desktop.h);
  EXPECT_EQ(depth, 16);
  EXPECT_TRUE(HasText("video driver: dummy"));
  EXPECT_TRUE(HasText("volume of video memory was not received"));
  EXPECT_TRUE(HasText("IDirectDrawGammaControl interface was successfully created"));
  EXPECT_TRUE(HasText("fullscreen mode " + std::to_string(desktop.w) + "x" + std::to_string(desktop.h) +
                      "x16 was installed successfully (pixel format: 565)"));
  install_.Put("graphics/sprite.bmp", MakeSolidBmp(4, 4, 0, 0, 255));
  int handle = SurfaceNone;
  ASSERT_EQ(video_->CreateSurfaceA("sprite", 1, 0, handle, SurfaceAnySlot, 0), 0);
  EXPECT_TRUE(HasText("graph object <sprite> was successfully loaded and placed in the system memory (not in the "
                      "video memory) [0]"));
  EXPECT_EQ(video_->Surfaces().slots[handle].inVideoMemory, 0);
}

TEST_F(SdlDisplayTest, AComposedFrameIsStretchedOverTheWindow) {
  ASSERT_EQ(Create(160, 120), 0) << report_->LastError().text;
  int back = SurfaceNone, sprite = SurfaceNone;
  LoadBackAndSprite(back, sprite);
  ASSERT_EQ(video_->Draw({0, 0, 160, 120}, back, 0, 0), 0);
  ASSERT_EQ(video_->Draw({0, 0, 8, 8}, sprite, 80, 60), 0);
  video_->Present();

  int width = 0, height = 0;
  const auto screen = ReadScreen(width, height);
  ASSERT_FALSE(screen.empty()) << SDL_GetError();
  ASSERT_GT(width, 160);  // the frame is stretched, not copied
  auto at = [&](int bufferX, int bufferY) {
    // The centre of the screen area that buffer pixel (bufferX, bufferY) covers.
    const int x = (2 * bufferX + 1) * width / 320;
    const int y = (2 * bufferY + 1) * height / 240;
    return screen[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
  };
  EXPECT_EQ(at(10, 10), 0x00FF00u);
  EXPECT_EQ(at(81, 61), 0x00FF00u);  // the sprite's black quarter shows the background
  EXPECT_EQ(at(86, 66), 0xFF0000u);
  EXPECT_EQ(at(159, 119), 0x00FF00u);
}

// SDL encodes a keyed surface when it is first blitted; a fill and a new key must still reach it.
TEST_F(SdlDisplayTest, AKeyedSlotAlreadyDrawnCanBeClearedAndGivenANewKey) {
  ASSERT_EQ(Create(16, 8), 0) << report_->LastError().text;
  install_.Put("graphics/back.bmp", MakeSolidBmp(16, 8, 0, 255, 0));
  std::string rows;  // left half black, right half red
  for (int i = 0; i < 8 * 8; ++i) rows += (i % 8 < 4) ? std::string(3, '\0') : std::string("\0\0\xFF", 3);
  install_.Put("graphics/sprite.bmp", MakeBmp(8, 8, rows));
  int back = SurfaceNone, sprite = SurfaceNone;
  ASSERT_EQ(video_->CreateSurfaceB("back", 1, back, SurfaceAnySlot), 0);
  ASSERT_EQ(video_->CreateSurfaceA("sprite", 0, 0, sprite, SurfaceAnySlot, 0), 0);
  auto frame = [&](int expectedLeft, int expectedRight) {
    ASSERT_EQ(video_->Draw({0, 0, 16, 8}, back, 0, 0), 0);
    ASSERT_EQ(video_->Draw({0, 0, 8, 8}, sprite, 0, 0), 0);
    video_->Present();
    int width = 0, height = 0;
    const auto screen = ReadScreen(width, height);
    ASSERT_FALSE(screen.empty());
    const int y = height / 2;
    EXPECT_EQ(screen[static_cast<size_t>(y) * width + width / 16] & 0xFFFFFF, static_cast<uint32_t>(expectedLeft));
    EXPECT_EQ(screen[static_cast<size_t>(y) * width + 6 * width / 16] & 0xFFFFFF,
              static_cast<uint32_t>(expectedRight));
  };
  frame(0x00FF00, 0xFF0000);                           // black is the key
  ASSERT_EQ(video_->SetTransparentColor(sprite, 0xF800), 0);  // now red is
  frame(0x000000, 0x00FF00);
  ASSERT_EQ(video_->ClearSurface(sprite), 0) << report_->LastError().text;
  frame(0x000000, 0x000000);                           // all black, none of it the key
}

TEST_F(SdlDisplayTest, BrightnessIsAppliedWhilePresenting) {
  ASSERT_EQ(Create(64, 48), 0);
  install_.Put("graphics/grey.bmp", MakeSolidBmp(64, 48, 128, 128, 128));
  int grey = SurfaceNone;
  ASSERT_EQ(video_->CreateSurfaceB("grey", 0, grey, SurfaceAnySlot), 0);
  ASSERT_EQ(video_->Draw({0, 0, 64, 48}, grey, 0, 0), 0);
  video_->Present();
  int width = 0, height = 0;
  auto screen = ReadScreen(width, height);
  ASSERT_FALSE(screen.empty());
  // 128 keeps 16 of 32 red levels, shown as 132; +450 steps take ramp entry 132 x 257 to 56424, shown as 220.
  EXPECT_EQ((screen[0] >> 16) & 0xFF, 132u);
  video_->SetGamma(450);
  video_->Present();
  screen = ReadScreen(width, height);
  EXPECT_EQ((screen[0] >> 16) & 0xFF, 220u);
  video_->SetGamma(0);
  video_->Present();
  screen = ReadScreen(width, height);
  EXPECT_EQ((screen[0] >> 16) & 0xFF, 132u);
}

TEST_F(SdlDisplayTest, ARendererResetRunsTheRestorePath) {
  ASSERT_EQ(Create(64, 48), 0);
  install_.Put("graphics/grey.bmp", MakeSolidBmp(64, 48, 128, 128, 128));
  int grey = SurfaceNone;
  ASSERT_EQ(video_->CreateSurfaceB("grey", 0, grey, SurfaceAnySlot), 0);
  SDL_Event reset{};
  reset.type = SDL_RENDER_TARGETS_RESET;
  ASSERT_EQ(SDL_PushEvent(&reset), 1);
  video_->Present();
  EXPECT_TRUE(HasText("all surfaces were restored"));
  ASSERT_EQ(video_->Draw({0, 0, 64, 48}, grey, 0, 0), 0);
  video_->Present();
  int width = 0, height = 0;
  const auto screen = ReadScreen(width, height);
  ASSERT_FALSE(screen.empty());
  EXPECT_EQ((screen[0] >> 16) & 0xFF, 132u);
}

TEST_F(SdlDisplayTest, ThirtyTwoBitsUsesXrgb) {
  ASSERT_EQ(Create(64, 48, 32), 0);
  EXPECT_EQ(video_->Format().redShift, 16);
  EXPECT_EQ(video_->Format().redBits, 8);
  install_.Put("graphics/colour.bmp", MakeSolidBmp(64, 48, 50, 100, 200));
  int colour = SurfaceNone;
  ASSERT_EQ(video_->CreateSurfaceB("colour", 0, colour, SurfaceAnySlot), 0);
  ASSERT_EQ(video_->Draw({0, 0, 64, 48}, colour, 0, 0), 0);
  video_->Present();
  int width = 0, height = 0;
  const auto screen = ReadScreen(width, height);
  ASSERT_FALSE(screen.empty());
  EXPECT_EQ(screen[0] & 0xFFFFFF, 0xC86432u);
}

TEST_F(SdlDisplayTest, ModeXIsRefused) {
  EXPECT_EQ(Create(320, 240), 2);
  EXPECT_EQ(report_->LastError().text, "level of cooperation was not installed");
}

// The native path on SDL's renderer: the frame is drawn at the output's size, keyed edges carry no dark
// fringe, and after a device reset the pictures come back on the new renderer.
TEST_F(SdlDisplayTest, TheNativePathDrawsAtTheOutputsSizeAndSurvivesADeviceReset) {
  video_ = std::make_unique<VideoSystem>(
      report_.get(), CreateNativeDisplayLayer(CreateSdlDisplayLayer(false), CreateSdlRenderDevice(false)),
      CreateTurboJpegDecoder());
  ASSERT_EQ(Create(160, 120, 32), 0) << report_->LastError().text;
  int back = SurfaceNone, sprite = SurfaceNone;
  LoadBackAndSprite(back, sprite);
  auto drawAndRead = [&](int& width, int& height) {
    EXPECT_EQ(video_->Draw({0, 0, 160, 120}, back, 0, 0), 0);
    EXPECT_EQ(video_->Draw({0, 0, 8, 8}, sprite, 80, 60), 0);
    video_->Present();
    return ReadScreen(width, height);
  };
  int width = 0, height = 0;
  auto screen = drawAndRead(width, height);
  ASSERT_FALSE(screen.empty()) << SDL_GetError();
  ASSERT_GT(width, 160);
  auto at = [&](int frameX, int frameY) {
    const int x = (2 * frameX + 1) * width / 320;
    const int y = (2 * frameY + 1) * height / 240;
    return screen[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
  };
  EXPECT_EQ(at(10, 10), 0x00FF00u);
  EXPECT_EQ(at(81, 61), 0x00FF00u);  // the key shows the background
  EXPECT_EQ(at(86, 66), 0xFF0000u);
  // Along the sprite's edges red only ever mixes with green: nothing darker than the two.
  int darker = 0;
  for (int y = 60 * height / 120 - 2; y < 68 * height / 120 + 2; ++y) {
    for (int x = 80 * width / 160 - 2; x < 88 * width / 160 + 2; ++x) {
      const uint32_t pixel = screen[static_cast<size_t>(y) * width + x];
      darker += ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) < 250;
    }
  }
  EXPECT_EQ(darker, 0);

  SDL_Event reset{};
  reset.type = SDL_RENDER_DEVICE_RESET;
  ASSERT_EQ(SDL_PushEvent(&reset), 1);
  video_->Present();
  EXPECT_TRUE(HasText("all surfaces were restored"));
  screen = drawAndRead(width, height);
  ASSERT_FALSE(screen.empty()) << SDL_GetError();
  EXPECT_EQ(at(86, 66), 0xFF0000u);
  EXPECT_EQ(at(10, 10), 0x00FF00u);
}

}  // namespace
}  // namespace sylvora

namespace sylvora {
namespace {

// Redrawing only what changed, on SDL's own software renderer, shows frame after frame exactly the pixels
// a whole redraw shows: soft-edged sprites moving (past the output's edges too), coming and going and
// changing places in the order, one picture's pixels replaced, a copy cut to a clip.
TEST(RetainedRenderingTest, EveryFrameShowsExactlyTheWholeRedrawsPixels) {
  constexpr int kWidth = 96;
  constexpr int kHeight = 64;
  constexpr int kSprite = 12;
  std::vector<uint32_t> wholeShown;
  std::vector<uint32_t> retainedShown;
  const std::unique_ptr<RenderDevice> whole = CreateSdlMemoryRenderDevice(kWidth, kHeight, &wholeShown);
  const std::unique_ptr<RenderDevice> retained =
      CreateRetainedRenderDevice(CreateSdlMemoryRenderDevice(kWidth, kHeight, &retainedShown));
  std::vector<uint32_t> ground(kWidth * kHeight);
  for (size_t index = 0; index < ground.size(); ++index)
    ground[index] = 0xFF000000u | static_cast<uint32_t>(index * 2654435761u >> 8);
  std::vector<uint32_t> sprite(kSprite * kSprite);
  for (int index = 0; index < kSprite * kSprite; ++index) {
    const int edge =
        std::min({index % kSprite, kSprite - 1 - index % kSprite, index / kSprite, kSprite - 1 - index / kSprite});
    sprite[index] = static_cast<uint32_t>(std::min(255, edge * 70)) << 24 | 0xC08040u;
  }
  for (RenderDevice* device : {whole.get(), retained.get()}) {
    ASSERT_TRUE(device->Open(nullptr));
    ASSERT_EQ(device->CreateTexture(kWidth, kHeight, false), 1);
    ASSERT_EQ(device->CreateTexture(kSprite, kSprite, true), 2);
    ASSERT_TRUE(device->UploadTexture(1, ground.data(), kWidth));
    ASSERT_TRUE(device->UploadTexture(2, sprite.data(), kSprite));
  }
  int left[3] = {4, 40, 80};
  int top[3] = {4, 30, 50};
  uint32_t seed = 7;
  const auto random = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<uint32_t>(range));
  };
  for (int frame = 0; frame < 80; ++frame) {
    for (int index = 0; index < 3; ++index) {
      if (random(3) == 0) continue;  // some frames a sprite stands still
      left[index] += random(7) - 3;
      top[index] += random(5) - 2;
    }
    std::vector<int> order = frame % 10 < 5 ? std::vector<int>{0, 1, 2} : std::vector<int>{1, 0};
    if (frame == 40) {
      // A smaller picture: where the old one showed must be drawn again too.
      std::fill(sprite.begin(), sprite.end(), 0u);
      for (int row = 4; row < 8; ++row) std::fill_n(sprite.begin() + row * kSprite + 4, 4, 0x80FF00FFu);
      ASSERT_TRUE(whole->UploadTexture(2, sprite.data(), kSprite));
      ASSERT_TRUE(retained->UploadTexture(2, sprite.data(), kSprite));
    }
    for (RenderDevice* device : {whole.get(), retained.get()}) {
      ASSERT_TRUE(device->Clear());
      ASSERT_TRUE(device->Copy(1, {0, 0, kWidth, kHeight}, {0, 0, kWidth, kHeight}));
      for (const int index : order) {
        const SurfaceRect clip{0, 0, kWidth / 2, kHeight};
        ASSERT_TRUE(device->SetClip(index == 1 && frame % 13 < 4 ? &clip : nullptr));
        const auto x = static_cast<float>(left[index]);
        const auto y = static_cast<float>(top[index]);
        ASSERT_TRUE(device->Copy(2, {0, 0, kSprite, kSprite}, {x, y, x + kSprite, y + kSprite}));
      }
      ASSERT_TRUE(device->SetClip(nullptr));
      ASSERT_TRUE(device->Present());
    }
    ASSERT_EQ(retainedShown, wholeShown) << "frame " << frame;
  }
}

}  // namespace
}  // namespace sylvora
