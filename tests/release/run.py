"""Release checks: ./run without a display serves the program to a browser, and two
release builds of the same sources in different folders are the same byte for byte.

    python3 tests/release/run.py [-k NAME]

Prints one line per test and ends with "N passed, N failed"; exits 1 on any failure.
Screenshots go to build/release-artifacts/.
"""

import argparse
import hashlib
import io
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "scripts"))
sys.path.insert(0, str(Path(__file__).resolve().parent))
import package  # noqa: E402
import winenv  # noqa: E402
from browser import Browser  # noqa: E402
from browser_view import listening  # noqa: E402

ARTIFACTS = ROOT / "build" / "release-artifacts"
SCREEN = (1280, 1024)  # the size of winenv.Display's screen
PASSWORD_CAPTION = "ねむろく認証"
NOTEPAD_CAPTION = r"\(無題\) - メモ帳"


class RunOutput:
    """The lines ./run prints, collected as they come."""

    def __init__(self, process):
        self.lines = []
        self._reader = threading.Thread(target=self._read, args=(process.stdout,), daemon=True)
        self._reader.start()

    def _read(self, stream):
        for line in stream:
            self.lines.append(line.rstrip("\n"))

    def wait_for(self, pattern, timeout):
        def found():
            return next((m for m in map(re.compile(pattern).search, self.lines) if m), None)
        try:
            return winenv.wait_until(found, timeout, f"./run to print {pattern!r}")
        except TimeoutError as error:
            raise AssertionError(f"{error}; it printed:\n" + "\n".join(self.lines)) from None


