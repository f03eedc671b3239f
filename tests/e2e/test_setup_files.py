"""Setup documents: Save As, Open, the save-changes prompt, saves that fail and a
missing sound folder, driven through the program's real dialogs and checked on disk."""

import unittest

from rig.case import QuillpadTestCase
from rig.setup_bytes import (FIXED_SIZE, FOLDER_LENGTH_OFFSET, MASTER_VOLUME_OFFSET, compose_setup, folder_of,
                             key_record, start_up_keys, with_key)
from rig.steps import MESSAGE_TEXT, make_two_sounds, short_folder
from rig.waits import wait_until
from rig.wine_prefix import windows_path

class SetupFileTest(QuillpadTestCase):
    def setUp(self):
        super().setUp()
        self.root = short_folder(self)
        self.sounds = make_two_sounds(self.root / "sounds")

    def exit_without_prompt(self, why):
        code = self.quillpad.exit_program()
        self.assertFalse(self.quillpad.dialog_open("NOTE:"), f"Ctrl+Q asked to save changes {why}")
        self.assertEqual(code, 0, f"the program did not end with code 0 after Ctrl+Q {why}")

    def assert_asks_to_save(self, name, why):
        """Ctrl+Q asks to save the named setup; the prompt is cancelled again."""
        q = self.quillpad
        q.shortcut("q")
        prompt = q.wait_dialog("NOTE:")
        self.assertEqual(q.dialog_texts("NOTE:").get(MESSAGE_TEXT), f'Save changes to "{name}"?', why)
        q.dismiss(prompt, "Escape")

    def save_as(self, setup):
        self.quillpad.save_as(setup)
        self.assertEqual(self.quillpad.title(), f"{setup.name}  using:  sounds")

    def test_save_as_writes_the_setup_and_open_brings_it_back(self):
        q, s = self.quillpad, self.session
        setup = self.root / "live.qpd"
        folder = windows_path(self.sounds)
        q.start()
        q.import_sounds(self.sounds, "a_440.wav")
        # Key 0 is selected at start-up: clicking row 1 gives it b_660.wav.
        q.choose_sound(1)
        self.save_as(setup)

        data = setup.read_bytes()
        n = len(folder.encode("latin-1"))
        self.assertEqual(len(data), FIXED_SIZE + n)
        self.assertEqual(data[:2], bytes([0x1F, 0x3B]))
        self.assertEqual(key_record(data, 0), (48, 992, 1, -1, 100, 50), "key 0: note, mode, sound, -1, volume, pan")
        self.assertEqual(data[MASTER_VOLUME_OFFSET:MASTER_VOLUME_OFFSET + 2], bytes([0x00, 0x0A]))
        self.assertEqual(data[FOLDER_LENGTH_OFFSET], n + 1)
        self.assertEqual(folder_of(data), folder)
        # Every other field as the start-up key bank holds it.
        self.assertEqual(data, compose_setup(with_key(start_up_keys(), 0, sound_index=1), 10, folder))
        self.assertEqual(sorted(p.name for p in self.root.iterdir()), ["live.qpd", "sounds"],
                         "a temporary file was left beside the setup")

        # The save cleared the modified flag: leaving asks nothing.
        self.exit_without_prompt("right after saving")

        q.start()
        q.open_setup(setup)
        q.wait_title("live.qpd  using:  sounds")
        s.start_recording()
        # b_660.wav an octave down at key 0's note 48; sound 0 would give 220 Hz.
        self.assertAlmostEqual(q.pitch_of_key("grave", "pressing the grave-accent key", channel="left"), 330.0,
                               delta=3.3)

        # Loading the folder marks the setup modified, the completed open clears it again.
        self.exit_without_prompt("right after opening a setup")

    def test_save_changes_prompt_on_exit_and_save_setup_only_when_modified(self):
        q = self.quillpad
        q.start()
        # Ctrl+S with nothing modified opens nothing: the Open dialog asked for right
        # after it comes up first, in a program that has handled the Ctrl+S.
        q.shortcut("s")
        q.shortcut("o")
        q.dismiss(q.wait_dialog("Open Setup"), "Escape")
        self.assertFalse(q.dialog_open("Save Setup"))

        q.import_sounds(self.sounds, "a_440.wav")  # loading a sound folder marks the setup modified
        q.shortcut("s")
        q.dismiss(q.wait_dialog("Save Setup"), "Escape")

        q.shortcut("q")
        prompt = q.wait_dialog("NOTE:")
        texts = q.dialog_texts("NOTE:")
        self.assertEqual(texts.get(MESSAGE_TEXT), 'Save changes to "Untitled"?')
        self.assertEqual(sorted(texts.get(i) for i in (1007, 2, 3)), ["Cancel", "Don't Save", "Save"])
        q.dismiss(prompt, "Escape")  # Cancel
        self.assertTrue(self.session.program_running(), "Cancel in the save-changes prompt ended the program")

        # Save, then cancelling the Save As dialog, stops the exit as well.
        q.shortcut("q")
        q.press_in(q.wait_dialog("NOTE:"), "Return")
        q.dismiss(q.wait_dialog("Save Setup"), "Escape")
        self.assertTrue(self.session.program_running(), "a cancelled save let the program end")
        self.assertFalse(q.dialog_open("NOTE:"))

        q.shortcut("q")
        q.wait_dialog("NOTE:")
        # Tab order: Save, Cancel, Don't Save.
        self.session.xdotool("key", "Tab")
        self.session.xdotool("key", "Tab")
        self.session.xdotool("key", "space")
        self.assertEqual(self.session.wait_program_exit(10), 0, "Don't Save did not end the program")
        self.assertEqual(sorted(p.name for p in self.root.rglob("*.qpd")), [], "a setup file was written")

    def test_a_save_that_cannot_write_the_file_keeps_it_and_the_changes(self):
        q, s = self.quillpad, self.session
        setup = self.root / "kept.qpd"
        q.start()
        q.import_sounds(self.sounds, "a_440.wav")
        self.save_as(setup)
        saved = setup.read_bytes()

        q.choose_sound(1)  # a change: key 0 gets sound 1
        # Another program has the file open and lets nobody write it.
        holder = s.hold_file_open(setup)
        q.shortcut("s")
        message = q.wait_dialog("NOTE:")
        self.assertEqual(q.dialog_texts("NOTE:").get(MESSAGE_TEXT), "problem.")
        q.dismiss(message, "Return")
        s.release_file(holder)
        self.assertEqual(setup.read_bytes(), saved, "a failed save changed the setup file")
        self.assert_asks_to_save("kept.qpd", "after a save to a file in use failed")

        setup.unlink()  # gone before Save: Save does not make it again
        q.shortcut("s")
        message = q.wait_dialog("NOTE:")
        self.assertEqual(q.dialog_texts("NOTE:").get(MESSAGE_TEXT), "problem.")
        q.dismiss(message, "Return")
        self.assertEqual(sorted(p.name for p in self.root.iterdir()), ["sounds"], "Save made a file")
        self.assert_asks_to_save("kept.qpd", "after a save to a deleted file failed")

    def test_a_setup_in_a_folder_of_250_characters_saves(self):
        q = self.quillpad
        # Components of at most 50 characters, so the Windows path of the folder is 250 long.
        base = self.root / "deep"
        depth = 250 - len(windows_path(base))
        parts = []
        while depth > 0:
            part = min(50, depth - 1)
            parts.append("d" * part)
            depth -= part + 1
        folder = base.joinpath(*parts)
        folder.mkdir(parents=True)
        self.assertEqual(len(windows_path(folder)), 250)
        setup = folder / "a.qpd"
        sounds = windows_path(self.sounds)
        setup.write_bytes(compose_setup(start_up_keys(), 10, sounds))

        q.start(windows_path(setup))
        q.wait_title("a.qpd  using:  sounds")
        q.choose_sound(1)  # key 0 gets sound 1
        q.shortcut("s")
        expected = compose_setup(with_key(start_up_keys(), 0, sound_index=1), 10, sounds)
        wait_until(lambda: setup.read_bytes() == expected or q.dialog_open("NOTE:"), 10, "the setup file to be saved")
        self.assertFalse(q.dialog_open("NOTE:"), f"saving showed {q.dialog_texts('NOTE:').get(MESSAGE_TEXT)!r}")
        self.exit_without_prompt("after saving into a deep folder")
        self.assertEqual([p.name for p in folder.iterdir()], ["a.qpd"], "a temporary file was left beside the setup")

    def test_missing_sound_folder_asks_with_its_full_path(self):
        q = self.quillpad
        gone = windows_path(self.root / "gone")
        setup = self.root / "moved.qpd"
        setup.write_bytes(compose_setup(start_up_keys(), 10, gone))
        q.start()
        q.open_setup(setup)
        question = q.wait_dialog("NOTE:")
        texts = q.dialog_texts("NOTE:")
        self.assertEqual(texts.get(MESSAGE_TEXT),
                         f"Problem locating sound directory:\n{gone}\nDo you want to try and find it?")
        self.assertEqual(texts.get(1), "OK")
        self.assertEqual(texts.get(2), "Cancel")
        q.dismiss(question, "Escape")
        self.assertEqual(q.title(), "Quillpad Beta A", "the title changed though no sound folder was loaded")
        self.assertFalse(q.dialog_open("Import Sounds"))
        # The reader cleared the modified flag and Cancel leaves it clear.
        self.exit_without_prompt("after cancelling the missing-folder question")


if __name__ == "__main__":
    unittest.main()
