"""The program on a screen at 150 % and on an English Windows."""

from harness import dropdowns, inspector
from harness.program import (ABOUT_WINDOW, BUILT_IN_PASSWORD, CHECK_WINDOW, COMPACT_HEIGHT,
                             DESIGNED_RECT, EDIT_WINDOW, MISSING_SETTINGS_MESSAGE, PASSWORD,
                             PASSWORD_WINDOW, PASSWORD_WINDOW_TITLE, PROGRAM_MODE_TEMPLATE,
                             PROGRAM_MODE_WINDOW, REGISTRATION_WINDOW, SETTINGS_WINDOW,
                             TEMPLATE_ENTRIES, TEMPLATE_PLACEHOLDER, TEMPLATE_ROWS, StartupSteps,
                             geometry_lines, locked_settings)
from harness.session import ENGLISH, HIGH_DPI, PRODUCT_TITLE, WineTestCase
from harness.storedfiles import decrypt, plain_bytes, read_encrypted_lines

IDM_ADD_ITEM, IDM_EDIT_ITEM = 211, 214
IDM_OPEN_SETTINGS, IDM_CHANGE_PASSWORD, IDM_SHOW_ABOUT = 221, 222, 223

# Client sizes at 96 DPI.
CLIENT_SIZES = {
    PASSWORD_WINDOW: (268, 99),
    REGISTRATION_WINDOW: (360, 232),
    PROGRAM_MODE_WINDOW: (320, 105),
    EDIT_WINDOW: (330, 101),
    SETTINGS_WINDOW: (408, 297),
    ABOUT_WINDOW: (318, 100),
    (CHECK_WINDOW, PASSWORD_WINDOW_TITLE): (268, 99),
}
# The most a caption and frame add to a window's size at 144 DPI.
FRAME_ALLOWANCE = (30, 80)


def at_150_percent(value):
    return value * 3 // 2


def inside(inner, outer):
    return (outer["left"] <= inner["left"] and outer["top"] <= inner["top"]
            and inner["left"] + inner["width"] <= outer["left"] + outer["width"]
            and inner["top"] + inner["height"] <= outer["top"] + outer["height"])


class ScreensSteps(StartupSteps):
    def opened_by(self, main, command, window):
        self.inspector.post_command(main["hwnd"], command)
        return self.wait_for_window(*window)


class HighDpiTest(ScreensSteps, WineTestCase):
    variant = HIGH_DPI

    def look_at(self, name, window, wider_by_design=None):
        """A screenshot to look at, and what can be checked from outside: the window has
        its designed size at 150 % and every control lies inside it (but the one that is
        designed wider than the window)."""
        window = self.refreshed(window)
        self.session.screenshot(f"144dpi-{name}", window["rect"])
        rect = window["rect"]
        size = CLIENT_SIZES.get((window["class"], window["title"]))
        if size:
            for actual, designed, frame in zip((rect["width"], rect["height"]), size,
                                               FRAME_ALLOWANCE):
                self.assertTrue(0 <= actual - at_150_percent(designed) <= frame, window["title"])
        outside = [c["text"] or c["class"] for c in window["controls"]
                   if c["visible"] and c["class"] != wider_by_design and not inside(c["rect"], rect)]
        self.assertEqual([], outside, f"controls outside {window['title']}")
        return window

    def close(self, window):
        self.inspector.close(window["hwnd"])
        self.wait_until_hidden(window)

    def test_every_window_is_laid_out_at_150_percent_and_the_size_is_stored_at_100(self):
        folder = self.program_folder()  # a first start
        process = self.launch(folder)
        self.look_at("first-start-notice", self.wait_for_window("#32770", PRODUCT_TITLE))
        self.dismiss_notice(MISSING_SETTINGS_MESSAGE)
        self.look_at("startup-password", self.wait_for_window(*PASSWORD_WINDOW))
        self.enter_startup_password(BUILT_IN_PASSWORD)
        main = self.main_window()
        for side in DESIGNED_RECT:
            self.assertAlmostEqual(at_150_percent(DESIGNED_RECT[side]), main["rect"][side],
                                   delta=2, msg=side)
        # The key code display's right part is cut off by design.
        self.look_at("main", main, wider_by_design="Edit")

        registration = self.look_at("registration",
                                    self.opened_by(main, IDM_ADD_ITEM, REGISTRATION_WINDOW))
        templates = next(c for c in inspector.controls(registration, "ComboBox")
                         if c["text"] == TEMPLATE_PLACEHOLDER)
        dropdowns.choose_entry(self.inspector, self.xinput, templates, PROGRAM_MODE_TEMPLATE,
                               TEMPLATE_ENTRIES, TEMPLATE_ROWS)
        self.close(self.look_at("program-mode", self.wait_for_window(*PROGRAM_MODE_WINDOW)))
        self.close(registration)
        self.close(self.look_at("edit", self.opened_by(main, IDM_EDIT_ITEM, EDIT_WINDOW)))
        self.close(self.look_at("settings",
                                self.opened_by(main, IDM_OPEN_SETTINGS, SETTINGS_WINDOW)))
        self.close(self.look_at("about", self.opened_by(main, IDM_SHOW_ABOUT, ABOUT_WINDOW)))

        self.click_control(main, "隠蔽")
        self.close(self.look_at("password-check",
                                self.wait_for_window(CHECK_WINDOW, PASSWORD_WINDOW_TITLE)))
        question = self.look_at("input-box",
                                self.opened_by(main, IDM_CHANGE_PASSWORD,
                                               ("#32770", PASSWORD_WINDOW_TITLE)))
        self.inspector.press(question["hwnd"], "キャンセル")
        notice = self.look_at("message-box", self.wait_for_window("#32770", PRODUCT_TITLE))
        self.inspector.press(notice["hwnd"], "OK")
        self.wait_until_gone(notice["hwnd"])

        # Compact at exit: the full height is what is stored.
        display = inspector.centre(self.key_display(main)["rect"])
        self.xinput.click(main["rect"]["left"] + 40, display[1])
        self.wait_for(lambda: self.refreshed(main)["rect"]["height"]
                      == at_150_percent(COMPACT_HEIGHT), "the compact mode at 150 %")
        self.session.screenshot("144dpi-compact", self.refreshed(main)["rect"])
        self.exit_by_close(process, main)
        self.assertEqual(geometry_lines(DESIGNED_RECT),
                         read_encrypted_lines(folder / "defpts.ini")[:4])


