# Shared by the end-to-end scripts: the real program under Wine on the harness's display,
# against the board simulator on a pseudo-terminal mapped as a COM port; or the demo program,
# whose simulated board is inside it and records where its settings say.
# Usage: source "$(dirname "$0")/lib.sh" "$@"   (arguments: exe, build dir)
set -euo pipefail
E2E_EXE=$1
E2E_BUILD=$2
E2E_PROGRAM=$(basename "$E2E_EXE")  # also the name of its process
E2E_NAME=${E2E_PROGRAM%.exe}        # names its settings
E2E_DEMO=0
[[ $E2E_NAME != *-Demo ]] || E2E_DEMO=1
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
"$E2E_ROOT/tools/wine-up"
source "$E2E_ROOT/tools/wine-env"
DISPLAY=$(kt_display)
export DISPLAY
source "$E2E_ROOT/tools/wine-session"
E2E_DIR=$E2E_BUILD/e2e-$(basename "$0" .sh)  # what the devices received
[[ $E2E_DEMO == 0 ]] || E2E_DIR+=-demo
E2E_APPDATA=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | grep -v /Public/ | head -1)
E2E_DEMO_SETTINGS=
rm -rf "$E2E_DIR"; mkdir -p "$E2E_DIR"
KT_SHOT=$E2E_DIR/screen.png
E2E_PIDS=()
E2E_PORTS=()

fail() {
  echo "FAIL: $* (the screen: $E2E_DIR/failed.png)" >&2
  import -window root "$E2E_DIR/failed.png" 2>/dev/null || true
  exit 1
}

# Ends what this script started (only in this checkout's prefix) and points its ports at nothing.
e2e_cleanup() {
  kt_kill_in_prefix "$E2E_PROGRAM"
  for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  for n in "${E2E_PORTS[@]}"; do rm -f "$(kt_com "$n")"; ln -sfn /nonexistent "$(kt_com "$n")"; done
  return 0
}
trap e2e_cleanup EXIT

# Maps a device to COM$1 with the given command, started in the background; E2E_LAST is its process.
e2e_device() {
  local n=$1; shift
  "$@" >/dev/null &
  E2E_LAST=$!
  E2E_PIDS+=($!)
  E2E_PORTS+=("$n")
  kt_wait_com "$n" || fail "com$n not mapped"
}
# The board simulator on COM$1 (further arguments are its options), recording what it receives.
# The demo's board is told the same through the section [demo] of the settings start_program
# writes: what it receives, and from --log and --state, what it executed and its registers.
e2e_board() {
  local n=$1; shift
  if [[ $E2E_DEMO == 1 ]]; then
    E2E_DEMO_SETTINGS="rawlog=$(kt_winpath "$E2E_DIR/board.raw")"
    while (($#)); do
      case $1 in
        --log | --state) E2E_DEMO_SETTINGS+=$'\n'"${1#--}=$(kt_winpath "$2")"; shift 2 ;;
        *) fail "the demo's board takes no $1" ;;
      esac
    done
    return 0
  fi
  e2e_device "$n" "$E2E_ROOT/build/native/kt4180-sim" --link "$(kt_com "$n")" --raw-log "$E2E_DIR/board.raw" "$@"
}
received() { stat -c %s "$E2E_DIR/board.raw"; }
received_at_least() { (($(received) >= $1)); }
# What the board received after byte $1, once it has $2 more (or 5 s passed) and 0.3 s are quiet.
received_since() {
  kt_retry 50 0.1 received_at_least $(($1 + ${2:-0})) || true
  kt_wait_quiet "$E2E_DIR/board.raw" 3
  tail -c +$(( $1 + 1 )) "$E2E_DIR/board.raw"
}
# Fails with $3 unless the board received exactly $2 (printf escapes) after byte $1.
expect_received() {
  local got; got=$(received_since "$1" "$(printf '%b' "$2" | wc -c)" | od -An -c)
  [[ $got == "$(printf '%b' "$2" | od -An -c)" ]] || fail "$3: received$got"
}

# Forgets the port the program remembers and what its stores refused and the user's place kept
# (the demo's: its board's registers too).
e2e_forget() {
  "$KT_WINE64" reg delete "HKCR\\$E2E_NAME" /f >/dev/null 2>&1 || true
  "$KT_WINE64" reg delete "HKCU\\Software\\$E2E_NAME" /f >/dev/null 2>&1 || true
  rm -f "$E2E_APPDATA/KT4180/$E2E_NAME.cfg" "$E2E_APPDATA/KT4180/$E2E_NAME-Register.txt"
}
# Starts the program with nothing remembered; KT_WINDOW is its main dialog. The demo's settings
# go to the user's place, which it reads first.
start_program() {
  e2e_forget
  if [[ -n $E2E_DEMO_SETTINGS ]]; then
    mkdir -p "$E2E_APPDATA/KT4180"
    printf '[demo]\n%s\n' "$E2E_DEMO_SETTINGS" | sed 's/$/\r/' >"$E2E_APPDATA/KT4180/$E2E_NAME.cfg"
  fi
  kt_start_program "$E2E_EXE" || fail "the main dialog did not show"
  E2E_PIDS+=("$KT_PROGRAM")
}
# Waits until the port indicator, LblComPort at 142,34 (52 x 16), shows $1 ("r,g,b"; green).
wait_indicator() {
  kt_wait_pixels "*rgb(${1:-0,128,0}) " 146,37 || fail "the port indicator did not turn rgb(${1:-0,128,0})"
}
# Clicks x,y until a window titled like $3, KT_FOUND, shows: without a window manager a click may only activate.
click_for_window() {
  for _ in 1 2 3; do kt_mouse click "$1" "$2"; KT_FOUND=$(timeout 3 xdotool search --sync --name "$3" | head -1) && return 0; done
  return 1
}
# Opens the plot file $1 through the open dialog of BtnOpenPlot.
open_plot() {
  click_for_window 16 16 'PLT-Datei' || fail "no open dialog"
  xdotool type "$(kt_winpath "$1")"; xdotool key Return
  # Wine's dialog can take seconds to close; a click before the preview is built is refused.
  kt_retry 100 0.1 window_gone "$KT_FOUND" || fail "the open dialog did not close"
  sleep 0.5
}
window_gone() { ! xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1"; }
close_program() { kt_close_program "$E2E_PROGRAM"; }
