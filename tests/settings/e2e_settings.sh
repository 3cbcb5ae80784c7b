#!/usr/bin/env bash
# End-to-end test of the settings dialog on the X display in $DISPLAY, driven as a person would with
# xdotool. Usage:
#   e2e_settings.sh CASE WORKDIR host      SETTINGS_DIALOG_HOST
#   e2e_settings.sh CASE WORKDIR configure SYLVORA INSTALL_PATH_FILE   (runs "sylvora /c")
#   e2e_settings.sh CASE WORKDIR noswitch  SYLVORA INSTALL_PATH_FILE   (runs "sylvora" with no switch)
# CASE: open_shows_dialog, scene_enter_saves, escape_saves_nothing, close_box_saves_nothing,
# sigterm_ends_like_cancel; close_box_saves_nothing needs CLOSE_REQUEST_TOOL in the environment: a
# program that asks window ID to close as a close box does.
# The installation directory is WORKDIR/install; open_shows_dialog leaves screenshots of the screen and of the
# dialog in WORKDIR/dialog.png and WORKDIR/dialog-window.png.
set -euo pipefail
source "$(dirname "$0")/../e2e/lib.sh"

CASE="$1"; MODE="$3"; PROGRAM="$4"; EXTRA="${5:-}"
CAPTION="Sylvora Screensaver Settings"

# The user's own settings, which the dialog reads and saves; the installation stays empty.
make_work_dir "$2"
make_install
on_exit '[ -z "$(ls -A "$INSTALL")" ] || fail "the dialog wrote into the installation"'
mkdir -p "$(dirname "$USER_OPTIONS")"
# A file with non-default hidden settings, written by hand (no CR), so any rewrite shows.
printf 'nature_view = 1000;\nbrightness = 7;\nmusic_volume = 3;\nbirds_singing_volume = 9;\nsound_volume = 6;\n' \
  > "$USER_OPTIONS"
cp "$USER_OPTIONS" "$WORK/options.before"

case "$MODE" in
  host) "$PROGRAM" "$INSTALL" > "$WORK/stdout" 2> "$WORK/stderr" & ;;
  configure|noswitch)
    [ -n "$EXTRA" ] || fail "the install-path file is needed in $MODE mode"
    point_install_path_file "$EXTRA"
    if [ "$MODE" = configure ]; then
      "$PROGRAM" /c > "$WORK/stdout" 2> "$WORK/stderr" &
    else
      "$PROGRAM" > "$WORK/stdout" 2> "$WORK/stderr" &
    fi ;;
  *) fail "unknown mode $MODE" ;;
esac
PID=$!
on_exit 'kill "$PID" 2>/dev/null'

WINDOW="$(timeout 20 xdotool search --sync --onlyvisible --name "^$CAPTION\$" | head -n 1)" ||
  fail "no window captioned \"$CAPTION\" appeared"
# The dialog takes the keyboard once it is mapped and handles input; a click or key sent before then is
# lost on a busy machine, so everything waits for that, and for its first frame (more than one colour).
for _ in $(seq 1 200); do
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$WINDOW" ] &&
    [ "$(import -window "$WINDOW" -format '%k' info: 2>/dev/null || echo 0)" -gt 1 ] && break
  sleep 0.1
done

# Ends the run: checks the program left within twenty seconds and puts its exit status in RC.
wait_exit() {
  wait_for_exit "$PID" 20 || fail "the program is still running 20 s after the dialog should have closed"
}

# How many top-level windows are showing; a list's drop-down is one of its own.
shown_windows() { xdotool search --onlyvisible --maxdepth 1 --classname . | wc -l; }

# Waits up to twenty seconds (a busy machine is slow to map a window) until shown_windows reports count.
wait_shown_windows() {
  for _ in $(seq 1 200); do [ "$(shown_windows)" -eq "$1" ] && return 0; sleep 0.1; done
  fail "expected $1 windows on the screen, found $(shown_windows)"
}

