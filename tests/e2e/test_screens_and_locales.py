"""The program on a screen at 150 % and on an English Windows."""

from harness import inspector
from harness.session import ENGLISH, HIGH_DPI, WineTestCase
from harness.storedfiles import read_encrypted_lines
from test_spine import SETTINGS, StartupSteps


class HighDpiTest(StartupSteps, WineTestCase):
    variant = HIGH_DPI

    def test_probe(self):
        folder = self.folder_with()
        process, window = self.start(folder)
        print(window["rect"], [ (c["class"], c["rect"]) for c in window["controls"]])
        self.session.screenshot("probe-main", window["rect"])
        self.exit_by_close(process, window)
        print(read_encrypted_lines(folder / "defpts.ini")[:4])
