#!/usr/bin/env bash
# Every scene full screen on a 1920 x 1080 display of its own, drawn by the native path and by the
# classic one (--retro), from the build's content. In the ground area (the lower half of the screen) a
# native shot has fewer than 20 % of neighbouring pixels, across and down, identical; a classic shot
# keeps the copies its stretched frame pixels make (over half across). The shots stay in the work
# directory, scene-N-native.png and scene-N-classic.png, for looking at.
# Usage: scenes_e2e.sh <sylvora> <install-path file> <content dir> <work dir>
set -uo pipefail
source "$(dirname "$0")/shots.sh"
start_xvfb 1920x1080x24 || fail "no display of 1920 x 1080"

# The first run writes the user's options.ini in full; each scene is then chosen in it.
SHOT="$WORK/first.png" shoot /s
grep -q "^nature_view = " "$USER_OPTIONS" || fail "options.ini was not saved"
for scene in 0 1 2 3 4 5; do
  sed -i "s/^nature_view = .*/nature_view = $scene;/" "$USER_OPTIONS"
  for path in native classic; do
    SHOT="$WORK/scene-$scene-$path.png"
    if [ "$path" = native ]; then shoot /s; else shoot /s --retro; fi
    across=$(identical_share "$SHOT" +1+0 1920x540+0+540)
    down=$(identical_share "$SHOT" +0+1 1920x540+0+540)
    echo "scene $scene $path: identical neighbours across $across, down $down"
    if [ "$path" = native ]; then
      awk -v a="$across" -v d="$down" 'BEGIN { exit !(a < 0.2 && d < 0.2) }' \
        || fail "scene $scene: the native shot has the look of stretched pixels"
    else
      awk -v a="$across" 'BEGIN { exit !(a > 0.5) }' || fail "scene $scene: the classic shot is not the classic path's"
    fi
  done
done
echo "PASS: six scenes in both paths"
