#pragma once
// The JPEG decoder the picture loader uses: compressed bytes from memory in, the rows the loader asks
// for out (PixelRows). The real decoder is TurboJPEG (jpeg_turbojpeg); tests use a
// double with fault injection. One decode at a time: Init, ReadHeader, ReadImage, Free.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sylvora {

// How a decoded picture's pixels are laid out.
enum class PixelRows {
  BottomUpBgr,  // 3 bytes a pixel, blue, green, red; bottom row first, rows padded to 4 bytes
  TopDownBgrx,  // 4 bytes a pixel, blue, green, red, 255 (XRGB8888 in memory); top row first
};

// What the header of a JPEG says.
struct JpegHeader {
  int width = 0;
  int height = 0;
  int channels = 0;  // 1 greyscale, 3 colour, 4 CMYK/YCCK
};

class JpegDecoder {
 public:
  virtual ~JpegDecoder() = default;
  // The library's own words for the adapter's last failure, once: empty when it gave none or it was
  // already taken. The subsystem records it on a line after its own message about that failure.
  virtual std::string TakeFailureReason() = 0;
  // Prepares the decoder record; false on failure.
  virtual bool Init() = 0;
  // Reads the header of bytes (which stay owned by the caller until ReadImage returns); false when the
  // bytes are not a readable JPEG.
  virtual bool ReadHeader(const uint8_t* bytes, size_t size, JpegHeader& header) = 0;
  // Decodes the picture of the last ReadHeader into pixels: height rows of rowBytes bytes laid out as
  // rows; greyscale is expanded to three equal channels.
  virtual bool ReadImage(uint8_t* pixels, int rowBytes, PixelRows rows) = 0;
  // Ends the decode; harmless when nothing was initialised.
  virtual void Free() = 0;
  // A decoder of the same kind for another thread: the video object decodes pictures ahead with it.
  virtual std::unique_ptr<JpegDecoder> Another() const = 0;
};

}  // namespace sylvora
