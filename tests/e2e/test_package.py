"""The Windows package as a player gets it: what the zip holds, and the demo kit
unzipped into a folder whose path has blanks, started from the command line,
playing on all four rows; moved elsewhere, the kit opens and plays again."""

import os
import re
import shutil
import subprocess
import sys
import unittest
import wave
import zipfile
from pathlib import Path

from rig.case import QuillpadTestCase
from rig.paths import REPO, exe_path
from rig.run_folder import RUN
from rig.setup_bytes import folder_of
from rig.sound import make_sounds_path
from rig.steps import SOUND_LIST_TOP, SOUND_ROW_HEIGHT, short_folder
from rig.waits import wait_until
from rig.wine_prefix import windows_path

VERSION = (REPO / "VERSION").read_text().split()[0]
DEMO_TITLE = "Demo.qpd  using:  Sounds"
# The start-up layout plays sounds 1 to 23: with fewer, some keys would be silent.
DEMO_SOUND_COUNT = 23
# One key of each row: the number row's pad, the Q row's keys, a bass on the
# A row and a hi-hat on the Z row.
ROW_KEYS = (("grave", "the number row"), ("q", "the Q row"), ("a", "the A row"), ("z", "the Z row"))
# A short press, as a player taps a key.
KEY_HOLD = 0.3
# The sound list's left edge (client coordinates) and its background, where
# a row without a sound shows nothing else.
SOUND_LIST_LEFT = 461
PANEL_BACK = (0, 51, 0)
# A key press reaches the recording about 0.2 s later; a sound that has not
# started within this long never will.
LATE = 0.4

_made_packages = []


def package_zip():
    """The package under test: the given zip, else one made once per run with
    the same script as ./quillpad.sh package, from the program under test."""
    given = os.environ.get("QUILLPAD_PACKAGE")
    if given:
        if not Path(given).is_file():
            raise FileNotFoundError(f"no package at {given}: run ./quillpad.sh package")
        return Path(given)
    if not _made_packages:
        tools = make_sounds_path().parent
        if not (tools / "make_demo_setup").is_file():
            raise unittest.SkipTest(f"no packaging tools: {tools / 'make_demo_setup'} is not built "
                                    "(cmake --build --preset native --target make_demo_setup)")
        out = RUN.directory() / "package"
        result = subprocess.run([sys.executable, str(REPO / "tools" / "make_package.py"), "package", "--exe",
                                 str(exe_path()), "--tools", str(tools), "--out", str(out)],
                                capture_output=True, text=True, timeout=300)
        if result.returncode != 0:
            raise RuntimeError(f"tools/make_package.py failed: {result.stderr.strip()}")
        _made_packages.append(out / f"quillpad-{VERSION}-win64.zip")
    return _made_packages[0]


def readme_section(title):
    """The lines of a "## " section of README.md."""
    text = (REPO / "README.md").read_text()
    return re.search(rf"^## {re.escape(title)}\n(.*?)(?=^## |\Z)", text, re.M | re.S).group(1).splitlines()


