#pragma once
// A clock the test moves by hand; Sleep advances it and counts the time slept.
#include "platform/clock.h"

namespace sylvora {

class FakeClock final : public Clock {
 public:
  explicit FakeClock(uint32_t start = 0) : now_(start) {}
  uint32_t Milliseconds() override { return now_; }
  void Sleep(uint32_t ms) override {
    now_ += ms;
    slept_ += ms;
    ++sleeps_;
  }
  void Advance(uint32_t ms) { now_ += ms; }
  void Set(uint32_t ms) { now_ = ms; }
  uint64_t Slept() const { return slept_; }
  int Sleeps() const { return sleeps_; }

 private:
  uint32_t now_;
  uint64_t slept_ = 0;
  int sleeps_ = 0;
};

// Installs a clock for the life of a test and puts the system clock back afterwards.
class ScopedClock {
 public:
  explicit ScopedClock(Clock& clock) { UseClock(&clock); }
  ~ScopedClock() { UseClock(nullptr); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace sylvora
