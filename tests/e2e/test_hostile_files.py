"""Folders and files no one should have to meet: thousands of sounds, names the
program cannot hold, empty files, lying sizes, and files of one kind named as
the other. None may crash or hang the program; each has the outcome noted."""

import shutil
import struct
import unittest

from rig.case import QuillpadTestCase
from rig.input import KEYSYMS
from rig.setup_bytes import compose_setup, start_up_keys
from rig.sound import make_sine
from rig.steps import MESSAGE_TEXT, short_folder

LATE = 0.4
START_TITLE = "Quillpad Beta A"


class HostileFilesTest(QuillpadTestCase):
    def setUp(self):
        super().setUp()
        self.root = short_folder(self)
        self.quillpad.start()
        self.recorder = self.session.start_recording()

    def heard_frequency(self, keysym):
        """The pitch a tap of the key gives, or None when it stays silent."""
        return self.quillpad.pitch_of_tap(keysym, LATE)

    def assert_no_message(self, why):
        """Nothing was said: the next command's dialog is the first window to come."""
        q = self.quillpad
        self.assertFalse(q.dialog_open("NOTE:"), f"a message came {why}")

    def test_two_thousand_sounds_load_and_play(self):
        q = self.quillpad
        folder = self.root / "many"
        make_sine(folder / "0000.wav", 440.0, seconds=0.3)
        for i in range(1, 2000):
            shutil.copyfile(folder / "0000.wav", folder / f"{i:04d}.wav")
        q.import_sounds(folder, "0000.wav")
        q.wait_title("Untitled  using:  many", timeout=60)
        self.assert_no_message("loading 2,000 sounds")
        self.assertAlmostEqual(self.heard_frequency("a"), 440.0, delta=4.4)  # key 26 plays sound 3 of 2,000

    def test_names_of_any_script_and_of_255_characters_are_listed_and_played(self):
        q = self.quillpad
        folder = self.root / "names"
        made = {
            "a.wav": 440.0,
            "\u00e9t\u00e9.wav": 550.0,  # in the legacy ANSI code page of a Western system
            "\u65e5\u672c.wav": 660.0,  # beyond it: the program speaks UTF-8
            # 255 characters: with its folder a path of 284, which the C runtime opens
            # here (Windows does where long paths are enabled).
            "b" * 251 + ".wav": 770.0,
        }
        for name, hz in made.items():
            make_sine(folder / name, hz, seconds=0.5)
        q.import_sounds(folder, "a.wav")
        q.wait_title("Untitled  using:  names")
        self.assert_no_message("importing names it cannot hold")
        # Keys 26..29 play sounds 2..5 at their own pitch; key 0 (sound 0) an octave
        # down; key 13 (sound 1) at its own pitch. Whatever the order of the list,
        # all are heard.
        heard = [self.heard_frequency("grave"), self.heard_frequency("q"), self.heard_frequency("a"),
                 self.heard_frequency("s")]
        heard[0] = heard[0] * 2 if heard[0] else None
        files = sorted(name for name, hz in made.items()
                       for f in heard if f is not None and abs(f - hz) < hz * 0.02)
        self.assertEqual(files, ["a.wav", "b" * 251 + ".wav", "\u00e9t\u00e9.wav", "\u65e5\u672c.wav"],
                         f"pitches heard: {heard}")

    def test_empty_lying_and_misnamed_files_are_silent_and_say_nothing(self):
        q = self.quillpad
        folder = self.root / "broken"
        make_sine(folder / "good.wav", 440.0, seconds=0.5)
        for i in range(3):
            (folder / f"empty{i}.wav").write_bytes(b"")
        lying = bytearray((folder / "good.wav").read_bytes()[:1024])
        struct.pack_into("<I", lying, 40, 1 << 30)  # the data chunk announces 1 GB
        (folder / "lying.wav").write_bytes(bytes(lying))
        (folder / "setup.wav").write_bytes(compose_setup(start_up_keys(), 10, "C:\\Sounds"))
        q.import_sounds(folder, "good.wav")
        q.wait_title("Untitled  using:  broken")
        self.assert_no_message("importing broken files")
        # Sorted: empty0..2, good, lying, setup. Key 0 plays empty0, key 13 empty1,
        # keys 26..29 empty2, good, lying, setup.
        self.assertIsNone(self.heard_frequency("grave"), "an empty file sounded")
        self.assertIsNone(self.heard_frequency("a"), "an empty file sounded")
        self.assertAlmostEqual(self.heard_frequency("s"), 440.0, delta=4.4)
        self.assertIsNone(self.heard_frequency("d"), "a data chunk of 1 GB in 1 KB sounded")
        self.assertIsNone(self.heard_frequency("f"), "a setup file named .wav sounded")

    def test_a_sound_named_as_a_setup_opens_as_a_newer_damaged_setup_and_nothing_breaks(self):
        q, s = self.quillpad, self.session
        sound = make_sine(self.root / "sound.qpd", 440.0, seconds=0.5)
        short = make_sine(self.root / "short.qpd", 440.0, seconds=0.005)
        q.open_setup(short)  # shorter than any setup
        message = q.wait_dialog("NOTE:")
        self.assertEqual(q.dialog_texts("NOTE:").get(MESSAGE_TEXT), "Error reading file.")
        q.press_in(message, "Return")
        # The open goes on with the sound folder it had: none yet.
        question = q.wait_dialog("NOTE:")
        self.assertEqual(q.dialog_texts("NOTE:").get(MESSAGE_TEXT),
                         "Problem locating sound directory:\n\nDo you want to try and find it?")
        q.dismiss(question, "Escape")

        q.open_setup(sound)  # "RIFF" reads as version 21065: newer than this program
        warning = q.wait_dialog("NOTE:")
        self.assertTrue(q.dialog_texts("NOTE:").get(MESSAGE_TEXT).startswith("WARNING: This setup is from a newer"))
        q.press_in(warning, "Return")
        # After the old layout a newer version has tagged sections: here samples, no section at all.
        damaged = q.wait_dialog("NOTE:")
        self.assertEqual(q.dialog_texts("NOTE:").get(MESSAGE_TEXT),
                         "Some settings of this setup could not be read; the keys use their defaults.")
        q.press_in(damaged, "Return")
        question = q.wait_dialog("NOTE:")  # its "sound folder" is sample bytes: not there
        self.assertTrue(q.dialog_texts("NOTE:").get(MESSAGE_TEXT).startswith("Problem locating sound directory:"))
        q.dismiss(question, "Escape")
        # The keys hold whatever the samples said; playing them and opening
        # another setup must still work.
        for keysym in KEYSYMS:
            s.tap(keysym)
        q.shortcut("o")
        q.dismiss(q.wait_dialog("Open Setup"), "Escape")
        self.assertTrue(s.program_running())


if __name__ == "__main__":
    unittest.main()
