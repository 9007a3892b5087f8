"""Runs every end-to-end test (test_*.py beside this file) in one session.

    python3 tests/e2e/run.py [-k PATTERN]

Prints one line per test and ends with "N passed, N failed"; exits 1 on any failure.
Screenshots go to build/e2e-artifacts/, the tests' program folders stay in build/e2e/programs/.
"""

import argparse
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from harness import session  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-k", dest="patterns", action="append",
                        help="only tests whose name contains this text")
    args = parser.parse_args()

    for needed in (session.NEMUROKU_EXE, session.INSPECTOR_EXE, session.MINIMAL_WINDOW_EXE):
        if not needed.exists():
            print(f"e2e: {needed} is missing; build the mingw preset first")
            print("0 passed, 1 failed")
            return 1

    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = [f"*{p}*" for p in args.patterns]
    suite = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))

    started = time.monotonic()
    session.session()
    print(f"e2e: session ready in {time.monotonic() - started:.1f} s", flush=True)
    try:
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    finally:
        session.end_session()
    # A test that fails and then also fails its clean-up is reported twice.
    failed_tests = {test.id() for test, _ in result.failures + result.errors}
    failed_tests |= {test.id() for test in result.unexpectedSuccesses}
    failed = len(failed_tests)
    passed = result.testsRun - failed - len(result.skipped)
    print(f"e2e: {time.monotonic() - started:.0f} s")
    print(f"{passed} passed, {failed} failed" +
          (f", {len(result.skipped)} skipped" if result.skipped else ""))
    return 1 if failed or result.testsRun == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
