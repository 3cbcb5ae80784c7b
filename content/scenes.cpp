// The six painted places: each scene's ground (opaque) and its overlays (on pure black, keyed), in one
// light and palette per scene that agrees with its skies.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "archive/wide_picture.h"
#include "content/paint.h"
#include "content/painters.h"
#include "content/water.h"

namespace sylvora {
namespace {

// How far above its layer's black threshold an overlay's darkest subject pixel is kept, so JPEG
// compression cannot push a subject pixel below it.
constexpr int kThresholdMargin = 50;
// Salts the seed of the random numbers for what only a wide painting shows.
constexpr uint64_t kBeyondSalt = 0x57494445;

// A painter draws its layer in the layer's own columns, 0 up to its width; a wide canvas shows more of
// them on either side (see Canvas). It gets the layer's random numbers and a second stream, beyond, for
// what only a wide canvas shows.
using Painter = void (*)(Canvas&, Rng&, Rng& beyond);

// The columns of the classic 640 x 480 frame, which every full-width layer spans.
constexpr double kFrameWidth = 640;

// ---------------------------------------------------------------------------------------------------
// Shared pieces.

// Features laid one after another along a row draw on the layer's random numbers over the stretch x0..x1
// the classic picture has always had, exactly as they always have. On a wide canvas this then calls
// paint(beyond, from, to) for the stretches outside it, out to margin past the canvas's edges, so what
// the canvas adds there continues the row without moving anything in the classic stretch. Only a wide
// canvas reaches left of its layer's column 0.
template <typename Paint>
void Beyond(const Canvas& canvas, Rng& beyond, double x0, double x1, double margin, Paint paint) {
  if (canvas.Left() >= 0) return;
  if (canvas.Left() - margin < x0) paint(beyond, canvas.Left() - margin, x0);
  if (canvas.Right() + margin > x1) paint(beyond, x1, canvas.Right() + margin);
}

// How many of count features spread over span fall in from..to at the same density.
int Share(int count, double span, double from, double to) {
  return static_cast<int>(std::lround(count * (to - from) / span));
}

// Fills every column of the canvas with a vertical gradient.
void FillLayer(Canvas& canvas, Colour top, Colour bottom) {
  cairo_t* cr = canvas.Cr();
  SourceVertical(cr, 0, top, canvas.Height(), bottom);
  cairo_rectangle(cr, canvas.Left(), 0, canvas.Right() - canvas.Left(), canvas.Height());
  cairo_fill(cr);
}

// A band of grass over x0..x1 that a wide canvas continues to both of its edges.
void GrassAcross(Canvas& canvas, Rng& rng, Rng& beyond, double x0, double x1, double yTop, double yBottom,
                 const GrassStyle& style) {
  GrassStretch stretches[3] = {{&rng, x0, x1}};
  int count = 1;
  Beyond(canvas, beyond, x0, x1, 10, [&](Rng& r, double from, double to) { stretches[count++] = {&r, from, to}; });
  GrassBand(canvas.Cr(), stretches, count, yTop, yBottom, style);
}

// How many rows above a ground picture its grass is rooted: the blades rooted there reach into its top
// rows, which so are as grassy as the rest and as the horizon picture above, whose grass ends there.
constexpr double kGrassAbove = 3;

// The far grass of the meadow a horizon picture stands on, along its foot: the same grass the ground's
// top rows show, so where the two pictures meet the meadow runs on in one tone.
void MeadowBegins(Canvas& canvas, Rng& rng, Rng& beyond, const Colour* grass, int count, double density) {
  const double foot = canvas.Height();
  GrassAcross(canvas, rng, beyond, -10, kFrameWidth + 10, foot - 13, foot + kGrassAbove,
              {grass, count, density, 3.5, 1.5, 0.12});
}

// A meadow floor: a far-to-near gradient, soft mottling, then grass rows growing towards the viewer.
void MeadowFloor(Canvas& canvas, Rng& rng, Rng& beyond, Colour far, Colour near, const Colour* grass, int grassCount,
                 double nearHeight, double density) {
  FillLayer(canvas, far, near);
  canvas.Mottle(static_cast<uint32_t>(rng.Next()), 90, 0.18);
  GrassAcross(canvas, rng, beyond, -10, kFrameWidth + 10, -kGrassAbove, canvas.Height() + nearHeight * 0.6,
              {grass, grassCount, density, nearHeight, 2.5, 0.15});
}

// Wild flowers scattered over a floor from yTop to yBottom, small and dense far away, larger near.
struct FlowerMeadow {
  double yTop, yBottom;
  int count;  // over the classic stretch
  const Colour* petals;
  int petalCount;
  double nearRadius;
};

void Wildflowers(cairo_t* cr, Rng& rng, double x0, double x1, const FlowerMeadow& meadow, int count) {
  const double yTop = meadow.yTop, yBottom = meadow.yBottom, nearRadius = meadow.nearRadius;
  for (int i = 0; i < count; ++i) {
    const double t = std::pow(rng.Unit(), 0.7);
    const double y = yTop + (yBottom - yTop) * t;
    const double r = 0.8 + nearRadius * t * t * rng.Range(0.7, 1.2);
    const Colour p = meadow.petals[rng.Int(0, meadow.petalCount)];
    const double x = rng.Range(x0, x1);
    if (r > 2.2) {
      SetColour(cr, Rgb(60, 110, 40));
      cairo_set_line_width(cr, std::max(0.8, r * 0.18));
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, x + rng.Range(-2, 2), y + r * 3);
      cairo_stroke(cr);
    }
    Flower(cr, x, y, r, p, r > 2 ? Rgb(240, 200, 60) : p);
  }
}

// Wild flowers over x0..x1, continued as densely to the edges of a wide canvas.
void WildflowersAcross(Canvas& canvas, Rng& rng, Rng& beyond, double x0, double x1, const FlowerMeadow& meadow) {
  Wildflowers(canvas.Cr(), rng, x0, x1, meadow, meadow.count);
  Beyond(canvas, beyond, x0, x1, 0, [&](Rng& r, double from, double to) {
    Wildflowers(canvas.Cr(), r, from, to, meadow, Share(meadow.count, x1 - x0, from, to));
  });
}

// Rounded tree crowns along a ridge line, as seen from far away: copses and hedges with open ground
// between them; `cover` is the share of the line that is wooded.
struct Belt {
  const TileNoise& ridge;
  double baseY, amplitude, cell;  // the ridge line, as RidgeY takes it
  double crownSize;
  LeafStyle style;
  double cover = 1.0;
};

void TreeBelt(cairo_t* cr, Rng& rng, const Belt& belt, double from, double to) {
  const double crownSize = belt.crownSize;
  bool wooded = rng.Unit() < belt.cover;
  for (double x = from; x < to; x += crownSize * rng.Range(0.45, 0.8)) {
    if (rng.Unit() < 0.08) wooded = rng.Unit() < belt.cover;
    if (!wooded) continue;
    const double y = RidgeY(belt.ridge, x, belt.baseY, belt.amplitude, belt.cell, 4);
    const double r = crownSize * rng.Range(0.6, 1.25);
    LeafClump(cr, rng, x, y - r * rng.Range(0.1, 0.6), r, belt.style);
  }
}

// A belt across the frame, continued to the edges of a wide canvas.
void TreeBelt(Canvas& canvas, Rng& rng, Rng& beyond, const Belt& belt) {
  const double x0 = -belt.crownSize, x1 = kFrameWidth + belt.crownSize;
  TreeBelt(canvas.Cr(), rng, belt, x0, x1);
  Beyond(canvas, beyond, x0, x1, belt.crownSize,
         [&](Rng& r, double from, double to) { TreeBelt(canvas.Cr(), r, belt, from, to); });
}

// A branch along a quadratic curve from (x0, y0) through (cx, cy) to (x1, y1), w0 to w1 thick, with
// leaf clumps along its outer part, radius at the base shrinking towards the tip.
struct HangingBranch {
  double x0, y0, cx, cy, x1, y1, w0, w1, radius;
};

void LeafyBranch(cairo_t* cr, Rng& rng, const HangingBranch& b, Colour bark, const LeafStyle& style) {
  Branch(cr, b.x0, b.y0, b.cx, b.cy, b.x1, b.y1, b.w0, b.w1, bark);
  constexpr int kClumps = 6;
  for (int i = 0; i < kClumps; ++i) {
    const double t = 0.25 + 0.75 * i / (kClumps - 1);
    const Point at = QuadraticAt(b.x0, b.y0, b.cx, b.cy, b.x1, b.y1, t);
    // The leaves hang a little below the twig they grow on; the last ones are barely a few leaves.
    const double r = std::max(b.radius * (1.0 - 0.75 * t) * rng.Range(0.85, 1.1), style.leafSize * 0.6);
    LeafClump(cr, rng, at.x + rng.Range(-0.2, 0.2) * r, at.y + r * 0.35, r, style);
  }
}

// A dandelion clock: a sphere of seeds, each a stalk with a tuft, on a tall stem rising from the
// ground at (rootX, rootY).
void DandelionClock(cairo_t* cr, Rng& rng, double x, double y, double radius, double rootX, double rootY,
                    Colour seed, Colour stem) {
  // The stem bows a little under the head, however upright it stands.
  constexpr double kBow = 5;
  cairo_move_to(cr, rootX, rootY);
  cairo_curve_to(cr, rootX, rootY - (rootY - y) * 0.4, x + kBow, y + 80, x, y + radius * 0.2);
  SetColour(cr, stem);
  cairo_set_line_width(cr, std::max(1.5, radius * 0.07));
  cairo_stroke(cr);
  const int seeds = static_cast<int>(radius * 3.2);
  for (int i = 0; i < seeds; ++i) {
    const double a = rng.Range(0, 2 * M_PI);
    const double depth = rng.Range(0.55, 1.0);
    const double r = radius * depth;
    const double tx = x + std::cos(a) * r;
    const double ty = y + std::sin(a) * r;
    SetColour(cr, Mix(Scale(seed, 0.78), seed, depth));
    cairo_set_line_width(cr, 0.9);
    cairo_move_to(cr, x + std::cos(a) * radius * 0.15, y + std::sin(a) * radius * 0.15);
    cairo_line_to(cr, tx, ty);
    cairo_stroke(cr);
    // The tuft: a small fan across the stalk's end.
    for (int k = -2; k <= 2; ++k) {
      const double b = a + k * 0.35;
      cairo_move_to(cr, tx, ty);
      cairo_line_to(cr, tx + std::cos(b) * radius * 0.16, ty + std::sin(b) * radius * 0.16);
    }
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
  }
  SetColour(cr, Rgb(150, 140, 100));
  cairo_arc(cr, x, y, radius * 0.14, 0, 2 * M_PI);
  cairo_fill(cr);
}

// A fern frond: a curving stem with leaflets that shorten towards the tip.
void FernFrond(cairo_t* cr, double x, double y, double length, double angle, double droop, Colour dark,
               Colour light) {
  constexpr int kPairs = 16;
  double px = x, py = y, a = angle;
  const double step = length / kPairs;
  for (int i = 0; i < kPairs; ++i) {
    const double t = static_cast<double>(i) / kPairs;
    const double nx = px + std::cos(a) * step;
    const double ny = py - std::sin(a) * step;
    const double leaflet = length * 0.28 * std::sin(M_PI * (0.15 + 0.85 * t)) * (1 - 0.6 * t);
    for (int side = -1; side <= 1; side += 2) {
      const double b = a + side * 1.1;
      const double lx = nx + std::cos(b) * leaflet;
      const double ly = ny - std::sin(b) * leaflet + leaflet * 0.25;
      cairo_move_to(cr, px, py);
      cairo_curve_to(cr, px + std::cos(b) * leaflet * 0.5, py - std::sin(b) * leaflet * 0.5 - 1.5, lx, ly - 1, lx, ly);
      cairo_curve_to(cr, lx, ly + 1, nx + std::cos(b) * leaflet * 0.3, ny - std::sin(b) * leaflet * 0.3 + 1.5, nx, ny);
      cairo_close_path(cr);
      SetColour(cr, side < 0 ? light : Mix(dark, light, 0.45));
      cairo_fill(cr);
    }
    SetColour(cr, dark);
    cairo_set_line_width(cr, std::max(0.8, 2.0 * (1 - t)));
    cairo_move_to(cr, px, py);
    cairo_line_to(cr, nx, ny);
    cairo_stroke(cr);
    px = nx;
    py = ny;
    a -= droop;
  }
}

// A cattail's head centred on (x, y), tilted by angle: a velvet-brown cylinder of its own length,
// girth and ripeness, lit on its left, with the bare spike it ends in.
void CattailHead(cairo_t* cr, Rng& rng, double x, double y, double angle) {
  const double length = rng.Range(6.5, 11), girth = rng.Range(2.0, 3.2);
  const Colour brown = Mix(Rgb(92, 56, 32), Rgb(140, 92, 52), rng.Unit());
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  SetColour(cr, Mix(brown, Rgb(120, 120, 80), 0.4));
  cairo_set_line_width(cr, OutputPixels(cr, 0.5) + 0.4);
  cairo_move_to(cr, 0, -length * 0.9);
  cairo_line_to(cr, rng.Range(-0.5, 0.5), -length - rng.Range(3, 7));
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_scale(cr, girth, length);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_pattern_t* shade = cairo_pattern_create_linear(-girth, 0, girth, 0);
  const Colour lit = Scale(brown, 1.35), shadow = Scale(brown, 0.6);
  cairo_pattern_add_color_stop_rgb(shade, 0, lit.r, lit.g, lit.b);
  cairo_pattern_add_color_stop_rgb(shade, 1, shadow.r, shadow.g, shadow.b);
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
  cairo_restore(cr);
}

// A reed rising from (x, y), varied in every part: its lean, green, leaves and, withHead, its head.
void Reed(cairo_t* cr, Rng& rng, double x, double y, double height, bool withHead) {
  const double lean = rng.Range(-0.12, 0.12) * height;
  const Colour green = Mix(Rgb(70, 100, 45), Rgb(140, 160, 80), rng.Unit());
  // A leaf or two from the foot, arching away from the stem.
  for (int leaves = rng.Unit() < 0.5 ? 1 : 2; leaves > 0; --leaves) {
    GrassBlade(cr, x, y, height * rng.Range(0.45, 0.85), rng.Range(-0.35, 0.35), rng.Range(1.4, 2.6),
               Mix(green, Rgb(60, 92, 40), rng.Range(0, 0.5)));
  }
  SetColour(cr, green);
  cairo_set_line_width(cr, rng.Range(1.2, 2.4));
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x, y - height * 0.5, x + lean * 0.5, y - height * 0.8, x + lean, y - height);
  cairo_stroke(cr);
  if (withHead) CattailHead(cr, rng, x + lean * 0.93, y - height * 0.86, std::atan2(lean, height));
}

