#pragma once
// The random and timing utilities of the nature scenes. All randomness comes from the C library
// generator, which the shell seeds once at start-up; tests seed it with srand to replay a scene.
#include <cstdint>

namespace sylvora {

// A uniform integer from lo to hi - 1 (rand() % (hi - lo)); lo itself when hi <= lo.
int RandomRange(int lo, int hi);
// A coin toss: true when rand() is odd.
bool RandomBool();

// A random event tested at most once per interval with a one-in chance: a timer of (100, N) fires on
// average once every N x 100 ms, and only while something keeps testing it. Used for every spawn,
// launch, tilt change and butterfly mood change.
struct ChanceTimer {
  uint32_t last;      // clock of the last test that counted
  int interval = 100; // ms between tests
  int oneIn = 50;     // the chance of a test is 1 in oneIn

  ChanceTimer();
  // Stores both values and restarts the interval from now.
  void Set(int newInterval, int newOneIn);
  // False without touching the generator until interval ms have passed since the last counted test;
  // then restarts the interval and fires exactly when rand() % oneIn is 0.
  bool Check();
};

}  // namespace sylvora
