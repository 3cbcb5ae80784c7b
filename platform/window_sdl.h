#pragma once
// The window adapter on SDL2: one borderless window (or a screen-saver daemon's window), SDL's event
// queue, message boxes (GTK's, SDL's when GTK cannot open the display) and cursors.
#include <cstdint>

#include "platform/pointer_track.h"
#include "platform/video_driver_choice.h"
#include "platform/window.h"

struct SDL_Window;
struct SDL_Cursor;

namespace sylvora {

class SdlWindowSystem final : public WindowSystem {
 public:
  SdlWindowSystem() = default;
  // Frees the cursor and the window and shuts SDL down.
  ~SdlWindowSystem() override;
  SdlWindowSystem(const SdlWindowSystem&) = delete;
  SdlWindowSystem& operator=(const SdlWindowSystem&) = delete;

  bool Create(const std::string& title, int width, int height, bool drawsFrames) override;
  AttachResult CreateFrom(uint64_t foreignId) override;
  void OnDisplayLost(void (*finish)()) override;
  void Show() override;
  void Hide() override;
  void Resize(int x, int y, int width, int height) override;
  void ShowMessageBox(const std::string& text, const std::string& caption) override;
  bool SetCursor(const uint8_t* andMask, const uint8_t* xorMask) override;
  void CursorPosition(int& x, int& y) override;
  bool PeekEvent() override;
  bool WaitEvent(uint32_t timeoutMs) override;
  bool StopRequested() override;
  WindowEvent TakeEvent() override;
  void PostQuit(int code) override;
  NativeWindow* Handle() override;

 private:
  // SDL's video (unless the driver choice refused it) and the quit event type, set up so that SDL never holds off the
  // screen-saver daemon.
  bool StartSdl(const VideoDriverChoice& drivers);
  // True for the daemon's window.
  bool Foreign() const;
  // Whether a message box may be tried: not over the daemon's window (it holds the grabs), and
  // not while a driver without a windowing system (offscreen, dummy) runs, whose display data
  // SDL's X11 box would read as X11's and crash on (and where no box is wanted).
  bool BoxCanShow() const;

  SDL_Window* window_ = nullptr;
  SDL_Cursor* cursor_ = nullptr;
  uint32_t quitEventType_ = 0;  // registered user event that carries the exit code
  bool sdlStarted_ = false;
  // Whether the windowing system tells the pointer's position only while it is over our window
  // (Wayland); the track then stands in for the desktop position.
  bool pointerOnlyOverWindow_ = false;
  PointerTrack pointerTrack_;
};

}  // namespace sylvora
