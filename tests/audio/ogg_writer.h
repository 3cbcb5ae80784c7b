#pragma once
// Makes Ogg Vorbis files with libvorbisenc for the audio tests and the fuzzer's seed corpus: steady sine
// tones whose level on each channel is chosen, so tests can tell channels and loudness apart.
#include <string>

namespace sylvora {

struct ToneSpec {
  int rate = 22050;       // Hz
  int channels = 1;       // 1 or more
  double seconds = 1.0;
  double frequency = 440.0;
  double left = 0.5;      // peak level of channel 0 (the only one of a mono file), 0..1
  double right = 0.5;     // peak level of every other channel
  float quality = 0.3f;   // libvorbisenc's VBR quality, -0.1..1
  int serial = 1;         // the Ogg stream's serial number (chained streams need different ones)
};

// The complete bytes of an Ogg Vorbis file holding the tone.
std::string EncodeOggTone(const ToneSpec& tone);

}  // namespace sylvora
