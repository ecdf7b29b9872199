#!/usr/bin/env bash
# A session driven as a person would: the program starts drawn at its size, finds the board past
# a silent device (COM1) and one answering only in lower case (COM2) on COM23, remembers it; jogs
# clicked and held, a command typed; closed, and started again it shows the plot file and the
# line monitor as left, though like a standard user's it could write neither win.ini nor its .cfg.
# The demo program finds the board inside it, says so, and keeps the board's registers with the user.
source "$(dirname "$0")/lib.sh" "$@"

ini=$WINEPREFIX/drive_c/windows/win.ini
put_back() { if [[ -d $ini ]]; then rm -rf "$ini"; [[ ! -e $ini.e2e ]] || mv "$ini.e2e" "$ini"; fi; }
trap 'e2e_cleanup; put_back; e2e_forget' EXIT
[[ ! -e $ini ]] || mv "$ini" "$ini.e2e"
mkdir "$ini" "$E2E_DIR/program" "$E2E_DIR/program/$E2E_NAME.cfg"
cp "$E2E_EXE" "$E2E_DIR/program/"
E2E_EXE=$E2E_DIR/program/$E2E_PROGRAM

# Record files must not be named like a device ("com1.rec" opens COM1 on Windows).
if [[ $E2E_DEMO == 0 ]]; then
  e2e_device 1 python3 "$E2E_ROOT/tests/e2e/fake_port.py" "$(kt_com 1)" silent "$E2E_DIR/port1.rec"
  e2e_device 2 python3 "$E2E_ROOT/tests/e2e/fake_port.py" "$(kt_com 2)" lowercase "$E2E_DIR/port2.rec"
fi
e2e_board 23
cd "$E2E_DIR"
start_program
started=$(date +%s.%N)
wait_indicator
echo "port indicator green after $(awk "BEGIN { printf \"%.1f\", $(date +%s.%N) - $started }") s"
# Without a window manager the X window is the client area: the outer 811 x 472 less the frame.
read -r w h <<<"$(xdotool getwindowgeometry "$KT_WINDOW" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')"
(( w > 780 && w <= 811 && h > 420 && h <= 472 )) || fail "unexpected size ${w}x${h}"
# The group box of the manual panel is filled with its grey: the controls were drawn.
[[ $(kt_pixels 12,280) =~ ^(s?rgb\(224,224,224\)|gr[ae]y\(224\))\ $ ]] || fail "manual panel not drawn"
title=$(xdotool getwindowname "$KT_WINDOW")
[[ $E2E_DEMO == 0 && $title == "$KT_MAIN_TITLE" || $E2E_DEMO == 1 && $title == "$KT_MAIN_TITLE - Demo" ]] ||
  fail "the title reads $title"
# The probe went to the silent and the lower-case device first, then to the board.
[[ $E2E_DEMO == 1 || $(od -An -c port1.rec port2.rec) == "$(printf '\r\npx0,0\r\n\r\n\r\npx0,0\r\n\r\n' | od -An -c)" ]] ||
  fail "probes"
expect_received 0 '\r\npx0,0\r\n\r\n\r\n' "the probe and an empty line"

# The position query goes out; the next search tries the remembered port first.
mark=$(received)
kt_mouse click 156 356  # BtnQueryPosition
expect_received "$mark" ';PX9876,3\r\n' "the position query"
probes=$(stat -c %s port1.rec 2>/dev/null || echo 0)
kt_mouse click 48 16  # BtnFindController
wait_indicator
expect_received "$mark" ';PX9876,3\r\n\r\npx0,0\r\n\r\n\r\n' "the search of the remembered port"
(( $(stat -c %s port1.rec 2>/dev/null || echo 0) == probes )) || fail "COM1 was probed before the remembered port"

# The manual panel (jogs act only with the dialog in front): a click on each jog image, at the
# center of its place, sends its command once.
kt_mouse click 400 200
steps() { kt_mouse click 134 136; xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace; xdotool type "$1"; }
steps 345
mark=$(received)
for xy in 170,129 96,127 134,91 134,165 168,93 100,91 98,163 168,163 41,129 41,189 41,89 41,227 96,216 159,216; do
  kt_mouse click "${xy%,*}" "${xy#*,}"
done
moves='PR345,0\r\nPR-345,0\r\nPR0,345\r\nPR0,-345\r\nPR345,345\r\nPR-345,345\r\nPR-345,-345\r\nPR345,-345\r\n'
expect_received "$mark" "${moves}ZR-345\r\nZR345\r\nPU\r\nPD\r\nRE\r\nNU\r\n" "one click each"

# Held, the move repeats after 250 ms and then back to back until the release (thousands in a
# second here; a move every 250 ms would make four or five).
steps 20
mark=$(received)
kt_mouse mousedown 134 165; sleep 1; kt_mouse mouseup 134 165
moves=$(received_since "$mark" | tr -d '\r' | sort | uniq -c)
[[ $moves =~ ^\ *([0-9]+)\ PR0,-20$ ]] || fail "not whole moves: $moves"
(( BASH_REMATCH[1] >= 20 )) || fail "${BASH_REMATCH[1]} moves in a second"

# A command typed into the box goes out, whole, when Enter is pressed anywhere in it.
mark=$(received)
kt_mouse click 100 280
xdotool type 'PR 550,-340'
expect_received "$mark" '' "sent while typing"
xdotool key Home Right Right Right Return
expect_received "$mark" 'PR \r\n550,-340' "the typed command"
if [[ $E2E_DEMO == 1 ]]; then
  xdotool key Return; xdotool type 'PX12,30;PX 9876,5432'; xdotool key Return  # on a line of its own
  kt_retry 20 0.2 grep -qsx '12=30' "$E2E_APPDATA/KT4180/$E2E_NAME-Register.txt" ||
    fail "the board did not store its registers with the user"
fi

open_plot "$E2E_ROOT/examples/star.plt"
click_for_window 113 16 '^Line-Monitor$' || fail "no line monitor"  # BtnMonitor
xdotool windowmove "$KT_FOUND" 400 120 windowfocus "$KT_FOUND" keydown Alt_L key F4 keyup Alt_L
# SBar1's parts with the plot file's name and figures, the mouse away from tips.
plot_shown() { xdotool mousemove 0 0; import -window "$KT_WINDOW" png:- | "$KT_CONVERT" - -gravity SouthWest -crop 554x16+249+3 rgb:- | md5sum; }
shown=$(plot_shown)

# Without a window manager Wine activates a window on a click; the keys then reach it.
kt_mouse click 400 200
gone=$(close_program) || fail "the program did not end when its dialog was closed"
echo "ended ${gone} s after its dialog was closed"

kt_start_program "$E2E_EXE" || fail "the main dialog did not show again"
plot_shown_again() { [[ $(plot_shown) == "$shown" ]]; }
kt_retry 50 0.2 plot_shown_again || fail "the plot file chosen before is not shown again"
click_for_window 113 16 '^Line-Monitor$' || fail "the line monitor did not open again"
[[ $(xdotool getwindowgeometry "$KT_FOUND") == *'Position: 400,120 '* ]] || fail "the line monitor opened elsewhere"