// ---------------------------------------------------------------------------------------------------
// Scene 0: a meadow with an old oak, warm summer light.

const Colour kMeadowGrass[] = {Rgb(78, 128, 44), Rgb(96, 146, 52), Rgb(120, 160, 60), Rgb(64, 110, 40),
                               Rgb(140, 168, 72)};
const Colour kMeadowFlowers[] = {Rgb(250, 250, 245), Rgb(250, 215, 60), Rgb(200, 40, 40), Rgb(150, 110, 210),
                                 Rgb(90, 130, 230), Rgb(250, 250, 245)};
// The tuft at the oak's foot: the meadow's grass as lit as the meadow around it, whose floor shows
// between its blades.
const Colour kOakTuftGrass[] = {Rgb(96, 146, 52), Rgb(110, 156, 56), Rgb(130, 166, 66), Rgb(104, 150, 54),
                                Rgb(140, 168, 72)};
const LeafStyle kOakLeaves = {Rgb(34, 66, 28), Rgb(70, 110, 40), Rgb(150, 180, 80), 9};

void Meadow0(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  FillLayer(canvas, Rgb(150, 172, 92), Rgb(64, 112, 42));
  canvas.Mottle(11, 90, 0.18);
  // The oak's shadow under its crown, at the foot of the trunk.
  cairo_save(cr);
  cairo_translate(cr, 120, 160);
  cairo_scale(cr, 190, 40);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  SetColour(cr, Rgb(20, 50, 20), 0.35);
  cairo_fill(cr);
  GrassAcross(canvas, rng, beyond, -10, 650, -kGrassAbove, 260, {kMeadowGrass, 5, 1.6, 34, 2.0, 0.12});
  WildflowersAcross(canvas, rng, beyond, 0, kFrameWidth, {4, 231, 900, kMeadowFlowers, 6, 4.5});
}

void Hills0(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  const TileNoise far(21), mid(22), near(23);
  RidgePath(cr, far, canvas.Left(), canvas.Right(), 205, 60, 320, 4, 249);
  SourceVertical(cr, 140, Rgb(128, 156, 150), 249, Rgb(150, 170, 140));
  cairo_fill(cr);
  TreeBelt(canvas, rng, beyond,
           {far, 205, 60, 320, 6, {Rgb(96, 126, 118), Rgb(112, 140, 126), Rgb(136, 160, 140), 3}, 0.5});
  RidgePath(cr, mid, canvas.Left(), canvas.Right(), 236, 44, 256, 4, 249);
  SourceVertical(cr, 190, Rgb(118, 150, 82), 249, Rgb(150, 172, 92));
  cairo_fill(cr);
  // Hedgerows and copses on the nearer hills.
  TreeBelt(canvas, rng, beyond,
           {mid, 236, 44, 256, 8, {Rgb(52, 84, 44), Rgb(76, 108, 52), Rgb(120, 148, 70), 4}, 0.45});
  RidgePath(cr, near, canvas.Left(), canvas.Right(), 249, 10, 200, 3, 250);
  SetColour(cr, Rgb(146, 170, 90));
  cairo_fill(cr);
  MeadowBegins(canvas, rng, beyond, kMeadowGrass, 5, 1.0);
  canvas.Mottle(12, 60, 0.1);
}

