"""Shows an X display in a web browser on this machine: x11vnc serves the display, and
websockify serves noVNC's page and carries its connection to x11vnc. Both listen on the
loopback interface only."""

import socket
import subprocess

import winenv

NOVNC = "/usr/share/novnc"


def free_port(first):
    for port in range(first, first + 100):
        with socket.socket() as probe:
            try:
                probe.bind(("127.0.0.1", port))
            except OSError:
                continue
            return port
    raise RuntimeError(f"no free port from {first} on")


def listening(port):
    with socket.socket() as probe:
        return probe.connect_ex(("127.0.0.1", port)) == 0


class BrowserView:
    def __init__(self, display_name):
        self.display_name = display_name
        self.port = None
        self._processes = []

    @property
    def address(self):
        return f"http://localhost:{self.port}/vnc.html?autoconnect=1&resize=scale"

    def start(self):
        vnc_port = free_port(5900)
        self._start(["x11vnc", "-display", self.display_name, "-localhost", "-noipv6",
                     "-rfbport", str(vnc_port), "-nopw", "-forever", "-shared", "-quiet"],
                    vnc_port, "x11vnc")
        self.port = free_port(6080)
        self._start(["websockify", "--web", NOVNC, f"127.0.0.1:{self.port}",
                     f"127.0.0.1:{vnc_port}"], self.port, "websockify")
        return self

    def stop(self):
        winenv.stop_processes(*reversed(self._processes))
        self._processes = []

    def _start(self, command, port, what):
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        self._processes.append(process)

        def ready():
            if process.poll() is not None:
                raise RuntimeError(f"{what} exited with {process.returncode}")
            return listening(port)

        winenv.wait_until(ready, 20, f"{what} on port {port}")
