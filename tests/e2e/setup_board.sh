#!/usr/bin/env bash
# The setup dialog against the board simulator on COM8: runs the BoardSetup tests of the
# Windows-side test program, which read, compare, write and reset the simulated board's
# registers and check the bytes it received.
source "$(dirname "$0")/lib.sh" "$@"

dir=$E2E_BUILD/e2e-setup
rm -rf "$dir"; mkdir -p "$dir"
dev=$WINEPREFIX/dosdevices
"$E2E_ROOT/build/native/kt4180-sim" --no-pacing --link "$dev/com8" --raw-log "$dir/board.raw" >/dev/null &
E2E_PIDS+=($!)
for _ in $(seq 1 100); do [[ -L $dev/com8 ]] && break; sleep 0.05; done
[[ -L $dev/com8 ]] || fail "com8 not mapped"
# Only what this script started is stopped.
cleanup() {
  for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -f "$dev/com8"; ln -sfn /nonexistent "$dev/com8"
}
trap cleanup EXIT

export KT_BOARD_DIR="Z:${dir//\//\\}"
export WINEDEBUG=-all
"$KT_WINE64" "$E2E_BUILD/bin/kt_win_tests.exe" --gtest_filter='BoardSetup.*' </dev/null
