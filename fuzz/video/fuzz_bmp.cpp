// Feeds any bytes to the BMP loader as a loose picture and converts what it accepts into a surface:
// a picture or the "is incorrect" error, never a crash or an out-of-bounds read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "report/report.h"
#include "tests/doubles/memory_files.h"
#include "tests/doubles/video/fake_display.h"
#include "tests/doubles/video/fake_jpeg.h"
#include "video/video_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sylvora;
  static MemoryFileSystem files;
  static ScopedFileSystem installed(files);
  static Report report(1, "/install/");
  static FakeDisplay* display = nullptr;
  static VideoSystem* video = [] {
    auto fake = std::make_unique<FakeDisplay>();
    display = fake.get();
    auto* created = new VideoSystem(&report, std::move(fake), std::make_unique<FakeJpegDecoder>());
    CreateArgs args;
    args.useArchive = 0;
    args.resourcePath = "/install/";
    created->Create(args);
    return created;
  }();
  display->calls.clear();  // the double records every call; keep its memory flat
  files.Put("/install/graphics/pic.bmp", std::string(reinterpret_cast<const char*>(data), size));
  int handle = SurfaceNone;
  if (video->CreateSurfaceA("pic", 0, 0, handle, SurfaceAnySlot, 30) == 0) {
    video->Draw({0, 0, 640, 480}, handle, 0, 0);
    video->DeleteSurface(handle);
  }
  return 0;
}
