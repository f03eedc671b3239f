#!/usr/bin/env python3
"""What the low-latency output costs and how it holds up, measured on the real program.

    python3 tools/bench/output.py [--runs 2] [--exe PATH] [--make-sounds PATH]

Each run starts Quillpad in a fresh session of the end-to-end rig (its own Xvfb,
PulseAudio null sinks and Wine prefix) and measures:

  idle CPU       the program's user and system time over 5 s after a setup is loaded
                 and nothing plays, as a share of one core
  dropouts       the share of silent 5 ms windows in 8 s of a held sine, once with
                 the machine otherwise idle and once with four busy loops running
                 (two per core here)
  device change  the time from Wine's default output changing to a second sink
                 (its registry value, which Wine notifies) to the held sine
                 sounding on that sink

Quillpad comes from --exe (default build/windows/quillpad.exe); the sine is made
with --make-sounds (default build/native/tools/make_sounds).
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
from rig.session import Session  # noqa: E402
from rig.sound import WINDOW  # noqa: E402
from rig.steps import OUTPUT_KEY, Quillpad  # noqa: E402
from rig.wine_prefix import WINE  # noqa: E402

HELD_SECONDS = 8.0
IDLE_SECONDS = 5.0
BUSY_LOOPS = 4
SILENT_DB = -60.0


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=2, help="sessions, each measuring everything once")
    add_program_options(parser)
    return parser.parse_args()


def idle_cpu(session):
    pid = session.program.pid
    before = cpu_seconds(pid)
    time.sleep(IDLE_SECONDS)  # the idle time measured
    return (cpu_seconds(pid) - before) / IDLE_SECONDS


def silent_share(session, busy):
    """Share of the silent 5 ms windows while the grave-accent key holds its sine."""
    loops = [subprocess.Popen(["sh", "-c", "while :; do :; done"]) for _ in range(busy)]
    try:
        recorder = session.start_recording()
        pressed = recorder.mark()
        session.key_down("grave")
        onset = recorder.wait_for_sound(pressed, "the held key")
        time.sleep(HELD_SECONDS + 0.5)  # the held time measured
        session.key_up("grave")
        levels = recorder.recording().levels(onset + 0.2, onset + 0.2 + HELD_SECONDS)
        session.recorder = None
        recorder.stop()
        return sum(1 for _, level in levels if level < SILENT_DB) / len(levels)
    finally:
        for loop in loops:
            loop.kill()
            loop.wait()


def device_change(session):
    """Seconds from Wine's default output changing to the held sine sounding on the second sink."""
    quillpad = Quillpad(session)
    quillpad.choose_submenu_item("Functions", "Output Device", "SinkTwo")
    query = subprocess.run([*WINE, "reg", "query", OUTPUT_KEY, "/v", "OutputDevice"], env=session.env(),
                           capture_output=True, text=True, timeout=30)
    endpoint = query.stdout.split("REG_SZ")[1].strip()
    quillpad.choose_submenu_item("Functions", "Output Device", "Default Device")
    two = session.pulse.recorder("two").start()
    try:
        session.key_down("grave")
        time.sleep(0.5)
        changed = two.mark()
        subprocess.run([*WINE, "reg", "add", r"HKCU\Software\Wine\Drivers\winepulse.drv", "/v", "DefaultOutput",
                        "/t", "REG_SZ", "/d", endpoint, "/f"], env=session.env(), check=True, capture_output=True,
                       timeout=30)
        onset = two.wait_for_sound(changed, "the sound on the second sink", timeout=5.0)
        session.key_up("grave")
        return onset - changed
    finally:
        two.stop()


def shown(name, value):
    return f"{value * 1000:.0f} ms" if name == "device change" else f"{value:.1%}"


def run(number):
    session = Session(f"output-bench-{number}", {"two": "SinkTwo"})
    try:
        session.open()
        Quillpad(session).start_playing_a_sine(session.work_dir / "sounds")
        time.sleep(2.0)  # the import's own work is over, and the stream has stopped for the silence
        return {"idle CPU": idle_cpu(session), "silent, idle": silent_share(session, 0),
                f"silent, {BUSY_LOOPS} busy loops": silent_share(session, BUSY_LOOPS),
                "device change": device_change(session)}
    finally:
        session.close()


def main():
    args = parse_args()
    use_program_options(args)
    results = []
    for number in range(1, args.runs + 1):
        measured = run(number)
        results.append(measured)
        print(f"run {number}: " + ", ".join(f"{name} {value:.3f}" for name, value in measured.items()), flush=True)
    print()
    print("| Measure | Median | Runs |")
    print("|---|---|---|")
    for name in results[0]:
        values = [result[name] for result in results]
        print(f"| {name} | {shown(name, statistics.median(values))} | {', '.join(shown(name, v) for v in values)} |")
    print(f"\n(5 ms windows below {SILENT_DB:.0f} dBFS count as silent; analysis window {WINDOW * 1000:.0f} ms)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
