#!/usr/bin/env bash
# Plot runs against the board simulator on COM4: runs the BoardPlot tests of the
# Windows-side test program.
source "$(dirname "$0")/lib.sh" "$@"

dir=$E2E_BUILD/e2e-plot
rm -rf "$dir"; mkdir -p "$dir"
dev=$WINEPREFIX/dosdevices
"$E2E_ROOT/build/native/kt4180-sim" --no-pacing --link "$dev/com4" --raw-log "$dir/board.raw" >/dev/null &
E2E_PIDS+=($!)
for _ in $(seq 1 100); do [[ -L $dev/com4 ]] && break; sleep 0.05; done
[[ -L $dev/com4 ]] || fail "com4 not mapped"
trap 'e2e_cleanup; rm -f "$dev/com4"; ln -sfn /nonexistent "$dev/com4"' EXIT

export KT_BOARD_DIR="Z:${dir//\//\\}"
export WINEDEBUG=-all
"$KT_WINE64" "$E2E_BUILD/bin/kt_win_tests.exe" --gtest_filter='BoardPlot.*' </dev/null