// The oak stands at the left of the frame; its crown reaches past the frame's left edge, and a wide
// canvas shows that much more of it and nothing else.
void Oak0(Canvas& canvas, Rng& rng, Rng&) {
  cairo_t* cr = canvas.Cr();
  const Colour barkLight = Rgb(120, 100, 76), barkDark = Rgb(58, 46, 36);
  // Main limbs spreading to the right and upwards, under the crown.
  Branch(cr, 120, 230, 190, 180, 290, 150, 26, 6, barkDark);
  Branch(cr, 110, 210, 90, 120, 40, 60, 24, 6, barkDark);
  Branch(cr, 125, 220, 170, 120, 200, 40, 22, 5, barkDark);
  Branch(cr, 118, 260, 60, 210, 10, 190, 18, 4, barkDark);
  Trunk(cr, rng, 112, 418, 74, 122, 200, 40, barkLight, barkDark);
  // Roots flaring into the grass.
  for (int i = 0; i < 5; ++i) {
    const double x = 80 + i * 18;
    Branch(cr, x + 8, 395, x, 410, x - 8 + i * 4, 422, 12, 3, barkDark);
  }
  // The crown: clumps from the darker underside to the sunlit top.
  struct Clump { double x, y, r; };
  const Clump clumps[] = {{20, 150, 50}, {70, 170, 46}, {140, 175, 44}, {200, 160, 42}, {250, 150, 34},
                          {30, 90, 60},  {100, 100, 62}, {170, 100, 58}, {235, 95, 44},  {270, 120, 26},
                          {40, 30, 58},  {110, 30, 64},  {180, 35, 56},  {240, 40, 42},  {140, -20, 50},
                          {60, -20, 50}, {220, -10, 40}};
  for (const Clump& c : clumps) LeafClump(cr, rng, c.x, c.y, c.r, kOakLeaves);
  // A tuft of grass around the trunk's foot, thinning out into the meadow at its sides and roots.
  GrassTuft(cr, rng, 26, 214, 402, 432, {kOakTuftGrass, 5, 0.9, 26, 14, 0.1, 8});
}

// ---------------------------------------------------------------------------------------------------
// Scene 1: a lake below a forested ridge, cool and calm.

// The lake's far shore, where the ridge meets the water.
constexpr Colour kFarShore = Rgb(40, 66, 50);

void Ridge1(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  const TileNoise far(31), near(32);
  RidgePath(cr, far, canvas.Left(), canvas.Right(), 175, 70, 320, 4, 222);
  SourceVertical(cr, 110, Rgb(104, 128, 140), 222, Rgb(90, 114, 118));
  cairo_fill(cr);
  TreeBelt(canvas, rng, beyond, {far, 175, 70, 320, 5, {Rgb(80, 104, 112), Rgb(96, 120, 124), Rgb(118, 140, 140), 3}});
  RidgePath(cr, near, canvas.Left(), canvas.Right(), 214, 46, 256, 4, 222);
  SourceVertical(cr, 170, Rgb(56, 92, 66), 222, Rgb(46, 80, 58));
  cairo_fill(cr);
  // Firs along the nearer ridge.
  const auto firs = [&](Rng& r, double from, double to) {
    for (double x = from; x < to; x += r.Range(2, 6)) {
      const double y = RidgeY(near, x, 214, 46, 256, 4) + r.Range(2, 12);
      const double height = r.Range(10, 32);
      Fir(cr, r, x, y + 4, height, height * r.Range(0.35, 0.55), Rgb(38, 70, 52), Rgb(86, 120, 84));
    }
  };
  firs(rng, -6, 646);
  Beyond(canvas, beyond, -6, 646, 6, firs);
  // Crowns of the broadleaf trees lower on the slope, down to the water's edge.
  TreeBelt(canvas, rng, beyond, {near, 226, 20, 256, 6, {Rgb(40, 70, 50), Rgb(58, 92, 60), Rgb(92, 124, 80), 3}, 0.9});
  // The water's edge, in the tone the lake's far shore line begins with.
  SetColour(cr, kFarShore);
  cairo_rectangle(cr, canvas.Left(), 216, canvas.Right() - canvas.Left(), 6);
  cairo_fill(cr);
  canvas.Mottle(13, 40, 0.1);
}

// Light streaks of ripples, count of them starting between from and to.
void RippleStreaks(cairo_t* cr, Rng& rng, double from, double to, int count) {
  for (int i = 0; i < count; ++i) {
    const double y = std::pow(rng.Unit(), 0.8) * 200 + 4;
    const double x = rng.Range(from, to);
    const double len = rng.Range(6, 40) * (0.4 + y / 200);
    SetColour(cr, Rgb(200, 215, 222), rng.Range(0.12, 0.35));
    cairo_set_line_width(cr, OutputPixels(cr, 0.6) + y / 200);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + len, y);
    cairo_stroke(cr);
  }
}

// Water lilies, count of them, kept 20 columns inside from..to.
void WaterLilies(cairo_t* cr, Rng& rng, double from, double to, int count) {
  for (int i = 0; i < count; ++i) {
    const double x = rng.Range(from + 20, to - 20), y = rng.Range(120, 190);
    const double r = 3 + (y - 120) / 12;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, r, r * 0.35);
    cairo_arc(cr, 0, 0, 1, 0.3, 2 * M_PI - 0.1);
    cairo_line_to(cr, 0, 0);
    cairo_restore(cr);
    SetColour(cr, Rgb(60, 110, 50));
    cairo_fill(cr);
    if (i % 3 == 0) Flower(cr, x + r * 0.2, y - 1, r * 0.35, Rgb(250, 240, 240), Rgb(240, 210, 80));
  }
}

// The reeds along the near bank: thick at both sides of the frame, and beyond it in beds with open
// water between them.
void LakeReeds(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  for (int i = 0; i < 70; ++i) {
    const double x = rng.Unit() < 0.6 ? rng.Range(-10, 200) : rng.Range(420, 650);
    Reed(cr, rng, x, 258, rng.Range(60, 150), rng.Unit() < 0.35);
  }
  const TileNoise beds(35);
  Beyond(canvas, beyond, -10, 650, 10, [&](Rng& r, double from, double to) {
    for (int i = Share(70, 430, from, to); i > 0; --i) {
      const double x = r.Range(from, to), height = r.Range(60, 150);
      const bool withHead = r.Unit() < 0.35;
      if (beds.Fractal(x, 0.5, 120, 2) > -0.1) Reed(cr, r, x, 258, height, withHead);
    }
  });
}

// The ridge's own painting, which the lake mirrors: the same picture the ridge layer shows above it.
constexpr const char* kLakeShoreLayer = "back1_1";

void Lake1(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  Canvas shore(canvas.Width(), SkyBand(1), canvas.Scale(), static_cast<int>(canvas.Left()));
  Rng shoreRng(NameSeed(kLakeShoreLayer)), shoreBeyond(NameSeed(kLakeShoreLayer, kBeyondSalt));
  Ridge1(shore, shoreRng, shoreBeyond);
  // Between the lake's two skies, the soft overcast and the afternoon's cumulus.
  StillWater water;
  water.shore = &shore;
  water.skyHorizon = Rgb(190, 208, 222);
  water.skyZenith = Rgb(90, 130, 186);
  water.skyRows = SkyBand(1);
  water.body = Rgb(30, 54, 58);
  water.farReflectance = 0.9;
  water.nearReflectance = 0.35;
  water.nearRow = 206;
  water.rippleSeed = 33;
  PaintStillWater(canvas, water);
  RippleStreaks(cr, rng, -20, kFrameWidth, 500);
  Beyond(canvas, beyond, -20, kFrameWidth, 0,
         [&](Rng& r, double from, double to) { RippleStreaks(cr, r, from, to, Share(500, 660, from, to)); });
  WaterLilies(cr, rng, 0, kFrameWidth, 14);
  Beyond(canvas, beyond, 0, kFrameWidth, 0,
         [&](Rng& r, double from, double to) { WaterLilies(cr, r, from, to, Share(14, 600, from, to)); });
  // The near bank with grass, and reeds rising over the water.
  const TileNoise bank(34);
  RidgePath(cr, bank, canvas.Left(), canvas.Right(), 206, 26, 160, 3, 260);
  SourceVertical(cr, 180, Rgb(92, 124, 56), 258, Rgb(58, 92, 40));
  cairo_fill(cr);
  LakeReeds(canvas, rng, beyond);
  const Colour reedGrass[] = {Rgb(84, 120, 50), Rgb(110, 140, 60), Rgb(130, 150, 70), Rgb(70, 100, 44)};
  GrassAcross(canvas, rng, beyond, -10, 650, 200, 275, {reedGrass, 4, 0.8, 40, 10, 0.08});
}

// ---------------------------------------------------------------------------------------------------
// Scene 2: a forest clearing in summer, green shade and a sunlit floor.

const LeafStyle kForestLeaves = {Rgb(26, 52, 30), Rgb(50, 86, 40), Rgb(110, 150, 64), 7};

// The forest wall stands across both of the scene's pictures: its crowns over the sky in the fir tops,
// its trunks in the ground below. Both paint the whole wall in screen coordinates from the same random
// numbers, each keeping its own part, so every tree runs on across the line where they meet.
constexpr uint64_t kForestWallSeed = 42;
// Where the trees stand, in screen rows: hidden behind the undergrowth along the clearing's edge.
constexpr double kForestFloorY = 284;
// The deep shade inside the wood, and the haze that pales the farthest crowns against the sky.
constexpr Colour kForestShade = Rgb(24, 46, 30);
constexpr Colour kForestHaze = Rgb(118, 146, 140);

