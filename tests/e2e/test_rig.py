"""The rig's own sound and picture analysis, on signals whose answers are known.

The end-to-end tests trust these numbers, so a fault here would make them lie."""

import array
import math
import subprocess
import tempfile
import wave
import unittest
from pathlib import Path

from rig.screen import Screenshot
from rig.sound import Recording, make_sine, make_tone

RATE = 44100


def tone(freq, seconds, amplitude, start=0.0, total=None, phase=0.0):
    """Mono samples: silence until `start`, then a sine until start + seconds, then silence."""
    total = start + seconds if total is None else total
    out = array.array("h", [0]) * int(total * RATE)
    first = int(start * RATE)
    for i in range(first, min(len(out), first + int(seconds * RATE))):
        out[i] = int(round(amplitude * 32767 * math.sin(2 * math.pi * freq * (i - first) / RATE + phase)))
    return out


class RecordingAnalysisTest(unittest.TestCase):
    def test_frequency_within_a_tenth_of_a_percent_over_the_range_tests_use(self):
        for freq in (110.0, 261.63, 440.0, 987.77, 1975.5):
            samples = tone(freq, 0.3, 0.25, phase=0.7)
            measured = Recording(samples, samples, RATE).frequency(0.0, 0.3)
            self.assertAlmostEqual(measured, freq, delta=freq * 0.001, msg=f"{freq} Hz")

    def test_frequency_ignores_low_level_noise_near_zero(self):
        # A tone with a small high-frequency ripple would double-count crossings without hysteresis.
        base = tone(220.0, 0.3, 0.3)
        ripple = tone(7000.0, 0.3, 0.01)
        mixed = array.array("h", (a + b for a, b in zip(base, ripple)))
        self.assertAlmostEqual(Recording(mixed, mixed, RATE).frequency(0, 0.3), 220.0, delta=0.5)

    def test_rms_of_half_scale_sine_is_minus_9_dbfs(self):
        samples = tone(440.0, 0.5, 0.5)
        self.assertAlmostEqual(Recording(samples, samples, RATE).rms_db(0.1, 0.4), -9.03, delta=0.02)

    def test_level_of_each_channel_and_balance(self):
        left = tone(440.0, 0.5, 0.5)
        right = tone(440.0, 0.5, 0.25)
        recording = Recording(left, right, RATE)
        self.assertAlmostEqual(recording.rms_db(0, 0.5, "left") - recording.rms_db(0, 0.5, "right"), 6.02, delta=0.02)
        self.assertAlmostEqual(recording.balance_db(0, 0.5), 6.02, delta=0.02)
        self.assertAlmostEqual(Recording(right, left, RATE).balance_db(0, 0.5), -6.02, delta=0.02)

    def test_onset_and_silence_find_where_the_tone_starts_and_ends(self):
        samples = tone(500.0, 0.4, 0.5, start=0.25, total=1.0)
        recording = Recording(samples, samples, RATE)
        self.assertAlmostEqual(recording.onset(0.0), 0.25, delta=0.006)
        self.assertAlmostEqual(recording.silence_from(0.3, 0.15), 0.65, delta=0.006)
        self.assertIsNone(recording.onset(0.7))

    def test_each_tone_of_a_chord_is_measured_on_its_own(self):
        low = tone(220.0, 0.5, 0.25)
        high = tone(233.08, 0.5, 0.125)  # a semitone up, 6 dB down
        chord = array.array("h", (a + b for a, b in zip(low, high)))
        recording = Recording(chord, chord, RATE)
        self.assertAlmostEqual(recording.tone_level_db(220.0, 0, 0.5), -15.05, delta=0.3)
        self.assertAlmostEqual(recording.tone_level_db(233.08, 0, 0.5), -21.07, delta=0.3)
        self.assertLess(recording.tone_level_db(246.94, 0, 0.5), -60.0, "a tone that is not there")

    def test_dropouts_of_a_busy_machine_bend_neither_pitch_nor_level(self):
        samples = tone(440.0, 1.0, 0.5)
        for gap_start in (0.13, 0.41, 0.77):  # 20 ms of silence, as an underrun leaves it
            for i in range(int(gap_start * RATE), int((gap_start + 0.02) * RATE)):
                samples[i] = 0
        recording = Recording(samples, samples, RATE)
        self.assertAlmostEqual(recording.frequency(0.0, 1.0), 440.0, delta=0.5)
        self.assertAlmostEqual(recording.level_db(0.0, 1.0), -9.03, delta=0.1)
        self.assertAlmostEqual(recording.sounding_seconds(0.0, 1.0), 0.94, delta=0.011)

    def test_a_steady_tone_is_read_through_dropouts_of_every_other_moment(self):
        # 0.4 s of a tone that drops out for 25 ms of every 55 ms, as a very busy machine's sound card does.
        for freq in (220.0, 330.0, 550.0):
            samples = tone(freq, 0.4, 0.5, phase=0.3)
            for gap in range(int(0.02 * RATE), len(samples), int(0.055 * RATE)):
                length = min(int(0.025 * RATE), len(samples) - gap)
                samples[gap:gap + length] = array.array("h", [0]) * length
            recording = Recording(samples, samples, RATE)
            self.assertLess(recording.level_db(0.0, 0.4), -9.03 - 1.0, "the median of 10 ms levels is bent")
            self.assertAlmostEqual(recording.steady_level_db(0.0, 0.4), -9.03, delta=0.02, msg=f"{freq} Hz")
            self.assertAlmostEqual(recording.frequency(0.0, 0.4), freq, delta=freq * 0.001, msg=f"{freq} Hz")

    def test_steady_level_of_an_unbroken_tone_and_of_silence(self):
        samples = tone(440.0, 0.3, 0.25, phase=1.1)
        self.assertAlmostEqual(Recording(samples, samples, RATE).steady_level_db(0.0, 0.3), -15.05, delta=0.02)
        silence = array.array("h", [0]) * int(0.3 * RATE)
        self.assertEqual(Recording(silence, silence, RATE).steady_level_db(0.0, 0.3), -math.inf)

    def test_silence_must_last_and_a_short_gap_is_not_the_end(self):
        # Sound, a 0.1 s gap, sound again, then silence to the end at 1.2 s.
        first = tone(500.0, 0.3, 0.5, total=0.4)
        second = tone(500.0, 0.4, 0.5, total=0.8)
        samples = first + second
        recording = Recording(samples, samples, RATE)
        self.assertAlmostEqual(recording.silence_from(0.1, 0.15), 0.8, delta=0.006)
        self.assertAlmostEqual(recording.silence_from(0.1, 0.05), 0.3, delta=0.006)
        self.assertIsNone(recording.silence_from(0.1, 0.5), "only 0.4 s of silence was recorded")


