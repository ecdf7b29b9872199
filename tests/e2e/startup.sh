#!/usr/bin/env bash
# The program starts, shows its main dialog at its size with every control drawn, finds the
# board simulator on COM3 by itself within about three seconds, and ends when the dialog is
# closed.
source "$(dirname "$0")/lib.sh" "$@"

e2e_device 3 "$E2E_ROOT/build/native/kt4180-sim" --link "$E2E_DEV/com3"
# Nothing remembered: COM1 and COM2 are tried first and open nothing.
"$KT_WINE64" reg delete 'HKCR\KT4180' /f >/dev/null 2>&1 || true
"$KT_WINE64" "$E2E_EXE" </dev/null >/dev/null 2>&1 &
E2E_PIDS+=($!)
started=$(date +%s.%N)
for _ in $(seq 1 200); do
  window=$(xdotool search --name 'XYZ-Controller KT4180 V1.31' 2>/dev/null | head -1 || true)
  [[ -n $window ]] && break
  sleep 0.05
done
[[ -n $window ]] || fail "the main dialog did not show"

# The real ImageMagick, not a stand-in that may come first on the PATH.
convert=$(command -v /usr/bin/convert || command -v convert)
pixel_at() { $convert "$E2E_DIR/screen.png" -format "%[pixel:p{$1}]" info: 2>/dev/null || true; }
green=
for _ in $(seq 1 100); do
  # The window may not be mapped yet.
  if ! import -window "$window" "$E2E_DIR/screen.png" 2>/dev/null; then sleep 0.1; continue; fi
  # The port indicator, LblComPort, at 142,34 (52 x 16) of the client area.
  pixel=$(pixel_at 146,37)
  if [[ $pixel == "srgb(0,128,0)" || $pixel == "rgb(0,128,0)" ]]; then
    green=$(awk "BEGIN { printf \"%.1f\", $(date +%s.%N) - $started }"); break
  fi
  sleep 0.1
done
[[ -n $green ]] || fail "the port indicator did not turn green ($pixel)"
echo "port indicator green after ${green} s"
# Without a window manager the X window is the client area: the outer 811 x 472 less the frame.
read -r w h <<<"$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')"
(( w > 780 && w <= 811 && h > 420 && h <= 472 )) || fail "unexpected size ${w}x${h}"
# The group box of the manual panel is filled with its grey: the controls were drawn.
pixel=$(pixel_at 12,280)
[[ $pixel =~ ^(s?rgb\(224,224,224\)|gr[ae]y\(224\))$ ]] || fail "manual panel not drawn ($pixel)"

# Without a window manager Wine activates a window on a click; the keys then reach it.
for attempt in 1 2 3; do
  xdotool windowfocus "$window" 2>/dev/null || true
  xdotool mousemove --window "$window" 400 200 click 1 2>/dev/null
  sleep 0.3
  xdotool keydown Alt_L; sleep 0.2; xdotool key F4; sleep 0.2; xdotool keyup Alt_L
  for _ in $(seq 1 40); do e2e_running KT4180.exe || { echo "ok (attempt $attempt)"; exit 0; }; sleep 0.05; done
done
fail "the program did not end when its dialog was closed"
