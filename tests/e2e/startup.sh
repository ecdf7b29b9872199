#!/usr/bin/env bash
# The program starts, shows its main dialog at its size with every control drawn, and ends
# when the dialog is closed.
source "$(dirname "$0")/lib.sh" "$@"

start_program
sleep 1
geometry=$(xdotool getwindowgeometry "$E2E_WINDOW")
echo "$geometry"
# Without a window manager Wine activates a window on a click; the keys then reach it.
close_dialog() {
  xdotool windowfocus "$E2E_WINDOW" 2>/dev/null || true
  xdotool mousemove --window "$E2E_WINDOW" 400 200 click 1
  sleep 0.3
  xdotool keydown Alt_L; sleep 0.2; xdotool key F4; sleep 0.2; xdotool keyup Alt_L
}
for attempt in 1 2 3; do
  close_dialog 2>/dev/null
  for _ in $(seq 1 40); do pgrep -x KT4180.exe >/dev/null || { echo "ok (attempt $attempt)"; exit 0; }; sleep 0.05; done
done
fail "the program did not end when its dialog was closed"