class ScreenshotTest(unittest.TestCase):
    def test_ppm_pixels_are_read_at_their_coordinates(self):
        width, height = 3, 2
        body = bytes([1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18])
        shot = Screenshot.from_ppm(b"P6\n# a comment\n3 2\n255\n" + body)
        self.assertEqual((shot.width, shot.height), (width, height))
        self.assertEqual(shot.pixel(0, 0), (1, 2, 3))
        self.assertEqual(shot.pixel(2, 0), (7, 8, 9))
        self.assertEqual(shot.pixel(1, 1), (13, 14, 15))
        self.assertEqual(shot.crop(1, 1, 2, 1).pixel(1, 0), (16, 17, 18))
        with self.assertRaises(IndexError):
            shot.pixel(3, 0)


class MakeSoundsTest(unittest.TestCase):
    """The tests' WAV files come from the project's make_sounds tool."""

    def test_sine_has_the_asked_pitch_rate_length_channels_and_level(self):
        with tempfile.TemporaryDirectory() as folder:
            path = make_sine(Path(folder) / "s.wav", 523.25, rate=22050, seconds=0.4, channels=2, amplitude=0.25)
            with wave.open(str(path), "rb") as w:
                self.assertEqual((w.getnchannels(), w.getsampwidth(), w.getframerate()), (2, 2, 22050))
            recording = Recording.from_wav(path)
        self.assertAlmostEqual(recording.duration, 0.4, delta=1 / 22050)
        self.assertAlmostEqual(recording.frequency(0, 0.4, "right"), 523.25, delta=0.5)
        self.assertAlmostEqual(recording.rms_db(0, 0.4, "left"), -15.05, delta=0.05)


class MakeToneTest(unittest.TestCase):
    """The tests' compressed and AIFF files: each of the kind its name says, and,
    decoded by another program, the tone asked for."""

    KINDS = {".mp3": b"\xff\xfb", ".flac": b"fLaC", ".ogg": b"OggS", ".aiff": b"FORM"}

    def test_each_kind_holds_the_asked_tone_at_its_rate_and_channels(self):
        with tempfile.TemporaryDirectory() as folder:
            for (kind, magic), (rate, channels) in zip(self.KINDS.items(), ((44100, 2), (48000, 1), (22050, 1),
                                                                             (44100, 2))):
                path = make_tone(Path(folder) / f"t{kind}", 550.0, seconds=0.5, rate=rate, channels=channels)
                self.assertEqual(path.read_bytes()[:len(magic)], magic, kind)
                decoded = Path(folder) / f"{kind[1:]}.wav"
                command = (["lame", "--quiet", "--decode", str(path), str(decoded)] if kind == ".mp3"
                           else ["sox", str(path), "-b", "16", str(decoded)])
                subprocess.run(command, check=True, capture_output=True, timeout=60)
                with wave.open(str(decoded), "rb") as w:
                    self.assertEqual((w.getnchannels(), w.getframerate()), (channels, rate), kind)
                recording = Recording.from_wav(decoded)
                # MP3 frames round the length up.
                self.assertAlmostEqual(recording.duration, 0.5, delta=0.06 if kind == ".mp3" else 1 / rate, msg=kind)
                self.assertAlmostEqual(recording.frequency(0.1, 0.4), 550.0, delta=0.5, msg=kind)


if __name__ == "__main__":
    unittest.main()
