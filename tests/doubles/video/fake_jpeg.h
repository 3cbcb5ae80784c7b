#pragma once
// A JPEG decoder double: "decodes" a tiny made-up format so the loader's paths can be tested without
// real JPEG bytes, records its calls and can be told to fail at each step.
//
// The format: "FJPG", then 32-bit little-endian width, height and channel count, then width x height
// pixels of 3 bytes (blue, green, red) top row first.
#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "video/jpeg_decoder.h"

namespace sylvora {

// The bytes of a fake JPEG of the given top-row-first blue-green-red pixels.
std::string MakeFakeJpeg(int width, int height, const std::vector<uint8_t>& bgrTopDown, int channels = 3);

class FakeJpegDecoder final : public JpegDecoder {
 public:
  // The library's words TakeFailureReason gives once; a test sets them beside a fault.
  std::string failureReason;
  std::string TakeFailureReason() override { return std::exchange(failureReason, std::string()); }
  // Faults; atomic, since the decoder Another makes reads them on the worker that decodes ahead.
  std::atomic<bool> initFails = false;
  std::atomic<bool> headerFails = false;
  std::atomic<bool> imageFails = false;
  std::vector<std::string> calls;
  int initialised = 0;  // Init calls not yet matched by Free

  bool Init() override;
  bool ReadHeader(const uint8_t* bytes, size_t size, JpegHeader& header) override;
  bool ReadImage(uint8_t* pixels, int rowBytes, PixelRows rows) override;
  void Free() override;
  // A fake that fails wherever this one is told to, with calls of its own.
  std::unique_ptr<JpegDecoder> Another() const override;

 private:
  // The decoder whose faults this one shares: itself, or the one that made it with Another.
  const FakeJpegDecoder* faults_ = this;
  std::vector<uint8_t> bytes_;
  JpegHeader header_;
};

}  // namespace sylvora
