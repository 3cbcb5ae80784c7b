#include "platform/large_buffers.h"

#include <malloc.h>

namespace sylvora {

namespace {

constexpr int kLargeBufferBytes = 1 << 20;

}  // namespace

void ReturnLargeBuffersWhenFreed() { mallopt(M_MMAP_THRESHOLD, kLargeBufferBytes); }

}  // namespace sylvora
