#!/usr/bin/env python3
"""Starts and stops vantrel-standin for the Windows tests running under Wine.

A Windows process under Wine cannot start a Linux program and wait for it, so the tests ask this launcher
over loopback (tests/support/standin_process_windows.h). One connection is one vantrel-standin:
  client: START<TAB>argument<TAB>...<LF>   launcher: OK <port><LF> once it listens, else FAIL<LF>
  client: STOP<LF> (or closes)             launcher: SIGTERM, wait, EXIT <status><LF> (-1: not a normal exit)
Windows paths among the arguments (C:\\..., Z:\\...) become the Linux paths of the Wine prefix's drives.

usage: standin_launcher.py <vantrel-standin> <wine prefix> <port file>
Listens on a free loopback port, writes it to the port file, and serves until SIGTERM.
"""
import os
import re
import select
import signal
import socket
import socketserver
import subprocess
import sys
import threading
import time

STANDIN, PREFIX, PORT_FILE = sys.argv[1:4]
WINDOWS_PATH = re.compile(r"^([A-Za-z]):[\\/]")


def unix_path(argument):
    match = WINDOWS_PATH.match(argument)
    if not match:
        return argument
    drive = os.path.realpath(os.path.join(PREFIX, "dosdevices", match.group(1).lower() + ":"))
    return os.path.join(drive, argument[3:].replace("\\", "/"))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start(arguments):
    """The running process and its port once it says it listens; None when it never does."""
    for _ in range(5):  # another process may take the port between asking and binding
        port = free_port()
        child = subprocess.Popen([STANDIN, "--port", str(port), "--quiet"] + arguments,
                                 stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
        output = b""
        deadline = time.monotonic() + 10
        while b"listening" not in output and time.monotonic() < deadline:
            ready, _, _ = select.select([child.stdout], [], [], 0.5)
            if ready:
                chunk = os.read(child.stdout.fileno(), 256)
                if not chunk:
                    break
                output += chunk
        if b"listening" in output:
            # Its later output is read and dropped, so that it never blocks on a full pipe.
            threading.Thread(target=lambda: child.stdout.read(), daemon=True).start()
            return child, port
        child.terminate()
        child.wait()
    return None


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        request = self.rfile.readline().decode("utf-8").rstrip("\n").split("\t")
        if request[0] != "START":
            return
        started = start([unix_path(a) for a in request[1:] if a != ""])
        if started is None:
            self.wfile.write(b"FAIL\n")
            return
        child, port = started
        self.wfile.write(f"OK {port}\n".encode())
        try:
            command = self.rfile.readline()
        except OSError:
            command = b""
        child.send_signal(signal.SIGTERM)
        status = child.wait()
        if command:
            self.wfile.write(f"EXIT {status if status >= 0 else -1}\n".encode())


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    server = Server(("127.0.0.1", 0), Handler)
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    with open(PORT_FILE + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(PORT_FILE + ".tmp", PORT_FILE)
    server.serve_forever()


if __name__ == "__main__":
    main()
