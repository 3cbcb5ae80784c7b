// The display device and its modes: mode choice and fallbacks, every creation message, pixel format,
// video memory, gamma arithmetic, restoration and destruction.
#include <climits>

#include "tests/video/video_test_support.h"

namespace sylvora {
namespace {

using Kind = MessageKind;

TEST_F(VideoTest, ConstructionEnablesSafeBlitting) {
  EXPECT_EQ(video->SafeBlitting(), 1);
  EXPECT_TRUE(HasMessage(Kind::Report, "EnableSafeBlitting", "safe blitting enabled"));
  EXPECT_EQ(video->GammaAvailable(), 0);
  EXPECT_EQ(video->Surfaces().slotCount, 0);
}

TEST_F(VideoTest, FullScreenKeepsTheDesktopResolutionAtTheRequestedDepth) {
  display->desktop = {1280, 1024, 32};
  ASSERT_EQ(CreateVideo(1, 16, 0, 800, 600), 0);
  EXPECT_EQ(display->modeSet.width, 1280);
  EXPECT_EQ(display->modeSet.depth, 16);
  EXPECT_EQ(display->CallCount("SetDisplayMode 1280x1024x16"), 1);
  EXPECT_EQ(display->CallCount("SetDisplayMode 800x600x16"), 0);
  int width = 0, height = 0, depth = 0;
  video->QueryDisplayMode(width, height, depth);
  EXPECT_EQ(width, 1280);
  EXPECT_EQ(height, 1024);
  EXPECT_EQ(depth, 16);
  EXPECT_EQ(video->SecondaryWidth(), 800);
  EXPECT_EQ(video->SecondaryHeight(), 600);
  EXPECT_EQ(video->IsFullScreen(), 1);
  EXPECT_EQ(video->ConversionDepth(), 16);
  EXPECT_EQ(video->Reserved(), 1024);
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "safe blitting enabled",
                         "video driver: fake driver",
                         "video driver desc: fake display for tests",
                         "video memory: 32768 Kb (16384 Kb free)",
                         "IDirectDrawGammaControl interface was successfully created",
                         "fullscreen mode 1280x1024x16 was installed successfully (pixel format: 565)",
                     }));
  // The secondary buffer was asked for in video memory and starts black.
  const FakeSurface* secondary = FakeDisplay::Of(video->Secondary());
  EXPECT_EQ(secondary->memory, SurfaceMemory::Video);
  EXPECT_EQ(secondary->PixelAt(799, 599), 0u);
}

TEST_F(VideoTest, FullScreenFallsBackToTheRequestedMode) {
  display->desktop = {1280, 1024, 32};
  display->refusedModes = {"1280x1024x16"};
  ASSERT_EQ(CreateVideo(1, 16, 0, 640, 480), 0);
  int width = 0, height = 0, depth = 0;
  video->QueryDisplayMode(width, height, depth);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  EXPECT_EQ(depth, 16);
  EXPECT_TRUE(HasMessage(Kind::Report, "CreateFullScreen",
                         "fullscreen mode 640x480x16 was installed successfully (pixel format: 565)"));
}

TEST_F(VideoTest, FullScreenFailsWhenNeitherModeCanBeSet) {
  display->refusedModes = {"1024x768x16", "640x480x16"};
  EXPECT_EQ(CreateVideo(), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "CreateFullScreen", "display mode 640x480x16 was not installed"));
  EXPECT_EQ(report->LastError().text, "display mode 640x480x16 was not installed");
}

TEST_F(VideoTest, Width320AsksForModeX) {
  ASSERT_EQ(CreateVideo(1, 16, 0, 320, 240), 0);
  EXPECT_TRUE(display->modeX);
  EXPECT_EQ(display->CallCount("CreatePrimary modeX"), 1);
}

// One failing platform call of full-screen creation and what it must leave behind.
struct CreationFault {
  const char* name;
  void (*inject)(FakeDisplay&);
  int fullScreen;
  int result;
  Kind kind;
  const char* function;
  const char* text;
};

class VideoCreationFaultTest : public VideoTest, public ::testing::WithParamInterface<CreationFault> {};

TEST_P(VideoCreationFaultTest, ReportsAndReturns) {
  const CreationFault& fault = GetParam();
  fault.inject(*display);
  EXPECT_EQ(CreateVideo(fault.fullScreen), fault.result);
  EXPECT_TRUE(HasMessage(fault.kind, fault.function, fault.text)) << ::testing::PrintToString(Texts());
}

