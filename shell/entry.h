#pragma once
// The program's entry: the command line and its modes, the window, the message loop, and the
// activation handler that pauses and resumes the subsystems.
#include <string>

namespace sylvora {

class WindowSystem;
class InputBackend;
struct WindowEvent;

// The operating system's screensaver modes.
enum class ScreensaverMode { Preview, Password, Configure, FullScreen };

extern const char* const kPasswordText;
extern const char* const kPasswordCaption;

// The first kCommandLineLimit characters of text, lower-cased.
std::string CopyCommandLine(const std::string& text);
// The mode a lower-cased command line asks for; switches are plain substrings, tested in the order
// preview, password, configure, full screen; none of them means configure.
ScreensaverMode SelectMode(const std::string& commandLine);

// The entry point: builds the window on window, reads the installation directory, and runs the mode
// commandLineText asks for; input devices are opened through inputDevices. Returns the exit code.
int RunScreensaver(WindowSystem& window, InputBackend& inputDevices, const std::string& commandLineText);

// Full-screen mode's loop: handles waiting events, else runs the frame steps while active and
// running. Returns the quit event's code.
int RunMessageLoop();
// What the window does with one event other than the quit event.
void WindowProcedure(const WindowEvent& event);
// Pauses (active 0) or resumes (non-zero) input, audio, video and the scene.
void OnActivateApp(int active);

}  // namespace sylvora
