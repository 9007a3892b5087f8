"""Runs inspector.exe under Wine to look at and act on windows."""

import json
import os
import re
import select
import subprocess
import tempfile
import threading
import time

from .waiting import wait_for

ES_PASSWORD = 0x20
WS_EX_LAYERED = 0x80000
SW_HIDE = 0
BS_DEFPUSHBUTTON = 0x1
# How inspector serve ends an answer: a line of \x04 and the exit code.
ANSWER_END = re.compile(rb"(?:^|\n)\x04(-?\d+)\n$")
# A question takes at least this long, as it did when each started a Wine process:
# the tests' pace stays what it was. Answered at once, a click that followed the
# clipboard's clear within milliseconds once left its paste undelivered (the second
# click of test_counter_pastes_its_value_and_keeps_the_advanced_one).
SECONDS_PER_QUESTION = 0.2


class Inspector:
    """Asks one inspector.exe process that stays (inspector serve): starting a Wine
    process for every question would cost far more CPU than the question."""

    def __init__(self, exe, env):
        self.exe = str(exe)
        self.env = env
        self._server = None
        self._lock = threading.Lock()

    def _run_once(self, args, timeout):
        # Output goes through files, not pipes: a wineserver or explorer.exe that this
        # call happens to start inherits the descriptors and would hold a pipe open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run(["wine", self.exe, *args], env=self.env,
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=timeout)
            out.seek(0)
            err.seek(0)
            done.stdout, done.stderr = out.read(), err.read()
        return done

    def _ask_server(self, args, timeout):
        """The server's answer, or None when it ended before answering (it does now and
        then, mostly right after a program was killed)."""
        server = self._server
        try:
            os.write(server.stdin.fileno(), ("\t".join(args) + "\n").encode())
        except OSError:
            return None
        deadline = time.monotonic() + timeout
        reply = b""
        while not (end := ANSWER_END.search(reply)):
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                self.stop()
                raise subprocess.TimeoutExpired(["inspector", *args], timeout)
            if select.select([server.stdout], [], [], min(remaining, 1))[0]:
                chunk = os.read(server.stdout.fileno(), 65536)
                if not chunk:
                    return None
                reply += chunk
            elif server.poll() is not None:
                return None
        output, code = reply[:end.start()], int(end.group(1))
        return subprocess.CompletedProcess(args, code, output, b"")

    def _run(self, *args, timeout=30):
        args = [str(arg) for arg in args]
        with self._lock:
            asked = time.monotonic()
            done = None
            if not any("\t" in arg or "\n" in arg for arg in args):
                if self._server is None:
                    # The first question starts the wineserver and the desktop process,
                    # so that they do not inherit the server's pipes.
                    done = self._run_once(args, timeout)
                    self._server = subprocess.Popen(
                        ["wine", self.exe, "serve"], env=self.env, stdin=subprocess.PIPE,
                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
                else:
                    done = self._ask_server(args, timeout)
                    if done is None:
                        self.stop()
            done = done or self._run_once(args, timeout)
            time.sleep(max(0.0, asked + SECONDS_PER_QUESTION - time.monotonic()))
        if done.returncode not in (0, 1):
            raise RuntimeError(f"inspector {args} failed ({done.returncode}): {done.stderr!r}")
        return done

    def stop(self):
        """Ends the server; the next question starts another."""
        server, self._server = self._server, None
        if server:
            try:
                server.stdin.close()
            except OSError:
                pass
            try:
                server.wait(5)
            except subprocess.TimeoutExpired:
                server.kill()
                server.wait()
            server.stdout.close()

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
