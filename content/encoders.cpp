#include "content/encoders.h"

#include <turbojpeg.h>
#include <vorbis/vorbisenc.h>

#include <cstdint>

namespace sylvora {
namespace {

void AppendU16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void AppendU32(std::string& out, uint32_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}

constexpr int kBmpHeaderBytes = 54;
// Serial number of every Ogg stream the generator writes.
constexpr int kOggSerial = 0x53594C56;
// Frames handed to the Vorbis analysis per call.
constexpr size_t kVorbisChunk = 4096;

void AppendPage(std::string& out, const ogg_page& page) {
  out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
  out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

}  // namespace

std::string EncodeBmp(const Image& image) {
  const uint32_t rowBytes = (3u * image.width + 3u) & ~3u;
  const uint32_t pixelBytes = rowBytes * image.height;
  std::string out;
  out.reserve(kBmpHeaderBytes + pixelBytes);
  out += "BM";
  AppendU32(out, kBmpHeaderBytes + pixelBytes);
  AppendU32(out, 0);  // reserved
  AppendU32(out, kBmpHeaderBytes);
  AppendU32(out, 40);
  AppendU32(out, static_cast<uint32_t>(image.width));
  AppendU32(out, static_cast<uint32_t>(image.height));
  AppendU16(out, 1);   // planes
  AppendU16(out, 24);  // bits per pixel
  AppendU32(out, 0);   // no compression
  AppendU32(out, pixelBytes);
  AppendU32(out, 2835);  // 72 dots per inch
  AppendU32(out, 2835);
  AppendU32(out, 0);
  AppendU32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.At(x, y);
      out += static_cast<char>(p[2]);
      out += static_cast<char>(p[1]);
      out += static_cast<char>(p[0]);
    }
    out.append(rowBytes - 3u * image.width, '\0');
  }
  return out;
}

std::string EncodeJpeg(const Image& image, int quality) {
  tjhandle compressor = tjInitCompress();
  if (compressor == nullptr) return {};
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  std::string out;
  if (tjCompress2(compressor, image.rgb.data(), image.width, image.width * 3, image.height, TJPF_RGB, &jpeg, &size,
                  TJSAMP_444, quality, TJFLAG_ACCURATEDCT) == 0) {
    out.assign(reinterpret_cast<const char*>(jpeg), size);
  }
  tjFree(jpeg);
  tjDestroy(compressor);
  return out;
}

std::string EncodeOggVorbis(const SampleBuffer& sound, float quality) {
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
  ogg_stream_init(&stream, kOggSerial);

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
