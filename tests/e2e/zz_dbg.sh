source "$(dirname "$0")/lib.sh" "$@"
dir=$E2E_BUILD/e2e-dbg; rm -rf "$dir"; mkdir -p "$dir"
dev=$WINEPREFIX/dosdevices
cp $E2E_BUILD/e2e-pacing/cuts.plt $dir/
"$E2E_ROOT/build/native/kt4180-sim" --link "$dev/com5" --raw-log "$dir/board.raw" --log "$dir/board.log" >/dev/null &
E2E_PIDS+=($!)
for _ in $(seq 1 100); do [[ -L $dev/com5 ]] && break; sleep 0.05; done
trap 'e2e_cleanup; rm -f "$dev/com5"; ln -sfn /nonexistent "$dev/com5"' EXIT
"$E2E_ROOT/tools/wine-profile" pltfile "Z:${dir//\//\\}\\cuts.plt"
start_program
sleep 6
press() { xdotool mousemove --window "$E2E_WINDOW" "$1" "$2" mousedown 1; sleep "$3"; xdotool mouseup 1; }
press 156 356 0.1; sleep 1; echo idle: $(grep -ac PX9876 $dir/board.raw)
press 40 412 0.2; sleep 1
press 156 356 0.1; sleep 1; echo run: $(grep -ac PX9876 $dir/board.raw)
xdotool mousemove --window "$E2E_WINDOW" 156 356 click 1; sleep 2; echo run-click: $(grep -ac PX9876 $dir/board.raw)
sleep 6; echo after: $(grep -ac PX9876 $dir/board.raw)
