#include "shell/process_state.h"

namespace sylvora {

Report* report = nullptr;
InputSystem* input = nullptr;
VideoSystem* video = nullptr;
AudioSystem* audio = nullptr;
Options options;
std::string resourcePath;
OptionsPlace optionsPlace;
LayerTable layerTable;

}  // namespace sylvora
