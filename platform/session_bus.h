#pragma once
// Keeps the libraries we load from starting a session bus of their own. Where no session bus runs (a bare
// X session, a daemon started outside one), SDL's and GLib's D-Bus clients would "autolaunch" one through
// dbus-launch on the X display, and that daemon outlives the run: one more per run.

namespace sylvora {

// Called by main() first, before any library starts. When DBUS_SESSION_BUS_ADDRESS is unset or empty and
// no bus listens at $XDG_RUNTIME_DIR/bus, sets it to an address no client connects to ("disabled:"), so
// every client finds no bus and starts none. A running bus is left to be used.
void KeepFromStartingASessionBus();

}  // namespace sylvora
