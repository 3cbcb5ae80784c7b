// Feeds any bytes to the JPEG loader on the real TurboJPEG decoder and converts what it accepts into a
// surface: a picture or one of the loader's errors, never a crash or an out-of-bounds write.
#include <turbojpeg.h>

#include <cstddef>
#include <cstdint>

#include "fuzz/video/loose_video.h"
#include "video/jpeg_turbojpeg.h"

namespace {

// Inputs claiming larger pictures only cost memory and time here; the loader's size limit has its own test.
constexpr int kLargestFuzzedSide = 2048;

bool SmallEnough(const uint8_t* data, size_t size) {
  static tjhandle header = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourSpace = 0;
  if (tjDecompressHeader3(header, data, static_cast<unsigned long>(size), &width, &height, &subsampling,
                          &colourSpace) != 0) {
    return true;  // the loader refuses it by itself
  }
  return width <= kLargestFuzzedSide && height <= kLargestFuzzedSide;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sylvora;
  static LooseVideo loose(CreateTurboJpegDecoder());
  if (size == 0 || !SmallEnough(data, size)) return 0;
  const int handle = loose.Load(data, size, "jpg");
  if (handle != SurfaceNone) loose.Video().DeleteSurface(handle);
  return 0;
}
