#include "content/sound_sheet.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "audio/ogg_decoder_vorbis.h"
#include "content/birdsong.h"
#include "content/sonogram.h"
#include "nature/song_renditions.h"

namespace sylvora {
namespace {

constexpr int kGap = 16;
constexpr int kLabelHeight = 18;
constexpr int kAxisWidth = 34;  // room for the kHz labels left of each panel
// Every panel shows 0 Hz to kTopHz over kPanelHeight pixels, and kDynamicRangeDb below its loudest bin.
constexpr int kPanelHeight = 256;
constexpr double kTopHz = 11025;
constexpr double kGridHz = 2000;
constexpr double kDynamicRangeDb = 80;
// Time scales: a pixel column is one analysis frame.
struct TimeScale { int pixelsPerSecond, window; double tickSeconds; };
constexpr TimeScale kSongScale = {125, 512, 0.5};
constexpr TimeScale kAmbienceScale = {11, 2048, 10};
constexpr double kCloseUpSeconds = 4;  // the close-up of the ambience, at the songs' scale
constexpr int kSongPanelWidth = 4 * kSongScale.pixelsPerSecond;  // the longest song
// A row for each species, its renditions side by side.
constexpr int kSongsPerRow = kSongRenditions;
constexpr int kSheetWidth = kGap + kSongsPerRow * (kAxisWidth + kSongPanelWidth + kGap);
constexpr int kRowHeight = kPanelHeight + kLabelHeight + kGap;

// Dark blue through red and orange to pale yellow, quiet to loud.
constexpr std::array<Colour, 5> kHeat = {Rgb(0, 0, 0), Rgb(30, 12, 90), Rgb(190, 30, 90), Rgb(250, 150, 30),
                                         Rgb(255, 250, 200)};

Colour Heat(double t) {
  const double at = std::clamp(t, 0.0, 1.0) * (kHeat.size() - 1);
  const size_t low = std::min(static_cast<size_t>(at), kHeat.size() - 2);
  return Mix(kHeat[low], kHeat[low + 1], at - low);
}

// What the screensaver plays: the program's own decoder's 16-bit samples, stereo mixed down.
std::vector<float> DecodedMono(const MadeResource& m, int& rate) {
  DecodedSound sound;
  if (DecodeOggVorbis(reinterpret_cast<const uint8_t*>(m.bytes.data()), m.bytes.size(), sound) != 0) return {};
  MixDownToMono(sound);
  rate = sound.rate;
  std::vector<float> samples(sound.samples.size());
  std::transform(sound.samples.begin(), sound.samples.end(), samples.begin(), [](int16_t s) { return s / 32768.0f; });
  return samples;
}

cairo_surface_t* Paint(const Sonogram& sonogram) {
  float loudest = 1e-12f;
  for (int f = 0; f < sonogram.Frames(); ++f) {
    for (int b = 0; b < sonogram.Bins(); ++b) loudest = std::max(loudest, sonogram.Power(f, b));
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sonogram.Frames(), kPanelHeight);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < kPanelHeight; ++y) {
    const double hz = (kPanelHeight - 0.5 - y) * kTopHz / kPanelHeight;
    const int bin = std::min(sonogram.Bins() - 1, static_cast<int>(std::lround(hz / sonogram.BinHz())));
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < sonogram.Frames(); ++x) {
      const double db = 10 * std::log10(std::max(sonogram.Power(x, bin), 1e-20f) / loudest);
      row[x] = OpaquePixel(Heat(1 + db / kDynamicRangeDb));
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

void Text(cairo_t* cr, const std::string& text, double x, double y, double size) {
  cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
}

// The sonogram at (x, y) with its kHz grid and labels on the left, time ticks and the label below.
void DrawPanel(cairo_t* cr, const std::vector<float>& samples, int rate, const TimeScale& scale, int x, int y,
               const std::string& label) {
  const Sonogram sonogram(samples, rate, scale.window, rate / scale.pixelsPerSecond);
  cairo_surface_t* surface = Paint(sonogram);
  cairo_set_source_surface(cr, surface, x + kAxisWidth, y);
  cairo_paint(cr);
  cairo_surface_destroy(surface);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
  for (double hz = kGridHz; hz < kTopHz; hz += kGridHz) {
    const double gy = y + kPanelHeight - std::round(hz / kTopHz * kPanelHeight) + 0.5;
    cairo_move_to(cr, x + kAxisWidth, gy);
    cairo_line_to(cr, x + kAxisWidth + sonogram.Frames(), gy);
  }
  const double seconds = sonogram.Frames() * sonogram.FrameSeconds();
  for (double t = scale.tickSeconds; t < seconds; t += scale.tickSeconds) {
    const double tx = x + kAxisWidth + std::round(t / sonogram.FrameSeconds()) + 0.5;
    cairo_move_to(cr, tx, y + kPanelHeight);
    cairo_line_to(cr, tx, y + kPanelHeight + 5);
  }
  cairo_stroke(cr);
  for (double hz = kGridHz; hz < kTopHz; hz += kGridHz) {
    const double ty = y + kPanelHeight - hz / kTopHz * kPanelHeight + 4;
    Text(cr, std::to_string(static_cast<int>(hz / 1000)) + " kHz", x, ty, 10);
  }
  char duration[32];
  std::snprintf(duration, sizeof duration, " (%.2f s)", seconds);
  Text(cr, label + duration, x + kAxisWidth, y + kPanelHeight + kLabelHeight, 13);
}

// Where panel `slot` of the grid below the ambience goes.
void SlotCorner(int slot, int& x, int& y) {
  x = kGap + slot % kSongsPerRow * (kAxisWidth + kSongPanelWidth + kGap);
  y = kGap + (1 + slot / kSongsPerRow) * kRowHeight;
}

// The quietest kCloseUpSeconds of the ambience, where the brook's bubbles and the cricket show between
// the gusts; searched in steps of a tenth of a second.
std::vector<float> QuietestStretch(const std::vector<float>& samples, int rate) {
  const size_t length = static_cast<size_t>(kCloseUpSeconds * rate), step = static_cast<size_t>(rate / 10);
  size_t best = 0;
  double quietest = 1e300;
  for (size_t from = 0; from + length <= samples.size(); from += step) {
    double sum = 0;
    for (size_t i = from; i < from + length; ++i) sum += samples[i] * samples[i];
    if (sum < quietest) {
      quietest = sum;
      best = from;
    }
  }
  return {samples.begin() + static_cast<std::ptrdiff_t>(best),
          samples.begin() + static_cast<std::ptrdiff_t>(std::min(samples.size(), best + length))};
}

void DrawSound(cairo_t* cr, const MadeResource& m, const std::vector<float>& samples, int rate) {
  const std::string name = m.item->name;
  int x = 0, y = 0;
  if (m.item->role == ContentRole::Song) {
    SlotCorner(m.item->variant * kSongRenditions + m.item->rendition, x, y);
    const bool first = m.item->rendition == 0;
    DrawPanel(cr, samples, rate, kSongScale, x, y, first ? name + ": " + SongLikeness(m.item->variant) : name);
    return;
  }
  DrawPanel(cr, samples, rate, kAmbienceScale, kGap, kGap, name + ": the looping ambience, both channels");
  SlotCorner(kSongCount * kSongRenditions, x, y);
  DrawPanel(cr, QuietestStretch(samples, rate), rate, kSongScale, x, y, name + ", close up: its quietest stretch");
}

}  // namespace

bool WriteSoundSheet(const std::string& pngPath, const std::vector<MadeResource>& made) {
  // The ambience across the top, then the songs and the ambience's close-up.
  const int slotRows = (kSongCount * kSongRenditions + 1 + kSongsPerRow - 1) / kSongsPerRow;
  const int height = kGap + (1 + slotRows) * kRowHeight;
  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, height);
  cairo_t* cr = cairo_create(sheet);
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.22);
  cairo_paint(cr);
  bool ok = true;
  for (const MadeResource& m : made) {
    if (m.item->role != ContentRole::Ambience && m.item->role != ContentRole::Song) continue;
    int rate = 0;
    const std::vector<float> samples = DecodedMono(m, rate);
    ok = rate > 0 && ok;
    if (rate > 0) DrawSound(cr, m, samples, rate);
  }
  ok = cairo_surface_write_to_png(sheet, pngPath.c_str()) == CAIRO_STATUS_SUCCESS && ok;
  cairo_destroy(cr);
  cairo_surface_destroy(sheet);
  return ok;
}

}  // namespace sylvora
