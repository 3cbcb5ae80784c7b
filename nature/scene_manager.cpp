#include "nature/scene_manager.h"

#include "core/process_state.h"
#include "nature/nature_random.h"
#include "nature/nature_state.h"
#include "nature/nature_theme.h"
#include "nature/scene_catalogue.h"
#include "platform/clock.h"

namespace sylvora {

int SceneStart(int scene) {
  core.layerTable.SetFlags(LayerTable::kSceneLayer, 1);
  nature.scenePause = ScenePauseState{};
  nature.currentScene = scene;
  nature.scenePictures.loaded = 0;
  nature.scenePictures.layerCount = 0;
  nature.scenePictures.skyCount = 0;
  return SceneSwitch(scene, 1);
}

int SceneSwitch(int scene, int reload) {
  if (reload) {
    FreeScenePictures();
    LoadScenePictures(scene);
  }
  ConfigureScene(scene);
  return 0;
}

int SceneUpdate() {
  nature.theme.Update();
  if (core.options.nature_view == kRandomScene && core.options.nature_change_freq != 0 &&
      TimeGetTime() - nature.lastSceneChange > static_cast<uint32_t>(core.options.nature_change_freq)) {
    int next;
    do {
      next = RandomRange(0, kSceneCount);
    } while (next == nature.currentScene);
    SceneSwitch(next, 1);
    // Read after the switch, so the time spent loading does not count towards the next change.
    nature.lastSceneChange = TimeGetTime();
  }
  return 0;
}

int SceneDraw() {
  nature.theme.Render();
  return 0;
}

void SceneStop() {
  FreeScenePictures();
  core.layerTable.SetFlags(LayerTable::kSceneLayer, 0);
  nature.scenePause.paused = 0;
}

int ScenePause(int reason) {
  if (!nature.scenePause.paused) nature.scenePause = {1, reason, TimeGetTime()};
  return 0;
}

int SceneResume(int reason) {
  if (!nature.scenePause.paused || reason != nature.scenePause.reason) return 0;
  const uint32_t pausedFor = TimeGetTime() - nature.scenePause.start;
  nature.scenePause = ScenePauseState{};
  nature.theme.ShiftClocks(static_cast<int>(pausedFor));
  return 0;
}

}  // namespace sylvora
