"""Playing keys after Import Sounds: what comes out of the sound card."""

import time
import unittest

from harness import QuillpadTestCase, make_sine

# Start-up layout: key 0 (the grave-accent key) plays sound 0 at note 48, volume 100,
# pan 50, hold-and-stop; key 13 (Q) sound 1 at note 60, volume 80, centred,
# hold-and-finish; key 26 (A) sound 2 and key 27 (S) sound 3 at note 60, toggle-and-stop.
A440_HALF_SCALE_DB = -9.03  # RMS of a sine at half of full scale
VOLUME_100_DB = -8.90
VOLUME_80_DB = -18.15
PAN_50_RIGHT_DB = -50.00
# Held keys repeat after about 0.6 s, and every repeat restarts the sound:
# holds stay below that where the end of a pass is measured.
SHORT_HOLD = 0.3


class PlayingTest(QuillpadTestCase):
    def setUp(self):
        super().setUp()
        sounds = self.session.work_dir / "sounds"
        # Sorted by name, these are sounds 0, 1, 2 and 3.
        make_sine(sounds / "a_440.wav", 440.0, seconds=1.0, amplitude=0.5)
        # Recorded at half the rate: at note 60 every sound plays 44100 samples a
        # second, so this one sounds an octave up, at 660 Hz, and its two seconds
        # pass in one.
        make_sine(sounds / "b_330_half_rate.wav", 330.0, rate=22050, seconds=2.0, amplitude=0.5)
        (sounds / "c_not_a_wave.wav").write_text("this is a text file with a .wav name\n")
        make_sine(sounds / "d_880.wav", 880.0, seconds=1.0, amplitude=0.5)
        self.start()
        self.session.import_sounds(sounds, "a_440.wav")
        self.recorder = self.session.start_recording()

    def hold(self, keysym, seconds):
        """Holds a key; returns the recording times of the press and the release."""
        pressed = self.recorder.mark()
        self.session.key_down(keysym)
        time.sleep(seconds)
        released = self.recorder.mark()
        self.session.key_up(keysym)
        return pressed, released

    def onset_after(self, recording, moment, what):
        onset = recording.onset(moment)
        self.assertIsNotNone(onset, f"no sound after {what}")
        self.assertLess(onset - moment, 0.4, f"sound came late after {what}")
        return onset

    def test_import_names_the_folder_in_the_title_and_shows_no_message(self):
        self.assertEqual(self.session.main.title(), "Untitled  using:  sounds")
        # The text file among the sounds is skipped silently.
        self.assertFalse(self.session.dialog_open("NOTE:"))

    def test_q_plays_at_44100_samples_a_second_centred_at_volume_80(self):
        pressed, released = self.hold("q", 0.5)
        time.sleep(0.3)
        recording = self.recorder.recording()
        onset = self.onset_after(recording, pressed, "pressing Q")
        start, end = onset + 0.1, released
        self.assertAlmostEqual(recording.frequency(start, end), 660.0, delta=660.0 * 0.01)
        self.assertAlmostEqual(recording.rms_db(start, end, "left"), A440_HALF_SCALE_DB + VOLUME_80_DB, delta=0.3)
        self.assertAlmostEqual(recording.balance_db(start, end), 0.0, delta=0.3)

    def test_grave_plays_an_octave_down_on_the_left_and_stops_at_release(self):
        pressed, released = self.hold("grave", 0.7)
        time.sleep(0.6)
        recording = self.recorder.recording()
        onset = self.onset_after(recording, pressed, "pressing the grave-accent key")
        start, end = onset + 0.1, released
        self.assertAlmostEqual(recording.frequency(start, end, "left"), 220.0, delta=220.0 * 0.01)
        left = recording.rms_db(start, end, "left")
        self.assertAlmostEqual(left, A440_HALF_SCALE_DB + VOLUME_100_DB, delta=0.3)
        self.assertAlmostEqual(recording.rms_db(start, end, "right") - left, PAN_50_RIGHT_DB, delta=1.0)
        silent_from = recording.silence_after(released)
        self.assertIsNotNone(silent_from, "still sounding 0.6 s after the release")
        self.assertLess(silent_from - released, 0.4)

    def test_a_hold_and_finish_key_plays_its_pass_to_the_end_after_release(self):
        pressed, released = self.hold("q", SHORT_HOLD)
        time.sleep(1.4)
        recording = self.recorder.recording()
        onset = self.onset_after(recording, pressed, "pressing Q")
        # The 1-second sound goes on well past the release...
        self.assertGreater(recording.rms_db(released + 0.45, onset + 0.9), -40.0,
                           "Q fell silent at the release instead of finishing its pass")
        # ...and ends with its pass: one second after it began, not looping on.
        silent_from = recording.silence_after(onset + 0.5)
        self.assertIsNotNone(silent_from, "Q was still sounding at the end of the recording")
        self.assertAlmostEqual(silent_from - onset, 1.0, delta=0.1)

    def test_a_toggle_key_latches_and_its_next_press_stops_it(self):
        first, _ = self.hold("s", SHORT_HOLD)
        time.sleep(1.5)  # longer than the sound: it loops while latched
        second, _ = self.hold("s", SHORT_HOLD)
        time.sleep(0.6)
        recording = self.recorder.recording()
        onset = self.onset_after(recording, first, "the first press of S")
        self.assertAlmostEqual(recording.frequency(onset + 0.1, second), 880.0, delta=880.0 * 0.01)
        self.assertGreater(recording.rms_db(second - 0.3, second), -30.0, "S stopped before its second press")
        silent_from = recording.silence_after(second)
        self.assertIsNotNone(silent_from, "S was still sounding after its second press")
        self.assertLess(silent_from - second, 0.4)

    def test_kill_all_silences_every_sounding_key(self):
        self.hold("s", SHORT_HOLD)              # latched toggle
        self.session.key_down("grave")          # held
        time.sleep(0.6)
        killed = self.recorder.mark()
        self.session.chord("Control_L", "k")
        time.sleep(0.6)
        self.session.key_up("grave")
        recording = self.recorder.recording()
        self.assertGreater(recording.rms_db(killed - 0.3, killed), -30.0, "nothing was sounding before Kill All")
        silent_from = recording.silence_after(killed)
        self.assertIsNotNone(silent_from, "still sounding after Kill All")
        self.assertLess(silent_from - killed, 0.5)

    def test_a_broken_sound_leaves_its_key_silent_and_the_others_playing(self):
        broken, _ = self.hold("a", SHORT_HOLD)  # sound 2 is the text file
        time.sleep(0.6)
        working, _ = self.hold("s", SHORT_HOLD)
        time.sleep(0.5)
        recording = self.recorder.recording()
        self.assertLess(recording.rms_db(broken, working), -60.0, "the key of the broken sound made a sound")
        onset = self.onset_after(recording, working, "pressing S")
        self.assertAlmostEqual(recording.frequency(onset + 0.1, onset + 0.4), 880.0, delta=880.0 * 0.01)


if __name__ == "__main__":
    unittest.main()
