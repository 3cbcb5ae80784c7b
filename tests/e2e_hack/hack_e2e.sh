#!/usr/bin/env bash
# The sylvora program drawing into a screen-saver daemon's window, under the test display.
# Usage: hack_e2e.sh <case> <sylvora> <install-path file> <daemon_window> <content dir>
#   window_id              --window-id in a 320 x 240 window: the scene fills it, input leaves it
#                          running, SIGTERM ends it with exit 0 and options.ini saved
#   root_environment       --root with XSCREENSAVER_WINDOW, in a 480 x 200 window; SIGTERM ends it
#   sigint_ends            SIGINT ends it as SIGTERM does
#   bad_window_id          an unusable id ends at once with exit 1 and its reason, touching nothing
#   one_sound_per_machine  of two copies only the first opens the sound output (OpenAL Soft's wave
#                          backend writes a file only when a device opens); the lock goes with its holder,
#                          and the silent copy then takes the sound over; full-screen mode (/s) always
#                          opens the sound output
#   lock_released_on_failure  a copy that takes the lock but cannot open the sound output lets it go;
#                          without a runtime directory the lock lives in the user's state directory
#   real_daemon            the real xscreensaver, when installed: ten activations and deactivations
#                          leave no copy running and no X error in its log (skipped when absent)
#   mate_daemon            ten activations under the real mate-screensaver, which finds the hack through
#                          our screensaver .desktop file: each drawn, none left running (skipped when absent)
#   stop_then_destroy      as xscreensaver ends a run: SIGTERM and the window destroyed at once,
#   destroy_then_stop      the window destroyed first and SIGTERM a little later,
#   destroy_only           the window destroyed with no signal: each ${HACK_STOP_RUNS:-50} times at
#                          varying moments from start-up to the running scene, every copy exits 0
#                          within ${HACK_STOP_LIMIT_SECONDS:-3} seconds, silent, with its options saved
#                          once it has read them, and none is left
set -uo pipefail
source "$(dirname "$0")/../e2e/lib.sh"
CASE="$1"; PROGRAM="$2"; CONF="$3"; DAEMON_WINDOW="$4"; CONTENT="$5"
need_display
# Under the sanitizers the runs are checked for memory errors but not for leaks: the X libraries SDL
# loads at start and unloads at SDL_Quit keep a few small allocations, in modules gone before the check
# where no suppression can name them. The shell's own code is leak-checked by its unit tests.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

make_work_dir
make_install "$CONTENT"
point_install_path_file "$CONF"
PIDS=()
stop_all() {
  local pid
  for pid in "${PIDS[@]}"; do kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
}
on_exit stop_all
# No sound card is needed: the null backend stands in for one. The sound lock lives here, away from
# any other copy running on this machine.
export ALSOFT_DRIVERS=null
export XDG_RUNTIME_DIR="$WORK"
unset XSCREENSAVER_WINDOW

# A stand-in daemon window of $1 x $2 at ($3, $4); WINDOW names it (decimal id).
daemon_window() {
  local out="$WORK/window-${#PIDS[@]}"
  "$DAEMON_WINDOW" "$@" > "$out" 2>&1 &
  PIDS+=($!)
  for _ in $(seq 1 50); do
    [ -s "$out" ] && { WINDOW=$(cat "$out"); return 0; }
    sleep 0.1
  done
  fail "the stand-in daemon window did not appear"
}

# Starts the program with the given environment assignments and arguments; LAST_PID names it.
start() {
  env "$@" > "$WORK/out-${#PIDS[@]}.txt" 2>&1 &
  LAST_PID=$!
  PIDS+=("$LAST_PID")
}

# Whether process $1 still runs: once it has ended, its first thread waits as a zombie until the kernel
# has torn the last one down and freed its memory, which on a busy machine can take seconds that are the
# system's, not the program's.
still_running() {
  local state
  state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)
  [ -n "$state" ] && [ "$state" != Z ]
}

# Brightness (0 black .. 1 white) of a w x h patch of window $1 at +x+y.
patch_brightness() {
  import -window "$1" -crop "$2" +repage -format "%[fx:mean]" info: 2>/dev/null
}

# Waits until the scene covers window $1 (w x h $2 $3): every corner and the centre drawn.
wait_for_scene() {
  local id=$1 w=$2 h=$3 pid=$4
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || fail "the program ended by itself: $(cat "$WORK"/out-*.txt)"
    local all=1 patch
    for patch in "8x8+0+0" "8x8+$((w - 8))+0" "8x8+0+$((h - 8))" "8x8+$((w - 8))+$((h - 8))" \
                 "16x16+$((w / 2 - 8))+$((h / 2 - 8))"; do
      b=$(patch_brightness "$id" "$patch")
      awk -v b="${b:-0}" 'BEGIN { exit !(b > 0.02) }' || { all=0; break; }
    done
    [ "$all" -eq 1 ] && return 0
    sleep 0.2
  done
  fail "the scene did not fill window $id"
}

