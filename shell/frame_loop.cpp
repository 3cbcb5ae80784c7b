#include "shell/frame_loop.h"

#include <cstdlib>

#include "input/input_system.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/process_state.h"
#include "shell/shell_state.h"
#include "shell/startup.h"
#include "shell/subsystem_calls.h"

namespace sylvora {

int InitLayers() {
  layerTable.count = 0;
  for (int i = 0; i < kLayersInUse; ++i) {
    Layer& layer = layerTable.layers[i];
    layer.name = "Layer A" + std::to_string(i);
    layer.active = layer.updating = layer.drawing = 0;
    ++layerTable.count;
  }
  return 0;
}

int ReleaseLayers() {
  for (int i = 0; i < kLayersInUse; ++i) {
    const Layer& layer = layerTable.layers[i];
    if ((layer.active || layer.updating || layer.drawing) && layerCalls[i].stop) layerCalls[i].stop();
  }
  return 0;
}

int CheckExit() {
  if (!input) return 0;  // per-frame calls on an object are guarded, as everywhere
  input->Update(InputDevice::All);
  // The daemon ends the run itself (it signals us on the user's activity).
  if (inDaemonWindow) return 0;
  bool exit = false;
  InputDevice foundDevice = InputDevice::None;
  int index = 0;
  if (input->GetPressed(InputDevice::Keyboard, foundDevice, index) == 0) exit = true;
  for (int button : {InputSystem::kLeftButtonObject, InputSystem::kLeftButtonObject + 1}) {
    const KeyState state = input->Get(InputDevice::Mouse, button);
    if (state == KeyState::Pressed || state == KeyState::Held) exit = true;
  }
  if (options.exit_on_mouse_move) {
    CursorPoint now;
    shellWindow->CursorPosition(now.x, now.y);
    if (std::abs(now.x - startCursor.x) > kExitMoveThreshold || std::abs(now.y - startCursor.y) > kExitMoveThreshold) {
      exit = true;
    }
  }
  if (exit) Shutdown(0);
  return 0;
}

namespace {

// Counts whole seconds only: a 1999 ms window divides the frame count by 1.
void MeasureFrameRate() {
  const uint32_t elapsed = TimeGetTime() - frameStats.windowStart;
  if (elapsed < static_cast<uint32_t>(frameStats.windowLength)) return;
  frameStats.currentRate = frameStats.frameCount / static_cast<double>(elapsed / 1000);
  frameStats.frameCount = 0;
  frameStats.windowStart = TimeGetTime();
  frameStats.averageRate = (frameStats.averageRate + frameStats.currentRate) * 0.5;
}

}  // namespace

int FrameUpdate() {
  MeasureFrameRate();
  if (frameStats.averageRate > kPacingRateLimit) SleepMilliseconds(kPacingSleepMs);
  for (int i = 0; i < kLayersInUse; ++i) {
    if (layerTable.layers[i].updating && layerCalls[i].update && layerCalls[i].update() != 0) {
      Shutdown(2);
      return 2;
    }
  }
  return 0;
}

int FrameRender() {
  for (int i = 0; i < kLayersInUse; ++i) {
    if (layerTable.layers[i].drawing && layerCalls[i].draw && layerCalls[i].draw() != 0) {
      Shutdown(2);
      return 2;
    }
  }
  if (video && subsystemCalls.present) subsystemCalls.present();
  ++frameStats.frameCount;
  return 0;
}

}  // namespace sylvora