// A spruce seen from across the clearing: a ragged, narrow cone of drooping branch tiers from its apex
// (x, top) down to baseY, sheared by lean (pixels across per pixel up), lit from the upper left.
void DistantSpruce(cairo_t* cr, Rng& rng, double x, double top, double baseY, double halfWidth, double lean,
                   Colour dark, Colour light) {
  const double height = baseY - top;
  const int tiers = std::max(4, static_cast<int>(height / rng.Range(6, 10)));
  const double step = height / tiers;
  cairo_save(cr);
  cairo_translate(cr, x, baseY);
  cairo_matrix_t shear;
  cairo_matrix_init(&shear, 1, 0, -lean, 1, 0, 0);
  cairo_transform(cr, &shear);
  // Each side from the apex down: out and down to a branch tip, back in under it to the next tier.
  std::vector<Point> tips;
  cairo_move_to(cr, 0, -height);
  for (int side = -1; side <= 1; side += 2) {
    for (int k = 1; k <= tiers; ++k) {
      const int tier = side < 0 ? k : tiers + 1 - k;
      const double t = static_cast<double>(tier) / tiers;
      const double y = -height + height * t;
      const double reach = halfWidth * std::pow(t, 0.75) * rng.Range(0.65, 1.15);
      const Point tip = {side * reach, y + rng.Range(0, 0.4) * step};
      const Point notch = {side * reach * rng.Range(0.3, 0.6), y - step * rng.Range(0.3, 0.6)};
      if (side < 0) cairo_line_to(cr, notch.x, notch.y);
      cairo_line_to(cr, tip.x, tip.y);
      if (side > 0) cairo_line_to(cr, notch.x, notch.y);
      tips.push_back(tip);
    }
  }
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(-halfWidth, -height, halfWidth * 0.8, -height * 0.25);
  cairo_pattern_add_color_stop_rgb(p, 0, light.r, light.g, light.b);
  const Colour middle = Mix(dark, light, rng.Range(0.3, 0.6));
  cairo_pattern_add_color_stop_rgb(p, rng.Range(0.35, 0.6), middle.r, middle.g, middle.b);
  cairo_pattern_add_color_stop_rgb(p, 1, dark.r, dark.g, dark.b);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // The shadow under each tier, from the stem out to its tip, shows the branches inside the crown.
  for (const Point& tip : tips) {
    cairo_move_to(cr, 0, tip.y - step * 0.6);
    cairo_line_to(cr, tip.x * 0.9, tip.y);
  }
  SetColour(cr, Scale(dark, 0.8), 0.5);
  cairo_set_line_width(cr, std::min(1.0, step * 0.2));
  cairo_stroke(cr);
  cairo_restore(cr);
}

// Where one tree of the wall stands and how it is seen.
struct WallTree {
  double x, floorY, top, lean;
  double nearness;  // 0 in the farthest depth, 1 in the nearest
  double haze;      // how much the air between pales it
};

// A broadleaf tree among the spruces: a bare trunk under a rounded crown of a few overlapping clumps.
void WallBroadleaf(cairo_t* cr, Rng& rng, const WallTree& tree) {
  const double height = tree.floorY - tree.top;
  const double crownRadius = height * rng.Range(0.12, 0.16);
  const double crownY = tree.top + height * 0.25 + crownRadius;
  const double crownX = tree.x + tree.lean * (tree.floorY - crownY);
  Trunk(cr, rng, tree.x, tree.floorY, height * 0.03, crownX, crownY, height * 0.02,
        Mix(Rgb(120, 112, 96), kForestShade, tree.haze + 0.3), Mix(Rgb(40, 34, 26), kForestShade, tree.haze));
  const LeafStyle leaves = {Mix(kForestLeaves.dark, kForestHaze, tree.haze),
                            Mix(kForestLeaves.mid, kForestHaze, tree.haze),
                            Mix(kForestLeaves.light, kForestHaze, tree.haze), 4};
  const int clumps = rng.Int(3, 6);
  for (int i = 0; i < clumps; ++i) {
    const double a = rng.Range(0, 2 * M_PI);
    LeafClump(cr, rng, crownX + std::cos(a) * crownRadius * 0.5, crownY + std::sin(a) * crownRadius * 0.6,
              crownRadius * rng.Range(0.55, 0.8), leaves);
  }
}

// A spruce of the wall: its trunk bare up to the crown, or, at the very edge of the wood, hidden by
// branches kept almost to the ground.
void WallSpruce(cairo_t* cr, Rng& rng, const WallTree& tree, bool atTheEdge) {
  const double height = tree.floorY - tree.top;
  const double crownBase = tree.top + height * (atTheEdge ? rng.Range(0.8, 0.9) : rng.Range(0.35, 0.65));
  const double girth = height * rng.Range(0.012, 0.03) * (0.6 + 0.6 * tree.nearness);
  const Colour bark = Mix(Rgb(92, 78, 58), Rgb(132, 114, 86), rng.Unit());
  Trunk(cr, rng, tree.x, tree.floorY, girth, tree.x + tree.lean * (tree.floorY - crownBase), crownBase, girth * 0.7,
        Mix(bark, kForestShade, 0.4 + 0.9 * tree.haze), Mix(Rgb(20, 16, 12), kForestShade, tree.haze));
  const double tone = 1 + rng.Range(-0.12, 0.12);
  DistantSpruce(cr, rng, tree.x, tree.top, crownBase + height * rng.Range(0.04, 0.2), height * rng.Range(0.1, 0.17),
                tree.lean, Mix(Scale(Rgb(26, 54, 36), tone), kForestHaze, tree.haze),
                Mix(Scale(Rgb(72, 112, 62), tone), kForestHaze, tree.haze));
}

// One depth of the wall (0 the farthest, kForestDepths - 1 the nearest): trees in uneven stands, of
// unequal height, girth, tone and lean, hazier the farther they stand, a few broadleaves among them.
// The trees of one depth from column from on while they stand left of to; returns where the next one
// would stand.
constexpr int kForestDepths = 4;

double ForestDepth(cairo_t* cr, Rng& rng, const TileNoise& stands, int depth, double from, double to) {
  const double nearness = static_cast<double>(depth) / (kForestDepths - 1);
  WallTree tree = {0, kForestFloorY - 10 * (1 - nearness), 0, 0, nearness, 0.55 * (1 - nearness) * (1 - nearness)};
  for (tree.x = from; tree.x < to;) {
    // Stands of taller trees and lower ones; the nearest rise highest at the sides of the clearing, and
    // past the frame's own trees no higher than these.
    const double edge = std::min(std::abs(tree.x - 320), 360.0) / 320.0;
    const double height = (170 + 50 * nearness) * (1 + 0.22 * stands.Fractal(tree.x, depth * 17.0, 70, 3) +
                                                   rng.Range(-0.12, 0.12)) + 70 * nearness * edge * edge;
    tree.top = tree.floorY - height;
    tree.lean = 0.03 * rng.Gauss() * (rng.Unit() < 0.15 ? 2.5 : 1);
    if (depth > 0 && depth < kForestDepths - 1 && rng.Unit() < 0.15) {
      WallBroadleaf(cr, rng, tree);
    } else {
      WallSpruce(cr, rng, tree, depth == kForestDepths - 1 && rng.Unit() < 0.12);
    }
    // Mostly close together, now and then a wider gap.
    tree.x += (5 + 9 * nearness) * (0.35 + 1.3 * rng.Unit() * rng.Unit() + 1.2 * (rng.Unit() < 0.12));
  }
  return tree.x;
}

// The whole wall over the columns left to right. The frame's trees always come from the wall's own
// random numbers; those a wide canvas adds on either side from numbers of their own, depth by depth, so
// each depth still stands in front of the one behind it.
void ForestWall(cairo_t* cr, double left, double right) {
  Rng rng(kForestWallSeed);
  Rng beyond(kForestWallSeed + 1);
  const TileNoise skyline(42), stands(43);
  // Behind every tree, the dark body of the wood: hazy at its ragged top, deep shade lower down.
  RidgePath(cr, skyline, left, right, 124, 22, 64, 3, kForestFloorY + 20);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 100, 0, kForestFloorY);
  const Colour far = Mix(Rgb(26, 54, 36), kForestHaze, 0.45);
  cairo_pattern_add_color_stop_rgb(p, 0, far.r, far.g, far.b);
  cairo_pattern_add_color_stop_rgb(p, 0.3, kForestShade.r, kForestShade.g, kForestShade.b);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.13, 0.22, 0.13);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  for (int depth = 0; depth < kForestDepths; ++depth) {
    const double first = rng.Range(-40, -10);
    const double next = ForestDepth(cr, rng, stands, depth, first, 680);
    if (left < 0) ForestDepth(cr, beyond, stands, depth, left - 40, first);
    if (right > kFrameWidth) ForestDepth(cr, beyond, stands, depth, next, right + 40);
  }
}

void FirTops2(Canvas& canvas, Rng&, Rng&) { ForestWall(canvas.Cr(), canvas.Left(), canvas.Right()); }

// Bushes along the edge of the clearing, from column from on while they stand left of to.
void Undergrowth(cairo_t* cr, Rng& rng, double from, double to) {
  for (double x = from; x < to; x += rng.Range(16, 28)) {
    LeafClump(cr, rng, x, rng.Range(140, 156), rng.Range(14, 26), kForestLeaves);
  }
}

