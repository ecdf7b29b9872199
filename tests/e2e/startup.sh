#!/usr/bin/env bash
# The program starts, shows its main dialog at its size with every control drawn, finds the
# board simulator on COM3 by itself within about three seconds, and ends when the dialog is
# closed.
source "$(dirname "$0")/lib.sh" "$@"

dev=$WINEPREFIX/dosdevices
"$E2E_ROOT/build/native/kt4180-sim" --link "$dev/com3" >/dev/null &
E2E_PIDS+=($!)
for _ in $(seq 1 100); do [[ -L $dev/com3 ]] && break; sleep 0.05; done
trap 'e2e_cleanup; rm -f "$dev/com3"; ln -sfn /nonexistent "$dev/com3"' EXIT
# Nothing remembered: COM1 and COM2 are tried first and open nothing.
"$KT_WINE64" reg delete 'HKCR\KT4180' /f >/dev/null 2>&1 || true

start_program
started=$(date +%s.%N)
green=
for _ in $(seq 1 100); do
  # The window may not be mapped yet.
  if ! import -window "$E2E_WINDOW" "$E2E_BUILD/e2e-startup.png" 2>/dev/null; then sleep 0.1; continue; fi
  # The port indicator, LblComPort, at 142,34 (52 x 16) of the client area.
  pixel=$($E2E_CONVERT "$E2E_BUILD/e2e-startup.png" -format '%[pixel:p{146,37}]' info: 2>/dev/null || true)
  if [[ $pixel == "srgb(0,128,0)" || $pixel == "rgb(0,128,0)" ]]; then
    green=$(awk "BEGIN { printf \"%.1f\", $(date +%s.%N) - $started }"); break
  fi
  sleep 0.1
done
[[ -n $green ]] || fail "the port indicator did not turn green ($pixel)"
echo "port indicator green after ${green} s"
geometry=$(xdotool getwindowgeometry "$E2E_WINDOW")
echo "$geometry"
# Without a window manager the X window is the client area: the outer 811 x 472 less the frame.
read -r w h <<<"$(echo "$geometry" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')"
(( w > 780 && w <= 811 && h > 420 && h <= 472 )) || fail "unexpected size ${w}x${h}"
# The group box of the manual panel is filled with its grey: the controls were drawn.
pixel=$($E2E_CONVERT "$E2E_BUILD/e2e-startup.png" -format '%[pixel:p{12,280}]' info:)
[[ $pixel == "srgb(224,224,224)" || $pixel == "rgb(224,224,224)" || $pixel == "gray(224)" || $pixel == "grey(224)" ]] \
  || fail "manual panel not drawn ($pixel)"
# Without a window manager Wine activates a window on a click; the keys then reach it.
close_dialog() {
  xdotool windowfocus "$E2E_WINDOW" 2>/dev/null || true
  xdotool mousemove --window "$E2E_WINDOW" 400 200 click 1
  sleep 0.3
  xdotool keydown Alt_L; sleep 0.2; xdotool key F4; sleep 0.2; xdotool keyup Alt_L
}
for attempt in 1 2 3; do
  close_dialog 2>/dev/null
  for _ in $(seq 1 40); do [[ -n $(pids_in_prefix KT4180.exe) ]] || { echo "ok (attempt $attempt)"; exit 0; }; sleep 0.05; done
done
fail "the program did not end when its dialog was closed"
