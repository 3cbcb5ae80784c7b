#!/usr/bin/env bash
# One scene held still (the dandelion meadow, no creatures, the sky unmoved) full screen on the native
# path, from the build's content, on displays of four shapes of their own: 1440 x 1080 (4:3),
# 1920 x 1080 (16:9), 2520 x 1080 (21:9), 1280 x 1024 (5:4) and 3840 x 2160 (4K). The 4:3 shot is the
# middle of the wider ones, whose sides show painted scene (not black, not a smear); the 5:4 shot is the
# middle of the 4:3 one at its own height; the 4K shot is the 16:9 one at twice the size, with the finer
# pictures' detail. The shots stay in the work directory, shape-WxH.png, for looking at.
# Usage: shapes_e2e.sh <sylvora> <install-path file> <content dir> <work dir>
set -uo pipefail
source "$(dirname "$0")/shots.sh"

for size in 1440x1080 1920x1080 2520x1080 1280x1024 3840x2160; do
  start_xvfb "${size}x24" || fail "no display of $size"
  SHOT="$WORK/shape-$size.png" shoot /s --view 5 --wildlife 0 --drift 0
  stop_xvfb
done

# Root-mean-square difference (0..1) of two pictures of one size.
difference() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; }
# Mean brightness (0..1) of region $2 of $1.
brightness() { convert "$1" -crop "$2" +repage -colorspace gray -format "%[fx:mean]" info:; }
below() { awk -v v="$1" -v limit="$2" 'BEGIN { exit !(v < limit) }'; }

FOUR_THREE="$WORK/shape-1440x1080.png"
for wide in 1920 2520; do
  shot="$WORK/shape-${wide}x1080.png"
  side=$(((wide - 1440) / 2))
  convert "$shot" -crop "1440x1080+$side+0" +repage "$WORK/middle-$wide.png"
  d=$(difference "$FOUR_THREE" "$WORK/middle-$wide.png")
  echo "${wide}x1080: its middle differs from the 4:3 shot by $d"
  below "$d" 0.01 || fail "${wide}x1080: the middle 1440 columns are not the 4:3 shot (RMSE $d)"
  for strip in "${side}x540+0+540" "${side}x540+$((wide - side))+540"; do
    b=$(brightness "$shot" "$strip")
    across=$(identical_share "$shot" +1+0 "$strip")
    echo "${wide}x1080: side $strip brightness $b, identical neighbours across $across"
    below 0.05 "$b" || fail "${wide}x1080: the side $strip is black"
    below "$across" 0.2 || fail "${wide}x1080: the side $strip is a smear"
  done
done

# At 1024 rows the 4:3 shot is 1365 columns wide; the 5:4 display shows its middle 1280. Both are
# compared at a quarter of their size, where the two scales' filtering no longer counts.
convert "$FOUR_THREE" -resize x1024 -gravity center -crop 1280x1024+0+0 +repage -resize 25% "$WORK/four-three-middle.png"
convert "$WORK/shape-1280x1024.png" -resize 25% "$WORK/five-four-small.png"
d=$(difference "$WORK/four-three-middle.png" "$WORK/five-four-small.png")
echo "1280x1024: differs from the middle of the 4:3 shot by $d"
below "$d" 0.03 || fail "1280x1024: not the middle of the 4:3 shot (RMSE $d)"

# At 3840 x 2160 the frame is enlarged 4.5 times. Quartered, the shot is the 16:9 one halved: at that
# size the finer pictures' own detail no longer counts (0.019), and a shift of one 16:9 column still
# leaves 0.051. Its detail (how far it is from itself softened) must be well above the 16:9 shot's
# enlarged twice: drawn from the five-times pictures it is 1.65 times that, from the three-times ones,
# enlarged 1.5 times, 1.29.
detail() { convert "$1" \( +clone -blur 0x2 \) -compose difference -composite -colorspace gray -format "%[fx:mean]" info:; }
FOUR_K="$WORK/shape-3840x2160.png"
convert "$FOUR_K" -resize 25% "$WORK/4k-quartered.png"
convert "$WORK/shape-1920x1080.png" -resize 50% "$WORK/16-9-halved.png"
d=$(difference "$WORK/16-9-halved.png" "$WORK/4k-quartered.png")
echo "3840x2160: quartered, differs from the 16:9 shot halved by $d"
below "$d" 0.03 || fail "3840x2160: quartered, not the 16:9 shot halved (RMSE $d)"
convert "$WORK/shape-1920x1080.png" -resize 200% "$WORK/16-9-doubled.png"
fine=$(detail "$FOUR_K")
soft=$(detail "$WORK/16-9-doubled.png")
echo "3840x2160: detail $fine, the 16:9 shot doubled $soft"
below "$(awk -v s="$soft" 'BEGIN { print 1.45 * s }')" "$fine" || fail "3840x2160: soft (detail $fine against $soft)"
echo "PASS: five shapes, one scene, nothing stretched, 4K sharp"
