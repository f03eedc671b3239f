#!/usr/bin/env python3
"""A folder of 200 MP3 files in the real program: listing them, decoding the
ones a setup uses, and the memory they take.

    python3 tools/bench/any_sound.py [--rounds 3]

One 3-minute stereo sine at 44100 Hz is made with the rig (make_sounds and
lame, 128 kbit/s) and copied 200 times into a folder, s000.mp3 to s199.mp3.
Each round, in a fresh program on the low-latency output, in a session of the
end-to-end rig:

- list: File > Import Sounds with s000.mp3: from the Enter that chooses it
  until the list is filled. The program fills it within the import, after
  naming the folder in the title, so F2 is typed with the Enter (one xdotool
  run): it is taken once the import is done, and the title then names bank 2
  (drawn once no input has come for 15 ms). The same F2 on the program idle
  is timed too, the mark's own cost. The list is then read (winprobe) to
  hold the 200 rows;
- setup of 20: a setup whose keys 0 to 19 use list positions 0 to 19 (keys
  20 to 46 the same twenty again), opened with File > Open Setup: from the
  Enter until key 0's cap shows its sound loaded (its label grey while
  loading, then not; screenshots about every 0.1 s), and until all twenty
  caps do; then key 0 pressed and the time to its sound in the recording;
- setup of 1: the same with every key on position 0, in a fresh program: one
  decode of the file in the program, from the Enter to key 0 loaded;
- memory: the resident size (VmRSS) of the program's Wine process just before
  the setup of 20 opens and once its twenty sounds have loaded.

The yardstick of a decode is lame's own decoder (`lame --decode` of the file
to a WAV file in memory, /dev/shm), run here natively. Prints each round and
the medians.

Build first: the native preset (make_sounds) and the windows preset (quillpad.exe).
"""

import argparse
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from rig.panel import KEY_LOADING_TEXT, label_rect  # noqa: E402
from rig.paths import add_program_options, use_program_options  # noqa: E402
from rig.session import KEYSYMS, Session, windows_path  # noqa: E402
from rig.setup_bytes import compose_setup, start_up_keys, with_key  # noqa: E402
from rig.sound import SILENCE_DB, make_tone  # noqa: E402
from rig.steps import Quillpad  # noqa: E402
from rig.waits import wait_until  # noqa: E402
from program import resident_kb  # noqa: E402

FILES = 200
MINUTES = 3
USED = 20


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--rounds", type=int, default=3)
    add_program_options(parser)
    return parser.parse_args()


def make_folder(folder):
    first = make_tone(folder / "s000.mp3", 440.0, seconds=60.0 * MINUTES, channels=2)
    for i in range(1, FILES):
        shutil.copyfile(first, folder / f"s{i:03d}.mp3")
    subprocess.run(["cat", *sorted(str(p) for p in folder.iterdir())], stdout=subprocess.DEVNULL, check=True)
    return first


def lame_decode_seconds(mp3):
    with tempfile.TemporaryDirectory(dir="/dev/shm") as folder:
        started = time.monotonic()
        subprocess.run(["lame", "--quiet", "--decode", str(mp3), str(Path(folder) / "d.wav")], check=True)
        return time.monotonic() - started


def setup_of(folder, path, used):
    """A setup of the start-up keys whose keys play list positions 0 to used - 1, round and round."""
    keys = start_up_keys()
    for k in range(len(keys)):
        keys = with_key(keys, k, sound_index=k % used)
    path.write_bytes(compose_setup(keys, 10, windows_path(folder)))
    return path


def enter_in_dialog(quillpad, shortcut, title, path):
    """Opens a file dialog with its shortcut, types the path and presses Enter: the moment of the Enter."""
    quillpad.shortcut(shortcut)
    dialog = quillpad.wait_dialog(title)
    quillpad.type_file_name(title, windows_path(path))
    entered = time.monotonic()
    quillpad.session.xdotool("key", "Return")
    return entered, dialog


def loading_keys(session, keys):
    """The keys of `keys` whose caps show the loading grey on one screenshot."""
    shot = session.client_shot()
    return {k for k in keys if KEY_LOADING_TEXT in [c for _, c in shot.pixels(label_rect(k))]}


def time_loads(session, entered, keys, timeout=600):
    """Seconds from `entered` until key keys[0] has loaded and until all of `keys`
    have: each cap seen grey, then seen without it."""
    seen_loading, loaded = set(), {}
    deadline = time.monotonic() + timeout
    while len(loaded) < len(keys):
        if time.monotonic() > deadline:
            raise TimeoutError(f"keys {sorted(set(keys) - set(loaded))} not loaded after {timeout} s "
                               f"(seen loading: {sorted(seen_loading)})")
        now_loading = loading_keys(session, keys)
        moment = time.monotonic() - entered
        seen_loading |= now_loading
        for k in seen_loading - now_loading - set(loaded):
            loaded[k] = moment
        if moment > 5 and not seen_loading:
            raise RuntimeError("no cap ever showed its sound loading: the decode was quicker than a screenshot, "
                               "or nothing loads")
    return loaded[keys[0]], max(loaded.values())


