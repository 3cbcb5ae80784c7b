// The Ogg Vorbis decoder on files made by libvorbisenc, and on bytes that are not such files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/ogg_decoder_vorbis.h"
#include "audio/sound_library.h"
#include "tests/audio/ogg_writer.h"

namespace sylvora {
namespace {

int Decode(const std::string& bytes, DecodedSound& sound) {
  return DecodeOggVorbis(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), sound);
}

// Largest absolute sample of one channel over the middle half of the sound (away from the codec's edges).
int Peak(const DecodedSound& sound, int channel) {
  const size_t frames = sound.Frames();
  int peak = 0;
  for (size_t i = frames / 4; i < frames * 3 / 4; ++i) {
    peak = std::max(peak, std::abs(static_cast<int>(sound.samples[i * sound.channels + channel])));
  }
  return peak;
}

TEST(OggDecoder, DecodesMonoAndStereoTonesWithTheirLevels) {
  DecodedSound mono;
  ASSERT_EQ(Decode(EncodeOggTone({.rate = 22050, .channels = 1, .seconds = 0.5, .left = 0.5}), mono), kSoundOk);
  EXPECT_EQ(mono.channels, 1);
  EXPECT_EQ(mono.rate, 22050);
  EXPECT_EQ(mono.Frames(), 11025u);
  EXPECT_NEAR(Peak(mono, 0), 16384, 1200);

  DecodedSound stereo;
  ASSERT_EQ(Decode(EncodeOggTone({.rate = 44100, .channels = 2, .seconds = 0.25, .left = 0.8, .right = 0.1}), stereo),
            kSoundOk);
  EXPECT_EQ(stereo.channels, 2);
  EXPECT_EQ(stereo.rate, 44100);
  EXPECT_EQ(stereo.Frames(), 11025u);
  EXPECT_NEAR(Peak(stereo, 0), 26214, 1500);
  EXPECT_NEAR(Peak(stereo, 1), 3277, 800);
}

TEST(OggDecoder, MixDownAveragesTheChannels) {
  DecodedSound sound;
  sound.channels = 2;
  sound.rate = 22050;
  sound.samples = {1000, 3000, -32768, -32768, 32767, -32768};
  MixDownToMono(sound);
  EXPECT_EQ(sound.channels, 1);
  EXPECT_EQ(sound.samples, (std::vector<int16_t>{2000, -32768, 0}));
  MixDownToMono(sound);  // already mono: untouched
  EXPECT_EQ(sound.samples.size(), 3u);
}

TEST(OggDecoder, RefusesBytesThatAreNotAStream) {
  DecodedSound sound;
  EXPECT_EQ(DecodeOggVorbis(nullptr, 0, sound), kSoundNotOggVorbis);
  EXPECT_EQ(Decode("RIFF....WAVEfmt ", sound), kSoundNotOggVorbis);
  const std::string good = EncodeOggTone({.seconds = 0.2});
  EXPECT_EQ(Decode(good.substr(0, 40), sound), kSoundNotOggVorbis);  // cut inside the headers
  std::string damaged = good;
  for (size_t i = 60; i < 200 && i < damaged.size(); ++i) damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
  EXPECT_NE(Decode(damaged, sound), kSoundOk);
  EXPECT_TRUE(sound.samples.empty());
}

TEST(OggDecoder, AStreamCutShortIsRefused) {
  const std::string good = EncodeOggTone({.seconds = 1.0});
  DecodedSound sound;
  const int result = Decode(good.substr(0, good.size() * 2 / 3), sound);
  EXPECT_EQ(result, kSoundNotOggVorbis);
  EXPECT_TRUE(sound.samples.empty());
}

// A long sound is played while it decodes, from wherever a play starts and back at the start when it loops.
TEST(OggDecoder, AReaderGivesTheWholeDecodesFramesFromAnyFrameItSeeksTo) {
  const std::string bytes = EncodeOggTone({.rate = 44100, .channels = 2, .seconds = 0.8, .left = 0.7, .right = 0.2});
  DecodedSound whole;
  ASSERT_EQ(Decode(bytes, whole), kSoundOk);
  VorbisReader reader;
  ASSERT_EQ(reader.Open(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), kSoundOk);
  ASSERT_EQ(reader.Frames(), whole.Frames());
  EXPECT_EQ(reader.Channels(), 2);
  EXPECT_EQ(reader.Rate(), 44100);

  const uint64_t last = whole.Frames() - 1;
  for (const uint64_t frame : {uint64_t{0}, uint64_t{1}, uint64_t{17000}, last - 999, last}) {
    ASSERT_TRUE(reader.Seek(frame)) << frame;
    std::vector<int16_t> read(2000 * 2);
    const long count = reader.Read(read.data(), 2000);
    ASSERT_EQ(count, static_cast<long>(std::min<uint64_t>(2000, whole.Frames() - frame))) << frame;
    read.resize(static_cast<size_t>(count) * 2);
    const auto from = whole.samples.begin() + static_cast<ptrdiff_t>(frame * 2);
    EXPECT_TRUE(std::equal(read.begin(), read.end(), from)) << "frames read from " << frame;
  }
  int16_t after[2];
  EXPECT_EQ(reader.Read(after, 1), 0);  // at the end
  EXPECT_FALSE(reader.Seek(whole.Frames()));
}

TEST(OggDecoder, RefusesFormatsTheOutputCannotTake) {
  DecodedSound sound;
  EXPECT_EQ(Decode(EncodeOggTone({.channels = 3, .seconds = 0.1}), sound), kSoundUnsupported);
  // Two complete streams one after the other whose rates differ.
  const std::string chained = EncodeOggTone({.rate = 22050, .seconds = 0.1}) + EncodeOggTone({.rate = 44100, .seconds = 0.1, .serial = 2});
  EXPECT_EQ(Decode(chained, sound), kSoundUnsupported);
  EXPECT_TRUE(sound.samples.empty());
}

}  // namespace
}  // namespace sylvora
