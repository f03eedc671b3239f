"""Every dialog hands the keyboard back: the first key pressed after any dialog
closes plays at once. And the about box closes at a click or a key."""

import unittest

from rig.case import QuillpadTestCase
from rig.setup_bytes import compose_setup, start_up_keys
from rig.sound import make_sine
from rig.steps import MESSAGE_TEXT, short_folder
from rig.windows import DIALOG_CLASS
from rig.wine_prefix import windows_path

TAP = 0.3


class KeysAfterDialogsTest(QuillpadTestCase):
    def assert_key_plays(self, after_what):
        """The grave-accent key (hold-and-stop) sounds at once and stops at its release."""
        pressed, _ = self.session.press_for("grave", TAP)
        onset = self.recorder.sound_within(pressed, f"pressing a key {after_what}")
        self.recorder.wait_for_silence(onset, f"releasing the key {after_what}")

    def open_about_box(self):
        s = self.session
        known = s.untitled_windows()
        self.quillpad.choose_menu_item("Help", "About Quillpad...")
        about = s.wait_untitled_window(known, "about box", windows_class=DIALOG_CLASS)
        about.wait_focus()
        return about

    def test_a_key_plays_right_after_every_kind_of_dialog(self):
        q, s = self.quillpad, self.session
        root = short_folder(self)
        sounds = root / "sounds"
        make_sine(sounds / "a_440.wav", 440.0, seconds=1.0)
        empty = root / "empty.qpd"
        empty.write_bytes(b"")
        moved = root / "moved.qpd"
        moved.write_bytes(compose_setup(start_up_keys(), 10, windows_path(root / "gone")))
        q.start()
        self.recorder = s.start_recording()

        q.import_sounds(sounds, "a_440.wav")
        self.assert_key_plays("after the Import Sounds dialog")

        q.shortcut("o")  # the import changed the setup: first the save-changes prompt
        q.dismiss(q.wait_dialog("NOTE:"), "Escape")
        self.assert_key_plays("after the save-changes prompt")

        q.shortcut("s")
        q.choose_path("Save Setup", root / "saved.qpd")
        q.wait_title("saved.qpd  using:  sounds")
        self.assert_key_plays("after the Save Setup dialog")

        q.shortcut("o")
        q.dismiss(q.wait_dialog("Open Setup"), "Escape")
        self.assert_key_plays("after the Open Setup dialog")

        q.open_setup(empty)
        message = q.wait_dialog("NOTE:")
        self.assertEqual(q.dialog_texts("NOTE:").get(MESSAGE_TEXT), "Error reading file.")
        q.dismiss(message, "Return")
        self.assert_key_plays("after a message")

        q.open_setup(moved)
        question = q.wait_dialog("NOTE:")
        self.assertTrue(q.dialog_texts("NOTE:").get(MESSAGE_TEXT).startswith("Problem locating sound directory:"))
        q.dismiss(question, "Escape")
        self.assert_key_plays("after a question")

        about = self.open_about_box()
        s.click(300, 100)  # anywhere: the box has the mouse
        about.wait_closed()
        s.main.wait_focus()
        self.assert_key_plays("after the about box closed at a click")

        for keysym in ("Escape", "Return"):
            about = self.open_about_box()
            s.xdotool("key", keysym)
            about.wait_closed()
            s.main.wait_focus()
            self.assert_key_plays(f"after the about box closed at {keysym}")


if __name__ == "__main__":
    unittest.main()
