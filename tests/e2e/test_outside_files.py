"""Setups that reach Quillpad from the desktop: the command line, files dropped on
the window, shell shortcuts, and the file type registered at every start."""

import shutil
import subprocess
import unittest

from rig.case import QuillpadTestCase
from rig.paths import exe_path
from rig.setup_bytes import compose_setup, start_up_keys, with_key
from rig.steps import MESSAGE_TEXT, make_two_sounds, short_folder
from rig.waits import wait_until
from rig.wine_prefix import WINE, windows_path

START_TITLE = "Quillpad Beta A"
LONG_NAME = "Live Set With A Rather Long Name.qpd"


class OutsideFilesTest(QuillpadTestCase):
    def setUp(self):
        super().setUp()
        self.root = short_folder(self)
        self.sounds = make_two_sounds(self.root / "sounds")

    def setup_file(self, relative, keys=None):
        """A setup of the start-up keys (or `keys`) using the test's sounds."""
        path = self.root / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(compose_setup(keys or start_up_keys(), 10, windows_path(self.sounds)))
        return path

    def assert_nothing_opened(self, why):
        """The title is still the start-up one, and the next command, Open, is the
        first thing to show a window: nothing was opened and nothing was said."""
        q = self.quillpad
        self.assertEqual(q.title(), START_TITLE, f"something was opened {why}")
        q.shortcut("o")
        q.dismiss(q.wait_dialog("Open Setup"), "Escape")
        self.assertFalse(q.dialog_open("NOTE:"), f"a message came {why}")

    def make_shortcut(self, link, target):
        result = self.session.run_helper("make_shortcut", windows_path(link), windows_path(target))
        self.assertEqual(result.returncode, 0, f"no shortcut made: {result.stderr}")
        return link

    def test_a_command_line_opens_the_named_setup_blanks_and_all(self):
        q, s = self.quillpad, self.session
        setup = self.setup_file("Live Sets/Live Set.qpd", with_key(start_up_keys(), 0, sound_index=1))
        # Wine quotes an argument holding blanks: given as separate words, the
        # program gets the bare path as the whole command line, as from a shortcut.
        q.start(*windows_path(setup).split(" "))
        q.wait_title("Live Set.qpd  using:  sounds")
        s.start_recording()
        # Key 0 plays b_660.wav an octave down, as the setup says.
        self.assertAlmostEqual(q.pitch_of_key("grave", "pressing the grave-accent key", channel="left"), 330.0,
                               delta=3.3)
        self.assertEqual(q.exit_program(), 0)

    def test_a_path_in_quotes_on_the_command_line_opens_the_setup_as_the_bare_path_does(self):
        q = self.quillpad
        setup = self.setup_file("Live Sets/Live Set.qpd")
        # One argument holding blanks: Wine passes it in double quotes, as Windows
        # does for a file dropped on the program's icon or named in a shortcut.
        q.start(windows_path(setup))
        q.wait_title("Live Set.qpd  using:  sounds")

    def test_only_lower_and_upper_case_setup_names_open(self):
        q = self.quillpad
        for name in ("LIVE.QPD", "live.qpd"):
            q.start(windows_path(self.setup_file(f"{name[:4]}/{name}")))
            q.wait_title(f"{name}  using:  sounds")
            self.assertEqual(q.exit_program(), 0)
        q.start(windows_path(self.setup_file("mixed/live.Qpd")))
        self.assert_nothing_opened("from a name ending in .Qpd")

    def test_drops_open_the_first_setup_only_and_ask_before_losing_changes(self):
        q = self.quillpad
        first, second, third = (self.setup_file(f"{n}.qpd") for n in ("First", "Second", "Third"))
        text = self.root / "notes.txt"
        text.write_text("not a setup\n")
        q.start()

        # Files that are no setups are ignored; the drop after them shows they were handled.
        for path in (self.sounds / "a_440.wav", text, self.sounds):
            q.drop_files(path)
        q.drop_files(third)
        q.wait_title("Third.qpd  using:  sounds")
        self.assertFalse(q.dialog_open("NOTE:"))

        q.drop_files(first, second, third)
        q.wait_title("First.qpd  using:  sounds")

        q.choose_sound(1)  # a change: key 0 gets sound 1
        q.drop_files(second)
        prompt = q.wait_dialog("NOTE:")
        self.assertEqual(q.dialog_texts("NOTE:").get(MESSAGE_TEXT), 'Save changes to "First.qpd"?')
        q.dismiss(prompt, "Escape")  # Cancel: the changed setup stays
        self.assertEqual(q.title(), "First.qpd  using:  sounds")
        q.shortcut("s")
        expected = compose_setup(with_key(start_up_keys(), 0, sound_index=1), 10, windows_path(self.sounds))
        wait_until(lambda: first.read_bytes() == expected, 10, "First.qpd to be saved with the kept change")

    def test_a_dropped_setup_named_in_any_script_opens(self):
        q = self.quillpad
        setup = self.setup_file("\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac/\u65e5\u672c.qpd")  # Ελληνικά/日本.qpd
        q.start()
        q.drop_files(setup)
        q.wait_title("\u65e5\u672c.qpd  using:  sounds")
        self.assertFalse(q.dialog_open("NOTE:"))

    def test_a_setup_opened_from_the_desktop_starts_quillpad_with_it(self):
        q, s = self.quillpad, self.session
        setup = self.setup_file("Live Sets/Live Set.qpd", with_key(start_up_keys(), 0, sound_index=1))
        q.start()  # the first start registers the file type
        self.assertEqual(q.exit_program(), 0)
        s.open_through_shell(setup)
        q.wait_title("Live Set.qpd  using:  sounds")
        s.start_recording()
        # Key 0 plays b_660.wav an octave down, as the setup says.
        self.assertAlmostEqual(q.pitch_of_key("grave", "pressing the grave-accent key", channel="left"), 330.0,
                               delta=3.3)

    def test_shortcuts_open_their_setup_under_its_long_name_and_nothing_else(self):
        q = self.quillpad
        setup = self.setup_file(f"Live Sets/{LONG_NAME}")
        to_setup = self.make_shortcut(self.root / "live.lnk", setup)
        to_sound = self.make_shortcut(self.root / "sound.lnk", self.sounds / "a_440.wav")
        q.start(windows_path(to_sound))
        self.assert_nothing_opened("from a shortcut to a sound")
        q.drop_files(to_setup)
        q.wait_title(f"{LONG_NAME}  using:  sounds")
        self.assertEqual(q.exit_program(), 0)

        q.start(windows_path(to_setup))
        q.wait_title(f"{LONG_NAME}  using:  sounds")

    def test_every_start_registers_the_setup_file_type_with_its_own_path(self):
        q = self.quillpad
        q.start()
        program = windows_path(exe_path())
        # For the user, where a standard user on Windows may write, and through the
        # classes root, where Wine looks.
        for root in (r"HKCU\Software\Classes", "HKCR"):
            self.assertEqual(self.registered(root), self.expected_registration(program), root)
        self.assertEqual(q.exit_program(), 0)

        moved = self.root / "Program Files" / "Keys" / "quillpad.exe"
        moved.parent.mkdir(parents=True)
        shutil.copy(exe_path(), moved)
        q.start(exe=moved)
        for root in (r"HKCU\Software\Classes", "HKCR"):
            self.assertEqual(self.registered(root), self.expected_registration(windows_path(moved)), root)

    @staticmethod
    def expected_registration(program):
        return {
            ".qpd": "Quillpad",
            "Quillpad": "Quillpad Setup File",
            r"Quillpad\DefaultIcon": f"{program},1",
            r"Quillpad\shell\open\command": f'"{program}" %1',
        }

    def registered(self, root):
        values = {}
        for key in (".qpd", "Quillpad", r"Quillpad\DefaultIcon", r"Quillpad\shell\open\command"):
            result = subprocess.run([*WINE, "reg", "query", f"{root}\\{key}", "/ve"], env=self.session.env(),
                                    capture_output=True, text=True, timeout=60)
            line = next((l for l in result.stdout.splitlines() if "REG_SZ" in l), None)
            values[key] = line.split("REG_SZ", 1)[1].strip() if line else None
        return values


if __name__ == "__main__":
    unittest.main()
