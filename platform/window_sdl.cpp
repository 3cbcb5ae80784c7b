#include "platform/window_sdl.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/message_box_gtk.h"
#include "platform/video_driver_choice.h"

namespace sylvora {

namespace {

// Set by the SIGTERM and SIGINT handler in the daemon's window, and by the watch on that window; the
// event queue turns it into a Destroy event, so the run ends through the normal shut-down on the one
// thread.
std::atomic<int> stopRequested = 0;
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

void RequestStop(int) { stopRequested = 1; }

// The daemon takes its window away the moment it ends the run (often while a frame is being drawn
// into it), and may close the connection that window lived on. Xlib's own handlers end the process
// with exit code 1, and the ones SDL fits make X requests from inside the handler, which blocks on
// the display lock Xlib holds there, for ever. Ours only note what happened, so the run ends through
// the normal shut-down on the next pass of the loop.
// The daemon's window we draw into; X errors about it mean the daemon took it away.
XID daemonWindow = 0;

// Any other X error, described for the shell's report; the event queue hands it over as a Problem.
char xProblem[128];
volatile sig_atomic_t xProblemPending = 0;

int OnXError(Display*, XErrorEvent* error) {
  const int code = error->error_code;
  // Drawing into a vanished window fails as BadWindow, BadDrawable or BadMatch, or as the GL
  // extension's own error naming the window.
  if (code == BadWindow || code == BadDrawable || code == BadMatch || error->resourceid == daemonWindow) {
    stopRequested = 1;
    return 0;
  }
  std::snprintf(xProblem, sizeof xProblem, "X error %d (request %d.%d) on resource 0x%lx", code,
                error->request_code, error->minor_code, error->resourceid);
  xProblemPending = 1;
  return 0;
}

// Called once the daemon's display connection is lost, or its window outlived; set by the shell, and
// called on whichever thread finds out.
std::atomic<void (*)()> displayLostHandler = nullptr;

// Nothing more can be shown: the shell saves what a normal stop saves, and the process ends as after
// SIGTERM.
[[noreturn]] void EndAsOnLostDisplay() {
  if (const auto finish = displayLostHandler.load()) finish();
  _exit(0);
}

// Nothing can be drawn or released on a lost connection, and Xlib ends the process when this returns.
int OnXConnectionLost(Display*) { EndAsOnLostDisplay(); }

// A connection of our own to the daemon's display, on which the watch looks up its window: drawing
// into a window that is gone does not always fail at once (GL may draw on for seconds), and start-up
// draws nothing at all, so without a look the run would outlast its window.
Display* windowProbe = nullptr;
// How often the watch looks.
constexpr auto kWindowProbePeriod = std::chrono::milliseconds(200);
// How long the run may go on once its window is gone. The frame loop sees the stop after the frame it
// is drawing, and a normal shut-down takes a fraction of this even on a busy machine; a main thread held
// up longer (a software GL driver compiling its shaders for a first frame, or the libraries' exit
// joining their threads) would keep a process with nothing to show alive for seconds.
constexpr auto kWindowGoneGrace = std::chrono::milliseconds(1000);

// Asks the X server whether the daemon's window still exists (a BadWindow answer also reaches our error
// handler, which asks for the stop).
bool DaemonWindowThere() {
  XWindowAttributes attributes;
  return XGetWindowAttributes(windowProbe, daemonWindow, &attributes) != 0;
}

// Watches the daemon's window on a thread of its own for as long as the process lives, whatever the
// main thread is doing: once the window is gone it asks for the stop, and should the process still be
// running kWindowGoneGrace later, ends it as on a lost display. Started once the window is attached.
void WatchForWindowGone() {
  if (!windowProbe) return;
  std::thread([] {
    while (DaemonWindowThere()) std::this_thread::sleep_for(kWindowProbePeriod);
    stopRequested = 1;
    std::this_thread::sleep_for(kWindowGoneGrace);
    EndAsOnLostDisplay();
  }).detach();
}

// Fits our handlers (Xlib keeps one pair for every connection) once SDL has fitted its own, and before
// SDL's first request about the daemon's window: the daemon may take it away at any moment, even while
// SDL is still reading its properties.
void WatchDaemonWindow(uint64_t window) {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "x11") != 0) return;
  daemonWindow = static_cast<XID>(window);
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(OnXConnectionLost);
  windowProbe = XOpenDisplay(nullptr);
}

