#!/usr/bin/env bash
# A program run as a user types it, with no display, in an empty directory and with the user's
# directories not made yet: checks its exit code, the first line of its output, a text in its error
# output, and that it made no file or directory at all.
# Usage: command_line_e2e.sh <exit code> <first line of output, empty for no output>
#                            <text in the error output, empty for none> <program> [arguments...]
set -uo pipefail
source "$(dirname "$0")/lib.sh"
EXPECTED_RC="$1"; FIRST_LINE="$2"; ERROR_TEXT="$3"; shift 3

make_work_dir
mkdir "$WORK/run"
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime"
RC=0
(cd "$WORK/run" && env -u DISPLAY -u WAYLAND_DISPLAY "$@" > "$WORK/out.txt" 2> "$WORK/err.txt") || RC=$?
said() { cat "$WORK/out.txt" "$WORK/err.txt"; }

[ "$RC" -eq "$EXPECTED_RC" ] || fail "exit code $RC; it said: $(said)"
if [ -n "$FIRST_LINE" ]; then
  [ "$(head -n 1 "$WORK/out.txt")" = "$FIRST_LINE" ] || fail "its output began: $(head -n 1 "$WORK/out.txt")"
else
  [ ! -s "$WORK/out.txt" ] || fail "it wrote: $(cat "$WORK/out.txt")"
fi
if [ -n "$ERROR_TEXT" ]; then
  grep -qF -- "$ERROR_TEXT" "$WORK/err.txt" || fail "its error output lacks \"$ERROR_TEXT\": $(cat "$WORK/err.txt")"
else
  [ ! -s "$WORK/err.txt" ] || fail "its error output: $(cat "$WORK/err.txt")"
fi
made=$(find "$WORK" -mindepth 1 ! -path "$WORK/run" ! -path "$WORK/out.txt" ! -path "$WORK/err.txt")
[ -z "$made" ] || fail "it made: $made"
echo "PASS"
