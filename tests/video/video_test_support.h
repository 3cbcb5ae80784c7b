#pragma once
// Shared set-up of the video tests: an in-memory file system, a Report that keeps every message, and a
// VideoSystem on the fake display and fake JPEG decoder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "archive/index_writer.h"
#include "report/report.h"
#include "tests/doubles/memory_files.h"
#include "tests/doubles/video/fake_display.h"
#include "tests/doubles/video/fake_jpeg.h"
#include "video/video_system.h"

namespace sylvora {

inline constexpr const char* kInstall = "/install/";

// A bottom-up 24-bit BMP file: 54 header bytes, then the given stored rows (already padded).
std::string MakeBmp(int width, int height, const std::string& storedRows);
// A BMP of one colour, rows padded with zeros.
std::string MakeSolidBmp(int width, int height, uint8_t blue, uint8_t green, uint8_t red);
// The top-row-first pixels of a fake JPEG of one colour.
std::vector<uint8_t> SolidPixels(int width, int height, uint8_t blue, uint8_t green, uint8_t red);

class VideoTest : public ::testing::Test {
 protected:
  VideoTest();

  // Creates the video object in full screen (or windowed), 640 x 480 at depth, archive mode as given.
  int CreateVideo(int fullScreen = 1, int depth = 16, int useArchive = 0, int width = 640, int height = 480);
  // Puts a loose picture file graphics\<name>.<extension> into the install directory.
  void PutLoose(const std::string& name, const std::string& extension, std::string bytes);
  // Writes data.nrx and data.dat holding items.
  void PutArchive(const std::vector<PackItem>& items);

  // Whether the report holds a message of that kind, function and text (module KALDRA.VIDEO).
  bool HasMessage(MessageKind kind, const std::string& function, const std::string& text) const;
  // Every message text of the report under module KALDRA.VIDEO, in order.
  std::vector<std::string> Texts() const;
  int ErrorCount() const;

  MemoryFileSystem files;
  ScopedFileSystem scopedFiles{files};
  std::unique_ptr<Report> report;
  FakeDisplay* display = nullptr;
  FakeJpegDecoder* jpeg = nullptr;
  std::shared_ptr<std::vector<std::string>> journal = std::make_shared<std::vector<std::string>>();
  std::unique_ptr<VideoSystem> video;
};

}  // namespace sylvora
