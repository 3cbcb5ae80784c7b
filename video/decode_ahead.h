#pragma once
// Pictures decoded ahead. A scene's pictures and the creatures' sheets are JPEGs of millions of pixels,
// each decoded on the main thread as it is loaded, one after another, before the frame they appear in.
// Told which pictures come next, and the threshold each is keyed at, the video object reads their bytes
// and this decodes them on a worker, beside the main thread's own work, into the form the display
// keeps them in (whole 32-bit pixels for the native layer, so nothing is converted on the main thread)
// with their near-blacks made black; the loader then takes the pixels instead of decoding. Nothing of it shows: a picture that fails here,
// or that the loader reaches before the worker, is decoded by the loader as before, which reports what
// went wrong.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/ahead_worker.h"
#include "video/jpeg_decoder.h"
#include "video/picture_buffer.h"

namespace sylvora {

// One picture's decode, in the loader's pixel layout, with its near-blacks made black as the loader
// would make them: the worker does what would otherwise be the loader's work on the main thread.
struct AheadPicture final : AheadJob {
  JpegDecoder* decoder = nullptr;  // the worker's own
  int64_t maxPixels = 0;           // the most pixels a header may claim before anything is allocated
  int maxSide = 0;
  PixelRows rows = PixelRows::BottomUpBgr;  // the loader's layout
  int entry = -1;  // the archive entry the bytes are from; -1 while the slot is free
  uint64_t named = 0;   // when it was expected, counted: the worker is handed the oldest first
  bool handed = false;  // handed to the worker (and not yet taken back)
  int blackLimit = 0;   // BlackenBelow's limit for the picture, as its loader will ask
  std::unique_ptr<uint8_t[]> bytes;
  size_t byteCount = 0;
  PictureBuffer picture;  // its pixels set when the decode succeeded

  void Run() override;
};

// Owned by the video object, which feeds it in DecodeAhead and takes from it in its JPEG loader.
class DecodeAhead {
 public:
  // The most pictures expected at once: the creatures' sheets and a scene's pictures.
  static constexpr int kMaxPicturesAhead = 32;
  // The most of them decoded or being decoded and not yet taken: each holds a whole picture's pixels,
  // so the worker stays only this far ahead of the loader.
  static constexpr int kMostDecodedAhead = 2;

  // decoder decodes on the worker only, into rows; headers claiming more than maxSide a side or
  // maxPixels in all are left for the loader to refuse.
  DecodeAhead(std::unique_ptr<JpegDecoder> decoder, int maxSide, int64_t maxPixels, PixelRows rows);
  ~DecodeAhead();
  DecodeAhead(const DecodeAhead&) = delete;
  DecodeAhead& operator=(const DecodeAhead&) = delete;

  // Drops every picture decoded ahead that no load took: those loads went another way.
  void DropUntaken();
  // Queues the compressed bytes of archive entry to be decoded and blackened below blackLimit; ignored
  // when every slot is taken.
  void Expect(int entry, std::unique_ptr<uint8_t[]> bytes, size_t byteCount, int blackLimit);
  // Whether entry is expected and not yet taken.
  bool Expects(int entry) const;
  // Whether entry is expected and its decode not yet done: Take would wait for it.
  bool Decoding(int entry);
  // Moves entry's decoded picture into picture, waiting for the worker to decode it: the loader takes
  // its pictures in the order it named them, so the one it wants is the worker's next. False, with
  // nothing moved, when it was not expected, failed, or was blackened below another limit than
  // blackLimit; the slot is free again either way.
  bool Take(int entry, int blackLimit, PictureBuffer& picture);

 private:
  // The slot holding entry, or null.
  AheadPicture* Find(int entry);
  // Frees a slot, taking its job back from the worker first.
  void Free(AheadPicture& slot);
  // Hands the worker the oldest expected pictures, as long as fewer than kMostDecodedAhead are its.
  void HandOldest();

  std::unique_ptr<JpegDecoder> decoder_;
  std::array<AheadPicture, kMaxPicturesAhead> slots_;
  uint64_t namedCount_ = 0;
  // Last, so that it stops before the slots its jobs use are gone.
  AheadWorker worker_{AheadWorker::Order::OldestFirst};
};

}  // namespace sylvora
