#!/usr/bin/env bash
# Plot runs of the real program against the board simulator on COM3, files opened through the
# open dialog: Run sends every line; Step waits before each, and Stop held ends it. A long run
# broken off: closing the program ends it as fast as an idle one (Wine's 2 s wait for a window
# manager is not the run's) and the board gets nothing more; a board that goes away is told
# once, the indicator turns red, the program stays.
source "$(dirname "$0")/lib.sh" "$@"

e2e_board 3
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
[[ -n $(pids_in_prefix KT4180.exe) ]] || fail "the program ended"
idle=$(close_program) || fail "the idle program did not end"
awk "BEGIN { exit !($gone <= $idle + 0.5) }" || fail "closed mid-run it took ${gone} s to end, idle ${idle} s"
echo "gone after ${gone} s when closed mid-run, ${idle} s when idle"
