#pragma once
// The render device on SDL2's renderer, for the native display path.
#include <cstdint>
#include <memory>
#include <vector>

#include "video/render_device.h"

namespace sylvora {

// The renderer ChooseRenderer (renderer_policy.h) gives the native device: OpenGL (or whatever
// accelerated renderer SDL picks) on a window made ready for it, a screen-saver daemon's window whose
// visual takes OpenGL included; SDL's software renderer on any other. With vsync the presents keep to
// the display's refresh rate.
std::unique_ptr<RenderDevice> CreateSdlRenderDevice(bool vsync = true);

// SDL's software renderer drawing into width x height pixels of memory instead of a window, for checks
// and measurements with no display: each present copies the output to *shown (ARGB8888, rows width
// pixels apart). Open takes no window.
std::unique_ptr<RenderDevice> CreateSdlMemoryRenderDevice(int width, int height, std::vector<uint32_t>* shown);

}  // namespace sylvora
