// Creature sheets: every cell is painted with cairo in its own clip, one pixel inside the cell, so a
// subject can never spill into its neighbour and every cell keeps a black border.
#include <algorithm>
#include <cmath>

#include "archive/high_resolution.h"
#include "content/creature_kit.h"
#include "content/paint.h"
#include "content/painters.h"

namespace sylvora {
namespace {

// Sprites are drawn with black as their colour key and threshold 0: every painted pixel must stay
// non-black even after reduction to 16-bit colour, which keeps only the top 5 or 6 bits.
constexpr int kSpriteMinimumSum = 36;
// Alpha from which a sprite pixel counts as painted: thin seed filaments need less than half.
constexpr int kSpriteCoverage = 80;
// The same on the finer sheets, where an edge pixel is small enough to keep wherever the creature
// covers it at all: its shaded rim then carries the anti-aliasing.
constexpr int kFineSpriteCoverage = 24;
// High-resolution sheets are JPEG keyed at kHighResolutionSheetThreshold: their darkest subject pixel
// is kept this far above it, so compression cannot push it under.
constexpr int kHighResolutionMinimumSum = kHighResolutionSheetThreshold + 50;

// One cell to paint: the frame (0..frames-1) and row, and the size of one pixel in the painter's
// design units (the sheet centres and scales every creature to fill its cells).
struct Cell {
  int frame, frames, row;
  double pixel;
};

double Phase(const Cell& c) { return 2 * M_PI * c.frame / c.frames; }

// ---------------------------------------------------------------------------------------------------
// Dandelion seeds: pappus, beak and achene, spinning about the stalk and swaying a little.

void Seed(cairo_t* cr, const Cell& c) {
  const double spin = Phase(c);
  cairo_rotate(cr, 0.2 * std::sin(spin));
  constexpr double kUnit = 10.5;  // drawn in a design space about 13 x 21, brought to about 2 units high
  cairo_scale(cr, 1 / kUnit, 1 / kUnit);
  const double pixel = c.pixel * kUnit;
  const double top = -10.5 + 6.2;  // the pappus centre
  // Achene and beak.
  SetColour(cr, Rgb(206, 200, 180));
  cairo_set_line_width(cr, pixel);
  cairo_move_to(cr, 0, top);
  cairo_line_to(cr, 0, 5.5);
  cairo_stroke(cr);
  SetColour(cr, Rgb(140, 104, 66));
  cairo_save(cr);
  cairo_translate(cr, 0, 7.6);
  cairo_scale(cr, 1.1, 2.6);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_fill(cr);
  // Pappus: filaments round the stalk, seen a little from the side as the seed turns.
  constexpr int kFilaments = 14;
  for (int i = 0; i < kFilaments; ++i) {
    const double azimuth = spin + i * (2 * M_PI / kFilaments);
    const double depth = std::sin(azimuth);
    const double x = 6.0 * std::cos(azimuth);
    const double y = top - 3.2 - 1.6 * depth;
    SetColour(cr, Mix(Rgb(186, 188, 184), Rgb(250, 250, 246), 0.5 + 0.5 * depth));
    cairo_set_line_width(cr, pixel * 0.9);
    cairo_move_to(cr, 0, top);
    cairo_line_to(cr, x, y);
    cairo_stroke(cr);
  }
}

// ---------------------------------------------------------------------------------------------------
// The distant flock: a dark "M" whose wings beat.

void FlockBird(cairo_t* cr, const Cell& c) {
  const bool right = c.row == 1;
  const double lift = 1.9 * std::cos(Phase(c));
  constexpr double kUnit = 4.5;  // drawn in a design space about 9 x 5
  cairo_scale(cr, right ? 1 / kUnit : -1 / kUnit, 1 / kUnit);
  SetColour(cr, Rgb(48, 44, 52));
  cairo_set_line_width(cr, 1.25 * c.pixel * kUnit);
  cairo_move_to(cr, -3.8, -lift * 0.8);
  cairo_curve_to(cr, -2.5, -lift, -1.2, -lift * 0.4, 0, 0.4);
  cairo_curve_to(cr, 1.2, -lift * 0.4, 2.5, -lift, 3.8, -lift * 0.8);
  cairo_stroke(cr);
  cairo_arc(cr, 0.6, 0.5, 0.9, 0, 2 * M_PI);  // body and head, towards the flight direction
  cairo_fill(cr);
}

// ---------------------------------------------------------------------------------------------------
// Gliding birds: gull, swallow and kite, seen from the side and a little below, flying right before
// mirroring. Rows 0..4 climb steeply through level to a steep descent.

struct BirdKind {
  Colour body, belly, wing, wingTip;
  double bodyLength, span, chord;  // in units of the design space
  int tail;                        // 0 fan, 1 long fork, 2 shallow fork
};

const BirdKind kBirdKinds[3] = {
    {Rgb(236, 236, 232), Rgb(250, 250, 246), Rgb(176, 182, 192), Rgb(40, 40, 44), 0.95, 0.95, 0.26, 0},  // gull
    {Rgb(40, 52, 100), Rgb(236, 228, 214), Rgb(34, 42, 84), Rgb(30, 34, 60), 0.8, 0.85, 0.18, 1},       // swallow
    {Rgb(164, 84, 44), Rgb(196, 130, 80), Rgb(130, 70, 40), Rgb(40, 34, 30), 1.0, 1.0, 0.32, 2},        // kite
};

// One wing's outline in the body's frame, from elevation e (radians, up positive) and side (+1 near the
// viewer, -1 far): the leading edge rises from the shoulder over the arm to the wrist and the hand
// sweeps back to a pointed tip; the trailing edge runs from the tip back to the body.
struct WingShape {
  Point arm[4], hand[4], trailing[4];
  double chord, span;

