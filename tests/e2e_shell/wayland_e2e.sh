#!/usr/bin/env bash
# Full-screen mode as a native Wayland client, under a headless sway (wlroots' headless backend, its
# software renderer), as an unprivileged user: the scene fills the output (grim's screenshot), the
# pointer the window appears under does not end the run, and a key, a click or a pointer move of more
# than 12 pixels does, with options saved. The seat's keyboard and pointer are wayland_input's virtual
# devices, there before the program starts, as on a desktop.
# Usage: wayland_e2e.sh <case> <sylvora> <install-path file> <wayland_input> <content dir>
#   key_exits, click_exits (with exit_on_mouse_move off, a move first), move_exits (12 pixels first)
set -uo pipefail
source "$(dirname "$0")/../e2e/lib.sh"
CASE="$1"; PROGRAM="$2"; CONF="$3"; INPUT_TOOL="$4"; CONTENT="$5"
for tool in sway swaymsg grim convert; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/deps lists it)"; exit $SKIP; }
done
WIDTH=800
HEIGHT=600

make_work_dir
make_install "$CONTENT"
point_install_path_file "$CONF"
# sway refuses to run as root: as root the compositor and every client run as nobody, in WORK.
AS=()
if [ "$(id -u)" -eq 0 ]; then
  AS=(runuser -u nobody --)
  chmod 755 "$WORK"
