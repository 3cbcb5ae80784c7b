#pragma once
// The video system both picture fuzzers feed: loose-file mode on the display double, made once per
// fuzzing process with the JPEG decoder the target wants.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "report/report.h"
#include "tests/doubles/memory_files.h"
#include "tests/doubles/video/fake_display.h"
#include "video/video_system.h"

namespace sylvora {

class LooseVideo {
 public:
  explicit LooseVideo(std::unique_ptr<JpegDecoder> decoder) : installed_(files_), report_(1, "/install/") {
    auto display = std::make_unique<FakeDisplay>();
    display_ = display.get();
    video_ = std::make_unique<VideoSystem>(&report_, std::move(display), std::move(decoder));
    CreateArgs args;
    args.useArchive = 0;
    args.resourcePath = "/install/";
    video_->Create(args);
  }

  // Puts the bytes at graphics\pic.<extension> and loads them as picture "pic"; the surface's handle,
  // or SurfaceNone when the loader refused them.
  int Load(const uint8_t* data, size_t size, const std::string& extension) {
    display_->calls.clear();  // the double records every call; keep its memory flat
    files_.Put("/install/graphics/pic." + extension, std::string(reinterpret_cast<const char*>(data), size));
    int handle = SurfaceNone;
    if (video_->CreateSurfaceA("pic", 0, 0, handle, SurfaceAnySlot, 30) != 0) return SurfaceNone;
    return handle;
  }

  VideoSystem& Video() { return *video_; }

 private:
  MemoryFileSystem files_;
  ScopedFileSystem installed_;
  Report report_;
  FakeDisplay* display_ = nullptr;
  std::unique_ptr<VideoSystem> video_;
};

}  // namespace sylvora
