#include "content/generator.h"

#include <atomic>
#include <filesystem>
#include <thread>

#include "archive/high_resolution.h"
#include "archive/index_writer.h"
#include "archive/resource_index.h"
#include "archive/wide_picture.h"
#include "content/encoders.h"
#include "content/painters.h"
#include "platform/files.h"

namespace sylvora {
namespace {

void Make(MadeResource& out) {
  const ContentItem& item = *out.item;
  switch (item.role) {
    case ContentRole::Ground:
    case ContentRole::Overlay:
      out.image = PaintSceneLayer(item, out.scale, out.wide);
      out.bytes = EncodeJpeg(out.image, item.role == ContentRole::Overlay ? kOverlayJpegQuality : kJpegQuality);
      break;
    case ContentRole::Sky:
      out.image = PaintSky(item, out.scale);
      out.bytes = EncodeJpeg(out.image, kJpegQuality);
      break;
    case ContentRole::Sheet:
      out.image = PaintSheet(item, out.scale);
      out.bytes = out.archiveType == kBmpPicture ? EncodeBmp(out.image) : EncodeJpeg(out.image, kOverlayJpegQuality);
      break;
    case ContentRole::Ambience:
      out.bytes = EncodeOggVorbis(SynthesiseSound(item), kAmbienceVorbisQuality);
      break;
    case ContentRole::Song:
      out.bytes = EncodeOggVorbis(SynthesiseSound(item), kSongVorbisQuality);
      break;
  }
}

// What the index lists for item at scale, painted wide or not: a high-resolution sheet is a JPEG (see
// kHighResolutionSheetThreshold), everything else keeps its catalogue type.
MadeResource Planned(const ContentItem& item, int scale, bool wide = false) {
  MadeResource m;
  m.item = &item;
  m.scale = scale;
  m.wide = wide;
  const std::string name = wide ? WidePictureName(item.name) : item.name;
  m.name = scale == 1 ? name : HighResolutionName(name, scale);
  m.archiveType = scale != 1 && item.role == ContentRole::Sheet ? kJpegPicture : item.archiveType;
  return m;
}

// The grounds and overlays, which are painted wide as well.
bool IsSceneLayer(const ContentItem& item) {
  return item.role == ContentRole::Ground || item.role == ContentRole::Overlay;
}

// The loose file of a resource, relative to the installation directory.
std::string LooseName(const MadeResource& m) {
  switch (m.archiveType) {
    case kBmpPicture: return "graphics/" + m.name + ".bmp";
    case kJpegPicture: return "graphics/" + m.name + ".jpg";
    default: return "sounds/" + m.name + ".ogg";
  }
}

}  // namespace

std::vector<MadeResource> MakeAllResources(int threads) {
  std::vector<MadeResource> made;
  for (const ContentItem& item : kContent) made.push_back(Planned(item, 1));
  for (const ContentItem& item : kContent) {
    if (item.width > 0) made.push_back(Planned(item, kHighResolutionScale));
  }
  // The wide layers come after everything the classic display loads, which keeps its entries where
  // they were in the data file.
  for (const int scale : {1, kHighResolutionScale}) {
    for (const ContentItem& item : kContent) {
      if (IsSceneLayer(item)) made.push_back(Planned(item, scale, true));
    }
  }
  // Then what the native path shows on displays taller than the three-times pictures cover: the wide
  // layers, the skies and the creature sheets; the frame-wide layers are only its fallback.
  for (const ContentItem& item : kContent) {
    if (item.width > 0) made.push_back(Planned(item, kFinestPictureScale, IsSceneLayer(item)));
  }
  // The slowest resources, the high-resolution pictures and the sounds, are at the end: hand them out
  // first.
  const int count = static_cast<int>(made.size());
  std::atomic<int> next{0};
  auto worker = [&] {
    for (int n; (n = next.fetch_add(1)) < count;) Make(made[count - 1 - n]);
  };
  std::vector<std::thread> pool;
  for (int i = 1; i < threads; ++i) pool.emplace_back(worker);
  worker();
  for (std::thread& t : pool) t.join();
  return made;
}

bool WriteContentArchive(const std::string& directory, const std::vector<MadeResource>& made) {
  std::vector<PackItem> items;
  for (const MadeResource& m : made) {
    if (m.bytes.empty()) return false;
    items.push_back({m.archiveType, m.name, m.bytes});
  }
  return WriteArchive(directory, items, kDataFileName);
}

bool WriteLooseFiles(const std::string& directory, const std::vector<MadeResource>& made) {
  std::error_code error;
  std::filesystem::create_directories(directory + "/graphics", error);
  std::filesystem::create_directories(directory + "/sounds", error);
  for (const MadeResource& m : made) {
    if (!Files().WriteWhole(directory + "/" + LooseName(m), m.bytes)) return false;
  }
  return true;
}

}  // namespace sylvora
