#include "nature/scene_manager.h"

#include "core/options.h"
#include "nature/nature_random.h"
#include "platform/clock.h"
#include "video/video_system.h"

namespace sylvora {

SceneManager::SceneManager(const NatureContext& context) : context_(context) {
  sharedPictureSurfaces.fill(SurfaceNone);
}

int SceneManager::Start(int scene) {
  context_.layerTable->SetFlags(LayerTable::kSceneLayer, 1);
  scenePause = ScenePauseState{};
  DropSceneLoad(nextScene);
  currentScene = scene;
  scenePictures.loaded = 0;
  scenePictures.layerCount = 0;
  scenePictures.skyCount = 0;
  return Switch(scene, 1);
}

int SceneManager::Switch(int scene, int reload) {
  if (reload) {
    FreeScenePictures();
    LoadScenePictures(scene);
  }
  Configure(scene);
  return 0;
}

int SceneManager::Update() {
  theme.Update();
  const Options& options = *context_.options;
  if (options.nature_view != kRandomScene || options.nature_change_freq == 0) return 0;
  const uint32_t interval = static_cast<uint32_t>(options.nature_change_freq);
  const uint32_t shown = TimeGetTime() - lastSceneChange;
  if (nextScene.scene < 0 && (interval <= kChangeLead || shown > interval - kChangeLead)) ChooseNextScene();
  if (shown <= interval) {
    LoadOneAhead();
    return 0;
  }
  // Whatever the worker has not made ready by now is loaded here, as a change without a lead would.
  while (nextScene.loaded < nextScene.count) LoadNextPicture(nextScene);
  const int scene = nextScene.scene;
  TakeLoadedPictures(nextScene);
  Configure(scene);
  // Read after the change, so the time spent loading does not count towards the next one.
  lastSceneChange = TimeGetTime();
  return 0;
}

void SceneManager::ChooseNextScene() {
  int next;
  do {
    next = RandomRange(0, kSceneCount);
  } while (next == currentScene);
  BeginSceneLoad(next, nextScene);
}

void SceneManager::LoadOneAhead() {
  if (nextScene.loaded >= nextScene.count) return;
  const bool waiting = context_.video != nullptr && context_.video->PictureWaiting(nextScene.names[nextScene.loaded]);
  if (!waiting) LoadNextPicture(nextScene);
}

int SceneManager::Draw() {
  theme.Render();
  return 0;
}

void SceneManager::Stop() {
  DropSceneLoad(nextScene);
  FreeScenePictures();
  context_.layerTable->SetFlags(LayerTable::kSceneLayer, 0);
  scenePause.paused = 0;
}

int SceneManager::Pause(int reason) {
  if (!scenePause.paused) scenePause = {1, reason, TimeGetTime()};
  return 0;
}

int SceneManager::Resume(int reason) {
  if (!scenePause.paused || reason != scenePause.reason) return 0;
  const uint32_t pausedFor = TimeGetTime() - scenePause.start;
  scenePause = ScenePauseState{};
  theme.ShiftClocks(static_cast<int>(pausedFor));
  return 0;
}

}  // namespace sylvora
