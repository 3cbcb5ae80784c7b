#pragma once
// The process-wide state the shell owns and the scene manager, nature theme and ambient sound read:
// the subsystem objects (null until created, null again after shutdown), the options, the install
// directory and the layer table.
#include <string>

#include "core/layer_table.h"
#include "core/options.h"

namespace sylvora {

class Report;
class InputSystem;
class VideoSystem;
class AudioSystem;

// What the shell sets up and the scenes read, from A0_InitWindow to Shutdown.
struct CoreState {
  // The subsystem objects; every per-frame and activation call tests its pointer first.
  Report* report = nullptr;
  InputSystem* input = nullptr;
  VideoSystem* video = nullptr;
  AudioSystem* audio = nullptr;

  // The user's settings, loaded at start-up and when the settings dialog opens.
  Options options;
  // The installation directory with a trailing backslash; every file name is appended to it.
  std::string resourcePath;
  // Where options.ini is read and written: the user's settings directory, and resourcePath for the
  // machine's defaults.
  OptionsPlace optionsPlace;
  // Layer 1 is the scene, layer 6 the ambient sound.
  LayerTable layerTable;

  // Back to the state before start-up, for tests: the objects are forgotten, not deleted (their
  // owners delete them first).
  void Reset();
};

// The process's one core state.
extern CoreState core;

}  // namespace sylvora
