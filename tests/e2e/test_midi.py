"""Playing from a MIDI controller, through the rig's virtual MIDI input: notes
play their keys as the computer keys do, at their velocity, learnt notes are
kept, "None" ignores notes, panic messages, a flood and an unplugged controller
leave nothing sounding."""

import random
import unittest

from rig.case import PanelTestCase
from rig.midi import INPUT_NAME
from rig.panel import KEY_IDLE, KEY_PLAYING, KEY_RUNNING, trigger_button_centre
from rig.sound import LATE, make_sine
from rig.steps import short_folder

# The default map from C2 in row order: note 36 plays key 0 (the grave-accent
# key: sound 0 at note 48, hold-and-stop, pan 50), 40 key 4 (hold-and-stop),
# 49 key 13 (Q: sound 1 at note 60, hold-and-finish), 62 key 26 (A: sound 2,
# toggle-and-stop), 63 key 27 (S: sound 3, toggle-and-stop).
GRAVE, KEY_4, Q, A, S = 36, 40, 49, 62, 63
VELOCITY_64_DB = -11.65  # the velocity curve at 64: 0.01 + 0.99 * (64/127)^2
SHORT_HOLD = 0.3
LEARN_TITLE = "Play a MIDI note for the selected key..."
TITLE = "Untitled  using:  sounds"
FLOOD_EVENTS = 10000
# Ten thousand key presses take the program a few seconds under Wine, from
# MIDI as from the computer keyboard.
FLOOD_HANDLED = 15.0


