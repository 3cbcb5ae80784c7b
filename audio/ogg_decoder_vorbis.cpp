#include "audio/ogg_decoder_vorbis.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "audio/sound_library.h"

namespace sylvora {

namespace {

using MemoryStream = VorbisReader::Source;

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

// Frames decoded into the stack at a time by DecodeOggVorbis.
constexpr size_t kChunkFrames = 1024;

// Reads every frame of an opened stream into sound, refusing more than DecodedSound::kMaxFrames.
int ReadAll(VorbisReader& reader, DecodedSound& sound) {
  const size_t maxSamples = DecodedSound::kMaxFrames * static_cast<size_t>(sound.channels);
  int16_t chunk[kChunkFrames * 2];
  for (;;) {
    const long frames = reader.Read(chunk, kChunkFrames);
    if (frames == 0) break;
    if (frames < 0) return kSoundNotOggVorbis;
    const size_t count = static_cast<size_t>(frames) * static_cast<size_t>(sound.channels);
    if (sound.samples.size() + count > maxSamples) return kSoundUnsupported;
    sound.samples.insert(sound.samples.end(), chunk, chunk + count);
  }
  return sound.samples.empty() ? kSoundUnsupported : kSoundOk;
}

}  // namespace

void VorbisReader::FileCloser::operator()(OggVorbis_File* file) const {
  ov_clear(file);
  delete file;
}

VorbisReader::~VorbisReader() { Close(); }

void VorbisReader::Close() {
  file_.reset();
  channels_ = rate_ = 0;
  frames_ = 0;
}

int VorbisReader::Open(const uint8_t* data, size_t size) {
  Close();
  source_ = Source{data, size, 0};
  auto file = std::make_unique<OggVorbis_File>();
  lastLibraryError = ov_open_callbacks(&source_, file.get(), nullptr, 0, kMemoryCallbacks);
  if (lastLibraryError != 0) return kSoundNotOggVorbis;  // a failed open clears what it set up
  file_.reset(file.release());
  const vorbis_info* first = ov_info(file_.get(), 0);
  if (first == nullptr) return kSoundNotOggVorbis;
  if (first->channels < 1 || first->channels > 2) return kSoundUnsupported;
  if (first->rate < DecodedSound::kMinRate || first->rate > DecodedSound::kMaxRate) return kSoundUnsupported;
  for (long link = 1; link < ov_streams(file_.get()); ++link) {
    const vorbis_info* next = ov_info(file_.get(), static_cast<int>(link));
    if (next == nullptr || next->channels != first->channels || next->rate != first->rate) return kSoundUnsupported;
  }
  const ogg_int64_t total = ov_pcm_total(file_.get(), -1);
  if (total < 0) return kSoundNotOggVorbis;
  if (total == 0 || static_cast<uint64_t>(total) > DecodedSound::kMaxFrames) return kSoundUnsupported;
  channels_ = first->channels;
  rate_ = static_cast<int>(first->rate);
  frames_ = static_cast<uint64_t>(total);
  return kSoundOk;
}

bool VorbisReader::Seek(uint64_t frame) {
  return file_ && frame < frames_ && ov_pcm_seek(file_.get(), static_cast<ogg_int64_t>(frame)) == 0;
}

long VorbisReader::Read(int16_t* out, size_t frames) {
  if (!file_) return -1;
  const size_t frameBytes = static_cast<size_t>(channels_) * sizeof(int16_t);
  size_t done = 0;
  while (done < frames) {
    int link = 0;
    const size_t room = std::min((frames - done) * frameBytes, size_t{1} << 20);
    const long bytes =
        ov_read(file_.get(), reinterpret_cast<char*>(out + done * channels_), static_cast<int>(room), 0, 2, 1, &link);
    if (bytes == 0) break;
    if (bytes == OV_HOLE) continue;
    if (bytes < 0) {
      lastLibraryError = static_cast<int>(bytes);
      return -1;
    }
    done += static_cast<size_t>(bytes) / frameBytes;
  }
  return static_cast<long>(done);
}

int DecodeOggVorbis(const uint8_t* data, size_t size, DecodedSound& sound) {
  sound = DecodedSound{};
  VorbisReader reader;
  int result = reader.Open(data, size);
  if (result == kSoundOk) {
    sound.channels = reader.Channels();
    sound.rate = reader.Rate();
    sound.samples.reserve(reader.Frames() * static_cast<size_t>(sound.channels));
    result = ReadAll(reader, sound);
  }
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
