"""Kills nemuroku.exe under Wine at random moments while it writes its stored
files, and checks what every kill leaves in the program's folder.

    python3 tests/fault/kill_loop.py --trials N [--seed S]

Each trial starts the program on a fresh folder of encrypted files, then
switches the group, registers an item, exits, registers an item and exits at
once (two writes of group 1 within a second), or switches the stored files to
the strong format (encrypted with a key from the password) or back, and
SIGKILLs the program at a random moment from just before the click to just
after the action's writes, whose timing is measured first with runs that are
not killed. After the kill every stored file present must be encrypted (with
qz, or for a switch in the strong format, under the data key that the settings
file or its prepared replacement wraps) and hold its complete old or complete
new content, no other file may hold stored text in plain, and the next start
must show group 1 and exit cleanly, leaving sound files again, all in one
format.

Prints one line per damaged trial and ends with "N passed, D failed" and
"N trials, D damaged"; exits 1 when a trial is damaged or the harness fails.
Folders of the trials stay in build/kill-loop/.
"""

import argparse
import os
import random
import shutil
import sys
import tempfile
import threading
import time
import traceback
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

from harness import inspector, menus, session as wine  # noqa: E402
from harness.storedfiles import (KEY, STRONG_KEY, decrypt, read_strong_lines,  # noqa: E402
                                 split_lines, stored_key, strong_data_key)
from harness.storedfiles import write_encrypted_lines  # noqa: E402
from harness.waiting import wait_for  # noqa: E402

PROGRAMS = wine.winenv.BUILD / "kill-loop"
EXE = wine.NEMUROKU_EXE.name
TIMEOUT = 30

PASSWORD = "pw-kill-5813"
# Start-up password off (line 5), so that no password window comes up.
SETTINGS = ["197", "108", "149", "452", "1", "0", "0", "0", "1", PASSWORD, "111", "2", "",
            "00010203", ""]
GEOMETRY_LINES = 4  # the window's place and size, rewritten at every exit
ASK_AT_START_LINE = 5  # set by the switch to the strong format
GROUP_1 = (["銀行口座-one", "メール-two", "仕事用-three"],
           ["key-one-4471", "key-two-9302", "key-three-1187"])
GROUP_2 = (["二番目-four"], ["key-four-5560"])
DEFAULT_ITEM = (["タイトル"], ["キーコード"])
NEW_ITEM = ("added-title-77", "added-key-3391")
SECRETS = [*GROUP_1[0], *GROUP_1[1], *GROUP_2[0], *GROUP_2[1], PASSWORD, *NEW_ITEM]

REGISTRATION_TITLE = "登録ウインドウ"
FILE_MENU, SAVE_AND_EXIT, FILE_ENTRIES = 0, 2, 3
EDIT_MENU, ADD_ITEM, EDIT_ENTRIES = 1, 0, 5
SETTINGS_MENU, SECURITY, SETTINGS_ENTRIES = 2, 3, 4
SECURITY_TITLE = "セキュリティ設定"
ENCRYPT_BOX = "保存ファイルをパスワードで暗号化する"
PASSWORD_TITLE = "ねむろく認証"
STARTUP_WINDOW = "NemurokuStartupPasswordWindow"
SWITCHES = ("encrypt", "decrypt")
# A strong folder as the program leaves it, copied for each "decrypt" trial.
STRONG_TEMPLATE = PROGRAMS / "calibrate-encrypt"


# --- what may be in the folder -------------------------------------------------

def settings_sound(action):
    expected = [SETTINGS[GEOMETRY_LINES:]]
    if action in SWITCHES:
        expected.append(SETTINGS[GEOMETRY_LINES:ASK_AT_START_LINE] + ["1"]
                        + SETTINGS[ASK_AT_START_LINE + 1:])
    return lambda lines: (lines is not None and len(lines) == len(SETTINGS)
                          and lines[GEOMETRY_LINES:] in expected
                          and all(line.lstrip("-").isdigit() for line in lines[:GEOMETRY_LINES]))


def one_of(contents, absent_allowed=False):
    return lambda lines: absent_allowed if lines is None else lines in contents


