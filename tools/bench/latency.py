#!/usr/bin/env python3
"""Key-to-sound latency of Quillpad on each output, against a bare DirectSound program.

    python3 tools/bench/latency.py [--presses 30] [--rounds 2] [--rest SECONDS] [--exe PATH] [--make-sounds PATH]

Each run starts one program in a fresh session of the end-to-end rig (its own
Xvfb, PulseAudio null sink and Wine prefix), presses a key `presses` times as
xdotool does for the tests, and takes the time from each press to the onset of
its sound in the recording of the sink. The runs go round the three programs
`rounds` times, so that a change in the machine's load falls on all of them:

  reference    tools/reference/ds_reference.c, built here with mingw-w64
  low-latency  Quillpad with its low-latency (WASAPI) output
  directsound  Quillpad with its DirectSound output

With --rest, each press comes after that many seconds of silence (the
low-latency output stops its stream after a second of silence, and a press
then starts it again).
Every run prints its median; the end prints, as a Markdown table, each
program's median over all its presses and its ratio to the reference's, and
the median of the first ten presses of its runs (a stream whose queue changes
as it runs shows there).
Quillpad comes from --exe (default build/windows/quillpad.exe) and plays a
sine from a folder made by --make-sounds (default build/native/tools/make_sounds).
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
from rig.session import RUN, Session, Window  # noqa: E402
from rig.steps import Quillpad  # noqa: E402
from rig.wine_prefix import WINE  # noqa: E402

REFERENCE_SOURCE = REPO / "tools" / "reference" / "ds_reference.c"
PROGRAMS = ("reference", "low-latency", "directsound")
QUILLPAD_KEY = "grave"  # hold-and-stop, sound 0
REFERENCE_KEY = "a"
FIRST_PRESSES = 10


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--presses", type=int, default=30, help="key presses in each run")
    parser.add_argument("--rounds", type=int, default=2, help="runs of each program, interleaved")
    parser.add_argument("--rest", type=float, default=0.0, help="seconds of silence before each press")
    add_program_options(parser)
    return parser.parse_args()


def build_reference():
    target = RUN.directory() / "ds_reference.exe"
    subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-O2", "-static", "-o", str(target), str(REFERENCE_SOURCE),
                    "-ldsound", "-ldxguid", "-lgdi32", "-luser32"],
                   check=True, timeout=120)
    return target


def start_reference(session, exe):
    session.program_log = open(session.dir / "program.log", "ab")
    session.program = subprocess.Popen([*WINE, str(exe)], cwd=str(session.work_dir), env=session.env(),
                                       stdout=session.program_log, stderr=subprocess.STDOUT, start_new_session=True)
    found = session.wait_window("^DirectSound reference$", "reference window", timeout=30)
    window = Window(session, found.id, "reference window", windows_class="DSReference")
    window.wait_focus()
    return window


def measure_presses(session, key, presses, rest):
    """Seconds from each press to the onset of its sound."""
    recorder = session.start_recording()
    latencies = []
    for press in range(1, presses + 1):
        time.sleep(rest)  # the silence before the press is what is measured after
        pressed = recorder.mark()
        session.key_down(key)
        onset = recorder.wait_for_sound(pressed, f"press {press}")
        session.key_up(key)
        recorder.wait_for_silence(onset, f"the release after press {press}")
        latencies.append(onset - pressed)
    return latencies


def run(program, presses, reference_exe, rest):
    session = Session(f"latency-{program}")
    try:
        session.open()
        if program == "reference":
            start_reference(session, reference_exe)
            return measure_presses(session, REFERENCE_KEY, presses, rest)
        Quillpad(session).start_playing_a_sine(session.work_dir / "sounds",
                                               "wasapi" if program == "low-latency" else "directsound")
        return measure_presses(session, QUILLPAD_KEY, presses, rest)
    finally:
        session.close()


def main():
    args = parse_args()
    use_program_options(args)
    reference_exe = build_reference()
    measured = {program: [] for program in PROGRAMS}
    first = {program: [] for program in PROGRAMS}
    for round_number in range(1, args.rounds + 1):
        for program in PROGRAMS:
            latencies = run(program, args.presses, reference_exe, args.rest)
            measured[program] += latencies
            first[program] += latencies[:FIRST_PRESSES]
            print(f"round {round_number} {program:12} median {statistics.median(latencies) * 1000:6.1f} ms "
                  f"(min {min(latencies) * 1000:.1f}, max {max(latencies) * 1000:.1f})", flush=True)
    reference = statistics.median(measured["reference"])
    print()
    print(f"| Program | Presses | Median key to sound | Ratio to the reference | Median of the first {FIRST_PRESSES} |")
    print("|---|---|---|---|---|")
    for program in PROGRAMS:
        median = statistics.median(measured[program])
        print(f"| {program} | {len(measured[program])} | {median * 1000:.0f} ms | {median / reference:.2f} "
              f"| {statistics.median(first[program]) * 1000:.0f} ms |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
