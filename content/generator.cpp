#include "content/generator.h"

#include <atomic>
#include <filesystem>
#include <thread>

#include "archive/index_writer.h"
#include "archive/resource_index.h"
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
      out.image = PaintSceneLayer(item);
      out.bytes = EncodeJpeg(out.image, item.role == ContentRole::Overlay ? kOverlayJpegQuality : kJpegQuality);
      break;
    case ContentRole::Sky:
      out.image = PaintSky(item);
      out.bytes = EncodeJpeg(out.image, kJpegQuality);
      break;
    case ContentRole::Sheet:
      out.image = PaintSheet(item);
      out.bytes = EncodeBmp(out.image);
      break;
    case ContentRole::Ambience:
      out.bytes = EncodeOggVorbis(SynthesiseSound(item), kAmbienceVorbisQuality);
      break;
    case ContentRole::Song:
      out.bytes = EncodeOggVorbis(SynthesiseSound(item), kSongVorbisQuality);
      break;
  }
}

// The loose file of a resource, relative to the installation directory.
std::string LooseName(const ContentItem& item) {
  switch (item.archiveType) {
    case kBmpPicture: return std::string("graphics/") + item.name + ".bmp";
    case kJpegPicture: return std::string("graphics/") + item.name + ".jpg";
    default: return std::string("sounds/") + item.name + ".ogg";
  }
}

}  // namespace

std::vector<MadeResource> MakeAllResources(int threads) {
  std::vector<MadeResource> made(kContent.size());
  for (size_t i = 0; i < kContent.size(); ++i) made[i].item = &kContent[i];
  // The slowest resources are the sounds, at the end of the catalogue: hand them out first.
  std::atomic<int> next{0};
  auto worker = [&] {
    for (int n; (n = next.fetch_add(1)) < kContentCount;) Make(made[kContentCount - 1 - n]);
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
    items.push_back({m.item->archiveType, m.item->name, m.bytes});
  }
  return WriteArchive(directory, items, kDataFileName);
}

bool WriteLooseFiles(const std::string& directory, const std::vector<MadeResource>& made) {
  std::error_code error;
  std::filesystem::create_directories(directory + "/graphics", error);
  std::filesystem::create_directories(directory + "/sounds", error);
  for (const MadeResource& m : made) {
    if (!Files().WriteWhole(directory + "/" + LooseName(*m.item), m.bytes)) return false;
  }
  return true;
}

}  // namespace sylvora