def group_1_pairs(action):
    pairs = [GROUP_1]
    if action.startswith("register"):
        pairs.append((GROUP_1[0] + [NEW_ITEM[0]], GROUP_1[1] + [NEW_ITEM[1]]))
    return pairs


def allowed_files(action):
    """{stored file: test of its lines (None when absent)} after action, killed or not.
    A kill between the two files of a registration leaves one with the new item and
    one without until the next start finishes the write."""
    group_1 = group_1_pairs(action)
    group_3 = [DEFAULT_ITEM] if action == "previous group" else []
    files = {"defpts.ini": settings_sound(action)}
    for side, kind in enumerate("id"):
        files[f"defpt{kind}1.ini"] = one_of([lists[side] for lists in group_1])
        files[f"defpt{kind}.bak"] = one_of([lists[side] for lists in group_1])
        files[f"defpt{kind}2.ini"] = one_of([GROUP_2[side]])
        files[f"defpt{kind}3.ini"] = one_of([lists[side] for lists in group_3], True)
    return files


def seed_folder(name, action=None):
    folder = PROGRAMS / name
    if action == "decrypt":
        shutil.copytree(STRONG_TEMPLATE, folder)
        return folder
    folder.mkdir(parents=True)
    shutil.copy2(wine.NEMUROKU_EXE, folder / EXE)
    write_encrypted_lines(folder / "defpts.ini", SETTINGS)
    for kind, lists in (("1", GROUP_1), ("2", GROUP_2), ("", GROUP_1)):
        suffix = ".bak" if kind == "" else ".ini"
        write_encrypted_lines(folder / f"defpti{kind}{suffix}", lists[0])
        write_encrypted_lines(folder / f"defptd{kind}{suffix}", lists[1])
    return folder


def folder_state(folder):
    """The folder's files and contents, the date in lock headers left out."""
    state = {}
    for path in folder.iterdir():
        if path.is_file() and path.name != EXE:
            data = path.read_bytes()
            key = stored_key(data)
            # Strong files differ at every write (nonce, data key): only the format counts.
            state[path.name] = (data[:8] + data[12:] if key == KEY
                                else STRONG_KEY if key == STRONG_KEY else data)
    return state


def data_keys(folder):
    """The data keys that the settings file and its prepared replacement wrap."""
    keys = []
    for name in ("defpts.ini", "defpts.$$$"):
        try:
            keys.append(strong_data_key((folder / name).read_bytes(), PASSWORD))
        except Exception:  # absent, classic, or not sealed under the password
            pass
    return keys


def stored_lines(path, keys=()):
    """The lines of an encrypted stored file, or None when it is absent, plain or garbled;
    a strong file is opened with the first of keys that fits it."""
    try:
        data = path.read_bytes()
        if stored_key(data) != STRONG_KEY:
            return split_lines(decrypt(data))
    except (OSError, ValueError):  # UnicodeDecodeError is a ValueError
        return None
    for key in keys:
        try:
            return read_strong_lines(path, key)
        except Exception:  # InvalidTag: another key, or damaged
            pass
    return None


def damage(folder, action, restarted=False):
    """Why the folder is not sound after action: a list of reasons, empty when it is."""
    reasons = []
    allowed = allowed_files(action)
    keys = []
    if action in SWITCHES:
        # Group files not yet switched back are under the key the folder began with.
        keys = data_keys(folder) + (data_keys(STRONG_TEMPLATE) if action == "decrypt" else [])
    formats = set()
    for name, sound in allowed.items():
        path = folder / name
        key = stored_key(path.read_bytes()) if path.exists() else None
        formats.add(key)
        if not path.exists():
            if not sound(None):
                reasons.append(f"{name} missing")
        elif key != KEY and not (key == STRONG_KEY and action in SWITCHES):
            reasons.append(f"{name} is plain" if key is None else f"{name} has another key")
        elif not sound(stored_lines(path, keys)):
            reasons.append(f"{name} holds neither the old nor the new content")
    if restarted:
        pair = tuple(stored_lines(folder / f"defpt{kind}1.ini", keys) for kind in "id")
        if pair not in group_1_pairs(action):
            reasons.append("after the next start group 1's two files do not match")
        if len(formats - {None}) > 1:
            reasons.append("after the next start the files are in two formats")
    for path in sorted(folder.iterdir()):
        if path.name in allowed or path.name == EXE or not path.is_file():
            continue
        data = path.read_bytes()
        leaked = [secret for secret in SECRETS if stored_key(data) not in (KEY, STRONG_KEY)
                  and (secret.encode("cp932") in data or secret.encode("utf-16-le") in data)]
        if leaked:
            reasons.append(f"{path.name} holds {leaked[0]!r} in plain")
    return reasons


