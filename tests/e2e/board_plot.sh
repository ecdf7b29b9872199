#!/usr/bin/env bash
# Plot runs, with Run, Step and Stop held by the real mouse, against the board simulator on COM4.
source "$(dirname "$0")/lib.sh" "$@"
e2e_board 4
e2e_suites 'BoardPlot.*'
