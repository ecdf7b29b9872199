#!/usr/bin/env bash
# tools/run without a display plots a file as a person would, and names the program's
# screenshot and the simulator's drawing; the preview of the run and the drawing show the same
# pen colors. The lines themselves are checked where they are made: what the board receives
# by the plot-run script, the preview's and the simulator's pictures by their unit tests.
source "$(dirname "$0")/lib.sh" "$@"

out=$(env -u DISPLAY "$E2E_ROOT/tools/run" --com 9 --plot "$E2E_ROOT/examples/spiral.plt" 2>&1) || fail "tools/run: $out"
shot=$(sed -n 's/^screenshot: //p' <<<"$out")
drawing=$(sed -n 's/^drawing: //p' <<<"$out")
[[ -f $shot && -f $drawing ]] || fail "tools/run named no pictures: $out"
# The preview control lies at 206,2 of the client area, 581 x 412.
$KT_CONVERT "$shot" -crop 581x412+206+2 +repage "$E2E_DIR/preview.png"

# Pen colors: everything but the paper (light green during a run, light yellow in the drawing).
colors() { $KT_CONVERT "$1" -format %c histogram:info:- | grep -o '#[0-9A-F]\{6\}' | grep -v '#90EE90\|#FFFFE0' | sort; }
[[ $(colors "$E2E_DIR/preview.png") == "$(colors "$drawing")" ]] \
  || fail "pen colors differ: preview $(colors "$E2E_DIR/preview.png" | xargs), drawing $(colors "$drawing" | xargs)"
[[ -n $(colors "$drawing") ]] || fail "nothing drawn"

echo ok
