"""Setup documents: Save As, Open, the save-changes prompt and a missing sound folder,
driven through the program's real dialogs."""

import shutil
import tempfile
import time
import unittest
from pathlib import Path

from harness import QuillpadTestCase, make_sine, wait_until, windows_path
from setup_bytes import (FIXED_SIZE, FOLDER_LENGTH_OFFSET, MASTER_VOLUME_OFFSET, compose_setup, folder_of,
                         key_record, start_up_keys, with_key)

SOUND_LIST_X = 530
SOUND_ROW_HEIGHT = 14
SOUND_LIST_TOP = 2


def sound_row_centre(row):
    return SOUND_LIST_X, SOUND_LIST_TOP + SOUND_ROW_HEIGHT * row + SOUND_ROW_HEIGHT // 2


def dialog_texts(session, title):
    """Control id -> text of the dialog's child controls (line breaks restored)."""
    lines = session.run_probe("texts", title) or []
    texts = {}
    for line in lines:
        ident, _, rest = line.partition(" ")
        _, _, text = rest.partition(" ")
        texts[int(ident)] = unescape(text)
    return texts


def unescape(text):
    """Undoes the probe's escapes: \\n, \\r, \\t and \\\\."""
    out = []
    i = 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"n": "\n", "r": "\r", "t": "\t"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def short_folder(test):
    """A folder with a short path: a setup file holds at most 126 bytes of sound folder,
    and the test's own folder under the build tree can be deeper than that."""
    folder = Path(tempfile.mkdtemp(prefix="qp-e2e-"))
    test.addCleanup(shutil.rmtree, folder, True)
    return folder


