#include "tests/doubles/platform/memory_window.h"

namespace sylvora {

bool MemoryWindow::Create(const std::string& newTitle, int newWidth, int newHeight, bool drawsFrames) {
  calls.push_back("Create");
  forFrames = drawsFrames;
  if (createFails) return false;
  created = true;
  visible = false;
  title = newTitle;
  x = y = 0;
  width = newWidth;
  height = newHeight;
  return true;
}

AttachResult MemoryWindow::CreateFrom(uint64_t id) {
  calls.push_back("CreateFrom");
  if (createFails) return AttachResult::Failed;
  if (windowGoneOnAttach) return AttachResult::WindowGone;
  created = true;
  foreignId = id;
  return AttachResult::Attached;
}

void MemoryWindow::Show() {
  calls.push_back("Show");
  visible = true;
}

void MemoryWindow::Hide() {
  calls.push_back("Hide");
  visible = false;
}

void MemoryWindow::Resize(int newX, int newY, int newWidth, int newHeight) {
  calls.push_back("Resize");
  x = newX;
  y = newY;
  width = newWidth;
  height = newHeight;
}

void MemoryWindow::ShowMessageBox(const std::string& text, const std::string& caption) {
  calls.push_back("MessageBox");
  boxes.push_back(Box{text, caption, visible});
}

bool MemoryWindow::SetCursor(const uint8_t* andMask, const uint8_t* xorMask) {
  calls.push_back("SetCursor");
  if (cursorFails) return false;
  std::copy(andMask, andMask + kCursorMaskBytes, cursorAnd.begin());
  std::copy(xorMask, xorMask + kCursorMaskBytes, cursorXor.begin());
  cursorSet = true;
  return true;
}

void MemoryWindow::CursorPosition(int& outX, int& outY) {
  outX = cursorX;
  outY = cursorY;
}

bool MemoryWindow::PeekEvent() {
  if (events.empty()) {
    if (++idlePeeks >= idlePeekLimit) {
      Push(WindowEventKind::Quit, kRunawayCode);
    } else if (onIdlePeek) {
      onIdlePeek();
    }
  }
  return !events.empty();
}

bool MemoryWindow::StopRequested() {
  const bool stop = stopAtCheck >= 0 && stopChecks++ >= stopAtCheck;
  if (stop && stopChecks == stopAtCheck + 1) Push(WindowEventKind::Destroy);
  return stop;
}

WindowEvent MemoryWindow::TakeEvent() {
  if (events.empty()) return WindowEvent{};
  const WindowEvent event = events.front();
  events.pop_front();
  return event;
}

void MemoryWindow::PostQuit(int code) {
  calls.push_back("PostQuit");
  postedQuits.push_back(code);
  Push(WindowEventKind::Quit, code);
}

NativeWindow* MemoryWindow::Handle() {
  return created ? reinterpret_cast<NativeWindow*>(&handleStorage_) : nullptr;
}

}  // namespace sylvora
