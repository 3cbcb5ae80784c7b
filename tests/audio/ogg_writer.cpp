#include "tests/audio/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace sylvora {

namespace {

void AppendPage(std::string& out, const ogg_page& page) {
  out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
  out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

// Moves every finished block of the encoder through the stream into out.
void Drain(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& stream, std::string& out) {
  while (vorbis_analysis_blockout(&dsp, &block) == 1) {
    vorbis_analysis(&block, nullptr);
    vorbis_bitrate_addblock(&block);
    ogg_packet packet;
    while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
      ogg_stream_packetin(&stream, &packet);
      ogg_page page;
      while (ogg_stream_pageout(&stream, &page)) AppendPage(out, page);
    }
  }
}

}  // namespace

std::string EncodeOggTone(const ToneSpec& tone) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, tone.channels, tone.rate, tone.quality) != 0) std::abort();
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, tone.serial);

  std::string out;
  ogg_packet header, commentHeader, codeHeader;
  vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &commentHeader);
  ogg_stream_packetin(&stream, &codeHeader);
  ogg_page page;
  while (ogg_stream_flush(&stream, &page)) AppendPage(out, page);

  const long frames = std::lround(tone.seconds * tone.rate);
  constexpr long kChunk = 1024;
  for (long done = 0; done < frames; done += kChunk) {
    const long count = std::min(kChunk, frames - done);
    float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
    for (long i = 0; i < count; ++i) {
      const double wave = std::sin(2.0 * std::numbers::pi * tone.frequency * static_cast<double>(done + i) / tone.rate);
      for (int c = 0; c < tone.channels; ++c) {
        buffer[c][i] = static_cast<float>(wave * (c == 0 ? tone.left : tone.right));
      }
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(count));
    Drain(dsp, block, stream, out);
  }
  vorbis_analysis_wrote(&dsp, 0);
  Drain(dsp, block, stream, out);
  while (ogg_stream_flush(&stream, &page)) AppendPage(out, page);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

}  // namespace sylvora
