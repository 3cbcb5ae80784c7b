#pragma once
// Makes every resource of the catalogue, in parallel, and packs them.
#include <cstdint>
#include <string>
#include <vector>

#include "content/canvas.h"
#include "content/catalogue.h"

namespace sylvora {

// JPEG quality of grounds and skies.
constexpr int kJpegQuality = 90;
// JPEG quality of overlays: higher, so ringing along bright edges stays below the black threshold and
// does not survive the colour key as specks around the subject.
constexpr int kOverlayJpegQuality = 95;
// Vorbis quality of the ambience (about 80 kbit/s for its two channels at 22050 Hz).
constexpr float kAmbienceVorbisQuality = 0.3f;
// Vorbis quality of the bird songs: their pure, fast-moving tones come out of the encoder about 15 dB
// above its noise at the ambience's quality and 30 dB above at this one, for a few kilobytes each.
constexpr float kSongVorbisQuality = 0.6f;
// The one file that holds every resource's bytes, beside data.nrx.
constexpr const char* kDataFileName = "data.dat";

// One made resource: its catalogue entry, the scale it is painted at, whether it is a scene layer
// painted wide, its name and entry type in the index (a high-resolution or wide picture's differ from
// its entry's), the picture as painted (pictures only) and the encoded bytes.
struct MadeResource {
  const ContentItem* item = nullptr;
  int scale = 1;
  bool wide = false;
  std::string name;
  int32_t archiveType = 0;
  Image image;
  std::string bytes;
};

// Paints, synthesises and encodes every catalogue entry on `threads` threads, then every picture again
// at kHighResolutionScale under its HighResolutionName, then every scene layer wide under its
// WidePictureName at scale 1 and at kHighResolutionScale, then at kFinestPictureScale the wide layers,
// the skies and the sheets. The result is in that order, the catalogue's within each part, and
// byte-for-byte the same whatever the thread count.
std::vector<MadeResource> MakeAllResources(int threads);

// Writes data.nrx and the data file into directory; false when a file cannot be written.
bool WriteContentArchive(const std::string& directory, const std::vector<MadeResource>& made);
// Writes the loose files: graphics/<name>.jpg or .bmp and sounds/<name>.ogg under directory.
bool WriteLooseFiles(const std::string& directory, const std::vector<MadeResource>& made);

}  // namespace sylvora
