#include "nature/nature_theme.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/clock.h"
#include "report/report.h"
#include "video/video_system.h"

namespace sylvora {
namespace {

// Degrees to radians, with pi taken as 3.141592654.
constexpr double kRadiansPerDegree = 0.017453292522222223;

// Sky scroll per unit of wind for the speed modes 0 (unmoved, the sky stands still) to 3.
constexpr std::array<float, 4> kSkySpeedFactor = {0.00025f, 0.00015f, 0.00025f, 0.00035f};

// One-in odds of each set's spawn test, per animation level (level 0 keeps the "Normal" odds but stops
// every set).
constexpr std::array<std::array<int, NatureTheme::kSetCount>, 4> kSpawnOdds = {{
    {200, 200, 60, 150, 150, 80, 80},
    {300, 300, 90, 225, 225, 120, 120},
    {200, 200, 60, 150, 150, 80, 80},
    {140, 140, 40, 100, 100, 55, 55},
}};

constexpr GliderKind kNearGliders = {0.2, 0.4, 100, 100};
constexpr GliderKind kFarGliders = {0.1, 0.25, 50, 50};

// Options outside 0..3 mean "Normal".
int NormalLevel(int value) { return value < 0 || value > 3 ? 2 : value; }

}  // namespace

NatureTheme::NatureTheme()
    : seedA(0.0005),
      seedB(0.00035),
      glidersNear(kNearGliders),
      glidersFar(kFarGliders),
      butterfliesLarge(0.1, 0.1),
      butterfliesSmall(0.05, 0.05),
      sets{&seedA, &seedB, &flock, &glidersNear, &glidersFar, &butterfliesLarge, &butterfliesSmall} {
  for (int degree = 0; degree < kDegrees; ++degree) {
    sine[degree] = std::sin(degree * kRadiansPerDegree);
    cosine[degree] = std::cos(degree * kRadiansPerDegree);
  }
  SetSkySpeed(2);
  SetAnimationLevel(2);
}

void NatureTheme::SetSkySpeed(int mode) {
  skySpeedMode = NormalLevel(mode);
  skySpeedFactor = kSkySpeedFactor[skySpeedMode];
}

void NatureTheme::SetAnimationLevel(int level) {
  level = NormalLevel(level);
  for (CreatureSet* set : sets) set->animationLevel = level;
  spawnOdds = kSpawnOdds[level];
}

void NatureTheme::SetField(int left, int right, int height) {
  fieldLeft = left;
  fieldRight = right;
  screenHeight = height;
}

void NatureTheme::Init() {
  const bool blowsRight = RandomBool();
  const int strength = RandomRange(30, 100);
  wind = blowsRight ? strength : -strength;

  skyPosition = 0.0;
  skyRate = std::abs(wind) * skySpeedFactor;
  skyClock = TimeGetTime();

  skyBand = screenHeight - back0.sprite.frameHeight;

  for (int set = 0; set < kSetCount; ++set) sets[set]->Reset(spawnOdds[set]);

  if (report != nullptr) {
    report->AddMessage(1, MessageKind::Report, kNatureModule, "Init", "nature theme has been successfully initialized");
  }
}

void NatureTheme::Update() {
  const uint32_t now = TimeGetTime();
  ScrollSky(now);
  for (CreatureSet* set : sets) {
    if (set->variantCount > 0 && set->animationLevel != 0) set->Update(*this, now);
  }
}

void NatureTheme::ScrollSky(uint32_t now) {
  // A signed difference rather than "now > clock", so the sky keeps moving when the timer wraps.
  if (!sky.enabled || skySpeedMode == 0 || static_cast<int32_t>(now - skyClock) <= 0) return;
  const double distance = (now - skyClock) * skyRate;
  const double panorama = 2.0 * sky.sprite.frameWidth;
  if (wind < 0) {
    skyPosition += distance;
    if (skyPosition >= panorama) skyPosition = 0.0;
  } else {
    skyPosition -= distance;
    if (skyPosition < 0.0) skyPosition = panorama - 1.0;
  }
  skyClock = now;
}

void NatureTheme::Render() const {
  auto drawSet = [this](const CreatureSet& set) {
    if (set.variantCount > 0) set.Draw(*this);
  };
  DrawLayer(back0);
  if (sky.enabled) DrawSky();
  drawSet(flock);
  DrawLayer(back1);
  drawSet(glidersFar);
  drawSet(glidersNear);
  drawSet(butterfliesSmall);
  drawSet(seedB);
  DrawLayer(back2);
  drawSet(butterfliesLarge);
  drawSet(seedA);
}

// A layer is one whole frame of its sprite, cut to the field like a creature.
void NatureTheme::DrawLayer(const SceneLayer& layer) const {
  if (layer.enabled) DrawFrame(layer.sprite, layer.sprite.x, layer.sprite.y, layer.sprite.frame, 0);
}

// The panorama's columns 0..W-1 are the picture's upper half and W..2W-1 its lower half; the sky
// position is the panorama column over the scene's column 0, so every field shows the same sky over the
// same scene. The visible window is as wide as the field and is stitched from one blit per half it
// crosses. A display that draws between frame pixels shows the window from the position's fraction of a
// column on, so the slowest sky glides rather than stepping a column at a time; it then needs the
// column after the window.
void NatureTheme::DrawSky() const {
  if (video == nullptr) return;
  const Sprite& picture = sky.sprite;
  const int width = picture.frameWidth;
  const int panorama = 2 * width;
  if (skyPosition < 0.0 || skyPosition >= panorama) return;
  const double shifted = std::fmod(skyPosition + fieldLeft, static_cast<double>(panorama));
  const double start = shifted < 0.0 ? shifted + panorama : shifted;
  const int offset = static_cast<int>(start);
  const int band = skyBand;
  const int columns = fieldRight - fieldLeft;
  const double between = video->DrawsSubPixels() ? start - offset : 0.0;
  const SubPixelShift shift{-between, 0.0};
  for (int drawn = 0; drawn < columns;) {
    const int column = (offset + drawn) % panorama;
    const int half = column / width;
    const int taken = std::min(width - column % width, columns - drawn);
    const SurfaceRect piece{column % width, half * band, column % width + taken, (half + 1) * band};
    video->Draw(piece, picture.surface, drawn, 0, shift);
    drawn += taken;
  }
  if (between > 0.0) {
    const int column = (offset + columns) % panorama;
    const int half = column / width;
    const SurfaceRect next{column % width, half * band, column % width + 1, (half + 1) * band};
    video->Draw(next, picture.surface, columns - 1, 0, SubPixelShift{1.0 - between, 0.0});
  }
}

void NatureTheme::ShiftClocks(int d) {
  const uint32_t shift = static_cast<uint32_t>(d);
  if (sky.enabled) skyClock += shift;
  for (CreatureSet* set : sets) {
    if (set->variantCount > 0) set->ShiftClocks(shift);
  }
}

void NatureTheme::Move(double& x, double& y, int angle, double distance) const {
  x += distance * cosine[angle];
  y += distance * sine[(angle + 180) % kDegrees];
}

bool NatureTheme::IsOffScreen(double x, double y, int fw, int fh) const {
  const int ix = static_cast<int>(x);
  const int iy = static_cast<int>(y);
  return ix + fw < fieldLeft + 1 || ix >= fieldRight || iy + fh < 1 || iy >= screenHeight;
}

bool NatureTheme::ClipToScreen(int& left, int& top, int& right, int& bottom, int& x, int& y) const {
  const int columns = fieldRight - fieldLeft;
  x -= fieldLeft;
  if (x < 0) {
    left = -x;
    x = 0;
  }
  if (x + right - left >= columns) right = left + columns - x;
  if (y < 0) {
    top = -y;
    y = 0;
  }
  if (y + bottom - top >= screenHeight) bottom = top + screenHeight - y;
  return right > left && bottom > top;
}

void NatureTheme::DrawFrame(const Sprite& picture, double x, double y, double frame, int row) const {
  if (video == nullptr) return;
  const int fw = picture.frameWidth;
  const int fh = picture.frameHeight;
  int left = 0, top = 0, right = fw, bottom = fh;
  int drawX = static_cast<int>(x);
  int drawY = static_cast<int>(y);
  // What the whole-pixel position dropped, for a display that draws between frame pixels.
  const SubPixelShift shift{x - drawX, y - drawY};
  if (!ClipToScreen(left, top, right, bottom, drawX, drawY)) return;
  const int column = static_cast<int>(frame);
  const SurfaceRect source{left + column * fw, top + row * fh, right + column * fw, bottom + row * fh};
  video->Draw(source, picture.surface, drawX, drawY, shift);
}

}  // namespace sylvora
