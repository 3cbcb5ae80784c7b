#include "content/encoders.h"

#include <turbojpeg.h>

#include <cstdint>

#include "archive/little_endian.h"

namespace sylvora {
namespace {

constexpr int kBmpHeaderBytes = 54;

}  // namespace

std::string EncodeBmp(const Image& image) {
  const uint32_t rowBytes = (3u * image.width + 3u) & ~3u;
  const uint32_t pixelBytes = rowBytes * image.height;
  std::string out;
  out.reserve(kBmpHeaderBytes + pixelBytes);
  out += "BM";
  AppendU32(out, kBmpHeaderBytes + pixelBytes);
  AppendU32(out, 0);  // reserved
  AppendU32(out, kBmpHeaderBytes);
  AppendU32(out, 40);
  AppendU32(out, static_cast<uint32_t>(image.width));
  AppendU32(out, static_cast<uint32_t>(image.height));
  AppendU16(out, 1);   // planes
  AppendU16(out, 24);  // bits per pixel
  AppendU32(out, 0);   // no compression
  AppendU32(out, pixelBytes);
  AppendU32(out, 2835);  // 72 dots per inch
  AppendU32(out, 2835);
  AppendU32(out, 0);
  AppendU32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.At(x, y);
      out += static_cast<char>(p[2]);
      out += static_cast<char>(p[1]);
      out += static_cast<char>(p[0]);
    }
    out.append(rowBytes - 3u * image.width, '\0');
  }
  return out;
}

std::string EncodeJpeg(const Image& image, int quality) {
  tjhandle compressor = tjInitCompress();
  if (compressor == nullptr) return {};
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  std::string out;
  if (tjCompress2(compressor, image.rgb.data(), image.width, image.width * 3, image.height, TJPF_RGB, &jpeg, &size,
                  TJSAMP_444, quality, TJFLAG_ACCURATEDCT) == 0) {
    out.assign(reinterpret_cast<const char*>(jpeg), size);
  }
  tjFree(jpeg);
  tjDestroy(compressor);
  return out;
}

}  // namespace sylvora
