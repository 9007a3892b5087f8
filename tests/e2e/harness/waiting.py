import time


def wait_for(condition, timeout=30, what="condition", describe=None, interval=0.1):
    """Calls condition until it returns something true and returns that.

    On timeout fails the test; describe(), when given, adds what the world looked
    like at the end (say, the inspector's window list) to the message.
    """
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            detail = f"\n{describe()}" if describe else ""
            raise AssertionError(f"timed out after {timeout} s waiting for {what}{detail}")
        time.sleep(interval)
