#include "content/contact_sheet.h"

#include <cairo.h>
#include <turbojpeg.h>

#include <algorithm>
#include <filesystem>

#include "archive/high_resolution.h"
#include "archive/resource_index.h"
#include "archive/wide_picture.h"
#include "content/sound_sheet.h"

namespace sylvora {
namespace {

constexpr int kSheetWidth = 4300;
constexpr int kGap = 16;
constexpr int kLabelHeight = 16;
constexpr int kSpriteZoom = 4;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// What the screensaver gets from a JPEG: the decoded pixels (compression artefacts included).
Image DecodeJpeg(const std::string& bytes) {
  Image image;
  tjhandle decoder = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  if (tjDecompressHeader3(decoder, data, bytes.size(), &width, &height, &subsampling, &colourspace) == 0) {
    image = Image(width, height);
    if (tjDecompress2(decoder, data, bytes.size(), image.rgb.data(), width, width * 3, height, TJPF_RGB, 0) != 0) {
      image = Image();
    }
  }
  tjDestroy(decoder);
  return image;
}

// The picture as the program holds it after loading: decoded, and for an overlay keyed on black with
// its threshold. Transparent pixels get alpha 0.
cairo_surface_t* LoadedSurface(const MadeResource& m) {
  const Image image = m.archiveType == kJpegPicture ? DecodeJpeg(m.bytes) : m.image;
  const bool keyed = m.item->role == ContentRole::Overlay || m.item->role == ContentRole::Sheet;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < image.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.At(x, y);
      const bool transparent = keyed && p[0] + p[1] + p[2] < std::max(1, m.item->blackThreshold);
      row[x] = transparent ? 0u : 0xFF000000u | (p[0] << 16) | (p[1] << 8) | p[2];
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

const MadeResource* Find(const std::vector<MadeResource>& made, const std::string& name) {
  for (const MadeResource& m : made) {
    if (name == m.name) return &m;
  }
  return nullptr;
}

void Blit(cairo_t* cr, const MadeResource* m, double x, double y, double zoom) {
  if (m == nullptr) return;
  cairo_surface_t* surface = LoadedSurface(*m);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, zoom, zoom);
  cairo_set_source_surface(cr, surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(surface);
}

// The picture called name painted at scale output pixels per logical pixel.
const MadeResource* FindAt(const std::vector<MadeResource>& made, const std::string& name, int scale) {
  return Find(made, scale == 1 ? name : HighResolutionName(name));
}

// The sky of a composed scene at scroll position 0: screen column c shows panorama column c, which
// wraps every 1280 columns; the upper half is the panorama's columns 0..639, the lower half 640..1279.
// A wide scene starts at column kWideFieldLeft and so shows the end of the lower half on its left.
void BlitSky(cairo_t* cr, const MadeResource* sky, double x, double y, int band, int scale, bool wide) {
  const int offset = (wide ? -kWideFieldLeft : 0) * scale;
  const int half = kScreenWidth * scale;
  cairo_save(cr);
  cairo_rectangle(cr, x, y, (wide ? kWideLayerWidth : kScreenWidth) * scale, band);
  cairo_clip(cr);
  Blit(cr, sky, x + offset, y, 1);
  Blit(cr, sky, x + offset - half, y - band, 1);
  Blit(cr, sky, x + offset + half, y - band, 1);
  cairo_restore(cr);
}

// Scene n composed back to front with its first sky at scroll position 0, from its pictures painted at
// scale: kScreenWidth x kScreenHeight times scale output pixels, or from its wide pictures
// kWideLayerWidth x kScreenHeight times scale.
void ComposeScene(cairo_t* cr, const std::vector<MadeResource>& made, int scene, double x, double y, int scale,
                  bool wide = false) {
  const std::string s = std::to_string(scene);
  auto layer = [&](int n) {
    const std::string name = "back" + s + "_" + std::to_string(n);
    return FindAt(made, wide ? WidePictureName(name) : name, scale);
  };
  const MadeResource* ground = layer(0);
  const MadeResource* sky = FindAt(made, "sky" + s + "_0", scale);
  const int groundHeight = ground ? ground->item->height : 0;
  const int band = (kScreenHeight - groundHeight) * scale;
  cairo_save(cr);
  cairo_rectangle(cr, x, y, (wide ? kWideLayerWidth : kScreenWidth) * scale, kScreenHeight * scale);
  cairo_clip(cr);
  Blit(cr, ground, x, y + band, 1);
  BlitSky(cr, sky, x, y, band, scale, wide);
  // Layer positions as the scenes place them; a wide layer spans the whole wide field at its rows.
  struct Place { int layer, px, py; };
  static constexpr Place kPlaces[6][2] = {{{1, 0, 0}, {2, 0, 0}},     {{1, 0, 0}, {2, 0, 0}},
                                          {{1, 0, 0}, {2, 0, 260}},   {{1, 0, 208}, {2, 152, 332}},
                                          {{1, 0, 0}, {2, 0, 28}},    {{1, 0, 0}, {2, 513, 0}}};
  for (const Place& p : kPlaces[scene]) Blit(cr, layer(p.layer), x + (wide ? 0 : p.px * scale), y + p.py * scale, 1);
  cairo_restore(cr);
}

// Scene n on its own at screen size times scale, or wide, for a close look.
bool WriteScene(const std::string& path, const std::vector<MadeResource>& made, int scene, int scale,
                bool wide = false) {
  cairo_surface_t* screen = cairo_image_surface_create(
      CAIRO_FORMAT_RGB24, (wide ? kWideLayerWidth : kScreenWidth) * scale, kScreenHeight * scale);
  cairo_t* cr = cairo_create(screen);
  ComposeScene(cr, made, scene, 0, 0, scale, wide);
  const bool ok = cairo_surface_write_to_png(screen, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_destroy(screen);
  return ok;
}

void Label(cairo_t* cr, const std::string& text, double x, double y) {
  cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 12);
  cairo_move_to(cr, x, y + 12);
  cairo_show_text(cr, text.c_str());
}

}  // namespace

bool WriteContactSheet(const std::string& pngPath, const std::vector<MadeResource>& made) {
  // Shelf layout: scenes first (three per row), then every picture in catalogue order.
  struct Cell { const MadeResource* m; int x, y, w, h; };
  std::vector<Cell> cells;
  int x = kGap, y = kGap, shelf = 0;
  auto place = [&](const MadeResource* m, int w, int h) {
    if (x + w + kGap > kSheetWidth) {
      x = kGap;
      y += shelf + kLabelHeight + kGap;
      shelf = 0;
    }
    cells.push_back({m, x, y, w, h});
    x += w + kGap;
    shelf = std::max(shelf, h);
  };
  for (int scene = 0; scene < 6; ++scene) place(nullptr, kScreenWidth, kScreenHeight);
  for (const MadeResource& m : made) {
    // The sheet shows the pictures as the classic display does; the finer ones are looked at on their own.
    if (m.image.width == 0 || m.scale != 1 || m.wide) continue;
    const int zoom = m.item->role == ContentRole::Sheet ? kSpriteZoom : 1;
    place(&m, m.image.width * zoom, m.image.height * zoom);
  }
  const int height = y + shelf + kLabelHeight + kGap;

  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, height);
  cairo_t* cr = cairo_create(sheet);
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.22);
  cairo_paint(cr);
  int scene = 0;
  for (const Cell& c : cells) {
    if (c.m == nullptr) {
      ComposeScene(cr, made, scene, c.x, c.y, 1);
      Label(cr, "scene " + std::to_string(scene), c.x, c.y + c.h);
      ++scene;
      continue;
    }
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, c.x, c.y, c.w, c.h);
    cairo_fill(cr);
    Blit(cr, c.m, c.x, c.y, c.m->item->role == ContentRole::Sheet ? kSpriteZoom : 1);
    Label(cr, c.m->item->name, c.x, c.y + c.h);
  }
  bool ok = cairo_surface_write_to_png(sheet, pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
  // Each scene on its own, as the classic display draws it, from the three-times twins, and wide.
  const std::filesystem::path folder = std::filesystem::path(pngPath).parent_path();
  for (int n = 0; n < 6; ++n) {
    const std::string name = "scene-" + std::to_string(n);
    ok = WriteScene((folder / (name + ".png")).string(), made, n, 1) && ok;
    ok = WriteScene((folder / (HighResolutionName(name) + ".png")).string(), made, n, kHighResolutionScale) && ok;
    ok = WriteScene((folder / (WidePictureName(name) + ".png")).string(), made, n, 1, true) && ok;
  }
  cairo_destroy(cr);
  cairo_surface_destroy(sheet);
  return WriteSoundSheet((folder / "sounds.png").string(), made) && ok;
}

}  // namespace sylvora
