#!/usr/bin/env bash
# The controller link on real (pseudo-terminal) ports: a silent device on COM1, one answering
# only in lower case on COM2, the board simulator on COM3.
source "$(dirname "$0")/lib.sh" "$@"

# Record files must not be named like a device ("com1.rec" opens COM1 on Windows).
fake=$E2E_ROOT/tests/e2e/fake_port.py
e2e_device 1 python3 "$fake" --link "$E2E_DEV/com1" --mode silent --record "$E2E_DIR/port1.rec"
e2e_device 2 python3 "$fake" --link "$E2E_DEV/com2" --mode lowercase --record "$E2E_DIR/port2.rec"
e2e_board 3

# Unplugs and plugs ports when the tests ask: a Windows program cannot move "com3".
(
  while sleep 0.02; do
    [[ -f $E2E_DIR/request ]] || continue
    case $(cat "$E2E_DIR/request") in
      unplug*) n=$(sed 's/unplug//' "$E2E_DIR/request"); mv "$E2E_DEV/com$n" "$E2E_DEV/com$n.off" ;;
      plug*) n=$(sed 's/plug//' "$E2E_DIR/request"); mv "$E2E_DEV/com$n.off" "$E2E_DEV/com$n" ;;
    esac
    rm -f "$E2E_DIR/request"
  done
) &
E2E_PIDS+=($!)
e2e_suites 'BoardLink.*'
