#!/usr/bin/env bash
# Plot runs of the real program against the board simulator on COM3: a file opened through
# the open dialog, then Run clicked, Step clicked and Stop held.
source "$(dirname "$0")/lib.sh" "$@"

e2e_board 3
start_program
wait_indicator
for i in $(seq 0 99); do printf 'PA%d,0;\r\n' "$i"; done >"$E2E_DIR/lines.plt"
open_plot "$E2E_DIR/lines.plt"
all=";\r\n$(sed 's/\r$/\\r\\n/' "$E2E_DIR/lines.plt" | tr -d '\n')"

# Run sends the semicolon, then every line.
mark=$(received)
mouse click 40 412
expect_received "$mark" "$all" "an automatic run"

# Started with Step, the run waits before each line; Stop held ends it: the waiting line still
# goes out, nothing after it.
mark=$(received)
mouse click 96 412; sleep 0.5
expect_received "$mark" ';\r\n' "only the first line before a step wait"
mouse mousedown 156 412; sleep 0.3; mouse mouseup 156 412
expect_received "$mark" ';\r\nPA0,0;\r\n' "Stop held in a step wait"
