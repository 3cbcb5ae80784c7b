#!/usr/bin/env bash
# One scene held still full screen on the native path where SDL sees two displays, as on a real
# dual-head X set-up: one X screen of an X server with the dummy video driver, whose two outputs
# stand side by side, A at 1920 x 1080 and B at 1280 x 1024, which leaves a 1280 x 56 strip below B that
# no output shows. With no window manager, the window must cover both itself: each shows what a display
# of its own size shows, the strip is black (the server's root is grey), and a key ends the
# program. The shots stay in the work directory (displays-3200x1080.png, shape-WxH.png).
# Usage: displays_e2e.sh <sylvora> <install-path file> <content dir> <work dir>
set -uo pipefail
source "$(dirname "$0")/shots.sh"
for tool in Xorg xrandr xdotool xsetroot; do command -v $tool >/dev/null || { echo "no $tool"; exit $SKIP; }; done
[ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || { echo "no dummy video driver for Xorg"; exit $SKIP; }
[ "$(id -u)" -eq 0 ] || { echo "Xorg takes a configuration of our own from root only"; exit $SKIP; }

for size in 1920x1080 1280x1024; do
  start_xvfb "${size}x24" || fail "no display of $size"
  SHOT="$WORK/shape-$size.png" shoot /s --view 5 --wildlife 0 --drift 0
  stop_xvfb
done

# The X server with two outputs; a server that cannot start here (no such driver, no rights) skips.
cat > "$WORK/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  SubSection "Display"
    Depth 24
    Virtual 3200 1080
  EndSubSection
EndSection
CONF
mkdir -p "$WORK/xorg.conf.d"
for n in $(seq 90 140); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
Xorg ":$n" -config "$WORK/xorg.conf" -configdir "$WORK/xorg.conf.d" -logfile "$WORK/xorg.log" -noreset \
  -nolisten tcp -novtswitch -sharevts >/dev/null 2>&1 &
XORG_PID=$!
on_exit 'kill $XORG_PID 2>/dev/null && wait $XORG_PID 2>/dev/null'
export DISPLAY=":$n"
for _ in $(seq 1 200); do
  xrandr >/dev/null 2>&1 && break
  kill -0 $XORG_PID 2>/dev/null || { echo "Xorg did not start: $(tail -5 "$WORK/xorg.log")"; exit $SKIP; }
  sleep 0.1
done
xrandr >/dev/null 2>&1 || fail "Xorg runs but did not answer within 20 s: $(tail -5 "$WORK/xorg.log")"
xrandr --output DUMMY0 --mode 1920x1080 --pos 0x0 && xrandr --addmode DUMMY1 1280x1024 &&
  xrandr --output DUMMY1 --mode 1280x1024 --right-of DUMMY0 || fail "xrandr could not set the two outputs"
# A full query also has the server look at its outputs again: only then does it list the second as connected
# to programs that read its current resources, as SDL does.
outputs=$(xrandr)
echo "$outputs" | grep " connected"
grep -q "DUMMY0 connected primary 1920x1080+0+0" <<< "$outputs" &&
  grep -q "DUMMY1 connected 1280x1024+1920+0" <<< "$outputs" || fail "the server does not show the two outputs"
# Grey, so that a strip the window leaves uncovered is not black, and the screen is uniform until drawn.
xsetroot -solid "#808080" || fail "xsetroot could not colour the root window"

end_with_key() {
  xdotool key space
  wait_for_exit "$PID" 10 || fail "a key did not end the program"
  PID=
  [ "$RC" -eq 0 ] || fail "exit code $RC after a key: $(cat "$WORK/out.txt")"
}
SHOT="$WORK/displays-3200x1080.png"
WHILE_SHOWN=end_with_key shoot /s --view 5 --wildlife 0 --drift 0
expect_shown_as_alone "$SHOT" A 1920x1080+0+0 "$WORK/shape-1920x1080.png"
expect_shown_as_alone "$SHOT" B 1280x1024+1920+0 "$WORK/shape-1280x1024.png"
expect_black "$SHOT" 1280x56+1920+1024 "the strip below B"
echo "PASS: two displays, one scene each as on a display of its own, ended by a key"