class SetupFileTest(QuillpadTestCase):
    MESSAGE_TEXT = 1002

    def setUp(self):
        super().setUp()
        self.root = short_folder(self)
        self.sounds = self.root / "sounds"
        # Sorted by name: a_440.wav is sound 0, b_660.wav sound 1.
        make_sine(self.sounds / "a_440.wav", 440.0, seconds=1.0)
        make_sine(self.sounds / "b_660.wav", 660.0, seconds=1.0)

    def assert_no_dialog_appears(self, title, seconds=1.5, why=""):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.assertFalse(self.session.dialog_open(title), f'a "{title}" dialog appeared {why}')
            time.sleep(0.1)

    def wait_title(self, expected):
        main = self.session.main
        try:
            wait_until(lambda: main.title() == expected, 5, what="the window title")
        except TimeoutError:
            pass
        self.assertEqual(main.title(), expected)

    def exit_without_prompt(self, why):
        self.session.chord("Control_L", "q")
        code = self.session.wait_program_exit(10)
        prompt = self.session.dialog_open("NOTE:")
        self.assertFalse(prompt, f"Ctrl+Q asked to save changes {why}")
        self.assertEqual(code, 0, f"the program did not end with code 0 after Ctrl+Q {why}")

    def test_save_as_writes_the_setup_and_open_brings_it_back(self):
        s = self.session
        setup = self.root / "live.qpd"
        folder = windows_path(self.sounds)
        self.start()
        s.import_sounds(self.sounds, "a_440.wav")
        # Key 0 is selected at start-up: clicking row 1 gives it b_660.wav.
        s.click(*sound_row_centre(1))
        s.chord("Control_L", "s")  # an untitled setup is saved through Save As
        dialog = s.wait_dialog("Save Setup")
        s.type_text(windows_path(setup))
        s.xdotool("key", "Return")
        wait_until(lambda: not dialog.visible(), 10, what="the Save Setup dialog to close")
        wait_until(setup.exists, 5, what="the setup file")
        self.wait_title("live.qpd  using:  sounds")

        data = setup.read_bytes()
        n = len(folder.encode("latin-1"))
        self.assertEqual(len(data), FIXED_SIZE + n)
        self.assertEqual(data[:2], bytes([0x1F, 0x3B]))
        self.assertEqual(key_record(data, 0), (48, 992, 1, -1, 100, 50), "key 0: note, mode, sound, -1, volume, pan")
        self.assertEqual(data[MASTER_VOLUME_OFFSET:MASTER_VOLUME_OFFSET + 2], bytes([0x00, 0x0A]))
        self.assertEqual(data[FOLDER_LENGTH_OFFSET], n + 1)
        self.assertEqual(folder_of(data), folder)
        # Every other field as the start-up key bank holds it.
        expected = compose_setup(with_key(start_up_keys(), 0, sound_index=1), 10, folder)
        self.assertEqual(data, expected)

        # The save cleared the modified flag: leaving asks nothing.
        self.exit_without_prompt("right after saving")

        self.start()
        s.open_setup(setup)
        self.wait_title("live.qpd  using:  sounds")

        recorder = s.start_recording()
        pressed = recorder.mark()
        s.key_down("grave")
        time.sleep(0.6)
        released = recorder.mark()
        s.key_up("grave")
        time.sleep(0.3)
        recording = s.stop_recording()
        onset = recording.onset(pressed)
        self.assertIsNotNone(onset, "key 0 is silent after opening the setup")
        # b_660.wav an octave down at key 0's note 48; sound 0 would give 220 Hz.
        self.assertAlmostEqual(recording.frequency(onset + 0.1, released, "left"), 330.0, delta=3.3)

        # Loading the folder marks the setup modified, the completed open clears it again.
        self.exit_without_prompt("right after opening a setup")

    def test_save_changes_prompt_on_exit_and_save_setup_only_when_modified(self):
        s = self.session
        self.start()
        s.chord("Control_L", "s")
        self.assert_no_dialog_appears("Save Setup", why="on Ctrl+S with nothing modified")

        s.import_sounds(self.sounds, "a_440.wav")  # loading a sound folder marks the setup modified
        s.chord("Control_L", "s")
        s.wait_dialog("Save Setup")
        s.xdotool("key", "Escape")
        wait_until(lambda: not s.dialog_open("Save Setup"), 10, what="the Save Setup dialog to close")

        s.chord("Control_L", "q")
        s.wait_dialog("NOTE:")
        texts = dialog_texts(s, "NOTE:")
        self.assertEqual(texts.get(self.MESSAGE_TEXT), 'Save changes to "Untitled"?')
        self.assertEqual(sorted(texts.get(i) for i in (1007, 2, 3)), ["Cancel", "Don't Save", "Save"])
        s.xdotool("key", "Escape")  # Cancel
        wait_until(lambda: not s.dialog_open("NOTE:"), 10, what="the prompt to close")
        time.sleep(0.5)
        self.assertTrue(s.program_running(), "Cancel in the save-changes prompt ended the program")
        self.assertTrue(s.main.visible())

        # Save, then cancelling the Save As dialog, stops the exit as well.
        s.chord("Control_L", "q")
        s.wait_dialog("NOTE:")
        s.xdotool("key", "Return")
        s.wait_dialog("Save Setup")
        s.xdotool("key", "Escape")
        wait_until(lambda: not s.dialog_open("Save Setup"), 10, what="the Save Setup dialog to close")
        time.sleep(0.5)
        self.assertTrue(s.program_running(), "a cancelled save let the program end")
        self.assertFalse(s.dialog_open("NOTE:"))

        s.chord("Control_L", "q")
        s.wait_dialog("NOTE:")
        # Tab order: Save, Cancel, Don't Save.
        s.xdotool("key", "Tab")
        s.xdotool("key", "Tab")
        s.xdotool("key", "space")
        self.assertEqual(s.wait_program_exit(10), 0, "Don't Save did not end the program")
        self.assertEqual(sorted(p.name for p in self.root.rglob("*.qpd")), [], "a setup file was written")

    def test_missing_sound_folder_asks_with_its_full_path(self):
        s = self.session
        gone = windows_path(self.root / "gone")
        setup = self.root / "moved.qpd"
        setup.write_bytes(compose_setup(start_up_keys(), 10, gone))
        self.start()
        s.open_setup(setup)
        s.wait_dialog("NOTE:")
        texts = dialog_texts(s, "NOTE:")
        self.assertEqual(texts.get(self.MESSAGE_TEXT),
                         f"Problem locating sound directory:\n{gone}\nDo you want to try and find it?")
        self.assertEqual(texts.get(1), "OK")
        self.assertEqual(texts.get(2), "Cancel")
        s.xdotool("key", "Escape")
        wait_until(lambda: not s.dialog_open("NOTE:"), 10, what="the question to close")
        time.sleep(0.5)
        self.assertTrue(s.program_running(), "Cancel ended the program")
        self.assertEqual(s.main.title(), "Quillpad Beta A", "the title changed though no sound folder was loaded")
        self.assertFalse(s.dialog_open("Import Sounds"))
        # The reader cleared the modified flag and Cancel leaves it clear.
        self.exit_without_prompt("after cancelling the missing-folder question")


if __name__ == "__main__":
    unittest.main()
