#include "shell/frame_loop.h"

#include <cstdlib>

#include "input/input_system.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/shell_state.h"
#include "shell/startup.h"
#include "shell/subsystem_calls.h"

namespace sylvora {

int InitLayers() {
  shell.layerTable.count = 0;
  for (int i = 0; i < kLayersInUse; ++i) {
    Layer& layer = shell.layerTable.layers[i];
    layer.name = "Layer A" + std::to_string(i);
    layer.active = layer.updating = layer.drawing = 0;
    ++shell.layerTable.count;
  }
  return 0;
}

int ReleaseLayers() {
  for (int i = 0; i < kLayersInUse; ++i) {
    const Layer& layer = shell.layerTable.layers[i];
    if ((layer.active || layer.updating || layer.drawing) && shell.layerOwners[i]) shell.layerOwners[i]->Stop();
  }
  return 0;
}

int CheckExit() {
  if (!shell.input) return 0;  // per-frame calls on an object are guarded, as everywhere
  shell.input->Update(InputDevice::All);
  // The daemon ends the run itself (it signals us on the user's activity).
  if (shell.inDaemonWindow) return 0;
  bool exit = false;
  InputDevice foundDevice = InputDevice::None;
  int index = 0;
  if (shell.input->GetPressed(InputDevice::Keyboard, foundDevice, index) == 0) exit = true;
  for (int button : {InputSystem::kLeftButtonObject, InputSystem::kLeftButtonObject + 1}) {
    const KeyState state = shell.input->Get(InputDevice::Mouse, button);
    if (state == KeyState::Pressed || state == KeyState::Held) exit = true;
  }
  if (shell.options.exit_on_mouse_move) {
    CursorPoint now;
    shell.window->CursorPosition(now.x, now.y);
    if (std::abs(now.x - shell.startCursor.x) > kExitMoveThreshold ||
        std::abs(now.y - shell.startCursor.y) > kExitMoveThreshold) {
      exit = true;
    }
  }
  if (exit) Shutdown(0);
  return 0;
}

namespace {

// Counts whole seconds only: a 1999 ms window divides the frame count by 1.
void MeasureFrameRate() {
  const uint32_t elapsed = TimeGetTime() - shell.frameStats.windowStart;
  if (elapsed < static_cast<uint32_t>(shell.frameStats.windowLength)) return;
  shell.frameStats.currentRate = shell.frameStats.frameCount / static_cast<double>(elapsed / 1000);
  shell.frameStats.frameCount = 0;
  shell.frameStats.windowStart = TimeGetTime();
  shell.frameStats.averageRate = (shell.frameStats.averageRate + shell.frameStats.currentRate) * 0.5;
}

}  // namespace

int FrameUpdate() {
  MeasureFrameRate();
  if (shell.frameStats.averageRate > kPacingRateLimit) SleepMilliseconds(kPacingSleepMs);
  for (int i = 0; i < kLayersInUse; ++i) {
    if (shell.layerTable.layers[i].updating && shell.layerOwners[i] && shell.layerOwners[i]->Update() != 0) {
      Shutdown(2);
      return 2;
    }
  }
  return 0;
}

void RetrySound() {
  if (!shell.soundWaiting || !shell.subsystemCalls.retakeSound) return;
  const uint32_t now = TimeGetTime();
  if (now - shell.lastSoundTry < kSoundRetryMs) return;
  shell.lastSoundTry = now;
  shell.soundWaiting = shell.subsystemCalls.retakeSound() ? 1 : 0;
}

int FrameRender() {
  for (int i = 0; i < kLayersInUse; ++i) {
    if (shell.layerTable.layers[i].drawing && shell.layerOwners[i] && shell.layerOwners[i]->Draw() != 0) {
      Shutdown(2);
      return 2;
    }
  }
  if (shell.commandLineSettings.showFrameRate && shell.video && shell.subsystemCalls.drawFrameRate) {
    shell.subsystemCalls.drawFrameRate(static_cast<int>(shell.frameStats.currentRate + 0.5));
  }
  if (shell.video && shell.subsystemCalls.present) shell.subsystemCalls.present();
  ++shell.frameStats.frameCount;
  return 0;
}

}  // namespace sylvora
