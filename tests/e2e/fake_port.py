#!/usr/bin/env python3
"""A device that is not the board: a pseudo-terminal linked as a Wine COM port (LINK) that records
what it receives (RECORD) and never answers (silent) or answers the probe in lower case only."""
import os, pty, sys, time, tty

link, mode, record = sys.argv[1:4]
master, slave = pty.openpty()
tty.setraw(slave)  # no echo, no line editing
if os.path.lexists(link):
    os.unlink(link)
os.symlink(os.ttyname(slave), link)
seen = b""
with open(record, "ab", buffering=0) as out:
    while True:
        try:
            data = os.read(master, 4096)
        except OSError:
            time.sleep(0.02)  # nobody has the port open
            continue
        out.write(data)
        seen += data
        if mode == "lowercase" and b"px0,0" in seen:
            os.write(master, b"register 0=41\r\n")
            seen = b""
