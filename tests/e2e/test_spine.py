"""Start-up, single instance and shutdown of nemuroku.exe, seen from outside:
the windows it shows and the files it leaves in its folder."""

from harness import inspector
from harness.inspector import ES_PASSWORD, SW_HIDE, WS_EX_LAYERED
from harness.program import (COMPACT_HEIGHT, DESIGNED_RECT, SETTINGS, STORED_FILES, StartupSteps,
                             geometry_lines, settings_with)
from harness.session import MAIN_CLASS, PRODUCT_TITLE, WineTestCase, windows_path
from harness.storedfiles import (encrypt, is_encrypted, plain_bytes, read_encrypted_lines,
                                 split_lines, write_plain_lines)

ATOM = "nemuroku.exe"
GROUP_FILES = [f"defpt{kind}{n}.ini" for n in (1, 2, 3) for kind in "di"]


def files_in(folder):
    return {p.name: (p.read_bytes(), p.stat().st_mtime_ns) for p in folder.iterdir()}


class SpineTest(StartupSteps, WineTestCase):
    # --- first start -----------------------------------------------------------

    def test_first_start_without_settings_warns_clears_groups_and_shows_default_item(self):
        folder = self.program_folder()
        for name in GROUP_FILES:
            write_plain_lines(folder / name, ["古い項目"])

        _, _, window = self.first_start(folder)

        self.assertEqual([], [name for name in GROUP_FILES if (folder / name).exists()])
        self.assertEqual(DESIGNED_RECT, window["rect"])
        self.assertTrue(window["topmost"])
        titles = self.title_list(window)
        self.assertEqual(["タイトル"], titles["items"])
        self.assertEqual([0], titles["selected"])
        key = self.key_display(window)
        self.assertTrue(key["style"] & ES_PASSWORD, "the key code display is masked")
        self.assertEqual("キーコード", key["text"])
        self.session.screenshot("main-window-first-start", window["rect"])

        # No height is stored yet: leaving the compact mode gives the designed one.
        display = (window["rect"]["left"] + 40, inspector.centre(key["rect"])[1])
        for height in (COMPACT_HEIGHT, DESIGNED_RECT["height"]):
            self.xinput.click(*display)
            self.wait_for(lambda: self.inspector.window(window["hwnd"])["rect"]["height"]
                          == height, f"the window {height} pixels high")

    def test_exit_after_first_start_stores_every_file_encrypted(self):
        folder, process, window = self.first_start()

        self.exit_by_close(process, window)

        for name in ("defpts.ini", "defpti1.ini", "defptd1.ini", "defpti.bak", "defptd.bak"):
            with self.subTest(file=name):
                self.assertTrue(is_encrypted(folder / name), f"{name} is encrypted with qz")
        built_in = ["1", "1", "0", "0", "1", "mulberry", "1", "2", "", ""]
        self.assertEqual(geometry_lines(window["rect"]) + built_in,
                         read_encrypted_lines(folder / "defpts.ini"))
        self.assertEqual(["タイトル"], read_encrypted_lines(folder / "defpti1.ini"))
        self.assertEqual(["キーコード"], read_encrypted_lines(folder / "defptd1.ini"))
        self.assertEqual(["タイトル"], read_encrypted_lines(folder / "defpti.bak"))
        self.assertEqual(["キーコード"], read_encrypted_lines(folder / "defptd.bak"))

    # --- single instance ---------------------------------------------------------

    def check_second_start_hands_over(self, hide_first):
        folder = self.folder_with()
        first, window = self.start(folder)
        self.bring_notepad_forward()
        if hide_first:
            self.inspector.show(window["hwnd"], SW_HIDE)
            self.wait_for(lambda: not self.refreshed(window)["visible"], "the main window hidden")
        before = files_in(folder)

        second = self.launch(folder)

        second.wait_exit(timeout=20)
        self.assert_in_front(window)
        self.assertTrue(first.running())
        self.assertEqual(before, files_in(folder), "the second start touched no file")
        self.assertEqual(1, len(self.inspector.windows(MAIN_CLASS, PRODUCT_TITLE)))

    def test_second_start_brings_the_shown_first_instance_forward_and_ends(self):
        self.check_second_start_hands_over(hide_first=False)

    def test_second_start_brings_back_a_hidden_first_instance_and_ends(self):
        self.check_second_start_hands_over(hide_first=True)

    def test_start_after_a_killed_instance_runs_normally_and_removes_the_atom(self):
        folder = self.folder_with()
        killed, window = self.start(folder)
        self.assertTrue(self.inspector.atom_exists(ATOM))
        killed.kill()
        self.wait_until_gone(window["hwnd"])
        self.assertTrue(self.inspector.atom_exists(ATOM), "a killed instance leaves its atom")

        process, window = self.start(folder)
        self.assertEqual(["タイトル"], self.title_list(window)["items"])
        self.exit_by_close(process, window)

        self.assertFalse(self.inspector.atom_exists(ATOM))
        self.assertTrue(is_encrypted(folder / "defpts.ini"))

    # --- settings applied at start and written at exit -----------------------------

    def test_start_shows_group_1_whatever_group_was_on_display(self):
        folder = self.folder_with(settings_with({8: "3"}), titles=["いち"], keys=["one"])
        write_plain_lines(folder / "defpti3.ini", ["さん"])
        write_plain_lines(folder / "defptd3.ini", ["three"])
        process, window = self.start(folder)
        self.assertEqual(["いち"], self.title_list(window)["items"])

        self.exit_by_close(process, window)

        self.assertEqual("1", read_encrypted_lines(folder / "defpts.ini")[8])
        self.assertEqual(["いち"], read_encrypted_lines(folder / "defpti1.ini"))
        self.assertEqual(["さん"], split_lines((folder / "defpti3.ini").read_bytes()),
                         "group 3 was not on display and stays as it was")

    def test_settings_file_of_14_lines_is_stored_with_15(self):
        folder = self.folder_with(SETTINGS[:13] + [""])
        process, window = self.start(folder)

        self.exit_by_close(process, window)

        stored = read_encrypted_lines(folder / "defpts.ini")
        self.assertEqual(15, len(stored))
        self.assertEqual(["00010203", ""], stored[13:])

    def test_stay_on_top_follows_line_4(self):
        for flag, topmost in (("0", False), ("1", True)):
            with self.subTest(line_4=flag):
                process, window = self.start(self.folder_with(settings_with({4: flag})))
                self.assertEqual(topmost, window["topmost"])
                self.exit_by_close(process, window)

    def test_transparency_level_sets_the_opacity_at_start(self):
        for level, alpha in (("3", 255), ("0", 45)):
            with self.subTest(line_11=level):
                folder = self.folder_with(settings_with({6: "1", 11: level}))
                process, window = self.start(folder)
                self.assertTrue(window["exstyle"] & WS_EX_LAYERED)
                self.assertEqual(alpha, window["alpha"])
                self.exit_by_close(process, window)
                self.assertEqual("1", read_encrypted_lines(folder / "defpts.ini")[6])

    def test_opaque_without_transparency_flag(self):
        _, window = self.start(self.folder_with(settings_with({6: "0", 11: "0"})))
        self.assertIsNone(window["alpha"])

    def test_unreadable_files_are_named_never_shown_and_never_written_over(self):
        # A settings file that is not what the program stores would start it
        # behind an empty password.
        locked = encrypt(plain_bytes(SETTINGS))
        for what, damaged in (("another key", encrypt(plain_bytes(SETTINGS), key=b"xy")),
                              ("first byte changed", b"\x18" + locked[1:]), ("0 bytes", b"")):
            with self.subTest(settings=what):
                folder = self.folder_with()
                settings = folder / "defpts.ini"
                settings.write_bytes(damaged)
                before = files_in(folder)
                process = self.launch(folder)
                self.dismiss_notice(f"ファイル {windows_path(settings)} は開けません")
                process.wait_exit(timeout=30)
                self.assertEqual(before, files_in(folder))

        with self.subTest(file="defpti1.ini"):
            folder = self.folder_with(titles=["銀行"], keys=["k1"])
            title_file = folder / "defpti1.ini"
            title_file.write_bytes(encrypt(plain_bytes(["銀行"]), key=b"xy"))
            before = title_file.read_bytes()
            process = self.launch(folder)
            self.dismiss_notice(f"ファイル {windows_path(title_file)} は開けません")
            window = self.main_window()
            self.assertEqual([], self.title_list(window)["items"])
            self.inspector.close(window["hwnd"])
            self.dismiss_notice(
                f"ファイル {windows_path(title_file)} は読み込めなかったため、上書きしませんでした。")
            process.wait_exit(timeout=30)
            self.assertEqual(before, title_file.read_bytes())

    def test_plain_files_are_read_and_encrypted_again_and_a_killed_run_leaves_none(self):
        folder = self.folder_with(settings_with({0: "300", 1: "200", 9: "合言葉"}),
                                  titles=["銀行", "メール"], keys=["k1", "k2"])
        process, window = self.start(folder)
        self.exit_by_close(process, window)
        self.assertTrue(is_encrypted(folder / "defpts.ini"))

        before = files_in(folder)
        killed, window = self.start(folder)
        self.assertEqual(["銀行", "メール"], self.title_list(window)["items"])
        self.assertEqual(before, files_in(folder), "a start writes nothing")
        self.assertEqual([], [name for name in STORED_FILES if not is_encrypted(folder / name)],
                         "stored files stay encrypted while the program runs")
        killed.kill()
        self.wait_until_gone(window["hwnd"])

        process, window = self.start(folder)
        self.assertEqual({"left": 300, "top": 200, "width": 149, "height": 452}, window["rect"])
        self.assertEqual(["銀行", "メール"], self.title_list(window)["items"])
        self.exit_by_close(process, window)

        stored = read_encrypted_lines(folder / "defpts.ini")
        self.assertEqual(["300", "200", "149", "452"], stored[:4])
        self.assertEqual("合言葉", stored[9])
        self.assertEqual(["銀行", "メール"], read_encrypted_lines(folder / "defpti1.ini"))
        self.assertEqual(["k1", "k2"], read_encrypted_lines(folder / "defptd1.ini"))
