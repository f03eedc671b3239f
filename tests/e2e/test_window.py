"""The main window as the user first sees it, and leaving the program."""

import unittest

from rig.case import QuillpadTestCase
from rig.display import SCREEN_SIZE
from rig.windows import CLIENT_HEIGHT, CLIENT_WIDTH


def is_panel_green(rgb):
    r, g, b = rgb
    return g > r and g > b and max(rgb) < 128


class MainWindowTest(QuillpadTestCase):
    def test_title_size_and_place_of_the_window(self):
        q, s = self.quillpad, self.session
        q.start()
        self.assertEqual(q.title(), "Quillpad Beta A")

        x, y, w, h = (int(v) for v in s.run_probe("client", "Quillpad")[0].split())
        self.assertEqual((w, h), (CLIENT_WIDTH, CLIENT_HEIGHT))
        # Every click of the other tests relies on this origin, derived from the X window alone.
        self.assertEqual(s.main.client_origin(), (x, y))

        wx, wy, ww, wh = s.main.geometry()
        # Centred; each halving truncated on its own.
        self.assertEqual((wx, wy), (SCREEN_SIZE[0] // 2 - ww // 2, SCREEN_SIZE[1] // 2 - wh // 2))

    def test_panel_fills_the_client_area_and_nothing_outside_it(self):
        self.quillpad.start()
        shot = self.session.client_shot()
        inside = ([(cx, 0) for cx in range(CLIENT_WIDTH)] + [(cx, CLIENT_HEIGHT - 1) for cx in range(CLIENT_WIDTH)]
                  + [(0, cy) for cy in range(CLIENT_HEIGHT)] + [(CLIENT_WIDTH - 1, cy) for cy in range(CLIENT_HEIGHT)])
        outside = ([(cx, -1) for cx in range(-1, CLIENT_WIDTH + 1)]
                   + [(cx, CLIENT_HEIGHT) for cx in range(-1, CLIENT_WIDTH + 1)]
                   + [(-1, cy) for cy in range(CLIENT_HEIGHT)] + [(CLIENT_WIDTH, cy) for cy in range(CLIENT_HEIGHT)])
        green_inside = sum(is_panel_green(shot.pixel(*p)) for p in inside)
        green_outside = [p for p in outside if is_panel_green(shot.pixel(*p))]
        self.assertGreater(green_inside, len(inside) // 2, "the client area's edges are not the dark green panel")
        self.assertEqual(green_outside, [], "panel colour outside the 604 x 327 client area")

    def test_ctrl_q_with_nothing_modified_ends_the_program(self):
        q = self.quillpad
        q.start()
        code = q.exit_program()
        self.assertIsNotNone(code, "the program is still running 10 s after Ctrl+Q")
        self.assertEqual(code, 0)
        self.assertEqual(self.session.visible_window_ids("^Quillpad"), [])


if __name__ == "__main__":
    unittest.main()
