#!/usr/bin/env python3
"""A bank switch followed by a press, against a plain press, on the low-latency output.

    python3 tools/bench/banks.py [--presses 30]

Runs Quillpad in a session of the end-to-end rig with one sine imported, so
that the grave-accent key (hold-and-stop) plays it in every bank. Interleaved,
`presses` of each:
- plain: the grave key pressed (one xdotool run: key-down);
- switch: F1 or F2, by turns so that every one changes the bank, and at once
  the grave key (one xdotool run: the F-key's press and release, then the
  key-down);
- F9: the same with F9, which does nothing: the cost of the extra key
  event itself, apart from the switch;
each timed from the start of its xdotool run to the onset of the sound in the
recording of the sink. Prints both medians.

Build first: the native preset (make_sounds) and the windows preset (quillpad.exe).
"""

import argparse
import statistics
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from rig.paths import add_program_options, use_program_options  # noqa: E402
from rig.session import Session  # noqa: E402
from rig.steps import Quillpad  # noqa: E402


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--presses", type=int, default=30)
    add_program_options(parser)
    return parser.parse_args()


def measure(session, presses):
    recorder = session.start_recording()
    times = {"plain": [], "switch": [], "F9": []}
    for press in range(1, presses + 1):
        for road in times:
            pressed = recorder.mark()
            if road == "plain":
                session.xdotool("keydown", "grave")
            else:
                first = "F9" if road == "F9" else f"F{1 + press % 2}"
                session.xdotool("key", "--delay", "0", first, "keydown", "grave")
            onset = recorder.wait_for_sound(pressed, f"{road} press {press}")
            session.key_up("grave")
            recorder.wait_for_silence(onset, f"the release of {road} press {press}")
            times[road].append(onset - pressed)
    for road, measured in times.items():
        print(f"{road:6} {len(measured)} presses: median {statistics.median(measured) * 1000:.1f} ms "
              f"(min {min(measured) * 1000:.1f}, max {max(measured) * 1000:.1f})")


def main():
    args = parse_args()
    use_program_options(args)
    session = Session("bench-banks", virtual_midi=False)
    try:
        session.open()
        Quillpad(session).start_playing_a_sine(session.work_dir / "sounds")
        measure(session, args.presses)
    finally:
        session.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
