"""Playing keys after Import Sounds: what comes out of the sound card, through
each of the two outputs."""

import unittest

from rig.case import QuillpadTestCase
from rig.sound import LATE, make_sine
from rig.steps import SOUND_LIST_TOP, SOUND_LIST_X, SOUND_ROW_HEIGHT
from rig.waits import eventually

# Start-up layout: key 0 (the grave-accent key) plays sound 0 at note 48, volume 100,
# pan 50, hold-and-stop; key 13 (Q) sound 1 at note 60, volume 80, centred,
# hold-and-finish; key 26 (A) sound 2 and key 27 (S) sound 3 at note 60, toggle-and-stop.
A440_HALF_SCALE_DB = -9.03  # RMS of a sine at half of full scale
VOLUME_100_DB = -8.90
VOLUME_80_DB = -18.15
PAN_50_RIGHT_DB = -50.00
# A tap of a key (the test display does not auto-repeat held keys).
SHORT_HOLD = 0.3

SELECTED_ROW = (155, 155, 155)


class PlayingTest(QuillpadTestCase):
    """Through the low-latency output; PlayingWithDirectSoundTest below runs
    every test again through DirectSound."""

    OUTPUT = "wasapi"

    def setUp(self):
        super().setUp()
        self.sounds = self.session.work_dir / "sounds"
        # Sorted by name, these are sounds 0, 1, 2 and 3.
        make_sine(self.sounds / "a_440.wav", 440.0, seconds=1.0, amplitude=0.5)
        # Recorded at half the rate: at note 60 every sound plays 44100 samples a
        # second, so this one sounds an octave up, at 660 Hz, and its two seconds
        # pass in one.
        make_sine(self.sounds / "b_330_half_rate.wav", 330.0, rate=22050, seconds=2.0, amplitude=0.5)
        (self.sounds / "c_not_a_wave.wav").write_text("this is a text file with a .wav name\n")
        make_sine(self.sounds / "d_880.wav", 880.0, seconds=1.0, amplitude=0.5)
        self.quillpad.choose_output(self.OUTPUT)
        self.quillpad.start()
        self.assertEqual(self.quillpad.low_latency_output_on(), self.OUTPUT == "wasapi",
                         f"the {self.OUTPUT} output is not the one playing")
        self.quillpad.import_sounds(self.sounds, "a_440.wav")
        self.recorder = self.session.start_recording()

    def test_import_names_the_folder_in_the_title_and_shows_no_message(self):
        self.assertEqual(self.quillpad.title(), "Untitled  using:  sounds")
        # The text file among the sounds is skipped silently.
        self.assertFalse(self.quillpad.dialog_open("NOTE:"))

    def test_q_plays_at_44100_samples_a_second_centred_at_volume_80(self):
        pressed, released = self.session.press_for("q", 0.5)
        onset = self.recorder.sound_within(pressed, "pressing Q")
        recording = self.recorder.recording_until(released)
        start, end = onset + 0.1, released
        self.assertAlmostEqual(recording.frequency(start, end), 660.0, delta=660.0 * 0.01)
        self.assertAlmostEqual(recording.level_db(start, end, "left"), A440_HALF_SCALE_DB + VOLUME_80_DB, delta=0.3)
        self.assertAlmostEqual(recording.balance_db(start, end), 0.0, delta=0.3)

    def test_grave_plays_an_octave_down_on_the_left_and_stops_at_release(self):
        pressed, released = self.session.press_for("grave", 0.7)
        onset = self.recorder.sound_within(pressed, "pressing the grave-accent key")
        self.recorder.silence_within(released, "releasing the grave-accent key")
        recording = self.recorder.recording()
        start, end = onset + 0.1, released
        self.assertAlmostEqual(recording.frequency(start, end, "left"), 220.0, delta=220.0 * 0.01)
        left = recording.level_db(start, end, "left")
        self.assertAlmostEqual(left, A440_HALF_SCALE_DB + VOLUME_100_DB, delta=0.3)
        self.assertAlmostEqual(recording.level_db(start, end, "right") - left, PAN_50_RIGHT_DB, delta=1.0)

    def test_a_hold_and_finish_key_plays_its_pass_to_the_end_after_release(self):
        pressed, released = self.session.press_for("q", SHORT_HOLD)
        onset = self.recorder.sound_within(pressed, "pressing Q")
        # The 1-second sound ends with its pass, one second after it began, not looping on.
        silent_from = self.recorder.wait_for_silence(onset + 0.5, "the end of Q's pass")
        recording = self.recorder.recording()
        self.assertAlmostEqual(recording.sounding_seconds(onset, silent_from), 1.0, delta=0.1)
        self.assertGreater(recording.rms_db(released + 0.45, onset + 0.9), -40.0,
                           "Q fell silent at the release instead of finishing its pass")

    def test_a_toggle_key_latches_and_its_next_press_stops_it(self):
        first, _ = self.session.press_for("s", SHORT_HOLD)
        onset = self.recorder.sound_within(first, "the first press of S")
        # It loops while latched: still sounding well past the 1-second sound's end.
        recording = self.recorder.recording_until(onset + 1.5)
        self.assertGreater(recording.rms_db(onset + 1.2, onset + 1.5), -30.0, "S stopped at the end of its sound")
        self.assertAlmostEqual(recording.frequency(onset + 0.1, onset + 1.5), 880.0, delta=880.0 * 0.01)
        second, _ = self.session.press_for("s", SHORT_HOLD)
        self.recorder.silence_within(second, "the second press of S")

    def test_kill_all_silences_every_sounding_key(self):
        s = self.session
        latched, _ = self.session.press_for("s", SHORT_HOLD)
        self.recorder.sound_within(latched, "latching S")
        held = self.recorder.mark()
        s.key_down("grave")
        self.recorder.sound_within(held, "holding the grave-accent key")
        killed = self.recorder.mark()
        self.quillpad.shortcut("k")
        self.recorder.silence_within(killed, "Kill All")
        s.key_up("grave")

    def test_a_broken_sound_leaves_its_key_silent_and_the_others_playing(self):
        broken, _ = self.session.press_for("a", SHORT_HOLD)  # sound 2 is the text file
        recording = self.recorder.recording_until(broken + LATE + 0.2)
        self.assertLess(recording.rms_db(broken, broken + LATE + 0.2), -60.0, "the key of the broken sound sounded")
        working, _ = self.session.press_for("s", SHORT_HOLD)
        onset = self.recorder.sound_within(working, "pressing S")
        recording = self.recorder.recording_until(onset + 0.4)
        self.assertAlmostEqual(recording.frequency(onset + 0.1, onset + 0.4), 880.0, delta=880.0 * 0.01)

    def test_alt_mutes_a_sounding_key_while_it_is_held(self):
        s = self.session
        latched, _ = self.session.press_for("s", SHORT_HOLD)
        self.recorder.sound_within(latched, "latching S")
        s.press_modifier("Alt_L")
        muted = self.recorder.mark()
        s.key_down("s")  # Alt + S: the latched loop goes on, silently
        self.recorder.silence_within(muted, "Alt + S on the latched key")
        unmuted = self.recorder.mark()
        s.key_up("s")  # released with Alt still down: heard again
        self.recorder.sound_within(unmuted, "releasing S with Alt held")
        s.key_up("Alt_L")
        stopped, _ = self.session.press_for("s", SHORT_HOLD)  # still latched: the next press stops it
        self.recorder.silence_within(stopped, "the second press of S")

    def test_held_keys_are_released_when_another_program_takes_the_keyboard(self):
        s = self.session
        pressed = self.recorder.mark()
        s.key_down("grave")  # hold-and-stop
        onset = self.recorder.sound_within(pressed, "holding the grave-accent key")
        other = s.start_other_program()
        taken = self.recorder.mark()
        silent_from = self.recorder.wait_for_silence(onset, "another program taking the keyboard")
        self.assertLess(silent_from, taken + LATE, "the held key sounded on after another program took the keyboard")
        s.key_up("grave")  # goes to the other program
        s.end_other_program(other)
        s.click_on_screen(*s.main.caption_point())  # the player comes back to Quillpad
        s.main.wait_focus()

        pressed = self.recorder.mark()
        s.key_down("q")  # hold-and-finish: its 1-second pass plays to the end, not looping on
        onset = self.recorder.sound_within(pressed, "holding Q")
        other = s.start_other_program()
        silent_from = self.recorder.wait_for_silence(onset + 0.5, "the end of Q's pass")
        self.assertAlmostEqual(self.recorder.recording().sounding_seconds(onset, silent_from), 1.0, delta=0.1)
        s.key_up("q")
        s.end_other_program(other)

    def test_a_latched_key_falls_silent_on_import_and_starts_again_at_its_next_press(self):
        latched, _ = self.session.press_for("s", SHORT_HOLD)
        self.recorder.sound_within(latched, "latching S")
        importing = self.recorder.mark()
        self.quillpad.import_sounds(self.sounds, "a_440.wav")
        imported = self.recorder.mark()
        # It plays on while the dialog is up and stops with the import.
        silent_from = self.recorder.wait_for_silence(importing, "importing the sounds again")
        self.assertLess(silent_from, imported + LATE, "still sounding after the import")
        pressed, _ = self.session.press_for("s", SHORT_HOLD)  # idle again: this press starts it
        self.recorder.sound_within(pressed, "pressing S after the import")

    def test_keys_play_while_the_sound_list_has_the_focus_and_typing_leaves_its_selection(self):
        s = self.session
        self.quillpad.choose_sound(3)  # key 0 gets d_880.wav; the list takes the focus
        self.assertEqual(s.foreground()[0], "Quillpad")
        self.assertEqual(self.focused_control(), "ListBox")

        def row_selected(row):
            shot = s.client_shot()
            return shot.pixel(SOUND_LIST_X + 50, SOUND_LIST_TOP + SOUND_ROW_HEIGHT * row + 1) == SELECTED_ROW
        eventually(lambda: self.assertTrue(row_selected(3)), 5, "the clicked row to show as selected")

        pressed, released = self.session.press_for("grave", 0.5)
        onset = self.recorder.sound_within(pressed, "pressing the grave-accent key with the list focused")
        recording = self.recorder.recording_until(released)
        self.assertAlmostEqual(recording.frequency(onset + 0.1, released, "left"), 440.0, delta=4.4)
        for letter in ("a", "b", "c"):  # the first letters of the other rows; their keys have no sound
            s.tap(letter)
        # Keys are handled in order: once this one sounds, the letters have been handled.
        pressed, _ = self.session.press_for("grave", SHORT_HOLD)
        self.recorder.sound_within(pressed, "pressing the grave-accent key after typing")
        self.assertTrue(row_selected(3), "typing moved the list's selection")
        self.assertFalse(any(row_selected(row) for row in (0, 1, 2)), "typing selected another row")

    def focused_control(self):
        line = self.session.run_probe("foreground")[0]
        return line.rsplit(" ", 1)[1]


class PlayingWithDirectSoundTest(PlayingTest):
    OUTPUT = "directsound"


if __name__ == "__main__":
    unittest.main()
