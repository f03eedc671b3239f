"""Banks as a performer uses them: F-keys and a MIDI program change show
another layout of the keys, a key held through a switch stops at its release,
and the banks are kept in a setup that opens again after a restart."""

from rig.case import PanelTestCase
from rig.sound import LATE, make_sine
from rig.steps import short_folder

# The start-up layout: the grave-accent key plays sound 0 an octave down
# (note 48) as long as it is held; A (key 26) latches sound 2 at its own pitch.
GRAVE_KEY, A_KEY = 0, 26
A_NOTE = 62  # the default MIDI map plays key A from this note
SOUND_HZ = [440.0, 660.0, 550.0, 880.0]
TITLE = "Untitled  using:  sounds"
# A sine's pitch is read within a hundredth of it.
PITCH_DELTA = 0.01


class BanksTest(PanelTestCase):
    VIRTUAL_MIDI = True

    def setUp(self):
        super().setUp()
        # A setup holds at most 126 bytes of sound folder.
        sounds = short_folder(self) / "sounds"
        for name, freq in zip(("a", "b", "c", "d"), SOUND_HZ):
            make_sine(sounds / f"{name}_{int(freq)}.wav", freq, seconds=2.0, amplitude=0.5)
        self.quillpad.start()
        self.quillpad.import_sounds(sounds, "a_440.wav")
        self.quillpad.wait_title(TITLE)
        self.recorder = self.session.start_recording()

    def show_bank(self, n, title=TITLE):
        self.session.tap(f"F{n}")
        self.quillpad.wait_title(title if n == 1 else f"{title} - Bank {n}")

    def give_a_its_sound(self, bank, sound):
        """Key A of `bank` gets `sound`, chosen as a person does: its bank's F-key,
        a click on its cap and one on the list."""
        self.show_bank(bank)
        self.click_key_cap(A_KEY)
        self.quillpad.choose_sound(sound)

    def assert_a_plays(self, freq, what):
        heard = self.quillpad.pitch_of_tap("a")
        self.assertIsNotNone(heard, f"{what}: nothing heard")
        self.assertAlmostEqual(heard, freq, delta=freq * PITCH_DELTA, msg=what)

    def test_f2_shows_bank_2_for_the_next_press_and_a_key_held_through_the_switch_stops_at_its_release(self):
        s, recorder = self.session, self.recorder
        self.give_a_its_sound(2, 3)
        self.assert_a_plays(SOUND_HZ[3], "A in bank 2")
        self.show_bank(1)
        self.assert_a_plays(SOUND_HZ[2], "A in bank 1")

        pressed = recorder.mark()
        s.key_down("grave")
        recorder.sound_within(pressed, "the grave key held in bank 1")
        self.show_bank(2)
        switched = recorder.mark()
        recording = recorder.recording_until(switched + 0.3)
        self.assertAlmostEqual(recording.frequency(switched, switched + 0.3), SOUND_HZ[0] / 2, delta=3.0,
                               msg="the held key did not go on through the switch")
        released = recorder.mark()
        s.key_up("grave")
        recorder.silence_within(released, "the release of the grave key in bank 2")

    def test_program_change_1_shows_bank_2_checked_in_the_menu_and_named_in_the_title(self):
        self.give_a_its_sound(2, 1)
        self.show_bank(1)
        self.session.midi.send([0xC5, 1])  # program 1 on channel 6
        self.quillpad.wait_title(f"{TITLE} - Bank 2")
        banks = self.quillpad.open_submenu("Functions", "Bank")
        self.quillpad.close_menus()
        self.assertEqual([checked for _, _, checked in banks], [False, True] + [False] * 6)
        self.assertEqual(banks[1][0], "Bank 2\tF2")

        on = self.recorder.mark()
        self.session.midi.note_on(A_NOTE)
        onset = self.recorder.sound_within(on, "A's note in bank 2")
        self.session.midi.note_off(A_NOTE)
        recording = self.recorder.recording_until(onset + 0.4)
        self.assertAlmostEqual(recording.frequency(onset + 0.1, onset + 0.4), SOUND_HZ[1],
                               delta=SOUND_HZ[1] * PITCH_DELTA)

    def test_a_setup_of_three_banks_opens_after_a_restart_with_each_bank_playing_its_own_sound(self):
        q = self.quillpad
        self.give_a_its_sound(2, 3)
        self.give_a_its_sound(3, 0)
        path = self.session.work_dir / "three banks.qpd"
        q.save_as(path)
        self.assertEqual(int.from_bytes(path.read_bytes()[:2], "big"), 8000, "the banks were not written")
        self.assertEqual(q.exit_program(), 0)

        q.start()
        q.open_setup(path)
        title = "three banks.qpd  using:  sounds"
        q.wait_title(title)
        for bank, sound in ((1, 2), (2, 3), (3, 0)):
            if bank > 1:
                self.show_bank(bank, title)
            self.assert_a_plays(SOUND_HZ[sound], f"A in bank {bank} after the restart")
