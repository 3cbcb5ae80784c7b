#pragma once
// The living part of a scene: wind-blown seeds, a distant flock, groups of gliding birds that tilt up
// and down, and fluttering butterflies. Seven sets of them live inside the NatureTheme, each with a fixed
// table of creature slots; the theme updates them in its Update and draws them in its Render.
#include <array>
#include <cstdint>

#include "nature/nature_random.h"
#include "nature/sprite.h"

namespace sylvora {

class NatureTheme;

// What every creature has: where it is, how fast it moves, and its own move and animation clocks, so
// motion and flapping are measured in milliseconds whatever the frame rate.
struct Creature {
  int active = 0;
  int variant = 0;                // which template Sprite of its set it is drawn from
  double x = 0.0;                 // screen position of the frame's top-left corner
  double y = 0.0;
  double speed = 0.0;             // pixels per ms
  uint32_t moveClock = 0;
  double frame = 0.0;             // 0 <= frame < frameCount
  double frameCount = 1.0;        // copied from the template
  double animationSpeed = 0.0;    // frames per ms
  uint32_t animationClock = 0;
};

// A seed keeps the heading it was blown in with until it leaves the screen.
struct Seed : Creature {
  int heading = 0;  // degrees, 0 = right, 90 = up
};

// A gliding bird turns by at most one tilt step every 100 ms towards its target tilt.
struct Glider : Creature {
  int targetTilt = 0;    // 0 (steep climb) .. 10 (steep descent)
  int tilt = 0;
  uint32_t tiltClock = 0;
  ChanceTimer tiltTimer; // picks a new target now and then
};

// A butterfly cruises away from the side it entered at, zig-zagging, and now and then flutters about.
struct Butterfly : Creature {
  int side = 0;      // 1 = entered at the left, 0 = at the right
  int heading = 0;   // degrees
  int cruising = 0;  // 1 = holding its course, 0 = fluttering in any direction
  ChanceTimer jitter;       // new course within 60 degrees while cruising
  ChanceTimer wander;       // any new direction while fluttering
  ChanceTimer startCruise;  // ends a spell of fluttering
  ChanceTimer stopCruise;   // starts one
};

// The parts every set shares. The theme calls Reset from Init, Update from its Update (only when the
// set has variants and its animation level is not 0), Draw from its Render and ShiftClocks after a pause.
class CreatureSet {
 public:
  // The most picture variants any set has (the large butterflies).
  static constexpr int kMaxVariants = 8;

  virtual ~CreatureSet() = default;
  // The empty state: every slot inactive, every timer restarted; spawnOdds is the spawn timer's one-in.
  virtual void Reset(int spawnOdds) = 0;
  // Moves the live creatures by the time since their own clocks, then may add new ones.
  virtual void Update(const NatureTheme& theme, uint32_t now) = 0;
  // Draws the live creatures (for groups, only while the group is active).
  virtual void Draw(const NatureTheme& theme) const = 0;
  // Moves the clocks of every live creature on by a pause of d ms.
  virtual void ShiftClocks(uint32_t d) = 0;

  int variantCount = 0;    // 0 = the set is off in this scene
  int animationLevel = 2;  // option background_animation; 0 stops the set
  std::array<Sprite, kMaxVariants> variants;  // templates: surface, frame size, frame count, speed
  ChanceTimer spawnTimer;  // (100 ms, the set's spawn odds)
};

// Seeds blown across the screen by the wind, entering at the top or at the side the wind comes from.
class SeedSet final : public CreatureSet {
 public:
  static constexpr int kSlots = 5;

  // speedFactor turns (random 0..49 + wind strength) into pixels per ms.
  explicit SeedSet(double speedFactor) : speedFactor_(speedFactor) {}
  void Reset(int spawnOdds) override;
  void Update(const NatureTheme& theme, uint32_t now) override;
  void Draw(const NatureTheme& theme) const override;
  void ShiftClocks(uint32_t d) override;

