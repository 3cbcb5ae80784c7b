#include "tests/doubles/video/fake_jpeg.h"

#include <cstring>

namespace sylvora {

namespace {

constexpr size_t kHeaderSize = 16;

void Put32(std::string& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

uint32_t Get32(const uint8_t* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

std::string MakeFakeJpeg(int width, int height, const std::vector<uint8_t>& bgrTopDown, int channels) {
  std::string bytes = "FJPG";
  Put32(bytes, static_cast<uint32_t>(width));
  Put32(bytes, static_cast<uint32_t>(height));
  Put32(bytes, static_cast<uint32_t>(channels));
  bytes.append(bgrTopDown.begin(), bgrTopDown.end());
  return bytes;
}

bool FakeJpegDecoder::Init() {
  calls.push_back("Init");
  if (faults_->initFails) return false;
  ++initialised;
  return true;
}

bool FakeJpegDecoder::ReadHeader(const uint8_t* bytes, size_t size, JpegHeader& header) {
  calls.push_back("ReadHeader");
  if (faults_->headerFails || size < kHeaderSize || std::memcmp(bytes, "FJPG", 4) != 0) return false;
  header_ = {static_cast<int>(Get32(bytes + 4)), static_cast<int>(Get32(bytes + 8)),
             static_cast<int>(Get32(bytes + 12))};
  bytes_.assign(bytes, bytes + size);
  header = header_;
  return true;
}

bool FakeJpegDecoder::ReadImage(uint8_t* pixels, int rowBytes, PixelRows rows) {
  calls.push_back("ReadImage");
  const size_t needed = kHeaderSize + static_cast<size_t>(header_.width) * header_.height * 3;
  if (faults_->imageFails || bytes_.size() < needed) return false;
  const bool bgr = rows == PixelRows::BottomUpBgr;
  for (int row = 0; row < header_.height; ++row) {
    const uint8_t* from = bytes_.data() + kHeaderSize + static_cast<size_t>(row) * header_.width * 3;
    uint8_t* to = pixels + static_cast<size_t>(bgr ? header_.height - 1 - row : row) * rowBytes;
    for (int x = 0; x < header_.width; ++x, from += 3, to += bgr ? 3 : 4) {
      std::memcpy(to, from, 3);
      if (!bgr) to[3] = 0xFF;
    }
  }
  return true;
}

std::unique_ptr<JpegDecoder> FakeJpegDecoder::Another() const {
  auto another = std::make_unique<FakeJpegDecoder>();
  another->faults_ = faults_;
  return another;
}

void FakeJpegDecoder::Free() {
  calls.push_back("Free");
  if (initialised > 0) --initialised;
}

}  // namespace sylvora
