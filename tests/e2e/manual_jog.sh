#!/usr/bin/env bash
# The manual panel of the real program, driven like a person would, against the board
# simulator on COM3: the jog images clicked and held, a command typed.
source "$(dirname "$0")/lib.sh" "$@"

e2e_board 3
start_program
wait_indicator
mouse click 400 200  # the dialog in front: jogs act only then
steps() { mouse click 134 136; xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace; xdotool type "$1"; }

# A click on each image (centres of their places) and on the position query sends its command once.
steps 345
mark=$(received)
for xy in 170,129 96,127 134,91 134,165 168,93 100,91 98,163 168,163 41,129 41,189 41,89 41,227 96,216 159,216 156,356; do
  mouse click "${xy%,*}" "${xy#*,}"
done
moves='PR345,0\r\nPR-345,0\r\nPR0,345\r\nPR0,-345\r\nPR345,345\r\nPR-345,345\r\nPR-345,-345\r\nPR345,-345\r\n'
expect_received "$mark" "${moves}ZR-345\r\nZR345\r\nPU\r\nPD\r\nRE\r\nNU\r\n;PX9876,3\r\n" "one click each"

# Held, the move repeats after 250 ms and then back to back until the release (thousands in a
# second here; a move every 250 ms would make four or five).
steps 20
mark=$(received)
mouse mousedown 134 165; sleep 1; mouse mouseup 134 165
moves=$(received_since "$mark" | tr -d '\r' | sort | uniq -c)
[[ $moves =~ ^\ *([0-9]+)\ PR0,-20$ ]] || fail "not whole moves: $moves"
(( BASH_REMATCH[1] >= 20 )) || fail "${BASH_REMATCH[1]} moves in a second"

# A command typed into the box goes out, whole, when Enter is pressed anywhere in it.
mark=$(received)
mouse click 100 280
xdotool type 'PR 550,-340'
expect_received "$mark" '' "sent while typing"
xdotool key Home Right Right Right Return
expect_received "$mark" 'PR \r\n550,-340' "the typed command"
