"""Runs the end-to-end tests (test_*.py beside this file) in parallel lanes.

    python3 tests/e2e/run.py [-k PATTERN]... [--lanes N]
    python3 tests/e2e/run.py --make-prefixes

A lane is a process of its own that runs its share of the tests in sessions of
its own (harness/session.py): an Xvfb display with openbox, fresh copies of the
Wine prefixes, notepad, program folders, screenshots and temporary files, all in
build/e2e/lane-N/. Lanes share nothing but the CPU. There is a lane per core
unless --lanes says otherwise; -k keeps the tests whose name contains PATTERN.

The tests are dealt to the lanes longest first, each to the lane with the least
work so far, by the seconds they took when they last passed: build/e2e/durations.txt,
which every run updates and which tests/e2e/durations.txt seeds.

--make-prefixes only makes the Wine prefixes that the lanes copy, all at once
(./test has them made while the program builds).

Prints one line per test as it ends, then each failure with its lane, artifacts
folder and traceback, and "N passed, N failed"; exits 1 on any failure.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import textwrap
import threading
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from harness import session  # noqa: E402

ROOT = HERE.parents[1]
SEED_DURATIONS = HERE / "durations.txt"
DURATIONS = session.E2E / "durations.txt"
DURATIONS_HEADER = ("# Seconds each end-to-end test took when it last passed; tests/e2e/run.py\n"
                    "# deals the tests to its lanes by them and updates the copy in build/e2e/.\n")
UNTIMED_SECONDS = 15  # a test never timed, when no test is


def lane_home(number):
    return session.E2E / f"lane-{number}"


def shown(path):
    return os.path.relpath(path, ROOT)


def flattened(suite):
    for test in suite:
        if isinstance(test, unittest.TestSuite):
            yield from flattened(test)
        else:
            yield test


def read_durations():
    source = DURATIONS if DURATIONS.exists() else SEED_DURATIONS
    durations = {}
    for line in source.read_text().splitlines() if source.exists() else []:
        if line.strip() and not line.startswith("#"):
            seconds, test = line.split(maxsplit=1)
            durations[test] = float(seconds)
    return durations


def write_durations(durations, existing_tests):
    DURATIONS.parent.mkdir(parents=True, exist_ok=True)
    DURATIONS.write_text(DURATIONS_HEADER + "".join(
        f"{durations[test]:.1f} {test}\n" for test in sorted(durations) if test in existing_tests))


def deal(tests, durations, lanes):
    """The tests of each lane, in the order given, and the seconds each lane is expected
    to take: longest first, each test to the lane with the least work so far."""
    timed = [durations[test] for test in tests if test in durations]
    guess = statistics.median(timed) if timed else UNTIMED_SECONDS
    shares = [[] for _ in range(lanes)]
    loads = [0.0] * lanes
    for test in sorted(tests, key=lambda test: -durations.get(test, guess)):
        lane = loads.index(min(loads))
        shares[lane].append(test)
        loads[lane] += durations.get(test, guess)
    order = {test: index for index, test in enumerate(tests)}
    return [sorted(share, key=order.get) for share in shares], loads


class LaneResult(unittest.TestResult):
    """Prints a line per test as it ends and keeps a record of each for the runner."""

    def __init__(self, lane):
        super().__init__()
        self.lane = lane
        self.records = []

    def startTest(self, test):
        super().startTest(test)
        self._started = time.monotonic()
        self._counts = self._problem_counts()

    def stopTest(self, test):
        super().stopTest(test)
        failures, errors, skipped, unexpected = self._counts
        problems = [text for _, text in self.failures[failures:] + self.errors[errors:]]
        problems += ["unexpected success"] * (len(self.unexpectedSuccesses) - unexpected)
        outcome = "failed" if problems else "skipped" if len(self.skipped) > skipped else "passed"
        self._record(test.id(), outcome, time.monotonic() - self._started, "\n".join(problems))

    def addError(self, test, err):
        super().addError(test, err)
        if not isinstance(test, unittest.TestCase):  # a class or module fixture failed
            self._record(test.id(), "failed", 0, self.errors[-1][1])

    def _problem_counts(self):
        return (len(self.failures), len(self.errors), len(self.skipped),
                len(self.unexpectedSuccesses))

    def _record(self, test, outcome, seconds, details):
        self.records.append({"test": test, "outcome": outcome, "seconds": seconds,
                             "details": details})
        where = f"  (artifacts: {shown(lane_home(self.lane) / 'artifacts')})" \
            if outcome == "failed" else ""
        word = {"passed": "ok", "failed": "FAIL", "skipped": "skip"}[outcome]
        print(f"lane {self.lane}  {word:4} {seconds:6.1f} s  {test}{where}", flush=True)


def run_lane(number, tests):
    """The lane's side: runs its tests in its own sessions and leaves results.json."""
    home = lane_home(number)
    session.set_home(home)
    suite = unittest.TestLoader().loadTestsFromNames(tests)
    started = time.monotonic()
    session.session()
    print(f"lane {number}: session ready in {time.monotonic() - started:.1f} s", flush=True)
    result = LaneResult(number)
    try:
        suite.run(result)
    finally:
        session.end_session()
    (home / "results.json").write_text(json.dumps(result.records))
    return 0