// Whether an OpenGL context can draw on the daemon's window: its visual is one GLX renders double-
// buffered RGBA into. xscreensaver gives such a visual to hacks it runs as OpenGL ones; on any other,
// making a context would fail with BadMatch, which here means the window is gone. The question goes
// over a connection of its own, before SDL has one to the window.
bool DaemonWindowTakesOpenGl(uint64_t window) {
  using GetConfig = int (*)(Display*, XVisualInfo*, int, int*);
  constexpr int kGlxUseGl = 1, kGlxRgba = 4, kGlxDoubleBuffer = 5;
  if (SDL_GL_LoadLibrary(nullptr) != 0) return false;
  const auto getConfig = reinterpret_cast<GetConfig>(SDL_GL_GetProcAddress("glXGetConfig"));
  Display* display = getConfig ? XOpenDisplay(nullptr) : nullptr;
  bool takes = false;
  XWindowAttributes attributes{};
  if (display && XGetWindowAttributes(display, static_cast<Window>(window), &attributes)) {
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
    int useGl = 0, rgba = 0, doubleBuffer = 0;
    takes = visual && getConfig(display, visual, kGlxUseGl, &useGl) == 0 && useGl &&
            getConfig(display, visual, kGlxRgba, &rgba) == 0 && rgba &&
            getConfig(display, visual, kGlxDoubleBuffer, &doubleBuffer) == 0 && doubleBuffer;
    if (visual) XFree(visual);
  }
  if (display) XCloseDisplay(display);
  SDL_GL_UnloadLibrary();
  return takes && !stopRequested;
}

// The answer of the child process OpenGlDrawsOnTheCard starts, on one byte of a pipe.
constexpr char kOnTheCard = 'c';
constexpr char kInSoftware = 's';
// How long the child may take to answer before the question counts as unanswered.
constexpr int kOpenGlQuestionMs = 5000;
// How often the wait for that answer looks whether a stop was asked for.
constexpr int kOpenGlWaitSliceMs = 10;

// In the child: starts SDL, makes a hidden OpenGL window and reads the renderer's name.
char AskOpenGl() {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return kInSoftware;
  SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
  if (!context) return kInSoftware;
  using GetString = const unsigned char* (*)(unsigned int);
  constexpr unsigned int kGlRenderer = 0x1F01;
  const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
  const char* text = name ? reinterpret_cast<const char*>(name) : "";
  const bool software =
      std::strstr(text, "llvmpipe") || std::strstr(text, "softpipe") || std::strstr(text, "Software Rasterizer");
  return software || !name ? kInSoftware : kOnTheCard;
}

// The OpenGL question, asked of a child process: whether OpenGL on this display draws on a graphics
// card, rather than on a software rasteriser (llvmpipe, softpipe, swrast: virtual machines, remote
// desktops, machines without a driver), where every copy of every frame costs the processor more than
// SDL's own software renderer. The child is started before this process starts SDL (a rasteriser once
// loaded stays in the process for good, some 55 MB of it, even when nothing draws through it; and a
// fork after SDL's threads exist is unsafe), and answers while SDL starts here.
struct OpenGlQuestion {
  pid_t child = -1;
  int answerEnd = -1;  // the pipe's end the answer comes from
};

OpenGlQuestion AskOpenGlQuestion() {
  int ends[2];
  if (pipe(ends) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    const char answer = AskOpenGl();
    _exit(write(ends[1], &answer, 1) == 1 ? 0 : 1);
  }
  close(ends[1]);
  return {child, ends[0]};
}

