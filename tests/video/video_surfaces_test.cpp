// The surface table and the picture loaders: slot reuse and the 1000 limit, archive and loose-file
// loading with every message, BMP and JPEG layouts, and refusal of malformed pictures.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/doubles/memory_ceiling.h"
#include "tests/video/video_test_support.h"

namespace sylvora {
namespace {

using Kind = MessageKind;

class VideoSurfaceTest : public VideoTest {
 protected:
  void SetUp() override { ASSERT_EQ(CreateVideo(), 0); }
  // No picture is held and no decode is open after a creating operation.
  void ExpectNothingHeld() {
    EXPECT_EQ(video->Picture().pixels, nullptr);
    EXPECT_EQ(jpeg->initialised, 0);
  }
};

TEST_F(VideoSurfaceTest, CreateSurfaceAFromALooseBmp) {
  PutLoose("back0_1", "bmp", MakeSolidBmp(3, 2, 10, 20, 30));
  int handle = -1;
  ASSERT_EQ(video->CreateSurfaceA("back0_1", 1, 0x1F, handle, SurfaceAnySlot, 90), 0);
  EXPECT_EQ(handle, 0);
  const SurfaceSlot& slot = video->Surfaces().slots[0];
  EXPECT_EQ(slot.name, "back0_1");
  EXPECT_EQ(slot.width, 3);
  EXPECT_EQ(slot.height, 2);
  EXPECT_EQ(slot.hasColourKey, 1);
  EXPECT_EQ(slot.colourKey, 0x1Fu);
  EXPECT_EQ(slot.inVideoMemory, 1);
  EXPECT_EQ(slot.requestedVideoMemory, 1);
  EXPECT_EQ(slot.blackThreshold, 90);
  EXPECT_EQ(FakeDisplay::Of(slot.surface)->key, 0x1Fu);
  // A BMP is not thresholded: (10, 20, 30) sums to 60, below 90, and still is not black.
  EXPECT_NE(FakeDisplay::Of(slot.surface)->PixelAt(0, 0), 0u);
  EXPECT_TRUE(HasMessage(Kind::Report, "CreateSurfaceA",
                         "graph object <back0_1> was successfully loaded and placed in the video memory "
                         "(free video memory=16384 Kb) [0]"));
  ExpectNothingHeld();
}

TEST_F(VideoSurfaceTest, CreateSurfaceBHasNoKeyAndNoThreshold) {
  PutLoose("sky", "jpg", MakeFakeJpeg(2, 1, SolidPixels(2, 1, 5, 5, 5)));
  int handle = -1;
  ASSERT_EQ(video->CreateSurfaceB("sky", 0, handle, SurfaceAnySlot), 0);
  const SurfaceSlot& slot = video->Surfaces().slots[handle];
  EXPECT_EQ(slot.hasColourKey, 0);
  EXPECT_EQ(slot.blackThreshold, 0);
  EXPECT_FALSE(FakeDisplay::Of(slot.surface)->hasKey);
  EXPECT_EQ(FakeDisplay::Of(slot.surface)->PixelAt(1, 0), 0u << 11 | 1u << 5 | 0u);  // (5,5,5) kept
  EXPECT_TRUE(HasMessage(Kind::Report, "CreateSurfaceB",
                         "graph object <sky> was successfully loaded and placed in the system memory [0]"));
  ExpectNothingHeld();
}

TEST_F(VideoSurfaceTest, JpegPicturesAreThresholdedInCreateSurfaceA) {
  PutLoose("layer", "jpg", MakeFakeJpeg(2, 1, {10, 10, 9, 10, 10, 10}));
  int handle = -1;
  ASSERT_EQ(video->CreateSurfaceA("layer", 0, 0, handle, SurfaceAnySlot, 30), 0);
  const FakeSurface* surface = FakeDisplay::Of(video->Surfaces().slots[handle].surface);
  EXPECT_EQ(surface->PixelAt(0, 0), 0u);
  EXPECT_EQ(surface->PixelAt(1, 0), 1u << 11 | 2u << 5 | 1u);
  ExpectNothingHeld();
}

TEST_F(VideoSurfaceTest, RefusedVideoMemoryEndsInSystemMemoryAndIsNotReloaded) {
  display->videoSurfacesFail = true;
  PutLoose("pic", "bmp", MakeSolidBmp(2, 2, 0, 0, 255));
  int handle = -1;
  ASSERT_EQ(video->CreateSurfaceA("pic", 1, 0, handle, SurfaceAnySlot, 0), 0);
  EXPECT_EQ(video->Surfaces().slots[handle].inVideoMemory, 0);
  EXPECT_TRUE(HasMessage(Kind::Report, "CreateSurfaceA",
                         "graph object <pic> was successfully loaded and placed in the system memory (not in the "
                         "video memory) [0]"));
  FakeDisplay::Of(video->Primary())->lost = true;
  const int loads = display->CallCount("Lock");
  EXPECT_EQ(video->Restore(), 1);
  EXPECT_EQ(display->CallCount("Lock"), loads);
}

TEST_F(VideoSurfaceTest, FailedSurfaceCreationLeavesTheHandleAtNone) {
  display->systemSurfacesFail = true;
  PutLoose("pic", "bmp", MakeSolidBmp(2, 2, 0, 0, 255));
  int handle = 5;
  EXPECT_EQ(video->CreateSurfaceA("pic", 0, 0, handle, SurfaceAnySlot, 0), 2);
  EXPECT_EQ(handle, SurfaceNone);
  EXPECT_TRUE(HasMessage(Kind::Error, "CreateOffScreenSurface", "surface was not created in the system memory"));
  EXPECT_EQ(video->Surfaces().slotCount, 1);  // counted and free
  EXPECT_EQ(video->IsValidSurface(0), 0);
  ExpectNothingHeld();
  EXPECT_EQ(video->Draw({0, 0, 2, 2}, handle, 0, 0), 0);
  EXPECT_EQ(video->DeleteSurface(handle), 0);
}

TEST_F(VideoSurfaceTest, LockFailureFailsTheCreationButKeepsTheSlot) {
  display->newSurfacesFailToLock = true;
  PutLoose("pic", "bmp", MakeSolidBmp(2, 2, 0, 0, 255));
  int handle = 5;
  EXPECT_EQ(video->CreateSurfaceB("pic", 0, handle, SurfaceAnySlot), 2);
  EXPECT_EQ(handle, SurfaceNone);
  EXPECT_TRUE(HasMessage(Kind::Error, "CopyDib24ToSurface16", "surface N0 was not locked"));
  EXPECT_EQ(video->Surfaces().slots[0].inUse, 1);
  ExpectNothingHeld();
}

TEST_F(VideoSurfaceTest, ColourKeyFailureIsOnlyAWarning) {
  display->colourKeyFails = true;
  PutLoose("pic", "bmp", MakeSolidBmp(2, 2, 0, 0, 255));
  int handle = -1;
  ASSERT_EQ(video->CreateSurfaceA("pic", 0, 0, handle, SurfaceAnySlot, 0), 0);
  EXPECT_TRUE(HasMessage(Kind::Warning, "SetTransparentColor", "color key was not created"));
  EXPECT_EQ(video->Surfaces().slots[handle].hasColourKey, 1);
}

TEST_F(VideoSurfaceTest, DeletedSlotsAreTakenAgainFirst) {
  std::string placement;
  for (int i = 0; i < 10; ++i) {
    int handle = -1;
    ASSERT_EQ(video->CreateOffScreenSurface(4, 4, 0, handle, placement, SurfaceAnySlot), 0);
    ASSERT_EQ(handle, i);
  }
  EXPECT_EQ(placement, "in the system memory");
  ASSERT_EQ(video->DeleteSurface(3), 0);
  EXPECT_EQ(video->IsValidSurface(3), 0);
  EXPECT_EQ(video->Surfaces().slots[3].surface, nullptr);
  PutLoose("pic", "bmp", MakeSolidBmp(2, 2, 0, 0, 255));
  int handle = -1;
  ASSERT_EQ(video->CreateSurfaceB("pic", 0, handle, SurfaceAnySlot), 0);
  EXPECT_EQ(handle, 3);
  EXPECT_EQ(video->Surfaces().slotCount, 10);
}

TEST_F(VideoSurfaceTest, TheThousandthSlotIsTheLast) {
  std::string placement;
  for (int i = 0; i < kSurfaceCapacity; ++i) {
    int handle = -1;
    ASSERT_EQ(video->CreateOffScreenSurface(1, 1, 0, handle, placement, SurfaceAnySlot), 0);
  }
  PutLoose("pic", "bmp", MakeSolidBmp(2, 2, 0, 0, 255));
  int handle = 7;
  EXPECT_EQ(video->CreateSurfaceA("pic", 0, 0, handle, SurfaceAnySlot, 0), 2);
  EXPECT_EQ(handle, SurfaceNone);
  EXPECT_TRUE(HasMessage(Kind::Error, "CreateOffScreenSurface", "surface maximum is reached"));
  ExpectNothingHeld();
  ASSERT_EQ(video->DeleteSurface(500), 0);
  ASSERT_EQ(video->CreateSurfaceA("pic", 0, 0, handle, SurfaceAnySlot, 0), 0);
  EXPECT_EQ(handle, 500);
  EXPECT_EQ(video->Surfaces().slotCount, kSurfaceCapacity);
}

TEST_F(VideoSurfaceTest, ExplicitSlotsMustLieInTheTable) {
  std::string placement;
  int handle = -1;
  EXPECT_EQ(video->CreateOffScreenSurface(1, 1, 0, handle, placement, kSurfaceCapacity), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "CreateOffScreenSurface", "surface N1000 is invalid"));
  EXPECT_EQ(video->CreateOffScreenSurface(1, 1, 0, handle, placement, -1), 2);
  ASSERT_EQ(video->CreateOffScreenSurface(1, 1, 0, handle, placement, 4), 0);
  EXPECT_EQ(handle, 4);
  EXPECT_EQ(video->IsValidSurface(4), 1);
  ASSERT_EQ(video->CreateOffScreenSurface(2, 2, 0, handle, placement, 4), 0);  // replaces, nothing leaks
  EXPECT_EQ(display->live.size(), 3u);
}

TEST_F(VideoSurfaceTest, DeleteSurfaceRefusals) {
  const int before = report->MessageCount();
  EXPECT_EQ(video->DeleteSurface(SurfaceNone), 0);
  EXPECT_EQ(report->MessageCount(), before);
  EXPECT_EQ(video->DeleteSurface(7), 1);
  EXPECT_TRUE(HasMessage(Kind::Warning, "DeleteSurface", "surface N7 is invalid"));
  EXPECT_EQ(video->DeleteSurface(SurfaceSecondary), 1);
  EXPECT_NE(video->Secondary(), nullptr);
  EXPECT_EQ(display->CallCount("ReleaseSurface"), 0);
}

TEST_F(VideoSurfaceTest, DeleteWaitsForAnEarlierBlit) {
  std::string placement;
  int handle = -1;
  ASSERT_EQ(video->CreateOffScreenSurface(1, 1, 0, handle, placement, SurfaceAnySlot), 0);
  display->stillDrawingPolls = 3;
  display->calls.clear();
  ASSERT_EQ(video->DeleteSurface(handle), 0);
  EXPECT_EQ(display->calls, (std::vector<std::string>{"GetBltStatus", "GetBltStatus", "GetBltStatus", "GetBltStatus",
                                                      "ReleaseSurface"}));
}

TEST_F(VideoSurfaceTest, IsValidSurface) {
  EXPECT_EQ(video->IsValidSurface(SurfaceSecondary), 1);
  EXPECT_EQ(video->IsValidSurface(SurfaceNone), 0);
  EXPECT_EQ(video->IsValidSurface(0), 0);
  EXPECT_EQ(video->IsValidSurface(-1), 0);
}

// ---- Loose files ----

TEST_F(VideoSurfaceTest, LooseFilesPreferTheJpeg) {
  PutLoose("pic", "jpg", MakeFakeJpeg(1, 1, {1, 2, 3}));
  PutLoose("pic", "bmp", MakeSolidBmp(1, 1, 9, 9, 9));
  PictureKind kind = PictureKind::Bmp;
  ASSERT_EQ(video->LoadGraphics("pic", kind), 0);
  EXPECT_EQ(kind, PictureKind::Jpeg);
  EXPECT_EQ(video->Picture().Bytes()[2], 3);
}

TEST_F(VideoSurfaceTest, ABrokenJpegIsNotFollowedByTheBmp) {
  PutLoose("pic", "jpg", "not a jpeg");
  PutLoose("pic", "bmp", MakeSolidBmp(1, 1, 9, 9, 9));
  PictureKind kind = PictureKind::Bmp;
  EXPECT_EQ(video->LoadGraphics("pic", kind), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphicsFromJpg", "JPG parameters was not readed"));
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphics", "jpg graph file <pic> was not loaded"));
  EXPECT_EQ(jpeg->initialised, 0);
}

TEST_F(VideoSurfaceTest, LooseBmpAndMissingPictures) {
  PutLoose("pic", "bmp", "XM" + std::string(60, '\0'));
  PictureKind kind = PictureKind::Jpeg;
  EXPECT_EQ(video->LoadGraphics("pic", kind), 2);
  EXPECT_EQ(kind, PictureKind::Bmp);
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphicsFromBmp", "bmp graph file\\object <pic> is incorrect"));
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphics", "bmp graph file <pic> was not loaded"));
  EXPECT_EQ(video->LoadGraphics("nothing", kind), 2);
  EXPECT_EQ(report->LastError().text, "jpg or bmp graph file <nothing> was not found");
  EXPECT_EQ(video->LoadGraphicsFromBmp("nothing", LooseFileEntry), 2);
  EXPECT_EQ(report->LastError().text, "bmp graph file <nothing> was not found");
  EXPECT_EQ(video->LoadGraphicsFromJpg("nothing", LooseFileEntry), 2);
  EXPECT_EQ(report->LastError().text, "jpg graph file <nothing> was not found");
}

TEST_F(VideoSurfaceTest, BmpRowsArePaddedToFourBytes) {
  std::string rows(2 * 16, '\0');
  for (int i = 0; i < 15; ++i) rows[i] = static_cast<char>(i + 1);
  rows[15] = '\x7F';
  PutLoose("five", "bmp", MakeBmp(5, 2, rows));
  ASSERT_EQ(video->LoadGraphicsFromBmp("five", LooseFileEntry), 0);
  EXPECT_EQ(video->Picture().byteCount, 32u);  // file length - 54
  EXPECT_EQ(video->Picture().width, 5);
  EXPECT_EQ(video->Picture().height, 2);
  EXPECT_EQ(video->Picture().Bytes()[14], 15);
  EXPECT_EQ(video->Picture().Bytes()[15], 0x7F);
}

TEST_F(VideoSurfaceTest, FakeJpegOfFiveByThreeNeedsFortyEightBytes) {
  PutLoose("pic", "jpg", MakeFakeJpeg(5, 3, SolidPixels(5, 3, 1, 2, 3)));
  ASSERT_EQ(video->LoadGraphicsFromJpg("pic", LooseFileEntry), 0);
  EXPECT_EQ(video->Picture().byteCount, 48u);
  EXPECT_EQ(video->Picture().kind, PictureKind::Jpeg);
  EXPECT_EQ(jpeg->initialised, 1);  // the decode stays open until the picture is released
}

// A BMP whose headers do not describe what the file holds.
struct BadBmp {
  const char* name;
  std::string bytes;
};

std::string WithField(std::string bmp, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bmp[offset + i] = static_cast<char>(value >> (8 * i));
  return bmp;
}

class VideoBadBmpTest : public VideoSurfaceTest, public ::testing::WithParamInterface<BadBmp> {};

TEST_P(VideoBadBmpTest, IsRefusedAsIncorrect) {
  PutLoose("bad", "bmp", GetParam().bytes);
  EXPECT_EQ(video->LoadGraphicsFromBmp("bad", LooseFileEntry), 2);
  EXPECT_EQ(report->LastError().text, "bmp graph file\\object <bad> is incorrect");
  EXPECT_EQ(video->Picture().pixels, nullptr);
}

const std::string kGoodBmp = MakeSolidBmp(4, 4, 1, 2, 3);

INSTANTIATE_TEST_SUITE_P(
    Video, VideoBadBmpTest,
    ::testing::Values(BadBmp{"Empty", ""}, BadBmp{"ShorterThanHeaders", kGoodBmp.substr(0, 53)},
                      BadBmp{"HeadersOnly", kGoodBmp.substr(0, 54)},
                      BadBmp{"ZeroWidth", WithField(kGoodBmp, 18, 0)},
                      BadBmp{"ZeroHeight", WithField(kGoodBmp, 22, 0)},
                      BadBmp{"NegativeWidth", WithField(kGoodBmp, 18, 0xFFFFFFFC)},
                      BadBmp{"TopDown", WithField(kGoodBmp, 22, 0xFFFFFFFC)},
                      BadBmp{"AbsurdWidth", WithField(kGoodBmp, 18, 0x7FFFFFFF)},
                      BadBmp{"MoreRowsThanBytes", WithField(kGoodBmp, 22, 5)},
                      BadBmp{"TruncatedPixels", kGoodBmp.substr(0, kGoodBmp.size() - 1)},
                      BadBmp{"EightBit", WithField(kGoodBmp, 28, 8)},
                      BadBmp{"Compressed", WithField(kGoodBmp, 30, 1)},
                      BadBmp{"OtherPixelOffset", WithField(kGoodBmp, 10, 138)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VideoSurfaceTest, JpegLoaderFailures) {
  PutLoose("pic", "jpg", MakeFakeJpeg(2, 2, SolidPixels(2, 2, 1, 2, 3)));
  jpeg->initFails = true;
  EXPECT_EQ(video->LoadGraphicsFromJpg("pic", LooseFileEntry), 2);
  EXPECT_EQ(report->LastError().text, "IJL was not initialized");
  jpeg->initFails = false;
  jpeg->imageFails = true;
  EXPECT_EQ(video->LoadGraphicsFromJpg("pic", LooseFileEntry), 2);
  EXPECT_EQ(report->LastError().text, "jpg was not readed");
  EXPECT_EQ(jpeg->initialised, 0);
  EXPECT_EQ(video->Picture().pixels, nullptr);
}

// Sides beyond 16384, none, or more pixels than the budget are refused before the picture is allocated.
TEST_F(VideoSurfaceTest, JpegsBeyondThePictureLimitsAreRefused) {
  const std::pair<int, int> refused[] = {{16385, 1}, {0, 5}, {16384, 16384}, {5601, 2400}};
  for (const auto& [width, height] : refused) {
    PutLoose("huge", "jpg", MakeFakeJpeg(width, height, {}));
    EXPECT_EQ(video->LoadGraphicsFromJpg("huge", LooseFileEntry), 2) << width << "x" << height;
    EXPECT_EQ(report->LastError().text, "JPG parameters was not readed");
    EXPECT_EQ(jpeg->initialised, 0);
    EXPECT_EQ(std::count(jpeg->calls.begin(), jpeg->calls.end(), "ReadImage"), 0);
  }
}

// A small header on a huge file is not read whole: a file longer than the largest picture the budget
// allows is refused as unreadable before anything is allocated for it (sparse terabytes, on the disk).
TEST_F(VideoSurfaceTest, AHugeFileBehindASmallHeaderIsRefusedUnread) {
  char pattern[] = "/tmp/sylvora-huge-XXXXXX";
  const std::string directory = std::string(mkdtemp(pattern)) + "/";
  std::filesystem::create_directories(directory + "graphics");
  const std::pair<const char*, std::string> pictures[] = {{"bmp", MakeSolidBmp(1, 1, 1, 2, 3)},
                                                          {"jpg", MakeFakeJpeg(1, 1, SolidPixels(1, 1, 1, 2, 3))}};
  for (const auto& [extension, bytes] : pictures) {
    const std::string path = directory + "graphics/huge." + extension;
    std::ofstream(path, std::ios::binary) << bytes;
    ASSERT_EQ(truncate(path.c_str(), kSparseFileLength), 0);
  }
  UseFileSystem(nullptr);
  CreateArgs args;
  args.depth = 16;
  args.useArchive = 0;
  args.resourcePath = directory;
  ASSERT_EQ(video->Create(args), 0);
  EXPECT_TRUE(PassesUnderMemoryCeiling(kTestMemoryCeiling, [this] {
    return video->LoadGraphicsFromBmp("huge", LooseFileEntry) == 2 &&
           report->LastError().text == "bmp graph file\\object <huge> is incorrect" &&
           video->LoadGraphicsFromJpg("huge", LooseFileEntry) == 2 &&
           report->LastError().text == "JPG parameters was not readed";
  }));
  UseFileSystem(&files);
  std::filesystem::remove_all(directory);
}

// Only the rows a BMP's header describes are read; bytes after them are not part of the picture.
TEST_F(VideoSurfaceTest, ABmpIsReadToTheEndOfItsRows) {
  ASSERT_EQ(CreateVideo(1, 32), 0);
  PutLoose("tailed", "bmp", MakeSolidBmp(2, 1, 1, 2, 3) + std::string(1000, '\x7f'));
  ASSERT_EQ(video->LoadGraphicsFromBmp("tailed", LooseFileEntry), 0);
  EXPECT_EQ(video->Picture().byteCount, 8u);
}

// ---- Archive mode ----

class VideoArchiveSurfaceTest : public VideoTest {
 protected:
  void SetUp() override {
    PutArchive({{0, "bmp_pic", MakeSolidBmp(2, 2, 0, 0, 255)},
                {1, "jpg_pic", MakeFakeJpeg(2, 2, SolidPixels(2, 2, 255, 0, 0))},
                {0, "broken_bmp", "BX" + std::string(60, '\0')},
                {1, "broken_jpg", "garbage"}});
    ASSERT_EQ(CreateVideo(1, 16, 1), 0);
  }
};

TEST_F(VideoArchiveSurfaceTest, LoadsBothKindsFromTheDataFile) {
  int bmp = -1, jpg = -1;
  ASSERT_EQ(video->CreateSurfaceA("bmp_pic", 1, 0, bmp, SurfaceAnySlot, 30), 0);
  ASSERT_EQ(video->CreateSurfaceB("jpg_pic", 1, jpg, SurfaceAnySlot), 0);
  EXPECT_EQ(FakeDisplay::Of(video->Surfaces().slots[bmp].surface)->PixelAt(1, 1), 0xF800u);
  EXPECT_EQ(FakeDisplay::Of(video->Surfaces().slots[jpg].surface)->PixelAt(1, 1), 0x001Fu);
}

TEST_F(VideoArchiveSurfaceTest, FailuresNameTheObject) {
  PictureKind kind = PictureKind::Bmp;
  EXPECT_EQ(video->LoadGraphics("missing", kind), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphics", "graph object <missing> was not found"));
  EXPECT_EQ(video->LoadGraphics("broken_bmp", kind), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphicsFromBmp", "bmp graph file\\object <> is incorrect"));
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphics", "bmp graph object <broken_bmp> was not loaded"));
  EXPECT_EQ(video->LoadGraphics("broken_jpg", kind), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphicsFromJpg", "JPG parameters was not readed"));
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphics", "jpg graph object <broken_jpg> was not loaded"));
}

TEST_F(VideoArchiveSurfaceTest, MissingDataFile) {
  files.files.erase(NativePath(std::string(kInstall) + "data.dat"));
  PictureKind kind = PictureKind::Bmp;
  EXPECT_EQ(video->LoadGraphics("bmp_pic", kind), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphicsFromBmp", "res file <data.dat> was not found"));
  EXPECT_EQ(video->LoadGraphics("jpg_pic", kind), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphicsFromJpg", "res file <data.dat> was not found"));
}

TEST_F(VideoArchiveSurfaceTest, EntriesRunningPastTheEndOfTheirFileAreRefused) {
  std::string& data = files.files[NativePath(std::string(kInstall) + "data.dat")];
  const size_t bmpLength = MakeSolidBmp(2, 2, 0, 0, 255).size();
  data.resize(bmpLength + 10);  // the BMP is whole, the JPEG after it is cut short
  PictureKind kind = PictureKind::Bmp;
  EXPECT_EQ(video->LoadGraphics("jpg_pic", kind), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphicsFromJpg", "JPG parameters was not readed"));
  EXPECT_EQ(jpeg->calls.size(), 0u);  // nothing was handed to the decoder
  data.resize(bmpLength - 1);
  EXPECT_EQ(video->LoadGraphics("bmp_pic", kind), 2);
  EXPECT_TRUE(HasMessage(Kind::Error, "LoadGraphicsFromBmp", "bmp graph file\\object <> is incorrect"));
}

}  // namespace
}  // namespace sylvora
