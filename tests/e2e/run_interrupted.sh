#!/usr/bin/env bash
# A run broken off mid-way. Closing the program ends it at once: the process is gone as fast
# as an idle program's and the board gets nothing more. A board that goes away (its simulator
# ends) is told once, the port indicator turns red, and the program stays usable.
# Without a window manager Wine waits 2 s for one to withdraw a closed window; that wait is
# measured with the idle program and not counted against the run.
source "$(dirname "$0")/lib.sh" "$@"

# 4000 lines, about 100 kB: a minute of work for the board.
awk 'BEGIN { printf "IN;SP1;PU0,0;PD;\r\n"; for (i = 0; i < 4000; i++) printf "PA%d,%d;PA%d,%d;\r\n", i % 400, 0, i % 400, 300 }' \
  >"$E2E_DIR/long.plt"
# The program with the board found and the plot file open, then Run (BtnRun) clicked.
start_run() {
  e2e_board 3
  start_program
  wait_indicator
  open_plot "$E2E_DIR/long.plt"
  mouse click 40 412
  sleep 1.5
}

# 1. Close while the run sends. What was on its way in the line's buffers still arrives;
# nothing is added to it.
start_run
(( $(received) > 0 )) || fail "the run sent nothing"
gone=$(close_program) || fail "the program was still running 5 s after its dialog was closed"
sleep 2
total=$(stat -c %s "$E2E_DIR/long.plt")
(( $(received) < total / 2 )) || fail "the board received $(received) of $total bytes after the close"
echo "closed mid-run: the board received $(received) of $total bytes"

# 2. The board goes away during a run.
kill "$E2E_LAST"
rm -f "$E2E_DEV/com3"
start_run
kill "$E2E_LAST"
box=
for _ in $(seq 1 100); do box=$(xdotool search --name '^CNC\?$' 2>/dev/null | head -1 || true); [[ -n $box ]] && break; sleep 0.1; done
[[ -n $box ]] || fail "no message that the connection was lost"
xdotool windowfocus "$box" 2>/dev/null || true
xdotool key Return
sleep 0.5
wait_indicator 255,0,0
sleep 2.5  # Wine's wait for a window manager to withdraw the box
[[ -z $(xdotool search --onlyvisible --name '^CNC\?$' 2>/dev/null) ]] || fail "a second message box"
[[ -n $(pids_in_prefix KT4180.exe) ]] || fail "the program ended"
echo "board gone mid-run: told once, indicator red, program running"

# 3. The same close with nothing running: Wine's own part of the time.
idle=$(close_program) || fail "the idle program did not end"
awk "BEGIN { exit !($gone <= $idle + 0.5) }" || fail "closed mid-run it took ${gone} s to end, idle ${idle} s"
echo "gone after ${gone} s when closed mid-run, ${idle} s when idle"