// Waits for the child's answer, at most kOpenGlQuestionMs. Not answered means not on the card.
bool OpenGlDrawsOnTheCard(const OpenGlQuestion& question) {
  if (question.answerEnd < 0) return false;
  char answer = kInSoftware;
  bool answered = false;
  // Waited for in short slices: a daemon's stop must end the run at once, not when the child answers.
  pollfd wait{question.answerEnd, POLLIN, 0};
  for (int waited = 0; question.child > 0 && !stopRequested && waited < kOpenGlQuestionMs;
       waited += kOpenGlWaitSliceMs) {
    if (poll(&wait, 1, kOpenGlWaitSliceMs) == 1) {
      answered = read(question.answerEnd, &answer, 1) == 1;
      break;
    }
  }
  close(question.answerEnd);
  if (question.child > 0) {
    if (!answered) kill(question.child, SIGKILL);
    waitpid(question.child, nullptr, 0);
  }
  return answered && answer == kOnTheCard;
}

// Whether the renderer's choice is the user's (SDL's own hint): the window is then made ready for
// OpenGL whenever it can be, and nothing is asked.
bool RendererChosenByUser() { return SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr; }

void OnGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
  if (std::strcmp(interface, wl_seat_interface.name) == 0) *static_cast<bool*>(data) = true;
}

void OnGlobalRemoved(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener kSeatLookout{OnGlobal, OnGlobalRemoved};

// Whether a Wayland compositor answers where SDL's driver would look (WAYLAND_DISPLAY, else the default
// socket), and whether it has a seat: one connection of our own and one round trip, closed again.
Compositor AskCompositor() {
  // A connection handed over ready-made can be taken only once: it is left to SDL.
  if (std::getenv("WAYLAND_SOCKET")) return Compositor::Absent;
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return Compositor::Absent;
  bool seat = false;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kSeatLookout, &seat);
  const bool answered = wl_display_roundtrip(display) >= 0;
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  if (!answered) return Compositor::Absent;
  return seat ? Compositor::WithSeat : Compositor::WithoutSeat;
}

// The video driver for our own window (preferWayland) or a daemon's, set as SDL's hint at once: SDL then
// starts on it in this process and in the OpenGL question's child alike.
VideoDriverChoice ChooseVideoDriverHere(bool preferWayland) {
  const char* named = std::getenv("WAYLAND_DISPLAY");
  const VideoDriverChoice choice =
      ChooseVideoDriver(SDL_GetHint(SDL_HINT_VIDEODRIVER), named && *named, AskCompositor(), preferWayland);
  if (choice.driverHint) SDL_SetHint(SDL_HINT_VIDEODRIVER, choice.driverHint);
  return choice;
}

// Installed before SDL starts, so SDL leaves them in place rather than fitting its own.
void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// SDL falls back on its invisible "offscreen" device when no display answers. A screensaver nobody
// can see would run until killed, so that counts as no display unless SDL_VIDEODRIVER asked for it.
bool FellBackOnInvisibleDevice() {
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  return driver && std::strcmp(driver, "offscreen") == 0 && !(requested && std::strstr(requested, driver));
}

}  // namespace

SdlWindowSystem::~SdlWindowSystem() {
  // The daemon's window may be gone by now, with X errors about it still in flight. SDL_Quit hands the
  // connection back to Xlib's default error handler before closing it, and that handler ends the
  // process with exit code 1 on the first of them: the connection closes with the process instead.
  if (daemonWindow) return;
  if (cursor_) SDL_FreeCursor(cursor_);
  if (window_) SDL_DestroyWindow(window_);
  if (sdlStarted_) SDL_Quit();
}

bool SdlWindowSystem::StartSdl(const VideoDriverChoice& drivers) {
  if (drivers.refusal) {
    std::fprintf(stderr, "sylvora: cannot start the video system: %s\n", drivers.refusal);
    return false;
  }
  // Without this SDL keeps waking the desktop's screen-saver daemon, which is what started us.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "sylvora: cannot start the video system: %s\n", SDL_GetError());
    return false;
  }
  sdlStarted_ = true;
  const char* driver = SDL_GetCurrentVideoDriver();
  pointerOnlyOverWindow_ = driver && std::strcmp(driver, "wayland") == 0;
  if (FellBackOnInvisibleDevice()) {
    std::fprintf(stderr, "sylvora: cannot start the video system: no display answered\n");
    return false;
  }
  quitEventType_ = SDL_RegisterEvents(1);
  return quitEventType_ != static_cast<uint32_t>(-1);
}

