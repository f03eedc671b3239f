"""Heavy playing: many keys at once, a storm of key events, and (behind an option)
a long soak that watches the program's memory."""

import math
import os
import random
import unittest
from pathlib import Path

from rig.case import QuillpadTestCase
from rig.input import KEYSYMS
from rig.sound import make_sine
from rig.waits import hold_for, wait_until

# A key press reaches the recording about 0.2 s later.
LATE = 0.4
# The start-up layout: the number row (keys 0..12) plays sound 0 at notes 48..60,
# hold-and-stop, on the left; the Q row (keys 13..25) sound 1 at notes 60..72,
# hold-and-finish, centred, at volume 80 (9.25 dB below the number row: sound 1
# is made that much louder, so that every key adds as much).
SOUND_0_HZ = 400.0
SOUND_1_HZ = 1000.0
SEMITONE = 1.05946309434
TWENTY_KEYS = list(range(13)) + list(range(13, 20))
# How long the player waits between adding keys: the keys join one by one.
JOIN_GAP = 0.05
# The span a level is read over: long enough to tell tones a semitone apart.
LEVEL_SPAN = 0.5
# A key's tone is heard once a window of this span after its press holds it
# at least at HEARD_DB (each key alone is about -32 dBFS on the left).
ONSET_SPAN = 0.25
HEARD_DB = -40.0
# A level is read in a few overlapping spans, and the loudest taken: a
# dropout of the recording under load lowers a span, it never raises one.
LEVEL_SPANS = 3
LEVEL_STEP = 0.25


def tones_level_db(recording, keys, start, end):
    """The level of the keys' tones together: the sum of their powers.
    The level of the whole signal, read in short windows, swings with the beats
    of tones a semitone apart by more than one key adds."""
    power = sum(10 ** (recording.tone_level_db(key_frequency(k), start, end, "left") / 10) for k in keys)
    return 10 * math.log10(power)


def steady_tones_level_db(recording, keys, start):
    return max(tones_level_db(recording, keys, start + n * LEVEL_STEP, start + n * LEVEL_STEP + LEVEL_SPAN)
               for n in range(LEVEL_SPANS))


def steady_span():
    return (LEVEL_SPANS - 1) * LEVEL_STEP + LEVEL_SPAN


def key_frequency(k):
    if k <= 12:
        return SOUND_0_HZ * SEMITONE ** (k - 12)  # note 48 + k against note 60
    return SOUND_1_HZ * SEMITONE ** (k - 13)  # note 47 + k against note 60


def heard_from(recording, k, pressed):
    """The end of the first span after the press that holds the key's tone: from
    there on it sounds; None while the recording shows no such span yet."""
    t = pressed
    while t + ONSET_SPAN <= recording.duration:
        if recording.tone_level_db(key_frequency(k), t, t + ONSET_SPAN, "left") >= HEARD_DB:
            return t + ONSET_SPAN
        t += JOIN_GAP
    return None


