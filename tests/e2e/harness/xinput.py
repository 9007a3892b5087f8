"""Real mouse and keyboard input through xdotool on the session's display."""

import subprocess


class XInput:
    def __init__(self, env):
        self.env = env

    def _xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    @staticmethod
    def _move_to(x, y):
        """xdotool's arguments that move the pointer to (x, y), as a hand brings it
        there, and wait until it is there. It comes from the pixel beside, also when
        it is there already (where the last test left it, say): a synchronous move
        that moves nothing waits 15 s for a motion that never comes, and the program
        would see no motion over the point. The first step needs no wait, as the
        second starts from where the first left the pointer."""
        return ["mousemove", x + 1, y, "mousemove", "--sync", x, y]

    def click(self, x, y, button=1):
        self._xdotool(*self._move_to(x, y), "click", button)

    def move(self, x, y):
        self._xdotool(*self._move_to(x, y))

    def double_click(self, x, y):
        self._xdotool(*self._move_to(x, y), "click", "--repeat", 2, "--delay", 80, 1)

    def click_holding(self, key, x, y):
        """A click while key is held down, e.g. "ctrl" to highlight one more list line."""
        self._xdotool("keydown", key, *self._move_to(x, y), "click", 1, "keyup", key)

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

    def drag(self, from_x, from_y, to_x, to_y):
        """Presses the left button at one point, moves to another and lets go there."""
        self._xdotool(*self._move_to(from_x, from_y), "mousedown", 1,
                      "mousemove", "--sync", to_x, to_y, "mouseup", 1)

    def shows(self, xid):
        """Whether the X window xid is mapped on the screen. Wine reports a window
        visible once it has asked for the mapping; the window manager maps it a moment
        later, and input before that goes to what lies beneath."""
        info = subprocess.run(["xwininfo", "-id", str(xid)], env=self.env,
                              capture_output=True, text=True).stdout
        return "Map State: IsViewable" in info

    def client_size(self, pid, title):
        """(width, height) of the visible X window titled title of the Unix process pid.
        Wine leaves caption and frame to the window manager, so for a window without a
        menu bar this is its client area."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid),
                                "--name", f"^{title}$"], env=self.env,
                               capture_output=True, text=True).stdout.split()
        if len(found) != 1:
            raise AssertionError(f"expected one visible X window {title!r}, found {found}")
        shell = dict(line.split("=", 1) for line in
                     self._xdotool("getwindowgeometry", "--shell", found[0]).split())
        return int(shell["WIDTH"]), int(shell["HEIGHT"])
