#!/usr/bin/env bash
# End-to-end runs of the sylvora program under the test display, driven with xdotool.
# Usage: shell_e2e.sh <case> <sylvora> <install-path file> <cursor_probe> <content dir>
# The installation each case makes holds the build's data.nrx and its data file from <content dir>.
set -uo pipefail
source "$(dirname "$0")/../e2e/lib.sh"
CASE="$1"; PROGRAM="$2"; CONF="$3"; PROBE="$4"; CONTENT="$5"
# Under the sanitizers, ignore the one buffer SDL's D-Bus library keeps for the life of the process and
# the caches GTK keeps for the boxes. Only a full unwind lets the suppressions recognise GTK's callers
# (runs that show a box use BOX_ASAN; it is too slow for the full-screen runs).
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan_sdl.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
BOX_ASAN="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
need_display

make_work_dir
make_install "$CONTENT"
point_install_path_file "$CONF"
PID=
# The program runs in its own process group, with any message-box process it forked.
stop_program() {
  if [ -n "$PID" ]; then
    kill -TERM -- "-$PID" 2>/dev/null
    sleep 0.3
    kill -KILL -- "-$PID" 2>/dev/null
    wait "$PID" 2>/dev/null
  fi
}
on_exit stop_program
# No sound card is needed: the null backend stands in for one.
export ALSOFT_DRIVERS=null

start() {
  note_install
  setsid "$PROGRAM" "$@" > "$WORK/out.txt" 2>&1 &
  PID=$!
}

# Waits up to $1 seconds for the program to end; sets RC.
wait_exit() { wait_for_exit "$PID" "$1" && PID=; }

running() { kill -0 "$PID" 2>/dev/null; }

# The id of a viewable window with exactly this name, waiting up to 5 s.
window_named() {
  local id
  for _ in $(seq 1 50); do
    for id in $(xwininfo -root -tree | grep -F "\"$1\"" | awk '{print $1}'); do
      if xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable"; then echo "$id"; return 0; fi
    done
    sleep 0.1
  done
  return 1
}

