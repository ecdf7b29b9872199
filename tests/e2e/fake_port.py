#!/usr/bin/env python3
"""A stand-in for a device on a COM port that is not the board: a pseudo-terminal mapped as
a Wine COM port that either never answers (--mode silent) or answers the probe in lower case
only (--mode lowercase). Records what it received (--record FILE). Runs until killed."""
import argparse, os, pty, signal, sys, termios, time, tty

ap = argparse.ArgumentParser()
ap.add_argument("--link", required=True)
ap.add_argument("--mode", choices=["silent", "lowercase"], default="silent")
ap.add_argument("--record")
a = ap.parse_args()

master, slave = pty.openpty()
tty.setraw(slave)
attrs = termios.tcgetattr(slave)
attrs[3] &= ~termios.ECHO
termios.tcsetattr(slave, termios.TCSANOW, attrs)
name = os.ttyname(slave)
try:
    os.unlink(a.link)
except FileNotFoundError:
    pass
os.symlink(name, a.link)
print(name, flush=True)

def stop(*_):
    try:
        os.unlink(a.link)
    except OSError:
        pass
    sys.exit(0)

signal.signal(signal.SIGTERM, stop)
signal.signal(signal.SIGINT, stop)
record = open(a.record, "ab", buffering=0) if a.record else None
seen = b""
while True:
    try:
        data = os.read(master, 4096)
    except OSError:
        time.sleep(0.02)  # nobody has the port open
        continue
    if record:
        record.write(data)
    seen += data
    if a.mode == "lowercase" and b"px0,0" in seen:
        os.write(master, b"register 0=41\r\n")
        seen = b""