# --- the program -----------------------------------------------------------------

def message_text(box):
    return " ".join(c["text"] for c in inspector.controls(box, "Static") if c["text"])


class Program:
    """One start of nemuroku.exe: its Unix process and its Windows windows."""

    def __init__(self, session, folder):
        self.inspector = session.inspector
        self.xinput = session.xinput
        self.window = None
        self.message = None
        # Rarely `wine` ends a start at once, before the program has a window;
        # that start is tried once more, and said. What it left is checked as always.
        for attempt in (1, 2):
            with tempfile.TemporaryFile() as wine_output:
                self.process = session.launch(folder, EXE, stderr=wine_output)
                first = wait_for(self._window_or_message, TIMEOUT, "the main window or a message",
                                 describe=self.describe)
                if first is not True and first["class"] == STARTUP_WINDOW:
                    self.type_password(first)
                    self.clicker(first, "OK")()
                    wait_for(lambda: not self.refreshed(first)["visible"], TIMEOUT,
                             "the password window closed")
                    first = wait_for(self._window_or_message, TIMEOUT,
                                     "the main window or a message", describe=self.describe)
                if first is not True:
                    break
                wine_output.seek(0)
                said = wine_output.read().decode(errors="replace").strip()[-300:]
            ended = f"the program ended at start with {self.process.popen.returncode}: {said!r}"
            if attempt == 2:
                raise RuntimeError(ended)
            print(f"kill loop: {ended}; started again", flush=True)
        self.windows_pid = first["pid"]
        if first["class"] == wine.MAIN_CLASS:
            self.window = first
        else:
            self.message = message_text(first)

    def describe(self):
        return "\n".join(f"  {w['pid']} {w['class']!r} {w['title']!r} visible={w['visible']}"
                         for w in self.inspector.snapshot()["windows"])

    def _window_or_message(self):
        if not self.process.running():
            return True
        return next((w for w in self.inspector.windows(visible=True)
                     if (w["class"], w["title"]) == (wine.MAIN_CLASS, wine.PRODUCT_TITLE)
                     or w["class"] in ("#32770", STARTUP_WINDOW)), None)

    def type_password(self, box):
        self.xinput.click(*inspector.centre(inspector.control(box, "Edit")["rect"]))
        self.xinput.type_text(PASSWORD)
        wait_for(lambda: inspector.control(self.refreshed(box), "Edit")["text"] == PASSWORD,
                 TIMEOUT, "the password typed")

    def refreshed(self, window):
        return self.inspector.window(window["hwnd"]) or {"visible": False, "controls": []}

    def titles(self):
        return inspector.control(self.refreshed(self.window), "ListBox")["items"]

    def kill(self):
        self.process.kill()

    def wait_gone(self):
        """Waits until the process has ended and wineserver has removed its windows."""
        self.process.popen.wait(TIMEOUT)
        wait_for(lambda: not any(w["pid"] == self.windows_pid
                                 for w in self.inspector.snapshot()["windows"]),
                 TIMEOUT, "the killed program's windows to go", describe=self.inspector.describe)

    def exit_cleanly(self):
        """Closes the main window; returns a reason when the program does not simply end."""
        self.inspector.close(self.window["hwnd"])
        box = wait_for(lambda: not self.process.running() or self.inspector.windows(
            "#32770", visible=True), TIMEOUT, "the program to end")
        if box is not True:
            self.kill()
            return f"closing it shows {message_text(box[0])!r}"
        self.wait_gone()
        return None

    def clicker(self, window, caption):
        """A click on window's button of that caption, found now and done when called."""
        button = next(c for c in self.refreshed(window)["controls"] if c["text"] == caption)
        x, y = inspector.centre(button["rect"])
        # A click on a window that appeared under a pointer that has not moved since
        # reaches it only some 15 s later under Wine: the click's own move must move.
        self.xinput.move(x + 3, y + 2)
        return lambda: self.xinput.click(x, y)

    def open_menu(self, position):
        bar_y = inspector.control(self.window, "Edit")["rect"]["top"] - 10
        return menus.open_menu_bar_menu(self.inspector, self.xinput, self.window, bar_y, position)

    def field_beside(self, window, label):
        """The edit field to the right of a label, as a user finds it."""
        window = self.refreshed(window)
        caption = next(c for c in inspector.controls(window, "Static") if c["text"] == label)
        middle = caption["rect"]["top"] + caption["rect"]["height"] // 2
        return next(c for c in inspector.controls(window, "Edit")
                    if c["rect"]["left"] > caption["rect"]["left"]
                    and c["rect"]["top"] <= middle <= c["rect"]["top"] + c["rect"]["height"])

    def retype(self, window, label, text):
        self.xinput.click(*inspector.centre(self.field_beside(window, label)["rect"]))
        self.xinput.key("End", "shift+Home")
        self.xinput.type_text(text)
        wait_for(lambda: self.field_beside(window, label)["text"] == text, TIMEOUT,
                 f"{text!r} typed beside {label}")