def list_round(session, quillpad, folder):
    """Seconds from the Enter to the list filled, and the same mark on the idle
    program. F2, typed right after the Enter, is taken once the import is done,
    and the title then names bank 2: the program fills the list within the
    import, after naming the folder in the title."""
    quillpad.start()
    main = session.main
    title = f"Untitled  using:  {folder.name}"
    quillpad.shortcut("i")
    dialog = quillpad.wait_dialog("Import Sounds")
    quillpad.type_file_name("Import Sounds", windows_path(folder / "s000.mp3"))
    entered = time.monotonic()
    session.xdotool("key", "--delay", "0", "Return", "F2")
    wait_until(lambda: main.title() == f"{title} - Bank 2", 60, "the title to name the folder and bank 2",
               interval=0.002)
    listed = time.monotonic() - entered
    dialog.wait_closed()
    rows = len(quillpad.sound_names())
    if rows != FILES:
        raise RuntimeError(f"the list holds {rows} rows, not {FILES}")
    session.tap("F1")
    quillpad.wait_title(title)
    started = time.monotonic()
    session.xdotool("key", "F2")
    wait_until(lambda: main.title() == f"{title} - Bank 2", 10, "the title to name bank 2", interval=0.002)
    return listed, time.monotonic() - started


def setup_round(session, quillpad, setup, used):
    """Seconds to key 0 loaded, to all used keys loaded, key 0's press to sound,
    and the resident sizes before and after, in kB."""
    quillpad.start()
    recorder = session.start_recording()
    pid = session.program.pid
    before = resident_kb(pid)
    entered, dialog = enter_in_dialog(quillpad, "o", "Open Setup", setup)
    first, every = time_loads(session, entered, list(range(used)))
    after = resident_kb(pid)
    dialog.wait_closed()
    session.main.wait_focus()
    pressed = recorder.mark()
    quiet = recorder.recording_until(pressed).level_db(pressed - 0.3, pressed)
    if quiet > SILENCE_DB:
        raise RuntimeError(f"sound before key 0 was pressed: {quiet:.1f} dBFS")
    session.hold_key(KEYSYMS[0], 0.3)
    onset = recorder.wait_for_sound(pressed, "key 0 pressed once loaded")
    return first, every, onset - pressed, before, after


def end_program(session):
    """Ends the program at once: an import leaves changes that Exit would ask about."""
    session.kill_program()
    if session.recorder is not None:
        session.recorder.stop()
        session.recorder = None


def main():
    args = parse_args()
    use_program_options(args)
    session = Session("bench-any_sound")
    try:
        session.open()
        quillpad = Quillpad(session)
        folder = session.work_dir / "mp3s"
        mp3 = make_folder(folder)
        twenty = setup_of(folder, session.work_dir / "twenty.qpd", USED)
        one = setup_of(folder, session.work_dir / "one.qpd", 1)
        print(f"{FILES} copies of a {MINUTES}-minute stereo MP3 of {mp3.stat().st_size / 2 ** 20:.1f} MB")
        rows = []
        for round_ in range(1, args.rounds + 1):
            lame = lame_decode_seconds(mp3)
            print(f"round {round_}: lame --decode {lame:.2f} s", flush=True)
            listed, mark = list_round(session, quillpad, folder)
            end_program(session)
            print(f"  import: {FILES} rows listed {listed * 1000:.0f} ms after the Enter (F2 on the idle program: "
                  f"{mark * 1000:.0f} ms)", flush=True)
            first, every, latency, before, after = setup_round(session, quillpad, twenty, USED)
            end_program(session)
            print(f"  setup of {USED}: key 0 loaded {first:.2f} s, all {every:.2f} s after the Enter; key 0's press "
                  f"to sound {latency * 1000:.0f} ms; resident {before / 1024:.1f} MB before, "
                  f"{after / 1024:.1f} MB after", flush=True)
            single, _, _, _, _ = setup_round(session, quillpad, one, 1)
            end_program(session)
            print(f"  setup of 1: key 0 loaded {single:.2f} s after the Enter", flush=True)
            rows.append((lame, listed, mark, first, every, latency, single, before, after))
        medians = [statistics.median(column) for column in zip(*rows)]
        lame, listed, mark, first, every, latency, single, before, after = medians
        print(f"medians of {len(rows)}: lame --decode {lame:.2f} s; import: listed {listed * 1000:.0f} ms "
              f"(the F2 mark idle {mark * 1000:.0f} ms); setup of {USED}: key 0 {first:.2f} s ({first / single:.2f} times one "
              f"decode in the program, {single:.2f} s), all {every:.2f} s; press to sound {latency * 1000:.0f} ms; "
              f"resident {before / 1024:.1f} -> {after / 1024:.1f} MB, "
              f"{(after - before) / 1024 / USED:.1f} MB per sound")
    finally:
        session.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
