// The JPEG decoder on TurboJPEG: header first, then the picture straight into blue-green-red bottom-up
// rows with the caller's padded pitch. Greyscale expands by itself; CMYK and YCCK cannot go straight to
// BGR and are decoded to CMYK and converted here.
#include "video/jpeg_turbojpeg.h"

#include <turbojpeg.h>

#include <memory>
#include <new>
#include <string>
#include <utility>

namespace sylvora {

namespace {

// Channel counts the loader is told, by JPEG colour space.
constexpr int kGreyChannels = 1;
constexpr int kColourChannels = 3;
constexpr int kCmykChannels = 4;

class TurboJpegDecoder final : public JpegDecoder {
 public:
  ~TurboJpegDecoder() override { Free(); }
  std::unique_ptr<JpegDecoder> Another() const override { return std::make_unique<TurboJpegDecoder>(); }

  bool Init() override {
    Free();
    handle_ = tjInitDecompress();
    return handle_ != nullptr || Failed(nullptr);
  }

  std::string TakeFailureReason() override { return std::exchange(reason_, std::string()); }

  bool ReadHeader(const uint8_t* bytes, size_t size, JpegHeader& header) override {
    if (!handle_ || size == 0 || size > kMaxJpegBytes) return false;
    int subsampling = 0;
    int colourSpace = 0;
    if (tjDecompressHeader3(handle_, bytes, static_cast<unsigned long>(size), &width_, &height_, &subsampling,
                            &colourSpace) != 0) {
      return Failed(handle_);
    }
    bytes_ = bytes;
    size_ = size;
    cmyk_ = colourSpace == TJCS_CMYK || colourSpace == TJCS_YCCK;
    header.width = width_;
    header.height = height_;
    header.channels = colourSpace == TJCS_GRAY ? kGreyChannels : cmyk_ ? kCmykChannels : kColourChannels;
    return true;
  }

  bool ReadImage(uint8_t* pixels, int rowBytes, PixelRows rows) override {
    if (!handle_ || !bytes_) return false;
    if (cmyk_) return ReadCmykImage(pixels, rowBytes, rows);
    const bool bgr = rows == PixelRows::BottomUpBgr;
    return tjDecompress2(handle_, bytes_, static_cast<unsigned long>(size_), pixels, width_, rowBytes, height_,
                         bgr ? TJPF_BGR : TJPF_BGRX, bgr ? TJFLAG_BOTTOMUP : 0) == 0 ||
           Failed(handle_);
  }

  void Free() override {
    if (handle_) tjDestroy(handle_);
    handle_ = nullptr;
    bytes_ = nullptr;
    size_ = 0;
  }

 private:
  // Keeps TurboJPEG's words for the failure just met (of handle, or of the library for a null one).
  bool Failed(tjhandle handle) {
    reason_ = tjGetErrorStr2(handle);
    return false;
  }

  // TurboJPEG takes the compressed size as an unsigned long; larger inputs are refused.
  static constexpr size_t kMaxJpegBytes = 0x7FFFFFFF;

  // Decodes to CMYK and converts with the inverted-ink convention of Adobe CMYK JPEGs, where 255 means
  // no ink: red = C x K / 255, green = M x K / 255, blue = Y x K / 255.
  bool ReadCmykImage(uint8_t* pixels, int rowBytes, PixelRows rows) {
    const size_t cmykPitch = static_cast<size_t>(width_) * kCmykChannels;
    std::unique_ptr<uint8_t[]> cmyk(new (std::nothrow) uint8_t[cmykPitch * height_]);
    const bool bgr = rows == PixelRows::BottomUpBgr;
    if (!cmyk || tjDecompress2(handle_, bytes_, static_cast<unsigned long>(size_), cmyk.get(), width_,
                               static_cast<int>(cmykPitch), height_, TJPF_CMYK, bgr ? TJFLAG_BOTTOMUP : 0) != 0) {
      return Failed(handle_);
    }
    const int pixelBytes = bgr ? 3 : 4;
    for (int row = 0; row < height_; ++row) {
      const uint8_t* source = cmyk.get() + row * cmykPitch;
      uint8_t* destination = pixels + static_cast<size_t>(row) * rowBytes;
      for (int x = 0; x < width_; ++x, source += kCmykChannels, destination += pixelBytes) {
        const int key = source[3];
        destination[0] = static_cast<uint8_t>((source[2] * key + 127) / 255);
        destination[1] = static_cast<uint8_t>((source[1] * key + 127) / 255);
        destination[2] = static_cast<uint8_t>((source[0] * key + 127) / 255);
        if (!bgr) destination[3] = 0xFF;
      }
    }
    return true;
  }

  tjhandle handle_ = nullptr;
  std::string reason_;
  const uint8_t* bytes_ = nullptr;
  size_t size_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool cmyk_ = false;
};

}  // namespace

std::unique_ptr<JpegDecoder> CreateTurboJpegDecoder() { return std::make_unique<TurboJpegDecoder>(); }

}  // namespace sylvora