# --- the actions: each gets ready, then returns (the deed, a test that it finished) --

def switch_group(caption, entered_titles):
    def prepare(program, folder):
        return (program.clicker(program.window, caption),
                lambda: program.titles() == entered_titles)
    return prepare


def register(program, folder):
    menu = program.open_menu(EDIT_MENU)
    menus.choose_entry(program.inspector, program.xinput, menu, ADD_ITEM, EDIT_ENTRIES)
    registration = wait_for(lambda: program.inspector.windows(title=REGISTRATION_TITLE,
                                                              visible=True), TIMEOUT,
                            "the registration window")[0]
    program.retype(registration, "タイトル", NEW_ITEM[0])
    program.retype(registration, "キーコード", NEW_ITEM[1])
    return (program.clicker(registration, "登録"),
            lambda: all(stored_lines(folder / f"defpt{kind}1.ini")
                        == GROUP_1[side] + [NEW_ITEM[side]] for side, kind in enumerate("id")))


def register_then_close(program, folder):
    """The registration's write of group 1, then at once the exit's."""
    click, registered = register(program, folder)

    def deed():
        click()
        wait_for(lambda: registered() or not program.process.running(), TIMEOUT,
                 "the registration written", interval=0.002)
        if program.process.running():
            program.inspector.close(program.window["hwnd"])
    return deed, lambda: not program.process.running()


def save_and_exit(program, folder):
    menu = program.open_menu(FILE_MENU)
    return (lambda: program.xinput.click(*menus.entry_centre(menu, SAVE_AND_EXIT, FILE_ENTRIES)),
            lambda: not program.process.running())


def switch_format(program, folder):
    """セキュリティ設定: the box changed and OK; the deed is the OK of the password asked."""
    menu = program.open_menu(SETTINGS_MENU)
    menus.choose_entry(program.inspector, program.xinput, menu, SECURITY, SETTINGS_ENTRIES)
    security = wait_for(lambda: program.inspector.windows(title=SECURITY_TITLE, visible=True),
                        TIMEOUT, "the security window")[0]
    program.clicker(security, ENCRYPT_BOX)()
    program.clicker(security, "OK")()
    question = wait_for(lambda: program.inspector.windows("#32770", PASSWORD_TITLE, visible=True),
                        TIMEOUT, "the password question")[0]
    program.type_password(question)
    # Told once every file is rewritten.
    return (program.clicker(question, "OK"),
            lambda: program.inspector.windows("#32770", wine.PRODUCT_TITLE, visible=True))


def close_window(program, folder):
    return (lambda: program.inspector.close(program.window["hwnd"]),
            lambda: not program.process.running())


