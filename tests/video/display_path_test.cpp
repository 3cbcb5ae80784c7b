// The choice between the classic and the native display path, on the in-memory file system.
#include "video/display_path.h"

#include "tests/video/video_test_support.h"

namespace sylvora {
namespace {

TEST_F(VideoTest, TheNativePathIsChosenOnlyWhereTheHighResolutionPicturesAreInstalledAndNotRetro) {
  EXPECT_EQ(ChooseDisplayPath(false, kInstall, "back0_0"), DisplayPath::Classic);  // no index at all
  PutArchive({{kJpegPicture, "back0_0", "x"}});
  EXPECT_EQ(ChooseDisplayPath(false, kInstall, "back0_0"), DisplayPath::Classic);
  PutArchive({{kJpegPicture, "back0_0", "x"}, {kJpegPicture, "back0_0x3", "y"}});
  EXPECT_EQ(ChooseDisplayPath(false, kInstall, "back0_0"), DisplayPath::Native);
  EXPECT_EQ(ChooseDisplayPath(true, kInstall, "back0_0"), DisplayPath::Classic);
  EXPECT_EQ(report->MessageCount(), 1);  // only the constructor's: the look is silent
}

}  // namespace
}  // namespace sylvora
