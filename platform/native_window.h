#pragma once
// An opaque handle to the program's window, passed from the shell's window adapter to the other
// platform adapters (display, input) that need it. Only adapters look inside it.

namespace sylvora {

struct NativeWindow;

}  // namespace sylvora
