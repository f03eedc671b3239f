"""The front panel as drawn on the screen: key caps, selection frame, trigger light,
readouts, bar meters and the pan knob, checked pixel by pixel in client coordinates."""

import unittest

from rig.case import QuillpadTestCase
from rig.screen import resource_bitmap
from rig.session import windows_path
from rig.setup_bytes import TOGGLE_FINISH_RUNNING, compose_setup, start_up_keys, with_key
from rig.sound import make_sine
from rig.steps import short_folder
from rig.waits import eventually

YELLOW = (255, 255, 0)
BAR_EMPTY = (0, 34, 0)
NOTE_BAR = (0, 255, 51)
FINE_TUNE_BAR = (102, 204, 51)
VOLUME_BAR = (153, 204, 255)
VOLUME_HOT_BAR = (255, 0, 0)

READOUT = ((0, 102, 0), (0, 200, 0))
READOUT_HOT = ((102, 0, 0), (255, 0, 0))
KEY_IDLE = ((0, 49, 0), (255, 255, 0))
KEY_PLAYING = ((0, 49, 90), (0, 148, 255))
KEY_RUNNING = ((90, 0, 0), (255, 0, 0))

CAP_SIZE = 30
TRIGGER_BUTTONS = {"LOOP1": (196, 62), "LOOP2": (227, 62), "LOOP3": (196, 98), "LOOP4": (227, 98)}

NOTE_READOUT = (300, 12, 326, 24)
FINE_TUNE_READOUT = (342, 12, 368, 24)
VOLUME_READOUT = (416, 12, 442, 24)
NOTE_BAR_RECT = (312, 29, 323, 114)
FINE_TUNE_BAR_RECT = (344, 29, 355, 114)
VOLUME_BAR_RECT = (428, 29, 439, 114)
MASTER_BAR_RECT = (23, 267, 26, 312)

BACKGROUND = resource_bitmap("BACKGROUND")


def key_cap_origin(k):
    for first, count, x, y in ((0, 13, 5, 191), (13, 13, 52, 222), (26, 11, 68, 253), (37, 10, 84, 284)):
        if first <= k < first + count:
            return x + 31 * (k - first), y
    raise ValueError(k)


def label_rect(k):
    """The label box of key cap k, (3, 3, 27, 12) of the cap, in client coordinates."""
    x, y = key_cap_origin(k)
    return x + 3, y + 3, x + 27, y + 12


def bar_fill(range_top, value, rect):
    """Filled height of a bar meter: integer arithmetic, truncating toward zero."""
    left, top, right, bottom = rect
    scale = int((bottom * 100 - top * 100) / range_top)
    return int((scale + 2) * value / 100)


class PanelTestCase(QuillpadTestCase):
    def shows(self, check, what, timeout=5):
        """Until a screenshot passes check(shot): the panel is drawn when the
        program gets to it, so a test waits for the picture it expects."""
        return eventually(lambda: check(self.session.client_shot()), timeout, what)

    def assert_two_colours(self, shot, rect, colours, what):
        """Every pixel is the background or the text colour of a style, and both occur."""
        background, text = colours
        seen = {colour for _, colour in shot.pixels(rect)}
        self.assertEqual(seen, {background, text}, f"{what}: colours {sorted(seen)}, expected {colours}")

    def assert_key_cap(self, shot, k, selected, label_colours):
        """A key cap: the panel background under it, with the 3-pixel yellow frame when
        selected and its label in the given style."""
        x, y = key_cap_origin(k)
        label = label_rect(k)
        wrong = []
        for (px, py), colour in shot.pixels((x, y, x + CAP_SIZE, y + CAP_SIZE)):
            if label[0] <= px < label[2] and label[1] <= py < label[3]:
                continue
            on_ring = min(px - x, py - y, x + CAP_SIZE - 1 - px, y + CAP_SIZE - 1 - py) < 3
            expected = YELLOW if selected and on_ring else BACKGROUND.pixel(px, py)
            if colour != expected:
                wrong.append(((px, py), colour, expected))
        self.assertEqual(wrong[:5], [], f"key cap {k} ({'selected' if selected else 'not selected'}): "
                                        f"{len(wrong)} pixels differ (position, seen, expected)")
        self.assert_two_colours(shot, label, label_colours, f"label of key cap {k}")

    def assert_bar(self, shot, rect, filled, colour, what):
        left, top, right, bottom = rect
        filled = min(filled, bottom - top)  # a value past the range fills the whole bar
        column = [shot.pixel(left + (right - left) // 2, y) for y in range(top, bottom)]
        expected = [BAR_EMPTY] * (bottom - top - filled) + [colour] * filled
        self.assertEqual(column, expected, f"{what}: expected {filled} filled pixels of {colour}")
        for (px, py), seen in shot.pixels(rect):
            self.assertEqual(seen, column[py - top], f"{what}: bar not even across at ({px}, {py})")

    def assert_image(self, shot, origin, bitmap, what):
        ox, oy = origin
        wrong = [(x, y) for y in range(bitmap.height) for x in range(bitmap.width)
                 if shot.pixel(ox + x, oy + y) != bitmap.pixel(x, y)]
        self.assertEqual(wrong[:5], [], f"{what}: {len(wrong)} pixels differ from the image")

    def assert_background(self, shot, origin, size, what):
        ox, oy = origin
        wrong = [(x, y) for y in range(oy, oy + size[1]) for x in range(ox, ox + size[0])
                 if shot.pixel(x, y) != BACKGROUND.pixel(x, y)]
        self.assertEqual(wrong[:5], [], f"{what}: {len(wrong)} pixels differ from the panel background")

    def assert_trigger_light(self, shot, lit):
        for name, origin in TRIGGER_BUTTONS.items():
            if name == lit:
                self.assert_image(shot, origin, resource_bitmap(name), f"lit trigger button {name}")
            else:
                self.assert_background(shot, origin, (30, 30), f"released trigger button {name}")

    def assert_pan_knob(self, shot, pan):
        x = 184 + 3 * (pan // 2) // 5
        image = "PANLEFT" if pan < 100 else "PANCENTER" if pan == 100 else "PANRIGHT"
        self.assert_image(shot, (x, 18), resource_bitmap(image), f"pan knob for pan {pan}")

    def assert_key_display(self, shot, note, fine_tune, volume, pan, lit):
        """Everything shown for the selected key."""
        self.assert_two_colours(shot, NOTE_READOUT, READOUT, "note readout")
        self.assert_two_colours(shot, FINE_TUNE_READOUT, READOUT, "fine tune readout")
        hot = volume > 100
        self.assert_two_colours(shot, VOLUME_READOUT, READOUT_HOT if hot else READOUT, "volume readout")
        self.assert_bar(shot, NOTE_BAR_RECT, bar_fill(127, note, NOTE_BAR_RECT), NOTE_BAR, "note bar")
        self.assert_bar(shot, FINE_TUNE_BAR_RECT, bar_fill(200, fine_tune + 100, FINE_TUNE_BAR_RECT), FINE_TUNE_BAR,
                        "fine tune bar")
        self.assert_bar(shot, VOLUME_BAR_RECT, bar_fill(400, volume, VOLUME_BAR_RECT),
                        VOLUME_HOT_BAR if hot else VOLUME_BAR, "volume bar")
        self.assert_trigger_light(shot, lit)
        self.assert_pan_knob(shot, pan)

    def click_key_cap(self, k):
        x, y = key_cap_origin(k)
        self.session.click(x + 15, y + 20)


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
