#!/usr/bin/env python3
"""The home computer's end of a serial line for the second-day test: a pseudo-terminal whose
other end is linked at LINK. Commands on stdin, one answer line each on stdout:
  settings          the line settings the program set: "BAUD DATABITS PARITY STOPBITS"
  send FILE         sends the file's bytes to the program
  receive N FILE    waits up to 20 s for N bytes from the program and writes them to FILE
"""
import fcntl
import os
import pty
import select
import struct
import sys
import termios
import time

TCGETS2 = 0x802C542A


def settings(fd):
    raw = fcntl.ioctl(fd, TCGETS2, bytes(44))
    cflag = struct.unpack_from("4I", raw)[2]
    ospeed = struct.unpack_from("I", raw, 40)[0]
    bits = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}[cflag & termios.CSIZE]
    parity = "N" if not cflag & termios.PARENB else ("O" if cflag & termios.PARODD else "E")
    stop = 2 if cflag & termios.CSTOPB else 1
    return f"{ospeed} {bits} {parity} {stop}"


def main():
    link = sys.argv[1]
    master, slave = pty.openpty()
    # The slave stays open here, so that its settings can be read while the program holds it.
    if os.path.lexists(link):
        os.unlink(link)
    os.symlink(os.ttyname(slave), link)
    print("ready", flush=True)
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        if words[0] == "settings":
            print(settings(slave), flush=True)
        elif words[0] == "send":
            with open(words[1], "rb") as f:
                os.write(master, f.read())
            print("sent", flush=True)
        elif words[0] == "receive":
            want, got, end = int(words[1]), b"", time.monotonic() + 20
            while len(got) < want and time.monotonic() < end:
                if select.select([master], [], [], 0.2)[0]:
                    got += os.read(master, 65536)
            with open(words[2], "wb") as f:
                f.write(got)
            print(len(got), flush=True)


main()