class MidiTest(PanelTestCase):
    VIRTUAL_MIDI = True

    def setUp(self):
        super().setUp()
        self.midi = self.session.midi
        self.sounds = short_folder(self) / "sounds"
        make_sine(self.sounds / "a_440.wav", 440.0, seconds=1.0, amplitude=0.5)
        # At note 60 every sound plays 44100 samples a second: this one at 660 Hz, its pass lasting one second.
        make_sine(self.sounds / "b_330_half_rate.wav", 330.0, rate=22050, seconds=2.0, amplitude=0.5)
        make_sine(self.sounds / "c_550.wav", 550.0, seconds=1.0, amplitude=0.5)
        make_sine(self.sounds / "d_880.wav", 880.0, seconds=1.0, amplitude=0.5)
        self.quillpad.start()
        self.quillpad.import_sounds(self.sounds, "a_440.wav")
        self.quillpad.wait_title(TITLE)
        self.recorder = self.session.start_recording()

    def note_for(self, note, seconds, velocity=127):
        """A note held for `seconds`; the recording times of its note-on and note-off."""
        on = self.recorder.mark()
        self.midi.note_on(note, velocity)
        self.recorder.wait_for_sound(on, f"note {note}")
        # The duration of the hold is what is played.
        self.recorder.recording_until(on + seconds)
        off = self.recorder.mark()
        self.midi.note_off(note)
        return on, off

    def midi_menu(self):
        items = self.quillpad.open_submenu("Functions", "MIDI Input")
        self.quillpad.close_menus()
        return items

    def test_the_menu_lists_the_virtual_input_with_every_device_in_use(self):
        items = self.midi_menu()
        self.assertEqual(items, [("All Devices", True, True), (INPUT_NAME, True, False), ("None", True, False),
                                 ("Velocity", True, True), ("Learn MIDI Note\tCtrl+L", True, False),
                                 ("Reset MIDI Map", True, False)])

    def test_a_note_plays_its_keys_sound_at_its_pitch_and_lights_its_cap(self):
        on = self.recorder.mark()
        self.midi.note_on(GRAVE)
        onset = self.recorder.sound_within(on, "note 36")
        self.shows(lambda shot: self.assert_key_cap(shot, 0, True, KEY_PLAYING), "key cap 0 playing")
        recording = self.recorder.recording_until(onset + 0.6)
        self.assertAlmostEqual(recording.frequency(onset + 0.1, onset + 0.6, "left"), 220.0, delta=2.2)
        off = self.recorder.mark()
        self.midi.note_off(GRAVE)
        self.recorder.silence_within(off, "the note-off of note 36")
        self.shows(lambda shot: self.assert_key_cap(shot, 0, True, KEY_IDLE), "key cap 0 idle after the note-off")

    def test_note_offs_follow_the_hold_modes(self):
        # Hold-and-finish: the note-off lets the one-second pass play to its end.
        on, off = self.note_for(Q, SHORT_HOLD)
        onset = self.recorder.wait_for_sound(on, "note 49")
        silent_from = self.recorder.wait_for_silence(onset + 0.5, "the end of Q's pass")
        self.assertAlmostEqual(self.recorder.recording().sounding_seconds(onset, silent_from), 1.0, delta=0.1)
        # A velocity-0 note-on is a note-off too: hold-and-stop stops at once.
        on = self.recorder.mark()
        self.midi.note_on(GRAVE)
        self.recorder.sound_within(on, "note 36")
        off = self.recorder.mark()
        self.midi.note_on(GRAVE, 0)
        self.recorder.silence_within(off, "note 36 at velocity 0")

    def test_note_offs_follow_the_toggle_modes(self):
        # Toggle-and-stop: latched by the first note, whose note-off changes nothing; stopped by the next.
        on, _ = self.note_for(A, SHORT_HOLD)
        onset = self.recorder.wait_for_sound(on, "note 62")
        recording = self.recorder.recording_until(onset + 1.5)
        self.assertGreater(recording.rms_db(onset + 1.2, onset + 1.5), -30.0, "A stopped at its note-off")
        self.shows(lambda shot: self.assert_key_cap(shot, 26, False, KEY_RUNNING), "key cap 26 latched")
        second = self.recorder.mark()
        self.midi.note_on(A)
        self.recorder.silence_within(second, "the second note 62")
        self.midi.note_off(A)

        # Toggle-and-finish, chosen for key 27: the second note lets the pass play to its end.
        self.click_key_cap(27)
        self.session.click(*trigger_button_centre("LOOP4"))
        self.shows(lambda shot: self.assert_trigger_light(shot, "LOOP4"), "toggle-and-finish lit")
        on, _ = self.note_for(S, SHORT_HOLD)
        onset = self.recorder.wait_for_sound(on, "note 63")
        self.recorder.recording_until(onset + 1.2)
        second = self.recorder.mark()
        self.midi.note_on(S)
        silent_from = self.recorder.wait_for_silence(second, "the end of S's last pass")
        self.assertGreater(silent_from - second, LATE, "S stopped at once instead of finishing its pass")
        self.assertLess(silent_from - second, 1.0 + LATE, "S went on looping")
        self.midi.note_off(S)

    def test_velocity_64_is_heard_at_the_curves_level_below_127(self):
        levels = {}
        for velocity in (127, 64):
            on, off = self.note_for(GRAVE, 0.8, velocity)
            onset = self.recorder.wait_for_sound(on, f"note 36 at velocity {velocity}")
            self.recorder.silence_within(off, f"the note-off at velocity {velocity}")
            levels[velocity] = self.recorder.recording().level_db(onset + 0.1, off, "left")
        self.assertAlmostEqual(levels[64] - levels[127], VELOCITY_64_DB, delta=0.5)

    def test_a_learnt_note_plays_its_key_and_is_kept_after_a_restart(self):
        q = self.quillpad
        self.click_key_cap(27)  # S: sound 3, 880 Hz, toggle-and-stop
        q.shortcut("l")
        q.wait_title(LEARN_TITLE)
        self.session.xdotool("key", "Escape")  # cancelled: nothing is bound
        q.wait_title(TITLE)
        q.shortcut("l")
        q.wait_title(LEARN_TITLE)
        self.click_key_cap(27)  # a click cancels too
        q.wait_title(TITLE)
        ignored = self.recorder.mark()
        self.midi.note_on(90)
        self.midi.note_off(90)
        recording = self.recorder.recording_until(ignored + LATE + 0.2)
        self.assertLess(recording.rms_db(ignored, ignored + LATE + 0.2), -60.0, "note 90 played before it was learnt")

        q.shortcut("l")
        q.wait_title(LEARN_TITLE)
        on = self.recorder.mark()
        self.midi.note_on(90)
        onset = self.recorder.sound_within(on, "note 90 while learning")
        q.wait_title(TITLE)
        self.midi.note_off(90)
        recording = self.recorder.recording_until(onset + 0.5)
        self.assertAlmostEqual(recording.frequency(onset + 0.1, onset + 0.5), 880.0, delta=8.8)
        second = self.recorder.mark()
        self.midi.note_on(90)  # the toggle's second press
        self.recorder.silence_within(second, "note 90 again")
        self.midi.note_off(90)

        setup = self.sounds.parent / "learnt.qpd"
        q.save_as(setup)
        self.assertEqual(q.exit_program(), 0)
        q.start()
        q.open_setup(setup)
        q.wait_title("learnt.qpd  using:  sounds")
        on = self.recorder.mark()
        self.midi.note_on(90)
        onset = self.recorder.sound_within(on, "note 90 after the restart")
        recording = self.recorder.recording_until(onset + 0.5)
        self.assertAlmostEqual(recording.frequency(onset + 0.1, onset + 0.5), 880.0, delta=8.8)

    def test_none_ignores_notes_until_the_input_is_chosen_again(self):
        q = self.quillpad
        q.choose_submenu_item("Functions", "MIDI Input", "None")
        self.assertIn(("None", True, True), self.midi_menu())
        ignored = self.recorder.mark()
        self.midi.note_on(GRAVE)
        recording = self.recorder.recording_until(ignored + LATE + 0.2)
        self.assertLess(recording.rms_db(ignored, ignored + LATE + 0.2), -60.0, "a note played with None chosen")
        self.midi.note_off(GRAVE)

        q.choose_submenu_item("Functions", "MIDI Input", INPUT_NAME)
        self.assertIn((INPUT_NAME, True, True), self.midi_menu())
        on = self.recorder.mark()
        self.midi.note_on(GRAVE)
        self.recorder.sound_within(on, f"note 36 with {INPUT_NAME} chosen")
        self.midi.note_off(GRAVE)

    def test_all_notes_off_silences_every_note_held(self):
        on = self.recorder.mark()
        for note in (GRAVE, KEY_4, GRAVE + 7):
            self.midi.note_on(note)
        self.recorder.sound_within(on, "three notes held")
        panic = self.recorder.mark()
        self.midi.control(123)
        self.recorder.silence_within(panic, "All Notes Off")

    def test_unplugging_the_controller_stops_the_note_it_held_at_once(self):
        on = self.recorder.mark()
        self.midi.note_on(GRAVE)  # a hold-and-stop key: it loops until its note-off
        self.recorder.sound_within(on, "note 36 held")
        pulled = self.recorder.mark()
        self.midi.unplug()
        self.recorder.silence_within(pulled, f"{INPUT_NAME} unplugged with note 36 held")

    def test_a_flood_of_ten_thousand_events_leaves_nothing_sounding_once_every_note_is_off(self):
        # Only the hold keys have sounds here: a latched toggle key would rightly sound on.
        hold_keys_only = short_folder(self) / "hold"
        hold_keys_only.mkdir()
        for name in ("a_440.wav", "b_330_half_rate.wav"):
            (hold_keys_only / name).write_bytes((self.sounds / name).read_bytes())
        self.quillpad.import_sounds(hold_keys_only, "a_440.wav")
        self.quillpad.wait_title("Untitled  using:  hold")
        # Notes of the hold keys, notes of keys without a sound and notes that
        # play no key, running status, realtime and system exclusive bytes, and
        # words of any bytes at all.
        chance = random.Random(7)
        events = []
        for _ in range(FLOOD_EVENTS):
            kind = chance.random()
            note = chance.choice([chance.randrange(36, 62), chance.randrange(0, 128)])
            if kind < 0.35:
                events.append([0x90 | chance.randrange(16), note, chance.randrange(1, 128)])
            elif kind < 0.6:
                events.append([0x80 | chance.randrange(16), note, 0])
            elif kind < 0.7:
                events.append([note, chance.randrange(128)])  # running status
            elif kind < 0.8:
                events.append([chance.choice([0xF8, 0xFE, 0xF0, 0xF7, 0xF2, 0xC0, 0xE0])])
            else:
                events.append(chance.getrandbits(32))
        flood = self.recorder.mark()
        for start in range(0, FLOOD_EVENTS, 1000):  # ten thousand in a second
            self.midi.send(*events[start:start + 1000])
            self.recorder.recording_until(flood + (start + 1000) / FLOOD_EVENTS)
        self.recorder.wait_for_sound(flood, "the flood")
        self.midi.send(*[[0x80, note, 0] for note in range(128)])
        all_off = self.recorder.mark()
        # The program works through the flood in its own time (its cost is
        # measured in docs/performance.md), then every key falls silent: a
        # hold-and-stop key left held would loop on for ever.
        silent_from = self.recorder.wait_for_silence(all_off, "every note off after the flood", timeout=FLOOD_HANDLED)
        recording = self.recorder.recording_until(silent_from + 1.5)
        self.assertLess(recording.rms_db(silent_from, silent_from + 1.5), -60.0, "a key sounded again")
        # Still playing, from the computer keyboard and from MIDI.
        pressed, _ = self.session.press_for("grave", SHORT_HOLD)
        self.recorder.sound_within(pressed, "the grave-accent key after the flood")
        self.note_for(GRAVE, SHORT_HOLD)


if __name__ == "__main__":
    unittest.main()
