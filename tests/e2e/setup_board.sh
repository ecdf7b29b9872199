#!/usr/bin/env bash
# The setup dialog reads, compares, writes and resets the registers of the board simulator on
# COM8; the tests check the bytes it received.
source "$(dirname "$0")/lib.sh" "$@"
e2e_board 8 --no-pacing
e2e_suites 'BoardSetup.*'
