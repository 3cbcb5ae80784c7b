#pragma once
// Decoding of one complete Ogg Vorbis stream held in memory into 16-bit samples, for the OpenAL sound
// library's SampleLoad, whole or a piece at a time. The bytes come from a sound file or a range of a data
// file named by data.nrx, so they are outside input: anything that is not a usable stream gives an error
// code, never a crash.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct OggVorbis_File;

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

// One stream read a piece at a time from any frame: a long sound is played while it is decoded, a few
// short buffers ahead of the mixer, instead of being held whole.
class VorbisReader {
 public:
  VorbisReader() = default;
  ~VorbisReader();
  VorbisReader(const VorbisReader&) = delete;
  VorbisReader& operator=(const VorbisReader&) = delete;

  // Opens size bytes at data, which must outlive the reader's use of them. kSoundOk, or the codes of
  // DecodeOggVorbis for a stream it would refuse by its headers alone (every chained link is checked).
  int Open(const uint8_t* data, size_t size);
  int Channels() const { return channels_; }
  int Rate() const { return rate_; }
  // The stream's length in frames, from its last page's position.
  uint64_t Frames() const { return frames_; }
  // Moves to frame (below Frames()). False when the library cannot.
  bool Seek(uint64_t frame);
  // Decodes up to frames frames into out (interleaved). The frames read: 0 at the end of the stream, -1
  // at damaged data (a hole left by a lost page is skipped).
  long Read(int16_t* out, size_t frames);

  // What libvorbisfile reads through the reader's callbacks: the bytes and the read position.
  struct Source {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
  };

 private:
  void Close();

  // Clears and frees an open file, where libvorbisfile's type is known.
  struct FileCloser {
    void operator()(OggVorbis_File* file) const;
  };

  Source source_;
  std::unique_ptr<OggVorbis_File, FileCloser> file_;  // set while open
  int channels_ = 0;
  int rate_ = 0;
  uint64_t frames_ = 0;
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
