# Shared by the scene-shooting end-to-end scripts, which take <sylvora> <install-path file> <content dir>
# <work dir>: an installation of the build's content, running the program until its scene is on the
# screen, and measuring shots with ImageMagick.
# shellcheck shell=bash
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
command -v Xvfb >/dev/null || { echo "no Xvfb"; exit $SKIP; }

PROGRAM="$1"
make_work_dir "$4"
make_install "$3"
point_install_path_file "$2"
on_exit stop_xvfb
PID=
on_exit '[ -n "$PID" ] && kill "$PID" 2>/dev/null && wait "$PID" 2>/dev/null'
export ALSOFT_DRIVERS=null
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Share (0..1) of the pixels of region $3 (WxH+X+Y) of $1 equal to their neighbour $2 ("+1+0" across,
# "+0+1" down): a flat or stretched area has many, a painted one few.
identical_share() {
  convert "$1" -crop "$3" +repage \( +clone -roll "$2" \) -compose difference -composite \
    -colorspace gray -threshold 0 -format "%[fx:1-mean]" info:
}

# Region $3 (WxH+X+Y) of the shot $1, monitor $2, shows what the shot $4 of a display of its own shows.
# Both are compared at half their size, and the bar is the filters' difference: monitors showing the
# frame at different scales have each copy scaled by the renderer, a display of its own on the software
# renderer has its pictures scaled once, at upload, by another filter. That leaves 0.012 and 0.024 at
# full size, 0.007 and 0.013 at half; a shift of one column still leaves 0.036 and 0.039 there.
expect_shown_as_alone() {
  convert "$1" -crop "$3" +repage "$WORK/monitor-$2.png"
  convert "$WORK/monitor-$2.png" -resize 50% "$WORK/monitor-$2-half.png"
  convert "$4" -resize 50% "$WORK/alone-$2-half.png"
  local d
  d=$(compare -metric RMSE "$WORK/alone-$2-half.png" "$WORK/monitor-$2-half.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
  echo "monitor $2 ($3) differs from the shot of a display of its own by $d"
  awk -v d="$d" 'BEGIN { exit !(d < 0.02) }' || fail "monitor $2 does not show what a display of its size shows (RMSE $d)"
}

# Region $2 of the shot $1, $3 in words, is black.
expect_black() {
  local brightest
  brightest=$(convert "$1" -crop "$2" +repage -format "%[max]" info:)
  echo "$3: brightest channel value $brightest"
  [ "$brightest" = "0" ] || fail "$3 is not black (brightest value $brightest)"
}

# Runs the program with arguments $@ until its scene is on the screen (a busy machine may take many
# seconds to start: the lower half of the screen stops being uniform), shoots the screen into $SHOT,
# runs the command $WHILE_SHOWN if one is named (the program's PID is in $PID), ends it by SIGTERM.
shoot() {
  "$PROGRAM" "$@" > "$WORK/out.txt" 2>&1 & PID=$!
  local drawn=0 share=1 width height
  for _ in $(seq 1 120); do
    kill -0 "$PID" 2>/dev/null || fail "the program ended early: $(cat "$WORK/out.txt")"
    import -window root "$SHOT" || fail "no screenshot"
    read -r width height < <(identify -format "%w %h" "$SHOT")
    share=$(identical_share "$SHOT" +1+0 "${width}x$((height / 2))+0+$((height / 2))")
    awk -v s="$share" 'BEGIN { exit !(s < 0.99) }' && { drawn=1; break; }
    sleep 0.5
  done
  [ "$drawn" -eq 1 ] || fail "no scene on the screen within a minute (ground area $share uniform)"
  [ -z "${WHILE_SHOWN:-}" ] || "$WHILE_SHOWN"
  [ -n "$PID" ] || return 0  # $WHILE_SHOWN ended the program itself
  kill -TERM "$PID"
  wait_for_exit "$PID" 5 || fail "SIGTERM did not end the program"
  PID=
  [ "$RC" -eq 0 ] || fail "exit code $RC: $(cat "$WORK/out.txt")"
}
