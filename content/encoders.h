#pragma once
// The file formats the archive holds: 24-bit BMP, JPEG and Ogg Vorbis.
#include <string>
#include <vector>

#include "content/canvas.h"

namespace sylvora {

// A complete 24-bit uncompressed bottom-up BMP file: 14-byte file header, 40-byte info header, then
// blue-green-red rows from the bottom up, each padded to a multiple of 4 bytes.
std::string EncodeBmp(const Image& image);
// A complete baseline JPEG (4:4:4, no chroma subsampling, so keyed edges stay clean); empty on failure.
std::string EncodeJpeg(const Image& image, int quality);

// Sound samples, -1..1, interleaved by channel.
struct SampleBuffer {
  int channels = 1;
  int rate = 44100;
  std::vector<float> samples;
  size_t Frames() const { return samples.size() / static_cast<size_t>(channels); }
};
// A complete Ogg Vorbis stream (variable bit rate at the given quality, -0.1..1); empty on failure.
// The stream serial number is fixed so the same samples always give the same bytes.
std::string EncodeOggVorbis(const SampleBuffer& sound, float quality);

}  // namespace sylvora
