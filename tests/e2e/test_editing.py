"""Editing keys on the panel with the mouse, as a person does: holding the note
buttons, Ctrl at the press, the trigger-mode, volume and master volume buttons,
dragging the pan knob, then Undo/Redo, Copy and Paste and a saved setup. Judged
by the sound of the keys' next presses, the panel's pixels, the menu and the file."""

import unittest

from rig.case import PanelTestCase
from rig.panel import (FINE_TUNE_UP, KEY_IDLE, MASTER_VOLUME_DOWN, NOTE_DOWN, NOTE_UP, VOLUME_DOWN, VOLUME_RESET,
                       pan_knob_centre, trigger_button_centre)
from rig.setup_bytes import TOGGLE_STOP, compose_setup, start_up_keys, with_key
from rig.sound import LATE, make_sine
from rig.steps import short_folder
from rig.waits import eventually, hold_for
from rig.wine_prefix import windows_path

HALF_SCALE_DB = -9.03  # RMS of a sine at half of full scale
# A key's level at master volume 10, by its volume, and at master volume 9.
VOLUME_DB = {100: -8.90, 99: -9.45, 90: -13.40, 80: -18.15}
MASTER_9_VOLUME_DB = {100: -13.58, 80: -22.35}
# Long enough a press to read a pitch from (the test display does not auto-repeat held keys).
KEY_HOLD = 0.45
# Holding note up on past the note where its repeat stops.
HELD_PAST_UNITY = 0.3
UNDO = ("Undo\tCtrl+Z", True)
REDO = ("Redo\tCtrl+Z", True)


