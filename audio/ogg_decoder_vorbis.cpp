#include "audio/ogg_decoder_vorbis.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "audio/sound_library.h"

namespace sylvora {

namespace {

// The bytes libvorbisfile reads through the callbacks below, with its read position.
struct MemoryStream {
  const uint8_t* data;
  size_t size;
  size_t position;
};

size_t ReadMemory(void* buffer, size_t size, size_t count, void* source) {
  auto* stream = static_cast<MemoryStream*>(source);
  if (size == 0) return 0;
  const size_t items = std::min(count, (stream->size - stream->position) / size);
  if (items > 0) std::memcpy(buffer, stream->data + stream->position, items * size);
  stream->position += items * size;
  return items;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
  auto* stream = static_cast<MemoryStream*>(source);
  ogg_int64_t base = 0;
  if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(stream->position);
  if (whence == SEEK_END) base = static_cast<ogg_int64_t>(stream->size);
  if (offset < -base || offset > static_cast<ogg_int64_t>(stream->size) - base) return -1;
  stream->position = static_cast<size_t>(base + offset);
  return 0;
}

long TellMemory(void* source) { return static_cast<long>(static_cast<MemoryStream*>(source)->position); }

// The stream is closed by ov_clear; the bytes belong to the caller.
constexpr ov_callbacks kMemoryCallbacks{ReadMemory, SeekMemory, nullptr, TellMemory};

// libvorbisfile's code for the last failure, 0 when there is none to tell.
thread_local int lastLibraryError = 0;  // per thread: sounds are decoded ahead on a worker too

// The library's documented meaning of its error codes.
const char* VorbisErrorText(int code) {
  switch (code) {
    case OV_EREAD: return "OV_EREAD: a read from the media failed";
    case OV_EFAULT: return "OV_EFAULT: internal logic fault";
    case OV_EIMPL: return "OV_EIMPL: feature not implemented";
    case OV_EINVAL: return "OV_EINVAL: invalid argument";
    case OV_ENOTVORBIS: return "OV_ENOTVORBIS: not Vorbis data";
    case OV_EBADHEADER: return "OV_EBADHEADER: invalid Vorbis bitstream header";
    case OV_EVERSION: return "OV_EVERSION: Vorbis version mismatch";
    case OV_EBADLINK: return "OV_EBADLINK: invalid stream section";
    case OV_ENOSEEK: return "OV_ENOSEEK: stream not seekable";
    default: return "";
  }
}

// Bytes asked of ov_read at a time.
constexpr int kChunkBytes = 4096;

// Reads every packet of an opened stream into sound. A hole in the data (a lost page) is skipped as the
// library allows; any other read error fails the stream.
int ReadAll(OggVorbis_File& file, DecodedSound& sound) {
  const vorbis_info* first = ov_info(&file, -1);
  if (first == nullptr) return kSoundNotOggVorbis;
  if (first->channels < 1 || first->channels > 2) return kSoundUnsupported;
  if (first->rate < DecodedSound::kMinRate || first->rate > DecodedSound::kMaxRate) return kSoundUnsupported;
  sound.channels = first->channels;
  sound.rate = static_cast<int>(first->rate);

  const size_t maxSamples = DecodedSound::kMaxFrames * static_cast<size_t>(sound.channels);
  const ogg_int64_t total = ov_pcm_total(&file, -1);
  if (total > 0 && static_cast<uint64_t>(total) <= DecodedSound::kMaxFrames) {
    sound.samples.reserve(static_cast<size_t>(total) * sound.channels);
  }

  int16_t chunk[kChunkBytes / sizeof(int16_t)];
  for (;;) {
    int link = 0;
    const long bytes = ov_read(&file, reinterpret_cast<char*>(chunk), kChunkBytes, 0, 2, 1, &link);
    if (bytes == 0) break;
    if (bytes == OV_HOLE) continue;
    if (bytes < 0) {
      lastLibraryError = static_cast<int>(bytes);
      return kSoundNotOggVorbis;
    }
    const vorbis_info* current = ov_info(&file, link);
    if (current == nullptr || current->channels != sound.channels || current->rate != sound.rate) {
      return kSoundUnsupported;
    }
    const size_t count = static_cast<size_t>(bytes) / sizeof(int16_t);
    if (sound.samples.size() + count > maxSamples) return kSoundUnsupported;
    sound.samples.insert(sound.samples.end(), chunk, chunk + count);
  }
  return sound.samples.empty() ? kSoundUnsupported : kSoundOk;
}

}  // namespace

int DecodeOggVorbis(const uint8_t* data, size_t size, DecodedSound& sound) {
  sound = DecodedSound{};
  MemoryStream stream{data, size, 0};
  OggVorbis_File file;
  lastLibraryError = ov_open_callbacks(&stream, &file, nullptr, 0, kMemoryCallbacks);
  if (lastLibraryError != 0) return kSoundNotOggVorbis;
  const int result = ReadAll(file, sound);
  ov_clear(&file);
  if (result != kSoundOk) sound = DecodedSound{};
  return result;
}

void MixDownToMono(DecodedSound& sound) {
  if (sound.channels != 2) return;
  const size_t frames = sound.Frames();
  for (size_t i = 0; i < frames; ++i) {
    sound.samples[i] = static_cast<int16_t>((sound.samples[2 * i] + sound.samples[2 * i + 1]) / 2);
  }
  sound.samples.resize(frames);
  sound.channels = 1;
}

std::string TakeVorbisFailureReason() {
  const std::string reason = VorbisErrorText(lastLibraryError);
  lastLibraryError = 0;
  return reason;
}

}  // namespace sylvora
