# Shared by the end-to-end scripts: the real KT4180.exe under Wine on the harness's display.
# Usage in a script: source "$(dirname "$0")/lib.sh" "$@"   (arguments: exe, build dir)
set -euo pipefail
E2E_EXE=$1
E2E_BUILD=$2
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
"$E2E_ROOT/tools/wine-up"
source "$E2E_ROOT/tools/wine-env"
export DISPLAY=$(cat "$KT_WINE_DIR/display")
E2E_PIDS=()

e2e_cleanup() {
  kt_kill_in_prefix KT4180.exe
  for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  return 0
}
trap e2e_cleanup EXIT

# The real ImageMagick, not a stand-in that may come first on the PATH.
E2E_CONVERT=$(command -v /usr/bin/convert || command -v convert)

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts the program; its window id is left in E2E_WINDOW once it shows.
start_program() {
  "$KT_WINE64" "$E2E_EXE" </dev/null >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  E2E_WINDOW=
  for _ in $(seq 1 200); do
    E2E_WINDOW=$(xdotool search --name 'XYZ-Controller KT4180 V1.31' 2>/dev/null | head -1 || true)
    [[ -n $E2E_WINDOW ]] && return 0
    sleep 0.05
  done
  fail "the main dialog did not show"
}
