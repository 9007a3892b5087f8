"""The three groups seen from outside: export and import of the group on display
through the common file dialogs, the "<" and ">" buttons with the colour of the
key code display, and what each of them leaves in the group files."""

import subprocess

from harness import inspector
from harness.inspector import BS_DEFPUSHBUTTON
from harness.program import GROUP_LINE, SETTINGS, StartupSteps
from harness.screenshots import dominant_colour
from harness.session import PRODUCT_TITLE, WineTestCase, windows_path
from harness.storedfiles import (is_encrypted, read_encrypted_lines, split_lines,
                                 write_encrypted_lines, write_plain_lines)

DEFAULT_ITEM = (["タイトル"], ["キーコード"])
GROUP_COLOURS = {1: (255, 255, 255), 2: (200, 240, 220), 3: (255, 220, 200)}

SAVE_DIALOG_TITLE = "名前を付けて保存"
OPEN_DIALOG_TITLE = "開く"
FILE_MENU_POSITION = 0
IMPORT_MENU_ITEM = 0
EXPORT_MENU_ITEM = 1
FILE_MENU_ITEMS = 3

CANNOT_READ_PAIR = "読み込めません"
CLEAR_QUESTION = ("クリア確認", "このグループの内容を全てクリアしてもよろしいですか？")


def crlf(lines):
    return b"".join(line.encode("cp932") + b"\r\n" for line in lines)


def group_files(folder, group):
    return folder / f"defpti{group}.ini", folder / f"defptd{group}.ini"


def stored_lists(folder, group):
    """The lists of a group as its encrypted pair holds them; fails when plain."""
    return tuple(read_encrypted_lines(path) for path in group_files(folder, group))


def plain_lists(folder, group):
    return tuple(split_lines(path.read_bytes()) for path in group_files(folder, group))


def contents(folder):
    return {p.name: p.read_bytes() for p in folder.iterdir() if p.is_file()}


