"""The front panel as drawn on the screen: key caps, selection frame, trigger light,
readouts, bar meters and the pan knob, checked pixel by pixel in client coordinates."""

import unittest

from rig.case import PanelTestCase
from rig.panel import KEY_IDLE, KEY_PLAYING, KEY_RUNNING, MASTER_BAR_RECT, YELLOW, bar_fill
from rig.setup_bytes import TOGGLE_FINISH_RUNNING, compose_setup, start_up_keys, with_key
from rig.sound import make_sine
from rig.steps import short_folder
from rig.wine_prefix import windows_path


class KeyCapsAndReadoutsTest(PanelTestCase):
    def test_start_up_shows_key_0_selected_with_its_settings(self):
        self.quillpad.start()

        def start_up_panel(shot):
            self.assert_key_cap(shot, 0, True, KEY_IDLE)
            for k in (1, 13, 26, 46):
                self.assert_key_cap(shot, k, False, KEY_IDLE)
            # Key 0: note 48, fine tune 0, volume 100, pan 50, hold-and-stop.
            self.assert_key_display(shot, note=48, fine_tune=0, volume=100, pan=50, lit="LOOP1")
            self.assert_bar(shot, MASTER_BAR_RECT, 45, YELLOW, "master volume bar at 10")
        self.shows(start_up_panel, "the start-up panel")

    def test_clicking_key_cap_13_moves_the_frame_and_leaves_the_setup_unmodified(self):
        q = self.quillpad
        q.start()
        self.click_key_cap(13)

        def key_13_selected(shot):
            self.assert_key_cap(shot, 13, True, KEY_IDLE)
            self.assert_key_cap(shot, 0, False, KEY_IDLE)
            # Key 13: note 60 (a 40-pixel bar), volume 80, centred, hold-and-finish.
            self.assert_key_display(shot, note=60, fine_tune=0, volume=80, pan=100, lit="LOOP3")
        self.shows(key_13_selected, "key 13 selected on the panel")
        self.assertEqual(q.exit_program(), 0, "Ctrl+Q after selecting a key did not simply exit")

    def test_opened_setup_shows_a_loud_key_in_red(self):
        q = self.quillpad
        sounds = short_folder(self) / "sounds"
        make_sine(sounds / "a_440.wav", 440.0, seconds=0.5)
        keys = with_key(start_up_keys(), 0, note=127, fine_tune=-100, volume=150, pan=200,
                        trigger_mode=TOGGLE_FINISH_RUNNING)
        setup = sounds.parent / "loud.qpd"
        setup.write_bytes(compose_setup(keys, 5, windows_path(sounds)))
        q.start()
        q.open_setup(setup)
        q.wait_title("loud.qpd  using:  sounds")

        def loud_key_0(shot):
            self.assert_key_display(shot, note=127, fine_tune=-100, volume=150, pan=200, lit="LOOP4")
            self.assert_bar(shot, MASTER_BAR_RECT, bar_fill(10, 5, MASTER_BAR_RECT), YELLOW, "master volume bar at 5")
            # Saved while latched, the key opens idle.
            self.assert_key_cap(shot, 0, True, KEY_IDLE)
        self.shows(loud_key_0, "the opened setup's key 0")

        self.click_key_cap(1)
        self.shows(lambda shot: self.assert_key_display(shot, note=49, fine_tune=0, volume=100, pan=50, lit="LOOP1"),
                   "key 1 of the opened setup")


class KeyCapColoursTest(PanelTestCase):
    def test_label_colours_follow_the_sound(self):
        q, s = self.quillpad, self.session
        sounds = s.work_dir / "sounds"
        for name, freq in (("a.wav", 440.0), ("b.wav", 550.0), ("c.wav", 660.0)):
            make_sine(sounds / name, freq, seconds=0.5)
        q.start()
        q.import_sounds(sounds, "a.wav")

        s.key_down("1")  # key 1: hold-and-stop
        self.shows(lambda shot: self.assert_key_cap(shot, 1, False, KEY_PLAYING), "key cap 1 playing")
        s.key_up("1")
        self.shows(lambda shot: self.assert_key_cap(shot, 1, False, KEY_IDLE), "key cap 1 idle after release")

        s.tap("a")  # key 26: a toggle, latched by the first press
        self.shows(lambda shot: self.assert_key_cap(shot, 26, False, KEY_RUNNING), "key cap 26 latched")
        s.tap("a")
        self.shows(lambda shot: self.assert_key_cap(shot, 26, False, KEY_IDLE), "key cap 26 idle again")


if __name__ == "__main__":
    unittest.main()
