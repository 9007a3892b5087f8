"""Runs inspector.exe under Wine to look at and act on windows."""

import json
import subprocess
import tempfile

from .waiting import wait_for

ES_PASSWORD = 0x20
WS_EX_LAYERED = 0x80000
SW_HIDE = 0
BS_DEFPUSHBUTTON = 0x1


class Inspector:
    def __init__(self, exe, env):
        self.exe = str(exe)
        self.env = env

    def _run(self, *args, timeout=30):
        # Output goes through files, not pipes: a wineserver or explorer.exe that this
        # call happens to start inherits the descriptors and would hold a pipe open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run(["wine", self.exe, *map(str, args)], env=self.env,
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=timeout)
            out.seek(0)
            err.seek(0)
            done.stdout, done.stderr = out.read(), err.read()
        if done.returncode not in (0, 1):
            raise RuntimeError(f"inspector {args} failed ({done.returncode}): {done.stderr!r}")
        return done

    def snapshot(self):
        """{"foreground": hwnd, "windows": [top-level windows with their controls]}."""
        # Now and then, mostly right after a program was killed, the inspector's
        # process ends without a word under Wine; asking again answers.
        for _ in range(3):
            done = self._run("list")
            try:
                return json.loads(done.stdout.decode("utf-8"))
            except ValueError:
                pass
        raise RuntimeError(f"inspector list gave no answer ({done.returncode}): {done.stderr!r}")

    def windows(self, cls=None, title=None, visible=None):
        return [w for w in self.snapshot()["windows"]
                if (cls is None or w["class"] == cls)
                and (title is None or w["title"] == title)
                and (visible is None or w["visible"] == visible)]

    def window(self, hwnd):
        """The current state of one window, or None when it is gone."""
        return next((w for w in self.snapshot()["windows"] if w["hwnd"] == hwnd), None)

    def foreground(self):
        return self.snapshot()["foreground"]

    def close(self, hwnd):
        self._run("close", hwnd)

    def post_command(self, hwnd, command_id):
        """Posts a menu command to the window, as another program could."""
        self._run("command", hwnd, command_id)

    def post(self, hwnd, message, wparam=0, lparam=0):
        """Posts a message to the window, as the system or another program could."""
        self._run("post", hwnd, message, wparam, lparam)

    def show(self, hwnd, command):
        self._run("show", hwnd, command)

    def set_foreground(self, hwnd):
        self._run("foreground", hwnd)

    def press(self, dialog, caption):
        """Clicks a dialog button by message; real clicks (xinput) are preferred."""
        if self._run("press", dialog, caption).returncode != 0:
            raise AssertionError(f"dialog {dialog} has no button {caption!r}")

    def clipboard_text(self, timeout=10):
        """The clipboard's text: "" for the empty text, None when it holds no text.
        Another program may keep the clipboard open for a moment."""
        def opened():
            done = self._run("clipboard")
            return done if done.returncode == 0 else None

        done = wait_for(opened, timeout, "the clipboard to open")
        return json.loads(done.stdout.decode("utf-8"))["text"]

    def atom_exists(self, name):
        return self._run("atom", name).stdout.strip() == b"1"

    def describe(self):
        """A short, readable list of the visible windows for failure messages."""
        lines = []
        for w in self.snapshot()["windows"]:
            if not w["visible"]:
                continue
            texts = [c["text"] for c in w["controls"] if c["text"]]
            lines.append(f"  {w['hwnd']} {w['class']!r} {w['title']!r} {w['rect']} {texts}")
        return "visible windows:\n" + "\n".join(lines)


def controls(window, cls):
    return [c for c in window["controls"] if c["class"].lower() == cls.lower()]


def control(window, cls, visible=True):
    """The one control of a class in window (visible ones only, unless told otherwise)."""
    found = [c for c in controls(window, cls) if visible is None or c["visible"] == visible]
    if len(found) != 1:
        raise AssertionError(f"expected one {cls} in {window['class']}, found {len(found)}")
    return found[0]


def list_line_centre(list_box, line):
    """Where a line of a list box is on the screen (the list is not scrolled)."""
    rect = list_box["rect"]
    # 2 pixels of client edge above the first line.
    return (rect["left"] + rect["width"] // 2,
            rect["top"] + 2 + list_box["itemHeight"] * line + list_box["itemHeight"] // 2)


def centre(rect):
    return rect["left"] + rect["width"] // 2, rect["top"] + rect["height"] // 2
