#include "tests/audio/ogg_writer.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "content/ogg_encoder.h"

namespace sylvora {

std::string EncodeOggTone(const ToneSpec& tone) {
  SampleBuffer sound;
  sound.channels = tone.channels;
  sound.rate = tone.rate;
  const long frames = std::lround(tone.seconds * tone.rate);
  sound.samples.resize(static_cast<size_t>(frames) * static_cast<size_t>(tone.channels));
  for (long i = 0; i < frames; ++i) {
    const double wave = std::sin(2.0 * std::numbers::pi * tone.frequency * static_cast<double>(i) / tone.rate);
    for (int c = 0; c < tone.channels; ++c) {
      sound.samples[static_cast<size_t>(i) * tone.channels + c] = static_cast<float>(wave * (c == 0 ? tone.left : tone.right));
    }
  }
  std::string bytes = EncodeOggVorbis(sound, tone.quality, tone.serial);
  if (bytes.empty()) std::abort();
  return bytes;
}

}  // namespace sylvora
