"""Cursors and icons, drawn in RGBA.

Shapes are drawn four times larger and scaled down, so edges come out
anti-aliased in the alpha channel.
"""

import math

from PIL import Image, ImageDraw

S = 4  # supersampling factor

INK = (0, 26, 0, 255)
PALE = (232, 248, 222, 255)
BADGE = (0, 70, 0, 255)
BADGE_RIM = (0, 20, 0, 255)
GREEN_MARK = (140, 240, 110, 255)
YELLOW = (255, 255, 0, 255)
RED = (230, 0, 0, 255)
WHITE = (255, 255, 255, 255)


def _canvas(size):
    img = Image.new("RGBA", (size * S, size * S), (0, 0, 0, 0))
    return img, ImageDraw.Draw(img)


def _p(points):
    return [(x * S, y * S) for x, y in points]


def _finish(img, size):
    return img.resize((size, size), Image.LANCZOS)


ARROW = [(1, 1), (1, 21), (5.6, 16.8), (9.2, 24.6), (12.4, 23.2), (8.9, 15.6), (15, 15.4)]


def _pointer(d):
    """The arrow pointer, its tip at (1, 1)."""
    d.polygon(_p([(x, y) for x, y in ARROW]), fill=INK)
    inner = [(2.3, 4.1), (2.3, 18), (6.0, 14.6), (9.8, 22.9), (11.0, 22.4), (7.2, 14.1), (12.2, 14.1)]
    d.polygon(_p(inner), fill=PALE)


def _badge(d):
    """A round badge at the lower right that tells which control is under the pointer."""
    d.ellipse(_p([(14, 14), (31, 31)]), fill=BADGE_RIM)
    d.ellipse(_p([(15, 15), (30, 30)]), fill=BADGE)
    return 22.5, 22.5


def cursor_main():
    img, d = _canvas(32)
    _pointer(d)
    return _finish(img, 32), (1, 1)


def cursor_key():
    img, d = _canvas(32)
    _pointer(d)
    d.rounded_rectangle(_p([(14, 14), (30, 30)]), radius=2 * S, fill=BADGE_RIM)
    d.rounded_rectangle(_p([(15, 15), (29, 29)]), radius=2 * S, fill=(60, 150, 60, 255))
    d.rectangle(_p([(17, 17), (28, 28)]), fill=(0, 49, 0, 255))
    d.polygon(_p([(22.5, 26.5), (19.5, 21.5), (25.5, 21.5)]), fill=YELLOW)
    return _finish(img, 32), (1, 1)


def cursor_up():
    img, d = _canvas(32)
    _pointer(d)
    cx, cy = _badge(d)
    d.polygon(_p([(cx, cy - 5), (cx + 5, cy + 3.5), (cx - 5, cy + 3.5)]), fill=GREEN_MARK)
    return _finish(img, 32), (1, 1)


def cursor_down():
    img, d = _canvas(32)
    _pointer(d)
    cx, cy = _badge(d)
    d.polygon(_p([(cx, cy + 5), (cx + 5, cy - 3.5), (cx - 5, cy - 3.5)]), fill=GREEN_MARK)
    return _finish(img, 32), (1, 1)


def cursor_reset():
    img, d = _canvas(32)
    _pointer(d)
    cx, cy = _badge(d)
    d.ellipse(_p([(cx - 4.5, cy - 4.5), (cx + 4.5, cy + 4.5)]), outline=GREEN_MARK, width=int(1.6 * S))
    d.ellipse(_p([(cx - 1.6, cy - 1.6), (cx + 1.6, cy + 1.6)]), fill=GREEN_MARK)
    return _finish(img, 32), (1, 1)


def cursor_kill():
    img, d = _canvas(32)
    _pointer(d)
    d.ellipse(_p([(14, 14), (31, 31)]), fill=(90, 0, 0, 255))
    d.ellipse(_p([(15, 15), (30, 30)]), fill=RED)
    cx, cy = 22.5, 22.5
    w = int(2.2 * S)
    d.line(_p([(cx - 3.8, cy - 3.8), (cx + 3.8, cy + 3.8)]), fill=WHITE, width=w)
    d.line(_p([(cx - 3.8, cy + 3.8), (cx + 3.8, cy - 3.8)]), fill=WHITE, width=w)
    return _finish(img, 32), (1, 1)


def cursor_loop():
    img, d = _canvas(32)
    _pointer(d)
    cx, cy = _badge(d)
    r = 4.6
    d.arc(_p([(cx - r, cy - r), (cx + r, cy + r)]), start=-60, end=240, fill=GREEN_MARK, width=int(1.8 * S))
    a = math.radians(-60)
    tx, ty = cx + r * math.cos(a), cy + r * math.sin(a)
    d.polygon(_p([(tx + 2.8, ty - 2.4), (tx + 0.6, ty + 3.4), (tx - 3.0, ty - 1.2)]), fill=GREEN_MARK)
    return _finish(img, 32), (1, 1)


