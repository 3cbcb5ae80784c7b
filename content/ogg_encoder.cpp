#include "content/ogg_encoder.h"

#include <vorbis/vorbisenc.h>

namespace sylvora {
namespace {

// Frames handed to the Vorbis analysis per call.
constexpr size_t kVorbisChunk = 4096;

void AppendPage(std::string& out, const ogg_page& page) {
  out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
  out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

}  // namespace

std::string EncodeOggVorbis(const SampleBuffer& sound, float quality, int serial) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, sound.channels, sound.rate, quality) != 0) {
    vorbis_info_clear(&info);
    return {};
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "ENCODER", "sylvora-content");
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, serial);

  std::string out;
  ogg_packet header, commentHeader, codebooks;
  vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codebooks);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &commentHeader);
  ogg_stream_packetin(&stream, &codebooks);
  ogg_page page;
  while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

  const size_t frames = sound.Frames();
  size_t done = 0;
  bool ended = false;
  while (!ended) {
    const size_t count = frames - done < kVorbisChunk ? frames - done : kVorbisChunk;
    if (count == 0) {
      vorbis_analysis_wrote(&dsp, 0);  // end of stream
    } else {
      float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
      for (size_t i = 0; i < count; ++i) {
        for (int c = 0; c < sound.channels; ++c) buffer[c][i] = sound.samples[(done + i) * sound.channels + c];
      }
      vorbis_analysis_wrote(&dsp, static_cast<int>(count));
      done += count;
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) {
          AppendPage(out, page);
          if (ogg_page_eos(&page)) ended = true;
        }
      }
    }
    if (count == 0 && !ended) {
      while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);
      ended = true;
    }
  }
  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

}  // namespace sylvora