void Clearing2(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  FillLayer(canvas, kForestShade, Rgb(60, 96, 40));
  // The wall's lower part: the trunks below the crowns of the fir tops, then the undergrowth along the
  // edge of the clearing.
  cairo_save(cr);
  cairo_translate(cr, 0, -SkyBand(2));
  ForestWall(cr, canvas.Left(), canvas.Right());
  cairo_restore(cr);
  Undergrowth(cr, rng, -20, 660);
  Beyond(canvas, beyond, -20, 660, 20, [&](Rng& r, double from, double to) { Undergrowth(cr, r, from, to); });
  // The sunlit floor of the clearing.
  const TileNoise edge(41);
  RidgePath(cr, edge, canvas.Left(), canvas.Right(), 172, 16, 160, 3, 350);
  SourceVertical(cr, 120, Rgb(150, 170, 80), 350, Rgb(70, 110, 40));
  cairo_fill(cr);
  canvas.Mottle(14, 70, 0.2);
  // A trodden path winding towards the trees.
  cairo_move_to(cr, 300, 140);
  cairo_curve_to(cr, 330, 200, 240, 260, 280, 352);
  cairo_line_to(cr, 400, 352);
  cairo_curve_to(cr, 350, 260, 360, 200, 316, 140);
  cairo_close_path(cr);
  SourceVertical(cr, 140, Rgb(170, 160, 110), 350, Rgb(140, 120, 80));
  cairo_fill(cr);
  const Colour grass[] = {Rgb(90, 130, 48), Rgb(120, 160, 60), Rgb(150, 176, 72), Rgb(70, 110, 40)};
  GrassAcross(canvas, rng, beyond, -10, 650, 140, 370, {grass, 4, 1.1, 30, 3, 0.1});
  const Colour flowers[] = {Rgb(250, 250, 240), Rgb(240, 210, 70), Rgb(180, 120, 220)};
  WildflowersAcross(canvas, rng, beyond, 0, kFrameWidth, {150, 350, 240, flowers, 3, 3.5});
  // A fallen log and a stump in the grass.
  Branch(cr, 430, 250, 500, 236, 580, 246, 18, 14, Rgb(96, 74, 52));
  SetColour(cr, Rgb(170, 140, 100));
  cairo_arc(cr, 580, 246, 7, 0, 2 * M_PI);
  cairo_fill(cr);
  Trunk(cr, rng, 110, 250, 34, 110, 222, 30, Rgb(110, 90, 66), Rgb(60, 48, 36));
  SetColour(cr, Rgb(190, 160, 110));
  cairo_save(cr);
  cairo_translate(cr, 110, 222);
  cairo_scale(cr, 15, 4);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_fill(cr);
}

// A clump of fern fronds rising from (x, y), arching outwards.
struct FernClump {
  double x, y, size;
  int fronds;
};

void Ferns(cairo_t* cr, Rng& rng, const FernClump& c) {
  const Colour dark = Rgb(60, 104, 40), light = Rgb(130, 186, 70);
  for (int i = 0; i < c.fronds; ++i) {
    const double angle = M_PI / 2 + rng.Range(-1.1, 1.1);
    FernFrond(cr, c.x + rng.Range(-10, 10), c.y, c.size * rng.Range(0.7, 1.05), angle,
              (angle > M_PI / 2 ? -1 : 1) * rng.Range(0.05, 0.1), dark, light);
  }
}

void Ferns2(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  // Clumps at the sides, arching inwards; a low fringe across the bottom. Past the frame the clumps go
  // on at about the spacing they have in it.
  const FernClump clumps[] = {
      {40, 225, 150, 9}, {150, 225, 110, 7}, {520, 225, 140, 9}, {620, 225, 120, 7}, {330, 230, 70, 5}};
  for (const FernClump& c : clumps) Ferns(cr, rng, c);
  Beyond(canvas, beyond, 0, kFrameWidth, 0, [&](Rng& r, double from, double to) {
    for (double x = from + r.Range(50, 70); x < to - 40; x += r.Range(90, 130)) {
      Ferns(cr, r, {x, 225, r.Range(100, 150), r.Int(7, 10)});
    }
  });
  const Colour grass[] = {Rgb(90, 140, 50), Rgb(120, 170, 60), Rgb(150, 186, 80), Rgb(80, 124, 48)};
  GrassAcross(canvas, rng, beyond, -10, 650, 180, 232, {grass, 4, 0.5, 70, 30, 0.1});
}

// ---------------------------------------------------------------------------------------------------
// Scene 3: a golden wheat field with a farm on the horizon.

void TreeLine3(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  const TileNoise line(51);
  const LeafStyle far = {Rgb(72, 98, 82), Rgb(92, 118, 92), Rgb(126, 148, 110), 3};
  TreeBelt(canvas, rng, beyond, {line, 62, 26, 128, 12, far, 0.8});
  TreeBelt(canvas, rng, beyond, {line, 70, 10, 128, 7, far, 0.9});
  // The farmhouse: white walls, red roof, a chimney; a barn beside it.
  const double hx = 430, hy = 70;
  SetColour(cr, Rgb(226, 218, 196));
  cairo_rectangle(cr, hx, hy - 22, 40, 22);
  cairo_fill(cr);
  SetColour(cr, Rgb(170, 160, 140));
  cairo_rectangle(cr, hx + 40, hy - 22, 12, 22);
  cairo_fill(cr);
  cairo_move_to(cr, hx - 4, hy - 21);
  cairo_line_to(cr, hx + 10, hy - 36);
  cairo_line_to(cr, hx + 48, hy - 36);
  cairo_line_to(cr, hx + 56, hy - 21);
  cairo_close_path(cr);
  SetColour(cr, Rgb(170, 70, 50));
  cairo_fill(cr);
  SetColour(cr, Rgb(120, 60, 50));
  cairo_rectangle(cr, hx + 34, hy - 42, 5, 10);
  cairo_fill(cr);
  SetColour(cr, Rgb(90, 80, 70));
  for (int i = 0; i < 3; ++i) cairo_rectangle(cr, hx + 6 + i * 12, hy - 16, 5, 6);
  cairo_fill(cr);
  SetColour(cr, Rgb(140, 64, 46));
  cairo_rectangle(cr, hx + 62, hy - 18, 34, 18);
  cairo_fill(cr);
  cairo_move_to(cr, hx + 60, hy - 17);
  cairo_line_to(cr, hx + 79, hy - 30);
  cairo_line_to(cr, hx + 98, hy - 17);
  cairo_close_path(cr);
  SetColour(cr, Rgb(110, 100, 96));
  cairo_fill(cr);
  // Trees sheltering the farm, and the field's far edge.
  LeafClump(cr, rng, hx - 14, hy - 22, 16, far);
  LeafClump(cr, rng, hx + 112, hy - 18, 14, far);
  // The field's far edge rises and falls with the ground, so nowhere does it run as a ruled line.
  const TileNoise edge(52);
  RidgePath(cr, edge, canvas.Left(), canvas.Right(), 70, 5, 10, 3, 72);
  SetColour(cr, Rgb(206, 180, 104));
  cairo_fill(cr);
}

// One row of wheat stalks with their ears, count of them between from and to, height tall.
void WheatRow(cairo_t* cr, Rng& rng, double from, double to, int row, double height, int count) {
  const Colour stalks[] = {Rgb(230, 196, 110), Rgb(214, 170, 80), Rgb(240, 214, 140), Rgb(196, 150, 70)};
  for (int i = 0; i < count; ++i) {
    const double x = rng.Range(from, to);
    const double y = row + rng.Unit();
    const double h = height * rng.Range(0.8, 1.15);
    const double lean = h * rng.Range(0.02, 0.14);
    const Colour c = Scale(stalks[rng.Int(0, 4)], rng.Range(0.85, 1.1));
    SetColour(cr, Scale(c, 0.85));
    cairo_set_line_width(cr, std::max(OutputPixels(cr, 0.6), h * 0.03));
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + lean, y - h);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, x + lean, y - h);
    cairo_rotate(cr, std::atan2(lean, h));
    cairo_scale(cr, std::max(0.7, h * 0.05), std::max(1.2, h * 0.16));
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    SetColour(cr, c);
    cairo_fill(cr);
  }
}

void Wheat3(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  FillLayer(canvas, Rgb(214, 186, 108), Rgb(196, 150, 60));
  canvas.Mottle(15, 60, 0.16);
  // Drill rows running towards the horizon, fanning out from a point just above it; a wide canvas
  // shows more of the fan.
  const int fan = canvas.Left() < 0 ? static_cast<int>(std::ceil((320 - canvas.Left()) / 6)) : 30;
  for (int i = -fan; i <= fan; ++i) {
    cairo_move_to(cr, 320 + i * 6, 0);
    cairo_line_to(cr, 320 + i * 60, 200);
  }
  SetColour(cr, Rgb(150, 110, 50), 0.18);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  // Stalks with ears, from fine far away to large near, each row across the whole canvas before the
  // next nearer one.
  for (int row = 0; row < 230; row += 1) {
    const double t = row / 200.0;
    const double height = 3 + 46 * t * t;
    const int count = static_cast<int>(640 * 0.9 / (1 + height * 0.15));
    WheatRow(cr, rng, -10, 650, row, height, count);
    Beyond(canvas, beyond, -10, 650, 10, [&](Rng& r, double from, double to) {
      WheatRow(cr, r, from, to, row, height, Share(count, 660, from, to));
    });
  }
  const Colour flowers[] = {Rgb(210, 40, 30), Rgb(90, 120, 220), Rgb(220, 50, 40)};
  WildflowersAcross(canvas, rng, beyond, 0, kFrameWidth, {10, 200, 160, flowers, 3, 4.0});
}

// A weathered fence post from top down to bottom at column x, width wide: it leans a little and its
// sides are uneven, and its top is worn round; lit on its left.
void FencePost(cairo_t* cr, Rng& rng, double x, double top, double bottom, double width, Colour wood,
               Colour woodLight) {
  constexpr int kKnots = 6;
  const double lean = rng.Range(0.08, 0.14) * (rng.Unit() < 0.5 ? -1 : 1);
  auto side = [&](double y, double offset) { return x + offset + lean * (bottom - y) + rng.Range(-0.35, 0.35); };
  cairo_move_to(cr, side(bottom, 0), bottom);
  for (int k = 1; k <= kKnots; ++k) {
    const double y = bottom - (bottom - top) * k / kKnots;
    cairo_line_to(cr, side(y, 0), y);
  }
  cairo_curve_to(cr, side(top, 0), top - width * 0.5, side(top, width), top - width * 0.3, side(top, width), top);
  for (int k = kKnots - 1; k >= 0; --k) {
    const double y = bottom - (bottom - top) * k / kKnots;
    cairo_line_to(cr, side(y, width), y);
  }
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + width, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, woodLight.r, woodLight.g, woodLight.b);
  cairo_pattern_add_color_stop_rgb(p, 0.4, wood.r, wood.g, wood.b);
  cairo_pattern_add_color_stop_rgb(p, 1, wood.r * 0.8, wood.g * 0.8, wood.b * 0.8);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// The haystack, a bush and a stretch of fence stand in the middle of the field; a wide canvas shows
