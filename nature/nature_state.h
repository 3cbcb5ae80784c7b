#pragma once
// The nature scenes' process-wide state: the one nature theme, the scene manager's scene, change clock
// and pause, the pictures of the current scene and the shared creature pictures, and the ambient sound's
// numbers and timer. Of the shell, only its wiring (shell/wiring.cpp) touches it.
#include <array>
#include <cstdint>

#include "nature/ambient_sound.h"
#include "nature/nature_theme.h"
#include "nature/scene_catalogue.h"
#include "nature/scene_manager.h"

namespace sylvora {

// What the scene manager, the scene catalogue and the ambient sound share between frames.
struct NatureState {
  // Every shared picture missing until LoadSharedPictures; no scene, no pictures, no sounds.
  NatureState();
  // One per process: the theme cannot be copied.
  NatureState(const NatureState&) = delete;
  NatureState& operator=(const NatureState&) = delete;

  // The theme that animates the scene, reconfigured at every scene change.
  NatureTheme theme;
  // The scene configured last, 0..5.
  int currentScene = 0;
  // Clock at the start of the current scene; A0_Open sets it before SceneStart.
  uint32_t lastSceneChange = 0;
  // Set by ScenePause, cleared by SceneResume and SceneStop.
  ScenePauseState scenePause;
  // Loaded by LoadScenePictures at every scene change, freed by FreeScenePictures.
  ScenePictures scenePictures;
  // The surface numbers of the shared creature pictures; SurfaceNone for any that failed to load.
  std::array<int, kSharedPictureCount> sharedPictureSurfaces;
  // Filled by LoadAmbientSounds, armed by StartAmbientSound.
  AmbientSound ambientSound;

  // Back to the state before start-up, for tests: a fresh theme that holds no report or video object.
  void Reset();
};

// The process's one nature state, built before main.
extern NatureState nature;

}  // namespace sylvora
