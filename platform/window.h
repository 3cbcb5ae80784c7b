#pragma once
// The program's one window and its event queue, as the shell sees them: a borderless top-level window,
// a non-blocking event queue reduced to the few events the shell reacts to, modal message boxes, the
// pointer's shape and position. The SDL adapter is the real one; tests use an in-memory double.
#include <cstdint>
#include <string>

#include "platform/native_window.h"

namespace sylvora {

// What the shell learns from one event taken off the queue.
enum class WindowEventKind {
  Other,       // nothing the shell handles (pointer motion, key presses, exposure ...)
  Quit,        // the quit event posted by PostQuit; code carries its exit code
  Activate,    // the application became the active one (keyboard focus gained)
  Deactivate,  // the application stopped being the active one (keyboard focus lost)
  Destroy,     // the window is being closed or the process was asked to end
  Problem,     // the windowing system reported an error the run survives; text describes it
};

struct WindowEvent {
  WindowEventKind kind = WindowEventKind::Other;
  int code = 0;                // exit code of a Quit event
  const char* text = nullptr;  // a Problem's description, valid until the next TakeEvent
};

// Side of the square cursor masks, and the bytes of one mask (one bit per pixel).
constexpr int kCursorSize = 32;
constexpr int kCursorMaskBytes = kCursorSize * kCursorSize / 8;

// What attaching to a daemon's window came to.
enum class AttachResult {
  Attached,    // the scene can be drawn into it
  WindowGone,  // the daemon ended the run (took the window away, or signalled) while we attached
  Failed,      // it cannot be used; the adapter has said why on the standard error stream
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Creates the hidden, borderless window at (0, 0); false when no window can be made.
  // drawsFrames: the window will show rendered frames (full-screen mode), so it is made ready for the
  // renderer the program will use; a window that only owns boxes and dialogs stays a plain one.
  virtual bool Create(const std::string& title, int width, int height, bool drawsFrames) = 0;
  // Attaches to a window a screen-saver daemon owns and shows (foreignId is its X window id) instead of
  // creating one. That window is never shown, hidden, moved or sized by us, its focus changes are the
  // daemon's, boxes go to the standard error stream (the daemon holds keyboard and pointer, so none
  // could be answered), and SIGTERM or SIGINT arrive as a Destroy event.
  virtual AttachResult CreateFrom(uint64_t foreignId) = 0;
  // Names what to run when the daemon's display connection is lost (the daemon ended): nothing can be
  // drawn or released then, and the process ends with exit code 0 right after finish returns.
  virtual void OnDisplayLost(void (*finish)()) = 0;
  // Makes the window visible and brings it to the front.
  virtual void Show() = 0;
  // Hides the window (before the fatal box, so the box is not covered).
  virtual void Hide() = 0;
  // Moves and sizes the window (to the display mode in use).
  virtual void Resize(int x, int y, int width, int height) = 0;
  // A modal box with text, a caption and an OK button; returns when it is answered.
  virtual void ShowMessageBox(const std::string& text, const std::string& caption) = 0;
  // Sets the pointer shown over the window from a monochrome AND mask and XOR mask (kCursorSize
  // square, rows top down, most significant bit leftmost); false when the cursor cannot be made.
  virtual bool SetCursor(const uint8_t* andMask, const uint8_t* xorMask) = 0;
  // The pointer's position in desktop coordinates.
  virtual void CursorPosition(int& x, int& y) = 0;
  // True when an event is waiting; never blocks and leaves the event in the queue.
  virtual bool PeekEvent() = 0;
  // Sleeps until an event is waiting or timeoutMs milliseconds have passed, leaving the event in the
  // queue; true when one is waiting. The message loop calls it instead of PeekEvent while it has no
  // frame to draw.
  virtual bool WaitEvent(uint32_t timeoutMs) = 0;
  // True once a daemon's stop (SIGTERM or SIGINT, or its window taken away) has come and its Destroy
  // event is still to be taken; never blocks. Start-up asks between its steps, so a stop never waits
  // for the whole start-up to finish.
  virtual bool StopRequested() = 0;
  // Removes the first waiting event and says what it means to the shell.
  virtual WindowEvent TakeEvent() = 0;
  // Queues the quit event with its exit code; the message loop ends when it takes it.
  virtual void PostQuit(int code) = 0;
  // The handle other adapters (display, input) attach to; null before Create.
  virtual NativeWindow* Handle() = 0;
};

}  // namespace sylvora
