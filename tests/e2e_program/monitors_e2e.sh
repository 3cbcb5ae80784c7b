#!/usr/bin/env bash
# One scene held still (the dandelion meadow, no creatures, the sky unmoved) full screen on the native
# path, from the build's content, on one 3200 x 1080 X screen split by XRandR into two monitors side by
# side: A, 1920 x 1080, and B, 1280 x 1024, which leaves a 1280 x 56 strip below B that no monitor
# shows. Each monitor shows what a display of its own size shows (shot here on such displays), the strip
# stays black, and the one program opens one sound output, which plays. The shots stay in the work
# directory (monitors-3200x1080.png, shape-WxH.png), for looking at.
# Usage: monitors_e2e.sh <sylvora> <install-path file> <content dir> <work dir>
set -uo pipefail
source "$(dirname "$0")/shots.sh"
command -v xrandr >/dev/null || { echo "no xrandr"; exit $SKIP; }

for size in 1920x1080 1280x1024; do
  start_xvfb "${size}x24" || fail "no display of $size"
  SHOT="$WORK/shape-$size.png" shoot /s --view 5 --wildlife 0 --drift 0
  stop_xvfb
done

start_xvfb 3200x1080x24 || fail "no display of 3200x1080"
xrandr --setmonitor A 1920/508x1080/286+0+0 none || fail "xrandr could not make monitor A"
xrandr --setmonitor B 1280/338x1024/271+1920+0 none || fail "xrandr could not make monitor B"
monitors=$(xrandr --listactivemonitors)
echo "$monitors"
grep -q " A 1920/508x1080/286+0+0" <<< "$monitors" && grep -q " B 1280/338x1024/271+1920+0" <<< "$monitors" ||
  fail "the server does not list the two monitors"

# While the scene shows: how many times the program has the sound recording open (once per sound output
# it opened), and the recording growing, a second's worth at least, however long a busy machine takes.
printf '[general]\ndrivers=wave\n[wave]\nfile=%s\n' "$WORK/sound.wav" > "$WORK/alsoft.conf"
count_sound_outputs() {
  local grown=0 rate size
  for _ in $(seq 1 600); do
    if [ -s "$WORK/sound.wav" ]; then
      rate=$(od -An -tu4 -j28 -N4 "$WORK/sound.wav" | tr -d ' ')
      size=$(stat -c %s "$WORK/sound.wav")
      [ "${rate:-0}" -gt 0 ] && [ "$size" -ge $((44 + rate)) ] && { grown=1; break; }
    fi
    sleep 0.1
  done
  OPENED=$(find "/proc/$PID/fd" -lname "$WORK/sound.wav" 2>/dev/null | wc -l)
  echo "sound outputs opened: $OPENED; recorded: $(stat -c %s "$WORK/sound.wav" 2>/dev/null || echo 0) bytes"
  [ "$grown" -eq 1 ] || fail "no second of sound recorded within a minute of the scene showing"
}
SHOT="$WORK/monitors-3200x1080.png" WHILE_SHOWN=count_sound_outputs ALSOFT_DRIVERS=wave \
  ALSOFT_CONF="$WORK/alsoft.conf" shoot /s --view 5 --wildlife 0 --drift 0
[ "$OPENED" -eq 1 ] || fail "$OPENED sound outputs opened, expected one"
stop_xvfb

SHOT="$WORK/monitors-3200x1080.png"
expect_shown_as_alone "$SHOT" A 1920x1080+0+0 "$WORK/shape-1920x1080.png"
expect_shown_as_alone "$SHOT" B 1280x1024+1920+0 "$WORK/shape-1280x1024.png"
expect_black "$SHOT" 1280x56+1920+1024 "the strip below B"
echo "PASS: two monitors, one scene each as on a display of its own, one sound"