ACTIONS = {
    "next group": switch_group(">", GROUP_2[0]),
    "previous group": switch_group("<", DEFAULT_ITEM[0]),
    "register": register,
    "register then close": register_then_close,
    "save and exit": save_and_exit,
    "close window": close_window,
    # "decrypt" starts from the folder that calibrating "encrypt" leaves.
    "encrypt": switch_format,
    "decrypt": switch_format,
}


# Changes further apart than this belong to separate writes.
QUIET = 0.1


class FolderWatch:
    """Notes, in a thread, the moments (seconds since it started) at which the folder
    changes, and the first change of each burst of them. Given a program, kills it
    `after` seconds, or `into_writes` seconds after the first change of burst number
    `burst`, whichever comes first, and stops watching then."""

    def __init__(self, folder, program=None, after=None, into_writes=None, burst=0):
        self.folder = folder
        self.program = program
        self.after = after
        self.into_writes = into_writes
        self.burst = burst
        self.changes = []
        self.bursts = []
        self.killed_at = None
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._watch, daemon=True)
        self.started = time.monotonic()
        self._thread.start()

    def _state(self):
        return {entry.name: (st.st_size, st.st_mtime_ns, st.st_ino)
                for entry in os.scandir(self.folder) for st in [entry.stat()]}

    def _watch(self):
        before = self._state()
        while not self._stop.is_set():
            elapsed = time.monotonic() - self.started
            try:
                now = self._state()
            except FileNotFoundError:  # a file renamed between listing and stat
                continue
            if now != before:
                if not self.changes or elapsed - self.changes[-1] > QUIET:
                    self.bursts.append(elapsed)
                self.changes.append(elapsed)
                before = now
            if self.program and (elapsed >= self.after or len(self.bursts) > self.burst
                                 and elapsed >= self.bursts[self.burst] + self.into_writes):
                self.killed_at = elapsed
                self.program.kill()
                return
            time.sleep(0.0002)

    def stop(self):
        self._stop.set()
        self._thread.join()
        return self.changes

    def join(self):
        self._thread.join()
        return self.changes


# --- calibration and trials -------------------------------------------------------

def calibrate(session, name, prepare):
    """The (first, last) folder change in seconds after the deed starts of each burst
    of changes, run to its end, and what the folder holds when the deed has finished."""
    folder = seed_folder(f"calibrate-{name.replace(' ', '-')}", name)
    program = Program(session, folder)
    deed, finished = prepare(program, folder)
    watch = FolderWatch(folder)
    deed()
    wait_for(finished, TIMEOUT, f"{name} to finish", describe=session.inspector.describe)
    changes = watch.stop()
    ends = watch.bursts[1:] + [float("inf")]
    bursts = [(start, max(c for c in changes if start <= c < end))
              for start, end in zip(watch.bursts, ends)]
    finished_state = folder_state(folder)
    for told in session.inspector.windows("#32770", wine.PRODUCT_TITLE, visible=True):
        program.clicker(told, "OK")()
        wait_for(lambda: not program.refreshed(told)["visible"], TIMEOUT, "the notice closed")
    if program.process.running():
        program.exit_cleanly()
    program.wait_gone()
    if not changes:
        raise RuntimeError(f"{name} changed no file in its folder")
    return bursts, finished_state


def kill_plan(rng, bursts):
    """When to kill. Timed from the click alone, a kill would seldom hit writes that
    take a few milliseconds, so most kills are timed from the first change seen: a
    fifth from just before the click up to the first write, three fifths while the
    writes last, the rest up to a little after the last one. Where the writes come in
    bursts apart, the writes timed are those of one burst or of all, chosen alike."""
    spans = [(bursts[0][0], bursts[-1][1])] + (bursts if len(bursts) > 1 else [])
    chosen, draw = rng.randrange(len(spans)), rng.random()
    first, last = spans[chosen]
    burst = max(chosen - 1, 0)
    # Writes faster than the folder can be watched look like a single change.
    span = max(last - first, 0.002)
    if draw < 0.2:
        return {"after": rng.uniform(0, bursts[0][0]), "into_writes": float("inf")}
    into = rng.uniform(0, span) if draw < 0.8 else rng.uniform(span, 1.5 * span + 0.005)
    return {"after": 2 * bursts[-1][1] + 5, "into_writes": into, "burst": burst}


