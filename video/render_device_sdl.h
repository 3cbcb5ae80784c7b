#pragma once
// The render device on SDL2's renderer, for the native display path.
#include <memory>

#include "video/render_device.h"

namespace sylvora {

// OpenGL (or whatever accelerated renderer SDL picks) where the window allows it, SDL's software
// renderer otherwise and on a screen-saver daemon's window. With vsync the presents keep to the
// display's refresh rate.
std::unique_ptr<RenderDevice> CreateSdlRenderDevice(bool vsync = true);

}  // namespace sylvora
