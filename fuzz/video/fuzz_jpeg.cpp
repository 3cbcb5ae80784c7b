// Feeds any bytes to the JPEG loader on the real TurboJPEG decoder and converts what it accepts into a
// surface: a picture or one of the loader's errors, never a crash or an out-of-bounds write.
#include <turbojpeg.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "report/report.h"
#include "tests/doubles/memory_files.h"
#include "tests/doubles/video/fake_display.h"
#include "video/jpeg_turbojpeg.h"
#include "video/video_system.h"

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
  static MemoryFileSystem files;
  static ScopedFileSystem installed(files);
  static Report report(1, "/install/");
  static FakeDisplay* display = nullptr;
  static VideoSystem* video = [] {
    auto fake = std::make_unique<FakeDisplay>();
    display = fake.get();
    auto* created = new VideoSystem(&report, std::move(fake), CreateTurboJpegDecoder());
    CreateArgs args;
    args.useArchive = 0;
    args.resourcePath = "/install/";
    created->Create(args);
    return created;
  }();
  if (size == 0 || !SmallEnough(data, size)) return 0;
  display->calls.clear();  // the double records every call; keep its memory flat
  files.Put("/install/graphics/pic.jpg", std::string(reinterpret_cast<const char*>(data), size));
  int handle = SurfaceNone;
  if (video->CreateSurfaceA("pic", 0, 0, handle, SurfaceAnySlot, 30) == 0) video->DeleteSurface(handle);
  return 0;
}