  WingShape(const BirdKind& k, double e, int side) : chord(k.chord), span(k.span * (side > 0 ? 1.0 : 0.8)) {
    const double vy = -std::sin(e) + side * 0.38 * std::cos(e);
    const Point wrist = {0.04, vy * span * 0.48}, tip = {-0.38 * span, vy * span};
    const Point root = {-0.5 * chord - 0.08, wrist.y * 0.25};
    arm[0] = {0.16, 0}, arm[1] = {0.18, wrist.y * 0.5}, arm[2] = {wrist.x + 0.06, wrist.y * 0.85}, arm[3] = wrist;
    hand[0] = wrist, hand[1] = {wrist.x - 0.08, (wrist.y + tip.y) * 0.5}, hand[2] = {tip.x + 0.1, tip.y};
    hand[3] = tip;
    trailing[0] = tip, trailing[1] = {tip.x + 0.05, tip.y * 0.8}, trailing[2] = {wrist.x - chord, wrist.y * 0.8};
    trailing[3] = root;
  }
  Point Tip() const { return hand[3]; }  // where the hand ends in a point
  // The leading edge from the tip (t = 0) back to the shoulder (t = 1).
  Point Leading(double t) const { return t < 0.5 ? CubicAt(hand, 1 - 2 * t) : CubicAt(arm, 2 - 2 * t); }
  // The trailing edge from the tip (t = 0) back to the body (t = 1).
  Point Trailing(double t) const { return CubicAt(trailing, t); }
  // The point `depth` of the way across the wing from the leading to the trailing edge.
  Point Across(double t, double depth) const {
    const Point a = Leading(t), b = Trailing(t);
    return {a.x + (b.x - a.x) * depth, a.y + (b.y - a.y) * depth};
  }

