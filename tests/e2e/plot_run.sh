#!/usr/bin/env bash
# Plot runs against the board simulator on COM3 with pacing: Run sends every line, Step waits
# before each and Stop held ends it; holding Stop in 80 s of moves leaves the board only the line
# in flight and its buffer; a position query mid-run is answered at once; a search right after a
# run finds the board; closing mid-run ends the program as fast as idle and sends nothing more; a
# board that goes away is told once. The demo program runs the same against its own board.
source "$(dirname "$0")/lib.sh" "$@"

printf '6=0\n' >"$E2E_DIR/state.txt"  # no position echoes: the only position reply is the query's
e2e_board 3 --state "$E2E_DIR/state.txt" --log "$E2E_DIR/board.log"
start_program
wait_indicator
for i in $(seq 0 99); do printf 'PA%d,0;\r\n' "$i"; done >"$E2E_DIR/lines.plt"
open_plot "$E2E_DIR/lines.plt"
mark=$(received)
kt_mouse click 40 412  # BtnRun
expect_received "$mark" ";\r\n$(sed 's/\r$/\\r\\n/' "$E2E_DIR/lines.plt" | tr -d '\n')" "an automatic run"
mark=$(received)
kt_mouse click 96 412; sleep 0.5  # BtnStep
expect_received "$mark" ';\r\n' "only the first line before a step wait"
kt_mouse mousedown 156 412; sleep 0.3; kt_mouse mouseup 156 412  # BtnStop
expect_received "$mark" ';\r\nPA0,0;\r\n' "Stop held in a step wait"

# 800 cuts of 2.5 mm (0.1 s each), one 14-character line apiece, in rows back and forth.
awk 'BEGIN { printf "PU1000,1000;\r\n"
  for (i = 0; i < 800; i++) { r = int(i / 40); k = i % 40; if (r % 2) k = 39 - k
    printf "PD%d,%d;\r\n", 1000 + 100 * k, 1000 + 100 * r } }' >"$E2E_DIR/cuts.plt"
received_cuts() { head -c "$1" "$E2E_DIR/board.raw" | grep -c 'PD'; }
executed_cuts() { grep -c '^PD' "$E2E_DIR/board.log" || true; }

open_plot "$E2E_DIR/cuts.plt"
base=$(received)
kt_mouse click 40 412  # BtnRun
sleep 1.7
r0=$(received) e0=$(executed_cuts)
kt_mouse mousedown 156 412; sleep 0.3; kt_mouse mouseup 156 412  # BtnStop
kt_wait_quiet "$E2E_DIR/board.raw" 15
r1=$(received) e1=$(executed_cuts)
echo "at Stop: received $((r0 - base)) bytes, $e0 cuts done; afterwards $((r1 - r0)) bytes and $((e1 - e0)) cuts more"
((r1 - base < $(stat -c %s "$E2E_DIR/cuts.plt"))) || fail "the run was not stopped"
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
kt_retry 60 0.05 grep -q '^PX9876,3' "$E2E_DIR/board.log" || fail "the position query during the run was not answered within 3 s"
echo "position query answered $(( ($(date +%s%N) - clicked) / 1000000 )) ms after the click"
before=$(tr -d '\r' <"$E2E_DIR/board.raw" | grep -B1 '^;PX9876,3' | head -1 | tr -d 'PD;')
reported=$(sed -n 's/^PX9876,3\tX=\([0-9]*\) Y=\([0-9]*\).*/\1,\2/p' "$E2E_DIR/board.log")
[[ $reported == "$before" ]] || fail "the query reported $reported, not $before where the cut before it ended"
if [[ $E2E_DEMO == 1 ]]; then
  # The demo's board takes the 80 s the moves need: the run is stopped, and the search follows
  # what the board has in hand.
  kt_mouse mousedown 156 412; sleep 0.3; kt_mouse mouseup 156 412  # BtnStop
  kt_wait_quiet "$E2E_DIR/board.raw" 5
  want=$(received)
else
  want=$((r1 + 3 + $(stat -c %s "$E2E_DIR/cuts.plt") + 11))
  kt_retry 600 0.05 received_at_least "$want" || fail "the whole run did not arrive ($(received) of $want bytes)"
fi
kt_mouse click 48 16  # BtnFindController
# The probe ends with two line ends; the one the program sends on accepting makes three. A
# probe that went unanswered for 2.25 s would be followed by another.
search_ended() { after=$(tail -c +$((want + 1)) "$E2E_DIR/board.raw" | tr '\r\n' '<>'); [[ $after == *'<><><>' ]]; }
kt_retry 200 0.05 search_ended || true
echo "search after the run: $after"
[[ $after == '<>px0,0<><><>' ]] || fail "the search after the run did not accept the board's first answer: $after"

# 4000 lines, about 100 kB: a minute of work for the board.
awk 'BEGIN { printf "IN;SP1;PU0,0;PD;\r\n"; for (i = 0; i < 4000; i++) printf "PA%d,%d;PA%d,%d;\r\n", i % 400, 0, i % 400, 300 }' \
  >"$E2E_DIR/long.plt"
open_plot "$E2E_DIR/long.plt"
mark=$(received)
kt_mouse click 40 412; sleep 1.5
(( $(received) > mark )) || fail "the run sent nothing"
gone=$(close_program) || fail "the program was still running 5 s after its dialog was closed"
sleep 2  # what was on its way in the line's buffers still arrives
total=$(stat -c %s "$E2E_DIR/long.plt")
(( $(received) - mark < total / 2 )) || fail "the board received $(( $(received) - mark )) of $total bytes after the close"
echo "closed mid-run: the board received $(( $(received) - mark )) of $total bytes"

if [[ $E2E_DEMO == 1 ]]; then
  start_program
  wait_indicator
else
  kill "$E2E_LAST"
  rm -f "$(kt_com 3)"
  e2e_board 3
  start_program
  wait_indicator
  open_plot "$E2E_DIR/long.plt"
  kt_mouse click 40 412; sleep 1.5
  kill "$E2E_LAST"
  box=$(timeout 10 xdotool search --sync --name '^CNC\?$' | head -1) || fail "no message that the connection was lost"
  xdotool windowfocus "$box" 2>/dev/null || true
  xdotool key Return; sleep 0.5
  wait_indicator 255,0,0
  sleep 2.5  # Wine's wait for a window manager to withdraw the box
  [[ -z $(xdotool search --onlyvisible --name '^CNC\?$' 2>/dev/null) ]] || fail "a second message box"
  [[ -n $(pids_in_prefix "$E2E_PROGRAM") ]] || fail "the program ended"
fi
idle=$(close_program) || fail "the idle program did not end"
awk "BEGIN { exit !($gone <= $idle + 0.5) }" || fail "closed mid-run it took ${gone} s to end, idle ${idle} s"
echo "gone after ${gone} s when closed mid-run, ${idle} s when idle"
