#!/usr/bin/env bash
# Runs the whole program full screen (sylvora /s) for N seconds on the current display and prints what
# a user pays for it: frames presented per second, the process's CPU over all its threads (SDL, Mesa,
# OpenAL), and its peak resident memory. The run ends as a daemon ends one, with SIGTERM.
# Usage: run_program.sh <sylvora> <present_counter.so> [seconds (default 10)]
set -euo pipefail
PROGRAM="$1"; COUNTER="$2"; SECONDS_TO_RUN="${3:-10}"
[ -n "${DISPLAY:-}" ] || { echo "run_program: no display" >&2; exit 2; }
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
TICKS="$(getconf CLK_TCK)"

ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}" SYLVORA_PRESENT_COUNT="$WORK/presents" LD_PRELOAD="$COUNTER" \
  "$PROGRAM" /s > "$WORK/out.txt" 2>&1 &
pid=$!
sleep 2  # start-up and the first frames are not what a running screensaver costs
frames() { od -An -N 8 -t u8 "$WORK/presents" | tr -d ' '; }  # the count, the record's first word
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
f0=$(frames); c0=$(cpu_ticks); t0=$(date +%s.%N)
sleep "$SECONDS_TO_RUN"
f1=$(frames); c1=$(cpu_ticks); t1=$(date +%s.%N)
peak_kb=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
kill -TERM "$pid"; wait "$pid" || true
awk -v f0="$f0" -v f1="$f1" -v c0="$c0" -v c1="$c1" -v t0="$t0" -v t1="$t1" -v hz="$TICKS" -v kb="$peak_kb" '
  BEGIN {
    wall = t1 - t0
    printf "frames per second: %.1f\n", (f1 - f0) / wall
    printf "process CPU, all threads: %.1f %% of one core\n", 100 * (c1 - c0) / hz / wall
    printf "peak resident memory: %.1f MB\n", kb / 1024
  }'