  // The outline as the current path, closed along the body.
  void Path(cairo_t* cr) const {
    cairo_move_to(cr, arm[0].x, arm[0].y);
    for (const auto* curve : {&arm, &hand, &trailing}) {
      const Point(&c)[4] = *curve;
      cairo_curve_to(cr, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y);
    }
    cairo_curve_to(cr, -0.2, 0.02, -0.1, 0.02, arm[0].x, arm[0].y);
    cairo_close_path(cr);
  }
};

// Points along the wing from tip to body at which its feather rows are drawn.
constexpr int kFeatherSteps = 14;

// A line across the wing at `depth` from the leading edge, tip to body, as the current path.
void RowPath(cairo_t* cr, const WingShape& w, double depth) {
  for (int i = 0; i <= kFeatherSteps; ++i) {
    const Point p = w.Across(i / double(kFeatherSteps), depth);
    i == 0 ? cairo_move_to(cr, p.x, p.y) : cairo_line_to(cr, p.x, p.y);
  }
}

// The feathers of a wing, painted for its fill: the coverts along the leading edge catch the light, the
// flight feathers behind them are a shade darker towards their tips, each drawn as a soft band, and
// their shafts fan out to the trailing edge.
void FeatherRows(cairo_t* cr, const WingShape& w, Colour colour) {
  constexpr double kRowDepths[] = {0.25, 0.5, 0.75};  // the rows' edges, from the leading edge
  for (const double depth : kRowDepths) {
    const double shade = 1.0 - 0.5 * depth;  // farther back, darker
    RowPath(cr, w, depth + 0.1);
    SetColour(cr, Scale(colour, shade), 0.3);
    cairo_set_line_width(cr, w.chord * 0.4);
    cairo_stroke(cr);
    RowPath(cr, w, depth);
    SetColour(cr, Scale(colour, shade * 0.75), 0.3);
    cairo_set_line_width(cr, w.chord * 0.05);
    cairo_stroke(cr);
  }
  SetColour(cr, Scale(colour, 0.55), 0.5);
  cairo_set_line_width(cr, w.chord * 0.025);
  for (int i = 1; i < kFeatherSteps; ++i) {
    const Point from = w.Across(i / double(kFeatherSteps), 0.55), to = w.Trailing(i / double(kFeatherSteps));
    cairo_move_to(cr, from.x, from.y);
    cairo_line_to(cr, to.x, to.y);
  }
  cairo_stroke(cr);
  // The leading edge catches the light.
  RowPath(cr, w, 0.02);
  SetColour(cr, Scale(colour, 1.25), 0.5);
  cairo_set_line_width(cr, w.chord * 0.12);
  cairo_stroke(cr);
}

// One wing, shaded from the light, with its feather rows and dark tip.
void Wing(cairo_t* cr, const WingShape& w, Colour colour, Colour tip) {
  w.Path(cr);
  FillShaded(cr, 0.28, 0.4, [&] {
    SetColour(cr, colour);
    cairo_paint(cr);
    FeatherRows(cr, w, colour);
    SoftSpot(cr, w.Tip(), w.span * 0.25, tip, 1.0, 0.6);
  });
}

// The tail, behind the body's end at t0: a fan, or a fork of the given depth.
void Tail(cairo_t* cr, const BirdKind& k, double t0) {
  if (k.tail == 0) {
    cairo_move_to(cr, t0, -0.03);
    cairo_line_to(cr, t0 - 0.2, -0.07);
    cairo_line_to(cr, t0 - 0.2, 0.07);
    cairo_line_to(cr, t0, 0.04);
  } else {
    const double fork = k.tail == 1 ? 0.42 : 0.26;
    cairo_move_to(cr, t0, -0.04);
    cairo_line_to(cr, t0 - fork, -0.1);
    cairo_line_to(cr, t0 - fork * 0.6, 0);
    cairo_line_to(cr, t0 - fork, 0.1);
    cairo_line_to(cr, t0, 0.04);
  }
  cairo_close_path(cr);
  FillLit(cr, k.tail == 0 ? k.belly : k.body, 0.2, 0.4);
}

// Body from tail to beak, its back in the body colour over a paler belly, then shaded from the light;
// the head with its eye and beak.
void BirdBody(cairo_t* cr, const BirdKind& k) {
  const double L = k.bodyLength / 2;
  Tail(cr, k, -L * 0.8);
  cairo_move_to(cr, L, 0);
  cairo_curve_to(cr, L * 0.7, -0.13, -L * 0.4, -0.1, -L * 0.85, -0.02);
  cairo_line_to(cr, -L * 0.85, 0.04);
  cairo_curve_to(cr, -L * 0.4, 0.12, L * 0.6, 0.13, L, 0);
  cairo_close_path(cr);
  FillShaded(cr, 0.3, 0.45, [&] {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, -0.12, 0, 0.12);
    cairo_pattern_add_color_stop_rgb(p, 0.3, k.body.r, k.body.g, k.body.b);
    cairo_pattern_add_color_stop_rgb(p, 0.7, k.belly.r, k.belly.g, k.belly.b);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
  });
  const Point head = {L * 0.86, -0.02};
  cairo_arc(cr, head.x, head.y, 0.085, 0, 2 * M_PI);
  FillLit(cr, k.body, 0.3, 0.35);
  SetColour(cr, k.tail == 0 ? Rgb(230, 190, 60) : Rgb(50, 46, 40));
  cairo_move_to(cr, L * 0.92, -0.04);
  cairo_line_to(cr, L * 0.92 + 0.13, 0.0);
  cairo_line_to(cr, L * 0.92, 0.03);
  cairo_close_path(cr);
  cairo_fill(cr);
  SetColour(cr, Rgb(24, 22, 26));
  cairo_arc(cr, head.x + 0.035, head.y - 0.02, 0.018, 0, 2 * M_PI);
  cairo_fill(cr);
}

// The kind's colours faded by `haze` (0..1) towards the sky's mist, for the far birds.
BirdKind Hazed(const BirdKind& kind, double haze) {
  const Colour mist = Rgb(176, 190, 210);
  BirdKind k = kind;
  for (Colour* c : {&k.body, &k.belly, &k.wing, &k.wingTip}) *c = Mix(*c, mist, haze);
  return k;
}

void Glider(cairo_t* cr, const Cell& c, const BirdKind& kind, double haze) {
  const BirdKind k = Hazed(kind, haze);
  static constexpr double kRowAngle[5] = {38, 20, 0, -20, -38};
  const bool right = c.row >= 5;
  const double climb = kRowAngle[c.row % 5] * M_PI / 180;
  // Six frames of flapping, then two of gliding with the wings held out.
  const double e = c.frame < 6 ? 0.75 * std::cos(2 * M_PI * c.frame / 6) : 0.12;
  if (!right) cairo_scale(cr, -1, 1);
  cairo_rotate(cr, -climb);
  Wing(cr, WingShape(k, e, -1), Scale(k.wing, 0.78), Scale(k.wingTip, 0.9));
  BirdBody(cr, k);
  Wing(cr, WingShape(k, e, 1), k.wing, k.wingTip);
}

// ---------------------------------------------------------------------------------------------------
// Butterflies from above: head to the right in row 0, to the left in row 1; the wings open and close.

struct Species {
  Colour ground, margin, mark;
  int pattern;      // 0 swallowtail, 1 eyespots, 2 plain with pale margin, 3 pointed plain, 4 tipped,
                    // 5 patches, 6 bands, 7 spots
  bool tailed;      // hindwings drawn out into tails
  Colour lunules;   // the spots along the margin band
  int lunuleCount;  // how many on each wing, 0 for a plain margin
};

const Species kSpecies[12] = {
    {Rgb(246, 226, 110), Rgb(40, 36, 30), Rgb(80, 120, 220), 0, true, Rgb(246, 226, 110), 5},  // swallowtail
    {Rgb(180, 50, 40), Rgb(70, 40, 36), Rgb(90, 140, 230), 1, false, Rgb(0, 0, 0), 0},         // peacock
    {Rgb(110, 150, 240), Rgb(240, 240, 240), Rgb(60, 80, 160), 2, false, Rgb(0, 0, 0), 0},     // common blue
    {Rgb(240, 236, 110), Rgb(214, 206, 90), Rgb(220, 140, 60), 3, false, Rgb(0, 0, 0), 0},     // brimstone
    {Rgb(246, 246, 240), Rgb(120, 120, 110), Rgb(250, 140, 40), 4, false, Rgb(0, 0, 0), 0},    // orange tip
    {Rgb(230, 110, 40), Rgb(50, 40, 36), Rgb(250, 220, 110), 5, false, Rgb(90, 130, 230), 5},  // tortoiseshell
    {Rgb(246, 246, 236), Rgb(60, 60, 60), Rgb(60, 60, 60), 4, false, Rgb(0, 0, 0), 0},         // cabbage white
    {Rgb(44, 40, 44), Rgb(240, 240, 240), Rgb(220, 60, 40), 6, false, Rgb(0, 0, 0), 0},        // red admiral
    {Rgb(240, 140, 40), Rgb(70, 50, 40), Rgb(60, 40, 30), 7, false, Rgb(240, 140, 40), 4},     // small copper
    {Rgb(130, 90, 200), Rgb(240, 240, 240), Rgb(60, 50, 90), 2, false, Rgb(0, 0, 0), 0},       // violet blue
    {Rgb(236, 150, 60), Rgb(80, 50, 30), Rgb(60, 36, 24), 7, false, Rgb(246, 226, 170), 5},    // fritillary
    {Rgb(150, 110, 70), Rgb(90, 70, 50), Rgb(240, 200, 80), 1, false, Rgb(0, 0, 0), 0},        // meadow brown
};

// The outlines of a forewing (0) and hindwing (1) with the body along x and the wing towards +y: two
// cubic curves from the root out and back; the second one's first half is the outer margin.
constexpr Point kWingOutlines[2][2][4] = {
    {{{0.05, 0.02}, {0.2, 0.3}, {0.5, 0.85}, {0.42, 0.95}}, {{0.42, 0.95}, {0.25, 1.0}, {-0.1, 0.75}, {-0.12, 0.05}}},
    {{{-0.05, 0.03}, {0.1, 0.5}, {-0.15, 0.85}, {-0.4, 0.72}},
     {{-0.4, 0.72}, {-0.55, 0.55}, {-0.5, 0.2}, {-0.3, 0.03}}},
};
// The outer margin of each wing, where lunules sit: which curve and the stretch of it.
constexpr struct {
  int curve;
  double from, to;
} kOuterMargins[2] = {{1, 0.05, 0.55}, {0, 0.45, 0.95}};

// The outline of the species' fore- (0) or hindwing (1) as the current path, drawn out into a tail
// where the species has one.
void WingPath(cairo_t* cr, const Species& sp, int wing) {
  const auto& outline = kWingOutlines[wing];
  cairo_move_to(cr, outline[0][0].x, outline[0][0].y);
  for (int i = 0; i < 2; ++i) {
    const Point(&c)[4] = outline[i];
    cairo_curve_to(cr, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y);
    if (wing == 1 && i == 0 && sp.tailed) {
      cairo_line_to(cr, -0.62, 0.96);
      cairo_line_to(cr, -0.5, 0.64);
    }
  }
  cairo_close_path(cr);
}

// An eyespot: a dark rim, a coloured ring, a dark pupil and a glint on the side towards the light.
void EyeSpot(cairo_t* cr, Point centre, double radius, Colour ring) {
  Disc(cr, centre, radius, Rgb(40, 32, 36), 0.9);
  Disc(cr, centre, radius * 0.8, ring);
  Disc(cr, centre, radius * 0.45, Rgb(40, 34, 40));
  Disc(cr, {centre.x - radius * 0.15, centre.y - radius * 0.15}, radius * 0.14, Rgb(250, 250, 250), 0.9);
}

// Veins from the wing's root out to its margin.
void Veins(cairo_t* cr, int wing, Colour colour, double alpha, double width) {
  constexpr int kVeins = 6;
  const auto& margin = kWingOutlines[wing][kOuterMargins[wing].curve];
  const Point root = kWingOutlines[wing][0][0];
  SetColour(cr, colour, alpha);
  cairo_set_line_width(cr, width);
  for (int v = 0; v < kVeins; ++v) {
    const double t = kOuterMargins[wing].from + (kOuterMargins[wing].to - kOuterMargins[wing].from) * v / (kVeins - 1);
    const Point end = CubicAt(margin, t);
    cairo_move_to(cr, root.x, root.y);
    cairo_curve_to(cr, root.x, root.y + 0.3, end.x, end.y - 0.3, end.x, end.y);
  }
  cairo_stroke(cr);
}

// Pale spots along the outer margin band, set a little in from the edge.
void Lunules(cairo_t* cr, const Species& sp, int wing) {
  const auto& m = kOuterMargins[wing];
  const auto& margin = kWingOutlines[wing][m.curve];
  const Point centre = wing == 0 ? Point{0.2, 0.5} : Point{-0.25, 0.4};
  for (int i = 0; i < sp.lunuleCount; ++i) {
    const Point edge = CubicAt(margin, m.from + (m.to - m.from) * (i + 0.5) / sp.lunuleCount);
    const Point spot = {edge.x + (centre.x - edge.x) * 0.12, edge.y + (centre.y - edge.y) * 0.12};
    Disc(cr, spot, 0.04, sp.lunules);
  }
}

// The species' own markings, in wing coordinates; (wx, wy) is the middle of the wing's outer half.
void Markings(cairo_t* cr, const Species& sp, int wing) {
  const double wx = wing == 0 ? 0.3 : -0.3, wy = wing == 0 ? 0.65 : 0.45;
  switch (sp.pattern) {
    case 0:  // swallowtail: black veins, and a blue spot and a red eye on the hindwing
      Veins(cr, wing, sp.margin, 0.9, 0.028);
      if (wing == 1) {
        Disc(cr, {-0.3, 0.62}, 0.08, sp.mark);
        EyeSpot(cr, {-0.1, 0.35}, 0.07, Rgb(220, 70, 40));
      }
      break;
    case 1: EyeSpot(cr, {wx + 0.05, wy + 0.1}, 0.17, sp.mark); break;
    case 3: Disc(cr, {wx, wy - 0.05}, 0.05, sp.mark); break;  // a single orange dot
    case 4:                                                   // coloured tips on the forewing
      if (wing == 0) SoftSpot(cr, {0.42, 0.92}, 0.34, sp.mark, 1.0, 0.75);
      break;
    case 5:  // dark and pale patches along the forewing's front edge
      for (int i = 0; wing == 0 && i < 3; ++i) {
        Disc(cr, {0.2 + i * 0.1, 0.3 + i * 0.22}, 0.1, i % 2 ? sp.mark : sp.margin);
      }
      break;
    case 6:  // a red band across each wing, white spots at the tip
      SetColour(cr, sp.mark);
      cairo_set_line_width(cr, 0.16);
      cairo_move_to(cr, wing == 0 ? 0.45 : -0.5, wing == 0 ? 0.35 : 0.62);
      cairo_line_to(cr, wing == 0 ? 0.05 : -0.1, wing == 0 ? 0.75 : 0.8);
      cairo_stroke(cr);
      if (wing == 0) Disc(cr, {0.38, 0.85}, 0.06, sp.margin);
      break;
    case 7:  // scattered dark spots
      for (int i = 0; i < 3; ++i) Disc(cr, {wx + (i - 1) * 0.14, wy - 0.1 + i * 0.08}, 0.055, sp.mark);
      break;
    default: break;
  }
}

// One wing in wing coordinates: the ground darkening into the hairy root, veins, the margin band,
// markings and lunules, then light and shadow over it all.
void ButterflyWing(cairo_t* cr, const Species& sp, int wing) {
  WingPath(cr, sp, wing);
  FillShaded(cr, 0.25, 0.35, [&] {
    SetColour(cr, wing == 0 ? sp.ground : Scale(sp.ground, 0.92));
    cairo_paint(cr);
    SoftSpot(cr, kWingOutlines[wing][0][0], 0.45, Scale(sp.ground, 0.45), 0.7, 0.1);
    Veins(cr, wing, Scale(sp.ground, 0.55), 0.55, 0.025);  // a shade darker than the ground
    WingPath(cr, sp, wing);
    cairo_set_line_width(cr, sp.pattern == 2 ? 0.09 : 0.16);
    SetColour(cr, sp.margin);
    cairo_stroke(cr);  // only the inner half shows: a margin band
    Markings(cr, sp, wing);
    Lunules(cr, sp, wing);
  });
}

// One side's fore- and hindwing, opened by `open` (0 closed above the body, 1 flat), side -1 up.
void Wings(cairo_t* cr, const Species& sp, double open, int side) {
  for (int wing = 1; wing >= 0; --wing) {  // hindwing under the forewing
    cairo_save(cr);
    cairo_scale(cr, 1, side * (0.15 + 0.85 * open));
    ButterflyWing(cr, sp, wing);
    cairo_restore(cr);
  }
}

void Butterfly(cairo_t* cr, const Cell& c, const Species& sp) {
  const bool right = c.row == 0;
  // Wide open at frame 0, nearly closed half-way through.
  const double open = 0.3 + 0.7 * (0.5 + 0.5 * std::cos(Phase(c)));
  if (!right) cairo_scale(cr, -1, 1);
  Wings(cr, sp, open, -1);
  Wings(cr, sp, open, 1);
  // Body and antennae.
  const Colour body = Rgb(62, 52, 44);
  cairo_save(cr);
  cairo_scale(cr, 0.42, 0.07);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  FillLit(cr, body, 0.35, 0.4);
  SetColour(cr, body);
  cairo_set_line_width(cr, std::max(0.03, c.pixel * 0.8));
  cairo_move_to(cr, 0.38, -0.02);
  cairo_line_to(cr, 0.58, -0.14);
  cairo_move_to(cr, 0.38, 0.02);
  cairo_line_to(cr, 0.58, 0.14);
  cairo_stroke(cr);
}

void PaintCell(cairo_t* cr, const ContentItem& item, const Cell& c) {
  const int v = item.variant;
  if (v <= 1) {
    Seed(cr, c);
  } else if (v == 2) {
    FlockBird(cr, c);
  } else if (v < 20) {
    Glider(cr, c, kBirdKinds[v - 10], 0.0);
  } else if (v < 30) {
    Glider(cr, c, kBirdKinds[v - 20], 0.28);
  } else {
    Butterfly(cr, c, kSpecies[v - 30]);
  }
}

// The largest distance the item's creature reaches from its cell centre, over all cells, in design
// units (x and y separately): every cell is drawn at the given scale onto a roomy surface and the
// covered pixels are measured.
void MeasureReach(const ContentItem& item, double scale, double& reachX, double& reachY) {
  const int w = item.frameWidth * 4, h = item.frameHeight * 4;
  reachX = reachY = 1.0 / scale;
  for (int row = 0; row < item.rows; ++row) {
    for (int frame = 0; frame < item.frames; ++frame) {
      Canvas probe(w, h);
      cairo_translate(probe.Cr(), w / 2.0, h / 2.0);
      cairo_scale(probe.Cr(), scale, scale);
      PaintCell(probe.Cr(), item, {frame, item.frames, row, 1.0 / scale});
      const Image covered = KeyedWithShadedRim(probe, kSpriteMinimumSum, kSpriteCoverage);
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          const uint8_t* p = covered.At(x, y);
          if (p[0] + p[1] + p[2] == 0) continue;
          reachX = std::max(reachX, std::abs(x + 0.5 - w / 2.0) / scale);
          reachY = std::max(reachY, std::abs(y + 0.5 - h / 2.0) / scale);
        }
      }
    }
  }
}

}  // namespace

