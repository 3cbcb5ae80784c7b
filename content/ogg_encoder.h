#pragma once
// The Ogg Vorbis writer of our sounds: the content generator encodes the ambience and the bird songs with
// it, and the audio tests and the decoder's fuzz seeds make their test tones with it.
#include <cstddef>
#include <string>
#include <vector>

namespace sylvora {

// Sound samples, -1..1, interleaved by channel.
struct SampleBuffer {
  int channels = 1;
  int rate = 44100;
  std::vector<float> samples;
  size_t Frames() const { return samples.size() / static_cast<size_t>(channels); }
};

// Serial number of every Ogg stream the generator writes, so the same samples always give the same bytes.
constexpr int kContentOggSerial = 0x53594C56;

// A complete Ogg Vorbis stream (variable bit rate at the given quality, -0.1..1); empty on failure.
// Chained test streams need a serial number of their own.
std::string EncodeOggVorbis(const SampleBuffer& sound, float quality, int serial = kContentOggSerial);

}  // namespace sylvora