// nothing more of them.
void Haystack3(Canvas& canvas, Rng& rng, Rng&) {
  cairo_t* cr = canvas.Cr();
  // A bush on the left.
  LeafClump(cr, rng, 50, 80, 30, {Rgb(62, 86, 40), Rgb(96, 120, 56), Rgb(150, 170, 80), 6});
  LeafClump(cr, rng, 80, 92, 22, {Rgb(62, 86, 40), Rgb(96, 120, 56), Rgb(150, 170, 80), 6});
  // The haystack: a rounded dome of straw, sunlit on the left.
  const double cx = 190, base = 110;
  cairo_move_to(cr, cx - 62, base);
  // Its flanks bulge over its foot, as a stack settles.
  cairo_curve_to(cr, cx - 76, base - 48, cx - 30, base - 92, cx, base - 94);
  cairo_curve_to(cr, cx + 30, base - 92, cx + 76, base - 48, cx + 62, base);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - 26, base - 64, 6, cx, base - 40, 80);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.93, 0.82, 0.52);
  cairo_pattern_add_color_stop_rgb(p, 0.6, 0.78, 0.62, 0.32);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.5, 0.38, 0.2);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  cairo_save(cr);
  cairo_clip(cr);
  for (int i = 0; i < 500; ++i) {
    const double x = rng.Range(cx - 64, cx + 64), y = rng.Range(base - 96, base);
    const double a = rng.Range(-0.6, 0.6) + (x - cx) * 0.012;
    SetColour(cr, rng.Unit() < 0.5 ? Rgb(246, 222, 150) : Rgb(120, 90, 46), rng.Range(0.3, 0.7));
    cairo_set_line_width(cr, 0.9);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + std::sin(a) * 9, y + std::cos(a) * 9);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  cairo_new_path(cr);
  // A weathered fence running across the middle ground, its rails ending at its first and last posts.
  const Colour wood = Rgb(120, 100, 80), woodLight = Rgb(170, 150, 120);
  constexpr int kPosts = 9;
  constexpr double kFirstPost = 10, kPostSpacing = 37, kPostWidth = 5;
  const double railEnd = kFirstPost + (kPosts - 1) * kPostSpacing + kPostWidth / 2;
  for (int i = 0; i < kPosts; ++i) {
    const double x = kFirstPost + i * kPostSpacing, top = 92 + i * 1.5;
    FencePost(cr, rng, x, top, 134, kPostWidth, wood, woodLight);
  }
  for (int rail = 0; rail < 2; ++rail) {
    SetColour(cr, rail == 0 ? woodLight : wood);
    cairo_set_line_width(cr, 3.5);
    cairo_move_to(cr, kFirstPost - kPostWidth / 2, 100 + rail * 18);
    cairo_line_to(cr, railEnd, 112 + rail * 18);
    cairo_stroke(cr);
  }
  // Wheat and grass at the foot of both, ending in tufts inside the picture, which stands in the middle
  // of the field.
  const Colour straw[] = {Rgb(206, 174, 94), Rgb(184, 150, 75), Rgb(141, 141, 66)};
  GrassTuft(cr, rng, 0, 320, 120, 144, {straw, 3, 0.7, 20, 14, 0.1, 8});
}

// ---------------------------------------------------------------------------------------------------
// Scene 4: a spring meadow gone to seed, fresh greens and yellow dandelions.

const LeafStyle kSpringLeaves = {Rgb(58, 96, 34), Rgb(100, 146, 52), Rgb(176, 210, 100), 10};

const Colour kSpringGrass[] = {Rgb(100, 150, 50), Rgb(130, 176, 60), Rgb(160, 196, 80), Rgb(86, 136, 46),
                               Rgb(120, 160, 56)};
constexpr double kSpringGrassDensity = 1.4;

void Dandelions4(Canvas& canvas, Rng& rng, Rng& beyond) {
  MeadowFloor(canvas, rng, beyond, Rgb(160, 190, 96), Rgb(78, 130, 44), kSpringGrass, 5, 30, kSpringGrassDensity);
  const Colour yellow[] = {Rgb(250, 210, 40), Rgb(246, 190, 30), Rgb(250, 230, 90)};
  WildflowersAcross(canvas, rng, beyond, 0, kFrameWidth, {4, 260, 700, yellow, 3, 5.0});
  const Colour white[] = {Rgb(240, 240, 234)};
  WildflowersAcross(canvas, rng, beyond, 0, kFrameWidth, {4, 200, 160, white, 1, 2.0});
}

// Leafy branches hanging in from above between columns from and to: each grows from the top edge
// towards the middle of its stretch and ends, leaves and all, inside it.
void OverhangingBranches(cairo_t* cr, Rng& rng, double from, double to, Colour bark) {
  const double middle = (from + to) / 2;
  for (double x = from + rng.Range(10, 40); x < to - 60; x += rng.Range(70, 120)) {
    const double toward = x < middle ? 1 : -1;
    const double reach = std::min(rng.Range(110, 190), std::abs(to - from) * 0.7);
    const double x1 = std::clamp(x + toward * reach, from + 40, to - 40);
    const HangingBranch b = {
        x, rng.Range(-6, 14), (x + x1) / 2, rng.Range(20, 40), x1, rng.Range(40, 90), rng.Range(8, 14),
        3, rng.Range(22, 32)};
    LeafyBranch(cr, rng, b, bark, kSpringLeaves);
  }
}

void HillsAndBranches4(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  const TileNoise far(61), near(62);
  RidgePath(cr, far, canvas.Left(), canvas.Right(), 196, 50, 320, 4, 220);
  SourceVertical(cr, 140, Rgb(140, 176, 150), 220, Rgb(150, 180, 120));
  cairo_fill(cr);
  TreeBelt(canvas, rng, beyond,
           {far, 196, 50, 320, 5, {Rgb(112, 150, 120), Rgb(128, 164, 126), Rgb(156, 186, 140), 3}});
  RidgePath(cr, near, canvas.Left(), canvas.Right(), 216, 26, 220, 3, 222);
  SourceVertical(cr, 190, Rgb(140, 186, 90), 220, Rgb(160, 190, 96));
  cairo_fill(cr);
  // Leafy branches hanging into the picture from the top corners: the leaves thin out towards each
  // tip, so a branch ends in a spray of small leaves rather than a ball.
  const Colour bark = Rgb(92, 78, 60);
  const HangingBranch branches[] = {{-10, 10, 80, 20, 200, 60, 14, 3, 34},
                                    {60, 20, 110, 60, 130, 110, 6, 2, 22},
                                    {650, 4, 560, 26, 470, 40, 12, 3, 30},
                                    {560, 20, 540, 60, 560, 100, 5, 2, 20}};
  for (const HangingBranch& b : branches) LeafyBranch(cr, rng, b, bark, kSpringLeaves);
  // Past the frame the canopy goes on.
  Beyond(canvas, beyond, 0, kFrameWidth, 0,
         [&](Rng& r, double from, double to) { OverhangingBranches(cr, r, from, to, bark); });
  MeadowBegins(canvas, rng, beyond, kSpringGrass, 5, kSpringGrassDensity);
}

constexpr Colour kDandelionStem = Rgb(96, 140, 60);

// A yellow dandelion on a short stem rising from the foot of the picture to (x, y).
void DandelionFlower(cairo_t* cr, double x, double y) {
  SetColour(cr, kDandelionStem);
  cairo_set_line_width(cr, 2);
  cairo_move_to(cr, x, 452);
  cairo_line_to(cr, x + 3, y);
  cairo_stroke(cr);
  for (int k = 0; k < 22; ++k) {
    const double a = k * (2 * M_PI / 22);
    SetColour(cr, k % 2 ? Rgb(250, 200, 30) : Rgb(250, 224, 70));
    cairo_set_line_width(cr, 2.2);
    cairo_move_to(cr, x + 3, y);
    cairo_line_to(cr, x + 3 + std::cos(a) * 10, y + std::sin(a) * 7);
    cairo_stroke(cr);
  }
}

// Clocks and flowers at random between columns from and to, about as many for the width as the frame
// has; every clock's seeds stay inside.
void MoreDandelions(cairo_t* cr, Rng& rng, double from, double to) {
  const Colour seed = Rgb(246, 246, 240);
  for (double x = from + rng.Range(30, 60); x < to - 30; x += rng.Range(60, 100)) {
    const double r = std::min(rng.Range(13, 30), (std::min(x - from, to - x) - 2) / 1.2);
    const double y = rng.Range(120, 330), lean = rng.Range(-20, 20);
    DandelionClock(cr, rng, x, y, r, x - lean, 452, seed, kDandelionStem);
  }
  for (double x = from + rng.Range(20, 120); x < to - 20; x += rng.Range(120, 200)) {
    DandelionFlower(cr, x, rng.Range(360, 400));
  }
}