class EditingTest(PanelTestCase):
    def setUp(self):
        super().setUp()
        self.sounds = short_folder(self) / "sounds"
        # Sorted by name: sound 0 for keys 0 to 12, sound 1 for keys 13 to 25, sound 2 for key 26.
        # At note 60 every sound plays 44100 samples a second, as recorded.
        make_sine(self.sounds / "a_440.wav", 440.0, seconds=0.5)
        make_sine(self.sounds / "b_330.wav", 330.0, seconds=1.0)
        make_sine(self.sounds / "c_550.wav", 550.0, seconds=1.0)

    def start_with_sounds(self):
        self.quillpad.start()
        self.quillpad.import_sounds(self.sounds, "a_440.wav")
        self.recorder = self.session.start_recording()

    def assert_pitch(self, keysym, freq, what):
        self.assertAlmostEqual(self.quillpad.pitch_of_key(keysym, what, KEY_HOLD), freq, delta=freq * 0.01, msg=what)

    def assert_undo_item(self, expected, what):
        """The Edit menu's first item, which reads Undo or Redo."""
        first = next((text, enabled) for menu, text, enabled in self.quillpad.menu_items() if menu == "Edit")
        self.assertEqual(first, expected, f"the Edit menu's first item {what}")

    def click_marked(self, centre, holding=None):
        """Clicks a panel button; the recording time once the click is over."""
        if holding:
            self.session.click_holding(holding, *centre)
        else:
            self.session.click(*centre)
        return self.recorder.mark()

    def level_after(self, moment, channel="left"):
        """The steady level that a change made by `moment` has brought: a change of a
        sounding key's volume is heard within LATE."""
        recording = self.recorder.recording_until(moment + LATE + 0.2)
        return recording.steady_level_db(moment + LATE, moment + LATE + 0.2, channel)

    def level_of_q(self, what):
        """Level of key 13 (hold and finish, a one-second pass) at its next press."""
        pressed, _ = self.session.press_for("q", 0.3)
        onset = self.recorder.sound_within(pressed, what)
        level = self.recorder.recording_until(onset + 0.6).steady_level_db(onset + 0.1, onset + 0.6, "left")
        self.recorder.wait_for_silence(onset + 0.5, f"the end of the pass after {what}")
        return level

    def test_note_edits_by_holding_and_with_ctrl_are_heard_and_undone_and_redone(self):
        q, s = self.quillpad, self.session
        self.start_with_sounds()
        self.shows(lambda shot: self.assert_note_bar(shot, 48), "key 0 at note 48")
        self.assert_undo_item(("Undo\tCtrl+Z", False), "before any edit")

        # Held, note up steps from 48 and its repeat stops at 60.
        s.mouse_down(*NOTE_UP)
        self.shows(lambda shot: self.assert_note_bar(shot, 60), "the note to reach 60 while note up is held")
        hold_for(HELD_PAST_UNITY)
        s.mouse_up()
        self.shows(lambda shot: self.assert_note_bar(shot, 60), "the note to stay at 60 after the release")
        # Sound 0 as recorded is note 60; at note 48 it sounded an octave down, 220 Hz.
        self.assert_pitch("grave", 440.0, "the grave-accent key after holding note up")
        self.assert_undo_item(UNDO, "after the hold")

        q.shortcut("z")
        self.shows(lambda shot: self.assert_note_bar(shot, 48), "Ctrl+Z to give key 0 its note 48 back")
        self.assert_undo_item(REDO, "after an Undo")
        self.assert_pitch("grave", 220.0, "the grave-accent key after Undo")
        q.shortcut("z")
        self.shows(lambda shot: self.assert_note_bar(shot, 60), "Ctrl+Z again to bring note 60 back")
        self.assert_undo_item(UNDO, "after a Redo")
        self.assert_pitch("grave", 440.0, "the grave-accent key after Redo")

        # Ctrl held at the press: one step of an octave, from key 25's note 72 down to 60,
        # where the repeat stops; without Ctrl a click moves it by one note.
        self.click_key_cap(25)
        self.shows(lambda shot: self.assert_key_cap(shot, 25, True, KEY_IDLE), "key 25 selected")
        s.click_holding("Control_L", *NOTE_DOWN)
        self.shows(lambda shot: self.assert_note_bar(shot, 60), "Ctrl + note down to step key 25 to note 60")
        self.assert_pitch("backslash", 330.0, "the backslash key after Ctrl + note down")

        # Undo brings the edited key back onto the panel, whichever key is selected.
        self.click_key_cap(0)
        self.shows(lambda shot: self.assert_key_cap(shot, 0, True, KEY_IDLE), "key 0 selected")
        q.shortcut("z")

        def key_25_undone(shot):
            self.assert_key_cap(shot, 25, True, KEY_IDLE)
            self.assert_key_cap(shot, 0, False, KEY_IDLE)
            self.assert_note_bar(shot, 72)
        self.shows(key_25_undone, "Ctrl+Z to select key 25 and give it note 72 back")
        self.assert_pitch("backslash", 660.0, "the backslash key after undoing its edit")
        self.assert_pitch("grave", 440.0, "the grave-accent key, not touched by undoing key 25")

    def test_trigger_mode_volume_and_master_volume_buttons_are_heard(self):
        s = self.session
        self.start_with_sounds()
        rec = self.recorder

        # Key 0 holds and stops: its sound ends at the release.
        pressed, released = s.press_for("grave", 0.3)
        rec.sound_within(pressed, "pressing the grave-accent key")
        rec.silence_within(released, "releasing the grave-accent key")
        s.click(*trigger_button_centre("LOOP3"))  # hold and finish
        self.shows(lambda shot: self.assert_trigger_light(shot, "LOOP3"), "the hold-and-finish light on")
        pressed, released = s.press_for("grave", 0.3)
        onset = rec.sound_within(pressed, "pressing the grave-accent key in hold-and-finish")
        # The half-second sound at note 48 lasts a second, and now plays to its end.
        silent_from = rec.wait_for_silence(onset + 0.5, "the end of the grave-accent key's pass")
        recording = rec.recording()
        self.assertAlmostEqual(recording.sounding_seconds(onset, silent_from), 1.0, delta=0.1)
        self.assertGreater(recording.rms_db(released + LATE, onset + 0.9), -40.0,
                           "the key fell silent at the release though it now finishes its pass")

        # Key 13 (volume 80) before the master volume changes.
        q_before = self.level_of_q("pressing Q")
        self.assertAlmostEqual(q_before, HALF_SCALE_DB + VOLUME_DB[80], delta=0.3)

        # Key 26 latched, looping at volume 100: each volume button is heard at once.
        self.click_key_cap(26)
        self.shows(lambda shot: self.assert_key_cap(shot, 26, True, KEY_IDLE), "key 26 selected")
        pressed, _ = s.press_for("a", 0.3)
        onset = rec.sound_within(pressed, "latching A")
        start = rec.recording_until(onset + 0.4).steady_level_db(onset + 0.1, onset + 0.4, "left")
        self.assertAlmostEqual(start, HALF_SCALE_DB + VOLUME_DB[100], delta=0.3)

        down = self.level_after(self.click_marked(VOLUME_DOWN))
        self.shows(lambda shot: self.assert_volume_bar(shot, 99), "volume down to 99")
        self.assertAlmostEqual(start - down, VOLUME_DB[100] - VOLUME_DB[99], delta=0.1, msg="a click on volume down")
        reset = self.level_after(self.click_marked(VOLUME_RESET))
        self.shows(lambda shot: self.assert_volume_bar(shot, 100), "volume reset to 100")
        self.assertAlmostEqual(reset, start, delta=0.1, msg="volume reset")
        down = self.level_after(self.click_marked(VOLUME_DOWN, holding="Control_L"))
        self.shows(lambda shot: self.assert_volume_bar(shot, 90), "Ctrl + volume down to 90")
        self.assertAlmostEqual(reset - down, VOLUME_DB[100] - VOLUME_DB[90], delta=0.15,
                               msg="Ctrl + volume down")
        reset = self.level_after(self.click_marked(VOLUME_RESET))
        self.assertAlmostEqual(reset, start, delta=0.1, msg="volume reset after Ctrl + volume down")

        # Master volume down lowers every key: the sounding one at once, the others at their next press.
        master = self.level_after(self.click_marked(MASTER_VOLUME_DOWN))
        self.shows(lambda shot: self.assert_master_bar(shot, 9), "master volume down to 9")
        self.assertAlmostEqual(reset - master, VOLUME_DB[100] - MASTER_9_VOLUME_DB[100], delta=0.15,
                               msg="master volume down on the latched key")
        pressed, _ = s.press_for("a", 0.3)
        rec.silence_within(pressed, "unlatching A")
        q_after = self.level_of_q("pressing Q after master volume down")
        self.assertAlmostEqual(q_before - q_after, VOLUME_DB[80] - MASTER_9_VOLUME_DB[80], delta=0.15,
                               msg="master volume down on key 13")

    def test_a_pan_drag_moves_the_next_press_right_and_leaves_the_setup_unmodified(self):
        q, s = self.quillpad, self.session
        setup = self.sounds.parent / "pan.qpd"
        setup.write_bytes(compose_setup(start_up_keys(), 10, windows_path(self.sounds)))
        q.start()
        q.open_setup(setup)
        q.wait_title("pan.qpd  using:  sounds")  # opened, so not modified
        self.recorder = s.start_recording()

        self.click_key_cap(13)
        self.shows(lambda shot: self.assert_pan_knob(shot, 100), "key 13's pan knob in the centre")
        x, y = pan_knob_centre(100)
        s.mouse_down(x, y)
        s.mouse_move(x + 30, y)  # 10/3 pan units a pixel: from 100 to 200
        self.shows(lambda shot: self.assert_pan_knob(shot, 200), "the knob following the pointer to pan 200")
        s.mouse_up()
        self.shows(lambda shot: self.assert_pan_knob(shot, 200), "the knob staying at pan 200 after the release")

        pressed, _ = s.press_for("q", KEY_HOLD)
        onset = self.recorder.sound_within(pressed, "pressing Q after the drag")
        recording = self.recorder.recording_until(onset + 0.5)
        right = recording.steady_level_db(onset + 0.1, onset + 0.5, "right")
        self.assertAlmostEqual(right, HALF_SCALE_DB + VOLUME_DB[80], delta=0.3)
        self.assertLess(recording.steady_level_db(onset + 0.1, onset + 0.5, "left") - right, -60.0,
                        "Q is heard on the left after a drag to the right")
        self.recorder.wait_for_silence(onset + 0.5, "the end of Q's pass")

        self.assertEqual(q.shown_menu_item("File", "Save Setup..."), ("Save Setup...\tCtrl+S", False),
                         "a pan drag enabled Save")
        self.assert_undo_item(("Undo\tCtrl+Z", False), "after a pan drag, which leaves nothing to undo")
        code = q.exit_program()
        self.assertFalse(q.dialog_open("NOTE:"), "closing after a pan drag asked to save changes")
        self.assertEqual(code, 0, "Ctrl+Q after a pan drag did not simply end the program")

    def test_copy_and_paste_give_a_key_anothers_sound_and_settings_and_a_save_holds_them(self):
        q, s = self.quillpad, self.session
        self.start_with_sounds()
        self.assertEqual(q.menu_item("Edit", "Paste"), ("Paste\tCtrl+V", False), "Paste before any Copy")

        # Key 26 (sound 2, note 60): panned left, fine tune +10, volume 90.
        self.click_key_cap(26)
        self.shows(lambda shot: self.assert_key_cap(shot, 26, True, KEY_IDLE), "key 26 selected")
        x, y = pan_knob_centre(100)
        s.mouse_down(x, y)
        s.mouse_move(x - 20, y)  # from 100 to 100 - 66.7, truncated to 33
        self.shows(lambda shot: self.assert_pan_knob(shot, 33), "the knob following the pointer to pan 33")
        s.mouse_up()
        s.click_holding("Control_L", *FINE_TUNE_UP)
        s.click_holding("Control_L", *VOLUME_DOWN)
        edited = {"note": 60, "fine_tune": 10, "volume": 90, "pan": 33}
        self.shows(lambda shot: self.assert_key_display(shot, lit="LOOP2", **edited), "key 26 edited")

        q.shortcut("c")
        eventually(lambda: self.assertEqual(q.menu_item("Edit", "Paste"), ("Paste\tCtrl+V", True)), 5,
                   "Copy to enable Paste")
        self.click_key_cap(5)
        self.shows(lambda shot: self.assert_key_cap(shot, 5, True, KEY_IDLE), "key 5 selected")
        q.shortcut("v")
        self.shows(lambda shot: self.assert_key_display(shot, lit="LOOP2", **edited), "key 26's settings on key 5")

        # Key 5 now toggles sound 2, 550 Hz raised by fine tune +10 (the rate 44362), on the left at volume 90.
        pressed, _ = s.press_for("5", 0.3)
        onset = self.recorder.sound_within(pressed, "pressing 5 after the paste")
        recording = self.recorder.recording_until(onset + 0.5)
        self.assertAlmostEqual(recording.frequency(onset + 0.1, onset + 0.5, "left"), 550.0 * 44362 / 44100,
                               delta=1.0)
        left = recording.steady_level_db(onset + 0.1, onset + 0.5, "left")
        self.assertAlmostEqual(left, HALF_SCALE_DB + VOLUME_DB[90], delta=0.3)
        self.assertGreater(left - recording.steady_level_db(onset + 0.1, onset + 0.5, "right"), 50.0,
                           "key 5 is not panned left")
        pressed, _ = s.press_for("5", 0.3)
        self.recorder.silence_within(pressed, "the second press of 5")

        s.click(*MASTER_VOLUME_DOWN)
        self.shows(lambda shot: self.assert_master_bar(shot, 9), "master volume down to 9")
        setup = self.sounds.parent / "edited.qpd"
        q.save_as(setup)
        keys = with_key(start_up_keys(), 26, fine_tune=10, volume=90, pan=33)
        keys = with_key(keys, 5, note=60, trigger_mode=TOGGLE_STOP, sound_index=2, fine_tune=10, volume=90, pan=33)
        self.assertEqual(setup.read_bytes(), compose_setup(keys, 9, windows_path(self.sounds)))


if __name__ == "__main__":
    unittest.main()
