#pragma once
// A long plain sample played from its compressed bytes: each playback decodes its own way through them, a
// few short OpenAL buffers ahead of the mixer, instead of the whole sound being decoded before it can be
// loaded and held decoded while it plays (the ambience: 16 MB and a quarter of a second at start-up).
//
// Used by the OpenAL sound library only, which calls every member with its stream lock held: its
// feeder thread (or, on the loopback output, Render) refills while the main thread starts and stops.
#include <array>
#include <cstdint>
#include <vector>

#include "audio/ogg_decoder_vorbis.h"
#include "audio/sound_library_openal.h"

namespace sylvora {

class StreamedSound {
 public:
  // Buffers queued ahead of the mixer per playback, and the frames in each: about a second and a half
  // of a 44.1 kHz sound ahead, so a feeder held up for a while on a busy machine leaves no gap.
  static constexpr int kBuffers = 4;
  static constexpr size_t kBufferFrames = 16384;
  // Whether the stream in bytes decodes to more than aboveBytes of 16-bit samples. False for bytes
  // that are not a usable stream: decoding them whole reports why.
  static bool WorthStreaming(const std::vector<uint8_t>& bytes, uint32_t aboveBytes);

  StreamedSound() = default;
  // Deletes the buffers: the sources that queued them must be deleted first.
  ~StreamedSound();
  StreamedSound(const StreamedSound&) = delete;
  StreamedSound& operator=(const StreamedSound&) = delete;

  // Takes the bytes and makes playbacks readers and their buffers. kSoundOk, a code of DecodeOggVorbis, or
  // kSoundOutOfMemory when OpenAL has no buffers to give.
  int Open(std::vector<uint8_t> bytes, int playbacks);
  int Channels() const { return channels_; }
  int Rate() const { return rate_; }
  uint64_t Frames() const { return frames_; }

  // Starts playback on source from frame (0 where it is past the end), looping back to the start at the
  // end when loop is set; stops the source first. Queues what it can and plays.
  void Start(int playback, uint32_t source, uint64_t frame, bool loop);
  // Queues no more for playback: after Stop, or once a playback not looping has queued its last frame.
  void Stop(int playback);
  // Unqueues what the mixer has played and queues as much again; restarts a source the mixer ran dry of.
  void Refill(int playback, uint32_t source);
  // The frame of the sound playback is at.
  int64_t Position(int playback, uint32_t source) const;

 private:
  struct Playback {
    VorbisReader reader;
    std::array<uint32_t, kBuffers> buffers{};
    std::array<uint64_t, kBuffers> bufferStart{};  // the sound's frame each buffer begins at
    int front = 0;                                 // the oldest buffer queued
    int queued = 0;
    uint64_t nextFrame = 0;  // where the reader is
    bool looping = false;
    bool feeding = false;  // more to queue
  };

  // Decodes the next buffer's frames into chunk_: the count, fewer at the end of a playback that does
  // not loop (which then stops feeding).
  size_t Fill(Playback& playback);
  // Fills and queues buffers while there is room and more to play.
  void QueueAhead(Playback& playback, uint32_t source);

  std::vector<uint8_t> bytes_;
  std::array<Playback, OpenAlSoundLibrary::kMaxPlaybacks> playbacks_;
  int playbackCount_ = 0;
  std::vector<int16_t> chunk_;  // one buffer's samples, made once
  int channels_ = 0;
  int rate_ = 0;
  uint64_t frames_ = 0;
};

}  // namespace sylvora
