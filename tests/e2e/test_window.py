"""The main window as the user first sees it, and leaving the program."""

import time
import unittest

from harness import CLIENT_HEIGHT, CLIENT_WIDTH, QuillpadTestCase


def is_panel_green(rgb):
    r, g, b = rgb
    return g > r and g > b and max(rgb) < 128


class MainWindowTest(QuillpadTestCase):
    def test_title_is_quillpad_beta_a(self):
        self.start()
        self.assertEqual(self.session.main.title(), "Quillpad Beta A")

    def test_client_area_is_604_by_327_where_the_frame_leaves_it(self):
        self.start()
        x, y, w, h = self.session.win32_client_rect()
        self.assertEqual((w, h), (CLIENT_WIDTH, CLIENT_HEIGHT))
        # Every click of the other tests relies on this origin, derived from the X window alone.
        self.assertEqual(self.session.main.client_origin(), (x, y))

    def test_panel_fills_the_client_area_and_nothing_outside_it(self):
        self.start()
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

    def test_window_is_centred_on_the_screen(self):
        self.start()
        x, y, w, h = self.session.main.geometry()
        # 1024 x 768 screen; each halving truncated on its own.
        self.assertEqual((x, y), (1024 // 2 - w // 2, 768 // 2 - h // 2))

    def test_ctrl_q_with_nothing_modified_ends_the_program(self):
        self.start()
        time.sleep(0.3)
        self.assertTrue(self.session.program_running())
        self.session.chord("Control_L", "q")
        code = self.session.wait_program_exit(10)
        self.assertIsNotNone(code, "the program is still running 10 s after Ctrl+Q")
        self.assertEqual(code, 0)
        self.assertEqual(self.session.visible_window_ids("^Quillpad"), [])


if __name__ == "__main__":
    unittest.main()
