#!/usr/bin/env python3
"""Playing from MIDI against playing from the computer keyboard, on the low-latency output.

    python3 tools/bench/midi.py latency [--presses 30]   note-on to sound against key-down to sound
    python3 tools/bench/midi.py flood [--rounds 3]       the cost of ten thousand events from each

Both run Quillpad in a session of the end-to-end rig with its virtual MIDI input
(tests/e2e/virtual_midi.c; UDP to a winmm driver inside Wine).

latency: the grave-accent key (key 0, hold-and-stop) pressed with xdotool and
note 36, which plays the same key, sent to the virtual input, interleaved,
`presses` of each; each time is from the press (or the note-on) to the onset
of its sound in the recording of the sink. Prints both medians.

flood: 5,000 presses and releases of the number row's keys (10,000 events in
one second) as MIDI notes, and the same as key-down and key-up messages posted
to the window by tools/bench/post_keys.c, in turns, `rounds` of each. Each is
measured from the first event sent until the program is idle again: the wall
time and the CPU time of the whole Wine process (its threads included).

Build first: the native preset (make_sounds) and the windows preset (quillpad.exe).
"""

import argparse
import statistics
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from rig.paths import add_program_options, use_program_options  # noqa: E402
from rig.processes import cpu_seconds  # noqa: E402
from rig.session import RUN, Session  # noqa: E402
from rig.steps import Quillpad  # noqa: E402
from rig.waits import wait_until  # noqa: E402

GRAVE_NOTE = 36
NUMBER_ROW_NOTES = range(36, 49)  # keys 0..12, hold-and-stop
FLOOD_PAIRS = 5000
IDLE_SHARE = 0.05  # of a core: what the program uses once it has handled everything


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("what", choices=("latency", "flood"))
    parser.add_argument("--presses", type=int, default=30)
    parser.add_argument("--rounds", type=int, default=3)
    add_program_options(parser)
    return parser.parse_args()


def start(session):
    Quillpad(session).start_playing_a_sine(session.work_dir / "sounds")


def latency(session, presses):
    recorder = session.start_recording()
    times = {"keyboard": [], "midi": []}
    for press in range(1, presses + 1):
        for road in ("keyboard", "midi"):
            pressed = recorder.mark()
            if road == "keyboard":
                session.key_down("grave")
            else:
                session.midi.note_on(GRAVE_NOTE)
            onset = recorder.wait_for_sound(pressed, f"{road} press {press}")
            if road == "keyboard":
                session.key_up("grave")
            else:
                session.midi.note_off(GRAVE_NOTE)
            recorder.wait_for_silence(onset, f"the release of {road} press {press}")
            times[road].append(onset - pressed)
    for road, measured in times.items():
        print(f"{road:8} {len(measured)} presses: median {statistics.median(measured) * 1000:.1f} ms "
              f"(min {min(measured) * 1000:.1f}, max {max(measured) * 1000:.1f})")



def until_idle(pid):
    """Waits until the process uses less than IDLE_SHARE of a core over half a second;
    the wall clock then, less that half second."""
    while True:
        before = cpu_seconds(pid)
        time.sleep(0.5)  # the window idleness is judged over
        if cpu_seconds(pid) - before < IDLE_SHARE * 0.5:
            return time.monotonic() - 0.5


def midi_flood(session):
    events = []
    for i in range(FLOOD_PAIRS):
        note = NUMBER_ROW_NOTES[i % len(NUMBER_ROW_NOTES)]
        events += [[0x90, note, 127], [0x80, note, 0]]
    for start in range(0, len(events), 1000):  # ten bursts of 1000 events, 100 ms apart
        session.midi.send(*events[start:start + 1000])
        time.sleep(0.1)


def key_flood(session):
    result = session.run_helper("post_keys", FLOOD_PAIRS)
    if result.returncode != 0:
        raise RuntimeError(f"post_keys failed with {result.returncode}")


def flood(session, rounds):
    pid = session.program.pid
    wait_until(lambda: Path(f"/proc/{pid}/comm").read_text().strip() == "quillpad.exe", 5, "the program's process")
    # The bench's helper is built beside the rig's own.
    RUN.helpers[("post_keys", "exe")] = build_post_keys()
    # Wine runs the program's own thread, which handles every message, on the process's first thread.
    measured = {"keyboard": [], "midi": []}
    for round_number in range(1, rounds + 1):
        for road, send in (("midi", midi_flood), ("keyboard", key_flood)):
            until_idle(pid)
            cpu, program, started = cpu_seconds(pid), cpu_seconds(pid, pid), time.monotonic()
            send(session)
            ended = until_idle(pid)
            run = (ended - started, cpu_seconds(pid) - cpu, cpu_seconds(pid, pid) - program)
            measured[road].append(run)
            print(f"round {round_number} {road:8} handled in {run[0]:.2f} s, CPU {run[1]:.2f} s, "
                  f"of which the program's thread {run[2]:.2f} s", flush=True)
    print()
    print("| Events from | Runs | Handled in | CPU, whole process | CPU, the program's thread |")
    print("|---|---|---|---|---|")
    for road, runs in measured.items():
        medians = [statistics.median(run[i] for run in runs) for i in range(3)]
        print(f"| {road} | {len(runs)} | {medians[0]:.2f} s | {medians[1]:.2f} s | {medians[2]:.2f} s |")


def build_post_keys():
    target = RUN.directory() / "post_keys.exe"
    subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-O2", "-static", "-o", str(target),
                    str(REPO / "tools" / "bench" / "post_keys.c")], check=True, timeout=120)
    return target


def main():
    args = parse_args()
    use_program_options(args)
    session = Session(f"bench-midi-{args.what}", virtual_midi=True)
    try:
        session.open()
        start(session)
        if args.what == "latency":
            latency(session, args.presses)
        else:
            flood(session, args.rounds)
    finally:
        session.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