def cursor_pan():
    """A left-right arrow: the knob is dragged sideways, so the hot spot is its middle."""
    img, d = _canvas(32)
    outline = [(1, 15.5), (8, 8.5), (8, 12.5), (23, 12.5), (23, 8.5), (30, 15.5), (23, 22.5), (23, 18.5),
               (8, 18.5), (8, 22.5)]
    inner = [(3.2, 15.5), (7, 11.7), (7, 13.7), (24, 13.7), (24, 11.7), (27.8, 15.5), (24, 19.3), (24, 17.3),
             (7, 17.3), (7, 19.3)]
    d.polygon(_p(outline), fill=INK)
    d.polygon(_p(inner), fill=PALE)
    d.rectangle(_p([(14.5, 6), (16.5, 25)]), fill=INK)
    d.rectangle(_p([(15.1, 7), (15.9, 24)]), fill=(255, 255, 0, 255))
    return _finish(img, 32), (15, 15)


def cursor_list():
    img, d = _canvas(32)
    _pointer(d)
    d.rectangle(_p([(14, 15), (31, 31)]), fill=BADGE_RIM)
    d.rectangle(_p([(15, 16), (30, 30)]), fill=(0, 51, 0, 255))
    for i, y in enumerate((18.5, 22.5, 26.5)):
        colour = YELLOW if i == 1 else (0, 200, 0, 255)
        d.rectangle(_p([(17, y), (28, y + 1.6)]), fill=colour)
    return _finish(img, 32), (1, 1)


CURSORS = {
    "MAINCUR": cursor_main, "KEYCUR": cursor_key, "UPCUR": cursor_up, "DOWNCUR": cursor_down,
    "RESETCUR": cursor_reset, "KILLCUR": cursor_kill, "LOOPCUR": cursor_loop, "PANCUR": cursor_pan,
    "LISTCUR": cursor_list,
}


# ---------------------------------------------------------------- icons

def _quill_mark(d, size):
    k = size / 32.0
    vane = [(27, 3), (18, 8), (11, 16), (8, 24), (14, 20), (22, 12)]
    d.polygon([(x * k * S, y * k * S) for x, y in vane], fill=(240, 236, 196, 255))
    d.line([(27 * k * S, 3 * k * S), (6 * k * S, 28 * k * S)], fill=(130, 96, 30, 255), width=max(S, int(1.3 * k * S)))


def _key_cap_face(d, size):
    k = size / 32.0
    r = max(1, int(4 * k)) * S
    d.rounded_rectangle((0, 0, size * S - 1, size * S - 1), radius=r, fill=(0, 14, 0, 255))
    d.rounded_rectangle((1 * S, 1 * S, size * S - 1 - S, size * S - 1 - S), radius=r, fill=(70, 160, 70, 255))
    d.rounded_rectangle((2 * k * S + S, 2 * k * S + S, size * S - 1 - 2 * S, size * S - 1 - 2 * S), radius=r,
                        fill=(0, 28, 0, 255))
    d.rounded_rectangle((2 * k * S + S, 2 * k * S + S, size * S - 1 - 3 * S, size * S - 1 - 3 * S), radius=r,
                        fill=(0, 72, 0, 255))


def app_icon(size):
    """The program: a green key cap with a feather pen and a yellow sound number."""
    img, d = _canvas(size)
    _key_cap_face(d, size)
    if size >= 32:
        d.rectangle((6 * S, 5 * S, 13 * S, 11 * S), fill=(0, 49, 0, 255))
        d.rectangle((8 * S, 6 * S, 9.5 * S, 10.5 * S), fill=YELLOW)
    _quill_mark(d, size)
    return _finish(img, size)


def setup_icon(size):
    """A setup file: a page with a fold and a small block of key caps."""
    img, d = _canvas(size)
    k = size / 32.0

    def pk(pts):
        return [(x * k * S, y * k * S) for x, y in pts]

    page = [(5, 1), (21, 1), (28, 8), (28, 31), (5, 31)]
    d.polygon(pk(page), fill=(40, 40, 40, 255))
    inner = [(6, 2), (20.5, 2), (27, 8.5), (27, 30), (6, 30)]
    d.polygon(pk(inner), fill=(250, 252, 246, 255))
    d.polygon(pk([(20.5, 2), (20.5, 8.5), (27, 8.5)]), fill=(190, 200, 186, 255))
    d.line(pk([(20.5, 2), (20.5, 8.5), (27, 8.5)]), fill=(40, 40, 40, 255), width=max(1, int(k * S)))
    for row in range(3):
        for col in range(3):
            x, y = 8.5 + col * 5.8, 12 + row * 5.8
            d.rectangle(pk([(x, y), (x + 4.8, y + 4.8)]), fill=(0, 20, 0, 255))
            d.rectangle(pk([(x + 0.7, y + 0.7), (x + 4.1, y + 4.1)]), fill=(0, 110, 0, 255))
    x, y = 8.5 + 5.8, 12 + 5.8
    d.rectangle(pk([(x + 0.7, y + 0.7), (x + 4.1, y + 4.1)]), fill=(255, 230, 0, 255))
    return _finish(img, size)


ICONS = {"APPICON": app_icon, "SETUPICON": setup_icon}
