#include "audio/sound_stream_openal.h"

#include <AL/al.h>

#include <utility>

#include "audio/sound_library.h"

namespace sylvora {

bool StreamedSound::WorthStreaming(const std::vector<uint8_t>& bytes, uint32_t aboveBytes) {
  VorbisReader reader;
  if (reader.Open(bytes.data(), bytes.size()) != kSoundOk) return false;
  return reader.Frames() * static_cast<uint64_t>(reader.Channels()) * sizeof(int16_t) > aboveBytes;
}

StreamedSound::~StreamedSound() {
  for (int i = 0; i < playbackCount_; ++i) alDeleteBuffers(kBuffers, playbacks_[i].buffers.data());
}

int StreamedSound::Open(std::vector<uint8_t> bytes, int playbacks) {
  bytes_ = std::move(bytes);
  for (int i = 0; i < playbacks && i < OpenAlSoundLibrary::kMaxPlaybacks; ++i) {
    Playback& playback = playbacks_[i];
    const int result = playback.reader.Open(bytes_.data(), bytes_.size());
    if (result != kSoundOk) return result;
    alGetError();
    alGenBuffers(kBuffers, playback.buffers.data());
    if (alGetError() != AL_NO_ERROR) return kSoundOutOfMemory;
    ++playbackCount_;
  }
  const VorbisReader& first = playbacks_[0].reader;
  channels_ = first.Channels();
  rate_ = first.Rate();
  frames_ = first.Frames();
  chunk_.resize(kBufferFrames * static_cast<size_t>(channels_));
  return kSoundOk;
}

void StreamedSound::Start(int index, uint32_t source, uint64_t frame, bool loop) {
  Playback& playback = playbacks_[index];
  // Stopped here, under the caller's lock: a playback being replaced was stopped before, but a refill
  // since then may have found it dry and started it again.
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, 0);          // the stopped source lets every buffer go
  alSourcei(source, AL_LOOPING, AL_FALSE);  // looping is the reader's: it goes back to the start
  playback.front = 0;
  playback.queued = 0;
  if (frame >= frames_ || !playback.reader.Seek(frame)) {
    frame = 0;
    playback.reader.Seek(0);
  }
  playback.nextFrame = frame;
  playback.looping = loop;
  playback.feeding = true;
  QueueAhead(playback, source);
  alSourcePlay(source);
}

void StreamedSound::Stop(int index) { playbacks_[index].feeding = false; }

size_t StreamedSound::Fill(Playback& playback) {
  size_t filled = 0;
  bool rewound = false;
  while (filled < kBufferFrames) {
    const long read = playback.reader.Read(chunk_.data() + filled * channels_, kBufferFrames - filled);
    if (read > 0) {
      filled += static_cast<size_t>(read);
      playback.nextFrame += static_cast<uint64_t>(read);
      rewound = false;
      continue;
    }
    // The end (or damaged data, which ends the sound where it is): back to the start, once per end.
    if (read < 0 || !playback.looping || rewound || !playback.reader.Seek(0)) {
      playback.feeding = false;
      break;
    }
    playback.nextFrame = 0;
    rewound = true;
  }
  return filled;
}

void StreamedSound::QueueAhead(Playback& playback, uint32_t source) {
  while (playback.feeding && playback.queued < kBuffers) {
    const uint64_t start = playback.nextFrame;
    const size_t frames = Fill(playback);
    if (frames == 0) break;
    const int slot = (playback.front + playback.queued) % kBuffers;
    const ALuint buffer = playback.buffers[slot];
    alBufferData(buffer, channels_ == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, chunk_.data(),
                 static_cast<ALsizei>(frames * static_cast<size_t>(channels_) * sizeof(int16_t)), rate_);
    alSourceQueueBuffers(source, 1, &buffer);
    playback.bufferStart[slot] = start;
    ++playback.queued;
  }
}

void StreamedSound::Refill(int index, uint32_t source) {
  Playback& playback = playbacks_[index];
  ALint processed = 0;
  alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
  for (; processed > 0 && playback.queued > 0; --processed) {
    ALuint buffer = 0;
    alSourceUnqueueBuffers(source, 1, &buffer);
    playback.front = (playback.front + 1) % kBuffers;
    --playback.queued;
  }
  if (!playback.feeding) return;
  QueueAhead(playback, source);
  ALint state = AL_STOPPED;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  if (state == AL_STOPPED && playback.queued > 0) alSourcePlay(source);
}

int64_t StreamedSound::Position(int index, uint32_t source) const {
  const Playback& playback = playbacks_[index];
  ALint state = AL_STOPPED;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  if (playback.queued == 0 || (state != AL_PLAYING && state != AL_PAUSED)) return 0;
  ALint offset = 0;
  alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
  return static_cast<int64_t>((playback.bufferStart[playback.front] + static_cast<uint64_t>(offset)) % frames_);
}

}  // namespace sylvora
