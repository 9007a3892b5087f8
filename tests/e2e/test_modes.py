"""Out of the way and locked, seen from outside: the start-up password, hiding to
the notification area and coming back, the icon's menu, the compact mode, the mask
and transparency toggles, the password change and a hotkey that another program
already holds."""

import os

from harness import inspector, memory, menus
from harness.desktop import TRAY_WINDOW_CLASS, pixels_of_colour, system_colour, tray_icons
from harness.inspector import ES_PASSWORD, WS_EX_LAYERED
from harness.program import (ASK_AT_START_LINE, BUILT_IN_PASSWORD, CHECK_WINDOW, COMPACT_HEIGHT,
                             HEIGHT_LINE, MISSING_SETTINGS_MESSAGE, NEWLINE_LINE, PASSWORD,
                             PASSWORD_CHANGE_ENTRY, PASSWORD_LINE, PASSWORD_WINDOW_TITLE,
                             SECURITY_ENTRY, SECURITY_WINDOW, SETTINGS_MENU_ENTRIES, SETTINGS_MENU_POSITION, STARTUP_WINDOW,
                             STORED_FILES, TRANSPARENCY_LEVEL_LINE, TRANSPARENCY_LINE,
                             StartupSteps, locked_settings, settings_with)
from harness.screenshots import dominant_colour
from harness.session import MAIN_CLASS, MINGW, PRODUCT_TITLE, WineTestCase, windows_path
from harness.storedfiles import (is_encrypted, read_encrypted_lines, read_strong_lines,
                                 write_encrypted_lines, write_strong_lines)

HOTKEY_HOLDER_EXE = MINGW / "tests" / "e2e" / "hotkey_holder.exe"

PROMPT = "起動パスワードを入力してください"
WRONG = "パスワードが間違っています。\r\n"
WRONG_AT_START = WRONG + "終了します。"
WRONG_IN_CHECK_WINDOW = WRONG + "変更できませんでした。"
NOT_CHANGED = WRONG + "パスワードは変更されませんでした。"
CONFIRMATION = "パスワード確認！"
CHANGED = "パスワードを変更しました。"
KEPT = "パスワードは変更されませんでした。"
HOTKEY_FAILED = "ショートカットキーの設定に失敗しました"
# The command of 表示グループの書き出し, as ui/resource_ids.h numbers it; another
# process cannot read the program's menu under Wine.
EXPORT_GROUP_COMMAND = 202

MENU_POPUP_CLASS = "#32768"
WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK = 0x02B1, 7
SW_MINIMIZE = 6
TRAY_LOCK_ENTRY, TRAY_EXIT_ENTRY, TRAY_MENU_ENTRIES = 0, 1, 2
SCREEN_LOCK_BOX = "画面のロック・スリープでロックする"
IDLE_LOCK_BOX = "操作がないときロックする"
# The first key code is shown at start and delivered; the others never leave the lists.
LOCK_TITLES = ("ログイン", "銀行", "メール", "暗証")
LOCK_KEYS = ("shown-first-1", "合言葉-alpha-7319", "mail-charlie-5930", "pin-8b4q")
DESIGNED_OPACITY = 165
RED = (255, 0, 0)


