#pragma once
// An in-memory window: records every call, holds a scripted event queue, and can be told to fail.
#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/window.h"

namespace sylvora {

class MemoryWindow final : public WindowSystem {
 public:
  // One message box as it was shown.
  struct Box {
    std::string text;
    std::string caption;
    bool windowVisible = false;  // whether the window was visible when the box appeared
  };

  // State the shell set.
  bool created = false;
  uint64_t foreignId = 0;  // the daemon's window CreateFrom attached to, 0 for our own window
  void (*displayLost)() = nullptr;  // what the shell runs when the daemon's display is lost
  bool visible = false;
  bool forFrames = false;  // Create was told the window will show rendered frames
  std::string title;
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<Box> boxes;
  std::array<uint8_t, kCursorMaskBytes> cursorAnd = {};
  std::array<uint8_t, kCursorMaskBytes> cursorXor = {};
  bool cursorSet = false;
  std::vector<int> postedQuits;
  std::vector<std::string> calls;  // "Create", "CreateFrom", "Show", "Hide", "Resize", "MessageBox", "PostQuit" ...

  // Input the test controls.
  int cursorX = 0, cursorY = 0;
  std::deque<WindowEvent> events;
  // Runs whenever the loop peeks at an empty queue, so a test can script what happens between frames.
  std::function<void()> onIdlePeek;
  // After this many idle peeks the double ends the loop with a quit event of code kRunawayCode.
  int idlePeekLimit = 100000;
  static constexpr int kRunawayCode = -999;
  int idlePeeks = 0;
  std::vector<uint32_t> waitTimeouts;  // one per WaitEvent, in order
  // StopRequested answers true from this call on (0 = the first), with a Destroy event queued as the
  // real window has one; -1: never. stopChecks counts the calls.
  int stopAtCheck = -1;
  int stopChecks = 0;

  // Fault injection.
  bool createFails = false;         // Create and CreateFrom fail
  bool windowGoneOnAttach = false;  // the daemon takes its window away while CreateFrom attaches
  bool cursorFails = false;

  void Push(WindowEventKind kind, int code = 0) { events.push_back(WindowEvent{kind, code}); }

  bool Create(const std::string& title, int width, int height, bool drawsFrames) override;
  AttachResult CreateFrom(uint64_t id) override;
  void OnDisplayLost(void (*finish)()) override { displayLost = finish; }
  void Show() override;
  void Hide() override;
  void Resize(int x, int y, int width, int height) override;
  void ShowMessageBox(const std::string& text, const std::string& caption) override;
  bool SetCursor(const uint8_t* andMask, const uint8_t* xorMask) override;
  void CursorPosition(int& x, int& y) override;
  bool PeekEvent() override;
  // Counts as an idle peek (the hook runs), and records the timeout asked for.
  bool WaitEvent(uint32_t timeoutMs) override {
    waitTimeouts.push_back(timeoutMs);
    return PeekEvent();
  }
  bool StopRequested() override;
  WindowEvent TakeEvent() override;
  void PostQuit(int code) override;
  NativeWindow* Handle() override;

 private:
  int handleStorage_ = 0;
};

}  // namespace sylvora
