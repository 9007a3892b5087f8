"""The environment that runs our Windows programs: a Japanese locale, a 64-bit
Wine prefix and an Xvfb display managed by openbox.

Used as a module by the end-to-end harness and ./run, and from the shell:

    python3 scripts/winenv.py exec [--display] [--fresh-prefix] [--prefix DIR]
                                   [--copy-to DIR] -- CMD...

runs CMD with LANG, LOCPATH, WINEPREFIX and (with --display) DISPLAY set, then
stops the display and the prefix's wineserver again. With --copy-to, CMD runs in
a fresh copy of the prefix made in DIR, and the prefix itself stays as made.
"""

import argparse
import fcntl
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build"
LOCALE = "ja_JP.UTF-8"
TEST_PREFIX = BUILD / "wine" / "test-prefix"

# Japanese captions and message boxes ask for these faces; the prefix has none of them.
FONT_REPLACEMENTS = {
    "ＭＳ Ｐゴシック": "Noto Sans CJK JP",
    "ＭＳ ゴシック": "Noto Sans CJK JP",
    "MS UI Gothic": "Noto Sans CJK JP",
    "MS PGothic": "Noto Sans CJK JP",
    "MS Gothic": "Noto Sans CJK JP",
}


def wait_until(condition, timeout, what):
    """Polls condition until it returns something true; raises after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TimeoutError(f"gave up after {timeout} s waiting for {what}")
        time.sleep(0.05)


def locale_env(locale=LOCALE):
    """LANG (and LOCPATH when the system lacks the locale) for locale, e.g. ja_JP.UTF-8."""
    installed = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    def plain(name):
        return name.lower().replace("-", "")
    if any(plain(name) == plain(locale) for name in installed):
        return {"LANG": locale, "LC_ALL": locale}
    private = BUILD / "locale"
    if not (private / locale / "LC_CTYPE").exists():
        private.mkdir(parents=True, exist_ok=True)
        language, charmap = locale.split(".")
        # localedef warns about harmless things in some glibc versions and still writes the files.
        subprocess.run(["localedef", "-i", language, "-f", charmap, str(private / locale)],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not (private / locale / "LC_CTYPE").exists():
            raise RuntimeError("localedef could not build " + locale)
    return {"LANG": locale, "LC_ALL": locale, "LOCPATH": str(private)}


def wine_env(prefix, display=None, locale=LOCALE):
    env = dict(os.environ)
    env.update(locale_env(locale))
    env.update({
        "WINEPREFIX": str(prefix),
        "WINEARCH": "win64",
        "WINEDEBUG": "-all",
        # Keeps wineboot from offering to download Mono and Gecko.
        "WINEDLLOVERRIDES": "mscoree=;mshtml=",
    })
    if display:
        env["DISPLAY"] = display
    return env


def ensure_prefix(prefix, fresh=False, locale=LOCALE, log_pixels=None,
                  font_replacements=FONT_REPLACEMENTS, font_links=None, copy_to=None, base=None):
    """Creates the prefix once; later calls reuse it. fresh=True starts it over.
    log_pixels sets the screen resolution in DPI (Windows' default is 96);
    font_links maps a font to the "file,face" it takes missing characters from.
    With copy_to, returns a fresh copy of the prefix made there instead.
    base names a prefix made for the same locale and fonts at the default DPI:
    the prefix starts as a copy of it (made first if need be) instead of a new boot.
    Processes that ask for the same prefix at once wait for each other."""
    prefix = Path(prefix).resolve()  # Wine takes absolute paths only
    prefix.parent.mkdir(parents=True, exist_ok=True)
    with open(prefix.with_name(prefix.name + ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        _make_prefix(prefix, fresh, locale, log_pixels, font_replacements, font_links, base)
        if copy_to is None:
            return prefix
        return _copy_prefix(prefix, Path(copy_to).resolve())


def _copy_prefix(prefix, copy):
    """Windows' own programs and libraries (.exe and .dll, nearly all of a prefix's 700 MB)
    are hard links to the prefix's: nothing writes them once the prefix is made. The rest,
    registry and user folders, is copied, so that the copy's changes stay its own."""
    if copy.exists():
        stop_wineserver(copy)
        shutil.rmtree(copy)

    def link_or_copy(source, target):
        if Path(source).suffix.lower() in (".exe", ".dll"):
            try:
                os.link(source, target)
                return target
            except OSError:
                pass  # another file system
        return shutil.copy2(source, target)

    shutil.copytree(prefix, copy, symlinks=True, copy_function=link_or_copy)
    return copy