class ModesTest(StartupSteps, WineTestCase):
    # --- helpers -------------------------------------------------------------

    def password_window(self, cls):
        return self.wait_for_window(cls, PASSWORD_WINDOW_TITLE)

    def fill_password_window(self, cls, typed):
        """Types into a password window with real keys; returns the window."""
        box = self.password_window(cls)
        if typed:
            self.type_into_entry(box, typed)
        return box

    def answer_password_window(self, cls, typed, button="OK"):
        box = self.fill_password_window(cls, typed)
        self.click_control(box, button)
        self.wait_until_hidden(box)

    def start_unlocked(self, folder, password=PASSWORD):
        process = self.launch(folder)
        self.answer_password_window(STARTUP_WINDOW, password)
        return process, self.main_window()

    def is_masked(self, window):
        return bool(self.key_display(self.refreshed(window))["style"] & ES_PASSWORD)

    def red_pixels(self, window, caption):
        """Red pixels on a toggle button: its caption is red while it is on."""
        rect = self.control_named(window, caption)["rect"]
        return pixels_of_colour(self.session.screenshot(f"modes-button-{caption}", rect), RED)

    def wait_for_toggle(self, window, caption, on):
        self.wait_for(lambda: (self.red_pixels(window, caption) > 0) == on,
                      f"{caption} drawn {'on (red)' if on else 'off'}")

    def display_colour(self, window):
        """The colour most of the visible part of the key code display shows on screen."""
        window = self.refreshed(window)
        display = self.key_display(window)["rect"]
        right = window["rect"]["left"] + window["rect"]["width"] - 8
        visible = dict(display, width=right - display["left"])
        return dominant_colour(self.session.screenshot("modes-key-display", visible))

    def height(self, window):
        return self.refreshed(window)["rect"]["height"]

    def hide_with_minimise_button(self, window):
        self.click_control(window, "最小")
        self.wait_for(lambda: not self.refreshed(window)["visible"], "the main window hidden")

    def tray_icon(self):
        icons = self.wait_for(lambda: tray_icons(self.inspector), "the notification area icon")
        self.assertEqual(1, len(icons), "only our program has an icon in the notification area")
        return icons[0]

    def activate_tray_window(self):
        """Gives the focus to Wine's notification area window by a click on its title.

        Under Wine the window that loses the X focus gets WM_CANCELMODE, which closes
        an open menu. A click on the icon while our main window is active moves the
        focus away from it just while the program opens its menu, and the menu may
        close at once; on Windows that click does not take the focus.
        """
        tray = self.inspector.windows(TRAY_WINDOW_CLASS, visible=True)[0]
        rect = tray["rect"]
        self.xinput.click(rect["left"] + rect["width"] // 2, rect["top"] + 8)
        self.wait_for(lambda: self.inspector.foreground() == tray["hwnd"], "the tray window active")

    def visible_notices(self):
        return self.inspector.windows("#32770", PRODUCT_TITLE, visible=True)

    def open_password_change(self, window):
        """設定 → パスワードの変更 with real clicks."""
        self.menu_bar_command(window, SETTINGS_MENU_POSITION, PASSWORD_CHANGE_ENTRY,
                              SETTINGS_MENU_ENTRIES)

    def dismiss_notice_by_key(self, expected_text):
        """Checks the notice box and closes it with Enter. Used where the box opens
        behind a stay-on-top window of the program under Wine, so that a click on
        its OK would land on that window instead."""
        box = self.wait_for_window("#32770", PRODUCT_TITLE)
        self.assertEqual([expected_text],
                         [c["text"] for c in inspector.controls(box, "Static") if c["text"]])
        self.wait_for(lambda: self.inspector.foreground() == box["hwnd"], "the notice active")
        self.xinput.key("Return")
        self.wait_until_gone(box["hwnd"])

    def set_lock_options(self, window, boxes, minutes=None):
        """設定 → セキュリティ設定: clicks the boxes, types the minutes, OK."""
        self.menu_bar_command(window, SETTINGS_MENU_POSITION, SECURITY_ENTRY, SETTINGS_MENU_ENTRIES)
        security = self.wait_for_window(*SECURITY_WINDOW)
        for box in boxes:
            self.click_control(security, box)
        if minutes:
            self.xinput.click(*inspector.centre(inspector.control(security, "Edit")["rect"]))
            self.xinput.key("End", "BackSpace", "BackSpace", "BackSpace")
            self.xinput.type_text(minutes)
            self.wait_for(lambda: inspector.control(self.refreshed(security), "Edit")["text"]
                          == minutes, "the minutes typed")
        self.session.screenshot(f"security-window-{len(boxes)}", security["rect"])
        self.click_control(security, "OK")
        self.wait_until_hidden(security)

    def assert_stored_encrypted(self, folder):
        for name in STORED_FILES:
            with self.subTest(file=name):
                self.assertTrue(is_encrypted(folder / name), f"{name} is encrypted with qz")

    # --- start-up password -------------------------------------------------------

    def test_first_start_asks_for_the_password_before_the_window_appears(self):
        self.launch(self.program_folder())
        self.dismiss_notice(MISSING_SETTINGS_MESSAGE)

        box = self.password_window(STARTUP_WINDOW)
        self.assertEqual([], self.inspector.windows(MAIN_CLASS, PRODUCT_TITLE, visible=True))
        # A command posted by another program while locked is handled before the
        # password's OK, and must open nothing.
        hidden = self.main_window(visible=False)
        self.inspector.post_command(hidden["hwnd"], EXPORT_GROUP_COMMAND)
        self.assertEqual([PROMPT], [c["text"] for c in inspector.controls(box, "Static")])
        self.assertTrue(inspector.control(box, "Edit")["style"] & ES_PASSWORD)
        self.session.screenshot("modes-startup-password-window", box["rect"])
        self.enter_startup_password(BUILT_IN_PASSWORD)

        window = self.main_window()
        self.assertEqual([], self.inspector.windows("#32770", visible=True), "no dialog opened")
        self.session.screenshot("modes-main-normal", window["rect"])

    def test_wrong_password_at_first_start_ends_the_program_and_still_stores_encrypted(self):
        folder = self.program_folder()
        process = self.launch(folder)
        self.dismiss_notice(MISSING_SETTINGS_MESSAGE)

        self.answer_password_window(STARTUP_WINDOW, "Mulberry")
        self.dismiss_notice(WRONG_AT_START)

        process.wait_exit(timeout=30)
        self.assert_stored_encrypted(folder)
        stored = read_encrypted_lines(folder / "defpts.ini")
        self.assertEqual("1", stored[ASK_AT_START_LINE])
        self.assertEqual(BUILT_IN_PASSWORD, stored[PASSWORD_LINE])
        self.assertEqual(["キーコード"], read_encrypted_lines(folder / "defptd1.ini"))

    def test_cancel_or_alt_f4_at_start_passes_only_an_empty_stored_password(self):
        with self.subTest(password=""):
            process = self.launch(self.folder_with(locked_settings("")))
            self.answer_password_window(STARTUP_WINDOW, "", button="キャンセル")
            self.exit_by_close(process, self.main_window())

        with self.subTest(password=PASSWORD):
            folder = self.folder_with(locked_settings())
            process = self.launch(folder)
            self.answer_password_window(STARTUP_WINDOW, "", button="キャンセル")
            self.dismiss_notice(WRONG_AT_START)
            process.wait_exit(timeout=30)
            self.assert_stored_encrypted(folder)
            self.assertEqual(PASSWORD, read_encrypted_lines(folder / "defpts.ini")[PASSWORD_LINE])

        with self.subTest(settings="encrypted and read-only"):
            folder = self.folder_with(locked_settings())
            settings = folder / "defpts.ini"
            write_encrypted_lines(settings, locked_settings())
            settings.chmod(0o444)
            before = settings.read_bytes()
            process = self.launch(folder)
            self.answer_password_window(STARTUP_WINDOW, "", button="キャンセル")
            self.dismiss_notice(WRONG_AT_START)
            self.dismiss_notice(f"ファイル {windows_path(settings)} を作成できません")
            process.wait_exit(timeout=30)
            self.assertEqual(before, settings.read_bytes())

        with self.subTest(closed_by="Alt+F4"):
            process = self.launch(self.folder_with(locked_settings()))
            box = self.password_window(STARTUP_WINDOW)
            self.close_with_alt_f4(box, inspector.control(box, "Static"))
            self.dismiss_notice(WRONG_AT_START)
            process.wait_exit(timeout=30)

    def test_line_5_decides_whether_the_password_is_asked(self):
        with self.subTest(line_5="0"):
            process, window = self.start(self.folder_with(settings_with({ASK_AT_START_LINE: "0"})))
            self.assertEqual([], self.inspector.windows(STARTUP_WINDOW, visible=True))
            self.exit_by_close(process, window)

        with self.subTest(line_5=""):
            settings = settings_with({ASK_AT_START_LINE: "", PASSWORD_LINE: PASSWORD})
            folder = self.folder_with(settings)
            process, window = self.start_unlocked(folder)
            self.exit_by_close(process, window)
            self.assertEqual("1", read_encrypted_lines(folder / "defpts.ini")[ASK_AT_START_LINE])

    # --- hiding to the notification area and coming back -------------------------------

    def test_minimise_button_hides_and_shift_enter_brings_the_window_back(self):
        _, window = self.start(self.folder_with())
        self.hide_with_minimise_button(window)
        self.tray_icon()
        notepad = self.bring_notepad_forward()

        self.xinput.key("shift+Return")

        self.wait_for(lambda: self.refreshed(window)["visible"], "the main window back")
        self.assertEqual(window["rect"], self.refreshed(window)["rect"])
        self.assertTrue(self.refreshed(window)["topmost"])
        self.assertEqual("", inspector.control(self.refreshed(notepad), "Edit")["text"],
                         "Shift+Enter does not reach the program in front")

    def test_tray_icon_left_click_brings_the_hidden_window_back_in_front(self):
        _, window = self.start(self.folder_with())
        self.hide_with_minimise_button(window)

        self.xinput.click(*inspector.centre(self.tray_icon()["rect"]))

        self.wait_for(lambda: self.refreshed(window)["visible"]
                      and self.inspector.foreground() == window["hwnd"],
                      "the main window back and in front")
        self.assertEqual(window["rect"], self.refreshed(window)["rect"])
        self.assertTrue(self.refreshed(window)["topmost"])

    def open_tray_menu(self, window):
        icon = inspector.centre(self.tray_icon()["rect"])
        self.activate_tray_window()
        self.xinput.click(*icon, button=3)
        menu = self.wait_for_window(MENU_POPUP_CLASS)
        self.assertEqual(window["pid"], menu["pid"])
        self.assertEqual(icon, (menu["rect"]["left"], menu["rect"]["top"]), "opened at the pointer")
        return menu

    def test_lock_and_exit_from_the_tray_menu_store_everything(self):
        folder = self.folder_with(settings_with({NEWLINE_LINE: "0"}))
        process, window = self.start(folder)
        # A change that only the shutdown sequence writes to the settings file.
        self.click_control(window, "改行")
        self.wait_for_toggle(window, "改行", on=True)
        menu = self.open_tray_menu(window)
        self.session.screenshot("modes-tray-menu", menu["rect"])
        menus.choose_entry(self.inspector, self.xinput, menu, TRAY_LOCK_ENTRY, TRAY_MENU_ENTRIES)
        self.wait_until_hidden(window)
        self.assertEqual("1", read_encrypted_lines(folder / "defpts.ini")[NEWLINE_LINE])

        menus.choose_entry(self.inspector, self.xinput, self.open_tray_menu(window),
                           TRAY_EXIT_ENTRY, TRAY_MENU_ENTRIES)
        process.wait_exit(timeout=30)
        self.assert_stored_encrypted(folder)
        self.assertEqual("1", read_encrypted_lines(folder / "defpts.ini")[NEWLINE_LINE])

    # --- the lock ------------------------------------------------------------------

    def test_lock_drops_every_secret_until_the_password_and_locks_when_idle(self):
        # In the strong format, so that the lock must let go of the data key too.
        folder, data_key = self.program_folder(), os.urandom(32)
        for name, lines in (("defpts.ini", locked_settings()), ("defpti1.ini", LOCK_TITLES),
                            ("defptd1.ini", LOCK_KEYS)):
            write_strong_lines(folder / name, lines, data_key,
                               PASSWORD if name == "defpts.ini" else None)
        process, window = self.start_unlocked(folder)
        pid = self.wait_for(lambda: memory.wine_process_of("nemuroku.exe", self.session.env),
                            "the program's Wine process")
        held = [key.encode("cp932") for key in LOCK_KEYS[1:]] + [data_key]
        self.assertEqual(set(held), memory.found_in_memory(pid, held), "found while unlocked")
        self.set_lock_options(window, [SCREEN_LOCK_BOX])
        notepad = self.bring_notepad_forward()

        self.inspector.post(window["hwnd"], WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK)
        self.wait_until_hidden(window)
        self.xinput.key("ctrl+1")
        self.xinput.type_text("#")
        self.wait_for(lambda: self.notepad_text(notepad) == "#", "the marker typed")
        unseen = held + [key.encode("utf-16-le") for key in LOCK_KEYS[1:]]
        self.assertEqual(set(), memory.found_in_memory(pid, unseen), "nothing left once locked")
        self.assertEqual("#", self.notepad_text(notepad), "Ctrl+1 pasted nothing while locked")

        self.inspector.show(notepad["hwnd"], SW_MINIMIZE)  # it covers the notification area
        self.xinput.click(*inspector.centre(self.tray_icon()["rect"]))
        self.answer_password_window(STARTUP_WINDOW, "wrong")
        self.dismiss_notice(WRONG.rstrip())
        self.assertTrue(process.running())
        self.assertFalse(self.refreshed(window)["visible"])
        second = self.launch(folder)  # a second start unlocks too, and ends
        self.answer_password_window(STARTUP_WINDOW, PASSWORD)
        second.wait_exit(timeout=30)
        self.wait_for(lambda: self.refreshed(window)["visible"], "the window back")
        self.assertEqual(list(LOCK_TITLES), self.title_list(self.refreshed(window))["items"])
        self.assertEqual(window["rect"], self.refreshed(window)["rect"])

        self.set_lock_options(window, [IDLE_LOCK_BOX], minutes="1")
        self.wait_for(lambda: not self.refreshed(window)["visible"], "locked after a minute idle",
                      timeout=150)
        self.assertTrue(process.running())
        self.exit_by_close(process, window)
        self.assertEqual(list(LOCK_KEYS), read_strong_lines(folder / "defptd1.ini", data_key))
        self.assertEqual(["1", "1", "1"],
                         read_strong_lines(folder / "defpts.ini", data_key)[15:18])

    # --- the mask toggle -------------------------------------------------------------

    def test_mask_toggle_uncovers_the_display_only_with_the_right_password(self):
        _, window = self.start_unlocked(self.folder_with(locked_settings()))
        self.assertTrue(self.is_masked(window))
        self.wait_for_toggle(window, "隠蔽", on=True)

        self.click_control(window, "隠蔽")
        self.session.screenshot("modes-check-window", self.password_window(CHECK_WINDOW)["rect"])
        box = self.fill_password_window(CHECK_WINDOW, "kiwi")
        self.click_control(box, "OK")
        self.dismiss_notice_by_key(WRONG_IN_CHECK_WINDOW)
        self.wait_until_hidden(box)
        self.assertEqual("", inspector.control(self.refreshed(box), "Edit", visible=None)["text"],
                         "the wrong entry is cleared")
        self.assertTrue(self.is_masked(window))
        self.wait_for_toggle(window, "隠蔽", on=True)

        self.click_control(window, "隠蔽")
        self.answer_password_window(CHECK_WINDOW, PASSWORD)
        self.wait_for(lambda: not self.is_masked(window), "the key code display uncovered")
        self.wait_for_toggle(window, "隠蔽", on=False)
        self.assertEqual("キーコード", self.key_display(self.refreshed(window))["text"])
        self.session.screenshot("modes-main-unmasked", window["rect"])

        self.click_control(window, "隠蔽")
        self.wait_for(lambda: self.is_masked(window), "the key code display masked again")
        self.wait_for_toggle(window, "隠蔽", on=True)
        self.assertEqual([], self.inspector.windows(CHECK_WINDOW, visible=True),
                         "masking needs no password")

    def test_mask_toggle_changes_nothing_while_no_password_is_asked_at_start(self):
        _, window = self.start(self.folder_with(settings_with({TRANSPARENCY_LINE: "0"})))
        # A hint shows while the pointer rests on its control.
        x, y = inspector.centre(self.control_named(window, "隠蔽")["rect"])
        for step in (0, 1):
            self.xinput.move(x + step, y)
        hint = self.wait_for(lambda: self.inspector.windows("tooltips_class32", visible=True),
                             "the mask toggle's hint")
        self.session.screenshot("modes-hint", hint[0]["rect"])

        self.click_control(window, "隠蔽")
        # The next click is handled after the first: once it shows, the first is done.
        self.click_control(window, "透過")
        self.wait_for(lambda: self.refreshed(window)["alpha"], "the window translucent")

        self.assertEqual([], self.inspector.windows(CHECK_WINDOW, visible=True))
        self.assertTrue(self.is_masked(window))
        self.wait_for_toggle(window, "隠蔽", on=True)

    # --- compact mode and transparency -----------------------------------------------------

    def test_display_click_toggles_the_compact_mode_and_its_colour(self):
        _, window = self.start(self.folder_with(settings_with({HEIGHT_LINE: "400"})))
        self.assertEqual(400, window["rect"]["height"])
        display = inspector.centre(self.key_display(window)["rect"])
        grey_text = system_colour(self.session.env, "GrayText")

        self.xinput.click(window["rect"]["left"] + 40, display[1])
        self.wait_for(lambda: self.height(window) == COMPACT_HEIGHT, "the compact mode")
        self.wait_for(lambda: self.display_colour(window) == grey_text,
                      f"the key code display in the grey-text colour {grey_text}")
        self.session.screenshot("modes-main-compact", self.refreshed(window)["rect"])

        self.xinput.click(window["rect"]["left"] + 40, display[1])
        self.wait_for(lambda: self.height(window) == 400, "the height of line 3 again")
        group_1 = system_colour(self.session.env, "Window")
        self.wait_for(lambda: self.display_colour(window) == group_1,
                      f"the key code display in group 1's colour {group_1}")
        self.assertEqual(window["rect"], self.refreshed(window)["rect"])

    def test_transparency_toggle_on_an_opaque_start_uses_opacity_165(self):
        # Level 0 would mean opacity 45 at start; the toggle does not read it.
        settings = settings_with({TRANSPARENCY_LINE: "0", TRANSPARENCY_LEVEL_LINE: "0"})
        _, window = self.start(self.folder_with(settings))
        self.assertFalse(window["exstyle"] & WS_EX_LAYERED)

        self.click_control(window, "透過")
        self.wait_for(lambda: self.refreshed(window)["alpha"] == DESIGNED_OPACITY,
                      f"opacity {DESIGNED_OPACITY}")
        self.wait_for_toggle(window, "透過", on=True)

        self.click_control(window, "透過")
        self.wait_for(lambda: not self.refreshed(window)["exstyle"] & WS_EX_LAYERED,
                      "the window opaque again")
        self.wait_for_toggle(window, "透過", on=False)

    # --- password change -------------------------------------------------------------------

    def test_password_change_reaches_the_settings_file_at_exit(self):
        folder = self.folder_with()
        process, window = self.start(folder)

        self.open_password_change(window)
        self.answer_input_box(PASSWORD_WINDOW_TITLE, BUILT_IN_PASSWORD)
        self.dismiss_notice(CONFIRMATION)
        self.answer_input_box("パスワード確認(1)", PASSWORD)
        self.answer_input_box("パスワード確認(2)", PASSWORD)
        self.dismiss_notice(CHANGED)

        self.exit_by_close(process, window)
        self.assertEqual(PASSWORD, read_encrypted_lines(folder / "defpts.ini")[PASSWORD_LINE])

    def test_password_change_refused_or_cancelled_keeps_the_old_password(self):
        folder = self.folder_with()
        process, window = self.start(folder)

        self.open_password_change(window)
        self.answer_input_box(PASSWORD_WINDOW_TITLE, "mulberry2")
        self.dismiss_notice(NOT_CHANGED)

        self.open_password_change(window)
        self.answer_input_box(PASSWORD_WINDOW_TITLE, BUILT_IN_PASSWORD)
        self.dismiss_notice(CONFIRMATION)
        self.answer_input_box("パスワード確認(1)", PASSWORD)
        self.answer_input_box("パスワード確認(2)", PASSWORD + "x")
        self.dismiss_notice(NOT_CHANGED)

        # Cancel where the new password is typed (masked) keeps the old one.
        self.open_password_change(window)
        self.answer_input_box(PASSWORD_WINDOW_TITLE, BUILT_IN_PASSWORD)
        self.dismiss_notice(CONFIRMATION)
        box = self.wait_for_window("#32770", "パスワード確認(1)")
        self.assertTrue(inspector.control(box, "Edit")["style"] & ES_PASSWORD)
        self.click_control(box, "キャンセル")
        self.dismiss_notice(KEPT)

        self.exit_by_close(process, window)
        self.assertEqual(BUILT_IN_PASSWORD,
                         read_encrypted_lines(folder / "defpts.ini")[PASSWORD_LINE])

    # --- a hotkey held by another program ---------------------------------------------------

    def test_hotkey_held_by_another_program_is_reported_once_and_the_others_work(self):
        holder = self.launch(self.program_folder(HOTKEY_HOLDER_EXE), HOTKEY_HOLDER_EXE.name)
        held = self.wait_for_window("HotkeyHolder", "hotkey holder", visible=None)
        self.addCleanup(self.wait_until_gone, held["hwnd"])
        self.addCleanup(holder.kill)

        self.launch(self.folder_with())
        self.dismiss_notice(HOTKEY_FAILED)
        window = self.main_window()
        self.hide_with_minimise_button(window)
        self.bring_notepad_forward()
        self.xinput.key("shift+Return")

        self.wait_for(lambda: self.refreshed(window)["visible"], "Shift+Enter still working")
        self.assertEqual([], self.visible_notices(), "the failure is reported once")
        self.assertTrue(holder.running())
