#pragma once
// The program's entry: the command line and its modes, the window, the message loop, and the
// activation handler that pauses and resumes the subsystems.
#include <cstdint>
#include <string>

#include "shell/daemon_window.h"

namespace sylvora {

class WindowSystem;
class InputBackend;
struct WindowEvent;

// The operating system's screensaver modes, and the scene drawn into a screen-saver daemon's window.
enum class ScreensaverMode { Preview, Password, Configure, FullScreen, DaemonWindow };

extern const char* const kPasswordText;
extern const char* const kPasswordCaption;

// The first kCommandLineLimit characters of text, lower-cased.
std::string CopyCommandLine(const std::string& text);
// The mode a lower-cased command line asks for; switches are plain substrings, tested in the order
// preview, password, configure, full screen; none of them means configure.
ScreensaverMode SelectMode(const std::string& commandLine);
// The mode of a launch: a switch of the command line decides as SelectMode says; without any, a
// daemon's window request (valid or not) runs the scene in that window; otherwise configure.
ScreensaverMode SelectLaunchMode(const std::string& commandLine, const DaemonWindowRequest& daemon);
// Whether a lower-cased command line asks for the classic frame: "--retro" anywhere in it, like the
// modes. Its letters follow two dashes, so it never reads as one of the modes' switches.
bool RetroRequested(const std::string& commandLine);

// The entry point: builds the window on window (or attaches it to the daemon's window), reads the
// installation directory, and runs the mode commandLineText and daemon ask for; input devices are
// opened through inputDevices. Returns the exit code: 1 when no window could be had, which includes a
// daemon's request without a usable window id (the reason goes to the standard error stream).
int RunScreensaver(WindowSystem& window, InputBackend& inputDevices, const std::string& commandLineText,
                   const DaemonWindowRequest& daemon = {});

// How long the message loop sleeps for an event while it has no frame to draw: the longest a stop
// signal can then wait to be seen.
constexpr uint32_t kIdleWaitMs = 100;

// Full-screen mode's loop: handles waiting events, else runs the frame steps while active and
// running; while not, it sleeps until the next event. Returns the quit event's code.
int RunMessageLoop();
// What the window does with one event other than the quit event.
void WindowProcedure(const WindowEvent& event);
// Pauses (active 0) or resumes (non-zero) input, audio, video and the scene.
void OnActivateApp(int active);

}  // namespace sylvora
