"""The about box picture."""

import math

from PIL import Image, ImageDraw

from art_paint import SANS, SANS_BOLD, SERIF_BOLD_ITALIC, frame, mix, smooth_line, text
from art_panel import YELLOW, _quill, key_cap

WIDTH, HEIGHT = 501, 175


def about_picture():
    img = Image.new("RGB", (WIDTH, HEIGHT))
    d = ImageDraw.Draw(img)
    for y in range(HEIGHT):
        d.line((0, y, WIDTH - 1, y), fill=mix((0, 66, 0), (0, 26, 0), y / (HEIGHT - 1)))
    frame(d, 0, 0, WIDTH - 1, HEIGHT - 1, (60, 140, 60), (0, 14, 0))
    frame(d, 1, 1, WIDTH - 2, HEIGHT - 2, (20, 100, 20), (0, 24, 0))

    # A faint sound wave running behind the title.
    pts = []
    for x in range(120, WIDTH - 12):
        t = (x - 120) / (WIDTH - 132)
        env = math.sin(math.pi * t) ** 0.7
        pts.append((x, 64 + 18 * env * math.sin(x / 4.1) * math.cos(x / 23.0)))
    smooth_line(img, pts, (0, 92, 0), 1.2)

    # The mark: a large feather pen over a key cap.
    for i, legend in enumerate("QWE"):
        key_cap(img, (22 + 31 * i, 118, 30, 30), legend, "up")
    _quill(img, 52, 24, 2.9)

    d = ImageDraw.Draw(img)
    text(d, (142 + 2, 66 + 2), "Quillpad", (0, 16, 0), SERIF_BOLD_ITALIC, 56, "ls")
    text(d, (142, 66), "Quillpad", (255, 214, 60), SERIF_BOLD_ITALIC, 56, "ls")
    text(d, (146, 92), "keyboard sample player", (170, 225, 160), SANS, 17, "ls")

    # Version badge.
    d.rounded_rectangle((412, 77, 484, 97), radius=5, fill=(0, 20, 0))
    d.rounded_rectangle((411, 76, 482, 95), radius=5, fill=YELLOW)
    text(d, (447, 86), "Beta A", (0, 51, 0), SANS_BOLD, 13, "mm")

    d.line((146, 112, 470, 112), fill=(0, 20, 0))
    d.line((146, 113, 470, 113), fill=(40, 110, 40))
    text(d, (146, 132), "47 keys \u00b7 four trigger modes \u00b7 pitch, volume and pan for every key",
         (130, 195, 120), SANS, 10, "ls")
    text(d, (WIDTH - 14, HEIGHT - 12), "Click anywhere to close", (200, 235, 190), SANS_BOLD, 10, "rs")
    return img