  std::array<Seed, kSlots> slots;

 private:
  // Fills a free slot with a seed entering now.
  void Spawn(const NatureTheme& theme, Seed& seed);

  double speedFactor_;
};

// A group of birds launched one after another from the same side at nearly the same height. The flock
// and the glider groups share it; the group ends as soon as none of its launched birds is on screen.
struct CreatureGroup {
  int active = 0;
  int size = 0;       // birds to launch
  int launched = 0;   // birds launched so far, in slot order
  int baseY = 0;      // top of the height band the birds keep to
  int variant = 0;    // every bird of the group uses this picture
  int direction = 0;  // 1 = flies right, 0 = flies left
  ChanceTimer addTimer;  // (100, 3): the next bird follows after about 300 ms
};

// The distant flock of small birds crossing the sky band in a straight line.
class BirdFlock final : public CreatureSet {
 public:
  static constexpr int kSlots = 7;
  static constexpr int kBand = 50;  // birds start within this many pixels below the base height

  void Reset(int spawnOdds) override;
  void Update(const NatureTheme& theme, uint32_t now) override;
  void Draw(const NatureTheme& theme) const override;
  void ShiftClocks(uint32_t d) override;

  CreatureGroup group;
  std::array<Creature, kSlots> slots;
};

// The constants that tell the near and the far glider group apart.
struct GliderKind {
  double speedSpread;   // speed = random 0..99 x speedSpread x 0.01 + speedBase
  double speedBase;
  int baseYMargin;      // base height = random 0 .. screen height - screen height / 2 - baseYMargin - 1
  int band;             // height band the birds climb and sink around
};

// A group of larger birds gliding across, climbing and sinking gently around the group's band.
class GliderGroup final : public CreatureSet {
 public:
  static constexpr int kSlots = 10;
  static constexpr int kTilts = 11;
  // Heading above the horizontal for each tilt (climb positive), and the sheet row that shows it.
  static constexpr std::array<int, kTilts> kTiltAngle = {40, 32, 24, 16, 8, 0, -8, -16, -24, -32, -40};
  static constexpr std::array<int, kTilts> kTiltRow = {0, 0, 1, 1, 2, 2, 2, 3, 3, 4, 4};
  // Rows 0..4 show birds flying left; birds flying right use the same rows plus this.
  static constexpr int kRightwardRows = 5;
  // ms between two tilt steps.
  static constexpr uint32_t kTiltStep = 100;

  explicit GliderGroup(const GliderKind& kind) : kind_(kind) {}
  void Reset(int spawnOdds) override;
  void Update(const NatureTheme& theme, uint32_t now) override;
  void Draw(const NatureTheme& theme) const override;
  void ShiftClocks(uint32_t d) override;

  CreatureGroup group;
  std::array<Glider, kSlots> slots;

 private:
  // Turns the glider one step towards its target tilt and keeps it inside the group's band.
  void Steer(Glider& glider, uint32_t now);

  GliderKind kind_;
};

// Butterflies crossing the scene from either side.
class ButterflySet final : public CreatureSet {
 public:
  static constexpr int kSlots = 10;

  // speed = random 0..99 x speedSpread x 0.01 + speedBase.
  ButterflySet(double speedSpread, double speedBase) : speedSpread_(speedSpread), speedBase_(speedBase) {}
  void Reset(int spawnOdds) override;
  void Update(const NatureTheme& theme, uint32_t now) override;
  void Draw(const NatureTheme& theme) const override;
  void ShiftClocks(uint32_t d) override;

  std::array<Butterfly, kSlots> slots;

 private:
  // Changes course or mood when the butterfly's timers say so.
  static void ChooseCourse(Butterfly& butterfly);
  // Fills a free slot with a butterfly entering now.
  void Spawn(const NatureTheme& theme, Butterfly& butterfly);

  double speedSpread_;
  double speedBase_;
};

}  // namespace sylvora
