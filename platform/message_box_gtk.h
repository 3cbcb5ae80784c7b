#pragma once
// The program's message boxes drawn by GTK, which uses the desktop's own fonts (SDL's X11 box needs
// the X server's core fonts, which fresh machines and XWayland often lack). The window adapter tries
// it first for every box it shows.
#include <string>

namespace sylvora {

// Shows a modal box with text, caption as its title and one OK button, holding the keyboard from the
// moment it opens; Return, Escape and the close box all answer it. Returns when it is answered; false
// at once when GTK cannot open the display.
bool ShowGtkMessageBox(const std::string& text, const std::string& caption);

}  // namespace sylvora
