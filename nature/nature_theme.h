#pragma once
// The one object that animates the scene on screen: the four picture layers, the scrolling sky, the
// scene's wind and the seven creature sets. The scene catalogue configures it for a scene and Inits it;
// the scene manager then runs Update and Render once per frame and ShiftClocks after a pause. All motion
// follows elapsed milliseconds, never frame counts.
#include <array>
#include <cstdint>

#include "nature/creatures.h"
#include "nature/sprite.h"

namespace sylvora {

class Report;
class VideoSystem;

// Module name of every message the nature scenes write.
inline constexpr const char* kNatureModule = "RURODODE.NATURE";

class NatureTheme {
 public:
  // The creature sets in update order; also the order of the spawn odds.
  enum SetIndex { kSeedA, kSeedB, kFlock, kGlidersNear, kGlidersFar, kButterfliesLarge, kButterfliesSmall,
                  kSetCount };
  static constexpr int kDegrees = 360;

  // Fills the angle tables; every layer off, every set empty, sky speed and animation level "Normal".
  NatureTheme();
  NatureTheme(const NatureTheme&) = delete;
  NatureTheme& operator=(const NatureTheme&) = delete;

  // ---- Called by SceneManager::Configure, in this order, before Init ----

  void SetReport(Report* newReport) { report = newReport; }
  void SetVideo(VideoSystem* newVideo) { video = newVideo; }
  // Option speed_of_sky: 0 unmoved, 1 low, 2 normal, 3 high; anything else means 2.
  void SetSkySpeed(int mode);
  // Option background_animation: 0 no creatures, 1 low, 2 normal, 3 high; anything else means 2.
  void SetAnimationLevel(int level);
  // The scene columns the frame shows, left inclusive, right exclusive (0 and 640 unless the display fits
  // the frame to a wider or narrower output), and the screen's height. Creatures enter and leave at the
  // field's edges and the sky fills it.
  void SetField(int left, int right, int height);
  // A fresh wind, the sky at its start, every set emptied, and the report that the theme is ready.
  void Init();

  // ---- Called every frame by the scene manager ----

  // Scrolls the sky, then moves and spawns the creatures of every set that is on.
  void Update();
  // Draws layers, sky and creatures back to front into the secondary buffer.
  void Render() const;
  // Continues every animation clock after a pause of d ms, as if no time had passed.
  void ShiftClocks(int d);

  // ---- Helpers of the creature sets ----

  // Moves a point by distance pixels along angle (0 = right, 90 = up; y grows downwards on screen).
  void Move(double& x, double& y, int angle, double distance) const;
  // Whether a frame of fw x fh whose corner is at (x, y) has left the screen entirely.
  bool IsOffScreen(double x, double y, int fw, int fh) const;
  // Draws frame column `frame` of row `row` of picture at (x, y), cut to the screen's edges.
  void DrawFrame(const Sprite& picture, double x, double y, double frame, int row) const;
  // Cuts a frame-relative rectangle whose corner lands at scene point (x, y) to the field, moving the point
  // onto it and into the frame's columns (x less fieldLeft); false when nothing remains.
  bool ClipToScreen(int& left, int& top, int& right, int& bottom, int& x, int& y) const;

  // ---- State, open to the scene catalogue and to tests ----

  Report* report = nullptr;
  VideoSystem* video = nullptr;
  int fieldLeft = 0;
  int fieldRight = 640;
  int screenHeight = 480;
  std::array<double, kDegrees> sine{};
  std::array<double, kDegrees> cosine{};
  double skySpeedFactor = 0.0;        // pixels per ms of scroll per unit of wind
  std::array<int, kSetCount> spawnOdds{};  // one-in value of each set's 100 ms spawn test
  double wind = 0.0;                  // negative blows left; magnitude 30 to 99

  SceneLayer back0;  // the ground at the bottom
  SceneLayer back1;  // overlay on the sky band
  SceneLayer back2;  // foreground overlay
  SceneLayer sky;    // a 1280-pixel panorama stored as two halves, one above the other

  int skySpeedMode = 2;       // 0 keeps the sky still
  double skyPosition = 0.0;   // offset into the panorama, 0 <= position < 2 x sky frame width
  double skyRate = 0.0;       // pixels per ms
  uint32_t skyClock = 0;      // clock of the last sky move
  int skyBand = 0;            // height of the strip above the ground

  SeedSet seedA;
  SeedSet seedB;
  BirdFlock flock;
  GliderGroup glidersNear;
  GliderGroup glidersFar;
  ButterflySet butterfliesLarge;
  ButterflySet butterfliesSmall;
  // The seven sets in update order.
  std::array<CreatureSet*, kSetCount> sets;

 private:
  void ScrollSky(uint32_t now);
  void DrawLayer(const SceneLayer& layer) const;
  void DrawSky() const;
};

}  // namespace sylvora
