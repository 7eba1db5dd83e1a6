#!/usr/bin/env python3
"""Boots the driver test guest in QEMU and plays the far end of each of its serial lines.

usage: far_ends.py KERNEL INITRD WORKDIR [SECONDS]

QEMU connects to Unix sockets that this program serves:
  con   the guest's console (ttyS0): copied to stdout and to WORKDIR/console.log
  uart  the 16550 UART the tests use (ttyS1)
  ctl   the control line (ttyS2): the guest's tests say here what the far ends do
  usb   the FTDI adapter ftdi0 (ttyUSB0), plugged in at the start
  usb2  a second adapter's line, for an adapter plugged in later
  mon   QEMU's machine protocol (QMP), for unplugging and plugging adapters
The UART's line goes through QEMU's multiplexer, whose escape byte (Ctrl+A) lets the far end
send a break ("\x01b"); a Ctrl+A in the data is sent twice.

Control commands, one line each, one answer line each:
  reset LINE              forget what arrived, stop echoing            -> ok
  echo LINE               send back whatever arrives from now on       -> ok
  send LINE HEX           send the bytes                               -> ok
  trickle LINE HEX MS     send the bytes one by one, MS milliseconds apart -> ok
  break LINE              send a break (the UART only)                 -> ok
  get LINE COUNT MS       the first COUNT bytes that arrived, or those
                          that came within MS milliseconds             -> data HEX
  gap LINE                the longest silence between bytes, in ms     -> gap MS
  rate LINE               the baud rate the emulated chip was set to   -> rate BAUD
  unplug ID               the adapter pulled out                      -> ok
  plug ID CHARDEV SERIAL  an adapter with that serial number put in    -> ok | error TEXT
The guest ends with "velotrix-drivers: status N" on its console; that N is the exit status.
"""
import json
import os
import re
import select
import socket
import subprocess
import sys
import time

ESCAPE = b"\x01"
DATA_LINES = ("uart", "usb", "usb2")
CHARDEV_LINES = {"c0": "usb", "c1": "usb2"}


class Line:
    def __init__(self, name):
        self.name = name
        self.conn = None
        self.escaped = name == "uart"
        self.reset()

    def reset(self):
        self.arrived = bytearray()
        self.last = None
        self.longest_gap = 0.0
        self.echo = False
        self.trickle = bytearray()
        self.drip_interval = 0.0
        self.next_drip = 0.0

    def take(self, data):
        now = time.monotonic()
        if self.last is not None:
            self.longest_gap = max(self.longest_gap, now - self.last)
        self.last = now
        self.arrived += data
        if self.echo:
            self.send(data)

    def send(self, data):
        data = bytes(data)
        self.conn.sendall(data.replace(ESCAPE, ESCAPE + ESCAPE) if self.escaped else data)

    def drip(self):
        now = time.monotonic()
        if self.trickle and now >= self.next_drip:
            self.send(self.trickle[:1])
            del self.trickle[:1]
            self.next_drip = now + self.drip_interval

    def send_break(self):
        if not self.escaped:
            return False
        self.conn.sendall(ESCAPE + b"b")
        return True


def qemu_command(kernel, initrd, work):
    sock = lambda name: os.path.join(work, name + ".sock")
    return [
        "qemu-system-x86_64", "-m", "256", "-display", "none", "-no-reboot",
        "-kernel", kernel, "-initrd", initrd,
        "-append", "console=ttyS0 quiet panic=-1",
        "-chardev", f"socket,id=con,path={sock('con')}", "-serial", "chardev:con",
        "-chardev", f"socket,id=uart,path={sock('uart')},mux=on", "-serial", "chardev:uart",
        "-chardev", f"socket,id=ctl,path={sock('ctl')}", "-serial", "chardev:ctl",
        "-chardev", f"socket,id=mon,path={sock('mon')}", "-mon", "chardev=mon,mode=control",
        "-device", "qemu-xhci,id=xhci",
        "-chardev", f"socket,id=c0,path={sock('usb')}",
        "-chardev", f"socket,id=c1,path={sock('usb2')}",
        "-device", "usb-serial,id=ftdi0,chardev=c0,serial=VX0001",
        "-trace", "usb_serial_set_baud", "-trace", "serial_update_parameters",
        "-D", os.path.join(work, "qemu.log"),
    ]


