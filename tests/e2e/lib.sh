# Shared by the end-to-end scripts: the real KT4180.exe or the Windows-side test program under
# Wine on the harness's display, against the board simulator on pseudo-terminals mapped as COM
# ports. Usage in a script: source "$(dirname "$0")/lib.sh" "$@"   (arguments: exe, build dir)
set -euo pipefail
E2E_EXE=$1
E2E_BUILD=$2
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
"$E2E_ROOT/tools/wine-up"
source "$E2E_ROOT/tools/wine-env"
export DISPLAY=$(cat "$KT_WINE_DIR/display")
E2E_DEV=$WINEPREFIX/dosdevices
E2E_DIR=$E2E_BUILD/e2e-$(basename "$0" .sh)  # what the devices received
rm -rf "$E2E_DIR"; mkdir -p "$E2E_DIR"
E2E_PIDS=()
E2E_PORTS=()

fail() { echo "FAIL: $*" >&2; exit 1; }

# Ends what this script started (only in this checkout's prefix) and points its ports at nothing.
e2e_cleanup() {
  kt_kill_in_prefix KT4180.exe
  for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  for n in "${E2E_PORTS[@]}"; do rm -f "$E2E_DEV/com$n" "$E2E_DEV/com$n.off"; ln -sfn /nonexistent "$E2E_DEV/com$n"; done
  return 0
}
trap e2e_cleanup EXIT

# True while a program called $1 runs in this prefix.
e2e_running() {
  local p
  for p in $(pgrep -x "$1" 2>/dev/null); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

# Maps a device to COM$1 with the given command, started in the background, and waits for the link.
e2e_device() {
  local n=$1; shift
  "$@" >/dev/null &
  E2E_PIDS+=($!)
  E2E_PORTS+=("$n")
  for _ in $(seq 1 100); do [[ -L $E2E_DEV/com$n ]] && return 0; sleep 0.05; done
  fail "com$n not mapped"
}
# The board simulator on COM$1, recording what it receives in board.raw.
e2e_board() { e2e_device "$1" "$E2E_ROOT/build/native/kt4180-sim" --no-pacing --link "$E2E_DEV/com$1" --raw-log "$E2E_DIR/board.raw"; }

# Runs the suites matching the filter $1 of the Windows-side test program, which find the
# devices' records in KT_BOARD_DIR.
e2e_suites() {
  KT_BOARD_DIR="Z:${E2E_DIR//\//\\}" WINEDEBUG=-all "$KT_WINE64" "$E2E_BUILD/bin/kt_win_tests.exe" --gtest_filter="$1" </dev/null
}