bool SdlWindowSystem::Create(const std::string& title, int width, int height, bool drawsFrames) {
  const VideoDriverChoice drivers = ChooseVideoDriverHere(true);
  // SDL's Wayland driver makes every window ready for OpenGL (its only way to show pixels), so there is
  // nothing to ask; should it fall back on X11, the window is drawn in software, as when unanswered.
  const bool ask = drawsFrames && !RendererChosenByUser() && !drivers.waylandFirst && !drivers.refusal;
  const OpenGlQuestion question = ask ? AskOpenGlQuestion() : OpenGlQuestion{};
  const bool started = StartSdl(drivers);
  const bool openGlWanted = drawsFrames && (RendererChosenByUser() || OpenGlDrawsOnTheCard(question));
  if (!started) return false;
  // Made ready for OpenGL when it draws on the card, which is what SDL's renderer picks then: otherwise
  // SDL destroys and re-creates the window for it, a quarter of a second of start-up. A window not made
  // ready is drawn by SDL's software renderer.
  const Uint32 openGl = openGlWanted && SDL_GL_LoadLibrary(nullptr) == 0 ? SDL_WINDOW_OPENGL : 0;
  window_ = SDL_CreateWindow(title.c_str(), 0, 0, width, height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | openGl);
  if (openGl) SDL_GL_UnloadLibrary();  // the window holds the library for as long as it needs it
  if (!window_) {
    std::fprintf(stderr, "sylvora: cannot create the window: %s\n", SDL_GetError());
    return false;
  }
  return true;
}

AttachResult SdlWindowSystem::CreateFrom(uint64_t foreignId) {
  CatchStopSignals();
  const VideoDriverChoice drivers = ChooseVideoDriverHere(false);
  const bool openGlWanted = RendererChosenByUser() || (!drivers.refusal && OpenGlDrawsOnTheCard(AskOpenGlQuestion()));
  if (stopRequested) return AttachResult::WindowGone;
  // The classic frame reaches the daemon's window as X shared-memory images, not through the GL driver:
  // a window the daemon takes away then fails the next image at once, where GL may draw on for seconds.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (!StartSdl(drivers)) return AttachResult::Failed;
  WatchDaemonWindow(foreignId);
  // A window that takes OpenGL is marked so, and the renderer may draw on it through the GPU.
  SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, openGlWanted && DaemonWindowTakesOpenGl(foreignId) ? "1" : "0");
  if (stopRequested) return AttachResult::WindowGone;
  window_ = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<uintptr_t>(foreignId)));
  // A stop that came while SDL attached (a signal, or the window gone under it) ends the run before it
  // begins, whatever SDL made of the window's vanished properties.
  if (stopRequested) return AttachResult::WindowGone;
  if (!window_) {
    std::fprintf(stderr, "sylvora: cannot draw into window 0x%llx: %s\n",
                 static_cast<unsigned long long>(foreignId), SDL_GetError());
    return AttachResult::Failed;
  }
  WatchForWindowGone();
  return AttachResult::Attached;
}

void SdlWindowSystem::OnDisplayLost(void (*finish)()) { displayLostHandler = finish; }

bool SdlWindowSystem::Foreign() const { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FOREIGN); }

void SdlWindowSystem::Show() {
  if (Foreign()) return;
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
}

void SdlWindowSystem::Hide() {
  if (!Foreign()) SDL_HideWindow(window_);
}

void SdlWindowSystem::Resize(int x, int y, int width, int height) {
  if (Foreign()) return;
  SDL_SetWindowPosition(window_, x, y);
  SDL_SetWindowSize(window_, width, height);
}

bool SdlWindowSystem::BoxCanShow() const {
  if (Foreign()) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  return !driver || std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0;
}

