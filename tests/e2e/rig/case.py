"""unittest glue: every test gets a fresh session and a Quillpad to drive; the
panel's tests also get checks of its pixels."""

import sys
import unittest

from .panel import (BACKGROUND, BAR_EMPTY, CAP_SIZE, FINE_TUNE_BAR, FINE_TUNE_BAR_RECT, FINE_TUNE_READOUT, MASTER_BAR_RECT,
                    NOTE_BAR, NOTE_BAR_RECT, NOTE_READOUT, PAN_KNOB_Y, READOUT, READOUT_HOT, TRIGGER_BUTTON_SIZE,
                    TRIGGER_BUTTONS, VOLUME_BAR, VOLUME_BAR_RECT, VOLUME_HOT_BAR, VOLUME_READOUT, YELLOW, bar_fill,
                    key_cap_origin, label_rect, pan_knob_x)
from .screen import resource_bitmap
from .session import Session
from .steps import Quillpad
from .waits import eventually


class QuillpadTestCase(unittest.TestCase):
    """Gives every test a fresh Session (self.session) and its Quillpad
    (self.quillpad), and ends them afterwards; on failure the screenshot,
    recording and program output go to build/e2e/artifacts/."""

    # Null sinks besides the default one, {name: description}, for a case's sessions.
    EXTRA_SINKS = None
    # The rig's virtual MIDI input (rig/midi.py) in a case's sessions: session.midi.
    VIRTUAL_MIDI = False

    def setUp(self):
        self.session = Session(self.id(), self.EXTRA_SINKS, self.VIRTUAL_MIDI)
        self.addCleanup(self._end_session)
        self.session.open()
        self.quillpad = Quillpad(self.session)

    def _end_session(self):
        if self._failed():
            saved = self.session.save_artifacts(self.id())
            if saved:
                print(f"\n  artifacts: {saved[0].parent}", file=sys.stderr)
        self.session.close()

    def _failed(self):
        # unittest reports a failure to the result as soon as it happens; during the
        # clean-ups the outcome's own success flag reads True again.
        result = getattr(getattr(self, "_outcome", None), "result", None)
        if result is None:
            return False
        return any(test is self for test, _ in list(result.errors) + list(result.failures))


class PanelTestCase(QuillpadTestCase):
    """A test of the front panel, with checks of its pixels in client coordinates."""

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
