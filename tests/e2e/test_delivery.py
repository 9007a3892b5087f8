"""Delivery into another program, seen from outside: Wine's notepad is the program
the user works in, the pointer crosses from it to the title list and clicks (or a
hotkey is pressed in notepad), and the test reads what notepad received, what the
clipboard holds afterwards and what the group files keep."""

import datetime

from harness.program import NEWLINE_LINE, SETTINGS, SINGLE_CLICK_LINE, StartupSteps, settings_with
from harness.session import WineTestCase, windows_path
from harness.storedfiles import read_encrypted_lines, write_plain_lines

REIWA_FIRST_YEAR = 2019


def today_texts():
    """Today's date as "@日付" and "@日付,H" write it, for the day before and after
    now too, so that a test crossing midnight still knows what to expect."""
    now = datetime.date.today()
    days = [now - datetime.timedelta(days=1), now, now + datetime.timedelta(days=1)]
    long_forms = {f"{d.year:04}年{d.month:02}月{d.day:02}日" for d in days}
    era_forms = {f"令和{d.year - REIWA_FIRST_YEAR + 1}年{d.month}月{d.day}日" for d in days}
    return long_forms, era_forms


class DeliveryTest(StartupSteps, WineTestCase):
    # --- helpers -------------------------------------------------------------

    def start_with(self, titles, keys, settings=SETTINGS, group_2=None):
        """Starts the program with group 1 = (titles, keys) and optionally group 2;
        returns (folder, process, main window)."""
        folder = self.folder_with(settings, titles, keys)
        if group_2:
            write_plain_lines(folder / "defpti2.ini", group_2[0])
            write_plain_lines(folder / "defptd2.ini", group_2[1])
        return (folder, *self.start(folder))

    def wait_for_notepad_text(self, notepad, expected):
        """Waits until notepad holds the text; expected may be a set of acceptable texts."""
        accepted = expected if isinstance(expected, set) else {expected}
        return self.wait_for(lambda: self.notepad_text(notepad) in accepted and
                             self.notepad_text(notepad),
                             f"notepad to hold {expected!r}; it holds "
                             f"{self.notepad_text(notepad)!r}")

    def wait_for_clipboard(self, text):
        self.wait_for(lambda: self.inspector.clipboard_text() == text,
                      f"the clipboard to hold {text!r}; it holds "
                      f"{self.inspector.clipboard_text()!r}")

    def exit_and_read_key_codes(self, process, window, folder, group=1):
        self.exit_by_close(process, window)
        return read_encrypted_lines(folder / f"defptd{group}.ini")

    # --- plain items -------------------------------------------------------------

    def test_click_pastes_a_plain_item_and_clears_the_clipboard(self):
        _, _, window = self.start_with(["first", "second"], ["alpha", "beta"])
        notepad = self.bring_notepad_forward()

        self.click_title(notepad, window, 1)

        self.wait_for_notepad_text(notepad, "beta")
        self.wait_for_clipboard("")

    def test_newline_flag_adds_a_line_break_after_the_paste(self):
        _, _, window = self.start_with(["first", "second"], ["alpha", "ベータ"],
                                       settings_with({NEWLINE_LINE: "1"}))
        notepad = self.bring_notepad_forward()

        self.click_title(notepad, window, 1)
        self.wait_for_notepad_text(notepad, "ベータ\r\n")
        self.click_title(notepad, window, 0)

        self.wait_for_notepad_text(notepad, "ベータ\r\nalpha\r\n")

    def test_single_click_mode_off_copies_on_click_and_pastes_on_double_click(self):
        _, process, window = self.start_with(["first", "second"], ["alpha", "beta"],
                                             settings_with({SINGLE_CLICK_LINE: "211"}))
        notepad = self.bring_notepad_forward()

        self.click_title(notepad, window, 1)
        self.wait_for_clipboard("beta")
        self.click_title(notepad, window, 0, double=True)

        # A paste by the single click would have landed before the double click's.
        self.wait_for_notepad_text(notepad, "alpha")
        self.wait_for_clipboard("")

        # A copy left on the clipboard does not outlive the program.
        self.click_title(notepad, window, 1)
        self.wait_for_clipboard("beta")
        self.inspector.close(window["hwnd"])
        process.wait_exit(timeout=30)
        self.assertEqual("", self.inspector.clipboard_text())

    # --- macro items ---------------------------------------------------------------

    def test_date_items_paste_today_and_keep_it(self):
        long_forms, era_forms = today_texts()
        folder, process, window = self.start_with(["@日付", "@日付,H"], ["", "古い日付"])
        notepad = self.bring_notepad_forward()

        self.click_title(notepad, window, 0)
        pasted = self.wait_for_notepad_text(notepad, long_forms)
        self.click_title(notepad, window, 1)
        both = self.wait_for_notepad_text(notepad, {pasted + era for era in era_forms})
        self.wait_for_clipboard("")

        self.assertEqual([pasted, both[len(pasted):]],
                         self.exit_and_read_key_codes(process, window, folder))

    def test_counter_pastes_its_value_and_keeps_the_advanced_one(self):
        folder, process, window = self.start_with(["@NUM,100"], ["10"])
        notepad = self.bring_notepad_forward()

        self.click_title(notepad, window, 0)
        self.wait_for_notepad_text(notepad, "10")
        self.wait_for_clipboard("")
        self.click_title(notepad, window, 0)
        self.wait_for_notepad_text(notepad, "10110")
        self.wait_for_clipboard("")

        self.assertEqual(["210"], self.exit_and_read_key_codes(process, window, folder))

    def test_sequence_types_items_with_tab_and_enter_between(self):
        _, _, window = self.start_with(["user", "password", "@PGM,login"],
                                       ["alice", "s3cret", "00,T01,R"])
        notepad = self.bring_notepad_forward()

        self.click_title(notepad, window, 2)

        self.wait_for_notepad_text(notepad, "alice\ts3cret\r\n")
        self.wait_for_clipboard("")

    def test_command_item_runs_and_pastes_nothing(self):
        folder = self.program_folder()
        made = folder / "made.txt"
        command = f"cmd /c echo x > {windows_path(made)}"
        _, _, window = self.start_with(["@EXE,make", "after"], [command, "barrier"])
        notepad = self.bring_notepad_forward()

        self.click_title(notepad, window, 0)
        self.wait_for(made.exists, "the command to create its file")
        self.assertNotEqual(command, self.inspector.clipboard_text(), "the command line kept")
        self.click_title(notepad, window, 1)

        # Anything the command item had pasted would stand before the next delivery.
        self.wait_for_notepad_text(notepad, "barrier")

    def test_web_address_item_opens_the_document_and_pastes_nothing(self):
        folder = self.program_folder()
        # The prefix opens .ini files with notepad (it has no association for .txt).
        document = folder / "opened.ini"
        document.write_text("document text\r\n")
        address = windows_path(document)
        _, _, window = self.start_with(["@URL,doc", "after"], [address, "barrier"])
        notepad = self.bring_notepad_forward()

        self.click_title(notepad, window, 0)
        opened = self.wait_for_window("Notepad", "opened.ini - メモ帳")
        self.addCleanup(self.inspector.close, opened["hwnd"])
        self.assertEqual("document text\r\n", self.notepad_text(opened))
        self.assertNotEqual(address, self.inspector.clipboard_text(), "the address left behind")
        # Back to the first notepad, as the user would, for the next delivery.
        self.inspector.close(opened["hwnd"])
        self.wait_until_gone(opened["hwnd"])
        self.click_into_notepad(notepad)
        self.click_title(notepad, window, 1)

        # Anything the address item had pasted would stand before the next delivery.
        self.wait_for_notepad_text(notepad, "barrier")

    # --- hotkeys -----------------------------------------------------------------------

    def test_ctrl_1_pastes_the_first_item_while_the_window_is_hidden(self):
        _, _, window = self.start_with(["first", "second"], ["alpha", "beta"])
        self.click_control(window, "最小")
        self.wait_for(lambda: not self.refreshed(window)["visible"],
                      "the main window hidden")
        notepad = self.bring_notepad_forward()

        self.xinput.key("ctrl+1")

        self.wait_for_notepad_text(notepad, "alpha")
        self.wait_for_clipboard("")

    def test_ctrl_1_pastes_nothing_while_group_2_is_on_display(self):
        _, _, window = self.start_with(["first"], ["eins"], group_2=(["zweite"], ["zwei"]))
        self.click_control(window, ">")
        self.wait_for(lambda: self.title_list(self.refreshed(window))["items"] == ["zweite"],
                      "group 2 shown")
        notepad = self.bring_notepad_forward()

        # The typed "x" shows that notepad has passed the hotkey on before it.
        self.xinput.key("ctrl+1", "x")
        self.wait_for_notepad_text(notepad, "x")
        self.click_title(notepad, window, 0)

        self.wait_for_notepad_text(notepad, "xzwei")
