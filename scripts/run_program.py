"""Starts nemuroku.exe from build/program/ under Wine (called by ./run).

Without DISPLAY it brings up a private Xvfb with openbox, saves a screenshot once
the main window is up and prints its path. Ctrl+C closes the main window, so the
program saves and encrypts its files, then stops what was started here.
"""

import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

import winenv

sys.path.insert(0, str(winenv.ROOT / "tests" / "e2e"))
from harness.inspector import Inspector, centre, controls  # noqa: E402
from harness.screenshots import screenshot  # noqa: E402
from harness.xinput import XInput  # noqa: E402

PROGRAM_FOLDER = winenv.BUILD / "program"
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


def wait_for_main_window(inspector, xinput, env, program):
    """Waits for the main window; a notice box on the way is saved, printed and confirmed,
    since nobody can click it on a private screen."""
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline and program.poll() is None:
        main = program_windows(inspector, "NemurokuMainWindow")
        if main:
            return main[0]
        password = inspector.windows("NemurokuStartupPasswordWindow", visible=True)
        if password:
            path = screenshot(env, SCREENSHOTS / "run-password.png")
            print(f"run: the start-up password is asked (screenshot {path}); type it on display"
                  f" {env['DISPLAY']}, e.g. DISPLAY={env['DISPLAY']} xdotool type PASSWORD key Return")
            deadline = float("inf")  # a person may take their time
            while program.poll() is None and not program_windows(inspector, "NemurokuMainWindow"):
                time.sleep(0.5)
            continue
        for box in program_windows(inspector, "#32770"):
            path = screenshot(env, SCREENSHOTS / "run-notice.png", box["rect"])
            texts = [c["text"] for c in controls(box, "Static") if c["text"]]
            print(f"run: notice {texts} (screenshot {path}); pressing OK")
            ok = [c for c in controls(box, "Button") if c["text"] == "OK"]
            if ok:
                xinput.click(*centre(ok[0]["rect"]))
        time.sleep(0.2)
    return None


def close_gracefully(inspector, program):
    """WM_CLOSE to the main window, so that the shutdown writes and encrypts the files."""
    for window in inspector.windows("NemurokuMainWindow", TITLE):
        inspector.close(window["hwnd"])
    try:
        program.wait(60)
        print("run: nemuroku.exe ended; its files are saved in", PROGRAM_FOLDER)
    except subprocess.TimeoutExpired:
        print("run: nemuroku.exe did not end within 60 s; killing it")
        program.kill()
        program.wait()


def main():
    PROGRAM_FOLDER.mkdir(parents=True, exist_ok=True)
    shutil.copy2(EXE, PROGRAM_FOLDER / EXE.name)
    prefix = winenv.ensure_prefix(PREFIX)
    signal.signal(signal.SIGINT, on_signal)
    signal.signal(signal.SIGTERM, on_signal)

    display = None if os.environ.get("DISPLAY") else winenv.Display()
    program = None
    try:
        if display:
            display.start()
            print(f"run: private display {display.name} (Xvfb + openbox)")
        env = winenv.wine_env(prefix, display.name if display else os.environ["DISPLAY"])
        inspector = Inspector(INSPECTOR, env)
        # Its own session, so that Ctrl+C in this terminal reaches only us.
        program = subprocess.Popen(["wine", EXE.name], cwd=PROGRAM_FOLDER, env=env,
                                   start_new_session=True)
        print(f"run: nemuroku.exe started from {PROGRAM_FOLDER} (pid {program.pid})")
        if display:
            main_window = wait_for_main_window(inspector, XInput(env), env, program)
            if main_window:
                path = screenshot(env, SCREENSHOTS / "run-main.png")
                print(f"run: main window is up; screenshot {path}")
            else:
                print("run: the main window did not appear")
        print("run: Ctrl+C closes the program and saves its files")
        program.wait()
        print(f"run: nemuroku.exe ended with {program.returncode}")
    except Interrupted:
        signal.signal(signal.SIGINT, signal.SIG_IGN)
        if program and program.poll() is None:
            close_gracefully(inspector, program)
    finally:
        if display:
            winenv.stop_wineserver(prefix)
            display.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
