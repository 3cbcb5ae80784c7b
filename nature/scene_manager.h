#pragma once
// The scene manager: owner of layer 1 of the layer table. It starts the first scene, changes it
// at random after the interval the user chose, draws it once per frame and pauses and resumes the
// animation clocks when the application loses and regains activation. It owns the one nature theme and
// the pictures it draws; what it loads, frees and sets up from the scene catalogue is in
// nature/scene_catalogue.cpp.
#include <array>
#include <cstdint>
#include <string>

#include "core/layer_table.h"
#include "nature/nature_context.h"
#include "nature/nature_theme.h"
#include "nature/scene_catalogue.h"

namespace sylvora {

// Who stopped the animation clocks and when.
struct ScenePauseState {
  int paused = 0;
  int reason = 0;      // the shell uses 1; 0 while running
  uint32_t start = 0;  // clock when the pause began
};

// Built by the shell once the video object exists, destroyed at shutdown after ReleaseLayers.
class SceneManager : public LayerOwner {
 public:
  // Every shared picture missing until LoadSharedPictures; no scene, no pictures.
  explicit SceneManager(const NatureContext& context);
  // The theme's set table points into the theme itself.
  SceneManager(const SceneManager&) = delete;
  SceneManager& operator=(const SceneManager&) = delete;

  // Loads the 21 shared creature pictures into system memory, each independently. Called once by A0_Open
  // after the options. 0 when all loaded, 2 when any failed (each failure reported by the video object).
  int LoadSharedPictures();
  // Switches layer 1 on and shows scene with freshly loaded pictures. Called once by A0_Open. Always 0.
  int Start(int scene);
  // Shows scene, reloading its pictures first when reload is non-zero. Always 0.
  int Switch(int scene, int reload);
  // Layer 1's update: advances the theme, then changes to another random scene once nature_change_freq
  // ms have passed (only in the "Randomly" view). The next scene is chosen kChangeLead ms before and its
  // pictures loaded one a frame as they are decoded, so that the change itself draws no stall. Always 0.
  int Update() override;
  // Layer 1's draw: renders the theme into the secondary buffer. Always 0.
  int Draw() override;
  // Frees the scene's pictures (and those of a change on its way) and switches layer 1 off; called by
  // ReleaseLayers at shutdown.
  void Stop() override;
  // Stops the animation clocks for reason (the shell passes 1 on deactivation); ignored while paused.
  int Pause(int reason);
  // Continues the clocks by the time spent paused, only for the reason that paused them.
  int Resume(int reason);

  // Loads scene's layer pictures and one of its skies (freeing the previous scene's first). 0, or 2 when
  // any picture failed; the scene then runs without it.
  int LoadScenePictures(int scene);
  // Deletes the current scene's layer and sky surfaces. Always 0.
  int FreeScenePictures();
  // Sets the theme up for scene: layers, sky, creature templates, options, then Init. Records the scene
  // as currentScene. Always 0.
  int Configure(int scene);

  // The theme that animates the scene, reconfigured at every scene change.
  NatureTheme theme;
  // The scene configured last, 0..5.
  int currentScene = 0;
  // Clock at the start of the current scene; the shell sets it before Start.
  uint32_t lastSceneChange = 0;
  // Set by Pause, cleared by Resume and Stop.
  ScenePauseState scenePause;
  // Loaded by LoadScenePictures at every scene change, freed by FreeScenePictures.
  ScenePictures scenePictures;
  // The next scene's pictures while they are loaded ahead of the change; scene -1 otherwise.
  SceneLoad nextScene;
  // The surface numbers of the shared creature pictures; SurfaceNone for any that failed to load.
  std::array<int, kSharedPictureCount> sharedPictureSurfaces;

 private:
  // The surface number held in entry `index` of the layer list, or none when the list is shorter.
  int LayerSurface(int index) const;
  // How long before a change its scene is chosen and its pictures start loading: the four pictures'
  // decodes on the worker, each load and texture upload a frame of its own, with room for a busy machine.
  static constexpr uint32_t kChangeLead = 2000;

  // The name to load a layer's picture by: its wide painting where the video object fits the frame to
  // the output and has it, its own otherwise (noted in wide).
  std::string LayerPictureToLoad(int scene, int layer, int& wide);
  // Chooses scene's sky and names its pictures to the video object, to load into load.
  void BeginSceneLoad(int scene, SceneLoad& load);
  // Loads load's next picture into its surface; a failure leaves it SurfaceNone and marks load failed.
  void LoadNextPicture(SceneLoad& load);
  // Makes load's pictures the scene's, freeing the scene's own first.
  void TakeLoadedPictures(SceneLoad& load);
  // Deletes what load loaded and forgets it: a change on its way when the scene is started or stopped.
  void DropSceneLoad(SceneLoad& load);
  // Chooses the next scene, never the current one, and begins loading its pictures.
  void ChooseNextScene();
  // Loads the next scene's next picture where its decode is done: one picture a frame.
  void LoadOneAhead();
  // Places a layer's sprite at placement, or over the wide columns where its picture is a wide painting.
  void SetUpLayer(SceneLayer& layer, int index, LayerPlacement placement);

  NatureContext context_;
};

}  // namespace sylvora
