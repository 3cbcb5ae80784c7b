#pragma once
// Work that can wait (pictures made ready ahead of the frame that draws them) should not slow what
// cannot (loading the next picture, drawing the frame): its thread takes the processor only when
// nothing more urgent wants it.

namespace sylvora {

// Lowers the calling thread's scheduling priority to the lowest; harmless where the system refuses.
// Called by a worker thread as it starts.
void YieldProcessorToOtherThreads();

}  // namespace sylvora
