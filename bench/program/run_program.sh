#!/usr/bin/env bash
# Runs the whole program full screen (sylvora /s, with any further arguments given, such as --retro) for
# N seconds on the current display and prints what a user pays for it: frames presented per second, the
# process's CPU over all its threads (SDL, Mesa, OpenAL) per second and per frame, its peak resident
# memory, the longest interval between two frames and how many came late (more than 25 ms, one and a
# half frame periods, after the one before), and the renderer that presented the frames at what output
# size. The run ends as a daemon ends one, with SIGTERM. sylvora runs as a fresh user of its own (the
# real user's settings are neither read nor rewritten); SCENE=<0..5> in the environment fixes its scene,
# which is otherwise chosen at random, and CHANGE=<ms> changes the scene that often, for the intervals
# around a change.
# Usage: [SCENE=n] [CHANGE=ms] run_program.sh <sylvora> <present_counter.so> [seconds (default 10)] [sylvora argument...]
set -euo pipefail
PROGRAM="$1"; COUNTER="$2"; SECONDS_TO_RUN="${3:-10}"
shift $(( $# < 3 ? $# : 3 ))
[ -n "${DISPLAY:-}" ] || { echo "run_program: no display" >&2; exit 2; }
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
TICKS="$(getconf CLK_TCK)"
mkdir -p "$WORK/config/sylvora" "$WORK/state"
[ -z "${SCENE:-}" ] || echo "nature_view = $SCENE;" >> "$WORK/config/sylvora/options.ini"
[ -z "${CHANGE:-}" ] || echo "nature_change_freq = $CHANGE;" >> "$WORK/config/sylvora/options.ini"

XDG_CONFIG_HOME="$WORK/config" XDG_STATE_HOME="$WORK/state" ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}" \
  SYLVORA_PRESENT_COUNT="$WORK/presents" LD_PRELOAD="$COUNTER" "$PROGRAM" /s "$@" > "$WORK/out.txt" 2>&1 &
pid=$!
sleep 2  # start-up and the first frames are not what a running screensaver costs
# The record present_counter keeps: the count (first word), the renderer's name and its output size.
frames() { od -An -N 8 -t u8 "$WORK/presents" | tr -d ' '; }
renderer() { dd if="$WORK/presents" bs=1 skip=16 count=40 status=none | tr -d '\0'; }
output_size() { od -An -j 56 -N 8 -t d4 "$WORK/presents" | awk '{print $1 " x " $2}'; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
late() { od -An -j 80 -N 8 -t u8 "$WORK/presents" | tr -d ' '; }
longest_gap_ns() { od -An -j 72 -N 8 -t u8 "$WORK/presents" | tr -d ' '; }
# The longest interval is counted from here on: start-up's are not a running screensaver's.
head -c 8 /dev/zero | dd of="$WORK/presents" bs=1 seek=72 conv=notrunc status=none
f0=$(frames); c0=$(cpu_ticks); t0=$(date +%s.%N); l0=$(late)
sleep "$SECONDS_TO_RUN"
f1=$(frames); c1=$(cpu_ticks); t1=$(date +%s.%N); l1=$(late); gap=$(longest_gap_ns)
peak_kb=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
kill -TERM "$pid"; wait "$pid" || true
echo "sylvora /s${*:+ $*}${SCENE:+, scene $SCENE}${CHANGE:+, a change every $CHANGE ms}: renderer $(renderer), output $(output_size)"
awk -v f0="$f0" -v f1="$f1" -v c0="$c0" -v c1="$c1" -v t0="$t0" -v t1="$t1" -v hz="$TICKS" -v kb="$peak_kb" \
  -v late="$((l1 - l0))" -v gap="$gap" '
  BEGIN {
    wall = t1 - t0
    cpu = (c1 - c0) / hz
    printf "frames per second: %.1f\n", (f1 - f0) / wall
    printf "process CPU, all threads: %.1f %% of one core\n", 100 * cpu / wall
    if (f1 > f0) printf "process CPU per frame: %.2f ms\n", 1000 * cpu / (f1 - f0)
    printf "peak resident memory: %.1f MB\n", kb / 1024
    printf "longest frame interval: %.1f ms; frames later than 25 ms: %d\n", gap / 1e6, late
  }'
