"""nemuroku.exe as the end-to-end tests meet it: the files a test gives it, the
windows and texts it shows, and the steps a user takes to start it, end it and
work with it and with notepad. Shared by every test module."""

from . import inspector, menus
from .session import MAIN_CLASS, PRODUCT_TITLE
from .storedfiles import write_plain_lines

MISSING_SETTINGS_MESSAGE = "設定ファイルがみつかりません\r\nパスワード漏洩防止の為データをクリアします"
BUILT_IN_PASSWORD = "mulberry"
PASSWORD = "kiwi-42"
DESIGNED_RECT = {"left": 197, "top": 108, "width": 149, "height": 452}
COMPACT_HEIGHT = 68
NOTEPAD_TITLE = "(無題) - メモ帳"
STORED_FILES = ("defpts.ini", "defpti1.ini", "defptd1.ini", "defpti.bak", "defptd.bak")

# The program's windows as (class, caption).
PASSWORD_WINDOW_TITLE = "ねむろく認証"
STARTUP_WINDOW = "NemurokuStartupPasswordWindow"
CHECK_WINDOW = "NemurokuPasswordCheckWindow"
PASSWORD_WINDOW = (STARTUP_WINDOW, PASSWORD_WINDOW_TITLE)
REGISTRATION_WINDOW = ("NemurokuRegistrationWindow", "登録ウインドウ")
EDIT_WINDOW = ("NemurokuEditWindow", "編集ウインドウ")
PROGRAM_MODE_WINDOW = ("NemurokuProgramModeWindow", "プログラムモード入力ウインドウ")
SETTINGS_WINDOW = ("NemurokuSettingsWindow", "詳細設定")
ABOUT_WINDOW = ("NemurokuAboutWindow", "バージョン情報")
SECURITY_WINDOW = ("NemurokuSecurityWindow", "セキュリティ設定")

# The menu bar: "ファイル", "編集", "設定".
EDIT_MENU_POSITION = 1
SETTINGS_MENU_POSITION = 2
SETTINGS_ENTRY, PASSWORD_CHANGE_ENTRY, ABOUT_ENTRY, SECURITY_ENTRY = 0, 1, 2, 3
SETTINGS_MENU_ENTRIES = 4

# The registration window's template list.
TEMPLATE_ENTRIES, TEMPLATE_ROWS = 10, 9
PROGRAM_MODE_TEMPLATE = 9
TEMPLATE_PLACEHOLDER = "@メニュー"

STAY_ON_TOP_BOX = "常に画面上に表示しておく"
FOLDER_LINK = "インストールフォルダ"

# Indexes of settings lines.
HEIGHT_LINE = 3
STAY_ON_TOP_LINE = 4
ASK_AT_START_LINE = 5
TRANSPARENCY_LINE = 6
NEWLINE_LINE = 7
GROUP_LINE = 8
PASSWORD_LINE = 9
SINGLE_CLICK_LINE = 10
TRANSPARENCY_LEVEL_LINE = 11
HOTKEY_SLOTS_LINE = 13

# A settings file as the program writes it, with the start-up password off so
# that tests of other things are not stopped by it.
SETTINGS = ["197", "108", "149", "452", "1", "0", "0", "0", "1", "mulberry", "111", "2", "",
            "00010203", ""]


def settings_with(changes):
    lines = list(SETTINGS)
    for index, value in changes.items():
        lines[index] = value
    return lines


def locked_settings(password=PASSWORD):
    """Settings that ask for the password at start."""
    return settings_with({ASK_AT_START_LINE: "1", PASSWORD_LINE: password})


def geometry_lines(rect):
    return [str(rect["left"]), str(rect["top"]), str(rect["width"]), str(rect["height"])]


