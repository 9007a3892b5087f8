"""The item commands seen from outside: the menu "編集" and the title list's item
menu, the registration window with its generator and templates, the edit window,
the program mode window, and what each leaves in the group files."""

import re

from harness import dropdowns, inspector, menus
from harness.inspector import BS_DEFPUSHBUTTON, ES_PASSWORD
from harness.program import (ABOUT_ENTRY, ABOUT_WINDOW, CHECK_WINDOW, EDIT_MENU_POSITION,
                             EDIT_WINDOW, FOLDER_LINK, NEWLINE_LINE, PASSWORD,
                             PASSWORD_WINDOW_TITLE, PROGRAM_MODE_TEMPLATE, PROGRAM_MODE_WINDOW,
                             REGISTRATION_WINDOW, SETTINGS, SETTINGS_ENTRY, SETTINGS_MENU_ENTRIES,
                             SETTINGS_MENU_POSITION, SETTINGS_WINDOW, SINGLE_CLICK_LINE,
                             STAY_ON_TOP_BOX, STAY_ON_TOP_LINE, TEMPLATE_ENTRIES,
                             TEMPLATE_PLACEHOLDER, TEMPLATE_ROWS, StartupSteps, locked_settings,
                             settings_with)
from harness.storedfiles import read_encrypted_lines, split_lines
from harness.session import WineTestCase

ADD, MOVE_UP, DELETE, EDIT, INSERT_SEPARATOR = range(5)
ITEM_COMMANDS = 5

FULL_MESSAGE = "登録できるタイトル数が上限に達しています。"
ITEM_CHANGED_MESSAGE = "項目が変更されたため登録できませんでした"
WS_DISABLED = 0x8000000
DELETE_QUESTION = ("削除確認", "この項目を削除してもよろしいですか？")
SEPARATOR = "---------------"

LENGTH_ENTRIES, LENGTH_ROWS = 20, 11
VARIABLE_NUMBER_TEMPLATE = 5
CHOOSER_ROWS = 11


def items(count):
    """count items with titles and key codes that name their position."""
    return [f"title-{i:02}" for i in range(count)], [f"key-{i:02}" for i in range(count)]


# What the program mode test registers: item 0, a Tab, item 12.
SEQUENCE_GROUP = (items(14)[0] + ["@PGM,"], items(14)[1] + ["00,T12"])


def lines_at(lines, *positions):
    return [lines[p] for p in positions]


def stored_group_1(folder):
    return (read_encrypted_lines(folder / "defpti1.ini"),
            read_encrypted_lines(folder / "defptd1.ini"))


def plain_group_1(folder):
    return (split_lines((folder / "defpti1.ini").read_bytes()),
            split_lines((folder / "defptd1.ini").read_bytes()))


