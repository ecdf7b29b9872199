#!/usr/bin/env bash
# A run broken off mid-way. Closing the program ends it at once: the process is gone as fast
# as an idle program's and the board gets nothing more. A board that goes away (its simulator
# ends) is told once, the port indicator turns red, and the program stays usable.
# Without a window manager Wine waits 2 s for one to withdraw a closed window; that wait is
# measured with the idle program and not counted against the run.
source "$(dirname "$0")/lib.sh" "$@"

dev=$WINEPREFIX/dosdevices
dir=$E2E_BUILD/e2e-interrupted
rm -rf "$dir"; mkdir -p "$dir"
trap 'e2e_cleanup; rm -f "$dev/com3"; ln -sfn /nonexistent "$dev/com3"' EXIT

# 4000 lines, about 100 kB: a minute of work for the board.
awk 'BEGIN { printf "IN;SP1;PU0,0;PD;\r\n"; for (i = 0; i < 4000; i++) printf "PA%d,%d;PA%d,%d;\r\n", i % 400, 0, i % 400, 300 }' \
  >"$dir/long.plt"
# The plot file as the user's last choice: the program shows it and Run plots it.
python3 - "$WINEPREFIX/drive_c/windows/win.ini" "Z:${dir//\//\\}\\long.plt" <<'PY'
import re, sys
path, plot = sys.argv[1], sys.argv[2]
try:
    text = open(path, 'rb').read().decode('latin-1')
except FileNotFoundError:
    text = ''
text = re.sub(r'(?ms)^\[KTXPLT\]\r?\n.*?(?=^\[|\Z)', '', text)
open(path, 'wb').write((text + '[KTXPLT]\r\npltfile=%s\r\n' % plot).encode('latin-1'))
PY
"$KT_WINE64" reg add 'HKCR\KT4180\Ini' /v fcomport /d ' 3' /f >/dev/null 2>&1 || true

start_board() {
  rm -f "$dev/com3"
  "$E2E_ROOT/build/native/kt4180-sim" --link "$dev/com3" --raw-log "$dir/board.raw" >/dev/null &
  BOARD=$!
  E2E_PIDS+=($BOARD)
  for _ in $(seq 1 100); do [[ -L $dev/com3 ]] && break; sleep 0.05; done
}
pixel_at() { import -window "$E2E_WINDOW" "$dir/shot.png" 2>/dev/null && $E2E_CONVERT "$dir/shot.png" -format "%[pixel:p{$1,$2}]" info: 2>/dev/null; }
is_colour() { [[ $1 == "srgb($2)" || $1 == "rgb($2)" ]]; }
# The port indicator LblComPort sits at 142,34 of the client area.
wait_indicator() {
  for _ in $(seq 1 150); do is_colour "$(pixel_at 146 37)" "$1" && return 0; sleep 0.1; done
  return 1
}
# A person's click on BtnRun (12,396, 56 x 32): held a moment, as the program tests the button.
press_run() {
  xdotool mousemove --window "$E2E_WINDOW" 40 412 mousedown 1; sleep 0.3; xdotool mouseup 1
}
running() { [[ -n $(pids_in_prefix KT4180.exe) ]]; }
# Closes the program with Alt+F4 and prints the seconds until its process has gone.
close_program() {
  local closed
  closed=$(date +%s.%N)
  xdotool windowfocus "$E2E_WINDOW" 2>/dev/null || true
  xdotool keydown Alt_L key F4 keyup Alt_L
  for _ in $(seq 1 100); do
    running || { awk "BEGIN { printf \"%.2f\", $(date +%s.%N) - $closed }"; return 0; }
    sleep 0.05
  done
  return 1
}

# 1. Close while the run sends.
start_board
start_program
wait_indicator "0,128,0" || fail "the board was not found"
sleep 3  # the preview of the plot file is built on the tenth timer tick
press_run
sleep 1.5
sent_before=$(stat -c %s "$dir/board.raw" 2>/dev/null || echo 0)
(( sent_before > 0 )) || fail "the run sent nothing"
gone=$(close_program) || fail "the program was still running 5 s after its dialog was closed"
# What was on its way in the line's buffers still arrives; nothing is added to it.
sleep 2
received=$(stat -c %s "$dir/board.raw")
total=$(stat -c %s "$dir/long.plt")
(( received < total / 2 )) || fail "the board received $received of $total bytes after the close"
echo "closed mid-run: the board received $received of $total bytes"

# 2. The board goes away during a run.
kill "$BOARD"
start_board
start_program
wait_indicator "0,128,0" || fail "the board was not found again"
sleep 3
press_run
sleep 1.5
kill "$BOARD"
box=
for _ in $(seq 1 100); do box=$(xdotool search --name '^CNC\?$' 2>/dev/null | head -1 || true); [[ -n $box ]] && break; sleep 0.1; done
[[ -n $box ]] || fail "no message that the connection was lost"
xdotool windowfocus "$box" 2>/dev/null || true
xdotool key Return
sleep 0.5
wait_indicator "255,0,0" || fail "the port indicator did not turn red"
sleep 2.5  # Wine's wait for a window manager to withdraw the box
[[ -z $(xdotool search --onlyvisible --name '^CNC\?$' 2>/dev/null) ]] || fail "a second message box"
running || fail "the program ended"
echo "board gone mid-run: told once, indicator red, program running"

# 3. The same close with nothing running: Wine's own part of the time.
idle=$(close_program) || fail "the idle program did not end"
awk "BEGIN { exit !($gone <= $idle + 0.5) }" || fail "closed mid-run it took ${gone} s to end, idle ${idle} s"
echo "gone after ${gone} s when closed mid-run, ${idle} s when idle"
