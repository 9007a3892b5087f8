"""The machinery itself: keys reach the window we focus, the inspector reads what
they did, a WM_CLOSE ends a program, and a window lands where it asked to be."""

from harness import inspector
from harness.program import NOTEPAD_TITLE
from harness.session import MINIMAL_WINDOW_EXE, WineTestCase


class HarnessTest(WineTestCase):
    def test_typed_text_arrives_in_notepad(self):
        notepad = self.launch_notepad()
        window = self.wait_for_window("Notepad", NOTEPAD_TITLE)
        x_windows = self.wait_for(lambda: self.xinput.x_windows_of(notepad.pid),
                                  "notepad's X window")
        self.xinput.focus(x_windows[-1])

        self.xinput.type_text("typed by xdotool 123")

        edit = lambda: inspector.control(self.inspector.window(window["hwnd"]), "Edit")
        self.wait_for(lambda: edit()["text"] == "typed by xdotool 123", "the typed text")

    def test_minimal_window_opens_where_asked_and_ends_on_close(self):
        folder = self.program_folder(MINIMAL_WINDOW_EXE)
        process = self.launch(folder, MINIMAL_WINDOW_EXE.name)
        window = self.wait_for_window("MinimalWindow", "minimal")
        self.assertEqual({"left": 197, "top": 108, "width": 149, "height": 452}, window["rect"])

        self.inspector.close(window["hwnd"])

        process.wait_exit(timeout=30)
        self.wait_until_gone(window["hwnd"])