# Waits until process $1 catches SIGTERM (bit 15 of its caught-signal mask).
wait_for_caught_term() {
  local mask
  for _ in $(seq 1 200); do
    mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$1/status" 2>/dev/null)
    [ -n "$mask" ] && (( 0x$mask & 0x4000 )) && return 0
    sleep 0.01
  done
  fail "the program did not catch SIGTERM within 2 s"
}

expect_untouched_window() {
  local geometry
  geometry=$(xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
  [ "$geometry" = "$2" ] || fail "the daemon's window is now $geometry, it was $2"
  if xwininfo -root -tree | grep -qF '"Sylvora Screensaver"'; then fail "the program opened a window of its own"; fi
}

# Sends signal $1 to $2 and expects a clean exit 0 within 3 s with options.ini written.
expect_clean_stop() {
  local signal=$1 pid=$2
  rm -f "$USER_OPTIONS"
  kill "-$signal" "$pid"
  wait_for_exit "$pid" 3 || fail "SIG$signal did not end the program within 3 s"
  [ "$RC" -eq 0 ] || fail "SIG$signal gave exit code $RC: $(cat "$WORK"/out-*.txt)"
  [ -f "$USER_OPTIONS" ] || fail "options.ini was not written"
  grep -q "^nature_view = " "$USER_OPTIONS" || fail "options.ini lacks the full layout"
  [ ! -e "$INSTALL/options.ini" ] || fail "options.ini was written into the installation"
}

# The real xscreensaver, when it is installed, activated and deactivated $1 times in a row with our
# program as its one hack: every copy it starts is gone within 3 s of the deactivation, and its log
# holds no X error. It refuses to run as root, so as root it runs as nobody.
real_daemon_cycles() {
  command -v xscreensaver >/dev/null && command -v xscreensaver-command >/dev/null \
    || { echo "xscreensaver is not installed; the stand-in daemon's stop cases cover the same ground"; exit $SKIP; }
  local home="$WORK/daemon-home" as=()
  read -r SCREEN_W SCREEN_H <<< "$(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')"
  mkdir -p "$home"
  printf 'mode: one\nselected: 0\nlock: False\nsplash: False\nfade: False\nunfade: False\ntimeout: 1:00:00\nprograms: GL: "Sylvora" %s --root\n' \
    "$PROGRAM" > "$home/.xscreensaver"
  if [ "$(id -u)" -eq 0 ]; then
    as=(runuser -u nobody --)
    chmod 755 "$WORK"
    chown -R nobody "$home"
  fi
  local run=("${as[@]}" env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_STATE_HOME="$home/.state"
             XDG_RUNTIME_DIR="$home" DISPLAY="$DISPLAY" ALSOFT_DRIVERS=null)
  "${run[@]}" xscreensaver -no-splash -verbose > "$WORK/xscreensaver.log" 2>&1 &
  PIDS+=($!)
  # As nobody, the daemon is runuser's child, which killing runuser leaves running: it is asked to
  # exit, and whatever nobody still runs of it is ended.
  DAEMON_EXIT=("${run[@]}" xscreensaver-command -exit)
  on_exit '"${DAEMON_EXIT[@]}" >/dev/null 2>&1; sleep 0.5; [ "$(id -u)" -ne 0 ] || pkill -KILL -u nobody -f xscreensaver'
  for _ in $(seq 1 50); do "${run[@]}" xscreensaver-command -time >/dev/null 2>&1 && break; sleep 0.1; done
  local cycle
  for cycle in $(seq 1 "$1"); do
    "${run[@]}" xscreensaver-command -activate >/dev/null 2>&1 || fail "cycle $cycle: the daemon did not answer"
    for _ in $(seq 1 50); do pgrep -f -- "$PROGRAM --root" >/dev/null && break; sleep 0.1; done
    pgrep -f -- "$PROGRAM --root" >/dev/null || fail "cycle $cycle: the daemon started no copy: $(tail -5 "$WORK/xscreensaver.log")"
    sleep "${HACK_SETTLE_SECONDS:-1.5}"
    pgrep -f -- "$PROGRAM --root" >/dev/null || fail "cycle $cycle: the copy ended by itself: $(tail -5 "$WORK/xscreensaver.log")"
    local b
    b=$(patch_brightness root "32x32+$((SCREEN_W / 2 - 16))+$((SCREEN_H / 2 - 16))")
    awk -v b="${b:-0}" 'BEGIN { exit !(b > 0.02) }' || fail "cycle $cycle: no scene on the screen (brightness $b)"
    "${run[@]}" xscreensaver-command -deactivate >/dev/null 2>&1
    for _ in $(seq 1 30); do pgrep -f -- "$PROGRAM --root" >/dev/null || break; sleep 0.1; done
    pgrep -f -- "$PROGRAM --root" >/dev/null && fail "cycle $cycle: a copy was still running 3 s after the deactivation"
  done
  if grep -E "X Error|BadDrawable|BadWindow|BadMatch" "$WORK/xscreensaver.log"; then fail "the daemon's log holds X errors"; fi
  echo "$1 activations ended cleanly under the real xscreensaver"
}

# $1 activations under the real mate-screensaver, which finds the hack through our screensaver .desktop
# file ($MATE_DESKTOP_FILE) and runs only hacks kept in its own or xscreensaver's hack directory: each
# activation draws the scene, and each deactivation leaves no copy running.
mate_daemon_cycles() {
  command -v mate-screensaver >/dev/null && command -v mate-screensaver-command >/dev/null \
    && command -v dbus-daemon >/dev/null || { echo "mate-screensaver is not installed"; exit $SKIP; }
  [ "$(id -u)" -eq 0 ] || { echo "the hack directory /usr/libexec/xscreensaver is root's"; exit $SKIP; }
  local hack="/usr/libexec/xscreensaver/sylvora-e2e-$$" home="$WORK/mate-home"
  mkdir -p /usr/libexec/xscreensaver "$home/.config/glib-2.0/settings" "$home/.local/share/applications/screensavers"
  ln -s "$PROGRAM" "$hack"
  on_exit "rm -f '$hack'"
  sed -e "s|^Exec=.*|Exec=$hack --root|" -e "s|^TryExec=.*|TryExec=$hack|" "$MATE_DESKTOP_FILE" \
    > "$home/.local/share/applications/screensavers/sylvora.desktop"
  printf "[org/mate/screensaver]\nmode='single'\nthemes=['screensavers-sylvora']\nlock-enabled=false\n" \
    > "$home/.config/glib-2.0/settings/keyfile"
  export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" GSETTINGS_BACKEND=keyfile
  export DBUS_SESSION_BUS_ADDRESS
  DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3> "$WORK/bus.pid")
  on_exit 'kill "$(cat "$WORK/bus.pid")" 2>/dev/null'
  mate-screensaver --no-daemon --debug > "$WORK/mate-screensaver.log" 2>&1 &
  PIDS+=($!)
  for _ in $(seq 1 100); do mate-screensaver-command --query >/dev/null 2>&1 && break; sleep 0.1; done
  read -r SCREEN_W SCREEN_H <<< "$(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')"
  local cycle b
  for cycle in $(seq 1 "$1"); do
    mate-screensaver-command --activate >/dev/null 2>&1 || fail "cycle $cycle: the daemon did not answer"
    for _ in $(seq 1 200); do
      b=$(patch_brightness root "32x32+$((SCREEN_W / 2 - 16))+$((SCREEN_H / 2 - 16))")
      pgrep -f -- "$hack --root" >/dev/null && awk -v b="${b:-0}" 'BEGIN { exit !(b > 0.02) }' && break
      sleep 0.1
    done
    pgrep -f -- "$hack --root" >/dev/null ||
      fail "cycle $cycle: the daemon started no copy: $(grep -i 'command for job' "$WORK/mate-screensaver.log" | tail -1)"
    awk -v b="${b:-0}" 'BEGIN { exit !(b > 0.02) }' || fail "cycle $cycle: no scene on the screen (brightness $b)"
    mate-screensaver-command --deactivate >/dev/null 2>&1
    for _ in $(seq 1 30); do pgrep -f -- "$hack --root" >/dev/null || break; sleep 0.1; done
    pgrep -f -- "$hack --root" >/dev/null && fail "cycle $cycle: a copy was still running 3 s after the deactivation"
  done
  echo "$1 activations ended cleanly under the real mate-screensaver"
}