Image PaintSheet(const ContentItem& item, int scale) {
  // Scale the design so the widest frame fills its cell up to the black border. Line widths depend on
  // the scale, so the fit is refined a few times from a first guess. The fit is made in logical pixels,
  // so every scale places the subjects alike.
  double fit = std::min(item.frameWidth, item.frameHeight) / 2.0;
  for (int pass = 0; pass < 3; ++pass) {
    double reachX, reachY;
    MeasureReach(item, fit, reachX, reachY);
    fit = std::min((item.frameWidth / 2.0 - 1.0) / reachX, (item.frameHeight / 2.0 - 1.0) / reachY);
  }
  Canvas canvas(item.width, item.height, scale);
  cairo_t* cr = canvas.Cr();
  for (int row = 0; row < item.rows; ++row) {
    for (int frame = 0; frame < item.frames; ++frame) {
      cairo_save(cr);
      cairo_translate(cr, frame * item.frameWidth, row * item.frameHeight);
      cairo_rectangle(cr, 1, 1, item.frameWidth - 2, item.frameHeight - 2);
      cairo_clip(cr);
      cairo_translate(cr, item.frameWidth / 2.0, item.frameHeight / 2.0);
      cairo_scale(cr, fit, fit);
      // Hairlines stay one output pixel wide, so finer scales show finer filaments and outlines.
      PaintCell(cr, item, {frame, item.frames, row, 1.0 / (fit * scale)});
      cairo_restore(cr);
    }
  }
  return scale == 1 ? KeyedWithShadedRim(canvas, kSpriteMinimumSum, kSpriteCoverage)
                    : KeyedWithShadedRim(canvas, kHighResolutionMinimumSum, kFineSpriteCoverage);
}

}  // namespace sylvora