fi
RUNTIME="$WORK/runtime"
mkdir -p "$RUNTIME" "$XDG_CONFIG_HOME" "$XDG_STATE_HOME"
chmod 700 "$RUNTIME"
[ "${#AS[@]}" -eq 0 ] || chown -R nobody "$RUNTIME" "$XDG_CONFIG_HOME" "$XDG_STATE_HOME"
printf 'output HEADLESS-1 resolution %dx%d\ndefault_border none\n' "$WIDTH" "$HEIGHT" > "$WORK/sway.config"
# The test display stays named beside the compositor, as XWayland is on a Wayland desktop: the program
# must still choose the compositor (with no X server at all, that choice is SDL's own).
ENV=(env -i PATH=/usr/bin:/bin HOME="$WORK" XDG_RUNTIME_DIR="$RUNTIME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME"
     XDG_STATE_HOME="$XDG_STATE_HOME" ALSOFT_DRIVERS=null ${DISPLAY:+DISPLAY="$DISPLAY"}
     ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"})
# A sanitized build's full-screen runs are checked without the leak check at exit, as under X (too slow).
ENV+=(ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0")
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
for _ in $(seq 1 200); do
  SOCKET=$(find "$RUNTIME" -maxdepth 1 -name 'wayland-*' ! -name '*.lock' -printf '%f\n' 2>/dev/null | head -1)
  IPC=$(find "$RUNTIME" -maxdepth 1 -name 'sway-ipc.*.sock' 2>/dev/null | head -1)
  [ -n "$SOCKET" ] && [ -n "$IPC" ] && break
  sleep 0.1
done
[ -n "$SOCKET" ] && [ -n "$IPC" ] || fail "sway did not start in 20 s: $(tail -5 "$WORK/sway.log")"
ON=("${AS[@]}" "${ENV[@]}" WAYLAND_DISPLAY="$SOCKET" SWAYSOCK="$IPC")

# The compositor's empty output is all one colour (taken before the seat has a pointer, whose image sway
# would draw into it): the scene must leave none of it.
read -r flat BACKGROUND < <("${ON[@]}" grim -t ppm - | convert - -format "%[fx:standard_deviation] %[pixel:p{0,0}]" info:)
[ "${flat:-}" = 0 ] || fail "the empty output is not one colour (spread: ${flat:-no screenshot})"

# The seat's keyboard and pointer: wayland_input answers each command once sway has handled it.
coproc INPUT { exec "${ON[@]}" "$INPUT_TOOL" "$WIDTH" "$HEIGHT" 2> "$WORK/input.log"; }
INPUT_IN=${INPUT[1]}
INPUT_OUT=${INPUT[0]}
on_exit 'kill "$INPUT_PID" 2>/dev/null'
input() {
  local reply=
  echo "$*" >&"$INPUT_IN"
  read -r -t 20 -u "$INPUT_OUT" reply
  [ "$reply" = done ] || fail "sway did not take \"$*\": $(cat "$WORK/input.log")"
}
read -r -t 20 -u "$INPUT_OUT" ready
[ "${ready:-}" = ready ] || fail "no virtual keyboard and pointer: $(cat "$WORK/input.log")"
# The pointer rests in the middle of the output, where the window will appear under it.
input to $((WIDTH / 2)) $((HEIGHT / 2))

# The output's pixels, for telling whether a frame came.
shot() { "${ON[@]}" grim -t ppm - 2>/dev/null | md5sum; }
# The fraction of the output showing the colour $1 and the spread (standard deviation, 0..1) of the whole
# output's brightness, from one screenshot.
look() {
  "${ON[@]}" grim -t ppm - 2>/dev/null > "$WORK/shot.ppm"
  echo "$(convert "$WORK/shot.ppm" -fill black +opaque "$1" -fill white -opaque "$1" -format "%[fx:mean]" info:)" \
    "$(convert "$WORK/shot.ppm" -format "%[fx:standard_deviation]" info:)"
}
running() { kill -0 "$PID" 2>/dev/null; }
# Waits until the output has changed twice (two frames presented since now, so the program has read the
# input sent before), up to 30 s.
two_frames() {
  local seen last now
  last=$(shot)
  seen=0
  for _ in $(seq 1 300); do
    running || return 0
    now=$(shot)
    [ "$now" = "$last" ] || { seen=$((seen + 1)); last=$now; }
    [ "$seen" -ge 2 ] && return 0
    sleep 0.1
  done
  fail "the scene stopped moving: $(cat "$WORK/out.txt")"
}

if [ "$CASE" = click_exits ]; then
  # The machine's defaults, read while the user has no options.ini of their own.
  printf 'exit_on_mouse_move = false;\r\n' > "$INSTALL/options.ini"
fi
note_install
"${ON[@]}" "$PROGRAM" /s > "$WORK/out.txt" 2>&1 &
PID=$!
drawn=0
for _ in $(seq 1 300); do
  running || fail "the program ended by itself: $(cat "$WORK/out.txt")"
  read -r empty spread < <(look "$BACKGROUND")
  awk -v e="$empty" -v s="$spread" 'BEGIN { exit !(e == 0 && s > 0.05) }' && { drawn=1; break; }
  sleep 0.1
done
[ "$drawn" -eq 1 ] ||
  fail "the scene did not fill the output in 30 s (last seen: $empty of it $BACKGROUND, spread $spread): $(cat "$WORK/out.txt")"
"${ON[@]}" swaymsg -t get_tree > "$WORK/tree.json" || fail "swaymsg failed"
grep -q '"fullscreen_mode": 1' "$WORK/tree.json" ||
  fail "no full-screen window in sway's tree: $(grep -E 'fullscreen_mode|app_id|"name"' "$WORK/tree.json" | tr -s ' ' | head -20)"
two_frames
running || fail "the window's appearing under the pointer ended the run: $(cat "$WORK/out.txt")"

case "$CASE" in
  key_exits) input key ;;
  click_exits)
    input move 40 40
    two_frames
    running || fail "a move ended the program although exit_on_mouse_move is false"
    input click
    ;;
  move_exits)
    input move 12 -12
    two_frames
    running || fail "a move of 12 pixels ended the program"
    input move 1 0
    ;;
  *) fail "unknown case $CASE" ;;
esac
wait_for_exit "$PID" 20 || fail "$CASE: the run did not end in 20 s: $(cat "$WORK/out.txt")"
PID=
[ "$RC" -eq 0 ] || fail "exit code $RC: $(cat "$WORK/out.txt")"
grep -q "^nature_view = " "$USER_OPTIONS" 2>/dev/null || fail "options.ini was not saved"
expect_install_untouched
echo "PASS: $CASE"
