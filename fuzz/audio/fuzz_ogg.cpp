// Feeds any bytes to the Ogg Vorbis decoder as a sound file's contents, whole and read from the middle: a decoded
// sound that keeps the decoder's promises, or an error code, never a crash, a hang or an out-of-bounds access.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/ogg_decoder_vorbis.h"
#include "audio/sound_library.h"

namespace {

// A long sound is read a piece at a time from wherever a play starts: the reader must stay inside the
// frames it promised from any frame it seeks to.
void ReadFromTheMiddle(const uint8_t* data, size_t size) {
  sylvora::VorbisReader reader;
  if (reader.Open(data, size) != sylvora::kSoundOk) return;
  if (reader.Channels() < 1 || reader.Channels() > 2 || reader.Frames() == 0) std::abort();
  if (!reader.Seek(reader.Frames() / 2)) return;
  int16_t frames[512 * 2];
  const long read = reader.Read(frames, 512);
  if (read > 512) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadFromTheMiddle(data, size);
  sylvora::DecodedSound sound;
  const int result = sylvora::DecodeOggVorbis(data, size, sound);
  if (result != sylvora::kSoundOk) {
    if (!sound.samples.empty()) std::abort();
    return 0;
  }
  const bool keptPromises = (sound.channels == 1 || sound.channels == 2) &&
                            sound.rate >= sylvora::DecodedSound::kMinRate &&
                            sound.rate <= sylvora::DecodedSound::kMaxRate && !sound.samples.empty() &&
                            sound.samples.size() % static_cast<size_t>(sound.channels) == 0 &&
                            sound.Frames() <= sylvora::DecodedSound::kMaxFrames;
  if (!keptPromises) std::abort();
  const size_t frames = sound.Frames();
  sylvora::MixDownToMono(sound);  // what a 3D sample goes through next
  if (sound.channels != 1 || sound.samples.size() != frames) std::abort();
  return 0;
}
