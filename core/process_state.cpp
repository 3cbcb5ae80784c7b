#include "core/process_state.h"

namespace sylvora {

CoreState core;

void CoreState::Reset() { *this = CoreState{}; }

}  // namespace sylvora
