#include "platform/clock.h"

#include <cerrno>
#include <ctime>

namespace sylvora {
namespace {

// CLOCK_MONOTONIC in milliseconds, truncated to 32 bits.
class SystemClock final : public Clock {
 public:
  uint32_t Milliseconds() override {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
  }
  void Sleep(uint32_t ms) override {
    timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    // Only a signal cuts a sleep short; any other failure would fail again at once, for ever.
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
  }
};

SystemClock systemClock;
Clock* installedClock = nullptr;

}  // namespace

Clock& CurrentClock() { return installedClock ? *installedClock : systemClock; }

void UseClock(Clock* clock) { installedClock = clock; }

}  // namespace sylvora
