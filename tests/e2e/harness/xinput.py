"""Real mouse and keyboard input through xdotool on the session's display."""

import subprocess


class XInput:
    def __init__(self, env):
        self.env = env

    def _xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    def click(self, x, y, button=1):
        self._xdotool("mousemove", "--sync", x, y, "click", button)

    def type_text(self, text):
        self._xdotool("type", "--delay", 30, text)

    def key(self, *keys):
        self._xdotool("key", "--delay", 30, *keys)

    def x_windows_of(self, pid):
        """X windows that Wine made for the Unix process pid."""
        out = subprocess.run(["xdotool", "search", "--pid", str(pid)], env=self.env,
                             capture_output=True, text=True).stdout
        return [int(line) for line in out.split()]

    def focus(self, xid):
        # Wine may leave the X focus on the window it had before; keys would then go
        # there, so the window that is to get keystrokes is focused explicitly.
        self._xdotool("windowactivate", "--sync", xid)
        self._xdotool("windowfocus", "--sync", xid)