class GroupsTest(StartupSteps, WineTestCase):
    # --- helpers -------------------------------------------------------------

    def folder_with_groups(self, groups, write=write_plain_lines):
        """A program folder with settings and the pairs of the groups given."""
        folder = self.program_folder()
        write(folder / "defpts.ini", SETTINGS)
        for group, (titles, keys) in groups.items():
            title_file, key_file = group_files(folder, group)
            write(title_file, titles)
            write(key_file, keys)
        return folder

    def assert_all_encrypted(self, folder):
        self.assertEqual([], [p.name for p in folder.iterdir()
                              if p.suffix != ".exe" and not is_encrypted(p)])

    def titles_shown(self, window):
        return inspector.control(self.refreshed(window), "ListBox")["items"]

    def wait_for_titles(self, window, titles):
        self.wait_for(lambda: self.titles_shown(window) == titles, f"the titles {titles}")

    def key_display(self, window):
        return super().key_display(self.refreshed(window))

    def wait_for_key_code(self, window, key_code):
        self.wait_for(lambda: self.key_display(window)["text"] == key_code,
                      f"the key code display showing {key_code!r}")

    def display_colour(self, window, name):
        """The colour most of the visible key code display shows on the screen."""
        display = self.key_display(window)["rect"]
        visible = dict(display, width=window["rect"]["left"] + window["rect"]["width"] - 8
                       - display["left"])
        return dominant_colour(self.screenshot(name, visible))

    def wait_for_display_colour(self, window, group, name):
        self.wait_for(lambda: self.display_colour(window, name) == GROUP_COLOURS[group],
                      f"the key code display in the colour of group {group}")

    def switch(self, window, caption, titles):
        """Presses "<" or ">" and waits until the group entered shows its titles."""
        self.click_control(window, caption)
        self.wait_for_titles(window, titles)

    def choose_from_file_menu(self, window, item):
        self.menu_bar_command(window, FILE_MENU_POSITION, item, FILE_MENU_ITEMS)

    def file_dialog(self, title):
        return self.wait_for_window("#32770", title)

    def type_file_name(self, dialog, path, screenshot_name):
        """Types a full Windows path into the dialog's file name box and confirms it."""
        name_box = inspector.control(dialog, "Edit")
        self.xinput.click(*inspector.centre(name_box["rect"]))
        self.xinput.key("End", "shift+Home")
        self.xinput.type_text(path)
        self.wait_for(lambda: inspector.control(self.refreshed(dialog), "Edit")["text"] == path,
                      "the file name typed")
        self.screenshot(screenshot_name, dialog["rect"])
        self.xinput.key("Return")
        self.wait_until_gone(dialog["hwnd"])

    def export_as(self, window, path):
        self.choose_from_file_menu(window, EXPORT_MENU_ITEM)
        dialog = self.file_dialog(SAVE_DIALOG_TITLE)
        self.assertEqual("設定ファイル", inspector.control(dialog, "Edit")["text"])
        self.type_file_name(dialog, windows_path(path), "export-dialog")

    def start_import(self, window, path):
        """Chooses path in the import dialog; what the program asks next is left open."""
        self.choose_from_file_menu(window, IMPORT_MENU_ITEM)
        dialog = self.file_dialog(OPEN_DIALOG_TITLE)
        self.assertEqual("設定ファイル.ini", inspector.control(dialog, "Edit")["text"])
        self.type_file_name(dialog, windows_path(path), "import-dialog")

    def clear_question(self):
        box = self.wait_for_window("#32770", CLEAR_QUESTION[0])
        texts = [c["text"] for c in inspector.controls(box, "Static") if c["text"]]
        self.assertEqual([CLEAR_QUESTION[1]], texts)
        return box

    def answer(self, box, caption_start):
        button = next(b for b in inspector.controls(box, "Button")
                      if b["visible"] and b["text"].startswith(caption_start))
        self.xinput.click(*inspector.centre(button["rect"]))
        self.wait_until_gone(box["hwnd"])

    def import_pair(self, window, path):
        self.start_import(window, path)
        self.answer(self.clear_question(), "はい")

    def dismiss_message(self, expected_text, screenshot_name):
        """Checks the box captioned with the product title and clicks its OK."""
        box = self.wait_for_window("#32770", PRODUCT_TITLE)
        texts = [c["text"] for c in inspector.controls(box, "Static") if c["text"]]
        self.assertEqual([expected_text], texts)
        self.screenshot(screenshot_name, box["rect"])
        self.answer(box, "OK")

    # --- export and import ---------------------------------------------------------

    def test_export_writes_a_plain_pair_that_import_reads_back_into_another_group(self):
        group_1 = (["銀行", "---------------", "メール"], ["k1", "", "m@example.jp"])
        folder = self.folder_with_groups({1: group_1})
        process, window = self.start(folder)

        self.export_as(window, folder / "exported")

        self.wait_for(lambda: is_encrypted(group_files(folder, 1)[0])
                      and is_encrypted(group_files(folder, 1)[1]),
                      "the group's own pair stored encrypted")
        self.assertEqual(crlf(group_1[0]), (folder / "exported.ini").read_bytes())
        self.assertEqual(crlf(group_1[1]), (folder / "exported_k.ini").read_bytes())
        self.assertFalse((folder / "exported").exists(), "nothing under the bare name")
        self.assertEqual(group_1, stored_lists(folder, 1))

        # Export asks before it replaces a file, and never writes over the program's own.
        exported = contents(folder)["exported.ini"]
        self.export_as(window, folder / "exported")
        question = self.wait_for_window("#32770", PRODUCT_TITLE)
        self.assertEqual([f"{windows_path(folder / 'exported.ini')} は既にあります。\r\n上書きしますか？"],
                         [c["text"] for c in inspector.controls(question, "Static") if c["text"]])
        self.answer(question, "いいえ")
        self.export_as(window, folder / "DEFPTI1")
        self.dismiss_message(f"ファイル {windows_path(folder / 'DEFPTI1.ini')} はねむろくが使う"
                             "ファイルのため、書き出せません", "export-refused")
        self.assertEqual(exported, (folder / "exported.ini").read_bytes())
        self.assertEqual(group_1, stored_lists(folder, 1))

        # Group 2 takes the exported pair; it reaches its files only when stored.
        self.switch(window, ">", DEFAULT_ITEM[0])
        self.import_pair(window, folder / "exported.ini")
        self.wait_for_titles(window, group_1[0])
        self.assertEqual(DEFAULT_ITEM, stored_lists(folder, 2), "an import writes nothing")
        self.exit_by_close(process, window)
        self.assertEqual(group_1, stored_lists(folder, 2))

    def test_export_cancelled_still_stores_the_group_encrypted(self):
        group_1 = (["いち"], ["one"])
        folder = self.folder_with_groups({1: group_1})
        _, window = self.start(folder)
        before = set(contents(folder))

        self.choose_from_file_menu(window, EXPORT_MENU_ITEM)
        dialog = self.file_dialog(SAVE_DIALOG_TITLE)
        self.screenshot("export-dialog-to-cancel", dialog["rect"])
        self.answer(dialog, "キャンセル")

        self.wait_for(lambda: is_encrypted(group_files(folder, 1)[1]),
                      "the group's own pair stored encrypted")
        self.assertEqual(group_1, stored_lists(folder, 1))
        self.assertEqual(before, set(contents(folder)), "no exported file")

    def test_import_without_key_code_file_says_so_and_changes_nothing(self):
        folder = self.folder_with_groups({1: (["いち"], ["one"])})
        write_plain_lines(folder / "lonely.ini", ["ひとり"])
        _, window = self.start(folder)
        before = contents(folder)

        self.start_import(window, folder / "lonely.ini")

        self.dismiss_message(CANNOT_READ_PAIR, "import-cannot-read")
        self.assertEqual(["いち"], self.titles_shown(window))
        self.assertEqual(before, contents(folder))

    def test_import_of_a_missing_title_file_asks_then_says_it_cannot_be_opened(self):
        folder = self.folder_with_groups({1: (["いち"], ["one"])})
        write_plain_lines(folder / "gone_k.ini", ["orphan"])
        _, window = self.start(folder)

        self.import_pair(window, folder / "gone.ini")

        self.dismiss_message(f"ファイル {windows_path(folder / 'gone.ini')} は開けません",
                             "cannot-open")
        self.assertEqual(["いち"], self.titles_shown(window))

    def test_import_answered_no_by_its_default_button_keeps_the_lists(self):
        folder = self.folder_with_groups({1: (["いち"], ["one"])})
        write_plain_lines(folder / "pair.ini", ["別"])
        write_plain_lines(folder / "pair_k.ini", ["other"])
        process, window = self.start(folder)

        self.start_import(window, folder / "pair.ini")

        box = self.clear_question()
        self.screenshot("import-clear-question", box["rect"])
        buttons = {b["text"]: b for b in inspector.controls(box, "Button") if b["visible"]}
        self.assertEqual(["いいえ(&N)"], [text for text, b in buttons.items()
                                          if b["style"] & BS_DEFPUSHBUTTON])
        # Return answers with the default button, as a hurried user would.
        self.xinput.click(*inspector.centre(next(c for c in box["controls"]
                                                 if c["text"] == CLEAR_QUESTION[1])["rect"]))
        self.xinput.key("Return")
        self.wait_until_gone(box["hwnd"])
        self.assertEqual(["いち"], self.titles_shown(window))
        self.exit_by_close(process, window)
        self.assertEqual((["いち"], ["one"]), stored_lists(folder, 1))

    def test_import_of_more_than_30_items_reaches_the_files_when_the_group_is_left(self):
        folder = self.folder_with_groups({1: (["いち", "に"], ["one", "two"])})
        titles = [f"項目{n}" for n in range(1, 36)]
        keys = [f"key{n}" for n in range(1, 36)]
        write_plain_lines(folder / "many.ini", titles)
        write_plain_lines(folder / "many_k.ini", keys)
        _, window = self.start(folder)

        self.import_pair(window, folder / "many.ini")

        self.wait_for_titles(window, titles)
        self.assertEqual((["いち", "に"], ["one", "two"]), plain_lists(folder, 1))
        self.switch(window, ">", DEFAULT_ITEM[0])
        self.assertEqual((titles, keys), stored_lists(folder, 1))
        self.switch(window, "<", titles)

    # --- switching ------------------------------------------------------------------

    def test_first_next_of_a_fresh_folder_creates_group_2_with_the_default_item(self):
        folder = self.folder_with_groups({})
        process, window = self.start(folder)
        self.wait_for_display_colour(window, 1, "display-group-1")

        self.switch(window, ">", DEFAULT_ITEM[0])

        self.wait_for_display_colour(window, 2, "display-group-2")
        self.assertEqual([0], inspector.control(self.refreshed(window), "ListBox")["selected"])
        self.assertEqual(DEFAULT_ITEM, stored_lists(folder, 1))
        self.assertEqual(DEFAULT_ITEM, stored_lists(folder, 2), "entered, and still encrypted")
        self.exit_by_close(process, window)
        self.assertEqual("2", read_encrypted_lines(folder / "defpts.ini")[GROUP_LINE])
        self.assertEqual(DEFAULT_ITEM, stored_lists(folder, 2))

    def test_previous_cycles_1_3_2_1_and_the_next_start_shows_group_1(self):
        groups = {1: (["いち"], ["one"]), 2: (["に"], ["two"]), 3: (["さん"], ["three"])}
        folder = self.folder_with_groups(groups, write=write_encrypted_lines)
        process, window = self.start(folder)
        self.assert_all_encrypted(folder)

        for left, entered in ((1, 3), (3, 2), (2, 1)):
            with self.subTest(left=left, entered=entered):
                self.switch(window, "<", groups[entered][0])
                self.wait_for_display_colour(window, entered, f"display-group-{entered}")
                self.wait_for_key_code(window, groups[entered][1][0])
                self.assertEqual(groups[left], stored_lists(folder, left))
                self.assert_all_encrypted(folder)

        self.switch(window, "<", groups[3][0])
        self.exit_by_close(process, window)
        self.assertEqual("3", read_encrypted_lines(folder / "defpts.ini")[GROUP_LINE])
        self.assertEqual(groups[3], stored_lists(folder, 3))

        process, window = self.start(folder)
        self.wait_for_titles(window, groups[1][0])
        self.wait_for_display_colour(window, 1, "display-after-restart")
        self.switch(window, ">", groups[2][0])

    # --- file errors ------------------------------------------------------------------

    def make_unwritable(self, path):
        """Makes path a file that cannot be replaced.

        Wine replaces a file with the read-only attribute (chmod 444 or
        `wine attrib +r`) by a rename without complaint, so the file is made
        immutable instead, which Linux refuses to replace even for root.
        """
        made = subprocess.run(["chattr", "+i", str(path)], capture_output=True)
        if made.returncode != 0:
            self.skipTest(f"chattr +i is not allowed here: {made.stderr.decode().strip()}")
        self.addCleanup(subprocess.run, ["chattr", "-i", str(path)], check=True)

    def test_unwritable_title_file_stops_the_switch_and_keeps_its_content(self):
        folder = self.folder_with_groups({1: (["いち"], ["one"])})
        process, window = self.start(folder)
        title_file, key_file = group_files(folder, 1)
        self.make_unwritable(title_file)
        before = contents(folder)
        cannot_create = f"ファイル {windows_path(title_file)} を作成できません"

        self.click_control(window, ">")

        self.dismiss_message(cannot_create, "unwritable-title-file")
        self.assertEqual(["いち"], self.titles_shown(window))
        self.assertEqual(before, contents(folder), "nothing written, group 2 not created")
        self.inspector.close(window["hwnd"])
        self.dismiss_message(cannot_create, "unwritable-title-file-at-exit")
        process.wait_exit(timeout=30)
        self.assertEqual(crlf(["いち"]), title_file.read_bytes())
        self.assertEqual(crlf(["one"]), key_file.read_bytes(), "its pair is left alone")
        self.assertEqual("1", read_encrypted_lines(folder / "defpts.ini")[GROUP_LINE])

    def test_group_without_key_code_file_is_not_entered(self):
        folder = self.folder_with_groups({1: (["いち"], ["one"])})
        write_plain_lines(group_files(folder, 2)[0], ["に"])
        process, window = self.start(folder)

        self.click_control(window, ">")

        missing = group_files(folder, 2)[1]
        self.dismiss_message(f"ファイル {windows_path(missing)} は開けません", "missing-key-codes")
        self.assertEqual(["いち"], self.titles_shown(window))
        self.assertEqual("one", self.key_display(window)["text"])
        self.wait_for_display_colour(window, 1, "display-after-failed-switch")
        self.exit_by_close(process, window)
        self.assertEqual("1", read_encrypted_lines(folder / "defpts.ini")[GROUP_LINE])
        self.assertEqual((["いち"], ["one"]), stored_lists(folder, 1))
        self.assertEqual(["に"], split_lines(group_files(folder, 2)[0].read_bytes()))
        self.assertFalse(missing.exists())
