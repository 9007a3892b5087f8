"""Starts nemuroku.exe under Wine, with Wine's notepad beside it (called by ./run).

The program folder is build/program/ unless --folder names another. Without DISPLAY
it brings up a private Xvfb with openbox and serves it to a web browser on this
machine, printing the address to open. Ctrl+C closes the main window, so the program
saves and encrypts its files, then stops what was started here.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

import winenv
from browser_view import BrowserView

sys.path.insert(0, str(winenv.ROOT / "tests" / "e2e"))
from harness.inspector import Inspector, centre, controls  # noqa: E402
from harness.screenshots import screenshot  # noqa: E402
from harness.xinput import XInput  # noqa: E402

DEFAULT_FOLDER = winenv.BUILD / "program"
PREFIX = winenv.BUILD / "wine" / "run-prefix"
EXE = winenv.BUILD / "mingw" / "nemuroku.exe"
INSPECTOR = winenv.BUILD / "mingw" / "tests" / "e2e" / "inspector.exe"
SCREENSHOTS = winenv.BUILD / "screenshots"
TITLE = "ねむろく"


class Interrupted(Exception):
    pass


def on_signal(*_):
    raise Interrupted


def program_windows(inspector, cls):
    return inspector.windows(cls, TITLE, visible=True)


def wait_for_main_window(inspector, env, program, xinput=None):
    """Waits until the main window is up or the program has ended; the start-up password is
    left to the person. With xinput, a notice box on the way is saved as a screenshot,
    printed and confirmed."""
    asked = False
    while program.poll() is None:
        if program_windows(inspector, "NemurokuMainWindow"):
            return True
        if not asked and inspector.windows("NemurokuStartupPasswordWindow", visible=True):
            print("run: the start-up password is asked (a first start's is mulberry)", flush=True)
            asked = True
        for box in program_windows(inspector, "#32770") if xinput else []:
            path = screenshot(env, SCREENSHOTS / "run-notice.png", box["rect"])
            texts = [c["text"] for c in controls(box, "Static") if c["text"]]
            print(f"run: notice {texts} (screenshot {path}); pressing OK", flush=True)
            ok = [c for c in controls(box, "Button") if c["text"] == "OK"]
            if ok:
                xinput.click(*centre(ok[0]["rect"]))
        time.sleep(0.2)
    return False


def start_notepad(env):
    """Wine's notepad, right of the program's window as it first opens."""
    position = {"iWindowPosX": 360, "iWindowPosY": 108, "iWindowPosDX": 640, "iWindowPosDY": 480}
    for name, value in position.items():
        subprocess.run(["wine", "reg", "add", r"HKCU\Software\Microsoft\Notepad", "/v", name,
                        "/t", "REG_DWORD", "/d", str(value), "/f"], env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return subprocess.Popen(["wine", "notepad"], env=env, start_new_session=True)


def close_gracefully(inspector, program, folder):
    """WM_CLOSE to the main window, so that the shutdown writes and encrypts the files."""
    for window in inspector.windows("NemurokuMainWindow", TITLE):
        inspector.close(window["hwnd"])
    try:
        program.wait(60)
        print("run: nemuroku.exe ended; its files are saved in", folder)
    except subprocess.TimeoutExpired:
        print("run: nemuroku.exe did not end within 60 s; killing it")
        program.kill()
        program.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--folder", type=Path, default=DEFAULT_FOLDER,
                        help="program folder: nemuroku.exe is copied there and keeps its files there")
    folder = parser.parse_args().folder.resolve()
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copy2(EXE, folder / EXE.name)
    prefix = winenv.ensure_prefix(PREFIX, base=winenv.TEST_PREFIX)
    signal.signal(signal.SIGINT, on_signal)
    signal.signal(signal.SIGTERM, on_signal)

    display = None if os.environ.get("DISPLAY") else winenv.Display()
    view = None
    program = notepad = None
    try:
        if display:
            display.start()
            view = BrowserView(display.name).start()
            print(f"run: private display {display.name}; open {view.address}", flush=True)
        env = winenv.wine_env(prefix, display.name if display else os.environ["DISPLAY"])
        inspector = Inspector(INSPECTOR, env)
        # Their own sessions, so that Ctrl+C in this terminal reaches only us.
        program = subprocess.Popen(["wine", EXE.name], cwd=folder, env=env,
                                   start_new_session=True)
        print(f"run: nemuroku.exe started from {folder} (pid {program.pid})", flush=True)
        if wait_for_main_window(inspector, env, program, XInput(env) if display else None):
            # Started now, so that it covers none of the windows before.
            notepad = start_notepad(env)
            if display:
                path = screenshot(env, SCREENSHOTS / "run-main.png")
                print(f"run: main window is up; screenshot {path}", flush=True)
        print("run: Ctrl+C closes the program and saves its files", flush=True)
        program.wait()
        print(f"run: nemuroku.exe ended with {program.returncode}")
    except Interrupted:
        signal.signal(signal.SIGINT, signal.SIG_IGN)
        if program and program.poll() is None:
            close_gracefully(inspector, program, folder)
    finally:
        winenv.stop_processes(notepad)
        if view:
            view.stop()
        if display:
            winenv.stop_wineserver(prefix)
            display.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
