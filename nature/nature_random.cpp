#include "nature/nature_random.h"

#include <cstdlib>

#include "platform/clock.h"

namespace sylvora {

int RandomRange(int lo, int hi) {
  if (hi <= lo) return lo;
  return lo + std::rand() % (hi - lo);
}

bool RandomBool() { return (std::rand() & 1) != 0; }

ChanceTimer::ChanceTimer() : last(TimeGetTime()) {}

void ChanceTimer::Set(int newInterval, int newOneIn) {
  interval = newInterval;
  oneIn = newOneIn;
  last = TimeGetTime();
}

bool ChanceTimer::Check() {
  const uint32_t now = TimeGetTime();
  if (now - last < static_cast<uint32_t>(interval)) return false;
  last = now;
  return std::rand() % oneIn == 0;
}

}  // namespace sylvora
