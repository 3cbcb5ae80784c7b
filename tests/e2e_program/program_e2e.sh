#!/usr/bin/env bash
# The sylvora program end to end under the test display.
# Usage: program_e2e.sh <case> <sylvora> <install-path file> <make_test_install> <counting_rand.so> <work dir>
#   scene_colours    scene 0 standing still: ground, overlay, foreground and the sky through the colour-keyed
#                    holes at known points of a screenshot; a held key ends it with exit 0 and a saved options.ini
#   sound_recording  OpenAL Soft's wave backend records the looping background and bird songs
set -uo pipefail
source "$(dirname "$0")/../e2e/lib.sh"
CASE="$1"; PROGRAM="$2"; CONF="$3"; MAKE_INSTALL="$4"; COUNTING_RAND="$5"
need_display

# The user's settings live in the work directory; the installation's options.ini is the machine's defaults.
make_work_dir "$6"
make_install
point_install_path_file "$CONF"
PID=
on_exit '[ -n "$PID" ] && kill "$PID" 2>/dev/null && wait "$PID" 2>/dev/null'
# Full-screen runs load the renderer's GL driver, whose allocations outlive the module that made them and
# so cannot be named in a suppression; the program's own code is leak-checked by the unit tests.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Ends the running program with a held key, as a person would; checks exit 0, the user's options.ini
# saved with the scene the machine's defaults chose, and the installation left as it was.
end_with_key() {
  note_install
  xdotool keydown space; sleep 0.3; xdotool keyup space
  wait_for_exit "$PID" 10 || fail "a held key did not end the program"
  PID=
  [ "$RC" -eq 0 ] || fail "exit code $RC"
  grep -q "^nature_view = 0;" "$USER_OPTIONS" || fail "the user's options.ini was not saved with the scene"
  expect_install_untouched
}

# "r g b" of the screenshot pixel at (x, y).
pixel() {
  convert "$WORK/screen.png" -format "%[fx:round(255*p{$1,$2}.r)] %[fx:round(255*p{$1,$2}.g)] %[fx:round(255*p{$1,$2}.b)]" info:
}

# Whether the screen pixel under scene point (x, y) of the 640 x 480 frame is 0xRRGGBB, 12 per channel;
# COLOUR says what it is.
colour_is() {
  local x=$(( $1 * SCREEN_W / 640 )) y=$(( $2 * SCREEN_H / 480 )) want=$3
  read -r r g b <<< "$(pixel "$x" "$y")"
  COLOUR="$r,$g,$b at ($x,$y)"
  local wr=$(( want >> 16 & 255 )) wg=$(( want >> 8 & 255 )) wb=$(( want & 255 ))
  for pair in "$r $wr" "$g $wg" "$b $wb"; do
    set -- $pair
    [ $(( $1 > $2 ? $1 - $2 : $2 - $1 )) -le 12 ] || return 1
  done
}

# Checks the screen pixel under scene point (x, y) against 0xRRGGBB, naming it $4 when it differs.
expect_colour() {
  colour_is "$1" "$2" "$3" || fail "$4 is $COLOUR, expected $(printf '%06X' "$3")"
  echo "ok: $4 is $COLOUR"
}

case "$CASE" in
  scene_colours)
    "$MAKE_INSTALL" "$INSTALL" || fail "could not make the test installation"
    "$PROGRAM" /s > "$WORK/out.txt" 2>&1 & PID=$!
    read -r SCREEN_W SCREEN_H <<< "$(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')"
    # The scene is shot once its ground shows (a busy machine may take many seconds to start).
    for _ in $(seq 1 120); do
      kill -0 "$PID" 2>/dev/null || fail "the program ended early: $(cat "$WORK/out.txt")"
      import -window root "$WORK/screen.png" || fail "no screenshot"
      colour_is 400 400 0x3C8C28 && break
      sleep 0.5
    done
    expect_colour 400 400 0x3C8C28 "ground"
    expect_colour 400 10 0x2850B4 "overlay"
    expect_colour 200 10 0xB4A050 "foreground"
    read -r r g b <<< "$(pixel $(( 10 * SCREEN_W / 640 )) $(( 100 * SCREEN_H / 480 )))"
    [ "$r" -ge 180 ] && [ "$r" -le 204 ] && [ "$g" -le 12 ] || fail "sky through the holes is $r,$g,$b"
    echo "ok: sky through the colour-keyed holes is $r,$g,$b"
    end_with_key
    ;;
  sound_recording)
    "$MAKE_INSTALL" "$INSTALL" --sounds || fail "could not make the test installation"
    printf '[general]\ndrivers=wave\n[wave]\nfile=%s\n' "$WORK/recording.wav" > "$WORK/alsoft.conf"
    ALSOFT_CONF="$WORK/alsoft.conf" ALSOFT_DRIVERS=wave LD_PRELOAD="$COUNTING_RAND" \
      ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0" "$PROGRAM" /s > "$WORK/out.txt" 2>&1 & PID=$!
    # Five seconds of sound recorded, however long a busy machine took to start: the wave file grows by
    # its byte rate (header bytes 28..31) every second.
    recorded=0
    for _ in $(seq 1 600); do
      kill -0 "$PID" 2>/dev/null || fail "the program ended early: $(cat "$WORK/out.txt")"
      if [ -s "$WORK/recording.wav" ]; then
        rate=$(od -An -tu4 -j28 -N4 "$WORK/recording.wav" | tr -d ' ')
        recorded=$(( ($(stat -c %s "$WORK/recording.wav") - 44) / (${rate:-0} > 0 ? rate : 1) ))
        [ "${rate:-0}" -gt 0 ] && [ "$recorded" -ge 5 ] && break
      fi
      sleep 0.1
    done
    [ "$recorded" -ge 5 ] || fail "only $recorded s of sound recorded within a minute"
    end_with_key
    [ -s "$WORK/recording.wav" ] || fail "nothing was recorded"
    hum=$(sox "$WORK/recording.wav" -n remix - sinc -400 stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
    songs=$(sox "$WORK/recording.wav" -n remix - sinc 2500-3500 stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
    echo "background RMS $hum, songs RMS $songs"
    awk -v a="$hum" 'BEGIN {exit !(a > 0.02)}' || fail "the background is missing from the recording"
    awk -v a="$songs" 'BEGIN {exit !(a > 0.01)}' || fail "no bird song in the recording"
    ;;
  *) fail "unknown case $CASE" ;;
esac
echo "PASS: $CASE"