class PackageTest(QuillpadTestCase):
    def setUp(self):
        self.package = package_zip()  # before the session: a skip costs nothing
        super().setUp()

    def unzip(self, folder):
        with zipfile.ZipFile(self.package) as archive:
            archive.extractall(folder)
        return folder

    def test_the_package_holds_the_program_with_its_version_the_demo_kit_and_a_readme(self):
        with zipfile.ZipFile(self.package) as archive:
            names = sorted(archive.namelist())
            readme = archive.read("README.txt").decode("ascii")
            stamps = {info.date_time for info in archive.infolist()}
        sounds = [n for n in names if n.startswith("Demo Kit/Sounds/") and n != "Demo Kit/Sounds/"]
        self.assertEqual(sorted(set(names) - set(sounds)),
                         ["Demo Kit/", "Demo Kit/Demo.qpd", "Demo Kit/Sounds/", "README.txt", "quillpad.exe"])
        self.assertEqual(len(sounds), DEMO_SOUND_COUNT, sounds)
        self.assertTrue(all(n.endswith(".wav") and "/" not in n[len("Demo Kit/Sounds/"):] for n in sounds), sounds)
        self.assertEqual(len(stamps), 1, f"the entries' times differ: {stamps}")

        unzipped = self.unzip(short_folder(self) / "package")
        for name in sounds:
            with wave.open(str(unzipped / name)) as sound:
                self.assertGreater(sound.getnframes(), 0, name)

        # Notepad's line ends, the version, and the README's words for players.
        self.assertNotIn("\n", readme.replace("\r\n", ""))
        self.assertIn(f"Quillpad {VERSION}", readme)
        self.assertIn(f"quillpad-{VERSION}-win64.zip", readme)
        for line in readme_section("Playing") + readme_section("Download and play on Windows"):
            plain = line.replace("**", "").replace("`", "").rstrip()
            if plain and "<version>" not in plain:
                self.assertIn(plain + "\r\n", readme)

        result = self.session.run_helper("fileversion", windows_path(unzipped / "quillpad.exe"))
        self.assertEqual(result.returncode, 0, f"quillpad.exe has no version resource: {result.stderr}")
        version = dict(line.split("=", 1) for line in result.stdout.splitlines())
        self.assertEqual(version["fixed"], f"{VERSION}.0")
        self.assertEqual(version["ProductName"], "Quillpad")
        self.assertEqual(version["ProductVersion"], VERSION)
        self.assertEqual(version["FileVersion"], VERSION)
        self.assertIn("sample player", version["FileDescription"])

    def test_the_demo_kit_plays_where_it_is_unzipped_and_again_after_it_is_moved(self):
        q = self.quillpad
        root = short_folder(self)
        unzipped = self.unzip(root / "My Downloads" / f"Quillpad {VERSION}")
        program = unzipped / "quillpad.exe"
        setup = unzipped / "Demo Kit" / "Demo.qpd"
        stored = setup.read_bytes()
        # The kit stores a folder that is not where it was unzipped: the one beside it must be found.
        self.assertNotEqual(folder_of(stored), windows_path(unzipped / "Demo Kit" / "Sounds"))
        recorder = self.session.start_recording()

        # Wine quotes an argument holding blanks: given as words, the program
        # gets the bare relative path as its whole command line.
        q.start("Demo", r"Kit\Demo.qpd", cwd=unzipped, exe=program)
        q.wait_title(DEMO_TITLE)
        self.assertFalse(q.dialog_open("NOTE:"), "a question came although the kit's sounds are beside it")
        self.wait_for_the_demo_sounds()
        self.play_each_row(recorder, "in the unzipped folder")
        # Unmodified: the program ends without offering to save, and the file is as it came.
        self.assertEqual(q.exit_program(), 0, "the program did not end at once: it asked something")
        self.assertEqual(setup.read_bytes(), stored)

        moved = root / "Another Place" / "Demo Kit"
        moved.parent.mkdir()
        shutil.move(str(unzipped / "Demo Kit"), str(moved))
        q.start(*windows_path(moved / "Demo.qpd").split(" "), exe=program)
        q.wait_title(DEMO_TITLE)
        self.assertFalse(q.dialog_open("NOTE:"), "a question came for the moved kit")
        self.wait_for_the_demo_sounds()
        self.play_each_row(recorder, "after the kit moved")

        # A change saved: the setup now stores the kit's new place.
        q.choose_sound(0)
        q.shortcut("s")
        new_place = windows_path(moved / "Sounds")
        wait_until(lambda: folder_of((moved / "Demo.qpd").read_bytes()) == new_place, 10,
                   f"Demo.qpd to store {new_place}")
        self.assertEqual(q.exit_program(), 0)

    def wait_for_the_demo_sounds(self):
        """Until the sound list shows the demo's last sound: the title comes as
        the sounds begin to load, the list once they are loaded and the program
        handles keys again."""
        top = SOUND_LIST_TOP + SOUND_ROW_HEIGHT * (DEMO_SOUND_COUNT - 1)
        last_row = (SOUND_LIST_LEFT, top, SOUND_LIST_LEFT + 100, top + SOUND_ROW_HEIGHT)

        def shown():
            return any(colour != PANEL_BACK for _, colour in self.session.client_shot().pixels(last_row))
        wait_until(shown, 10, f"the sound list to show sound {DEMO_SOUND_COUNT}")

    def play_each_row(self, recorder, where):
        s = self.session
        for keysym, row in ROW_KEYS:
            what = f"{keysym} on {row} {where}"
            pressed = recorder.mark()
            s.hold_key(keysym, KEY_HOLD)
            released = recorder.mark()
            onset = recorder.wait_for_sound(pressed, what)
            self.assertLess(onset - pressed, LATE, f"sound came late after {what}")
            # The sound ends (a pass played to its end at the latest) before the next key.
            recorder.wait_for_silence(released, f"releasing {what}")


if __name__ == "__main__":
    unittest.main()