def _make_prefix(prefix, fresh, locale, log_pixels, font_replacements, font_links, base):
    stamp = prefix / ".nemuroku-ready"
    # The stamp names what the prefix was made for: one made for something else, or
    # by another version of Wine, is made again.
    wine_version = subprocess.run(["wine", "--version"], capture_output=True,
                                  text=True).stdout.strip()
    made_for = repr((locale, log_pixels, sorted(font_replacements.items()),
                     sorted((font_links or {}).items()), wine_version))
    if (fresh or (stamp.exists() and stamp.read_text().splitlines()[:1] != [made_for])) \
            and prefix.exists():
        stop_wineserver(prefix)
        shutil.rmtree(prefix)
    if stamp.exists():
        return
    env = wine_env(prefix, locale=locale)
    env.pop("DISPLAY", None)  # no window needs drawing while the prefix is made
    started = time.monotonic()
    settings = []
    if base is None:
        _boot(prefix, env)
        settings += [(r"HKCU\Software\Wine\Fonts\Replacements", face, "REG_SZ", replacement)
                     for face, replacement in font_replacements.items()]
        for font, linked in (font_links or {}).items():
            settings.append((r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink",
                             font, "REG_MULTI_SZ", linked))
    else:
        ensure_prefix(base, locale=locale, font_replacements=font_replacements,
                      font_links=font_links, copy_to=prefix)
        stamp.unlink()  # the base's
    if log_pixels:
        settings.append((r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", str(log_pixels)))
    for key, name, kind, value in settings:
        added = subprocess.run(["wine", "reg", "add", key, "/v", name, "/t", kind, "/d", value,
                                "/f"], env=env, capture_output=True, text=True, errors="replace")
        if added.returncode != 0:
            raise RuntimeError(f"wine reg add {key} {name} failed with {added.returncode} in "
                               f"{prefix}:\n{added.stdout[-2000:]}{added.stderr[-2000:]}")
    subprocess.run(["wineserver", "-w"], env=env, check=True)  # registry flushed to disk
    stamp.write_text(f"{made_for}\n{time.monotonic() - started:.1f}\n")


def _boot(prefix, env):
    # wineboot has been seen to fail once on a new machine (exit 53) and succeed on the
    # next try; a second attempt starts from nothing again.
    for attempt in (1, 2):
        if prefix.exists():
            stop_wineserver(prefix)
            shutil.rmtree(prefix)  # a half-made prefix
        # A file, not a pipe: the wineserver that wineboot starts would keep a pipe open.
        with tempfile.TemporaryFile() as output:
            boot = subprocess.run(["wineboot", "-i"], env=env, stdout=output, stderr=output)
            if boot.returncode == 0:
                break
            output.seek(0)
            print(f"winenv: wineboot failed with {boot.returncode} (attempt {attempt}):\n"
                  + output.read()[-3000:].decode(errors="replace"), file=sys.stderr, flush=True)
    else:
        raise RuntimeError(f"could not create the Wine prefix {prefix}")


def stop_wineserver(prefix):
    env = wine_env(prefix)
    subprocess.run(["wineserver", "-k"], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # wineserver -k returns before the server has gone; -w waits for that.
    subprocess.run(["wineserver", "-w"], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop_processes(*processes):
    """Terminates the processes given, in order, and kills any that outlives 10 s."""
    for process in processes:
        if process and process.poll() is None:
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


class Display:
    """A private Xvfb screen with openbox as its window manager."""

    def __init__(self, width=1280, height=1024):
        self.size = f"{width}x{height}x24"
        self.name = None
        self._xvfb = None
        self._openbox = None

    def start(self):
        # Xvfb takes the first free display number itself and writes it to the pipe once
        # it accepts connections: servers started at once never race for a number.
        ready, write_end = os.pipe()
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.size,
                 "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,),
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
            os.close(write_end)
            self.name = ":" + self._read_display_number(ready, 20)
        finally:
            os.close(ready)
        env = dict(os.environ, DISPLAY=self.name)
        self._openbox = subprocess.Popen(
            ["openbox", "--sm-disable"], env=env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        wait_until(self._window_manager_running, 20, "openbox")
        return self

    def stop(self):
        stop_processes(self._openbox, self._xvfb)
        self._openbox = self._xvfb = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def _read_display_number(self, pipe, timeout):
        text = b""
        deadline = time.monotonic() + timeout
        while not text.endswith(b"\n"):
            if not select.select([pipe], [], [], max(0, deadline - time.monotonic()))[0]:
                self.stop()
                raise TimeoutError(f"gave up after {timeout} s waiting for Xvfb")
            chunk = os.read(pipe, 16)
            if not chunk:
                self.stop()
                raise RuntimeError("Xvfb exited without a display")
            text += chunk
        return text.decode().strip()

    def _window_manager_running(self):
        if self._openbox.poll() is not None:
            raise RuntimeError(f"openbox exited with {self._openbox.returncode}")
        # openbox sets this root property once it manages the screen.
        out = subprocess.run(["xprop", "-display", self.name, "-root", "_NET_SUPPORTING_WM_CHECK"],
                             capture_output=True, text=True).stdout
        return "window id" in out


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    run = sub.add_parser("exec", help="run a command inside the environment")
    run.add_argument("--prefix", default=str(TEST_PREFIX))
    run.add_argument("--fresh-prefix", action="store_true")
    run.add_argument("--copy-to", help="run in a fresh copy of the prefix made in this folder")
    run.add_argument("--display", action="store_true", help="start Xvfb and openbox for it")
    run.add_argument("cmd", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    cmd = args.cmd[1:] if args.cmd[:1] == ["--"] else args.cmd
    if not cmd:
        parser.error("exec needs a command")

    started = time.monotonic()
    prefix = ensure_prefix(args.prefix, fresh=args.fresh_prefix, copy_to=args.copy_to)
    print(f"winenv: prefix {prefix} ready in {time.monotonic() - started:.1f} s", flush=True)
    display = Display().start() if args.display else None
    try:
        env = wine_env(prefix, display.name if display else None)
        if display is None:
            env.pop("DISPLAY", None)
        return subprocess.run(cmd, env=env).returncode
    finally:
        stop_wineserver(prefix)
        if display:
            display.stop()


if __name__ == "__main__":
    sys.exit(main())