# The id of the box captioned $1 once it holds the keyboard, as a box takes it when it opens; waits up
# to 5 s. A box is GTK's (its window class is "Sylvora"), drawn with the desktop's fonts: the test
# display has no core fonts, as a fresh machine has none. (The program's own window bears the same
# name, class "sylvora".)
focused_box() {
  local id focused
  for _ in $(seq 1 50); do
    focused=$(xdotool getwindowfocus 2>/dev/null)
    for id in $(xwininfo -root -tree | grep -F "\"$1\": (\"sylvora\" \"Sylvora\")" | awk '{print $1}'); do
      [ "$focused" = "$((id))" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}

# Presses $2 (Return by default) on the box captioned $1 until it goes away (a box can be mapped
# before it listens for keys).
answer_box() {
  local id
  id=$(focused_box "$1") || fail "no box captioned $1 holds the keyboard; the program said: $(cat "$WORK/out.txt")"
  for _ in $(seq 1 20); do
    xdotool key "${2:-Return}"
    sleep 0.25
    xwininfo -root -tree | grep -qF "$id \"$1\"" || return 0
  done
  fail "the box captioned $1 did not close"
}

hold_key() { xdotool keydown "$1"; sleep 0.25; xdotool keyup "$1"; }

# Brightness of a patch at the screen's centre, 0 for black.
centre_brightness() {
  import -window root -gravity center -crop 64x64+0+0 +repage -format "%[fx:mean]" info: 2>/dev/null
}

# Starts full screen (with any further arguments) and waits for the first drawn frame (start-up, which records the pointer's
# position, has then ended); notes the pointer's position in X and Y. (The pointer is not parked
# beforehand: a display that resets when its last client leaves centres it again.)
start_full_screen() {
  # Under the sanitizers the full-screen run is checked for memory errors but not for leaks: the GL
  # driver SDL's renderer loads leaves allocations in a module unloaded before the check, where no
  # suppression can name them. The shell's own code is leak-checked by its unit tests.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" start /s "$@"
  window_named "Sylvora Screensaver" > /dev/null || fail "no full-screen window"
  for _ in $(seq 1 100); do
    running || fail "the program ended by itself: $(cat "$WORK/out.txt")"
    [ "$(centre_brightness)" != "0" ] && break
    sleep 0.2
  done
  [ "$(centre_brightness)" != "0" ] || fail "no frame was drawn"
  eval "$(xdotool getmouselocation --shell)"
}

# The user's options.ini was written at exit, with exit_on_mouse_move = $1; the installation is as it was.
expect_fresh_options() {
  [ -f "$USER_OPTIONS" ] || fail "options.ini was not written"
  grep -q "^exit_on_mouse_move = $1;" "$USER_OPTIONS" || fail "options.ini: $(cat "$USER_OPTIONS")"
  grep -q "^nature_view = " "$USER_OPTIONS" || fail "options.ini lacks the full layout"
  expect_install_untouched
}

case "$CASE" in
  preview)
    start /p 123
    wait_exit 3 || fail "preview did not end at once"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    [ ! -e "$USER_OPTIONS" ] || fail "preview wrote options.ini"
    expect_install_untouched
    ;;
  password)
    ASAN_OPTIONS="$BOX_ASAN" start /a
    answer_box "Attention" Escape
    wait_exit 5 || fail "password mode did not end after its box"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    [ ! -e "$USER_OPTIONS" ] || fail "password mode wrote options.ini"
    expect_install_untouched
    ;;
  missing_install_path)
    rm -f "$CONF"
    for line in "/p 5" "/a" "/c" "/s" ""; do
      # Full-screen mode's window loads the GL driver, whose leftovers no suppression can name (as in
      # the other full-screen runs); the other modes keep the leak check.
      box_asan="$BOX_ASAN"
      [ "$line" = "/s" ] && box_asan="$BOX_ASAN:detect_leaks=0"
      # shellcheck disable=SC2086
      ASAN_OPTIONS="$box_asan" start $line
      answer_box "Warning"
      wait_exit 5 || fail "'$line' did not end after the warning"
      [ "$RC" -eq 0 ] || fail "'$line' exit code $RC"
    done
    ;;
  fatal_box)
    # A broken index ends start-up with the fatal box; its close box answers it.
    rm "$INSTALL/data.nrx"
    printf 'not an index' > "$INSTALL/data.nrx"
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" start /s
    id=$(focused_box "Sylvora Screensaver") || fail "no fatal box: $(cat "$WORK/out.txt")"
    "$CLOSE_REQUEST_TOOL" "$id" || fail "could not ask the box to close"
    wait_exit 5 || fail "the fatal box did not close with its close box"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    [ ! -e "$USER_OPTIONS" ] || fail "a failed start wrote options.ini"
    expect_install_untouched
    ;;
  no_display_answers)
    [ -e /dev/dri ] && { echo "a display device is present for SDL to fall back on"; exit $SKIP; }
    for n in $(seq 200 260); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
    DISPLAY=":$n" WAYLAND_DISPLAY= XDG_RUNTIME_DIR= start /s
    wait_exit 5 || fail "with no display the program kept running"
    [ "$RC" -eq 1 ] || fail "exit code $RC"
    grep -qF "sylvora: cannot start the video system: no display answered" "$WORK/out.txt" ||
      fail "the program said: $(cat "$WORK/out.txt")"
    ;;
  key_exits)
    baseline=$("$PROBE") || fail "cursor probe"
    [ "$baseline" -gt 0 ] || fail "the desktop pointer should be visible before the program starts"
    start_full_screen
    screen=$(xdpyinfo | awk '/dimensions:/ {print $2}')
    window=$(window_named "Sylvora Screensaver") || fail "the window went away"
    # (the renderer may have re-created the window, so it is looked up again)
    geometry=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    [ "$geometry" = "$screen" ] || fail "the window is $geometry, the screen $screen"
    over=$("$PROBE") || fail "cursor probe"
    [ "$over" -eq 0 ] || fail "the pointer over the window shows $over pixels"
    hold_key space
    wait_exit 5 || fail "a key press did not end the program"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    expect_fresh_options true
    ;;
  no_session_bus)
    # With no session bus running, neither we nor a library we load may start one: an autolaunched bus
    # outlives the run. Such a daemon inherits the program's environment, marker included.
    unset DBUS_SESSION_BUS_ADDRESS
    export XDG_RUNTIME_DIR="$WORK/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    export SYLVORA_BUS_MARKER="sylvora-bus-marker-$$"
    start_full_screen
    hold_key space
    wait_exit 5 || fail "a key press did not end the program"
    for daemon in $(pgrep -x dbus-daemon); do
      if { tr '\0' '\n' < "/proc/$daemon/environ"; } 2>/dev/null | grep -qx "SYLVORA_BUS_MARKER=$SYLVORA_BUS_MARKER"; then
        kill "$daemon"
        fail "the run started a session bus (dbus-daemon $daemon)"
      fi
    done
    ;;
  button_exits)
    start_full_screen
    xdotool mousedown 1; sleep 0.25; xdotool mouseup 1
    wait_exit 5 || fail "a left click did not end the program"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    expect_fresh_options true
    ;;
  move_13_exits)
    start_full_screen
    xdotool mousemove $((X + 13)) "$Y"
    wait_exit 5 || fail "a 13-pixel move did not end the program"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    expect_fresh_options true
    ;;
  move_12_stays)
    start_full_screen
    xdotool mousemove $((X - 12)) $((Y + 12))
    sleep 1.5
    running || fail "a 12-pixel move ended the program"
    hold_key Escape
    wait_exit 5 || fail "a key press did not end the program"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    ;;
  moves_ignored_when_off)
    # The machine's defaults, read while the user has no options.ini of their own.
    printf 'exit_on_mouse_move = false;\r\n' > "$INSTALL/options.ini"
    start_full_screen
    xdotool mousemove $((X + 100)) $((Y - 100))
    sleep 1.5
    running || fail "a move ended the program although exit_on_mouse_move is false"
    hold_key Return
    wait_exit 5 || fail "a key press did not end the program"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    expect_fresh_options false
    ;;
  quick_tap_exits)
    # xdotool presses and lets go at once, between two frames: a person's quick tap.
    start_full_screen
    xdotool key space
    wait_exit 5 || fail "a quick key tap did not end the program"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    expect_fresh_options true
    ;;
  quick_click_exits)
    start_full_screen
    xdotool click 3
    wait_exit 5 || fail "a quick right click did not end the program"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    expect_fresh_options true
    ;;
  run_settings_not_saved)
    # The command line's settings hold for the run (the counter shows in the corner) and never reach
    # options.ini: the file keeps its own values.
    printf 'brightness = 6;\r\nspeed_of_sky = 1;\r\n' > "$INSTALL/options.ini"
    start_full_screen --brightness 5 --drift 3 -fps
    # The counter's light digits on their dark plate: a 40 x 16 patch at the top left holds both.
    for _ in $(seq 1 50); do
      corner=$(import -window root -crop 40x16+0+0 +repage -format "%[fx:minima.intensity] %[fx:maxima.intensity]" info: 2>/dev/null)
      awk -v c="$corner" 'BEGIN { split(c, v, " "); exit !(v[1] < 0.25 && v[2] > 0.85) }' && break
      sleep 0.1
    done
    awk -v c="$corner" 'BEGIN { split(c, v, " "); exit !(v[1] < 0.25 && v[2] > 0.85) }' ||
      fail "no frame-rate counter in the corner (darkest and lightest there: $corner)"
    hold_key Escape
    wait_exit 5 || fail "a key press did not end the program"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
    grep -q "^brightness = 6;" "$USER_OPTIONS" || fail "options.ini: $(cat "$USER_OPTIONS")"
    grep -q "^speed_of_sky = 1;" "$USER_OPTIONS" || fail "options.ini: $(cat "$USER_OPTIONS")"
    ;;
  *)
    fail "unknown case $CASE"
    ;;
esac
echo "PASS: $CASE"