const CreationFault kCreationFaults[] = {
    {"Device", [](FakeDisplay& d) { d.createDeviceFails = true; }, 1, 2, Kind::Error, "Create",
     "DirectDraw7 interface was not created"},
    {"Identifier", [](FakeDisplay& d) { d.identifierFails = true; }, 1, 0, Kind::Warning, "GetVideoDesc",
     "description of video driver was not received"},
    {"DesktopMode", [](FakeDisplay& d) { d.displayModeFails = true; }, 1, 0, Kind::Warning, "Create",
     "current videomode was not detected"},
    {"DesktopModeWindowed", [](FakeDisplay& d) { d.displayModeFails = true; }, 0, 2, Kind::Error, "CreateWindowed",
     "current videomode was not detected"},
    {"Cooperation", [](FakeDisplay& d) { d.cooperativeLevelFails = true; }, 1, 2, Kind::Error, "CreateFullScreen",
     "level of cooperation was not installed"},
    {"CooperationWindowed", [](FakeDisplay& d) { d.cooperativeLevelFails = true; }, 0, 2, Kind::Error,
     "CreateWindowed", "level of cooperation was not installed"},
    {"VideoMemory", [](FakeDisplay& d) { d.videoMemoryFails = true; }, 1, 0, Kind::Warning, "GetVideoMemory",
     "volume of video memory was not received"},
    {"Primary", [](FakeDisplay& d) { d.primaryFails = true; }, 1, 2, Kind::Error, "CreateFullScreen",
     "primary surface was not created"},
    {"PrimaryWindowed", [](FakeDisplay& d) { d.primaryFails = true; }, 0, 2, Kind::Error, "CreateWindowed",
     "primary surface was not created"},
    {"BackBuffer", [](FakeDisplay& d) { d.videoSurfacesFail = d.systemSurfacesFail = true; }, 1, 2, Kind::Error,
     "CreateFullScreen", "back buffer was not created"},
    {"BackBufferWindowed", [](FakeDisplay& d) { d.videoSurfacesFail = d.systemSurfacesFail = true; }, 0, 2,
     Kind::Error, "CreateWindowed", "back buffer was not created"},
    {"PixelFormat", [](FakeDisplay& d) { d.pixelFormatFails = true; }, 1, 2, Kind::Error, "StorePixelFormat",
     "pixel format was not received"},
    {"GammaControl", [](FakeDisplay& d) { d.gammaControlFails = true; }, 1, 0, Kind::Warning, "CreateFullScreen",
     "IDirectDrawGammaControl interface was not created"},
    {"GammaRamp", [](FakeDisplay& d) { d.getGammaFails = true; }, 1, 0, Kind::Warning, "StoreGamma",
     "current gamma was not stored"},
    {"Clipper", [](FakeDisplay& d) { d.clipperFails = true; }, 0, 2, Kind::Error, "CreateWindowed",
     "clipper was not created"},
    {"ClipperWindow", [](FakeDisplay& d) { d.clipperWindowFails = true; }, 0, 2, Kind::Error, "CreateWindowed",
     "window handle was not attached to clipper"},
    {"ClipperAttach", [](FakeDisplay& d) { d.attachClipperFails = true; }, 0, 2, Kind::Error, "CreateWindowed",
     "clipper was not attached to primary surface"},
};

INSTANTIATE_TEST_SUITE_P(Video, VideoCreationFaultTest, ::testing::ValuesIn(kCreationFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VideoTest, TheRendererThatPresentsIsReported) {
  display->presenterName = "opengl";
  ASSERT_EQ(CreateVideo(1), 0);
  EXPECT_TRUE(HasMessage(Kind::Report, "CreateFullScreen", "frames are presented by the opengl renderer"));
  EXPECT_EQ(CreateVideo(0), 0);
  EXPECT_TRUE(HasMessage(Kind::Report, "CreateWindowed", "frames are presented by the opengl renderer"));
}

// The library's own reason follows the failure's message as a warning; the last error stays the message.
TEST_F(VideoTest, AnAdaptersReasonFollowsItsFailureWithoutBecomingTheLastError) {
  display->createDeviceFails = true;
  display->failureReason = "No available video device";
  EXPECT_EQ(CreateVideo(1), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "Create", "DirectDraw7 interface was not created"));
  EXPECT_TRUE(HasMessage(Kind::Warning, "Create", "reason: No available video device"));
  EXPECT_EQ(report->LastError().text, "DirectDraw7 interface was not created");
}

TEST_F(VideoTest, UnknownDesktopTakesTheRequestedSize) {
  display->displayModeFails = true;
  ASSERT_EQ(CreateVideo(1, 16, 0, 800, 600), 0);
  EXPECT_EQ(display->CallCount("SetDisplayMode 800x600x16"), 1);
}

