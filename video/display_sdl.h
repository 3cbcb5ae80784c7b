#pragma once
// The display layer on SDL2, for the program and the real-adapter tests.
//
// Full screen is a desktop-sized full-screen window whose depth is emulated: at 16 every surface is
// RGB565, at 24 packed blue-green-red, at 32 XRGB8888; windowed mode uses the desktop's depth. The
// primary is the window's renderer: presenting uploads the secondary buffer into one streaming texture
// through the gamma lookup table and stretches it over the window. There is no video memory (requests
// for it fail, so callers fall back to system memory), no Mode X, no memory figures; a renderer reset
// marks the primary lost until it is restored.
//
// A screen-saver daemon's window (one SDL did not create) counts as full screen without being switched
// or resized: the frame is stretched over the size its owner gave it, through SDL's software renderer
// (renderer_policy.h says why).
//
// Full screen over several displays: where SDL reports more than one (on X11, one X screen with a CRTC
// per monitor), SDL's own full screen would cover one of them only. A layer asked to span them gives
// its own full-screen window the area of all of them instead, and reports that area as the display mode
// (monitors_sdl.h, SpannedArea), for the native path, which then draws the scene on each monitor; the
// classic path's one stretched frame would be distorted over them, so it keeps to one display.
#include <memory>

#include "video/display_layer.h"

namespace sylvora {

// How much a full-screen window of our own covers where SDL reports several displays.
enum class DisplaySpan { OneDisplay, AllDisplays };

// A display layer on SDL2's video subsystem and renderer. With vsync the frames keep to the display's
// refresh rate (by the renderer's vsync, or by waiting where it has none); without, they go out at once
// (benchmarks, tests).
std::unique_ptr<DisplayLayer> CreateSdlDisplayLayer(bool vsync = true, DisplaySpan span = DisplaySpan::OneDisplay);

}  // namespace sylvora
