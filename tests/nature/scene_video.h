#pragma once
// A NatureTest with a real VideoSystem on the fake display (32 bits per pixel, so every pixel of the
// secondary buffer is the 0xRRGGBB of the picture pixel drawn there) and an in-memory install directory
// holding the scene test pictures in data.nrx.
#include <memory>

#include "tests/doubles/memory_files.h"
#include "tests/doubles/video/fake_display.h"
#include "tests/doubles/video/fake_jpeg.h"
#include "tests/nature/nature_fixture.h"
#include "video/video_system.h"

namespace sylvora {

class SceneVideoTest : public NatureTest {
 protected:
  SceneVideoTest();

  // The colour at (x, y) of the secondary buffer.
  uint32_t PixelAt(int x, int y) const;
  // Fills the secondary buffer with black and draws one frame of the scene.
  void DrawFrame();
  // Blits (plain and colour-keyed) the display saw since the last call of this.
  int NewBlits();

  MemoryFileSystem files_;
  ScopedFileSystem scopedFiles_;
  FakeDisplay* display_ = nullptr;
  std::unique_ptr<VideoSystem> ownedVideo_;
  int blitsSeen_ = 0;
};

}  // namespace sylvora