# Opens the scene list with a click at its middle, moves down the entries and chooses one with Enter.
choose_scene_entry() {
  local steps="$1"
  local before
  before="$(shown_windows)"
  eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
  # The scene list's closed box starts at (186, 22) dialog units; its middle is about 48 units right
  # and 5 units down from there. The dialog is 298 x 158 units.
  xdotool mousemove --window "$WINDOW" $((WIDTH * 234 / 298)) $((HEIGHT * 28 / 158))
  xdotool mousedown 1; sleep 0.1; xdotool mouseup 1
  wait_shown_windows $((before + 1))
  sleep 0.3
  for _ in $(seq 1 "$steps"); do xdotool key Down; sleep 0.1; done
  xdotool key Return
  wait_shown_windows "$before"
  sleep 0.3
}

case "$CASE" in
  open_shows_dialog)
    import -window root "$WORK/dialog.png"
    import -window "$WINDOW" "$WORK/dialog-window.png"
    [ "$(xdotool getwindowfocus)" = "$WINDOW" ] || fail "the dialog did not take the keyboard when it opened"
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
    read -r SW SH < <(xdotool getdisplaygeometry)
    [ "$X" -eq $((SW / 2 - WIDTH / 2)) ] && [ "$Y" -eq $((SH / 2 - HEIGHT / 2)) ] ||
      fail "window at $X,$Y size ${WIDTH}x$HEIGHT is not centred on ${SW}x$SH"
    xdotool windowfocus --sync "$WINDOW"; xdotool key Escape
    wait_exit
    cmp -s "$USER_OPTIONS" "$WORK/options.before" || fail "options.ini changed"
    ;;
  scene_enter_saves)
    # Randomly -> "Constantly 4th scene" (scene 2), then Enter presses OK.
    choose_scene_entry 4
    xdotool key Return
    wait_exit
    [ "$MODE" != host ] || [ "$RC" -eq 1 ] || fail "dialog result $RC, expected 1 for OK"
    printf '%s\r\n' ';  ' '; Sylvora Screensaver Options file' ';  ' ' ' ' ' '; -----------------------' \
      '; Graphics' ' ' 'nature_view = 2;' 'nature_change_freq = 0;' 'background_animation = 2;' \
      'speed_of_sky = 2;' 'brightness = 7;' 'exit_on_mouse_move = true;' ' ' ' ' \
      '; -----------------------' '; Sound' ' ' 'birds_singing = true;' 'sound_volume = 6;' \
      'birds_singing_volume = 9;' 'music_volume = 3;' > "$WORK/options.expected"
    cmp "$USER_OPTIONS" "$WORK/options.expected" || { diff "$USER_OPTIONS" "$WORK/options.expected" >&2; fail "options.ini differs"; }
    ;;
  escape_saves_nothing)
    choose_scene_entry 2
    xdotool key Escape
    wait_exit
    [ "$MODE" != host ] || [ "$RC" -eq 0 ] || fail "dialog result $RC, expected 0 for Cancel"
    cmp -s "$USER_OPTIONS" "$WORK/options.before" || fail "options.ini changed"
    ;;
  close_box_saves_nothing)
    [ -n "${CLOSE_REQUEST_TOOL:-}" ] || fail "close_box_saves_nothing needs CLOSE_REQUEST_TOOL"
    choose_scene_entry 1
    "$CLOSE_REQUEST_TOOL" "$WINDOW"
    wait_exit
    [ "$MODE" != host ] || [ "$RC" -eq 0 ] || fail "dialog result $RC, expected 0 for the close box"
    cmp -s "$USER_OPTIONS" "$WORK/options.before" || fail "options.ini changed"
    ;;
  sigterm_ends_like_cancel)
    choose_scene_entry 1
    kill -TERM "$PID"
    wait_exit
    cmp -s "$USER_OPTIONS" "$WORK/options.before" || fail "options.ini changed"
    ;;
  *) fail "unknown case $CASE" ;;
esac
echo "PASS: $CASE ($MODE)"