class EnglishWindowsTest(ScreensSteps, WineTestCase):
    """Under ANSI code page 1252, where every text that went through the system's code
    page instead of 932 would come out wrong."""

    variant = ENGLISH

    # Half-width katakana are single bytes in code page 932 and other letters in 1252.
    TITLE = "日本語の題名"
    KEY_CODE = "ｷｰ漢字かな①"

    def texts(self, window):
        return [c["text"] for c in inspector.controls(self.refreshed(window), "Static")
                if c["text"]]

    def test_japanese_shows_pastes_and_is_stored_in_code_page_932(self):
        folder = self.folder_with(locked_settings(), [self.TITLE], [self.KEY_CODE])
        process = self.launch(folder)
        startup = self.wait_for_window(*PASSWORD_WINDOW)
        self.assertIn("起動パスワードを入力してください", self.texts(startup))
        self.session.screenshot("english-startup-password", startup["rect"])
        self.enter_startup_password(PASSWORD)
        main = self.main_window()
        self.assertEqual([self.TITLE], self.title_list(main)["items"])

        # Pasted into notepad, copied from there and given to a new item.
        notepad = self.bring_notepad_forward("Untitled - Notepad")
        self.click_title(notepad, main, 0)
        self.wait_for(lambda: self.notepad_text(notepad) == self.KEY_CODE,
                      "the key code pasted into notepad")
        # The delivery ends by clearing the clipboard: a copy made before would go too.
        self.wait_for(lambda: self.inspector.clipboard_text() == "", "the clipboard cleared")
        self.session.screenshot("english-main", main["rect"])
        self.click_into_notepad(notepad)
        self.xinput.key("ctrl+a", "ctrl+c")
        self.wait_for(lambda: self.inspector.clipboard_text() == self.KEY_CODE, "the text copied")
        registration = self.opened_by(main, IDM_ADD_ITEM, REGISTRATION_WINDOW)
        title_field = inspector.controls(registration, "Edit")[0]
        self.xinput.click(*inspector.centre(title_field["rect"]))
        self.xinput.key("End", "shift+Home", "ctrl+v")
        self.wait_for(lambda: [c["text"] for c in inspector.controls(self.refreshed(registration),
                                                                     "Edit")][:2]
                      == [self.KEY_CODE, self.KEY_CODE], "the title and key code filled in")
        self.session.screenshot("english-registration", registration["rect"])
        self.click_control(registration, "登録")
        self.wait_for(lambda: self.title_list(self.refreshed(main))["items"]
                      == [self.TITLE, self.KEY_CODE], "the new item listed")

        question = self.opened_by(main, IDM_CHANGE_PASSWORD, ("#32770", PASSWORD_WINDOW_TITLE))
        self.assertIn("パスワードを入力してください", self.texts(question))
        self.session.screenshot("english-input-box", question["rect"])
        self.inspector.press(question["hwnd"], "キャンセル")
        notice = self.wait_for_window("#32770", PRODUCT_TITLE)
        self.session.screenshot("english-message-box", notice["rect"])
        self.assertEqual(["パスワードが間違っています。\r\nパスワードは変更されませんでした。"],
                         self.texts(notice))
        self.inspector.press(notice["hwnd"], "OK")
        self.wait_until_gone(notice["hwnd"])

        self.exit_by_close(process, main)
        self.assertEqual(plain_bytes([self.TITLE, self.KEY_CODE]),
                         decrypt((folder / "defpti1.ini").read_bytes()))
        self.assertEqual(plain_bytes([self.KEY_CODE, self.KEY_CODE]),
                         decrypt((folder / "defptd1.ini").read_bytes()))
