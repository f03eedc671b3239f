"""Names in any script: sounds, sound folders and setups named in Japanese, Greek
or French are listed, played, opened and saved under their own names, and a
setup an older version stored in the legacy code page still finds its folder."""

import unittest

from rig.case import QuillpadTestCase
from rig.setup_bytes import compose_setup, start_up_keys, with_key
from rig.sound import make_sine
from rig.steps import make_two_sounds, short_folder
from rig.waits import wait_until
from rig.wine_prefix import windows_path


class NamesInAnyScriptTest(QuillpadTestCase):
    def setUp(self):
        super().setUp()
        self.root = short_folder(self)

    def assert_key_0_plays(self, hz, why):
        """Key 0 (hold, note 48) plays its sound an octave down."""
        pitch = self.quillpad.pitch_of_key("grave", f"pressing the grave-accent key {why}", channel="left")
        self.assertAlmostEqual(pitch, hz / 2, delta=hz / 200, msg=why)

    def test_sounds_named_in_any_script_are_listed_under_their_names_and_each_plays(self):
        q, s = self.quillpad, self.session
        folder = self.root / "names"
        made = {"\u65e5\u672c.wav": 440.0, "\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac.wav": 550.0,
                "\u00e9t\u00e9.wav": 660.0}
        for name, hz in made.items():
            make_sine(folder / name, hz, seconds=0.5)
        q.start()
        # Import takes the folder of the name typed; the file itself need not be there.
        q.import_sounds(folder, "any.wav")
        q.wait_title("Untitled  using:  names")
        names = q.sound_names()
        self.assertEqual(sorted(names), sorted(made))
        s.start_recording()
        # Key 0 plays sound 0 an octave down, key 13 sound 1 and key 26 sound 2 at their pitch.
        heard = [q.pitch_of_tap("grave"), q.pitch_of_tap("q"), q.pitch_of_tap("a")]
        heard[0] = heard[0] * 2 if heard[0] else None
        for name, pitch in zip(names, heard):
            self.assertIsNotNone(pitch, f"{name} stayed silent")
            self.assertAlmostEqual(pitch, made[name], delta=made[name] / 100, msg=f"{name}: pitches heard {heard}")

    def test_a_kit_in_a_japanese_folder_opens_from_the_command_line_plays_saves_and_opens_again(self):
        q, s = self.quillpad, self.session
        kit = self.root / "\u65e5\u672c\u306e\u30ad\u30c3\u30c8"  # 日本のキット
        sounds = make_two_sounds(kit / "\u97f3")  # 音
        setup = kit / "\u30e9\u30a4\u30d6.qpd"  # ライブ.qpd
        setup.write_bytes(compose_setup(start_up_keys(), 10, windows_path(sounds)))
        title = f"{setup.name}  using:  {sounds.name}"

        q.start(windows_path(setup))
        q.wait_title(title)
        s.start_recording()
        self.assert_key_0_plays(440.0, "as opened")
        q.choose_sound(1)  # key 0 gets b_660.wav
        q.shortcut("s")
        saved = compose_setup(with_key(start_up_keys(), 0, sound_index=1), 10, windows_path(sounds))
        wait_until(lambda: setup.read_bytes() == saved, 10, f"{setup.name} to be saved with its folder in UTF-8")
        self.assertEqual(q.exit_program(), 0)

        q.start(windows_path(setup))
        q.wait_title(title)
        s.start_recording()
        self.assert_key_0_plays(660.0, "as saved")

    def test_an_older_setup_with_its_folder_in_the_legacy_code_page_finds_that_folder(self):
        q, s = self.quillpad, self.session
        sounds = make_two_sounds(self.root / "Musique \u00e9t\u00e9")
        # Not beside the folder, where a kit that travelled would find it by its name.
        setup = self.root / "setups" / "old.qpd"
        setup.parent.mkdir()
        setup.write_bytes(compose_setup(start_up_keys(), 10, windows_path(sounds), encoding="cp1252"))
        q.start(windows_path(setup))
        q.wait_title(f"old.qpd  using:  {sounds.name}")
        s.start_recording()
        self.assert_key_0_plays(440.0, "from the folder the older setup names")


if __name__ == "__main__":
    unittest.main()
