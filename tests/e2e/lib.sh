# Shared by the end-to-end scripts: failure, clean-up at exit, the work directory with the user's own
# directories in it, a temporary installation named by the per-machine install-path file, and waiting
# for a program to end.
# shellcheck shell=bash

SKIP=77

fail() { echo "FAIL: $*"; exit 1; }

# A case without a display is skipped, not failed.
need_display() {
  [ -n "${DISPLAY:-}" ] || { echo "no display"; exit $SKIP; }
}

# Clean-up steps, run at exit newest first: a program is stopped before the files it used are put back.
# A step that may fail the case is registered before the ones that must run whatever happens.
CLEAN_UPS=()
on_exit() { CLEAN_UPS=("$1" "${CLEAN_UPS[@]}"); }
run_clean_ups() {
  local step
  for step in "${CLEAN_UPS[@]}"; do eval "$step" || true; done
}
trap run_clean_ups EXIT

# WORK: the directory $1, emptied first and kept afterwards for its screenshots and recordings, or a
# temporary one removed at exit. The user's settings and state live in it, never in the real home.
make_work_dir() {
  if [ -n "${1:-}" ]; then
    WORK="$1"
    rm -rf "$WORK"
    mkdir -p "$WORK"
  else
    WORK="$(mktemp -d)"
    on_exit 'rm -rf "$WORK"'
  fi
  export XDG_CONFIG_HOME="$WORK/config" XDG_STATE_HOME="$WORK/state"
  USER_OPTIONS="$XDG_CONFIG_HOME/sylvora/options.ini"
}

# INSTALL: an installation directory in WORK, holding links to data.nrx and its data file from the
# content directory $1 when one is given.
make_install() {
  INSTALL="$WORK/install"
  mkdir -p "$INSTALL"
  if [ -n "${1:-}" ]; then
    local file
    for file in data.nrx data.dat; do
      ln -s "$1/$file" "$INSTALL/$file" || fail "no $1/$file"
    done
  fi
}

# Points the per-machine install-path file $1 at INSTALL for this run; the file as it was, or its
# absence, comes back at exit.
point_install_path_file() {
  INSTALL_PATH_FILE="$1"
  mkdir -p "$(dirname "$INSTALL_PATH_FILE")"
  if [ -f "$INSTALL_PATH_FILE" ]; then cp "$INSTALL_PATH_FILE" "$WORK/saved.conf"; fi
  on_exit restore_install_path_file
  printf 'path=%s\n' "$INSTALL" > "$INSTALL_PATH_FILE"
}

restore_install_path_file() {
  if [ -f "$WORK/saved.conf" ]; then cp "$WORK/saved.conf" "$INSTALL_PATH_FILE"; else rm -f "$INSTALL_PATH_FILE"; fi
}

# The installation's listing (names, sizes, times): no run may change it.
install_listing() { find "$INSTALL" -printf '%p %s %T@ %m\n' | sort; }
note_install() { install_listing > "$WORK/install.before"; }
expect_install_untouched() {
  install_listing | cmp -s - "$WORK/install.before" || fail "the installation directory changed"
}

# Waits up to $2 seconds for process $1 to end and sets RC to its exit status; returns 1 while it runs.
wait_for_exit() {
  local tenths=$(($2 * 10))
  while kill -0 "$1" 2>/dev/null; do
    [ "$tenths" -gt 0 ] || return 1
    tenths=$((tenths - 1))
    sleep 0.1
  done
  RC=0
  wait "$1" || RC=$?
}