class FarEnds:
    def __init__(self, kernel, initrd, work):
        self.work = work
        self.lines = {name: Line(name) for name in DATA_LINES}
        self.listeners = {}
        for name in ("con", "ctl", "mon") + DATA_LINES:
            path = os.path.join(work, name + ".sock")
            if os.path.exists(path):
                os.unlink(path)
            listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            listener.bind(path)
            listener.listen(1)
            self.listeners[listener] = name
        self.conns = {}
        self.console = open(os.path.join(work, "console.log"), "wb")
        self.console_text = b""
        self.control = b""
        self.monitor = None
        self.monitor_input = b""
        self.pending = None  # a "get" that waits for its bytes: (line, count, deadline)
        self.adapters = {"ftdi0": "usb"}  # the line each plugged adapter is on
        self.status = None
        self.qemu = subprocess.Popen(qemu_command(kernel, initrd, work))

    def conn(self, name):
        return next(c for c, n in self.conns.items() if n == name)

    def answer(self, text):
        self.conn("ctl").sendall(text.encode() + b"\n")

    def monitor_reply(self, wanted=("return", "error", "QMP"), device=None):
        # One JSON object a line; what is not wanted (other events) is passed over.
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            while b"\n" in self.monitor_input:
                line, self.monitor_input = self.monitor_input.split(b"\n", 1)
                reply = json.loads(line) if line.strip() else {}
                if any(key in reply or reply.get("event") == key for key in wanted) and (
                        device is None or reply.get("data", {}).get("device") == device):
                    return reply
            if select.select([self.monitor], [], [], 1)[0]:
                self.monitor_input += self.monitor.recv(4096)
        return {"error": {"desc": "no answer"}}

    def monitor_command(self, command, **arguments):
        """Carries out a QMP command; its error's text, or "" when it succeeded."""
        self.monitor.sendall(json.dumps({"execute": command, "arguments": arguments}).encode())
        return self.monitor_reply().get("error", {}).get("desc", "")

    def last_rate(self, line):
        # The emulated chips report the divisor the driver wrote, as the rate it gives.
        pattern = r"baud rate (\d+)" if line.startswith("usb") else r"baudrate=(\d+)"
        try:
            with open(os.path.join(self.work, "qemu.log")) as log:
                rates = re.findall(pattern, log.read())
        except OSError:
            rates = []
        return rates[-1] if rates else "0"

    def command(self, words):
        verb, args = words[0], words[1:]
        line = self.lines.get(args[0]) if args else None
        if verb == "reset":
            line.reset()
        elif verb == "echo":
            line.echo = True
        elif verb == "send":
            line.send(bytes.fromhex(args[1]) if len(args) > 1 else b"")
        elif verb == "trickle":
            line.trickle = bytearray.fromhex(args[1])
            line.drip_interval = int(args[2]) / 1000
        elif verb == "break":
            if not line.send_break():
                return self.answer("error no break on this line")
        elif verb == "get":
            self.pending = (line, int(args[1]), time.monotonic() + int(args[2]) / 1000)
            return
        elif verb == "gap":
            return self.answer(f"gap {int(line.longest_gap * 1000)}")
        elif verb == "rate":
            return self.answer(f"rate {self.last_rate(args[0])}")
        elif verb == "unplug":
            # Nothing more is sent towards a pulled adapter: it would wait for the next one.
            self.lines[self.adapters.get(args[0], "usb")].trickle.clear()
            text = self.monitor_command("device_del", id=args[0])
            # The adapter lets go of its chardev only once it is gone for good.
            if not text and "error" in self.monitor_reply(("DEVICE_DELETED",), args[0]):
                text = "not deleted"
            return self.answer(f"error {text}" if text else "ok")
        elif verb == "plug":
            text = self.monitor_command("device_add", driver="usb-serial", id=args[0],
                                        chardev=args[1], serial=args[2])
            self.adapters[args[0]] = CHARDEV_LINES.get(args[1], "usb")
            return self.answer(f"error {text}" if text else "ok")
        else:
            return self.answer(f"error unknown command {verb}")
        self.answer("ok")

    def finish_pending(self):
        if self.pending is None:
            return
        line, count, deadline = self.pending
        if len(line.arrived) >= count or time.monotonic() >= deadline:
            data = line.arrived[:count]
            del line.arrived[:count]
            self.pending = None
            self.answer("data " + data.hex())

    def received(self, name, data):
        if name == "con":
            sys.stdout.buffer.write(data)
            sys.stdout.flush()
            self.console.write(data)
            self.console_text = (self.console_text + data)[-4096:]
            found = re.search(rb"velotrix-drivers: status (\d+)", self.console_text)
            if found:
                self.status = int(found.group(1))
        elif name == "ctl":
            self.control += data
            while b"\n" in self.control:
                text, self.control = self.control.split(b"\n", 1)
                words = text.decode(errors="replace").split()
                if words:
                    self.command(words)
        else:
            self.lines[name].take(data)

    def run(self, seconds):
        deadline = time.monotonic() + seconds
        while self.qemu.poll() is None and time.monotonic() < deadline:
            ready = select.select(list(self.listeners) + list(self.conns), [], [], 0.05)[0]
            for sock in ready:
                if sock in self.listeners:
                    conn, _ = sock.accept()
                    name = self.listeners[sock]
                    if name == "mon":
                        self.monitor = conn
                        self.monitor_reply()  # the greeting
                        self.monitor_command("qmp_capabilities")
                        continue
                    self.conns[conn] = name
                    if name in self.lines:
                        self.lines[name].conn = conn
                    continue
                data = sock.recv(65536)
                if data:
                    self.received(self.conns[sock], data)
            self.finish_pending()
            for line in self.lines.values():
                line.drip()
        if self.qemu.poll() is None:
            print(f"\nfar_ends.py: the guest did not end within {seconds} s", flush=True)
            self.qemu.kill()
        self.qemu.wait()
        for sock in list(self.conns):
            sock.setblocking(False)
            try:
                data = sock.recv(65536)
                if data and self.conns[sock] == "con":
                    self.received("con", data)
            except OSError:
                pass
        return self.status if self.status is not None else 1


def main():
    if len(sys.argv) < 4:
        print(__doc__.split("\n")[2], file=sys.stderr)
        return 2
    seconds = int(sys.argv[4]) if len(sys.argv) > 4 else 540
    return FarEnds(sys.argv[1], sys.argv[2], sys.argv[3]).run(seconds)


if __name__ == "__main__":
    sys.exit(main())
