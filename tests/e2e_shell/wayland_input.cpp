// The seat's keyboard and mouse for the Wayland end-to-end cases. A headless compositor has no input
// devices of its own, so this client gives its seat a virtual keyboard and a virtual pointer, there
// before the program starts as on a desktop, and kept until its standard input ends (a device that
// goes away takes the keyboard focus with it, which pauses the program).
//
// Reads one command a line and answers "done" once the compositor has handled it:
//   to X Y      the pointer to (X, Y) of an output of WIDTH x HEIGHT (the arguments)
//   move DX DY  the pointer by (DX, DY)
//   key         a tap of the space bar
//   click       a click of the left button
// Prints "ready" first, once both devices exist. Exits 2 when the compositor offers neither kind of device.
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "virtual-keyboard-client.h"
#include "virtual-pointer-client.h"

namespace {

// How long a tap or a click holds the key or button down: about a person's quick press.
constexpr useconds_t kPressMicroseconds = 60000;

struct Globals {
  wl_seat* seat = nullptr;
  zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
  zwlr_virtual_pointer_manager_v1* pointers = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* globals = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat) {
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
    globals->keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
        wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
  } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    globals->pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
  }
}

void OnGlobalRemoved(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener kRegistryListener{OnGlobal, OnGlobalRemoved};

// The keyboard needs a keymap before its first key: the default one, handed over in shared memory.
bool SendKeymap(zwp_virtual_keyboard_v1* keyboard) {
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_keymap* keymap = context ? xkb_keymap_new_from_names(context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
  char* text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
  bool sent = false;
  if (text) {
    const size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd >= 0 && write(fd, text, size) == static_cast<ssize_t>(size)) {
      zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, static_cast<uint32_t>(size));
      sent = true;
    }
    if (fd >= 0) close(fd);
    std::free(text);
  }
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
  return sent;
}

// Event times in milliseconds of the monotonic clock, as input devices give them.
uint32_t Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

struct Devices {
  zwp_virtual_keyboard_v1* keyboard;
  zwlr_virtual_pointer_v1* pointer;
  uint32_t width, height;
};

// Carries out one command line; false for one it does not know.
bool Run(const Devices& devices, wl_display* display, const std::string& line) {
  int a = 0, b = 0;
  if (std::sscanf(line.c_str(), "to %d %d", &a, &b) == 2) {
    zwlr_virtual_pointer_v1_motion_absolute(devices.pointer, Now(), a, b, devices.width, devices.height);
    zwlr_virtual_pointer_v1_frame(devices.pointer);
  } else if (std::sscanf(line.c_str(), "move %d %d", &a, &b) == 2) {
    zwlr_virtual_pointer_v1_motion(devices.pointer, Now(), wl_fixed_from_int(a), wl_fixed_from_int(b));
    zwlr_virtual_pointer_v1_frame(devices.pointer);
  } else if (line == "key" || line == "click") {
    for (const uint32_t state : {1u, 0u}) {
      if (line == "key") {
        zwp_virtual_keyboard_v1_key(devices.keyboard, Now(), KEY_SPACE, state);
      } else {
        zwlr_virtual_pointer_v1_button(devices.pointer, Now(), BTN_LEFT, state);
        zwlr_virtual_pointer_v1_frame(devices.pointer);
      }
      wl_display_flush(display);
      if (state) usleep(kPressMicroseconds);
    }
  } else {
    return false;
  }
  return wl_display_roundtrip(display) >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: wayland_input WIDTH HEIGHT (commands on standard input)\n");
    return 2;
  }
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "wayland_input: no compositor\n");
    return 2;
  }
  Globals globals;
  wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, &globals);
  wl_display_roundtrip(display);
  if (!globals.seat || !globals.keyboards || !globals.pointers) {
    std::fprintf(stderr, "wayland_input: the compositor offers no virtual keyboard or pointer\n");
    return 2;
  }
  const Devices devices{zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(globals.keyboards, globals.seat),
                        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, globals.seat),
                        static_cast<uint32_t>(std::atoi(argv[1])), static_cast<uint32_t>(std::atoi(argv[2]))};
  if (!SendKeymap(devices.keyboard) || wl_display_roundtrip(display) < 0) {
    std::fprintf(stderr, "wayland_input: the devices were not made\n");
    return 2;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  char buffer[128];
  while (std::fgets(buffer, sizeof buffer, stdin)) {
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (!Run(devices, display, line)) {
      std::fprintf(stderr, "wayland_input: cannot do \"%s\"\n", line.c_str());
      return 1;
    }
    std::printf("done\n");
    std::fflush(stdout);
  }
  wl_display_disconnect(display);
  return 0;
}