TEST_F(VideoTest, BackBufferFallsBackToSystemMemory) {
  display->videoSurfacesFail = true;
  ASSERT_EQ(CreateVideo(), 0);
  EXPECT_EQ(FakeDisplay::Of(video->Secondary())->memory, SurfaceMemory::System);
}

TEST_F(VideoTest, WindowedModeUsesTheDesktopFormatAndNoGamma) {
  display->desktop = {1280, 1024, 32};
  display->redMask = 0xFF0000;
  display->greenMask = 0x00FF00;
  display->blueMask = 0x0000FF;
  ASSERT_EQ(CreateVideo(0, 16), 0);
  EXPECT_EQ(video->IsFullScreen(), 0);
  EXPECT_EQ(video->ConversionDepth(), 32);
  EXPECT_EQ(video->GammaAvailable(), 0);
  EXPECT_EQ(display->CallCount("CreateGammaControl"), 0);
  EXPECT_EQ(display->CallCount("SetDisplayMode 1280x1024x16"), 0);
  EXPECT_TRUE(HasMessage(Kind::Report, "CreateWindowed",
                         "primary surface was successfully created, free video memory: 16384 Kb"));
  EXPECT_TRUE(HasMessage(Kind::Report, "CreateWindowed",
                         "back buffer was successfully created, free video memory: 16384 Kb"));
  EXPECT_TRUE(HasMessage(Kind::Report, "CreateWindowed",
                         "windowed mode 640x480x32 was installed successfully (pixel format: 888)"));
  int width = 0, height = 0, depth = 0;
  video->QueryDisplayMode(width, height, depth);
  EXPECT_EQ(width, 1280);
  EXPECT_EQ(depth, 16);
  video->SetGamma(100);
  EXPECT_EQ(display->CallCount("SetGammaRamp"), 0);
}

TEST_F(VideoTest, PixelFormatShiftsAndBitsComeFromTheMasks) {
  struct Case {
    uint32_t red, green, blue;
    PixelFormat expected;
  };
  const Case cases[] = {
      {0xF800, 0x07E0, 0x001F, {11, 5, 0, 5, 6, 5}},
      {0x7C00, 0x03E0, 0x001F, {10, 5, 0, 5, 5, 5}},
      {0xFF0000, 0x00FF00, 0x0000FF, {16, 8, 0, 8, 8, 8}},
  };
  ASSERT_EQ(CreateVideo(), 0);
  for (const Case& c : cases) {
    display->redMask = c.red;
    display->greenMask = c.green;
    display->blueMask = c.blue;
    ASSERT_EQ(video->StorePixelFormat(), 0);
    const PixelFormat& f = video->Format();
    EXPECT_EQ((std::vector<int>{f.redShift, f.greenShift, f.blueShift, f.redBits, f.greenBits, f.blueBits}),
              (std::vector<int>{c.expected.redShift, c.expected.greenShift, c.expected.blueShift, c.expected.redBits,
                                c.expected.greenBits, c.expected.blueBits}))
        << std::hex << c.red;
  }
}

TEST_F(VideoTest, VideoMemoryIsCappedAt64Megabytes) {
  int total = -1, free = -1;
  display->videoMemoryTotal = 0x3FFFFFF;
  display->videoMemoryFree = 0x4000000;
  ASSERT_EQ(video->GetVideoMemory(total, free), 0);
  EXPECT_EQ(total, 65535);
  EXPECT_EQ(free, 65535);
  display->videoMemoryTotal = 0x3FFFC00 - 1;
  display->videoMemoryFree = 2047;
  ASSERT_EQ(video->GetVideoMemory(total, free), 0);
  EXPECT_EQ(total, 65534);
  EXPECT_EQ(free, 1);
  display->videoMemoryFails = true;
  EXPECT_EQ(video->GetVideoMemory(total, free), 1);
  EXPECT_EQ(total, 65534);  // untouched on failure
}

TEST_F(VideoTest, DriverTextsStopAtNulAndAreBlankWhenUnknown) {
  display->driverName = std::string("abc\0def", 7);
  display->driverDescription = std::string(600, 'x');
  ASSERT_EQ(video->GetVideoDesc(), 0);
  EXPECT_EQ(video->DriverName(), "abc");
  EXPECT_EQ(video->DriverDescription().size(), 512u);
  display->identifierFails = true;
  EXPECT_EQ(video->GetVideoDesc(), 1);
  EXPECT_EQ(video->DriverName(), " ");
  EXPECT_EQ(video->DriverDescription(), " ");
}