void Clocks4(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  const Colour seed = Rgb(246, 246, 240);
  struct Clock { double x, y, r, lean; };
  const Clock clocks[] = {{60, 140, 28, -20}, {130, 220, 22, 10},  {30, 290, 18, 6},  {200, 300, 15, -8},
                          {560, 120, 30, 24}, {480, 230, 20, -12}, {600, 270, 17, 4}, {420, 330, 13, 8}};
  for (const Clock& c : clocks) DandelionClock(cr, rng, c.x, c.y, c.r, c.x - c.lean, 452, seed, kDandelionStem);
  // A few yellow flowers on shorter stems, and leaves at the foot.
  const double flowers[][2] = {{250, 380}, {90, 370}, {520, 360}, {350, 400}};
  for (const auto& f : flowers) DandelionFlower(cr, f[0], f[1]);
  // Past the frame the meadow's clocks and flowers go on.
  Beyond(canvas, beyond, 0, kFrameWidth, 0, [&](Rng& r, double from, double to) { MoreDandelions(cr, r, from, to); });
  // Tall grass along the foot. The picture stops short of the frame's right edge, so there the grass
  // thins out into a tuft inside it; past the frame it grows again.
  const Colour grass[] = {Rgb(100, 150, 50), Rgb(130, 180, 60), Rgb(170, 206, 90), Rgb(90, 140, 50)};
  constexpr double kTuftEnd = 40;
  GrassStretch stretches[3] = {{&rng, -10, 616, 0, kTuftEnd}};
  int count = 1;
  Beyond(canvas, beyond, -10, 656, 10, [&](Rng& r, double from, double to) {
    stretches[count++] = {&r, from, to, from > 0 ? kTuftEnd : 0, 0};
  });
  GrassBand(cr, stretches, count, 400, 462, {grass, 4, 0.35, 90, 40, 0.12});
}

// ---------------------------------------------------------------------------------------------------
// Scene 5: a mountain river under high blue sky.

// The height of the mountain skyline at x: sharp, ridged peaks of two sizes.
double PeakY(const TileNoise& noise, double x) {
  const double big = 1 - std::abs(noise.Fractal(x, 0.5, 300, 3, 0.45));
  const double small = 1 - std::abs(noise.Fractal(x + 999, 0.5, 90, 3, 0.5));
  return 156 - 150 * (0.72 * big * big * big * big + 0.28 * small * small * small);
}

// The tone of the forest at the head of the valley, where the foothills' woods run on into it.
constexpr Colour kValleyTop = Rgb(60, 96, 76);

void Peaks5(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  const TileNoise peaks(75), foothills(72), snow(73);
  canvas.PaintPixels([&](double x, double y) -> std::optional<Colour> {
    const double top = PeakY(peaks, x);
    if (y < top) return std::nullopt;
    const double slope = (PeakY(peaks, x + 8) - PeakY(peaks, x - 8)) / 4;  // > 0: the face turns left, to the light
    // Gullies and ribs run down the faces diagonally; the faces turned left catch the light.
    const double facet = snow.Fractal(x + 0.8 * (y - top), y * 0.4, 36, 4);
    const double gully = snow.Fractal(x - 0.6 * y, y * 0.3, 18, 3);
    const double lit = std::clamp(0.45 + slope * 0.08 + 0.6 * facet, 0.0, 1.0);
    const bool snowy = y < 70 + 30 * gully + 10 * facet;
    const Colour c =
        snowy ? Mix(Rgb(150, 168, 206), Rgb(252, 252, 255), lit) : Mix(Rgb(72, 80, 104), Rgb(156, 152, 158), lit);
    // Lower down, the air between us and the mountains turns them bluer and paler.
    return Mix(c, Rgb(150, 170, 196), std::clamp((y - 60) / 140.0, 0.0, 0.45));
  });
  // Forested foothills in front.
  RidgePath(cr, foothills, canvas.Left(), canvas.Right(), 150, 40, 160, 4, 154);
  SourceVertical(cr, 110, Rgb(60, 90, 86), 153, kValleyTop);
  cairo_fill(cr);
  const auto firs = [&](Rng& r, double from, double to) {
    for (double x = from; x < to; x += r.Range(2, 6)) {
      const double y = RidgeY(foothills, x, 150, 40, 160, 4) + r.Range(3, 9);
      Fir(cr, r, x, y, r.Range(8, 22), r.Range(5, 9), Rgb(40, 70, 60), Rgb(80, 110, 96));
    }
  };
  firs(rng, -4, 644);
  Beyond(canvas, beyond, -4, 644, 4, firs);
}

// One row of the conifer slopes (0 the farthest) from column from on while the firs stand left of to:
// the slopes come down towards the viewer on either side of the valley.
void SlopeFirs(cairo_t* cr, Rng& rng, int row, double from, double to) {
  const double size = 14 + row * 7;
  for (double x = from; x < to; x += rng.Range(3, 7) + row * 2) {
    const double y = 8 + row * 16 + rng.Range(0, 14) + std::abs(x - 300) * 0.06;
    const double height = size * rng.Range(0.7, 1.3);
    Fir(cr, rng, x, y, height, height * 0.42, Mix(Rgb(46, 76, 72), Rgb(30, 60, 44), row / 3.0),
        Mix(Rgb(86, 112, 104), Rgb(74, 110, 76), row / 3.0));
  }
}

// The river's banks, each a cubic curve from where it leaves the forest (row kRiverFar) down to the
// picture's foot (kRiverNear).
constexpr double kRiverFar = 64, kRiverNear = 327;
struct Bank {
  Point from, control0, control1, to;
  double side;  // -1 for the left bank, 1 for the right: which way is dry land
};
constexpr Bank kRiverLeftBank = {{292, kRiverFar}, {260, 120}, {380, 170}, {250, kRiverNear}, -1};
constexpr Bank kRiverRightBank = {{312, kRiverFar}, {330, 130}, {460, 200}, {560, kRiverNear}, 1};

Point BankAt(const Bank& bank, double t) {
  const double u = 1 - t;
  const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
  return {a * bank.from.x + b * bank.control0.x + c * bank.control1.x + d * bank.to.x,
          a * bank.from.y + b * bank.control0.y + c * bank.control1.y + d * bank.to.y};
}

// The river's outline as the current path.
void RiverPath(cairo_t* cr) {
  const Bank& l = kRiverLeftBank;
  const Bank& r = kRiverRightBank;
  cairo_move_to(cr, l.from.x, l.from.y);
  cairo_curve_to(cr, l.control0.x, l.control0.y, l.control1.x, l.control1.y, l.to.x, l.to.y);
  cairo_line_to(cr, r.to.x, r.to.y);
  cairo_curve_to(cr, r.control1.x, r.control1.y, r.control0.x, r.control0.y, r.from.x, r.from.y);
  cairo_close_path(cr);
}

// A bank of wet earth along the water's edge, wider near and uneven, with the meadow's blades leaning
// over its dry side and dark stones lying half in the water, wet on their tops, the current foaming
// round them.
void RiverBank(cairo_t* cr, Rng& rng, const Bank& bank) {
  const TileNoise unevenness(static_cast<uint32_t>(86 + bank.side));
  for (double t = 0; t < 1;) {
    const Point p = BankAt(bank, t), ahead = BankAt(bank, std::min(1.0, t + 0.01));
    const double width = (1 + 9 * std::pow(t, 1.5)) * (0.75 + 0.5 * unevenness.Fractal(t * 400, 0, 40, 2));
    SetColour(cr, Mix(Rgb(100, 86, 62), Rgb(62, 56, 46), rng.Unit()), 0.85);
    cairo_save(cr);
    cairo_translate(cr, p.x + bank.side * width * 0.35, p.y);
    cairo_rotate(cr, std::atan2(ahead.y - p.y, ahead.x - p.x));
    cairo_scale(cr, width * rng.Range(1.4, 2.4), width * 0.5);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_fill(cr);
    const Colour blade = Mix(Rgb(84, 124, 48), Rgb(128, 160, 66), rng.Unit());
    if (rng.Unit() < 0.4) {
      GrassBlade(cr, p.x + bank.side * width * rng.Range(1.0, 1.6), p.y + width * 0.3, width * rng.Range(1.2, 2.5),
                 -bank.side * rng.Range(0.2, 0.5), OutputPixels(cr, 0.6) + width * 0.06, blade);
    }
    t += std::max(0.0015, width * 0.15 / (kRiverNear - kRiverFar));
  }
  for (int i = 0; i < 22; ++i) {
    const double t = std::sqrt(rng.Unit());
    const Point p = BankAt(bank, t);
    const double r = 0.8 + 9 * t * t * rng.Range(0.6, 1.4);
    const double x = p.x - bank.side * r * rng.Range(0.3, 1.1);
    Rock(cr, rng, x, p.y, r, r * 0.6, Rgb(128, 130, 128), Rgb(40, 42, 44));
    // Where the stone meets the water the current breaks into a thin line of foam.
    SetColour(cr, Rgb(240, 246, 250), 0.35);
    cairo_set_line_width(cr, OutputPixels(cr, 0.7) + r * 0.08);
    cairo_move_to(cr, x - r * 1.05, p.y);
    cairo_curve_to(cr, x - r * 0.5, p.y + r * 0.3, x + r * 0.5, p.y + r * 0.3, x + r * 1.05, p.y);
    cairo_stroke(cr);
    SetColour(cr, Rgb(236, 242, 246), 0.45);
    cairo_save(cr);
    cairo_translate(cr, x - r * 0.3, p.y - r * 0.42);
    cairo_scale(cr, r * 0.4, r * 0.1);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_fill(cr);
  }
}

