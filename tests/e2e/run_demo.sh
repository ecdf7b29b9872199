#!/usr/bin/env bash
# tools/run without a display plots a file as a person would; the program's preview of
# the run and the simulator's drawing then show the same lines (each at its own scale, the
# same way up: a spiral has no mirror image of itself) in the same pen colours.
source "$(dirname "$0")/lib.sh" "$@"

dir=$E2E_BUILD/e2e-run
rm -rf "$dir"; mkdir -p "$dir"
out=$(env -u DISPLAY "$E2E_ROOT/tools/run" --com 9 --plot "$E2E_ROOT/examples/spiral.plt" 2>&1) || fail "tools/run: $out"
shot=$(sed -n 's/^screenshot: //p' <<<"$out")
drawing=$(sed -n 's/^drawing: //p' <<<"$out")
[[ -f $shot && -f $drawing ]] || fail "tools/run named no pictures: $out"
# The preview control lies at 206,2 of the client area, 581 x 412.
$KT_CONVERT "$shot" -crop 581x412+206+2 +repage "$dir/preview.png"

# Pen colours: everything but the paper (light green during a run, light yellow in the drawing).
colours() { $KT_CONVERT "$1" -format %c histogram:info:- | grep -o '#[0-9A-F]\{6\}' | grep -v '#90EE90\|#FFFFE0' | sort; }
[[ $(colours "$dir/preview.png") == "$(colours "$drawing")" ]] \
  || fail "pen colours differ: preview $(colours "$dir/preview.png" | xargs), drawing $(colours "$drawing" | xargs)"
[[ -n $(colours "$drawing") ]] || fail "nothing drawn"

# Lines: the ink of each, cut to its extent and brought to one size; ink of one picture that
# lies more than three pixels from the other's counts as missing.
for p in preview drawing; do
  src=$dir/preview.png; [[ $p == drawing ]] && src=$drawing
  $KT_CONVERT "$src" -colorspace Gray -threshold 50% -negate -trim +repage -resize '400x400!' -threshold 5% "$dir/$p-ink.png"
  $KT_CONVERT "$dir/$p-ink.png" -morphology Dilate Disk:3 -negate "$dir/$p-far.png"
done
missing() { # ink of $1 far from $2's, as a share of $1's ink
  local ink far
  ink=$($KT_CONVERT "$dir/$1-ink.png" -format '%[fx:mean]' info:)
  far=$($KT_CONVERT "$dir/$1-ink.png" "$dir/$2-far.png" -compose Multiply -composite -format '%[fx:mean]' info:)
  awk "BEGIN { printf \"%.4f\", $far / $ink }"
}
a=$(missing preview drawing) b=$(missing drawing preview)
echo "ink of the preview missing in the drawing: $a; of the drawing missing in the preview: $b"
awk "BEGIN { exit !($a < 0.02 && $b < 0.02) }" || fail "the pictures show different lines (see $dir)"
echo ok