case "$CASE" in
  window_id)
    daemon_window 320 240 10 10; id=$WINDOW
    start "$PROGRAM" --window-id "$id"
    pid=$LAST_PID
    wait_for_scene "$id" 320 240 "$pid"
    expect_untouched_window "$id" 320x240
    # A person moving the mouse over a preview pane, clicking and typing there: the daemon decides.
    # (SDL selects no input on a window it did not create, so nothing of this reaches the input
    # system; the shell's unit tests show the exit tests are off even when input does arrive.)
    xdotool mousemove --window "$id" 20 20 mousemove --window "$id" 300 220
    xdotool click --window "$id" 1 2>/dev/null
    xdotool key --window "$id" space 2>/dev/null
    sleep 1.5
    kill -0 "$pid" 2>/dev/null || fail "input over the daemon's window ended the program"
    expect_clean_stop TERM "$pid"
    ;;
  root_environment)
    daemon_window 480 200 10 10; id=$WINDOW
    start XSCREENSAVER_WINDOW="$(printf '0x%x' "$id")" "$PROGRAM" --root
    pid=$LAST_PID
    wait_for_scene "$id" 480 200 "$pid"
    expect_untouched_window "$id" 480x200
    expect_clean_stop TERM "$pid"
    ;;
  sigint_ends)
    daemon_window 320 240 10 10; id=$WINDOW
    start "$PROGRAM" -window-id "$(printf '0x%x' "$id")"
    pid=$LAST_PID
    wait_for_scene "$id" 320 240 "$pid"
    expect_clean_stop INT "$pid"
    ;;
  bad_window_id)
    start "$PROGRAM" --window-id 12x
    wait_for_exit "$LAST_PID" 3 || fail "an unusable window id did not end the program"
    [ "$RC" -eq 1 ] || fail "exit code $RC"
    grep -qF 'sylvora: window id "12x" is not a window number' "$WORK/out-0.txt" || fail "said: $(cat "$WORK/out-0.txt")"
    [ ! -e "$USER_OPTIONS" ] || fail "options.ini was written"
    ;;
  one_sound_per_machine)
    # Each copy records into its own file through OpenAL Soft's wave backend.
    for n in 1 2 3 4; do printf '[general]\ndrivers=wave\n[wave]\nfile=%s\n' "$WORK/sound-$n.wav" > "$WORK/alsoft-$n.conf"; done
    daemon_window 320 240 10 10; first_window=$WINDOW
    daemon_window 320 240 400 10; second_window=$WINDOW
    start ALSOFT_DRIVERS=wave ALSOFT_CONF="$WORK/alsoft-1.conf" "$PROGRAM" --window-id "$first_window"
    first=$LAST_PID
    wait_for_scene "$first_window" 320 240 "$first"
    start ALSOFT_DRIVERS=wave ALSOFT_CONF="$WORK/alsoft-2.conf" "$PROGRAM" --window-id "$second_window"
    second=$LAST_PID
    wait_for_scene "$second_window" 320 240 "$second"
    sleep 1
    [ -s "$WORK/sound-1.wav" ] || fail "the first copy opened no sound output"
    [ -e "$WORK/sound-2.wav" ] && fail "the second copy opened the sound output too"
    [ -e "$XDG_RUNTIME_DIR/sylvora-sound.lock" ] || fail "no lock file in the runtime directory"
    expect_clean_stop TERM "$first"
    # The lock went with the first copy: the second, which asks again once a second, plays now, and a
    # copy started while it plays stays silent.
    for _ in $(seq 1 100); do [ -s "$WORK/sound-2.wav" ] && break; sleep 0.1; done
    [ -s "$WORK/sound-2.wav" ] || fail "the second copy opened no sound output within 10 s of the first's end"
    start ALSOFT_DRIVERS=wave ALSOFT_CONF="$WORK/alsoft-3.conf" "$PROGRAM" --window-id "$first_window"
    third=$LAST_PID
    wait_for_scene "$first_window" 320 240 "$third"
    sleep 2
    [ -e "$WORK/sound-3.wav" ] && fail "a copy started while the second played opened the sound output too"
    # Full-screen mode of our own is no daemon's copy: it opens the sound output whoever holds the lock.
    start ALSOFT_DRIVERS=wave ALSOFT_CONF="$WORK/alsoft-4.conf" "$PROGRAM" /s
    own=$LAST_PID
    for _ in $(seq 1 50); do [ -s "$WORK/sound-4.wav" ] && break; sleep 0.1; done
    [ -s "$WORK/sound-4.wav" ] || fail "full-screen mode opened no sound output while the lock was held"
    expect_clean_stop TERM "$own"
    expect_clean_stop TERM "$second"
    expect_clean_stop TERM "$third"
    ;;
  lock_released_on_failure)
    printf '[general]\ndrivers=wave\n[wave]\nfile=%s\n' "$WORK/sound.wav" > "$WORK/alsoft.conf"
    daemon_window 320 240 10 10; first_window=$WINDOW
    daemon_window 320 240 400 10; second_window=$WINDOW
    # No sound device answers the first copy: it takes the lock, fails to open the output, lets go.
    start XDG_RUNTIME_DIR= ALSOFT_DRIVERS=no-such-driver "$PROGRAM" --window-id "$first_window"
    first=$LAST_PID
    wait_for_scene "$first_window" 320 240 "$first"
    [ -e "$XDG_STATE_HOME/sylvora/sound.lock" ] || fail "no lock file in the state directory"
    start XDG_RUNTIME_DIR= ALSOFT_DRIVERS=wave ALSOFT_CONF="$WORK/alsoft.conf" "$PROGRAM" --window-id "$second_window"
    second=$LAST_PID
    wait_for_scene "$second_window" 320 240 "$second"
    sleep 1
    [ -s "$WORK/sound.wav" ] || fail "the lock was kept by a copy that could not play"
    expect_clean_stop TERM "$first"
    expect_clean_stop TERM "$second"
    ;;
  stop_then_destroy|destroy_then_stop|destroy_only)
    runs=${HACK_STOP_RUNS:-50}
    # Seconds until a copy's scene runs here (longer under the sanitizers).
    settle=${HACK_SETTLE_SECONDS:-1.5}
    for run in $(seq 1 "$runs"); do
      daemon_window 320 240 10 10; id=$WINDOW; daemon=${PIDS[-1]}
      rm -f "$USER_OPTIONS"
      start XSCREENSAVER_WINDOW="$(printf '0x%x' "$id")" "$PROGRAM" --root
      pid=$LAST_PID
      # A signal before the program catches it ends it as it ends any process, before it has taken
      # anything; from then on every stop must be a clean one.
      wait_for_caught_term "$pid"
      # Anywhere from the copy's start-up to the first second of its running scene.
      delay=$(awk -v r="$run" -v s="$settle" 'BEGIN { printf "%.2f", (r * 37 % 100) / 100 * (s + 1) }')
      # A stop is seen between any two start-up steps and within 0.2 s of a running scene; on a busy
      # machine a step takes longer, and three seconds (HACK_STOP_LIMIT_SECONDS) is what the copy may take
      # to end.
      limit=$((${HACK_STOP_LIMIT_SECONDS:-3} * 10)); sleep "$delay"
      still_running "$pid" || fail "run $run ended by itself: $(cat "$WORK/out-$((${#PIDS[@]} - 1)).txt")"
      # A scene in the window means start-up, which reads the options, is over: they must be saved then.
      # (How far a busy machine got by a given moment is not known otherwise.)
      b=$(patch_brightness "$id" "16x16+152+112")
      drawn=$(awk -v b="${b:-0}" 'BEGIN { print (b > 0.02) ? 1 : 0 }')
      case "$CASE" in
        stop_then_destroy) kill -TERM "$pid"; kill -TERM "$daemon" ;;
        destroy_then_stop) kill -TERM "$daemon"; sleep "0.$((run % 3 + 1))"; kill -TERM "$pid" 2>/dev/null ;;
        destroy_only) kill -TERM "$daemon" ;;
      esac
      waited=0
      while [ "$waited" -lt "$limit" ] && still_running "$pid"; do sleep 0.1; waited=$((waited + 1)); done
      [ "$waited" -gt "${slowest:=0}" ] && slowest=$waited
      still_running "$pid" && fail "run $run: the program was still running $((limit / 10)) s after the daemon ended it"
      wait "$pid"; rc=$?
      out="$WORK/out-$((${#PIDS[@]} - 1)).txt"
      [ "$rc" -eq 0 ] || fail "run $run: exit code $rc: $(cat "$out")"
      [ ! -s "$out" ] || fail "run $run: the program said: $(cat "$out")"
      # A copy stopped before it read its options has none to save; once it has, they are saved whole.
      if [ -e "$USER_OPTIONS" ] || [ "$drawn" -eq 1 ]; then
        grep -q "^nature_view = " "$USER_OPTIONS" 2>/dev/null || fail "run $run: options.ini was not saved"
      fi
      wait "$daemon" 2>/dev/null
    done
    if pgrep -f -- "^$PROGRAM --root" >/dev/null; then fail "copies were left running"; fi
    echo "$runs runs ended cleanly; the slowest stop took $slowest tenths of a second"
    ;;
  real_daemon)
    real_daemon_cycles 10
    ;;
  mate_daemon)
    mate_daemon_cycles 10
    ;;
  *)
    fail "unknown case $CASE"
    ;;
esac
echo "PASS: $CASE"