class StartupSteps:
    """Starting and ending the program as a user does, and working with it and with
    notepad; mixed into the test classes beside WineTestCase."""

    def folder_with(self, settings=SETTINGS, titles=("タイトル",), keys=("キーコード",)):
        folder = self.program_folder()
        write_plain_lines(folder / "defpts.ini", settings)
        write_plain_lines(folder / "defpti1.ini", titles)
        write_plain_lines(folder / "defptd1.ini", keys)
        return folder

    def main_window(self, visible=True):
        return self.wait_for_window(MAIN_CLASS, PRODUCT_TITLE, visible)

    def refreshed(self, window):
        return self.inspector.window(window["hwnd"])

    def title_list(self, window):
        return inspector.control(window, "ListBox")

    def key_display(self, window):
        return inspector.control(window, "Edit")

    def control_named(self, window, text, cls=None):
        return next(c for c in window["controls"]
                    if c["text"] == text and (cls is None or c["class"] == cls))

    def click_control(self, window, text):
        self.xinput.click(*inspector.centre(self.control_named(window, text)["rect"]))

    def screenshot(self, what, rect=None):
        return self.session.screenshot(f"{self._testMethodName}-{what}", rect)

    def start(self, folder):
        """Starts the program and returns (process, its visible main window)."""
        process = self.launch(folder)
        return process, self.main_window()

    def first_start(self, folder=None):
        """A start without a settings file, in the folder given or a fresh one: the
        notice, then the built-in password. Returns (folder, process, main window)."""
        folder = folder or self.program_folder()
        process = self.launch(folder)
        self.dismiss_notice(MISSING_SETTINGS_MESSAGE)
        self.enter_startup_password(BUILT_IN_PASSWORD)
        return folder, process, self.main_window()

    def exit_by_close(self, process, window):
        self.inspector.close(window["hwnd"])
        process.wait_exit(timeout=30)

    def wait_until_hidden(self, window):
        self.wait_for(lambda: not (self.refreshed(window) or {}).get("visible"),
                      f"{window['title']} closed")

    def menu_bar_command(self, window, position, entry, entries):
        """Menu position of the menu bar → entry, with real clicks and keys. The menu bar
        lies just above the key code display."""
        bar_y = self.key_display(window)["rect"]["top"] - 10
        menu = menus.open_menu_bar_menu(self.inspector, self.xinput, window, bar_y, position)
        menus.choose_entry(self.inspector, self.xinput, menu, entry, entries)

    def dismiss_notice(self, expected_text):
        """Checks the notice box and closes it with a real click on OK."""
        box = self.wait_for_window("#32770", PRODUCT_TITLE)
        texts = [c["text"] for c in inspector.controls(box, "Static") if c["text"]]
        buttons = [c for c in inspector.controls(box, "Button") if c["visible"]]
        self.assertEqual([expected_text], texts)
        self.assertEqual(["OK"], [b["text"] for b in buttons])
        self.xinput.click(*inspector.centre(buttons[0]["rect"]))
        self.wait_until_gone(box["hwnd"])

    def answer_input_box(self, caption, typed):
        """Types into the input box captioned caption with real keys and clicks its OK."""
        box = self.wait_for_window("#32770", caption)
        self.type_into_entry(box, typed)
        self.click_control(box, "OK")
        self.wait_until_gone(box["hwnd"])

    def enter_startup_password(self, password):
        """Types the password into the start-up password window and clicks OK, as a user would."""
        box = self.wait_for_window(*PASSWORD_WINDOW)
        self.type_into_entry(box, password)
        ok = next(b for b in inspector.controls(box, "Button") if b["text"] == "OK")
        self.xinput.click(*inspector.centre(ok["rect"]))
        self.wait_for(lambda: not (self.refreshed(box) or {}).get("visible"),
                      "the password window closed")

    def close_with_alt_f4(self, window, control):
        """A real click on one of window's controls, which gives it the keyboard focus,
        then Alt+F4; waits until window is hidden."""
        self.xinput.click(*inspector.centre(control["rect"]))
        self.wait_for(lambda: self.inspector.foreground() == window["hwnd"],
                      f"{window['title']} in front")
        self.xinput.key("alt+F4")
        self.wait_for(lambda: not (self.refreshed(window) or {}).get("visible"),
                      f"{window['title']} closed by Alt+F4")

    def assert_in_front(self, window):
        self.wait_for(lambda: self.refreshed(window)["visible"]
                      and self.inspector.foreground() == window["hwnd"],
                      "the first instance's main window visible and in front")

    # --- notepad, the program the user works in ----------------------------------

    def bring_notepad_forward(self, title=NOTEPAD_TITLE):
        """Starts notepad and makes it the program the user works in, by a real click."""
        self.launch_notepad()
        notepad = self.wait_for_window("Notepad", title)
        self.click_into_notepad(notepad)
        return notepad

    def click_into_notepad(self, notepad):
        self.xinput.click(*self.point_in_notepad(notepad))
        self.wait_for(lambda: self.inspector.foreground() == notepad["hwnd"], "notepad in front")

    def point_in_notepad(self, notepad):
        # A part of notepad's text area that the main window does not cover.
        return notepad["rect"]["left"] + 700, notepad["rect"]["top"] + 400

    def notepad_text(self, notepad):
        return inspector.control(self.refreshed(notepad), "Edit")["text"]

    def click_title(self, notepad, window, line, double=False):
        """As a user does it: the pointer on notepad, then across the list to the
        line, then a click (or a double click)."""
        self.xinput.move(*self.point_in_notepad(notepad))
        x, y = inspector.list_line_centre(self.title_list(self.refreshed(window)), line)
        self.xinput.move(x - 10, y)
        if double:
            self.xinput.double_click(x, y)
        else:
            self.xinput.click(x, y)
