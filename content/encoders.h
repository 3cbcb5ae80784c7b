#pragma once
// The picture formats the archive holds: 24-bit BMP and JPEG (Ogg Vorbis is in ogg_encoder.h).
#include <string>
#include <vector>

#include "content/canvas.h"
#include "content/ogg_encoder.h"

namespace sylvora {

// A complete 24-bit uncompressed bottom-up BMP file: 14-byte file header, 40-byte info header, then
// blue-green-red rows from the bottom up, each padded to a multiple of 4 bytes.
std::string EncodeBmp(const Image& image);
// A complete baseline JPEG (4:4:4, no chroma subsampling, so keyed edges stay clean); empty on failure.
std::string EncodeJpeg(const Image& image, int quality);

}  // namespace sylvora
