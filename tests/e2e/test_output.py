"""The Low-Latency Output item of the Functions menu: it shows which output
plays, switches at once and is remembered from one start to the next."""

import unittest

from rig.case import QuillpadTestCase
from rig.sound import LATE, make_sine
from rig.steps import short_folder


class OutputTest(QuillpadTestCase):
    def restart(self):
        """Ctrl+Q, which with no unsaved changes ends the program without a
        question, and a new start in the same Wine prefix."""
        self.assertEqual(self.quillpad.exit_program(), 0,
                         "the program asked something or did not end: the switch touched the modified flag")
        self.quillpad.start()

    def test_low_latency_output_switches_at_once_and_is_remembered_after_a_restart(self):
        q, s = self.quillpad, self.session
        sounds = short_folder(self)
        make_sine(sounds / "a_440.wav", 440.0, seconds=1.0, amplitude=0.5)
        make_sine(sounds / "b_880.wav", 880.0, seconds=1.0, amplitude=0.5)
        make_sine(sounds / "c_330.wav", 330.0, seconds=1.0, amplitude=0.5)
        make_sine(sounds / "d_550.wav", 550.0, seconds=1.0, amplitude=0.5)  # the S key's
        q.start()
        self.assertTrue(q.low_latency_output_on(), "a first start does not play through the low-latency output")
        q.import_sounds(sounds, "a_440.wav")
        q.choose_sound(1)  # key 0, the selected key, now plays b_880.wav
        s.main.wait_focus()
        q.save_as(sounds / "switching.qpd")  # no unsaved changes from here on

        recorder = s.start_recording()
        latched, _ = s.press_for("s", 0.1)  # a toggle key, latched on
        recorder.sound_within(latched, "latching S")
        choosing = recorder.mark()
        q.choose_menu_item("Functions", "Low-Latency Output")
        chosen = recorder.mark()
        silent_from = recorder.wait_for_silence(choosing, "switching to DirectSound")
        self.assertLess(silent_from, chosen + LATE, "the latched key sounded on after the switch")
        self.assertFalse(q.low_latency_output_on(), "the item stayed checked after switching to DirectSound")

        # The keys kept their settings: key 0 plays its new sound an octave down
        # (440 Hz; its first sound would give 220), through DirectSound.
        pitch = q.pitch_of_key("grave", "the grave-accent key after the switch", channel="left")
        self.assertAlmostEqual(pitch, 440.0, delta=4.4)

        self.restart()
        self.assertFalse(q.low_latency_output_on(), "DirectSound was not remembered")
        q.choose_menu_item("Functions", "Low-Latency Output")
        self.assertTrue(q.low_latency_output_on(), "the item did not switch back to the low-latency output")
        self.restart()
        self.assertTrue(q.low_latency_output_on(), "the low-latency output was not remembered")


if __name__ == "__main__":
    unittest.main()
