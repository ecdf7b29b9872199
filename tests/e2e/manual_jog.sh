#!/usr/bin/env bash
# The manual panel against the board simulator on COM6: the jog images pressed with the real
# mouse, commands typed on the real keyboard.
source "$(dirname "$0")/lib.sh" "$@"
e2e_board 6
e2e_suites 'BoardJog.*'