class StressTest(QuillpadTestCase):
    def start_with_sounds(self):
        q, s = self.quillpad, self.session
        sounds = s.work_dir / "sounds"
        make_sine(sounds / "a.wav", SOUND_0_HZ, seconds=1.0, amplitude=0.1)
        make_sine(sounds / "b.wav", SOUND_1_HZ, seconds=1.0, amplitude=0.29)
        q.start()
        q.import_sounds(sounds, "a.wav")
        return s.start_recording()

    def test_twenty_keys_held_at_once_all_sound_and_each_adds_to_the_level(self):
        s = self.session
        recorder = self.start_with_sounds()
        levels = []
        heard = {}
        for group in range(4):
            keys = TWENTY_KEYS[5 * group:5 * group + 5]
            pressed = {}
            for k in keys:
                pressed[k] = recorder.mark()
                s.key_down(KEYSYMS[k])
                hold_for(JOIN_GAP)

            # A busy machine may start a key late: the level is read once every key of the group is heard.
            def group_heard():
                recording = recorder.recording()
                ends = [heard_from(recording, k, pressed[k]) for k in keys]
                return None if None in ends else max(ends)

            settled = wait_until(group_heard, 5, f"keys {keys} to be heard")
            heard.update({k: round(heard_from(recorder.recording(), k, pressed[k]) - pressed[k], 2) for k in keys})
            recording = recorder.recording_until(settled + steady_span())
            levels.append(steady_tones_level_db(recording, TWENTY_KEYS[:5 * group + 5], settled))
        # Five more keys of equal level add 10 log10((n + 5) / n) dB: 3.01, 1.76 and 1.25.
        for n, fewer, more in zip((5, 10, 15), levels, levels[1:]):
            self.assertAlmostEqual(more - fewer, 10 * math.log10((n + 5) / n), delta=0.4,
                                   msg=f"the level as keys joined: {levels} (each key heard this long after "
                                       f"its press, at the latest: {heard})")

        all_held = recorder.mark()
        recording = recorder.recording_until(all_held + LATE + 0.5)
        start, end = all_held + LATE, all_held + LATE + 0.5
        silent_keys = [k for k in TWENTY_KEYS if recording.tone_level_db(key_frequency(k), start, end, "left") < -45]
        self.assertEqual(silent_keys, [], "keys held but not heard")
        # The Q row keys not held are not heard either.
        for k in (21, 24):
            self.assertLess(recording.tone_level_db(key_frequency(k), start, end, "left"), -60, f"key {k}")

        released = recorder.mark()
        for k in TWENTY_KEYS:
            s.key_up(KEYSYMS[k])
        # The Q row finishes its one-second passes, then all is quiet.
        recorder.wait_for_silence(released, "releasing the twenty keys", timeout=4)

    def test_a_storm_of_key_events_leaves_no_key_stuck_and_the_program_answering(self):
        s = self.session
        recorder = self.start_with_sounds()
        generator = random.Random(1207)
        taps = [KEYSYMS[generator.randrange(26)] for _ in range(1000)]  # 2,000 key events
        storm = recorder.mark()
        s.xdotool("key", "--delay", "1", *taps)
        done = recorder.mark()
        self.assertLess(done - storm, 10.0, "the storm took too long to send")
        self.assertIsNotNone(recorder.recording().onset(storm), "the storm made no sound")
        recorder.wait_for_silence(done, "the end of the storm (hold keys and one-second passes)", timeout=5)

        pressed = recorder.mark()
        s.hold_key("grave", 0.3)
        onset = recorder.wait_for_sound(pressed, "a key pressed after the storm")
        self.assertLess(onset - pressed, LATE, "the program answered late after the storm")
        recorder.wait_for_silence(onset, "releasing the key after the storm")

    @unittest.skipUnless(os.environ.get("QUILLPAD_E2E_SOAK_MINUTES"), "a long run: set QUILLPAD_E2E_SOAK_MINUTES")
    def test_a_long_soak_of_key_events_keeps_the_memory_flat(self):
        s = self.session
        minutes = float(os.environ["QUILLPAD_E2E_SOAK_MINUTES"])
        recorder = self.start_with_sounds()
        status = Path(f"/proc/{s.program.pid}/status")

        def resident_kb():
            for line in status.read_text().splitlines():
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
            raise RuntimeError("no VmRSS")

        events = 0
        started = recorder.mark()
        baseline = None
        samples = []
        while recorder.mark() - started < minutes * 60:
            k = events % 26
            s.key_down(KEYSYMS[k])
            hold_for(0.05)  # a key event every 100 ms: down, then up
            s.key_up(KEYSYMS[k])
            hold_for(0.05)
            events += 2
            if baseline is None and recorder.mark() - started >= 60:
                baseline = resident_kb()
            if events % 600 == 0:
                samples.append(resident_kb())
        final = resident_kb()
        print(f"\n  soak: {events} key events in {minutes} min; resident {baseline} kB after the first minute, "
              f"{final} kB at the end; samples {samples}")
        self.assertIsNotNone(baseline, "the soak was shorter than a minute")
        self.assertLess(abs(final - baseline), baseline * 0.05, "the memory moved more than 5% during the soak")


if __name__ == "__main__":
    unittest.main()
