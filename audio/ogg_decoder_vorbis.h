#pragma once
// Decoding of one complete Ogg Vorbis stream held in memory into 16-bit samples, for the OpenAL sound
// library's SampleLoad. The bytes come from a sound file or a range of a data file named by data.nrx, so
// they are outside input: anything that is not a usable stream gives an error code, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sylvora {

// Decoded sound: interleaved signed 16-bit samples.
struct DecodedSound {
  // The longest sound accepted, in frames per channel (six minutes at 22050 Hz); longer streams are
  // refused rather than filling memory.
  static constexpr size_t kMaxFrames = size_t{1} << 23;
  // Sample rates the output accepts.
  static constexpr long kMinRate = 1000;
  static constexpr long kMaxRate = 192000;

  std::vector<int16_t> samples;
  int channels = 0;  // 1 or 2
  int rate = 0;      // Hz

  size_t Frames() const { return channels == 0 ? 0 : samples.size() / static_cast<size_t>(channels); }
};

// Decodes size bytes at data. Returns kSoundOk with sound filled, kSoundNotOggVorbis for bytes that are
// not a valid stream, or kSoundUnsupported for a valid stream of more than two channels, a rate outside
// kMinRate..kMaxRate, a rate or channel count that changes between chained streams, no samples at all, or
// more than kMaxFrames frames (SoundLibraryError codes).
int DecodeOggVorbis(const uint8_t* data, size_t size, DecodedSound& sound);

// libvorbisfile's own words for why the last DecodeOggVorbis failed, once; empty when the library
// reported nothing (the stream was readable but unusable) or it was already taken.
std::string TakeVorbisFailureReason();

// Turns a stereo sound into mono by averaging each pair of samples; a mono sound is left as it is.
void MixDownToMono(DecodedSound& sound);

}  // namespace sylvora
