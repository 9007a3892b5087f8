"""Start-up benchmark: nemuroku.exe against two yardsticks, a minimal Win32 window
program and a themed one that looks like nemuroku.exe (the same manifest with
common controls 6 and DPI awareness, a list box and a button in the program's
font, an icon in the notification area).

    python3 bench/startup.py [--runs N]

Reports, each figure with its aim:
- the median time from process start to the main window shown for the three
  programs (started the same way: `wine X.exe` from a folder of their own, on a
  private Xvfb with openbox) and nemuroku.exe's ratio to each yardstick, once
  with the program folders on the disk and once on tmpfs (/dev/shm), where
  writing files costs no flush;
- the resident memory (VmRSS) of the running processes and the differences;
- the CPU time a running, idle instance uses over 10 s;
- the time from a click on a title to its key code standing in Wine's notepad;
- the size of nemuroku.exe;
- with the start-up password asked, the time from process start to the password
  window and from its OK to the main window, with the files in the classic and
  in the strong format (whose key is derived from the password then).
Build the mingw preset first. Not a test: it only reports.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "scripts"))
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import winenv  # noqa: E402
from harness.inspector import Inspector, centre, control, list_line_centre  # noqa: E402
from harness.storedfiles import write_plain_lines, write_strong_lines  # noqa: E402
from harness.waiting import wait_for  # noqa: E402
from harness.xinput import XInput  # noqa: E402

MINGW = winenv.BUILD / "mingw"
NEMUROKU = MINGW / "nemuroku.exe"
MINIMAL = MINGW / "tests" / "e2e" / "minimal_window.exe"
THEMED = MINGW / "tests" / "e2e" / "themed_window.exe"
INSPECTOR = MINGW / "tests" / "e2e" / "inspector.exe"
PREFIX = winenv.BUILD / "wine" / "bench-prefix"
IDLE_SECONDS = 10
TMPFS = Path("/dev/shm")

AIM_RATIO = 1.3
AIM_THEMED_RATIO = 1.1
AIM_THEMED_MORE_MEMORY_MB = 2
AIM_CLICK_MS = 30
AIM_MORE_MEMORY_MB = 8
AIM_SIZE_BYTES = 1_000_000
AIM_UNLOCK_MS = 1000
PASSWORD = "bench-pass-31"
KEY_CODE = "キーコード"

# Saved settings with the start-up password off, so that start-up ends at the main window.
SETTINGS = ["197", "108", "149", "452", "1", "0", "0", "0", "1", "mulberry", "111", "2", "",
            "00010203", ""]


def prepare_folder(parent, exe):
    folder = Path(tempfile.mkdtemp(dir=parent))
    shutil.copy2(exe, folder)
    if exe == NEMUROKU:
        write_plain_lines(folder / "defpts.ini", SETTINGS)
        write_plain_lines(folder / "defpti1.ini", ["タイトル"])
        write_plain_lines(folder / "defptd1.ini", [KEY_CODE])
    return folder


def start_and_wait_shown(env, folder, exe, window_class, title):
    """Starts exe and returns (process, seconds until its window was visible).

    The inspector polls FindWindow inside Wine every 2 ms; it is started and
    ready before the program so that its own start-up is not counted.
    """
    watcher = subprocess.Popen(["wine", INSPECTOR, "wait", window_class, title, "60000"],
                               env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    if watcher.stdout.readline().strip() != b"ready":
        raise RuntimeError("the inspector did not start")
    started = time.monotonic()
    process = subprocess.Popen(["wine", exe.name], cwd=folder, env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    found = watcher.stdout.readline().strip()
    elapsed = time.monotonic() - started
    watcher.wait()
    if not found:
        process.kill()
        raise RuntimeError(f"{exe.name}: no visible window {title!r} within 60 s")
    return process, elapsed, int(found)


def prepare_locked_folder(parent, strong):
    """Files that ask for PASSWORD at start, in the classic or the strong format."""
    folder = Path(tempfile.mkdtemp(dir=parent))
    shutil.copy2(NEMUROKU, folder)
    settings = SETTINGS[:5] + ["1"] + SETTINGS[6:9] + [PASSWORD] + SETTINGS[10:]
    files = {"defpts.ini": settings, "defpti1.ini": ["タイトル"], "defptd1.ini": [KEY_CODE]}
    data_key = os.urandom(32)
    for name, lines in files.items():
        if not strong:
            write_plain_lines(folder / name, lines)
        else:
            write_strong_lines(folder / name, lines, data_key,
                               PASSWORD if name == "defpts.ini" else None)
    return folder


def unlock_times(env, inspector, parent, runs, strong):
    """(seconds to the start-up password window, seconds from its OK to the main
    window), medians of runs after one dropped warm-up start."""
    xinput = XInput(env)
    to_window, to_main = [], []
    for _ in range(runs + 1):
        folder = prepare_locked_folder(parent, strong)
        process, elapsed, box = start_and_wait_shown(env, folder, NEMUROKU,
                                                     "NemurokuStartupPasswordWindow", "ねむろく認証")
        to_window.append(elapsed)
        window = inspector.window(box)
        xinput.click(*centre(control(window, "Edit")["rect"]))
        xinput.type_text(PASSWORD)
        wait_for(lambda: control(inspector.window(box), "Edit")["text"] == PASSWORD, 30,
                 "the password typed")
        ok = next(c for c in window["controls"] if c["text"] == "OK")
        watcher = subprocess.Popen(["wine", INSPECTOR, "wait", "NemurokuMainWindow", "ねむろく",
                                    "60000"], env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if watcher.stdout.readline().strip() != b"ready":
            raise RuntimeError("the inspector did not start")
        started = time.monotonic()
        xinput.click(*centre(ok["rect"]))
        main_window = int(watcher.stdout.readline().strip() or 0)
        to_main.append(time.monotonic() - started)
        watcher.wait()
        if not main_window:
            raise RuntimeError("no main window within 60 s of the password")
        end(inspector, process, main_window)
    return statistics.median(to_window[1:]), statistics.median(to_main[1:])


def end(inspector, process, hwnd):
    inspector.close(hwnd)
    try:
        process.wait(30)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def cpu_ticks(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def resident_mb(pid):
    """VmRSS of the process that `wine X.exe` became (the pid stays across its execs)."""
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) / 1024
    raise RuntimeError(f"no VmRSS for process {pid}")


def start_up_times(env, inspector, parent, runs, programs):
    """Seconds to the window shown for each program, alternating the programs; the
    first round warms the file cache and is dropped."""
    times = {exe.name: [] for exe, _, _ in programs}
    for _ in range(runs + 1):
        for exe, window_class, title in programs:
            folder = prepare_folder(parent, exe)
            process, elapsed, hwnd = start_and_wait_shown(env, folder, exe, window_class, title)
            times[exe.name].append(elapsed)
            end(inspector, process, hwnd)
    return {name: statistics.median(values[1:]) for name, values in times.items()}


def settled_memory(env, inspector, parent, exe, window_class, title):
    """VmRSS in MB once the program has shown its window and done what follows."""
    folder = prepare_folder(parent, exe)
    process, _, hwnd = start_and_wait_shown(env, folder, exe, window_class, title)
    time.sleep(2)
    memory = resident_mb(process.pid)
    end(inspector, process, hwnd)
    return memory


def wineserver_pid(prefix):
    """The wineserver of our prefix (other prefixes may have servers running too)."""
    wanted = f"WINEPREFIX={prefix}".encode()
    for entry in Path("/proc").iterdir():
        try:
            if (entry.name.isdigit() and "wineserver" in (entry / "comm").read_text()
                    and wanted in (entry / "environ").read_bytes().split(b"\0")):
                return int(entry.name)
        except OSError:
            pass
    return None


def click_to_text(env, inspector, main_window, runs):
    """Milliseconds from a real click on the title list to the key code standing in
    notepad, for each run. The click comes as a user's would: the pointer crosses
    from notepad to the list. The time runs from the press that Wine sees (a
    low-level mouse hook of the inspector) to the text, polled every millisecond."""
    xinput = XInput(env)
    notepad_process = subprocess.Popen(["wine", r"C:\windows\system32\notepad.exe"], env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    notepad = wait_for(lambda: inspector.windows("Notepad", visible=True), 60, "notepad")[0]
    in_notepad = notepad["rect"]["left"] + 700, notepad["rect"]["top"] + 400
    xinput.click(*in_notepad)
    wait_for(lambda: inspector.foreground() == notepad["hwnd"], 30, "notepad in front")
    title_list = control(inspector.window(main_window), "ListBox")
    x, y = list_line_centre(title_list, 0)
    times = []
    for run in range(1, runs + 1):
        xinput.move(*in_notepad)
        xinput.move(x - 10, y)
        watcher = subprocess.Popen(["wine", INSPECTOR, "pastetime", str(notepad["hwnd"]),
                                    KEY_CODE * run, "10000"], env=env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL)
        if watcher.stdout.readline().strip() != b"ready":
            raise RuntimeError("the inspector did not start")
        xinput.click(x, y)
        measured = watcher.stdout.readline().strip()
        watcher.wait()
        if not measured:
            raise RuntimeError(f"the key code did not arrive in notepad (run {run})")
        times.append(float(measured))
        # The paste step ends with the clipboard cleared; the next click waits for that.
        wait_for(lambda: inspector.clipboard_text() == "", 30, "the clipboard cleared")
    notepad_process.kill()
    notepad_process.wait()
    return times


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    for needed in (NEMUROKU, MINIMAL, THEMED, INSPECTOR):
        if not needed.exists():
            sys.exit(f"{needed} is missing: build the mingw preset first")

    prefix = winenv.ensure_prefix(PREFIX, base=winenv.TEST_PREFIX)
    work = Path(tempfile.mkdtemp(prefix="bench-", dir=winenv.BUILD))
    work_in_memory = Path(tempfile.mkdtemp(prefix="nemuroku-bench-", dir=TMPFS))
    with winenv.Display() as display:
        env = winenv.wine_env(prefix, display.name)
        inspector = Inspector(INSPECTOR, env)
        inspector.snapshot()  # wineserver and the desktop process up before timing
        programs = [(NEMUROKU, "NemurokuMainWindow", "ねむろく"), (MINIMAL, "MinimalWindow", "minimal"),
                    (THEMED, "ThemedWindow", "themed")]
        on_disk = start_up_times(env, inspector, work, args.runs, programs)
        in_memory = start_up_times(env, inspector, work_in_memory, args.runs, programs)
        memory = {exe.name: settled_memory(env, inspector, work, exe, window_class, title)
                  for exe, window_class, title in programs}

        folder = prepare_folder(work, NEMUROKU)
        process, _, hwnd = start_and_wait_shown(env, folder, NEMUROKU, "NemurokuMainWindow", "ねむろく")
        time.sleep(1)  # let the start-up work settle before measuring idleness
        server = wineserver_pid(prefix)
        before = cpu_ticks(process.pid), server and cpu_ticks(server)
        time.sleep(IDLE_SECONDS)
        after = cpu_ticks(process.pid), server and cpu_ticks(server)
        deliveries = click_to_text(env, inspector, hwnd, args.runs)
        end(inspector, process, hwnd)
        unlocking = {strong: unlock_times(env, inspector, work, args.runs, strong)
                     for strong in (False, True)}
        winenv.stop_wineserver(prefix)
    shutil.rmtree(work)
    shutil.rmtree(work_in_memory)

    hz = os.sysconf("SC_CLK_TCK")
    for heading, times in ((f"start-up to main window shown (median of {args.runs}):", on_disk),
                           (f"same, program folders on tmpfs {TMPFS} (median of {args.runs}):",
                            in_memory)):
        nemuroku, minimal, themed = (times[exe.name] for exe in (NEMUROKU, MINIMAL, THEMED))
        print(heading)
        print(f"  nemuroku.exe        {nemuroku * 1000:7.0f} ms")
        print(f"  minimal_window.exe  {minimal * 1000:7.0f} ms")
        print(f"  ratio               {nemuroku / minimal:7.2f}   (aim: <= {AIM_RATIO})")
        print(f"  themed_window.exe   {themed * 1000:7.0f} ms")
        print(f"  themed ratio        {nemuroku / themed:.2f}   (aim: <= {AIM_THEMED_RATIO})")
    each = ", ".join(f"{t:.1f}" for t in deliveries)
    print(f"click to text in notepad (median of {args.runs}):"
          f" {statistics.median(deliveries):.1f} ms (aim: <= {AIM_CLICK_MS} ms; each run: {each})")
    more = memory[NEMUROKU.name] - memory[MINIMAL.name]
    print("resident memory (VmRSS) of the running process:")
    print(f"  nemuroku.exe        {memory[NEMUROKU.name]:7.1f} MB")
    print(f"  minimal_window.exe  {memory[MINIMAL.name]:7.1f} MB")
    print(f"  difference          {more:7.1f} MB   (aim: <= {AIM_MORE_MEMORY_MB} MB more)")
    print(f"  themed_window.exe   {memory[THEMED.name]:7.1f} MB")
    print(f"  themed difference   {memory[NEMUROKU.name] - memory[THEMED.name]:.1f} MB"
          f"   (aim: <= {AIM_THEMED_MORE_MEMORY_MB} MB more)")
    print(f"idle CPU over {IDLE_SECONDS} s:   {(after[0] - before[0]) / hz:7.2f} s of nemuroku.exe's"
          f" process (aim: 0)")
    if server:
        print(f"                      {(after[1] - before[1]) / hz:7.2f} s of wineserver")
    print(f"start-up password asked (median of {args.runs}):")
    for strong, (to_window, to_main) in unlocking.items():
        aim = f"   (aim: <= {AIM_UNLOCK_MS} ms)" if strong else ""
        print(f"  {'strong' if strong else 'classic'} format: to the password window"
              f" {to_window * 1000:5.0f} ms, OK to the main window {to_main * 1000:5.0f} ms{aim}")
    size = NEMUROKU.stat().st_size
    print(f"size of nemuroku.exe  {size / 1e6:7.2f} MB ({size} bytes; aim: <= {AIM_SIZE_BYTES / 1e6:g}"
          f" MB, {AIM_SIZE_BYTES} bytes)")


if __name__ == "__main__":
    main()