class VideoGammaTest : public VideoTest {
 protected:
  void SetUp() override {
    display->rampAsFound.red[0] = 65000;
    display->rampAsFound.green[0] = 120;
    display->rampAsFound.blue[0] = 65485;
    display->rampAsFound.blue[1] = 50;
    ASSERT_EQ(CreateVideo(), 0);
    ASSERT_EQ(video->GammaAvailable(), 1);
  }
};

TEST_F(VideoGammaTest, BrighterStepsStopBelowTheCeiling) {
  video->SetGamma(450);
  EXPECT_EQ(display->lastSetRamp.red[0], 65500);
  EXPECT_EQ(display->lastSetRamp.blue[0], 65485);       // 65485 or more stays
  EXPECT_EQ(display->lastSetRamp.green[0], 22620);
  EXPECT_EQ(display->lastSetRamp.red[255], 65535);
  EXPECT_EQ(display->lastSetRamp.red[1], 257 + 450 * 50);
}

TEST_F(VideoGammaTest, DarkerStepsStopAtTheFloor) {
  video->SetGamma(-300);
  EXPECT_EQ(display->lastSetRamp.green[0], 20);
  EXPECT_EQ(display->lastSetRamp.blue[1], 50);          // 50 or less stays
  EXPECT_EQ(display->lastSetRamp.red[0], 65000 - 300 * 50);
  EXPECT_EQ(display->lastSetRamp.red[255], 65535 - 300 * 50);
  video->SetGamma(-1);
  EXPECT_EQ(display->lastSetRamp.green[0], 70);         // always from the stored ramp
}

TEST_F(VideoGammaTest, ZeroAndTheMostNegativeValuePutTheStoredRampBack) {
  video->SetGamma(0);
  EXPECT_EQ(display->lastSetRamp.red, display->rampAsFound.red);
  EXPECT_EQ(display->lastSetRamp.green, display->rampAsFound.green);
  video->SetGamma(INT_MIN);
  EXPECT_EQ(display->lastSetRamp.blue, display->rampAsFound.blue);
  EXPECT_EQ(display->setRampCount, 2);
}

TEST_F(VideoGammaTest, AFailedChangeSwitchesGammaOff) {
  display->setGammaFails = true;
  video->SetGamma(75);
  EXPECT_TRUE(HasMessage(Kind::Warning, "SetGamma", "gamma was not changed"));
  EXPECT_EQ(video->GammaAvailable(), 0);
  EXPECT_FALSE(display->gammaControl);
  display->setGammaFails = false;
  video->SetGamma(75);
  EXPECT_EQ(display->setRampCount, 0);
}

TEST_F(VideoTest, UseArchiveOtherThanOneMeansLooseFiles) {
  ASSERT_EQ(CreateVideo(1, 16, 2), 0);
  EXPECT_EQ(video->ArchiveMode(), 0);
  EXPECT_EQ(Texts().back(), "fullscreen mode 1024x768x16 was installed successfully (pixel format: 565)");
}

TEST_F(VideoTest, ArchiveModeReadsTheIndexAndFailsWithoutIt) {
  EXPECT_EQ(CreateVideo(1, 16, 1), 2);
  EXPECT_EQ(report->LastError().text, "nrx-file(data.nrx) was not found");
  PutArchive({{0, "pic", MakeSolidBmp(2, 2, 1, 2, 3)}, {3, "song", "ogg"}});
  EXPECT_EQ(CreateVideo(1, 16, 1), 0);
  EXPECT_TRUE(HasMessage(Kind::Report, "LoadResHeader",
                         "nrx-file(data.nrx) was successfully loaded, 1 graphic objects was found"));
  int index = -1;
  EXPECT_EQ(video->FindGraphicEntry("pic", index), 0);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(video->FindGraphicEntry("song", index), 1);
}

TEST_F(VideoTest, SecondCreateReleasesTheDeviceObjectsButKeepsTheSlots) {
  ASSERT_EQ(CreateVideo(), 0);
  PutLoose("pic", "bmp", MakeSolidBmp(4, 4, 0, 0, 200));
  int handle = SurfaceNone;
  ASSERT_EQ(video->CreateSurfaceB("pic", 0, handle, SurfaceAnySlot), 0);
  ASSERT_EQ(CreateVideo(), 0);
  EXPECT_EQ(display->CallCount("ReleaseDevice"), 1);
  EXPECT_EQ(display->live.size(), 3u);  // new primary and secondary, and the kept slot
  EXPECT_EQ(video->IsValidSurface(handle), 1);
}

