#!/usr/bin/env python3
"""Runs the end-to-end tests of quillpad.exe under Wine.

    python3 tests/e2e/run.py [--exe PATH] [--make-sounds PATH] [--package ZIP] [-k PATTERN] [-v]

The program comes from --exe, else $QUILLPAD_EXE, else build/windows/quillpad.exe;
the sound generator from --make-sounds, else $QUILLPAD_MAKE_SOUNDS, else
build/native/tools/make_sounds. The package tests take the zip of --package,
else $QUILLPAD_PACKAGE, else make one of the program with tools/make_package.py. The last line printed is "N passed, N failed";
the exit code is non-zero when any test failed or none ran.
"""

import argparse
import os
import shutil
import sys
import time
import unittest
from pathlib import Path

from rig.paths import E2E_DIR, add_program_options, use_program_options

NEEDED_COMMANDS = ["wine", "wineboot", "wineserver", "setarch", "Xvfb", "xdotool", "pulseaudio", "pactl", "parec",
                   "import", "x86_64-w64-mingw32-gcc-posix", "sox", "lame"]


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    add_program_options(parser)
    parser.add_argument("--package", default=os.environ.get("QUILLPAD_PACKAGE"),
                        help="the Windows package (zip) to test")
    parser.add_argument("-k", dest="patterns", action="append", default=[],
                        help="only tests whose id contains this text (may be repeated)")
    parser.add_argument("-v", "--verbose", action="store_true", help="log what the harness starts")
    return parser.parse_args()


def selected(suite, patterns):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from selected(item, patterns)
        elif not patterns or any(p in item.id() for p in patterns):
            yield item


def main():
    args = parse_args()
    use_program_options(args)
    if args.package:
        os.environ["QUILLPAD_PACKAGE"] = str(Path(args.package).resolve())
    if args.verbose:
        os.environ["QUILLPAD_E2E_VERBOSE"] = "1"

    missing = [c for c in NEEDED_COMMANDS if shutil.which(c) is None]
    if missing:
        print("missing commands: " + ", ".join(missing), file=sys.stderr)
        print("0 passed, 1 failed")
        return 1
    if not Path(os.environ["QUILLPAD_EXE"]).is_file():
        print(f"no program at {os.environ['QUILLPAD_EXE']}: build it first", file=sys.stderr)
        print("0 passed, 1 failed")
        return 1

    loader = unittest.TestLoader()
    discovered = loader.discover(str(E2E_DIR), pattern="test_*.py", top_level_dir=str(E2E_DIR))
    suite = unittest.TestSuite(selected(discovered, args.patterns))

    started = time.monotonic()
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    failed = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
    passed = result.testsRun - failed - len(result.skipped) - len(result.expectedFailures)
    if result.testsRun == 0:
        print("no tests ran", file=sys.stderr)
        failed = max(failed, 1)
    print(f"e2e time {time.monotonic() - started:.1f} s", file=sys.stderr)
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