void Valley5(Canvas& canvas, Rng& rng, Rng& beyond) {
  cairo_t* cr = canvas.Cr();
  FillLayer(canvas, kValleyTop, Rgb(90, 130, 60));
  canvas.Mottle(16, 60, 0.18);
  // Conifer slopes at the top, continuing the foothills: far rows small and bluish, near rows larger.
  for (int row = 0; row < 4; ++row) {
    SlopeFirs(cr, rng, row, -6, 646);
    Beyond(canvas, beyond, -6, 646, 6, [&](Rng& r, double from, double to) { SlopeFirs(cr, r, row, from, to); });
  }
  // Meadows of the valley floor.
  const TileNoise slope(81);
  // Where the meadows meet the woods, the trees come down into them unevenly.
  RidgePath(cr, slope, canvas.Left(), canvas.Right(), 92, 34, 90, 4, 330);
  SourceVertical(cr, 60, Rgb(120, 150, 80), 327, Rgb(80, 124, 50));
  cairo_fill(cr);
  const Colour grass[] = {Rgb(90, 130, 50), Rgb(120, 154, 64), Rgb(70, 110, 44)};
  GrassAcross(canvas, rng, beyond, -10, 650, 70, 340, {grass, 3, 0.6, 26, 3, 0.1});
  // The river: narrow far away, wide near, crossed by ripples that crowd into fine lines with distance.
  RiverPath(cr);
  Canvas river(canvas.Width(), canvas.Height(), canvas.Scale(), static_cast<int>(canvas.Left()));
  FlowingWater water;
  water.farLight = Rgb(160, 194, 212);
  water.nearBody = Rgb(58, 104, 120);
  water.crest = Rgb(232, 242, 248);
  water.farRow = kRiverFar;
  water.nearRow = kRiverNear;
  water.rippleSeed = 85;
  PaintFlowingWater(river, water);
  canvas.FillPathFrom(river);
  RiverBank(cr, rng, kRiverLeftBank);
  RiverBank(cr, rng, kRiverRightBank);
  // Rocks along the banks and in the stream.
  const Colour rockLight = Rgb(176, 172, 164), rockDark = Rgb(90, 88, 86);
  for (int i = 0; i < 26; ++i) {
    const double y = 100 + std::pow(rng.Unit(), 0.7) * 227;
    const double t = (y - 64) / 263;
    const double x = rng.Unit() < 0.5 ? 250 + rng.Range(-60, 60) * (0.3 + t) : 420 + 160 * t + rng.Range(-40, 40);
    const double r = 3 + 22 * t * t * rng.Range(0.6, 1.3);
    Rock(cr, rng, x, y, r, r * 0.7, rockLight, rockDark);
  }
  Rock(cr, rng, 110, 310, 60, 40, rockLight, rockDark);
  Rock(cr, rng, 600, 318, 50, 30, rockLight, rockDark);
  // The meadow on the river's left bank has flowers; past the frame both banks have them, and boulders.
  const Colour flowers[] = {Rgb(240, 240, 250), Rgb(160, 120, 220), Rgb(250, 220, 60)};
  const FlowerMeadow meadow = {120, 327, 120, flowers, 3, 3};
  Wildflowers(cr, rng, 0, 240, meadow, meadow.count);
  Beyond(canvas, beyond, 0, kFrameWidth, 0, [&](Rng& r, double from, double to) {
    for (int i = 0; i < 2; ++i) {
      const double size = r.Range(20, 50);
      const double x = r.Range(from + size, to - size), y = r.Range(200, 320);
      Rock(cr, r, x, y, size, size * 0.65, rockLight, rockDark);
    }
    Wildflowers(cr, r, from, to, meadow, Share(meadow.count, 240, from, to));
  });
}

// The birch's lower crown, which goes on above the screen: boughs rise from the trunk into masses of
// small clumps of leaves, which overlap into one crown around the trunk. The picture is only 96 pixels
// wide and stands in the middle of the screen, so every clump keeps a leaf's length inside its edges:
// one reaching past them would show a straight cut.
const LeafStyle kBirchLeaves = {Rgb(70, 110, 40), Rgb(110, 150, 56), Rgb(180, 210, 100), 5};
const Colour kBirchTwig = Rgb(84, 76, 68);

// A loose mass of leaves: count small clumps scattered over the ellipse around (x, y) with radii rx, ry.
// Clumps near the picture's sides are smaller, so each keeps a leaf's length inside them.
struct LeafCloud {
  double x, y, rx, ry;
  int count;
};

void BirchLeaves(cairo_t* cr, Rng& rng, const LeafCloud& cloud, int pictureWidth) {
  for (int i = 0; i < cloud.count; ++i) {
    const double a = rng.Range(0, 2 * M_PI), d = std::sqrt(rng.Unit());
    const double x = cloud.x + std::cos(a) * d * cloud.rx;
    const double room = std::min(x, pictureWidth - x) - kBirchLeaves.leafSize;
    const double r = std::min(rng.Range(5, 10), room);
    if (r >= kBirchLeaves.leafSize * 0.5) LeafClump(cr, rng, x, cloud.y + std::sin(a) * d * cloud.ry, r, kBirchLeaves);
  }
}

// The crown behind the trunk: boughs rise from the trunk, bare at first, and reach into masses of
// leaves that join the crown above; the trunk, painted next, covers their feet.
void BirchCrownBehind(cairo_t* cr, Rng& rng, int pictureWidth) {
  struct Bough {
    double x0, y0, cx, cy, x1, y1, w0;
  };
  const Bough boughs[] = {{42, 104, 26, 88, 18, 50, 4.5}, {41, 152, 20, 140, 16, 108, 4},
                          {73, 96, 84, 82, 82, 50, 4},     {72, 142, 86, 128, 84, 104, 3.5}};
  for (const Bough& b : boughs) Branch(cr, b.x0, b.y0, b.cx, b.cy, b.x1, b.y1, b.w0, 1.5, kBirchTwig);
  const LeafCloud clouds[] = {{48, 10, 46, 34, 44}, {22, 62, 18, 22, 14}, {20, 112, 14, 18, 10},
                              {80, 60, 14, 22, 10}, {82, 106, 12, 16, 7}};
  for (const LeafCloud& c : clouds) BirchLeaves(cr, rng, c, pictureWidth);
}

// Leaves on the near side of the trunk where it enters the crown, so it stands inside the crown rather
// than in front of it.
void BirchCrownInFront(cairo_t* cr, Rng& rng, int pictureWidth) {
  BirchLeaves(cr, rng, {56, 18, 18, 26, 12}, pictureWidth);
}

// The birch stands alone in the middle of the valley: a wide canvas shows nothing more of it.
constexpr int kBirchPictureWidth = 96;

void Birch5(Canvas& canvas, Rng& rng, Rng&) {
  cairo_t* cr = canvas.Cr();
  BirchCrownBehind(cr, rng, kBirchPictureWidth);
  // The trunk: white bark with dark lenticels, shaded on its right; its sides swell and narrow a little
  // along it, as a birch's do.
  const double x0 = 52, x1 = 58, w0 = 40, w1 = 30;
  const TileNoise bark(92);
  auto side = [&](double y, double dir) {
    const double t = (480 - y) / 482;
    return x0 + (x1 - x0) * t + dir * (w0 + (w1 - w0) * t) / 2 + 2.0 * bark.Fractal(y, dir * 9.5, 7, 2);
  };
  cairo_move_to(cr, side(480, -1), 480);
  for (double y = 478; y >= -2; y -= 2) cairo_line_to(cr, side(y, -1), y);
  for (double y = -2; y <= 480; y += 2) cairo_line_to(cr, side(y, 1), y);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(x0 - w0 / 2, 0, x0 + w0 / 2, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.72, 0.72, 0.68);
  cairo_pattern_add_color_stop_rgb(p, 0.3, 0.95, 0.95, 0.9);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.52, 0.52, 0.5);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  cairo_save(cr);
  cairo_clip(cr);
  for (int i = 0; i < 70; ++i) {
    const double y = rng.Range(0, 480);
    const double x = rng.Range(30, 76);
    const double len = rng.Range(4, 16) * (y > 380 ? 1.6 : 1.0);
    SetColour(cr, Rgb(44, 42, 40));
    cairo_set_line_width(cr, rng.Range(1.2, 3.0));
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + len, y + rng.Range(-1, 1));
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  cairo_new_path(cr);
  BirchCrownInFront(cr, rng, kBirchPictureWidth);
  // A tuft of grass at its foot, thinning out into the meadow at its sides.
  const Colour grass[] = {Rgb(90, 130, 50), Rgb(120, 154, 64)};
  GrassTuft(cr, rng, 12, 90, 470, 482, {grass, 2, 0.8, 24, 20, 0.1});
}

// The painter of each layer, by scene and layer number; nullptr where a scene has no such layer.
constexpr Painter kPainters[6][3] = {
    {Meadow0, Hills0, Oak0},         {Lake1, Ridge1, nullptr},           {Clearing2, FirTops2, Ferns2},
    {Wheat3, TreeLine3, Haystack3},  {Dandelions4, HillsAndBranches4, Clocks4}, {Valley5, Peaks5, Birch5}};

}  // namespace

Image PaintSceneLayer(const ContentItem& item, int scale, bool wide) {
  const int layer = item.name[6] - '0';
  Canvas canvas(wide ? kWideLayerWidth : item.width, item.height, scale, wide ? kWideFieldLeft - item.sceneX : 0);
  Rng rng(NameSeed(item.name));
  Rng beyond(NameSeed(item.name, kBeyondSalt));
  kPainters[item.scene][layer](canvas, rng, beyond);
  if (item.role == ContentRole::Ground) return canvas.Opaque();
  return canvas.KeyedOnBlack(item.blackThreshold + kThresholdMargin);
}

}  // namespace sylvora
