#!/usr/bin/env bash
# The manual panel against the board simulator on COM6: runs the BoardJog tests of the
# Windows-side test program, which press the jog images and type commands with real input.
# KT_JOG_FILTER narrows them down (a gtest filter).
source "$(dirname "$0")/lib.sh" "$@"

dir=$E2E_BUILD/e2e-manual
rm -rf "$dir"; mkdir -p "$dir"
dev=$WINEPREFIX/dosdevices
"$E2E_ROOT/build/native/kt4180-sim" --no-pacing --link "$dev/com6" --raw-log "$dir/board.raw" >/dev/null &
E2E_PIDS+=($!)
for _ in $(seq 1 100); do [[ -L $dev/com6 ]] && break; sleep 0.05; done
[[ -L $dev/com6 ]] || fail "com6 not mapped"
# Only what this script started is stopped.
cleanup() {
  for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -f "$dev/com6"; ln -sfn /nonexistent "$dev/com6"
}
trap cleanup EXIT

export KT_BOARD_DIR="Z:${dir//\//\\}"
export WINEDEBUG=-all
"$KT_WINE64" "$E2E_BUILD/bin/kt_win_tests.exe" --gtest_filter="${KT_JOG_FILTER:-BoardJog*}" </dev/null
