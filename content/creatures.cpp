// Creature sheets: every cell is painted with cairo in its own clip, one pixel inside the cell, so a
// subject can never spill into its neighbour and every cell keeps a black border.
#include <algorithm>
#include <cmath>

#include "archive/high_resolution.h"
#include "content/paint.h"
#include "content/painters.h"

namespace sylvora {
namespace {

// Sprites are drawn with black as their colour key and threshold 0: every painted pixel must stay
// non-black even after reduction to 16-bit colour, which keeps only the top 5 or 6 bits.
constexpr int kSpriteMinimumSum = 36;
// Alpha from which a sprite pixel counts as painted: thin seed filaments need less than half.
constexpr int kSpriteCoverage = 80;
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

// One wing from the shoulder: elevation e (radians, up positive), side +1 near the viewer, -1 far.
// The arm rises to the wrist and the hand sweeps back to a pointed tip.
void Wing(cairo_t* cr, const BirdKind& k, double e, int side, Colour colour, Colour tip) {
  const double span = k.span * (side > 0 ? 1.0 : 0.8);
  const double vy = -std::sin(e) + side * 0.38 * std::cos(e);
  const double wx = 0.04, wy = vy * span * 0.48;  // the wrist
  const double tx = -0.38 * span, ty = vy * span;  // the tip
  cairo_move_to(cr, 0.16, 0);
  cairo_curve_to(cr, 0.18, wy * 0.5, wx + 0.06, wy * 0.85, wx, wy);
  cairo_curve_to(cr, wx - 0.08, wy + (ty - wy) * 0.5, tx + 0.1, ty, tx, ty);
  cairo_curve_to(cr, tx + 0.05, ty * 0.8, wx - k.chord, wy * 0.8, -0.5 * k.chord - 0.08, wy * 0.25);
  cairo_curve_to(cr, -0.2, 0.02, -0.1, 0.02, 0.16, 0);
  cairo_close_path(cr);
  SetColour(cr, colour);
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  // Shade towards the trailing edge, and dark tips.
  SetColour(cr, Scale(colour, 0.8));
  cairo_set_line_width(cr, k.chord * 0.35);
  cairo_move_to(cr, -0.5 * k.chord - 0.08, wy * 0.25);
  cairo_line_to(cr, tx, ty);
  cairo_stroke(cr);
  SetColour(cr, tip);
  cairo_arc(cr, tx, ty, k.span * 0.2, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_new_path(cr);
}

void Glider(cairo_t* cr, const Cell& c, const BirdKind& kind, double haze) {
  const Colour mist = Rgb(176, 190, 210);
  BirdKind k = kind;
  k.body = Mix(k.body, mist, haze);
  k.belly = Mix(k.belly, mist, haze);
  k.wing = Mix(k.wing, mist, haze);
  k.wingTip = Mix(k.wingTip, mist, haze);
  static constexpr double kRowAngle[5] = {38, 20, 0, -20, -38};
  const bool right = c.row >= 5;
  const double climb = kRowAngle[c.row % 5] * M_PI / 180;
  // Six frames of flapping, then two of gliding with the wings held out.
  const double e = c.frame < 6 ? 0.75 * std::cos(2 * M_PI * c.frame / 6) : 0.12;
  if (!right) cairo_scale(cr, -1, 1);
  cairo_rotate(cr, -climb);
  Wing(cr, k, e, -1, Scale(k.wing, 0.78), Scale(k.wingTip, 0.9));
  // Body from tail to beak.
  const double L = k.bodyLength / 2;
  cairo_move_to(cr, L, 0);
  cairo_curve_to(cr, L * 0.7, -0.13, -L * 0.4, -0.1, -L * 0.85, -0.02);
  cairo_line_to(cr, -L * 0.85, 0.04);
  cairo_curve_to(cr, -L * 0.4, 0.12, L * 0.6, 0.13, L, 0);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, -0.12, 0, 0.12);
  cairo_pattern_add_color_stop_rgb(p, 0, k.body.r, k.body.g, k.body.b);
  cairo_pattern_add_color_stop_rgb(p, 1, k.belly.r, k.belly.g, k.belly.b);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Tail.
  const double t0 = -L * 0.8;
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
  SetColour(cr, k.tail == 0 ? k.belly : k.body);
  cairo_fill(cr);
  // Head, eye and beak.
  SetColour(cr, k.body);
  cairo_arc(cr, L * 0.86, -0.02, 0.085, 0, 2 * M_PI);
  cairo_fill(cr);
  SetColour(cr, k.tail == 0 ? Rgb(230, 190, 60) : Rgb(50, 46, 40));
  cairo_move_to(cr, L * 0.92, -0.04);
  cairo_line_to(cr, L * 0.92 + 0.13, 0.0);
  cairo_line_to(cr, L * 0.92, 0.03);
  cairo_close_path(cr);
  cairo_fill(cr);
  Wing(cr, k, e, 1, k.wing, k.wingTip);
}

// ---------------------------------------------------------------------------------------------------
// Butterflies from above: head to the right in row 0, to the left in row 1; the wings open and close.

struct Species {
  Colour ground, margin, mark;
  int pattern;  // 0 swallowtail, 1 eyespots, 2 plain with pale margin, 3 pointed plain, 4 tipped,
                // 5 patches, 6 bands, 7 spots
  bool tailed;  // hindwings drawn out into tails
};

const Species kSpecies[12] = {
    {Rgb(246, 226, 110), Rgb(40, 36, 30), Rgb(80, 120, 220), 0, true},   // swallowtail
    {Rgb(180, 50, 40), Rgb(70, 40, 36), Rgb(90, 140, 230), 1, false},      // peacock
    {Rgb(110, 150, 240), Rgb(240, 240, 240), Rgb(60, 80, 160), 2, false},   // common blue
    {Rgb(240, 236, 110), Rgb(214, 206, 90), Rgb(220, 140, 60), 3, false},   // brimstone
    {Rgb(246, 246, 240), Rgb(120, 120, 110), Rgb(250, 140, 40), 4, false},  // orange tip
    {Rgb(230, 110, 40), Rgb(50, 40, 36), Rgb(250, 220, 110), 5, false},     // small tortoiseshell
    {Rgb(246, 246, 236), Rgb(60, 60, 60), Rgb(60, 60, 60), 4, false},       // cabbage white
    {Rgb(44, 40, 44), Rgb(240, 240, 240), Rgb(220, 60, 40), 6, false},      // red admiral
    {Rgb(240, 140, 40), Rgb(70, 50, 40), Rgb(60, 40, 30), 7, false},        // small copper
    {Rgb(130, 90, 200), Rgb(240, 240, 240), Rgb(60, 50, 90), 2, false},     // violet blue
    {Rgb(236, 150, 60), Rgb(80, 50, 30), Rgb(60, 36, 24), 7, false},        // fritillary
    {Rgb(150, 110, 70), Rgb(90, 70, 50), Rgb(240, 200, 80), 1, false},      // meadow brown
};

// One side's fore- and hindwing, opened by `open` (0 closed above the body, 1 flat), side -1 up.
void Wings(cairo_t* cr, const Species& sp, double open, int side) {
  for (int wing = 1; wing >= 0; --wing) {  // hindwing under the forewing
    cairo_save(cr);
    cairo_scale(cr, 1, side * (0.15 + 0.85 * open));
    if (wing == 0) {
      cairo_move_to(cr, 0.05, 0.02);
      cairo_curve_to(cr, 0.2, 0.3, 0.5, 0.85, 0.42, 0.95);
      cairo_curve_to(cr, 0.25, 1.0, -0.1, 0.75, -0.12, 0.05);
    } else {
      cairo_move_to(cr, -0.05, 0.03);
      cairo_curve_to(cr, 0.1, 0.5, -0.15, 0.85, -0.4, 0.72);
      if (sp.tailed) {
        cairo_line_to(cr, -0.62, 0.96);
        cairo_line_to(cr, -0.5, 0.64);
      }
      cairo_curve_to(cr, -0.55, 0.55, -0.5, 0.2, -0.3, 0.03);
    }
    cairo_close_path(cr);
    cairo_restore(cr);
    SetColour(cr, wing == 0 ? sp.ground : Scale(sp.ground, 0.92));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    // Margins and markings, in wing coordinates.
    cairo_scale(cr, 1, side * (0.15 + 0.85 * open));
    cairo_set_line_width(cr, sp.pattern == 2 ? 0.09 : 0.16);
    SetColour(cr, sp.margin);
    cairo_stroke(cr);  // the clip keeps only the inner half: a margin band
    const double wx = wing == 0 ? 0.3 : -0.3, wy = wing == 0 ? 0.65 : 0.45;
    switch (sp.pattern) {
      case 0:  // swallowtail: black veins and a blue row on the hindwing
        SetColour(cr, sp.margin);
        cairo_set_line_width(cr, 0.05);
        for (int v = 0; v < 4; ++v) {
          cairo_move_to(cr, 0, 0.05);
          cairo_line_to(cr, wx + (v - 1.5) * 0.18, wy + 0.3);
        }
        cairo_stroke(cr);
        if (wing == 1) {
          SetColour(cr, sp.mark);
          cairo_arc(cr, -0.35, 0.55, 0.07, 0, 2 * M_PI);
          cairo_fill(cr);
        }
        break;
      case 1:  // eyespots
        SetColour(cr, sp.mark);
        cairo_arc(cr, wx + 0.05, wy + 0.1, 0.16, 0, 2 * M_PI);
        cairo_fill(cr);
        SetColour(cr, Rgb(30, 26, 30));
        cairo_arc(cr, wx + 0.05, wy + 0.1, 0.07, 0, 2 * M_PI);
        cairo_fill(cr);
        break;
      case 3:  // a single orange dot
        SetColour(cr, sp.mark);
        cairo_arc(cr, wx, wy - 0.05, 0.05, 0, 2 * M_PI);
        cairo_fill(cr);
        break;
      case 4:  // coloured tips on the forewing
        if (wing == 0) {
          SetColour(cr, sp.mark);
          cairo_arc(cr, 0.42, 0.92, 0.3, 0, 2 * M_PI);
          cairo_fill(cr);
        }
        break;
      case 5:  // dark and pale patches along the forewing's front edge
        if (wing == 0) {
          for (int i = 0; i < 3; ++i) {
            SetColour(cr, i % 2 ? sp.mark : sp.margin);
            cairo_arc(cr, 0.2 + i * 0.1, 0.3 + i * 0.22, 0.1, 0, 2 * M_PI);
            cairo_fill(cr);
          }
        }
        break;
      case 6:  // a red band across each wing, white spots at the tip
        SetColour(cr, sp.mark);
        cairo_set_line_width(cr, 0.16);
        cairo_move_to(cr, wing == 0 ? 0.45 : -0.5, wing == 0 ? 0.35 : 0.62);
        cairo_line_to(cr, wing == 0 ? 0.05 : -0.1, wing == 0 ? 0.75 : 0.8);
        cairo_stroke(cr);
        if (wing == 0) {
          SetColour(cr, sp.margin);
          cairo_arc(cr, 0.38, 0.85, 0.06, 0, 2 * M_PI);
          cairo_fill(cr);
        }
        break;
      case 7:  // scattered dark spots
        SetColour(cr, sp.mark);
        for (int i = 0; i < 3; ++i) {
          cairo_arc(cr, wx + (i - 1) * 0.14, wy - 0.1 + i * 0.08, 0.055, 0, 2 * M_PI);
          cairo_fill(cr);
        }
        break;
      default:
        break;
    }
    cairo_restore(cr);
    cairo_new_path(cr);
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
  SetColour(cr, Rgb(62, 52, 44));
  cairo_save(cr);
  cairo_scale(cr, 0.42, 0.07);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_fill(cr);
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
      const Image covered = probe.KeyedOnBlack(kSpriteMinimumSum, kSpriteCoverage);
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
  return canvas.KeyedOnBlack(scale == 1 ? kSpriteMinimumSum : kHighResolutionMinimumSum, kSpriteCoverage);
}

}  // namespace sylvora
