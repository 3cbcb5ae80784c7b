#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace sylvora {

namespace {
// The nicest value Linux gives a thread.
constexpr int kLowestPriority = 19;
}  // namespace

void YieldProcessorToOtherThreads() {
  // On Linux a thread's nice value is its own, set by its thread id.
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kLowestPriority);
}

}  // namespace sylvora
