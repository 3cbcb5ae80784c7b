#pragma once
// The process-wide state the shell owns and the scene manager, nature theme and ambient sound read:
// the subsystem objects (null until created, null again after shutdown), the options, the install
// directory and the layer table.
#include <string>

#include "shell/layer_table.h"
#include "shell/options.h"

namespace sylvora {

class Report;
class InputSystem;
class VideoSystem;
class AudioSystem;

// The subsystem objects; every per-frame and activation call tests its pointer first.
extern Report* report;
extern InputSystem* input;
extern VideoSystem* video;
extern AudioSystem* audio;

// The user's settings, loaded at start-up and when the settings dialog opens.
extern Options options;
// The installation directory with a trailing backslash; every file name is appended to it.
extern std::string resourcePath;
// Where options.ini is read and written: the user's settings directory, and resourcePath for the
// machine's defaults.
extern OptionsPlace optionsPlace;
// Layer 1 is the scene, layer 6 the ambient sound.
extern LayerTable layerTable;

}  // namespace sylvora
