#!/usr/bin/env bash
# The controller link on real (pseudo-terminal) ports: the board simulator as COM3, a silent
# device as COM1, a device answering only in lower case as COM2. Runs the Board tests of the
# Windows-side test program against them.
source "$(dirname "$0")/lib.sh" "$@"

# Record files must not be named like a device ("com1.rec" opens COM1 on Windows).
dir=$E2E_BUILD/e2e-board
rm -rf "$dir"; mkdir -p "$dir"
dev=$WINEPREFIX/dosdevices
here=$(cd "$(dirname "$0")" && pwd)
python3 "$here/fake_port.py" --link "$dev/com1" --mode silent --record "$dir/port1.rec" >/dev/null &
E2E_PIDS+=($!)
python3 "$here/fake_port.py" --link "$dev/com2" --mode lowercase --record "$dir/port2.rec" >/dev/null &
E2E_PIDS+=($!)
"$E2E_ROOT/build/native/kt4180-sim" --no-pacing --link "$dev/com3" --raw-log "$dir/port3.raw" >/dev/null &
E2E_PIDS+=($!)
for n in 1 2 3; do
  for _ in $(seq 1 100); do [[ -L $dev/com$n ]] && break; sleep 0.05; done
  [[ -L $dev/com$n ]] || fail "com$n not mapped"
done
restore_ports() {
  e2e_cleanup
  for n in 1 2 3; do rm -f "$dev/com$n" "$dev/com$n.off"; ln -sfn /nonexistent "$dev/com$n"; done
}
trap restore_ports EXIT

# Plugs and unplugs ports when the tests ask (a Windows program cannot move "com3").
(
  while sleep 0.02; do
    [[ -f $dir/request ]] || continue
    case $(cat "$dir/request") in
      unplug*) n=$(sed 's/unplug//' "$dir/request"); mv "$dev/com$n" "$dev/com$n.off" ;;
      plug*) n=$(sed 's/plug//' "$dir/request"); mv "$dev/com$n.off" "$dev/com$n" ;;
    esac
    rm -f "$dir/request"
  done
) &
E2E_PIDS+=($!)

winpath() { local p=$1; echo "Z:${p//\//\\}"; }
export KT_BOARD_DIR=$(winpath "$dir")
export KT_DOSDEVICES=$(winpath "$dev")
export WINEDEBUG=-all
"$KT_WINE64" "$E2E_BUILD/bin/kt_win_tests.exe" --gtest_filter='Board.*' </dev/null
