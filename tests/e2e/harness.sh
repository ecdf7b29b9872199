#!/usr/bin/env bash
# The Wine harness puts the tests on no display it did not start: not on one a caller asked
# for in an earlier call, not on one recorded beside a pid that another process has by now; and
# wine-down ends no such process. Only the display part runs, in a harness folder of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export KT_WINE_DIR=$2/e2e-harness
rm -rf "$KT_WINE_DIR" && mkdir -p "$KT_WINE_DIR"
source "$root/tools/wine-env"
unset KT_XVFB
fail() { echo "FAIL: $*" >&2; exit 1; }
started=() stand_in=
trap 'kill "${started[@]}" $stand_in 2>/dev/null; true' EXIT
up() { own=$(kt_display_up) && started+=("$(cat "$KT_WINE_DIR/xvfb.pid")"); }
record() { echo "$1" >"$KT_WINE_DIR/xvfb.pid"; echo "$2" >"$KT_WINE_DIR/display"; }

up || fail "no Xvfb"
[[ $(KT_XVFB=0 DISPLAY=:4711 kt_display_up) == :4711 ]] || fail "the display asked for was not used"
[[ $(kt_display_up) == "$own" && $(kt_display) == "$own" ]] || fail "a display asked for once was used again"

sleep 100 &
stand_in=$!
record "$stand_in" :4712
up || fail "no Xvfb"
[[ $own != :4712 && $(kt_display) == "$own" ]] || fail "the display of a pid that is no Xvfb was used"
record "$stand_in" :4712
"$root/tools/wine-down"
kill -0 "$stand_in" 2>/dev/null || fail "wine-down ended a process that was not its Xvfb"