def killed_action(session, folder, name, plan, finished_state):
    """Starts the program and kills it during the action; returns (damage, moment of the
    kill, what it left: the folder unchanged, mid-change or as the finished action does,
    whether group 1's files differ in length)."""
    program = Program(session, folder)
    if program.window is None or program.titles() != GROUP_1[0]:
        raise RuntimeError(f"the seeded folder did not start: {program.message}")
    deed, _ = ACTIONS[name](program, folder)
    unchanged_state = folder_state(folder)
    watch = FolderWatch(folder, program, **plan)
    deed()
    watch.join()
    program.wait_gone()
    left = folder_state(folder)
    landed = ("unchanged" if left == unchanged_state else
              "finished" if left == finished_state else "mid-change")
    pair = [stored_lines(folder / f"defpt{kind}1.ini") for kind in "id"]
    split = None not in pair and len(pair[0]) != len(pair[1])
    return damage(folder, name), watch.killed_at, landed, split


def next_start(session, folder, name):
    """Starts the program again and exits it; returns what went wrong."""
    program = Program(session, folder)
    if program.window is None:
        program.kill()
        program.wait_gone()
        return [f"it shows {program.message!r}"]
    reasons = []
    if not allowed_files(name)["defpti1.ini"](program.titles()):
        reasons.append(f"it shows {program.titles()} as group 1")
    failed_exit = program.exit_cleanly()
    if failed_exit:
        program.wait_gone()
        reasons.append(failed_exit)
    return reasons + damage(folder, name, restarted=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--trials", type=int, required=True)
    parser.add_argument("--seed", type=int, default=None)
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.randrange(10**6)
    rng = random.Random(seed)

    started = time.monotonic()
    damaged = done = split_pairs = 0
    landings = {"unchanged": 0, "mid-change": 0, "finished": 0}
    try:
        for needed in (wine.NEMUROKU_EXE, wine.INSPECTOR_EXE):
            if not needed.exists():
                raise RuntimeError(f"{needed} is missing; build the mingw preset first")
        shutil.rmtree(PROGRAMS, ignore_errors=True)
        wine.set_home(PROGRAMS / "session")  # shares nothing with the end-to-end lanes
        session = wine.session()
        print(f"kill loop: seed {seed}, session ready in {time.monotonic() - started:.1f} s",
              flush=True)
        windows = {name: calibrate(session, name, prepare) for name, prepare in ACTIONS.items()}
        print("kill loop: files change " + ", ".join(
            f"{name} " + " and ".join(f"{first:.3f}-{last:.3f}" for first, last in bursts)
            + " s" for name, (bursts, _) in windows.items()) + " after the click", flush=True)
        for number in range(1, args.trials + 1):
            name = rng.choice(list(ACTIONS))
            bursts, finished_state = windows[name]
            folder = seed_folder(f"trial-{number:03}", name)
            killed, moment, landed, split = killed_action(
                session, folder, name, kill_plan(rng, bursts), finished_state)
            split_pairs += split
            restarted = next_start(session, folder, name)
            landings[landed] += 1
            done += 1
            if killed or restarted:
                damaged += 1
                print(f"trial {number} ({name}, killed {moment:.3f} s after the click, "
                      f"folder {landed}): " + ", ".join(killed)
                      + (f"; after the next start: {', '.join(restarted)}" if restarted else ""),
                      flush=True)
    except Exception:  # the harness failed: no verdict on the program
        print(f"kill loop: harness failure after {done} trials:\n{traceback.format_exc()}")
        print(f"{done - damaged} passed, {damaged + 1} failed")
        print(f"{done} trials, {damaged} damaged")
        return 1
    finally:
        wine.end_session()
    print("kill loop: the kills left the folder " + ", ".join(
        f"{count} {state}" for state, count in landings.items())
        + f", {split_pairs} with only one file of group 1 holding the new item"
        + f"; {time.monotonic() - started:.0f} s")
    print(f"{done - damaged} passed, {damaged} failed")
    print(f"{done} trials, {damaged} damaged")
    return 1 if damaged else 0


if __name__ == "__main__":
    sys.exit(main())
