// Feeds any bytes to the BMP loader as a loose picture and converts what it accepts into a surface:
// a picture or the "is incorrect" error, never a crash or an out-of-bounds read.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/video/loose_video.h"
#include "tests/doubles/video/fake_jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sylvora;
  static LooseVideo loose(std::make_unique<FakeJpegDecoder>());
  const int handle = loose.Load(data, size, "bmp");
  if (handle != SurfaceNone) {
    loose.Video().Draw({0, 0, 640, 480}, handle, 0, 0);
    loose.Video().DeleteSurface(handle);
  }
  return 0;
}
