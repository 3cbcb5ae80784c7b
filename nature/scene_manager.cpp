#include "nature/scene_manager.h"

#include "nature/nature_random.h"
#include "nature/nature_theme.h"
#include "nature/scene_catalogue.h"
#include "platform/clock.h"
#include "shell/process_state.h"

namespace sylvora {

int currentScene = 0;
uint32_t lastSceneChange = 0;
ScenePauseState scenePause;

int SceneStart(int scene) {
  layerTable.SetFlags(LayerTable::kSceneLayer, 1);
  scenePause = ScenePauseState{};
  currentScene = scene;
  scenePictures.loaded = 0;
  scenePictures.layerCount = 0;
  scenePictures.skyCount = 0;
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
  natureTheme.Update();
  if (options.nature_view == kRandomScene && options.nature_change_freq != 0 &&
      TimeGetTime() - lastSceneChange > static_cast<uint32_t>(options.nature_change_freq)) {
    int next;
    do {
      next = RandomRange(0, kSceneCount);
    } while (next == currentScene);
    SceneSwitch(next, 1);
    // Read after the switch, so the time spent loading does not count towards the next change.
    lastSceneChange = TimeGetTime();
  }
  return 0;
}

int SceneDraw() {
  natureTheme.Render();
  return 0;
}

void SceneStop() {
  FreeScenePictures();
  layerTable.SetFlags(LayerTable::kSceneLayer, 0);
  scenePause.paused = 0;
}

int ScenePause(int reason) {
  if (!scenePause.paused) scenePause = {1, reason, TimeGetTime()};
  return 0;
}

int SceneResume(int reason) {
  if (!scenePause.paused || reason != scenePause.reason) return 0;
  const uint32_t pausedFor = TimeGetTime() - scenePause.start;
  scenePause = ScenePauseState{};
  natureTheme.ShiftClocks(static_cast<int>(pausedFor));
  return 0;
}

}  // namespace sylvora
