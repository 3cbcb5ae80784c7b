#include "shell/subsystem_calls.h"

namespace sylvora {

// Video, audio, the settings dialog, the scene manager (layer 1) and the ambient sound (layer 6) are
// plugged in here as they join the program.
SubsystemCalls subsystemCalls;
std::array<LayerCalls, kLayersInUse> layerCalls;

}  // namespace sylvora