class ItemsTest(StartupSteps, WineTestCase):
    # --- helpers -------------------------------------------------------------

    def start_with(self, titles, keys):
        """Starts the program on group 1 = (titles, keys); returns (folder, process, window)."""
        folder = self.folder_with(SETTINGS, titles, keys)
        return (folder, *self.start(folder))

    def title_list(self, window):
        return super().title_list(self.refreshed(window))

    def wait_for_titles(self, window, titles):
        self.wait_for(lambda: self.title_list(window)["items"] == titles, f"the titles {titles}")

    def key_code_shown(self, window):
        return self.key_display(self.refreshed(window))["text"]

    def click_line(self, window, line):
        self.xinput.click(*inspector.list_line_centre(self.title_list(window), line))
        self.wait_for(lambda: self.title_list(window)["caret"] == line, f"line {line} current")

    def edit_menu_command(self, window, command):
        """編集 → command, with real clicks and keys."""
        self.menu_bar_command(window, EDIT_MENU_POSITION, command, ITEM_COMMANDS)

    def item_menu_command(self, window, line, command):
        """The same command from the menu that a right click on the title list opens."""
        self.xinput.click(*inspector.list_line_centre(self.title_list(window), line), button=3)
        menu = self.wait_for(lambda: next(iter(menus.open_popup_menus(self.inspector)), None),
                             "the item menu open")
        menus.choose_entry(self.inspector, self.xinput, menu, command, ITEM_COMMANDS)

    def field_beside(self, window, label):
        """The edit field to the right of a label, as a user finds it."""
        window = self.refreshed(window)
        caption = next(c for c in inspector.controls(window, "Static") if c["text"] == label)
        middle = caption["rect"]["top"] + caption["rect"]["height"] // 2
        beside = [c for c in inspector.controls(window, "Edit")
                  if c["rect"]["left"] > caption["rect"]["left"]
                  and c["rect"]["top"] <= middle <= c["rect"]["top"] + c["rect"]["height"]]
        self.assertEqual(1, len(beside), f"one field beside {label!r}")
        return beside[0]

    def field_texts(self, window):
        return (self.field_beside(window, "タイトル")["text"],
                self.field_beside(window, "キーコード")["text"])

    def wait_for_fields(self, window, title, key_code):
        self.wait_for(lambda: self.field_texts(window) == (title, key_code),
                      f"the fields holding {title!r} and {key_code!r}")

    def retype(self, field, text):
        """Replaces a field's text with real keys."""
        self.xinput.click(*inspector.centre(field["rect"]))
        self.xinput.key("End", "shift+Home")
        self.xinput.type_text(text)

    def fill_fields(self, window, title, key_code):
        self.retype(self.field_beside(window, "タイトル"), title)
        self.retype(self.field_beside(window, "キーコード"), key_code)
        self.wait_for_fields(window, title, key_code)

    def control_named(self, window, text, cls=None):
        return super().control_named(self.refreshed(window), text, cls)

    def now(self, window, control):
        """The current state of a control of window. Right after a drop-down list
        closes, Wine's window list can miss the window for a moment."""
        fresh = self.wait_for(lambda: self.refreshed(window), f"window {window['hwnd']} listed")
        return next(c for c in fresh["controls"] if c["hwnd"] == control["hwnd"])

    def wait_for_text(self, window, control, pattern):
        """Waits until the whole text of a control of window matches pattern."""
        self.wait_for(lambda: re.fullmatch(pattern, self.now(window, control)["text"]),
                      f"the text {pattern!r} in {window['title']}")

    def combo_boxes(self, window):
        return inspector.controls(self.refreshed(window), "ComboBox")

    def copy_in_notepad(self, lines):
        """Puts text on the clipboard as a user does: typed into notepad, selected, copied."""
        notepad = self.bring_notepad_forward()
        for number, line in enumerate(lines):
            if number:
                self.xinput.key("Return")
            self.xinput.type_text(line)
        text = "\r\n".join(lines)
        self.wait_for(lambda: self.notepad_text(notepad) == text, "the text typed into notepad")
        self.xinput.key("ctrl+a", "ctrl+c")
        self.wait_for(lambda: self.inspector.clipboard_text() == text, "the text copied")
        return notepad

    def open_registration(self, window):
        self.edit_menu_command(window, ADD)
        return self.wait_for_window(*REGISTRATION_WINDOW)

    def register(self, registration, window, titles):
        self.click_control(registration, "登録")
        self.wait_until_hidden(registration)
        self.wait_for_titles(window, titles)

    # --- the registration window ---------------------------------------------------

    def test_add_prefills_from_the_clipboard_and_registration_stores_both_files_at_once(self):
        titles, keys = items(3)
        folder, _, window = self.start_with(titles, keys)
        self.copy_in_notepad(["clip-first", "clip-second"])

        registration = self.open_registration(window)

        self.wait_for_fields(registration, "3", "clip-first")
        self.screenshot("registration-window", registration["rect"])
        self.retype(self.field_beside(registration, "タイトル"), "mail")
        self.wait_for_fields(registration, "mail", "clip-first")
        self.register(registration, window, titles + ["mail"])
        self.wait_for(lambda: self.key_code_shown(window) == "clip-first",
                      "the new key code on display")
        self.assertEqual((titles + ["mail"], keys + ["clip-first"]), stored_group_1(folder))

    def test_generator_with_only_digits_at_length_20_then_the_variable_number_template(self):
        titles, keys = items(2)
        folder, _, window = self.start_with(titles, keys)
        self.item_menu_command(window, 0, ADD)
        registration = self.wait_for_window(*REGISTRATION_WINDOW)
        key_field = self.field_beside(registration, "キーコード")

        self.click_control(registration, "自動生成")
        self.wait_for_text(registration, key_field, "[A-Za-z0-9]{7}")
        for caption in ("英字 - 大文字を使用", "英字 - 小文字を使用"):
            self.click_control(registration, caption)
        length, templates = sorted(self.combo_boxes(registration), key=lambda c: c["rect"]["top"])
        self.assertEqual(TEMPLATE_PLACEHOLDER, templates["text"])
        dropdowns.choose_entry(self.inspector, self.xinput, length, LENGTH_ENTRIES - 1,
                               LENGTH_ENTRIES, LENGTH_ROWS)
        self.assertEqual("20", self.now(registration, length)["text"])
        self.click_control(registration, "自動生成")
        self.wait_for_text(registration, key_field, "[0-9]{20}")

        dropdowns.choose_entry(self.inspector, self.xinput, templates, VARIABLE_NUMBER_TEMPLATE,
                               TEMPLATE_ENTRIES, TEMPLATE_ROWS)
        self.wait_for_fields(registration, "@NUM,100", "10")
        self.register(registration, window, titles + ["@NUM,100"])
        self.assertEqual((titles + ["@NUM,100"], keys + ["10"]), stored_group_1(folder))

    # --- the limit of 30 items -----------------------------------------------------

    def test_at_30_items_add_and_separator_are_refused_with_a_message(self):
        titles, keys = items(29)
        folder, process, window = self.start_with(titles, keys)

        self.edit_menu_command(window, INSERT_SEPARATOR)  # the 30th line, at line 0
        self.wait_for_titles(window, [SEPARATOR] + titles)
        for caption, command in (("項目の追加", ADD), ("区切り線を挿入", INSERT_SEPARATOR)):
            with self.subTest(command=caption):
                self.edit_menu_command(window, command)
                self.dismiss_notice(FULL_MESSAGE)
                self.assertEqual([SEPARATOR] + titles, self.title_list(window)["items"])
                self.assertFalse(self.inspector.windows(*REGISTRATION_WINDOW, visible=True))

        self.exit_by_close(process, window)
        self.assertEqual(([SEPARATOR] + titles, [""] + keys), stored_group_1(folder))

    # --- delete, move up, separator ------------------------------------------------

    def test_delete_removes_the_three_highlighted_items_and_the_files_follow_at_exit(self):
        titles, keys = items(6)
        folder, process, window = self.start_with(titles, keys)
        self.click_line(window, 1)
        # Each Ctrl+click delivers in single-click mode; the next one waits for it.
        for highlighted in ([1, 3], [1, 3, 4]):
            self.xinput.click_holding("ctrl", *inspector.list_line_centre(
                self.title_list(window), highlighted[-1]))
            self.wait_for(lambda: self.title_list(window)["selected"] == highlighted and
                          self.key_code_shown(window) == keys[highlighted[-1]],
                          f"lines {highlighted} highlighted")

        self.edit_menu_command(window, DELETE)

        box = self.wait_for_window("#32770", DELETE_QUESTION[0])
        self.assertEqual([DELETE_QUESTION[1]],
                         [c["text"] for c in inspector.controls(box, "Static") if c["text"]])
        buttons = [b for b in inspector.controls(box, "Button") if b["visible"]]
        self.assertEqual(["はい", "いいえ"], [b["text"].split("(")[0] for b in buttons])
        self.assertTrue(buttons[1]["style"] & BS_DEFPUSHBUTTON, "No is the default")
        self.assertEqual(0, box["owner"], "the question has no owner window")
        self.assertFalse(self.refreshed(window)["style"] & WS_DISABLED,
                         "the main window stays usable while the question is open")
        self.assertEqual(titles, self.title_list(window)["items"], "nothing deleted yet")
        self.xinput.click(*inspector.centre(buttons[0]["rect"]))
        self.wait_until_gone(box["hwnd"])

        remaining = [0, 2, 5]
        self.wait_for_titles(window, lines_at(titles, *remaining))
        self.wait_for(lambda: self.key_code_shown(window) == "", "the key code display cleared")
        self.assertEqual((titles, keys), plain_group_1(folder), "nothing written before exit")
        self.exit_by_close(process, window)
        self.assertEqual((lines_at(titles, *remaining), lines_at(keys, *remaining)),
                         stored_group_1(folder))

    def test_move_up_and_separator_from_the_item_menu_and_the_files_follow_at_exit(self):
        titles, keys = items(5)
        folder, process, window = self.start_with(titles, keys)

        self.click_line(window, 3)
        self.item_menu_command(window, 3, MOVE_UP)
        order = [0, 1, 3, 2, 4]
        self.wait_for_titles(window, lines_at(titles, *order))

        self.click_line(window, 2)
        self.item_menu_command(window, 2, INSERT_SEPARATOR)
        self.wait_for_titles(window, lines_at(titles, 0, 1) + [SEPARATOR]
                             + lines_at(titles, 3, 2, 4))

        self.assertEqual((titles, keys), plain_group_1(folder), "nothing written before exit")
        self.exit_by_close(process, window)
        self.assertEqual((lines_at(titles, 0, 1) + [SEPARATOR]
                          + lines_at(titles, 3, 2, 4),
                          lines_at(keys, 0, 1) + [""] + lines_at(keys, 3, 2, 4)),
                         stored_group_1(folder))

    # --- the edit window -----------------------------------------------------------

    def test_edit_changes_an_item_turns_a_separator_into_one_and_keeps_off_a_moved_one(self):
        titles, keys = ["alpha", SEPARATOR, "gamma"], ["key-alpha", "", "key-gamma"]
        # Clicks only copy in this mode, and double clicks press Enter after a paste.
        folder = self.folder_with(settings_with({SINGLE_CLICK_LINE: "211", NEWLINE_LINE: "1"}),
                                  titles, keys)
        process, window = self.start(folder)

        self.click_line(window, 0)
        self.edit_menu_command(window, EDIT)
        editor = self.wait_for_window(*EDIT_WINDOW)
        self.wait_for_fields(editor, "alpha", "key-alpha")
        self.screenshot("edit-window", editor["rect"])
        self.fill_fields(editor, "first", "key-first")
        # A title delivered after the pointer left the edit window for the list
        # reaches nothing in it: neither the key code nor the Enter that would
        # press its "登録".
        self.click_line(window, 2)
        self.wait_for(lambda: self.inspector.clipboard_text() == "key-gamma", "the copy")
        self.xinput.double_click(*inspector.list_line_centre(self.title_list(window), 2))
        self.wait_for(lambda: self.inspector.clipboard_text() == "", "the paste done")
        self.assertTrue(self.refreshed(editor)["visible"])
        self.assertEqual(("first", "key-first"), self.field_texts(editor))
        self.click_control(editor, "登録")
        self.wait_until_hidden(editor)
        self.wait_for_titles(window, ["first", SEPARATOR, "gamma"])
        self.wait_for(lambda: self.key_code_shown(window) == "key-first", "the edited key code shown")

        self.click_line(window, 1)
        self.edit_menu_command(window, EDIT)
        editor = self.wait_for_window(*EDIT_WINDOW)
        self.wait_for_fields(editor, SEPARATOR, "")
        self.fill_fields(editor, "second", "key-second")
        self.click_control(editor, "登録")
        self.wait_until_hidden(editor)
        self.wait_for_titles(window, ["first", "second", "gamma"])

        # Loaded with "second", which is deleted meanwhile: "gamma" moves into its place.
        self.edit_menu_command(window, EDIT)
        editor = self.wait_for_window(*EDIT_WINDOW)
        self.wait_for_fields(editor, "second", "key-second")
        self.fill_fields(editor, "third", "key-third")
        self.edit_menu_command(window, DELETE)
        # The question may open behind the edit window under Wine: answered by its key.
        box = self.wait_for_window("#32770", DELETE_QUESTION[0])
        self.wait_for(lambda: self.inspector.foreground() == box["hwnd"], "the question active")
        self.xinput.key("y")
        self.wait_for_titles(window, ["first", "gamma"])
        self.click_control(editor, "登録")
        self.dismiss_notice(ITEM_CHANGED_MESSAGE)
        self.assertTrue(self.refreshed(editor)["visible"], "the edit window stays open")
        self.assertEqual(("third", "key-third"), self.field_texts(editor))

        self.assertEqual((titles, keys), plain_group_1(folder), "nothing written before exit")
        self.exit_by_close(process, window)
        self.assertEqual((["first", "gamma"], ["key-first", "key-gamma"]), stored_group_1(folder))

    # --- every secondary window comes back after Alt+F4 -------------------------------

    def reopened_after_alt_f4(self, open_window, kind, focus_on):
        """Opens a window, closes it with Alt+F4 after a click on the control that
        focus_on(window) gives, opens it again and returns it: the same window."""
        open_window()
        shown = self.wait_for_window(*kind)
        self.close_with_alt_f4(shown, focus_on(shown))
        open_window()
        self.wait_for(lambda: self.refreshed(shown)["visible"], f"{shown['title']} back")
        return self.refreshed(shown)

    def test_every_secondary_window_comes_back_after_alt_f4_and_still_works(self):
        titles, keys = items(3)
        folder = self.folder_with(locked_settings(), titles, keys)
        process = self.launch(folder)
        self.enter_startup_password(PASSWORD)
        window = self.main_window()
        label = lambda text: lambda shown: self.control_named(shown, text, "Static")  # noqa: E731
        settings_menu = lambda entry: lambda: self.menu_bar_command(  # noqa: E731
            window, SETTINGS_MENU_POSITION, entry, SETTINGS_MENU_ENTRIES)

        registration = self.reopened_after_alt_f4(lambda: self.edit_menu_command(window, ADD),
                                                  REGISTRATION_WINDOW, label("タイトル"))
        templates = next(c for c in self.combo_boxes(registration)
                         if c["text"] == TEMPLATE_PLACEHOLDER)
        composer = self.reopened_after_alt_f4(
            lambda: dropdowns.choose_entry(self.inspector, self.xinput, templates,
                                           PROGRAM_MODE_TEMPLATE, TEMPLATE_ENTRIES, TEMPLATE_ROWS),
            PROGRAM_MODE_WINDOW, lambda shown: self.control_named(shown, "クリア"))
        self.click_control(composer, "[TAB]")
        self.click_control(composer, "確定")
        self.wait_for_fields(registration, "@PGM,", ",T")
        self.register(registration, window, titles + ["@PGM,"])

        self.click_line(window, 0)
        editor = self.reopened_after_alt_f4(lambda: self.edit_menu_command(window, EDIT),
                                            EDIT_WINDOW, label("タイトル"))
        self.wait_for_fields(editor, titles[0], keys[0])
        self.fill_fields(editor, "edited", "key-edited")
        self.click_control(editor, "登録")
        self.wait_for_titles(window, ["edited"] + titles[1:] + ["@PGM,"])

        settings = self.reopened_after_alt_f4(settings_menu(SETTINGS_ENTRY), SETTINGS_WINDOW,
                                              label("※ねむろく再起動時に反映されます。"))
        self.click_control(settings, STAY_ON_TOP_BOX)
        self.click_control(settings, "OK")
        self.wait_until_hidden(settings)
        self.assertEqual("0", read_encrypted_lines(folder / "defpts.ini")[STAY_ON_TOP_LINE])

        def type_start_of_password(check):  # kept by the window while it is closed
            entry = inspector.control(check, "Edit")
            self.xinput.click(*inspector.centre(entry["rect"]))
            self.xinput.type_text(PASSWORD[:5])
            self.wait_for(lambda: inspector.control(self.refreshed(check), "Edit")["text"]
                          == PASSWORD[:5], "the start of the password typed")
            return entry
        check = self.reopened_after_alt_f4(lambda: self.click_control(window, "隠蔽"),
                                           (CHECK_WINDOW, PASSWORD_WINDOW_TITLE),
                                           type_start_of_password)
        self.xinput.click(*inspector.centre(inspector.control(check, "Edit")["rect"]))
        self.xinput.key("End")
        self.xinput.type_text(PASSWORD[5:])
        self.click_control(check, "OK")
        self.wait_for(lambda: not self.key_display(self.refreshed(window))["style"]
                      & ES_PASSWORD, "the key code display uncovered")

        about = self.reopened_after_alt_f4(settings_menu(ABOUT_ENTRY), ABOUT_WINDOW,
                                           lambda shown: inspector.controls(shown, "Static")[0])
        self.assertTrue(self.control_named(about, FOLDER_LINK)["visible"])

        self.exit_by_close(process, window)
        self.assertEqual((["edited"] + titles[1:] + ["@PGM,"], ["key-edited"] + keys[1:] + [",T"]),
                         stored_group_1(folder))

    # --- the program mode window ---------------------------------------------------

    def test_program_mode_composition_is_registered_as_a_sequence_item(self):
        titles, keys = items(14)
        folder, _, window = self.start_with(titles, keys)
        registration = self.open_registration(window)
        templates = next(c for c in self.combo_boxes(registration)
                         if c["text"] == TEMPLATE_PLACEHOLDER)

        dropdowns.choose_entry(self.inspector, self.xinput, templates, PROGRAM_MODE_TEMPLATE,
                               TEMPLATE_ENTRIES, TEMPLATE_ROWS)

        composer = self.wait_for_window(*PROGRAM_MODE_WINDOW)
        self.wait_for(lambda: self.field_texts(registration)[0] == "@PGM,", "the title @PGM,")
        chooser = inspector.control(composer, "ComboBox")
        # The sequence field is the window's own edit, not the one inside the chooser.
        field = next(c for c in inspector.controls(composer, "Edit")
                     if c["parent"] == composer["hwnd"])
        dropdowns.choose_entry(self.inspector, self.xinput, chooser, 0, len(titles), CHOOSER_ROWS)
        self.wait_for_text(composer, field, "00")
        self.click_control(composer, "[TAB]")
        self.wait_for_text(composer, field, "00,T")
        dropdowns.choose_entry(self.inspector, self.xinput, chooser, 12, len(titles), CHOOSER_ROWS)
        self.wait_for_text(composer, field, "00,T12")
        self.screenshot("program-mode-window", composer["rect"])
        self.click_control(composer, "確定")
        self.wait_until_hidden(composer)
        self.wait_for_fields(registration, "@PGM,", "00,T12")
        self.register(registration, window, titles + ["@PGM,"])
        self.assertEqual(SEQUENCE_GROUP, stored_group_1(folder))

    def test_the_registered_sequence_is_delivered_into_notepad(self):
        _, _, window = self.start_with(*SEQUENCE_GROUP)
        notepad = self.bring_notepad_forward()

        self.click_title(notepad, window, len(SEQUENCE_GROUP[0]) - 1)

        # Item 0's key code, a Tab, item 12's key code.
        self.wait_for(lambda: self.notepad_text(notepad) == "key-00\tkey-12",
                      "notepad to hold the sequence played back")