def make_prefixes():
    """Makes every prefix the sessions copy, at once: making one is mostly waiting."""
    started = time.monotonic()
    failures = []

    def make(variant):
        try:
            variant.make()
        except Exception as error:  # the lanes try again and report it
            failures.append(f"e2e: {variant.prefix} could not be made: {error}")

    makers = [threading.Thread(target=make, args=(variant,)) for variant in session.VARIANTS]
    for maker in makers:
        maker.start()
    for maker in makers:
        maker.join()
    print("\n".join(failures) or f"e2e: prefixes ready in {time.monotonic() - started:.0f} s")
    return 1 if failures else 0


def forward(lane, stream, log, lock):
    """Passes a lane's output on, each line marked with its lane, and keeps it in log."""
    with open(log, "w") as kept:
        for line in stream:
            kept.write(line)
            kept.flush()
            if not line.startswith(f"lane {lane}"):
                line = f"lane {lane}| {line}"
            with lock:
                sys.stdout.write(line)
                sys.stdout.flush()


def run_lanes(shares):
    """Starts one lane process per share, waits for all and returns their records."""
    for old in session.E2E.glob("lane-*"):
        shutil.rmtree(old)
    lock = threading.Lock()
    lanes = []
    for number, share in enumerate(shares, 1):
        if not share:
            continue
        home = lane_home(number)
        (home / "tmp").mkdir(parents=True)
        process = subprocess.Popen([sys.executable, __file__, "--lane", str(number), *share],
                                   env=dict(os.environ, TMPDIR=str(home / "tmp")),
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        reader = threading.Thread(target=forward,
                                  args=(number, process.stdout, home / "output.txt", lock))
        reader.start()
        lanes.append((number, share, process, reader))
    records = []
    for number, share, process, reader in lanes:
        process.wait()
        reader.join()
        results = lane_home(number) / "results.json"
        reported = json.loads(results.read_text()) if results.exists() else []
        done = {record["test"] for record in reported}
        reported += [{"test": test, "outcome": "failed", "seconds": 0,
                      "details": f"lane {number} ended with exit code {process.returncode} "
                                 f"before the test ran; its output: "
                                 f"{shown(lane_home(number) / 'output.txt')}"}
                     for test in share if test not in done]
        records += [dict(record, lane=number) for record in reported]
    return records


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-k", dest="patterns", action="append",
                        help="only tests whose name contains this text")
    parser.add_argument("--lanes", type=int, default=len(os.sched_getaffinity(0)),
                        help="how many lanes run at once (default: one per core)")
    parser.add_argument("--make-prefixes", action="store_true",
                        help="only make the Wine prefixes that the lanes copy")
    parser.add_argument("--lane", type=int, help=argparse.SUPPRESS)
    parser.add_argument("tests", nargs="*", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.lane:
        return run_lane(args.lane, args.tests)
    if args.make_prefixes:
        return make_prefixes()
    if args.lanes < 1:
        parser.error("--lanes needs at least 1")

    for needed in (session.NEMUROKU_EXE, session.INSPECTOR_EXE, session.MINIMAL_WINDOW_EXE):
        if not needed.exists():
            print(f"e2e: {needed} is missing; build the mingw preset first")
            print("0 passed, 1 failed")
            return 1

    loader = unittest.TestLoader()
    existing = list(flattened(loader.discover(str(HERE), pattern="test_*.py",
                                              top_level_dir=str(HERE))))
    if args.patterns:
        loader.testNamePatterns = [f"*{p}*" for p in args.patterns]
    chosen = list(flattened(loader.discover(str(HERE), pattern="test_*.py",
                                            top_level_dir=str(HERE))))
    # A module that cannot be imported shows up as a test that fails with the reason.
    broken = [test for test in chosen if test.id().startswith("unittest.loader.")]
    for test in broken:
        result = unittest.TestResult()
        test.run(result)
        print(f"e2e: {result.errors[0][1]}")
    tests = [test.id() for test in chosen if test not in broken]

    durations = read_durations()
    shares, loads = deal(tests, durations, min(args.lanes, max(len(tests), 1)))
    print(f"e2e: {len(tests)} tests in {len(shares)} lanes, expected " +
          ", ".join(f"lane {n}: {len(share)} tests in {load:.0f} s"
                    for n, (share, load) in enumerate(zip(shares, loads), 1)), flush=True)
    started = time.monotonic()
    records = run_lanes(shares) if tests else []

    for record in records:
        if record["outcome"] == "passed":
            durations[record["test"]] = record["seconds"]
    write_durations(durations, {test.id() for test in existing})

    failed = [record for record in records if record["outcome"] == "failed"]
    for record in failed:
        home = lane_home(record["lane"])
        print(f"\nFAIL {record['test']} (lane {record['lane']}, {record['seconds']:.0f} s)")
        print(f"  artifacts: {shown(home / 'artifacts')}  program folders: "
              f"{shown(home / 'programs')}  lane output: {shown(home / 'output.txt')}")
        print(textwrap.indent(record["details"].rstrip(), "  "))
    lane_times = {}
    for record in records:
        lane_times[record["lane"]] = lane_times.get(record["lane"], 0) + record["seconds"]
    print(f"\ne2e: {time.monotonic() - started:.0f} s; tests took " +
          ", ".join(f"{seconds:.0f} s in lane {lane}" for lane, seconds in sorted(lane_times.items())))
    passed = sum(record["outcome"] == "passed" for record in records)
    skipped = sum(record["outcome"] == "skipped" for record in records)
    print(f"{passed} passed, {len(failed) + len(broken)} failed"
          + (f", {skipped} skipped" if skipped else ""))
    return 1 if failed or broken or not records else 0


if __name__ == "__main__":
    sys.exit(main())
