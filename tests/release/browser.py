"""A headless Chromium driven over its DevTools pipe: enough to open a page, wait for
something in it, click, type and take screenshots."""

import base64
import json
import os
import select
import signal
import subprocess
import tempfile
import time


def _signal_group(group, number):
    try:
        os.killpg(group, number)
    except ProcessLookupError:
        pass


def _wait_group_gone(process, timeout):
    """Waits until no process of the group that process leads is left; reaps the
    leader, which otherwise stays as a zombie member of its group."""
    group = process.pid
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        process.poll()
        try:
            os.killpg(group, 0)
        except ProcessLookupError:
            return True
        time.sleep(0.05)
    return False


class Browser:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self._profile = tempfile.TemporaryDirectory(prefix="nemuroku-chromium-")
        to_browser, self._to_browser = os.pipe()
        self._from_browser, from_browser = os.pipe()

        def devtools_on_fds_3_and_4():
            reading, writing = os.dup(to_browser), os.dup(from_browser)
            os.dup2(reading, 3)
            os.dup2(writing, 4)

        self._process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--remote-debugging-pipe", f"--user-data-dir={self._profile.name}",
             f"--window-size={width},{height}", "about:blank"],
            pass_fds=(3, 4), preexec_fn=devtools_on_fds_3_and_4,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(to_browser)
        os.close(from_browser)
        self._next_id = 0
        self._pending = b""
        page = next(t for t in self._call("Target.getTargets")["targetInfos"]
                    if t["type"] == "page")
        self._session = self._call("Target.attachToTarget", targetId=page["targetId"],
                                   flatten=True)["sessionId"]
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=1, mobile=False)

    def close(self):
        # Chromium's helper processes write into the profile until they end too, so
        # the whole process group is ended before the profile is removed.
        group = self._process.pid
        _signal_group(group, signal.SIGTERM)
        if not _wait_group_gone(self._process, 10):
            _signal_group(group, signal.SIGKILL)
            _wait_group_gone(self._process, 10)
        self._process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)
        self._profile.cleanup()

    def call(self, method, **params):
        return self._call(method, session=self._session, **params)

    def open(self, address):
        self.call("Page.navigate", url=address)

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", expression=expression,
                         returnByValue=True)["result"].get("value")

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        path.write_bytes(base64.b64decode(data))
        return path

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                      clickCount=1)

    def type(self, text):
        """Types letters and digits; a "\\n" presses Enter."""
        for char in text:
            if char == "\n":
                key = dict(key="Enter", code="Enter", windowsVirtualKeyCode=13, text="\r")
            else:
                code = f"Key{char.upper()}" if char.isalpha() else f"Digit{char}"
                key = dict(key=char, code=code, windowsVirtualKeyCode=ord(char.upper()),
                           text=char)
            self.call("Input.dispatchKeyEvent", type="keyDown", **key)
            self.call("Input.dispatchKeyEvent", type="keyUp",
                      **{k: v for k, v in key.items() if k != "text"})

    def _call(self, method, session=None, **params):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + 30
        while True:
            reply = self._read_message(deadline, method)
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]

    def _read_message(self, deadline, method):
        while b"\0" not in self._pending:
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([self._from_browser], [], [], remaining)[0]:
                raise TimeoutError(f"no answer to {method} within 30 s")
            chunk = os.read(self._from_browser, 65536)
            if not chunk:
                raise RuntimeError("chromium closed its DevTools pipe")
            self._pending += chunk
        message, self._pending = self._pending.split(b"\0", 1)
        return json.loads(message)
