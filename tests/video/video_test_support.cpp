#include "tests/video/video_test_support.h"

namespace sylvora {

namespace {

void Put16(std::string& bytes, uint16_t value) {
  bytes.push_back(static_cast<char>(value & 0xFF));
  bytes.push_back(static_cast<char>(value >> 8));
}

void Put32(std::string& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

}  // namespace

std::string MakeBmp(int width, int height, const std::string& storedRows) {
  std::string bytes = "BM";
  Put32(bytes, static_cast<uint32_t>(54 + storedRows.size()));
  Put32(bytes, 0);
  Put32(bytes, 54);
  Put32(bytes, 40);
  Put32(bytes, static_cast<uint32_t>(width));
  Put32(bytes, static_cast<uint32_t>(height));
  Put16(bytes, 1);
  Put16(bytes, 24);
  Put32(bytes, 0);
  Put32(bytes, static_cast<uint32_t>(storedRows.size()));
  Put32(bytes, 2835);
  Put32(bytes, 2835);
  Put32(bytes, 0);
  Put32(bytes, 0);
  return bytes + storedRows;
}

std::string MakeSolidBmp(int width, int height, uint8_t blue, uint8_t green, uint8_t red) {
  std::string rows;
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) row += {static_cast<char>(blue), static_cast<char>(green), static_cast<char>(red)};
    row.resize(PictureBuffer::RowBytes(width), '\0');
    rows += row;
  }
  return MakeBmp(width, height, rows);
}

std::vector<uint8_t> SolidPixels(int width, int height, uint8_t blue, uint8_t green, uint8_t red) {
  std::vector<uint8_t> pixels;
  for (int i = 0; i < width * height; ++i) pixels.insert(pixels.end(), {blue, green, red});
  return pixels;
}

VideoTest::VideoTest() {
  files.currentDirectory = "/work";
  report = std::make_unique<Report>(static_cast<int>(ReportMode::FileLogging), kInstall);
  auto fakeDisplay = std::make_unique<FakeDisplay>();
  auto fakeJpeg = std::make_unique<FakeJpegDecoder>();
  display = fakeDisplay.get();
  jpeg = fakeJpeg.get();
  display->journal = journal;
  video = std::make_unique<VideoSystem>(report.get(), std::move(fakeDisplay), std::move(fakeJpeg));
}

int VideoTest::CreateVideo(int fullScreen, int depth, int useArchive, int width, int height) {
  CreateArgs args;
  args.fullScreen = fullScreen;
  args.width = width;
  args.height = height;
  args.depth = depth;
  args.useArchive = useArchive;
  args.resourcePath = kInstall;
  return video->Create(args);
}

void VideoTest::PutLoose(const std::string& name, const std::string& extension, std::string bytes) {
  files.Put(std::string(kInstall) + "graphics\\" + name + "." + extension, std::move(bytes));
}

void VideoTest::PutArchive(const std::vector<PackItem>& items) {
  ASSERT_TRUE(WriteArchive("/install", items, "data.dat"));
}

bool VideoTest::HasMessage(MessageKind kind, const std::string& function, const std::string& text) const {
  for (int i = 0; i < report->MessageCount(); ++i) {
    const ReportMessage& message = report->Message(i);
    if (message.kind == static_cast<int>(kind) && message.module == "KALDRA.VIDEO" && message.function == function &&
        message.text == text) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> VideoTest::Texts() const {
  std::vector<std::string> texts;
  for (int i = 0; i < report->MessageCount(); ++i) {
    if (report->Message(i).module == "KALDRA.VIDEO") texts.push_back(report->Message(i).text);
  }
  return texts;
}

int VideoTest::ErrorCount() const {
  int errors = 0;
  for (int i = 0; i < report->MessageCount(); ++i) errors += report->Message(i).kind == 2;
  return errors;
}

}  // namespace sylvora
