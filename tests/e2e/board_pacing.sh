#!/usr/bin/env bash
# The program against the simulator with pacing, as a user without a machine meets it: the
# plot is 80 s of moves but 6 s of line. Holding Stop leaves the board no more to do than the
# line in flight and its buffer, a position query during a run is answered at once, and a
# search right after a whole run finds the board within the program's probe window.
source "$(dirname "$0")/lib.sh" "$@"

dir=$E2E_DIR
# 800 cuts of 2.5 mm (0.1 s each), one 14-character line apiece, in rows back and forth.
awk 'BEGIN { printf "PU1000,1000;\r\n"
  for (i = 0; i < 800; i++) { r = int(i / 40); k = i % 40; if (r % 2) k = 39 - k
    printf "PD%d,%d;\r\n", 1000 + 100 * k, 1000 + 100 * r } }' >"$dir/cuts.plt"
# No position echoes: the only position reply is the query's.
printf '6=0\n' >"$dir/state.txt"
e2e_board 5 --state "$dir/state.txt" --log "$dir/board.log"
"$E2E_ROOT/tools/wine-profile" pltfile "Z:${dir//\//\\}\\cuts.plt"

start_program
kt_wait_pixels '*rgb(0,128,0) *rgb(255,255,224) ' 146,37 780,4 || fail "no board found or no preview"

received_cuts() { head -c "$1" "$dir/board.raw" | grep -c 'PD'; }
executed_cuts() { grep -c '^PD' "$dir/board.log" || true; }

kt_mouse click 40 412  # BtnRun
sleep 1.7
r0=$(received) e0=$(executed_cuts)
kt_mouse mousedown 156 412; sleep 0.3; kt_mouse mouseup 156 412  # BtnStop
kt_wait_quiet "$dir/board.raw" 15
r1=$(received) e1=$(executed_cuts)
echo "at Stop: received $r0 bytes, $e0 cuts done; afterwards $((r1 - r0)) bytes and $((e1 - e0)) cuts more"
((r1 < $(stat -c %s "$dir/cuts.plt"))) || fail "the run was not stopped"
((r1 - r0 <= 1500)) || fail "the board received $((r1 - r0)) bytes after Stop: the program ran ahead of the line"
# What the board had taken from the line but not done: at most the 512 bytes the simulator
# lets the PC run ahead of the line and the 128 characters of the board's buffer (12 a cut).
((e1 - e0 <= $(received_cuts "$r1") - $(received_cuts "$r0") + (512 + 128) / 12)) \
  || fail "after Stop the board did more than it received, the line ahead and its buffer"
((e1 == $(received_cuts "$r1"))) || fail "the board still had work 1.5 s after the program stopped sending"

# A whole run: the program sends ";" and then the file unchanged. A position query a second
# into it is answered at once (behind at most the line ahead and the buffer), with the position
# after the cut sent before it; the search starts the moment the last line is on the board's side.
kt_mouse click 40 412
sleep 0.7
kt_mouse click 156 356  # BtnQueryPosition
clicked=$(date +%s%N)
for _ in $(seq 1 60); do grep -q '^PX9876,3' "$dir/board.log" && break; sleep 0.05; done
echo "position query answered $(( ($(date +%s%N) - clicked) / 1000000 )) ms after the click"
grep -q '^PX9876,3' "$dir/board.log" || fail "the position query during the run was not answered within 3 s"
before=$(tr -d '\r' <"$dir/board.raw" | grep -B1 '^;PX9876,3' | head -1 | tr -d 'PD;')
reported=$(sed -n 's/^PX9876,3\tX=\([0-9]*\) Y=\([0-9]*\).*/\1,\2/p' "$dir/board.log")
[[ $reported == "$before" ]] || fail "the query reported $reported, not $before where the cut before it ended"
want=$((r1 + 3 + $(stat -c %s "$dir/cuts.plt") + 11))
for _ in $(seq 1 600); do (($(received) >= want)) && break; sleep 0.05; done
(($(received) >= want)) || fail "the whole run did not arrive ($(received) of $want bytes)"
kt_mouse click 48 16  # BtnFindController
# The probe ends with two line ends; the one the program sends on accepting makes three. A
# probe that went unanswered for 2.25 s would be followed by another.
after=
for _ in $(seq 1 200); do
  after=$(tail -c +$((want + 1)) "$dir/board.raw" | tr '\r\n' '<>')
  [[ $after == *'<><><>' ]] && break
  sleep 0.05
done
echo "search after the run: $after"
[[ $after == '<>px0,0<><><>' ]] || fail "the search after the run did not accept the board's first answer: $after"
echo ok
