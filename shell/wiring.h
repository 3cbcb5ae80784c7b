#pragma once
// Connects the shell to the real subsystems: fills shell.subsystemCalls with video on SDL2 and TurboJPEG, audio on
// OpenAL Soft (in a daemon's window, opened only by the copy that holds the sound lock), the scene manager (layer 1)
// and the ambient sound (layer 6), which its createScenes makes the layers' owners, and the GTK settings dialog. The
// program's main() calls it once before RunScreensaver; the shell's own tests leave the table empty or fill it with
// doubles.

namespace sylvora {

void WireSubsystems();

}  // namespace sylvora