void SdlWindowSystem::ShowMessageBox(const std::string& text, const std::string& caption) {
  if (BoxCanShow() && ShowGtkMessageBox(text, caption)) return;
  if (!BoxCanShow() || SDL_ShowSimpleMessageBox(0, caption.c_str(), text.c_str(), window_) != 0) {
    // No box could be shown (no display, the daemon's grab, no windowing system): the user still
    // gets the text.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
}

bool SdlWindowSystem::SetCursor(const uint8_t* andMask, const uint8_t* xorMask) {
  // Windows masks: AND 1 keeps the screen (XOR 1 inverts it), AND 0 paints black or white.
  // SDL masks: mask 0 is transparent (data 1 inverts), mask 1 paints data 1 black, data 0 white.
  uint8_t data[kCursorMaskBytes];
  uint8_t mask[kCursorMaskBytes];
  for (int i = 0; i < kCursorMaskBytes; ++i) {
    mask[i] = static_cast<uint8_t>(~andMask[i]);
    data[i] = static_cast<uint8_t>(~(andMask[i] ^ xorMask[i]));
  }
  SDL_Cursor* cursor = SDL_CreateCursor(data, mask, kCursorSize, kCursorSize, 0, 0);
  if (!cursor) return false;
  SDL_SetCursor(cursor);
  if (cursor_) SDL_FreeCursor(cursor_);
  cursor_ = cursor;
  return true;
}

void SdlWindowSystem::CursorPosition(int& x, int& y) {
  const bool overWindow = SDL_GetMouseFocus() == window_;
  int windowX = 0, windowY = 0;
  if (overWindow) SDL_GetMouseState(&windowX, &windowY);
  // A Wayland compositor tells no desktop position, and SDL's stand-in for it is the window's last
  // pointer position, (0, 0) until the pointer first comes over the window: read as desktop positions,
  // the window's appearing under a still pointer would count as a movement and end the run at once.
  if (pointerOnlyOverWindow_) {
    pointerTrack_.Report(overWindow, windowX, windowY, x, y);
    return;
  }
  // SDL refreshes its desktop position only on some input-extension events, so on X11 it can stay
  // at its first reading (it does under Xvfb). While the pointer is over our window, the window's
  // own pointer tracking is exact; the full-screen window covers the desktop, so that is all the time.
  if (overWindow) {
    int originX = 0, originY = 0;
    SDL_GetWindowPosition(window_, &originX, &originY);
    x = windowX + originX;
    y = windowY + originY;
    return;
  }
  SDL_GetGlobalMouseState(&x, &y);
}

bool SdlWindowSystem::PeekEvent() {
  if (stopRequested || xProblemPending) return true;
  SDL_PumpEvents();
  SDL_Event event;
  return SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
}

bool SdlWindowSystem::WaitEvent(uint32_t timeoutMs) {
  if (stopRequested || xProblemPending) return true;
  // A stop signal or an X error only sets a flag, which no SDL wait notices: the timeout bounds how
  // late they are seen.
  return SDL_WaitEventTimeout(nullptr, static_cast<int>(timeoutMs)) == 1 || stopRequested || xProblemPending;
}

bool SdlWindowSystem::StopRequested() { return stopRequested != 0; }

WindowEvent SdlWindowSystem::TakeEvent() {
  SDL_Event event;
  WindowEvent result;
  if (stopRequested) {
    stopRequested = 0;
    result.kind = WindowEventKind::Destroy;
    return result;
  }
  if (xProblemPending) {
    xProblemPending = 0;
    result.kind = WindowEventKind::Problem;
    result.text = xProblem;
    return result;
  }
  if (!SDL_PollEvent(&event)) return result;
  if (event.type == quitEventType_) {
    result.kind = WindowEventKind::Quit;
    result.code = event.user.code;
  } else if (event.type == SDL_QUIT) {
    result.kind = WindowEventKind::Destroy;
  } else if (event.type == SDL_WINDOWEVENT && !Foreign()) {
    switch (event.window.event) {
      case SDL_WINDOWEVENT_FOCUS_GAINED: result.kind = WindowEventKind::Activate; break;
      case SDL_WINDOWEVENT_FOCUS_LOST: result.kind = WindowEventKind::Deactivate; break;
      case SDL_WINDOWEVENT_CLOSE: result.kind = WindowEventKind::Destroy; break;
      default: break;
    }
  }
  return result;
}

void SdlWindowSystem::PostQuit(int code) {
  SDL_Event event{};
  event.type = quitEventType_;
  event.user.code = code;
  SDL_PushEvent(&event);
}

NativeWindow* SdlWindowSystem::Handle() { return reinterpret_cast<NativeWindow*>(window_); }

}  // namespace sylvora