TEST_F(VideoTest, DestroyRestoresTheModeAndReleasesEverything) {
  ASSERT_EQ(CreateVideo(), 0);
  PutLoose("pic", "bmp", MakeSolidBmp(4, 4, 0, 0, 200));
  int first = SurfaceNone, second = SurfaceNone;
  ASSERT_EQ(video->CreateSurfaceA("pic", 1, 0, first, SurfaceAnySlot, 0), 0);
  ASSERT_EQ(video->CreateSurfaceB("pic", 0, second, SurfaceAnySlot), 0);
  video.reset();
  ASSERT_FALSE(journal->empty());
  EXPECT_EQ(journal->back(), "destroyed with 0 live surfaces");
  const auto restore = std::find(journal->begin(), journal->end(), "RestoreDisplayMode");
  const auto gamma = std::find(journal->begin(), journal->end(), "ReleaseGammaControl");
  const auto device = std::find(journal->begin(), journal->end(), "ReleaseDevice");
  EXPECT_TRUE(restore < gamma && gamma < device && device != journal->end());
}

TEST_F(VideoTest, WindowedDestroyLeavesTheDisplayModeAlone) {
  ASSERT_EQ(CreateVideo(0), 0);
  video.reset();
  EXPECT_EQ(std::count(journal->begin(), journal->end(), "RestoreDisplayMode"), 0);
  EXPECT_EQ(journal->back(), "destroyed with 0 live surfaces");
}

class VideoRestoreTest : public VideoTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateVideo(), 0);
    PutLoose("scene", "bmp", MakeSolidBmp(4, 2, 0, 0, 200));
    PutLoose("sprite", "bmp", MakeSolidBmp(2, 2, 0, 200, 0));
    PutLoose("late", "bmp", MakeSolidBmp(2, 2, 200, 0, 0));
    ASSERT_EQ(video->CreateSurfaceA("scene", 1, 0, scene, SurfaceAnySlot, 30), 0);
    ASSERT_EQ(video->CreateSurfaceB("sprite", 0, sprite, SurfaceAnySlot), 0);
    ASSERT_EQ(video->CreateSurfaceB("late", 1, late, SurfaceAnySlot), 0);
  }
  FakeSurface* SurfaceOfSlot(int slot) { return FakeDisplay::Of(video->Surfaces().slots[slot].surface); }
  int scene = SurfaceNone, sprite = SurfaceNone, late = SurfaceNone;
};

TEST_F(VideoRestoreTest, NothingHappensWhileSuspendedOrWhenNothingWasLost) {
  FakeDisplay::Of(video->Primary())->lost = true;
  video->Suspend();
  EXPECT_EQ(video->Restore(), 0);
  EXPECT_EQ(display->CallCount("IsLost"), 0);
  video->Resume();
  FakeDisplay::Of(video->Primary())->lost = false;
  EXPECT_EQ(video->Restore(), 0);
  EXPECT_EQ(display->CallCount("RestoreSurface"), 0);
}

TEST_F(VideoRestoreTest, RestoresEverySurfaceAndReloadsTheVideoMemoryPictures) {
  FakeDisplay::Of(video->Primary())->lost = true;
  SurfaceOfSlot(scene)->SetPixel(0, 0, 0x1234);
  SurfaceOfSlot(sprite)->SetPixel(0, 0, 0x1234);
  EXPECT_EQ(video->Restore(), 1);
  EXPECT_EQ(display->CallCount("RestoreSurface"), 5);
  EXPECT_EQ(SurfaceOfSlot(scene)->PixelAt(0, 0), 0xC800u);   // reloaded
  EXPECT_EQ(SurfaceOfSlot(sprite)->PixelAt(0, 0), 0x1234u);  // system memory: not reloaded
  EXPECT_TRUE(HasMessage(Kind::Report, "Restore", "all surfaces were restored"));
}

TEST_F(VideoRestoreTest, StopsAtTheFirstPictureThatCannotBeReloaded) {
  FakeDisplay::Of(video->Primary())->lost = true;
  files.files.erase(NativePath(std::string(kInstall) + "graphics\\scene.bmp"));
  SurfaceOfSlot(late)->SetPixel(0, 0, 0x1234);
  EXPECT_EQ(video->Restore(), 1);
  EXPECT_TRUE(HasMessage(Kind::Warning, "Restore", "surface N0(scene) was not restored"));
  EXPECT_EQ(SurfaceOfSlot(late)->PixelAt(0, 0), 0x1234u);
  EXPECT_FALSE(HasMessage(Kind::Report, "Restore", "all surfaces were restored"));
}

}  // namespace
}  // namespace sylvora
