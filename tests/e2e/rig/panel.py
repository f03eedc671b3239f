"""The front panel as a person sees and uses it: where its controls are, what its
key caps, readouts, bar meters, trigger lights and pan knob look like, and
checks of them pixel by pixel, all in client coordinates."""

from .case import QuillpadTestCase
from .screen import resource_bitmap
from .waits import eventually

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
# Top-left corners of the trigger-mode buttons, by the image that lights them:
# hold-and-stop, toggle-and-stop, hold-and-finish, toggle-and-finish.
TRIGGER_BUTTONS = {"LOOP1": (196, 62), "LOOP2": (227, 62), "LOOP3": (196, 98), "LOOP4": (227, 98)}
TRIGGER_BUTTON_SIZE = 30

NOTE_READOUT = (300, 12, 326, 24)
FINE_TUNE_READOUT = (342, 12, 368, 24)
VOLUME_READOUT = (416, 12, 442, 24)
NOTE_BAR_RECT = (312, 29, 323, 114)
FINE_TUNE_BAR_RECT = (344, 29, 355, 114)
VOLUME_BAR_RECT = (428, 29, 439, 114)
MASTER_BAR_RECT = (23, 267, 26, 312)

# Centres of the buttons a person clicks or holds.
NOTE_UP, NOTE_RESET, NOTE_DOWN = (296, 44), (296, 71), (296, 99)
FINE_TUNE_UP, FINE_TUNE_RESET, FINE_TUNE_DOWN = (370, 44), (370, 71), (370, 99)
VOLUME_UP, VOLUME_RESET, VOLUME_DOWN = (412, 44), (412, 71), (412, 99)
MASTER_VOLUME_UP, MASTER_VOLUME_DOWN = (37, 276), (37, 303)

PAN_KNOB_Y = 18
PAN_KNOB_SIZE = (25, 11)

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


def trigger_button_centre(name):
    x, y = TRIGGER_BUTTONS[name]
    return x + TRIGGER_BUTTON_SIZE // 2, y + TRIGGER_BUTTON_SIZE // 2


def pan_knob_x(pan):
    """Left edge of the pan knob: 0.6 pixel per 2 pan units."""
    return 184 + 3 * (pan // 2) // 5


def pan_knob_centre(pan):
    return pan_knob_x(pan) + PAN_KNOB_SIZE[0] // 2, PAN_KNOB_Y + PAN_KNOB_SIZE[1] // 2


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

    def assert_note_bar(self, shot, note):
        self.assert_bar(shot, NOTE_BAR_RECT, bar_fill(127, note, NOTE_BAR_RECT), NOTE_BAR, f"note bar at note {note}")

    def assert_volume_bar(self, shot, volume):
        colour = VOLUME_HOT_BAR if volume > 100 else VOLUME_BAR
        self.assert_bar(shot, VOLUME_BAR_RECT, bar_fill(400, volume, VOLUME_BAR_RECT), colour,
                        f"volume bar at volume {volume}")

    def assert_master_bar(self, shot, level):
        self.assert_bar(shot, MASTER_BAR_RECT, bar_fill(10, level, MASTER_BAR_RECT), YELLOW,
                        f"master volume bar at {level}")

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
                self.assert_background(shot, origin, (TRIGGER_BUTTON_SIZE, TRIGGER_BUTTON_SIZE),
                                       f"released trigger button {name}")

    def assert_pan_knob(self, shot, pan):
        image = "PANLEFT" if pan < 100 else "PANCENTER" if pan == 100 else "PANRIGHT"
        self.assert_image(shot, (pan_knob_x(pan), PAN_KNOB_Y), resource_bitmap(image), f"pan knob for pan {pan}")

    def assert_key_display(self, shot, note, fine_tune, volume, pan, lit):
        """Everything shown for the selected key."""
        self.assert_two_colours(shot, NOTE_READOUT, READOUT, "note readout")
        self.assert_two_colours(shot, FINE_TUNE_READOUT, READOUT, "fine tune readout")
        hot = volume > 100
        self.assert_two_colours(shot, VOLUME_READOUT, READOUT_HOT if hot else READOUT, "volume readout")
        self.assert_note_bar(shot, note)
        self.assert_bar(shot, FINE_TUNE_BAR_RECT, bar_fill(200, fine_tune + 100, FINE_TUNE_BAR_RECT), FINE_TUNE_BAR,
                        "fine tune bar")
        self.assert_volume_bar(shot, volume)
        self.assert_trigger_light(shot, lit)
        self.assert_pan_knob(shot, pan)

    def click_key_cap(self, k):
        x, y = key_cap_origin(k)
        self.session.click(x + 15, y + 20)
