// Feeds any bytes to the Ogg Vorbis decoder as a sound file's contents: a decoded sound that keeps the
// decoder's promises, or an error code, never a crash, a hang or an out-of-bounds access.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/ogg_decoder_vorbis.h"
#include "audio/sound_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