def window_rect(display, caption):
    """(left, top, width, height) of the client area of the visible X window with this
    caption, or None."""
    env = dict(os.environ, DISPLAY=display)
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{caption}$"],
                           env=env, capture_output=True, text=True).stdout.split()
    if not found:
        return None
    # xwininfo, since xdotool counts the window manager's frame into the position.
    info = subprocess.run(["xwininfo", "-id", found[0]], env=env, capture_output=True,
                          text=True, check=True).stdout
    values = dict(line.strip().split(": ", 1) for line in info.splitlines() if ": " in line)
    return tuple(int(values[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                          "Width", "Height"))


def region_difference(path, other_path, rect):
    """Normalised RMSE of the two images over rect, and the spread of the first there."""
    left, top, width, height = rect
    crops = []
    for source in (path, other_path):
        crop = source.with_name(source.stem + "-region.png")
        subprocess.run(["convert", str(source), "-crop", f"{width}x{height}+{left}+{top}",
                        "+repage", str(crop)], check=True)
        crops.append(crop)
    done = subprocess.run(["compare", "-metric", "RMSE", *map(str, crops), "null:"],
                          capture_output=True, text=True)
    difference = float(done.stderr.split("(")[1].split(")")[0])
    spread = float(subprocess.run(["convert", str(crops[0]), "-format",
                                   "%[fx:standard_deviation]", "info:"],
                                  capture_output=True, text=True, check=True).stdout)
    return difference, spread


def test_browser_shows_program():
    """./run without DISPLAY: the printed address shows the start-up password window in
    Chromium, the password typed there opens the main window, and Ctrl+C ends it all."""
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    folder = Path(tempfile.mkdtemp(prefix="nemuroku-run-"))  # a first start
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    run = subprocess.Popen([str(ROOT / "run"), "--folder", str(folder)], env=env,
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    output = RunOutput(run)
    browser = None
    try:
        opened = output.wait_for(r"private display (:\d+); open (http://localhost:(\d+)/\S+)", 180)
        display, address, port = opened.group(1), opened.group(2), int(opened.group(3))
        output.wait_for("start-up password is asked", 60)
        password = winenv.wait_until(lambda: window_rect(display, PASSWORD_CAPTION), 20,
                                     "the password window on the X screen")

        browser = Browser(*SCREEN)
        browser.open(address)
        winenv.wait_until(lambda: browser.evaluate(
            "document.documentElement.classList.contains('noVNC_connected')"), 30,
            "noVNC to connect")
        seen = ARTIFACTS / "browser-password.png"
        reference = ARTIFACTS / "display-password.png"
        subprocess.run(["import", "-display", display, "-window", "root", str(reference)],
                       check=True)

        def password_window_shown():
            difference, spread = region_difference(browser.screenshot(seen), reference, password)
            return difference < 0.05 and spread > 0.05
        winenv.wait_until(password_window_shown, 30,
                          f"the browser to show the password window at {password} ({seen})")

        left, top, width, _ = password
        browser.click(left + width // 2, top + 40)  # into its entry field
        browser.type("mulberry\n")
        output.wait_for("main window is up", 30)
        winenv.wait_until(lambda: window_rect(display, NOTEPAD_CAPTION), 30, "notepad")
        browser.screenshot(ARTIFACTS / "browser-main.png")

        run.send_signal(signal.SIGINT)
        assert run.wait(90) == 0, f"./run ended with {run.returncode}"
        output.wait_for("files are saved in", 5)
        settings = folder / "defpts.ini"
        assert settings.exists() and b"mulberry" not in settings.read_bytes(), \
            "the settings were not saved encrypted"
        assert not Path(f"/tmp/.X{display[1:]}-lock").exists(), "the display is still running"
        winenv.wait_until(lambda: not listening(port), 10, "the browser's port to close")
    finally:
        if browser:
            browser.close()
        if run.poll() is None:  # Ctrl+C, so that it stops what it started
            run.send_signal(signal.SIGINT)
            try:
                run.wait(90)
            except subprocess.TimeoutExpired:
                run.kill()
                run.wait()
        shutil.rmtree(folder, ignore_errors=True)


def source_files():
    listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            cwd=ROOT, capture_output=True, check=True).stdout
    return [name for name in listed.decode().split("\0") if name and (ROOT / name).is_file()]


def test_release_build_is_reproducible():
    """Two release builds in different folders at different times give the same exe and
    archive; the archive holds the exe, the guide and SHA256SUMS, whose sums match. The
    first build is the mingw preset's (./test has just made it), which builds the exe
    with the same configuration and flags; the second is made from scratch in a copy of
    the sources."""
    first_exe = ROOT / "build" / "mingw" / "nemuroku.exe"
    assert first_exe.exists(), f"{first_exe} is missing: build the mingw preset first"
    with tempfile.TemporaryDirectory(prefix="nemuroku-twice-") as work:
        first_zip = Path(work) / first_exe.with_suffix(".zip").name
        package.write_archive(first_zip, [("nemuroku.exe", first_exe.read_bytes()),
                                          (package.GUIDE_NAME, package.guide_for_windows())])
        copy = Path(work) / "copy"
        for file in source_files():
            (copy / file).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(ROOT / file, copy / file)
        started = time.monotonic()
        # Niced: ./test runs other layers meanwhile that wait for windows.
        subprocess.run(["nice", "-n", "10", sys.executable, str(copy / "scripts" / "package.py")],
                       check=True, stdout=subprocess.DEVNULL)
        print(f"  release build in {copy}: {time.monotonic() - started:.0f} s", flush=True)
        archives = list((copy / "build" / "dist").glob("nemuroku-*-win64.zip"))
        assert len(archives) == 1, archives
        second_exe, second_zip = copy / "build" / "release" / "nemuroku.exe", archives[0]
        for one, other in ((first_exe, second_exe), (first_zip, second_zip)):
            assert one.read_bytes() == other.read_bytes(), \
                f"{one} and {other} differ (cmp -l shows where; is the mingw preset's build " \
                f"up to date?)"
        with zipfile.ZipFile(first_zip) as archive:
            names = archive.namelist()
            assert names == ["nemuroku.exe", "使い方.txt", "SHA256SUMS"], names
            assert archive.getinfo("使い方.txt").flag_bits & 0x800, "name not marked UTF-8"
            contents = {name: archive.read(name) for name in names}
        assert contents["nemuroku.exe"] == first_exe.read_bytes()
        guide = contents["使い方.txt"]
        assert guide.startswith(b"\xef\xbb\xbf") and b"\r\n" in guide \
            and guide.count(b"\n") == guide.count(b"\r\n"), "the guide is not UTF-8 with BOM and CR LF"
        sums = {}
        for line in io.StringIO(contents["SHA256SUMS"].decode()):
            digest, name = line.rstrip("\n").split("  ", 1)
            sums[name] = digest
        assert sums == {name: hashlib.sha256(contents[name]).hexdigest()
                        for name in names[:2]}, sums


TESTS = [test_browser_shows_program, test_release_build_is_reproducible]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-k", dest="pattern", default="")
    args = parser.parse_args()
    passed = failed = 0
    for test in TESTS:
        if args.pattern not in test.__name__:
            continue
        started = time.monotonic()
        try:
            test()
        except Exception:
            failed += 1
            print(f"FAIL {test.__name__} ({time.monotonic() - started:.0f} s)")
            traceback.print_exc(file=sys.stdout)
        else:
            passed += 1
            print(f"ok   {test.__name__} ({time.monotonic() - started:.0f} s)", flush=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
