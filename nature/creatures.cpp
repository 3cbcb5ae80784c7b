#include "nature/creatures.h"

#include <algorithm>
#include <cmath>

#include "nature/nature_theme.h"
#include "platform/clock.h"

namespace sylvora {
namespace {

// Headings are kept in 0..359 so they index the angle tables.
int NormalAngle(int angle) { return ((angle % 360) + 360) % 360; }

// Flaps the creature on by the time since its animation clock, wrapping within its row.
void AdvanceAnimation(Creature& creature, uint32_t now) {
  creature.frame += (now - creature.animationClock) * creature.animationSpeed;
  // The remainder equals repeated subtraction of the count, without looping over a long stall.
  if (creature.frame >= creature.frameCount && creature.frameCount > 0.0) {
    creature.frame = std::fmod(creature.frame, creature.frameCount);
  }
  creature.animationClock = now;
}

// Moves the creature along angle by the time since its move clock.
void MoveAlong(const NatureTheme& theme, Creature& creature, int angle, uint32_t now) {
  theme.Move(creature.x, creature.y, angle, (now - creature.moveClock) * creature.speed);
  creature.moveClock = now;
}

// Retires a creature whose frame has left the screen; true when it has just done so.
bool LeaveIfOffScreen(const NatureTheme& theme, Creature& creature, const Sprite& picture) {
  if (!theme.IsOffScreen(creature.x, creature.y, picture.frameWidth, picture.frameHeight)) return false;
  creature.active = 0;
  return true;
}

// Gives a new creature its picture's animation and starts both of its clocks at now.
void StartCreature(Creature& creature, const Sprite& picture, uint32_t now) {
  creature.frame = 0.0;
  creature.frameCount = picture.frameCount;
  creature.animationSpeed = picture.animationSpeed;
  creature.animationClock = now;
  creature.moveClock = now;
  creature.active = 1;
}

// A creature entering at the right or left edge shows exactly one pixel column.
double EntryAtSide(const NatureTheme& theme, bool fromRight, const Sprite& picture) {
  return fromRight ? theme.fieldRight - 1 : theme.fieldLeft + 1 - picture.frameWidth;
}

// A course within 60 degrees of straight away from the side a butterfly entered at.
int CourseAwayFrom(int side, int deviation) { return NormalAngle(side == 1 ? deviation : 180 - deviation); }

template <typename Slots>
int FirstFreeSlot(const Slots& slots) {
  for (int i = 0; i < static_cast<int>(slots.size()); ++i) {
    if (!slots[i].active) return i;
  }
  return -1;
}

template <typename Slots>
bool AnyActive(const Slots& slots) {
  return std::any_of(slots.begin(), slots.end(), [](const Creature& c) { return c.active != 0; });
}

template <typename Slots>
void ShiftCreatureClocks(Slots& slots, uint32_t d) {
  for (auto& creature : slots) {
    if (!creature.active) continue;
    creature.moveClock += d;
    creature.animationClock += d;
  }
}

// Starts a flock or glider group: 1 .. maxSize - 1 birds, a base height, one picture and one direction.
template <typename Slots>
void StartGroup(CreatureGroup& group, Slots& slots, int maxSize, int baseYLimit, int variantCount) {
  group.active = 1;
  group.size = RandomRange(1, maxSize);
  group.launched = 0;
  group.baseY = RandomRange(0, baseYLimit);
  group.variant = RandomRange(0, variantCount);
  group.direction = RandomBool() ? 1 : 0;
  for (auto& creature : slots) creature.active = 0;
}

// Places the group's next bird at its entry edge within the band and returns it; the caller sets its
// speed and starts it.
template <typename Slots>
auto& PlaceNextBird(const NatureTheme& theme, CreatureGroup& group, Slots& slots,
                    const std::array<Sprite, CreatureSet::kMaxVariants>& variants, int band) {
  auto& bird = slots[group.launched];
  bird.variant = group.variant;
  bird.x = EntryAtSide(theme, group.direction == 0, variants[group.variant]);
  bird.y = RandomRange(group.baseY, group.baseY + band);
  return bird;
}

}  // namespace

// ---- Seeds ----

void SeedSet::Reset(int spawnOdds) {
  for (Seed& seed : slots) seed.active = 0;
  spawnTimer.Set(100, spawnOdds);
}

void SeedSet::Update(const NatureTheme& theme, uint32_t now) {
  for (Seed& seed : slots) {
    if (!seed.active) continue;
    AdvanceAnimation(seed, now);
    MoveAlong(theme, seed, seed.heading, now);
    LeaveIfOffScreen(theme, seed, variants[seed.variant]);
  }
  const int free = FirstFreeSlot(slots);
  if (free < 0 || !spawnTimer.Check()) return;
  Spawn(theme, slots[free]);
}

void SeedSet::Spawn(const NatureTheme& theme, Seed& seed) {
  const uint32_t now = TimeGetTime();
  seed.variant = RandomRange(0, variantCount);
  const Sprite& picture = variants[seed.variant];

  // The steeper the heading, the likelier the seed comes in from the top.
  int steepness;
  if (theme.wind < 0) {
    seed.heading = RandomRange(210, 270);
    steepness = seed.heading - 180;
  } else {
    seed.heading = RandomRange(270, 330);
    steepness = 360 - seed.heading;
  }
  steepness = std::clamp(steepness, 0, 90);
  const double percent = std::clamp(steepness * 100 * (1.0 / 90), 0.0, 100.0);
  if (RandomRange(0, 100) < static_cast<int>(percent)) {
    seed.x = RandomRange(theme.fieldLeft, theme.fieldRight - picture.frameWidth);
    seed.y = 1 - picture.frameHeight;
  } else {
    seed.x = EntryAtSide(theme, theme.wind < 0, picture);
    seed.y = RandomRange(0, theme.screenHeight - picture.frameHeight);
  }

  const double strength = std::max(std::abs(theme.wind), 10.0);
  StartCreature(seed, picture, now);
  seed.animationSpeed = picture.animationSpeed + (RandomRange(0, 50) + strength) * 0.0001;
  seed.speed = (RandomRange(0, 50) + strength) * speedFactor_;
}

void SeedSet::Draw(const NatureTheme& theme) const {
  for (const Seed& seed : slots) {
    if (seed.active) theme.DrawFrame(variants[seed.variant], seed.x, seed.y, seed.frame, 0);
  }
}

void SeedSet::ShiftClocks(uint32_t d) { ShiftCreatureClocks(slots, d); }

// ---- The flock ----

void BirdFlock::Reset(int spawnOdds) {
  for (Creature& bird : slots) bird.active = 0;
  group.active = 0;
  group.size = 0;
  group.launched = 0;
  spawnTimer.Set(100, spawnOdds);
  group.addTimer.Set(100, 3);
}

void BirdFlock::Update(const NatureTheme& theme, uint32_t now) {
  if (!group.active) {
    if (spawnTimer.Check()) StartGroup(group, slots, kSlots, theme.back0.sprite.y - 100, variantCount);
    return;
  }
  for (Creature& bird : slots) {
    if (!bird.active) continue;
    AdvanceAnimation(bird, now);
    // Flock birds fly level: only x changes.
    const double distance = (now - bird.moveClock) * bird.speed;
    bird.x += group.direction == 1 ? distance : -distance;
    bird.moveClock = now;
    if (LeaveIfOffScreen(theme, bird, variants[bird.variant])) group.active = AnyActive(slots) ? 1 : 0;
  }
  // A flock whose launched birds have all gone has ended; the rest are never launched.
  if (!group.active || group.launched >= group.size || !group.addTimer.Check()) return;
  const uint32_t launchTime = TimeGetTime();
  Creature& bird = PlaceNextBird(theme, group, slots, variants, kBand);
  bird.speed = RandomRange(0, 100) * 0.015 * 0.01 + 0.03;
  StartCreature(bird, variants[bird.variant], launchTime);
  ++group.launched;
}

void BirdFlock::Draw(const NatureTheme& theme) const {
  if (!group.active) return;
  const int row = group.direction == 1 ? 1 : 0;
  for (const Creature& bird : slots) {
    if (bird.active) theme.DrawFrame(variants[bird.variant], bird.x, bird.y, bird.frame, row);
  }
}

void BirdFlock::ShiftClocks(uint32_t d) {
  if (group.active) ShiftCreatureClocks(slots, d);
}

// ---- Gliders ----

void GliderGroup::Reset(int spawnOdds) {
  for (Glider& glider : slots) {
    glider.active = 0;
    glider.tiltTimer.Set(100, 3);
  }
  group.active = 0;
  group.size = 0;
  group.launched = 0;
  spawnTimer.Set(100, spawnOdds);
  group.addTimer.Set(100, 3);
}

void GliderGroup::Update(const NatureTheme& theme, uint32_t now) {
  if (!group.active) {
    if (spawnTimer.Check()) {
      const int height = theme.screenHeight;
      StartGroup(group, slots, kSlots, height - height / 2 - kind_.baseYMargin, variantCount);
    }
    return;
  }
  for (Glider& glider : slots) {
    if (!glider.active) continue;
    AdvanceAnimation(glider, now);
    const int climb = kTiltAngle[glider.tilt];
    MoveAlong(theme, glider, NormalAngle(group.direction == 1 ? climb : 180 - climb), now);
    Steer(glider, now);
    if (LeaveIfOffScreen(theme, glider, variants[glider.variant])) group.active = AnyActive(slots) ? 1 : 0;
  }
  if (!group.active || group.launched >= group.size || !group.addTimer.Check()) return;
  const uint32_t launchTime = TimeGetTime();
  Glider& glider = PlaceNextBird(theme, group, slots, variants, kind_.band);
  glider.speed = RandomRange(0, 100) * kind_.speedSpread * 0.01 + kind_.speedBase;
  glider.targetTilt = glider.tilt = RandomRange(0, kTilts);
  glider.tiltClock = launchTime;
  StartCreature(glider, variants[glider.variant], launchTime);
  ++group.launched;
}

void GliderGroup::Steer(Glider& glider, uint32_t now) {
  if (now - glider.tiltClock > kTiltStep) {
    glider.tiltClock = now;
    if (glider.tilt < glider.targetTilt) ++glider.tilt;
    if (glider.tilt > glider.targetTilt) --glider.tilt;
    glider.tilt = std::clamp(glider.tilt, 0, kTilts - 1);
  }
  if (glider.tiltTimer.Check()) glider.targetTilt = RandomRange(0, kTilts);
  const int iy = static_cast<int>(glider.y);
  if (iy > group.baseY + kind_.band) glider.targetTilt = RandomRange(0, 5);
  if (iy < group.baseY) glider.targetTilt = RandomRange(5, kTilts);
}

void GliderGroup::Draw(const NatureTheme& theme) const {
  if (!group.active) return;
  const int rowOffset = group.direction == 1 ? kRightwardRows : 0;
  for (const Glider& glider : slots) {
    if (!glider.active) continue;
    theme.DrawFrame(variants[glider.variant], glider.x, glider.y, glider.frame, kTiltRow[glider.tilt] + rowOffset);
  }
}

void GliderGroup::ShiftClocks(uint32_t d) {
  if (!group.active) return;
  ShiftCreatureClocks(slots, d);
  for (Glider& glider : slots) {
    if (glider.active) glider.tiltClock += d;
  }
}

// ---- Butterflies ----

void ButterflySet::Reset(int spawnOdds) {
  for (Butterfly& butterfly : slots) {
    butterfly.active = 0;
    butterfly.jitter.Set(100, 5);
    butterfly.wander.Set(100, 2);
    butterfly.startCruise.Set(100, 15);
    butterfly.stopCruise.Set(100, 15);
  }
  spawnTimer.Set(100, spawnOdds);
}

void ButterflySet::Update(const NatureTheme& theme, uint32_t now) {
  for (Butterfly& butterfly : slots) {
    if (!butterfly.active) continue;
    AdvanceAnimation(butterfly, now);
    MoveAlong(theme, butterfly, butterfly.heading, now);
    ChooseCourse(butterfly);
    LeaveIfOffScreen(theme, butterfly, variants[butterfly.variant]);
  }
  const int free = FirstFreeSlot(slots);
  if (free < 0 || !spawnTimer.Check()) return;
  Spawn(theme, slots[free]);
}

void ButterflySet::ChooseCourse(Butterfly& butterfly) {
  if (butterfly.cruising) {
    if (butterfly.jitter.Check()) butterfly.heading = CourseAwayFrom(butterfly.side, RandomRange(-60, 60));
    if (butterfly.stopCruise.Check()) butterfly.cruising = 0;
  }
  if (!butterfly.cruising) {
    if (butterfly.wander.Check()) butterfly.heading = RandomRange(0, 360);
    if (butterfly.startCruise.Check()) butterfly.cruising = 1;
  }
}

void ButterflySet::Spawn(const NatureTheme& theme, Butterfly& butterfly) {
  const uint32_t now = TimeGetTime();
  butterfly.variant = RandomRange(0, variantCount);
  const Sprite& picture = variants[butterfly.variant];
  butterfly.side = RandomBool() ? 1 : 0;
  butterfly.heading = CourseAwayFrom(butterfly.side, RandomRange(-60, 60));
  butterfly.x = EntryAtSide(theme, butterfly.side == 0, picture);
  butterfly.y = RandomRange(0, theme.screenHeight - picture.frameHeight);
  butterfly.cruising = 1;
  StartCreature(butterfly, picture, now);
  butterfly.speed = RandomRange(0, 100) * speedSpread_ * 0.01 + speedBase_;
}

void ButterflySet::Draw(const NatureTheme& theme) const {
  for (const Butterfly& butterfly : slots) {
    if (!butterfly.active) continue;
    const int row = butterfly.heading > 90 && butterfly.heading < 270 ? 1 : 0;
    theme.DrawFrame(variants[butterfly.variant], butterfly.x, butterfly.y, butterfly.frame, row);
  }
}

void ButterflySet::ShiftClocks(uint32_t d) { ShiftCreatureClocks(slots, d); }

}  // namespace sylvora
