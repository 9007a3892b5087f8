"""Stand-ins for the programs to which Wine's shell hands what a program asks it to
open, so that a test sees what was asked."""

import subprocess
import tempfile
from pathlib import Path

BROWSERS_KEY = r"HKCU\Software\Wine\WineBrowser"


class RecordingBrowser:
    """The prefix's web browser while installed. Wine's shell opens a web address with
    winebrowser, which runs the first program named in the value "Browsers" of
    BROWSERS_KEY with the address as its argument; this one only writes it down."""

    def __init__(self, env, folder):
        self.env = env
        self.folder = Path(tempfile.mkdtemp(prefix="browser-", dir=folder))
        self.log = self.folder / "addresses.txt"
        self.program = self.folder / "record-address"

    def install(self):
        self.program.write_text(f"#!/bin/sh\nprintf '%s\\n' \"$@\" >> '{self.log}'\n")
        self.program.chmod(0o755)
        self._reg("add", BROWSERS_KEY, "/v", "Browsers", "/d", str(self.program), "/f")

    def uninstall(self):
        # The test prefix names no browser of its own, so there is nothing to put back.
        self._reg("delete", BROWSERS_KEY, "/v", "Browsers", "/f")

    def addresses(self):
        """The addresses opened so far, in order."""
        return self.log.read_text().splitlines() if self.log.exists() else []

    def _reg(self, *args):
        # No pipes: a wineserver started by this call would hold them open.
        subprocess.run(["wine", "reg", *args], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
