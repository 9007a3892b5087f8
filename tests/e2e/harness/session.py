"""One session per lane of a test run: the Japanese locale, a fresh copy of the
Wine prefix and an Xvfb display with openbox, shared by the lane's tests; a fresh
program folder per test. A few tests run in a variant of it (another locale or
screen resolution) with a prefix and a display of its own. Everything a lane
makes stays in its home folder (set_home), so that lanes share nothing."""

import atexit
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest
from dataclasses import dataclass, field
from pathlib import Path

from . import inspector
from .inspector import Inspector
from .screenshots import screenshot
from .waiting import wait_for
from .xinput import XInput

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "scripts"))
import winenv  # noqa: E402

MINGW = winenv.BUILD / "mingw"
NEMUROKU_EXE = MINGW / "nemuroku.exe"
INSPECTOR_EXE = MINGW / "tests" / "e2e" / "inspector.exe"
MINIMAL_WINDOW_EXE = MINGW / "tests" / "e2e" / "minimal_window.exe"
E2E = winenv.BUILD / "e2e"

MAIN_CLASS = "NemurokuMainWindow"
PRODUCT_TITLE = "ねむろく"


def windows_path(path):
    """How a Windows program sees a Linux path: Wine maps / to drive Z:."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


class Process:
    """A Windows program started with `wine`; pid is its Unix process."""

    def __init__(self, popen, name):
        self.popen = popen
        self.name = name

    @property
    def pid(self):
        return self.popen.pid

    def running(self):
        return self.popen.poll() is None

    def wait_exit(self, timeout=30):
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{self.name} (pid {self.pid}) still runs after {timeout} s")

    def kill(self):
        if self.running():
            os.kill(self.pid, signal.SIGKILL)
        self.popen.wait(30)


@dataclass(frozen=True)
class Variant:
    """What a session's prefix is made for; prefix is the one made once and kept,
    of which each session takes a fresh copy."""
    prefix: Path = winenv.TEST_PREFIX
    locale: str = winenv.LOCALE
    log_pixels: int = None
    font_replacements: dict = field(default_factory=lambda: dict(winenv.FONT_REPLACEMENTS))
    font_links: dict = None
    base: Path = None  # a prefix that differs only in log_pixels, to start from

    def make(self, copy_to=None):
        """Makes the prefix if it is not made yet; with copy_to, returns a fresh copy."""
        return winenv.ensure_prefix(self.prefix, locale=self.locale, log_pixels=self.log_pixels,
                                    font_replacements=self.font_replacements,
                                    font_links=self.font_links, copy_to=copy_to, base=self.base)


JAPANESE = Variant()
# A screen at 150 %.
HIGH_DPI = Variant(prefix=winenv.BUILD / "wine" / "test-prefix-144dpi", log_pixels=144,
                   base=winenv.TEST_PREFIX)
# An English Windows: ANSI code page 1252 and no "ＭＳ Ｐゴシック" nor any other
# face of the Japanese edition. It has Yu Gothic UI (every Windows 10 and
# later has) and its UI font takes Japanese characters from it by a font
# link. Noto Sans CJK JP, the Japanese font of this machine, stands in for
# Yu Gothic UI in both.
ENGLISH = Variant(prefix=winenv.BUILD / "wine" / "test-prefix-en", locale="en_US.UTF-8",
                  font_replacements={"Yu Gothic UI": "Noto Sans CJK JP"},
                  font_links={"Tahoma": "NotoSansCJK-Regular.ttc,Noto Sans CJK JP"})
VARIANTS = (JAPANESE, HIGH_DPI, ENGLISH)


class Session:
    def __init__(self, home, variant=JAPANESE):
        self.home = home
        self.programs = home / "programs"
        self.artifacts = home / "artifacts"
        self.variant = variant
        self.display = None
        self.prefix = None
        self.env = None

    def start(self):
        variant = self.variant
        self.prefix = variant.make(copy_to=self.home / "prefixes" / variant.prefix.name)
        self.display = winenv.Display().start()
        self.env = winenv.wine_env(self.prefix, self.display.name, variant.locale)
        self.inspector = Inspector(INSPECTOR_EXE, self.env)
        # Brings up wineserver and the desktop process now rather than inside the first test.
        subprocess.run(["wine", INSPECTOR_EXE, "list"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        self.xinput = XInput(self.env)
        return self

    def stop(self):
        if self.env:
            self.inspector.stop()
        if self.prefix:
            winenv.stop_wineserver(self.prefix)
        if self.display:
            self.display.stop()
        self.prefix = self.display = None

    def new_program_folder(self, name, exe=NEMUROKU_EXE):
        """A fresh folder holding a copy of exe, named after the test for later reading."""
        self.programs.mkdir(parents=True, exist_ok=True)
        folder = Path(tempfile.mkdtemp(prefix=name + "-", dir=self.programs))
        shutil.copy2(exe, folder / Path(exe).name)
        return folder

    def launch(self, folder, exe_name="nemuroku.exe", stderr=subprocess.DEVNULL):
        popen = subprocess.Popen(["wine", exe_name], cwd=folder, env=self.env,
                                 stdout=subprocess.DEVNULL, stderr=stderr)
        return Process(popen, exe_name)

    def launch_notepad(self):
        # Given a full path, wine runs notepad in the started process itself instead
        # of handing it to start.exe, so the pid we hold is notepad's.
        popen = subprocess.Popen(["wine", r"C:\windows\system32\notepad.exe"], env=self.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return Process(popen, "notepad.exe")

    def screenshot(self, name, rect=None):
        return screenshot(self.env, self.artifacts / f"{name}.png", rect)


_sessions = {}
_home = E2E / "lane-1"


def set_home(folder):
    """The folder where sessions started from now on keep their prefixes, program
    folders and screenshots: one per lane, or per program that runs sessions."""
    global _home
    _home = Path(folder)


def session(variant=JAPANESE):
    if variant.prefix not in _sessions:
        if not _sessions:
            atexit.register(end_session)
        _sessions[variant.prefix] = Session(_home, variant).start()
    return _sessions[variant.prefix]


def end_session():
    """Ends every session started."""
    while _sessions:
        _sessions.popitem()[1].stop()


class WineTestCase(unittest.TestCase):
    """Gives each test the session, a program folder and clean-up of what it started."""

    variant = JAPANESE

    def setUp(self):
        self.session = session(self.variant)
        self.inspector = self.session.inspector
        self.xinput = self.session.xinput
        self.processes = []
        self.addCleanup(self._end_processes)

    def program_folder(self, exe=NEMUROKU_EXE):
        return self.session.new_program_folder(self._testMethodName, exe)

    def launch(self, folder, exe_name="nemuroku.exe"):
        process = self.session.launch(folder, exe_name)
        self.processes.append(process)
        return process

    def launch_notepad(self):
        process = self.session.launch_notepad()
        self.processes.append(process)
        return process

    def wait_for(self, condition, what, timeout=30):
        return wait_for(condition, timeout, what, describe=self.inspector.describe)

    def wait_for_window(self, cls=None, title=None, visible=True, timeout=30):
        """The first window of that class and title; a visible one only once it is
        on the X screen too, so that a click or a key reaches it."""
        def found():
            return [w for w in self.inspector.windows(cls, title, visible)
                    if not visible or not w["x11"] or self.xinput.shows(w["x11"])]
        windows = self.wait_for(found, f"window class={cls!r} title={title!r} visible={visible}",
                                timeout)
        return windows[0]

    def type_into_entry(self, window, text):
        """Types text with real keys into the entry field of a window that
        wait_for_window found, once a real click into it has given the window the
        keyboard; returns when the field shows the text."""
        self.xinput.click(*inspector.centre(inspector.control(window, "Edit")["rect"]))
        self.wait_for(lambda: self.inspector.foreground() == window["hwnd"],
                      f"{window['title']!r} in front")
        self.xinput.type_text(text)
        self.wait_for(lambda: inspector.control(self.inspector.window(window["hwnd"]),
                                                "Edit")["text"] == text,
                      f"{text!r} typed into {window['title']!r}")

    def wait_until_gone(self, hwnd, timeout=30):
        self.wait_for(lambda: self.inspector.window(hwnd) is None, f"window {hwnd} to go", timeout)

    def _end_processes(self):
        self.session.screenshot(self.id().rsplit(".", 2)[-1] + "-end")
        for process in self.processes:
            process.kill()
        # A window of a killed program lingers until wineserver has cleaned up; the
        # next test must not find it.
        wait_for(lambda: not self.inspector.windows(title=PRODUCT_TITLE, cls=MAIN_CLASS)
                 and not self.inspector.windows(cls="Notepad"),
                 30, "windows of the test's programs to disappear")
