#!/usr/bin/env python3
"""Figures of the real program under Wine, each against a limit measured in the
same run, with the end-to-end rig's session (Xvfb, PulseAudio null sink, Wine).

    python3 tools/bench/program.py folder    loading 200 sounds, 400 MB, against cat of the same files
    python3 tools/bench/program.py memory    the process's resident size: started, demo loaded, per MB of sound
    python3 tools/bench/program.py startup   launch to the first painted window, against the reference program

Build first (./quillpad.sh test or the native and windows presets); the
reference program is tools/reference/ds_reference.c.
"""

import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from rig.session import KEYSYMS, RUN, Session, windows_path  # noqa: E402
from rig.sound import make_sine  # noqa: E402
from rig.steps import Quillpad  # noqa: E402
from rig.wine_prefix import WINE  # noqa: E402
from rig.waits import wait_until  # noqa: E402


def resident_kb(pid):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    raise RuntimeError("no VmRSS")


def key_latency(session, recorder, presses=5):
    """Median time from a key press to its sound in the recording, the program idle."""
    times = []
    for _ in range(presses):
        pressed = recorder.mark()
        session.hold_key(KEYSYMS[0], 0.2)
        onset = recorder.wait_for_sound(pressed, "a key press")
        times.append(onset - pressed)
        recorder.wait_for_silence(onset, "the key's release")
    return statistics.median(times)


def folder(session, quillpad):
    sounds = session.work_dir / "big"
    first = make_sine(sounds / "s000.wav", 440.0, seconds=11.9, channels=2)  # 2 MB of samples
    for i in range(1, 200):
        shutil.copyfile(first, sounds / f"s{i:03d}.wav")
    total_mb = sum(p.stat().st_size for p in sounds.iterdir()) / 2 ** 20
    files = sorted(str(p) for p in sounds.iterdir())
    subprocess.run(["cat", *files], stdout=subprocess.DEVNULL, check=True)  # warm the page cache
    cat_times = []
    for _ in range(3):
        started = time.monotonic()
        subprocess.run(["cat", *files], stdout=subprocess.DEVNULL, check=True)
        cat_times.append(time.monotonic() - started)

    quillpad.start()
    recorder = session.start_recording()
    loads = []
    for _ in range(3):
        quillpad.shortcut("i")
        dialog = quillpad.wait_dialog("Import Sounds")
        quillpad.type_file_name("Import Sounds", windows_path(sounds / "s000.wav"))
        # A key pressed right after Enter is handled once the folder has loaded.
        entered = recorder.mark()
        session.xdotool("key", "Return")
        session.key_down(KEYSYMS[0])
        onset = recorder.wait_for_sound(entered, "the key pressed during the load", timeout=120)
        session.key_up(KEYSYMS[0])
        dialog.wait_closed()
        recorder.wait_for_silence(onset, "the key's release")
        loads.append(onset - entered)
    latency = key_latency(session, recorder)
    load = statistics.median(loads) - latency
    cat = statistics.median(cat_times)
    print(f"folder of 200 sounds, {total_mb:.0f} MB: load {load:.2f} s (Enter to sound {statistics.median(loads):.2f} s "
          f"less key latency {latency:.2f} s), cat {cat:.2f} s, ratio {load / cat:.2f} (goal at most 1.5)")


def memory(session, quillpad):
    demo_sounds = session.work_dir / "demo"
    subprocess.run([str(REPO / "build/native/tools/make_sounds"), "demo", str(demo_sounds)], check=True,
                   capture_output=True)
    quillpad.start()
    pid = session.program.pid
    started = resident_kb(pid)
    quillpad.import_sounds(demo_sounds, sorted(p.name for p in demo_sounds.iterdir())[0])
    quillpad.wait_title("Untitled  using:  demo")
    demo_mb = sum(p.stat().st_size for p in demo_sounds.iterdir()) / 2 ** 20
    wait_until(lambda: resident_kb(pid) > started, 10, "the demo's sounds in memory")
    with_demo = resident_kb(pid)

    big = session.work_dir / "mb"
    first = make_sine(big / "m00.wav", 440.0, seconds=11.9, channels=2)
    for i in range(1, 50):
        shutil.copyfile(first, big / f"m{i:02d}.wav")
    big_mb = sum(p.stat().st_size for p in big.iterdir()) / 2 ** 20
    quillpad.import_sounds(big, "m00.wav")
    quillpad.wait_title("Untitled  using:  mb")
    with_big = resident_kb(pid)
    print(f"resident size: {started / 1024:.1f} MB started, {with_demo / 1024:.1f} MB with the demo "
          f"({demo_mb:.1f} MB of sound); with {big_mb:.0f} MB of sound {with_big / 1024:.1f} MB, "
          f"{(with_big - started) / 1024 / big_mb:.2f} MB per MB of sound")


def startup(session, quillpad):
    reference = REPO / "tools" / "reference" / "ds_reference.c"
    if not reference.exists():
        sys.exit("no reference program at tools/reference/ds_reference.c")
    reference_exe = RUN.directory() / "ds_reference.exe"
    subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-O2", "-static", "-o", str(reference_exe), str(reference),
                    "-ldsound", "-ldxguid", "-lgdi32", "-luser32"], check=True)

    def first_window(command, title_regex):
        started = time.monotonic()
        process = subprocess.Popen(command, env=session.env(), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
        wait_until(lambda: session.visible_window_ids(title_regex), 30, f"a window /{title_regex}/", 0.005)
        shown = time.monotonic() - started
        process.terminate()
        process.wait(10)
        wait_until(lambda: not session.visible_window_ids(title_regex), 10, "the window to go")
        return shown

    ours, theirs = [], []
    for _ in range(10):  # interleaved
        ours.append(first_window([*WINE, str(REPO / "build/windows/quillpad.exe")], "^Quillpad"))
        theirs.append(first_window([*WINE, str(reference_exe)], "^DirectSound reference"))
    print(f"start-up to the first window: Quillpad {statistics.median(ours) * 1000:.0f} ms, reference "
          f"{statistics.median(theirs) * 1000:.0f} ms (medians of 10), ratio "
          f"{statistics.median(ours) / statistics.median(theirs):.2f}")


def main():
    figures = {"folder": folder, "memory": memory, "startup": startup}
    if len(sys.argv) != 2 or sys.argv[1] not in figures:
        sys.exit(__doc__)
    session = Session(f"bench-{sys.argv[1]}").open()
    try:
        figures[sys.argv[1]](session, Quillpad(session))
    finally:
        session.close()


if __name__ == "__main__":
    main()
