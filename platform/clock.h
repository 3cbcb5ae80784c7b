#pragma once
// The millisecond clock that all timing reads: frame pacing, report stamps, input and animation clocks.
#include <cstdint>

namespace sylvora {

// A source of wrapping 32-bit milliseconds and a way to wait. The system clock is the real one;
// tests install a fake one with UseClock and move time by hand.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, truncated to 32 bits so it wraps like the original timer.
  virtual uint32_t Milliseconds() = 0;
  // Blocks for about ms milliseconds (a fake clock just advances).
  virtual void Sleep(uint32_t ms) = 0;
};

// The process's clock: the monotonic system clock unless a test installed another.
Clock& CurrentClock();
// Installs clock as the process's clock; nullptr goes back to the system clock.
void UseClock(Clock* clock);

// Shorthands used throughout the subsystems.
inline uint32_t TimeGetTime() { return CurrentClock().Milliseconds(); }
inline void SleepMilliseconds(uint32_t ms) { CurrentClock().Sleep(ms); }

}  // namespace sylvora
