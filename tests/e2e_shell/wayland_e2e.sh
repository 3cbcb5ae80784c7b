#!/usr/bin/env bash
# Full-screen mode as a native Wayland client, under a headless sway (wlroots' headless backend, its
# software renderer), as an unprivileged user: the scene fills the output (grim's screenshot), and a key
# (wtype), a click or a pointer move (sway's own seat commands) ends the run with options saved.
# Usage: wayland_e2e.sh <case> <sylvora> <install-path file> <content dir>
#   key_exits, click_exits, move_exits
# Not registered with CTest yet: under Debian 12's sway 1.7 with its headless backend the program's
# window is never mapped (SDL 2.26 asks for xdg-activation again and again and attaches no buffer), and
# click_exits and move_exits need a pointer on the seat, which headless sway has not (sway's
# "seat - cursor" commands move a cursor no client is told of).
set -uo pipefail
source "$(dirname "$0")/../e2e/lib.sh"
CASE="$1"; PROGRAM="$2"; CONF="$3"; CONTENT="$4"
for tool in sway swaymsg grim wtype; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/deps lists it)"; exit $SKIP; }
done

make_work_dir
make_install "$CONTENT"
point_install_path_file "$CONF"
# sway refuses to run as root: as root the compositor and the program run as nobody, in WORK.
AS=()
if [ "$(id -u)" -eq 0 ]; then
  AS=(runuser -u nobody --)
  chmod 755 "$WORK"
fi
RUNTIME="$WORK/runtime"
mkdir -p "$RUNTIME" "$XDG_CONFIG_HOME" "$XDG_STATE_HOME"
chmod 700 "$RUNTIME"
[ "${#AS[@]}" -eq 0 ] || chown -R nobody "$RUNTIME" "$XDG_CONFIG_HOME" "$XDG_STATE_HOME"
printf 'output HEADLESS-1 resolution 800x600\ndefault_border none\n' > "$WORK/sway.config"
ENV=(env -i PATH=/usr/bin:/bin HOME="$WORK" XDG_RUNTIME_DIR="$RUNTIME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME"
     XDG_STATE_HOME="$XDG_STATE_HOME" ALSOFT_DRIVERS=null)
SWAY=
PID=
stop_all() {
  [ -z "$PID" ] || { kill -KILL "$PID" 2>/dev/null; wait "$PID" 2>/dev/null; }
  [ -z "$SWAY" ] || { kill -TERM "$SWAY" 2>/dev/null; wait "$SWAY" 2>/dev/null; }
}
on_exit stop_all
"${AS[@]}" "${ENV[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c "$WORK/sway.config" > "$WORK/sway.log" 2>&1 &
SWAY=$!
for _ in $(seq 1 100); do
  SOCKET=$(find "$RUNTIME" -maxdepth 1 -name 'wayland-*' ! -name '*.lock' -printf '%f\n' 2>/dev/null | head -1)
  IPC=$(find "$RUNTIME" -maxdepth 1 -name 'sway-ipc.*.sock' 2>/dev/null | head -1)
  [ -n "$SOCKET" ] && [ -n "$IPC" ] && break
  sleep 0.1
done
[ -n "$SOCKET" ] && [ -n "$IPC" ] || fail "sway did not start: $(tail -5 "$WORK/sway.log")"
ON=("${AS[@]}" "${ENV[@]}" WAYLAND_DISPLAY="$SOCKET" SWAYSOCK="$IPC")

# Spread of brightness (standard deviation, 0..1) of a w x h patch at +x+y of the output, from grim: a
# painted scene varies, the compositor's empty grey background does not.
patch() {
  "${ON[@]}" grim -t ppm - 2>/dev/null | convert - -crop "$1" +repage -format "%[fx:standard_deviation]" info: 2>/dev/null
}

note_install
# The seat's keyboard, there before the program starts as on a desktop (headless sway has none of its
# own): wtype's virtual keyboard, which presses Space once the run has been watched drawing.
KEYBOARD=
if [ "$CASE" = key_exits ]; then
  "${ON[@]}" wtype -s 6000 -k space &
  KEYBOARD=$!
  on_exit '[ -z "$KEYBOARD" ] || kill "$KEYBOARD" 2>/dev/null'
fi
# No X display: SDL must find the compositor by WAYLAND_DISPLAY alone.
"${ON[@]}" "$PROGRAM" /s > "$WORK/out.txt" 2>&1 &
PID=$!
drawn=0
for _ in $(seq 1 150); do
  kill -0 "$PID" 2>/dev/null || fail "the program ended by itself: $(cat "$WORK/out.txt")"
  all=1
  for spot in 16x16+0+0 16x16+784+0 16x16+0+584 16x16+784+584 32x32+384+284; do
    awk -v b="$(patch "$spot")" 'BEGIN { exit !(b > 0.01) }' || { all=0; break; }
  done
  [ "$all" -eq 1 ] && { drawn=1; break; }
  sleep 0.2
done
[ "$drawn" -eq 1 ] || fail "the scene did not fill the output: $(cat "$WORK/out.txt")"
# It is sway's full-screen window, the one with the keyboard.
"${ON[@]}" swaymsg -t get_tree > "$WORK/tree.json" || fail "swaymsg failed"
grep -q "\"fullscreen_mode\": 1" "$WORK/tree.json" || fail "no full-screen window in sway's tree: $(grep -E "fullscreen_mode|app_id|\"name\"" "$WORK/tree.json" | tr -s " " | head -20)"
sleep 1
kill -0 "$PID" 2>/dev/null || fail "the program ended before any input"
case "$CASE" in
  key_exits) wait "$KEYBOARD"; KEYBOARD= ;;
  click_exits) "${ON[@]}" swaymsg seat - cursor press button1 >/dev/null && "${ON[@]}" swaymsg seat - cursor release button1 >/dev/null ;;
  move_exits) "${ON[@]}" swaymsg seat - cursor move 40 40 >/dev/null ;;
  *) fail "unknown case $CASE" ;;
esac
wait_for_exit "$PID" 5 || fail "$CASE: the run did not end: $(cat "$WORK/out.txt")"
PID=
[ "$RC" -eq 0 ] || fail "exit code $RC: $(cat "$WORK/out.txt")"
grep -q "^nature_view = " "$USER_OPTIONS" 2>/dev/null || fail "options.ini was not saved"
expect_install_untouched
echo "PASS: $CASE"
