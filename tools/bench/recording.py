#!/usr/bin/env python3
"""What a recording costs the low-latency output, measured in the real program
under Wine with the end-to-end rig's session (Xvfb, PulseAudio null sink, Wine).

    python3 tools/bench/recording.py [--hold 10] [--rounds 3] [--minute 60]

- Dropouts: a sine held for --hold seconds, without and with a recording
  running, in turns for --rounds rounds so that the machine's load falls on
  both; for each, the share of the 5 ms windows of the sink's recording
  between the onset and the release in which the tone is not heard (below
  -40 dBFS). The goal is the same share with and without.
- The writer's CPU: a recording runs for --minute seconds while nothing plays;
  the CPU time of the thread the recording starts (its writer), and of the
  whole program, against the same time without a recording (the render thread
  then sleeps).

Build first (./quillpad.sh test or the native and windows presets).
"""

import argparse
import statistics
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from rig.processes import cpu_seconds  # noqa: E402
from rig.session import Session, windows_path  # noqa: E402
from rig.sound import SOUND_DB  # noqa: E402
from rig.steps import Quillpad  # noqa: E402
from rig.waits import hold_for  # noqa: E402

TITLE = "Untitled  using:  sounds"


def thread_ids(pid):
    return {int(task.name) for task in Path(f"/proc/{pid}/task").iterdir()}


def start_recording(session, quillpad, take):
    """Record to WAV into `take`; the threads the program started for it."""
    quillpad.shortcut("r")
    dialog = quillpad.wait_dialog("Record to WAV")
    quillpad.type_file_name("Record to WAV", windows_path(take))
    before = thread_ids(session.program.pid)
    session.xdotool("key", "Return")
    dialog.wait_closed()
    quillpad.wait_title(TITLE + " [REC]")
    return thread_ids(session.program.pid) - before


def stop_recording(quillpad):
    quillpad.shortcut("r")
    quillpad.wait_title(TITLE)


def silent_share(session, recorder, seconds):
    """The share of 5 ms windows of a held sine in which it is not heard."""
    pressed, released = session.press_for("grave", seconds)
    onset = recorder.sound_within(pressed, "pressing the grave-accent key")
    recorder.wait_for_silence(onset, "the release")
    levels = [level for _, level in recorder.recording().levels(onset + 0.1, released)]
    return sum(level < SOUND_DB for level in levels) / len(levels)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--hold", type=float, default=10.0, help="seconds the sine is held in each run")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--minute", type=float, default=60.0, help="seconds recorded for the CPU figures")
    args = parser.parse_args()

    session = Session("bench-recording").open()
    try:
        quillpad = Quillpad(session)
        quillpad.start_playing_a_sine(session.work_dir / "sounds")
        recorder = session.start_recording()

        without, with_recording = [], []
        for round_number in range(1, args.rounds + 1):
            without.append(silent_share(session, recorder, args.hold))
            start_recording(session, quillpad, session.work_dir / f"held{round_number}.wav")
            with_recording.append(silent_share(session, recorder, args.hold))
            stop_recording(quillpad)
            print(f"round {round_number}: silent windows {without[-1]:.2%} without, {with_recording[-1]:.2%} "
                  f"with a recording", flush=True)

        pid = session.program.pid
        before = cpu_seconds(pid)
        hold_for(args.minute)  # the idle time measured
        idle = (cpu_seconds(pid) - before) * 60 / args.minute
        started = start_recording(session, quillpad, session.work_dir / "minute.wav")
        if len(started) != 1:
            raise RuntimeError(f"the recording started {len(started)} threads, not one writer")
        writer_thread = started.pop()
        before_writer, before = cpu_seconds(pid, writer_thread), cpu_seconds(pid)
        measured = time.monotonic()
        hold_for(args.minute)  # the recorded time measured
        minutes = (time.monotonic() - measured) / 60
        writer = (cpu_seconds(pid, writer_thread) - before_writer) / minutes
        recording = (cpu_seconds(pid) - before) / minutes
        stop_recording(quillpad)
    finally:
        session.close()

    print()
    print(f"silent 5 ms windows of a sine held {args.hold:.0f} s, medians of {args.rounds}: "
          f"{statistics.median(without):.2%} without a recording, {statistics.median(with_recording):.2%} with one")
    print(f"CPU time per minute, nothing playing: the writer {writer:.2f} s; the whole program {recording:.2f} s "
          f"recording, {idle:.2f} s not recording")
    return 0


if __name__ == "__main__":
    sys.exit(main())
