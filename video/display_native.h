#pragma once
// The native display path: the frame drawn straight at the output's own resolution through a renderer,
// behind the same DisplayLayer the classic 640 x 480 path uses. See display_native.cpp for the design.
#include <memory>

#include "video/display_layer.h"
#include "video/render_device.h"

namespace sylvora {

// A display layer that keeps device (the classic layer's device, modes, full screen and window) for the
// window's set-up and draws every frame through render. Pictures must be written at 32 bits: the layer
// reports XRGB8888 as its pixel format and 32 as the desktop's depth.
std::unique_ptr<DisplayLayer> CreateNativeDisplayLayer(std::unique_ptr<DisplayDevice> device,
                                                       std::unique_ptr<RenderDevice> render);

}  // namespace sylvora
