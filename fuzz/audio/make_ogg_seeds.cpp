// Writes the fuzzer's seed corpus: short Ogg Vorbis tones in the shapes the decoder has to handle (mono and
// stereo, several rates, a chained pair, and a stream of three channels it must refuse).
#include <cstdio>
#include <string>

#include "tests/audio/ogg_writer.h"

namespace {

bool Write(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_ogg_seeds <folder>\n");
    return 2;
  }
  using sylvora::EncodeOggTone;
  const std::string folder = std::string(argv[1]) + "/";
  const bool ok =
      Write(folder + "mono22050.ogg", EncodeOggTone({.rate = 22050, .seconds = 0.05, .quality = -0.1f})) &&
      Write(folder + "stereo44100.ogg",
            EncodeOggTone({.rate = 44100, .channels = 2, .seconds = 0.03, .left = 0.9, .right = 0.1, .quality = -0.1f})) &&
      Write(folder + "mono8000.ogg", EncodeOggTone({.rate = 8000, .seconds = 0.1, .frequency = 1000, .quality = 0.0f})) &&
      Write(folder + "chained.ogg", EncodeOggTone({.rate = 22050, .seconds = 0.02, .quality = -0.1f}) +
                                        EncodeOggTone({.rate = 22050, .channels = 2, .seconds = 0.02,
                                                       .quality = -0.1f, .serial = 7})) &&
      Write(folder + "three_channels.ogg",
            EncodeOggTone({.rate = 22050, .channels = 3, .seconds = 0.02, .quality = -0.1f}));
  return ok ? 0 : 1;
}
