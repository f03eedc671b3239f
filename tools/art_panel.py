"""The front panel: the background picture and the images of every control.

Each control has one drawing function taking a state: "up" (released, as the
background carries it), "down" (pushed in) or "lit". The background is the
bare panel with every control drawn "up"; a control's own bitmap is the bare
panel with that control drawn in its other state, cut out at its rectangle,
so the pixels around a rounded control still match the panel.
"""

from PIL import Image, ImageDraw

from art_paint import (SANS, SANS_BOLD, SERIF_BOLD_ITALIC, bevel, box, darker, engraved_text, font,
                       frame, inset_well, mix, smooth_ellipse, smooth_line, smooth_polygon, text)

WIDTH, HEIGHT = 604, 327

# The program's own colours: the panel draws with these at run time, so the
# art around them uses exactly the same values.
PANEL = (0, 51, 0)
READOUT_BACK = (0, 102, 0)
READOUT_TEXT = (0, 200, 0)
READOUT_HOT_BACK = (102, 0, 0)
KEY_FACE = (0, 49, 0)
YELLOW = (255, 255, 0)
BAR_EMPTY = (0, 34, 0)
NOTE_BAR = (0, 255, 51)
FINE_BAR = (102, 204, 51)
VOLUME_BAR = (153, 204, 255)
HOT_RED = (255, 0, 0)
PLAYING_BACK = (0, 49, 90)
PLAYING_TEXT = (0, 148, 255)
RUNNING_BACK = (90, 0, 0)
MUTED_BACK = (128, 128, 128)
MUTED_TEXT = (192, 192, 192)
PROGRAM_COLOURS = [PANEL, READOUT_BACK, READOUT_TEXT, READOUT_HOT_BACK, KEY_FACE, YELLOW, BAR_EMPTY,
                   NOTE_BAR, FINE_BAR, VOLUME_BAR, HOT_RED, PLAYING_BACK, PLAYING_TEXT,
                   RUNNING_BACK, MUTED_BACK, MUTED_TEXT]

# Colours of the art itself.
DECK = (0, 38, 0)              # the recessed board the key caps sit on
OUTLINE = (0, 14, 0)
LABEL = (150, 215, 140)        # engraved panel labels
LEGEND = (205, 238, 195)       # key cap legends, pale so they differ from the yellow sound numbers
GROOVE_LINE = (0, 84, 0)

KEY_LEGENDS = ["`", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "=",
               "Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "[", "]", "\\",
               "A", "S", "D", "F", "G", "H", "J", "K", "L", ";", "'",
               "Z", "X", "C", "V", "B", "N", "M", ",", ".", "/"]


def key_cap_position(k):
    for first, count, x, y in ((0, 13, 5, 191), (13, 13, 52, 222), (26, 11, 68, 253), (37, 10, 84, 284)):
        if first <= k < first + count:
            return x + 31 * (k - first), y
    raise ValueError(k)


# Where every control lies, as (x, y, width, height).
NOTE_UP, NOTE_RESET, NOTE_DOWN = (284, 29, 25, 30), (284, 65, 25, 13), (284, 84, 25, 30)
FINE_UP, FINE_RESET, FINE_DOWN = (358, 29, 25, 30), (358, 65, 25, 13), (358, 84, 25, 30)
VOL_UP, VOL_RESET, VOL_DOWN = (400, 29, 25, 30), (400, 65, 25, 13), (400, 84, 25, 30)
MUTE = (425, 117, 17, 17)
KILL = (399, 289, 55, 28)
DIALS = [((252, 39, 14, 15), "up"), ((238, 39, 14, 15), "down"), ((54, 123, 14, 15), "up"),
         ((40, 123, 14, 15), "down"), ((117, 123, 14, 15), "up"), ((103, 123, 14, 15), "down")]
MASTER_UP, MASTER_DOWN = (30, 264, 15, 25), (30, 291, 15, 25)
TRIGGER_BUTTONS = [(196, 62, 30, 30), (227, 62, 30, 30), (196, 98, 30, 30), (227, 98, 30, 30)]
PAN_TRACK_LEFT, PAN_TRACK_RIGHT, PAN_TOP = 184, 269, 18
PAN_KNOB_SIZE = (25, 11)

# Readout rectangles and bar slots as the program fills them (right and
# bottom edges excluded).
READOUTS = [(300, 12, 326, 24), (342, 12, 368, 24), (416, 12, 442, 24)]
BARS = [(312, 29, 323, 114), (344, 29, 355, 114), (428, 29, 439, 114)]
MASTER_BAR = (23, 267, 26, 312)


# ---------------------------------------------------------------- the bare panel

def _group_box(img, x0, y0, x1, y1, title):
    """An engraved frame with its title set into the top edge."""
    d = ImageDraw.Draw(img)
    frame(d, x0, y0, x1, y1, (0, 30, 0), (30, 90, 30))
    frame(d, x0 + 1, y0 + 1, x1 - 1, y1 - 1, (30, 90, 30), (0, 30, 0))
    if title:
        w = int(d.textlength(title, font=font(SANS_BOLD, 9))) + 6
        cx = (x0 + x1) // 2
        box(d, cx - w // 2, y0 - 1, cx + w // 2, y0 + 2, PANEL)
        engraved_text(d, (cx, y0 + 1), title, LABEL, SANS_BOLD, 9, "mm")


def _name_plate(img):
    d = ImageDraw.Draw(img)
    x0, y0, x1, y1 = 10, 10, 172, 62
    d.rounded_rectangle((x0 - 1, y0 - 1, x1 + 1, y1 + 1), radius=5, fill=(0, 18, 0))
    d.rounded_rectangle((x0, y0, x1, y1), radius=4, fill=(0, 30, 0))
    for i in range(y1 - y0 - 3):
        t = i / (y1 - y0 - 3)
        d.line((x0 + 2, y0 + 2 + i, x1 - 2, y0 + 2 + i), fill=mix((0, 44, 0), (0, 24, 0), t))
    d.line((x0 + 4, y1 - 1, x1 - 4, y1 - 1), fill=(40, 100, 40))
    _quill(img, 22, 20, 1.0)
    text(d, (97, 32), "Quillpad", (10, 20, 0), SERIF_BOLD_ITALIC, 26, "mm")
    text(d, (96, 31), "Quillpad", (255, 214, 60), SERIF_BOLD_ITALIC, 26, "mm")
    text(d, (96, 52), "keyboard sample player", (140, 200, 130), SANS, 9, "mm")


def _quill(img, x, y, s):
    """A small feather pen: the product's mark."""
    vane = [(x + 22 * s, y + 0 * s), (x + 13 * s, y + 6 * s), (x + 6 * s, y + 16 * s),
            (x + 3 * s, y + 25 * s), (x + 9 * s, y + 20 * s), (x + 18 * s, y + 11 * s)]
    smooth_polygon(img, vane, (230, 228, 190))
    inner = [(x + 22 * s, y + 0 * s), (x + 16 * s, y + 10 * s), (x + 9 * s, y + 19 * s),
             (x + 18 * s, y + 11 * s)]
    smooth_polygon(img, inner, (190, 190, 150))
    smooth_line(img, [(x + 22 * s, y), (x + 1 * s, y + 30 * s)], (120, 90, 30), 1.0 * s)
    smooth_line(img, [(x + 3 * s, y + 27 * s), (x + 0.5 * s, y + 31 * s)], (40, 30, 10), 1.3 * s)


def _speaker_grille(img, x0, y0, x1, y1):
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((x0, y0, x1, y1), radius=6, fill=(0, 40, 0))
    frame(d, x0 + 2, y0, x1 - 2, y0, (0, 26, 0), (0, 26, 0))
    d.line((x0 + 3, y1, x1 - 3, y1), fill=(30, 90, 30))
    row = 0
    for cy in range(y0 + 6, y1 - 3, 6):
        shift = 3 if row % 2 else 0
        for cx in range(x0 + 7 + shift, x1 - 5, 6):
            box(d, cx - 1, cy - 1, cx + 1, cy + 1, (0, 12, 0))
            d.point((cx + 1, cy + 2), fill=(20, 80, 20))
            d.point((cx + 2, cy + 1), fill=(20, 80, 20))
        row += 1


def _key_deck(img):
    d = ImageDraw.Draw(img)
    x0, y0, x1, y1 = 1, 185, 457, 322
    box(d, x0, y0, x1, y1, DECK)
    frame(d, x0, y0, x1, y1, (0, 24, 0), (30, 96, 30))
    frame(d, x0 + 1, y0 + 1, x1 - 1, y1 - 1, (0, 30, 0), (0, 64, 0))


def _master_section(img):
    d = ImageDraw.Draw(img)
    engraved_text(d, (26, 246), "MASTER", LABEL, SANS_BOLD, 8, "mm")
    l, t, r, b = MASTER_BAR
    inset_well(d, l, t, r - 1, b - 1, BAR_EMPTY)
    # One tick for every master volume level, where the bar's top lands.
    for level in range(11):
        filled = (452 * level) // 100
        y = b - filled - 1 if level else b - 1
        length = 5 if level in (0, 5, 10) else 3
        d.line((l - 3 - length, y, l - 4, y), fill=(90, 170, 90) if length == 5 else (40, 120, 40))
    text(d, (8, 269), "10", (90, 170, 90), SANS_BOLD, 7, "mm", crisp=False)
    text(d, (10, 311), "0", (90, 170, 90), SANS_BOLD, 7, "mm", crisp=False)


def _value_section(img, title, readout, bar, mark_level, mark_side):
    d = ImageDraw.Draw(img)
    l, t, r, b = readout
    inset_well(d, l, t, r - 1, b - 1, READOUT_BACK)
    l, t, r, b = bar
    inset_well(d, l, t, r - 1, b - 1, BAR_EMPTY)
    # A small pointer at the level the reset button returns to.
    y = b - mark_level
    if mark_side > 0:
        smooth_polygon(img, [(r + 2, y + 0.5), (r + 6, y - 2.5), (r + 6, y + 3.5)], (120, 200, 110))
    else:
        smooth_polygon(img, [(l - 3, y + 0.5), (l - 7, y - 2.5), (l - 7, y + 3.5)], (120, 200, 110))


def _pan_track(img):
    d = ImageDraw.Draw(img)
    l, r, top = PAN_TRACK_LEFT, PAN_TRACK_RIGHT, PAN_TOP
    # The knob slides over rows 18..28: keep them the same all along, so
    # the corners of its bitmap fit wherever it stands.
    box(d, l - 3, top - 2, r + 2, top + 12, (0, 20, 0))
    box(d, l - 2, top - 1, r + 1, top + 11, (0, 38, 0))
    d.line((l - 2, top + 12, r + 2, top + 12), fill=(30, 96, 30))
    d.line((r + 2, top - 1, r + 2, top + 12), fill=(30, 96, 30))
    box(d, l, top + 4, r - 1, top + 6, (0, 14, 0))
    d.line((l, top + 7, r - 1, top + 7), fill=(0, 70, 0))
    # Scale marks under the track at the knob's left, centre and right stops.
    for x in range(196, 257, 6):
        big = x in (196, 226, 256)
        d.line((x, top + 14, x, top + (18 if big else 16)), fill=(90, 170, 90) if big else (40, 120, 40))
    engraved_text(d, (226, 9), "PAN", LABEL, SANS_BOLD, 9, "mm")
    engraved_text(d, (188, top + 15), "L", LABEL, SANS_BOLD, 7, "mm")
    engraved_text(d, (264, top + 15), "R", LABEL, SANS_BOLD, 7, "mm")


def bare_panel():
    img = Image.new("RGB", (WIDTH, HEIGHT), PANEL)
    d = ImageDraw.Draw(img)
    # Upper panel edge, leaving the sound list's column (x 458 on) plain.
    frame(d, 0, 0, 458, 183, (30, 96, 30), (0, 24, 0))
    _name_plate(img)
    _speaker_grille(img, 12, 70, 160, 114)
    for cx in (47, 110):
        d.rounded_rectangle((cx - 10, 120, cx + 24, 141), radius=3, fill=(0, 40, 0))
    engraved_text(d, (86, 162), "47 KEYS  \u00b7  STEREO  \u00b7  BETA A", (60, 130, 60), SANS_BOLD, 7, "mm")
    _pan_track(img)
    _group_box(img, 190, 58, 263, 152, "")
    engraved_text(d, (211, 134), "HOLD", LABEL, SANS_BOLD, 7, "mm")
    engraved_text(d, (242, 134), "LATCH", LABEL, SANS_BOLD, 7, "mm")
    engraved_text(d, (226, 145), "TRIGGER", LABEL, SANS_BOLD, 8, "mm")
    engraved_text(d, (187, 77), "STOP", LABEL, SANS_BOLD, 7, "rm")
    engraved_text(d, (187, 113), "END", LABEL, SANS_BOLD, 7, "rm")
    _group_box(img, 277, 5, 331, 152, "NOTE")
    _group_box(img, 334, 5, 389, 152, "FINE")
    _group_box(img, 393, 5, 448, 152, "VOL")
    _value_section(img, "NOTE", READOUTS[0], BARS[0], 40, +1)
    _value_section(img, "FINE", READOUTS[1], BARS[1], 44, -1)
    _value_section(img, "VOL", READOUTS[2], BARS[2], 23, +1)
    engraved_text(d, (411, 126), "MUTE", LABEL, SANS_BOLD, 8, "mm")
    _key_deck(img)
    _master_section(img)
    return img


# ---------------------------------------------------------------- controls

def _raised(d, x, y, w, h, face, light, dark, state):
    """A rectangular push button: outline, two-pixel bevel, face.
    Returns the face rectangle."""
    x1, y1 = x + w - 1, y + h - 1
    box(d, x, y, x1, y1, OUTLINE)
    if state == "down":
        bevel(d, x + 1, y + 1, x1 - 1, y1 - 1, darker(dark, 0.6), mix(face, light, 0.3), 1)
        frame(d, x + 2, y + 2, x1 - 2, y1 - 2, dark, face)
        box(d, x + 3, y + 3, x1 - 2, y1 - 2, darker(face, 0.8))
        return x + 3, y + 3, x1 - 2, y1 - 2
    frame(d, x + 1, y + 1, x1 - 1, y1 - 1, light, darker(dark, 0.6))
    frame(d, x + 2, y + 2, x1 - 2, y1 - 2, mix(face, light, 0.5), dark)
    box(d, x + 3, y + 3, x1 - 3, y1 - 3, face)
    return x + 3, y + 3, x1 - 3, y1 - 3


def _face_centre(x, y, w, h, state):
    """Middle of a button's face; pushed in, everything on it moves one pixel
    down and to the right."""
    shift = 1 if state == "down" else 0
    return x + w / 2 + shift, y + h / 2 + shift


def _arrow(img, cx, cy, half_w, half_h, direction, colour):
    if direction == "up":
        pts = [(cx, cy - half_h), (cx + half_w, cy + half_h), (cx - half_w, cy + half_h)]
    elif direction == "down":
        pts = [(cx, cy + half_h), (cx + half_w, cy - half_h), (cx - half_w, cy - half_h)]
    elif direction == "left":
        pts = [(cx - half_h, cy), (cx + half_h, cy - half_w), (cx + half_h, cy + half_w)]
    else:
        pts = [(cx + half_h, cy), (cx - half_h, cy - half_w), (cx - half_h, cy + half_w)]
    smooth_polygon(img, pts, colour)


GREEN_BUTTON = ((0, 72, 0), (90, 170, 90), (0, 34, 0))


def arrow_button(img, rect, direction, arrow_colour, state):
    d = ImageDraw.Draw(img)
    x, y, w, h = rect
    face, light, dark = GREEN_BUTTON
    _raised(d, x, y, w, h, face, light, dark, state)
    cx, cy = _face_centre(x, y, w, h, state)
    colour = arrow_colour if state == "up" else darker(arrow_colour, 0.75)
    hw = max(3, (w - 8) / 2 - 1.5)
    hh = max(2.5, min((w - 8) / 2 - 3, (h - 8) / 2 - 3))
    _arrow(img, cx + 1, cy + 1.5, hw, hh, direction, (0, 26, 0))
    _arrow(img, cx, cy, hw, hh, direction, colour)


def reset_button(img, rect, state):
    d = ImageDraw.Draw(img)
    x, y, w, h = rect
    face, light, dark = GREEN_BUTTON
    _raised(d, x, y, w, h, face, light, dark, state)
    cx, cy = _face_centre(x, y, w, h, state)
    colour = (200, 235, 190) if state == "up" else (150, 180, 140)
    smooth_ellipse(img, cx - 2.5, cy - 2.5, cx + 2.5, cy + 2.5, colour)


def dial_button(img, rect, direction, state):
    d = ImageDraw.Draw(img)
    x, y, w, h = rect
    _raised(d, x, y, w, h, (0, 62, 0), (80, 150, 80), (0, 30, 0), state)
    cx, cy = _face_centre(x, y, w, h, state)
    colour = (170, 220, 160) if state == "up" else (120, 160, 110)
    _arrow(img, cx, cy, 2.5, 2, "right" if direction == "up" else "left", colour)


def kill_button(img, rect, state):
    d = ImageDraw.Draw(img)
    x, y, w, h = rect
    fx0, fy0, fx1, fy1 = _raised(d, x, y, w, h, (190, 0, 0), (255, 110, 90), (100, 0, 0), state)
    if state == "up":
        for i in range(fy1 - fy0 + 1):
            d.line((fx0, fy0 + i, fx1, fy0 + i), fill=mix((215, 20, 10), (160, 0, 0), i / (fy1 - fy0)))
    cx, cy = _face_centre(x, y, w, h, state)
    text(d, (cx + 1, cy + 1), "KILL", (80, 0, 0), SANS_BOLD, 12, "mm")
    text(d, (cx, cy), "KILL", (255, 240, 230) if state == "up" else (220, 180, 170), SANS_BOLD, 12, "mm")


def mute_light(img, rect, state):
    """A round red lamp: dark when released, glowing while the key is muted."""
    x, y, w, h = rect
    smooth_ellipse(img, x + 0, y + 0, x + 17, y + 17, (0, 16, 0))
    smooth_ellipse(img, x + 1, y + 1, x + 16, y + 16, (60, 110, 60))
    smooth_ellipse(img, x + 2, y + 2, x + 16, y + 16, (0, 30, 0))
    smooth_ellipse(img, x + 2, y + 2, x + 15, y + 15, (10, 24, 10))
    if state == "lit":
        smooth_ellipse(img, x + 3, y + 3, x + 14, y + 14, (200, 0, 0))
        smooth_ellipse(img, x + 4, y + 4, x + 13, y + 13, HOT_RED)
        smooth_ellipse(img, x + 5, y + 5, x + 10, y + 10, (255, 150, 120))
        smooth_ellipse(img, x + 6, y + 6, x + 8.5, y + 8.5, (255, 235, 225))
    else:
        smooth_ellipse(img, x + 3, y + 3, x + 14, y + 14, (70, 0, 0))
        smooth_ellipse(img, x + 5, y + 5, x + 9, y + 9, (120, 30, 25))


def key_cap(img, rect, legend, state):
    d = ImageDraw.Draw(img)
    x, y, w, h = rect
    x1, y1 = x + w - 1, y + h - 1
    box(d, x, y, x1, y1, OUTLINE)
    if state == "down":
        frame(d, x + 1, y + 1, x1 - 1, y1 - 1, (0, 20, 0), (0, 58, 0))
        frame(d, x + 2, y + 2, x1 - 2, y1 - 2, (0, 28, 0), (0, 44, 0))
        box(d, x + 3, y + 3, x1 - 3, y1 - 3, (0, 42, 0))
        d.line((x + 3, y1 - 3, x + 3, y + 3, x1 - 3, y + 3), fill=(0, 34, 0))
    else:
        frame(d, x + 1, y + 1, x1 - 1, y1 - 1, (60, 140, 60), (0, 22, 0))
        frame(d, x + 2, y + 2, x1 - 2, y1 - 2, (0, 90, 0), (0, 32, 0))
        box(d, x + 3, y + 3, x1 - 3, y1 - 3, KEY_FACE)
    for cx, cy in ((x, y), (x1, y), (x, y1), (x1, y1)):
        d.point((cx, cy), fill=DECK)
    if legend:
        text(d, (x + 15, y + 25), legend, LEGEND, SANS_BOLD, 11, "ms")


def _wave(d, x0, x1, cy, colour):
    """A sound as a level display shows it: one line per sample column."""
    heights = (3, 1, 4, 2, 3, 4, 1, 3, 2, 4, 3, 1, 2, 4, 3, 2, 4, 1, 3, 2)
    for x in range(x0, x1 + 1):
        h = heights[(x - x0) % len(heights)]
        d.line((x, cy - h, x, cy + h), fill=colour)


def trigger_symbol(d, ox, oy, mode, colour, guide):
    """A timing picture of the trigger mode in a 20 x 20 square, read left
    to right: at the top the key (raised while it is down), below it the
    sound. Hold modes have one long press, latching modes two short ones.
    Stop modes cut the sound at the release (or second press); finish modes
    let the current pass run on to its end, marked by a bar."""
    hold = mode in (1, 3)
    finish = mode in (3, 4)
    base, top = oy + 5, oy + 1
    t_on, t_off = ox + 2, ox + 12
    if hold:
        d.line((ox, base, t_on, base, t_on, top, t_off, top, t_off, base, ox + 19, base), fill=colour)
    else:
        d.line((ox, base, t_on, base, t_on, top, t_on + 2, top, t_on + 2, base,
                t_off, base, t_off, top, t_off + 2, top, t_off + 2, base, ox + 19, base), fill=colour)
    for gy in range(base + 2, oy + 20, 2):
        d.point((t_off, gy), fill=guide)
    end = ox + 17 if finish else t_off - 1
    _wave(d, t_on, end, oy + 13, colour)
    if finish:
        d.line((end + 2, oy + 8, end + 2, oy + 18), fill=colour)


def trigger_button(img, rect, mode, state):
    d = ImageDraw.Draw(img)
    x, y, w, h = rect
    x1, y1 = x + w - 1, y + h - 1
    face, light, dark = (0, 60, 0), (80, 160, 80), (0, 28, 0)
    fx0, fy0, fx1, fy1 = _raised(d, x, y, w, h, face, light, dark, "down" if state == "down" else "up")
    shift = 1 if state == "down" else 0
    lx0, ly0, lx1, ly1 = x + 4 + shift, y + 4 + shift, x1 - 4 + shift, y1 - 4 + shift
    if state == "lit":
        box(d, lx0, ly0, lx1, ly1, (140, 225, 70))
        frame(d, lx0, ly0, lx1, ly1, (70, 150, 30), (190, 245, 130))
        symbol, guide = (0, 40, 0), (50, 120, 30)
    elif state == "down":
        box(d, lx0, ly0, lx1, ly1, (0, 22, 0))
        frame(d, lx0, ly0, lx1, ly1, (0, 12, 0), (0, 44, 0))
        symbol, guide = (60, 120, 60), (20, 70, 20)
    else:
        box(d, lx0, ly0, lx1, ly1, (0, 26, 0))
        frame(d, lx0, ly0, lx1, ly1, (0, 12, 0), (40, 110, 40))
        symbol, guide = (110, 200, 100), (30, 90, 30)
    trigger_symbol(d, lx0 + 1, ly0 + 1, mode, symbol, guide)
    for cx, cy in ((x, y), (x1, y), (x, y1), (x1, y1)):
        d.point((cx, cy), fill=PANEL)


def pan_knob(img, x, y, pointer):
    """The pan knob: a light slider cap whose mark points to the side the
    sound leans to ("left", "centre", "right"), or pressed ("down")."""
    d = ImageDraw.Draw(img)
    w, h = PAN_KNOB_SIZE
    x1, y1 = x + w - 1, y + h - 1
    pressed = pointer == "down"
    body = (170, 180, 170) if pressed else (206, 214, 204)
    d.rounded_rectangle((x, y, x1, y1), radius=2, fill=(0, 12, 0))
    if pressed:
        frame(d, x + 1, y + 1, x1 - 1, y1 - 1, (110, 120, 110), (200, 206, 198))
    else:
        frame(d, x + 1, y + 1, x1 - 1, y1 - 1, (250, 252, 248), (120, 130, 120))
    box(d, x + 2, y + 2, x1 - 2, y1 - 2, body)
    d.line((x + 2, y + 2, x1 - 2, y + 2), fill=mix(body, (255, 255, 255), 0.5))
    cx, cy = x + 12.5, y + 5.5
    mark = (0, 51, 0)
    if pointer == "left":
        smooth_polygon(img, [(cx - 5, cy), (cx + 3, cy - 3.5), (cx + 3, cy + 3.5)], mark)
    elif pointer == "right":
        smooth_polygon(img, [(cx + 5, cy), (cx - 3, cy - 3.5), (cx - 3, cy + 3.5)], mark)
    else:
        box(d, x + 12, y + 2, x + 12, y1 - 2, mark if not pressed else (40, 70, 40))


# ---------------------------------------------------------------- assembling

def draw_controls(img):
    """Draws every control released, as the background shows them."""
    for rect, direction in ((NOTE_UP, "up"), (NOTE_DOWN, "down"), (FINE_UP, "up"), (FINE_DOWN, "down")):
        arrow_button(img, rect, direction, (160, 240, 140), "up")
    arrow_button(img, VOL_UP, "up", VOLUME_BAR, "up")
    arrow_button(img, VOL_DOWN, "down", VOLUME_BAR, "up")
    for rect in (NOTE_RESET, FINE_RESET, VOL_RESET):
        reset_button(img, rect, "up")
    arrow_button(img, MASTER_UP, "up", YELLOW, "up")
    arrow_button(img, MASTER_DOWN, "down", YELLOW, "up")
    for rect, direction in DIALS:
        dial_button(img, rect, direction, "up")
    for mode, rect in enumerate(TRIGGER_BUTTONS, start=1):
        trigger_button(img, rect, mode, "up")
    mute_light(img, MUTE, "up")
    kill_button(img, KILL, "up")
    for k, legend in enumerate(KEY_LEGENDS):
        key_cap(img, key_cap_position(k) + (30, 30), legend, "up")


def background():
    img = bare_panel()
    draw_controls(img)
    return img


def _cut(bare, rect, paint):
    img = bare.copy()
    paint(img)
    x, y, w, h = rect
    return img.crop((x, y, x + w, y + h))


def control_images(bare):
    """The bitmaps that replace a control while it is pushed or lit, in RGB."""
    out = {}
    out["PITCHUP"] = _cut(bare, NOTE_UP, lambda i: arrow_button(i, NOTE_UP, "up", (160, 240, 140), "down"))
    out["PITCHDOWN"] = _cut(bare, NOTE_DOWN, lambda i: arrow_button(i, NOTE_DOWN, "down", (160, 240, 140), "down"))
    out["VOLUP"] = _cut(bare, VOL_UP, lambda i: arrow_button(i, VOL_UP, "up", VOLUME_BAR, "down"))
    out["VOLDOWN"] = _cut(bare, VOL_DOWN, lambda i: arrow_button(i, VOL_DOWN, "down", VOLUME_BAR, "down"))
    out["RESET"] = _cut(bare, NOTE_RESET, lambda i: reset_button(i, NOTE_RESET, "down"))
    out["MUTE"] = _cut(bare, MUTE, lambda i: mute_light(i, MUTE, "lit"))
    out["KILL"] = _cut(bare, KILL, lambda i: kill_button(i, KILL, "down"))
    up_rect, down_rect = DIALS[0][0], DIALS[1][0]
    out["DIALUP"] = _cut(bare, up_rect, lambda i: dial_button(i, up_rect, "up", "down"))
    out["DIALDOWN"] = _cut(bare, down_rect, lambda i: dial_button(i, down_rect, "down", "down"))
    out["MASVOLUP"] = _cut(bare, MASTER_UP, lambda i: arrow_button(i, MASTER_UP, "up", YELLOW, "down"))
    out["MASVOLDOWN"] = _cut(bare, MASTER_DOWN, lambda i: arrow_button(i, MASTER_DOWN, "down", YELLOW, "down"))
    for mode, rect in enumerate(TRIGGER_BUTTONS, start=1):
        out["LOOP%d" % mode] = _cut(bare, rect, lambda i, m=mode, r=rect: trigger_button(i, r, m, "lit"))
        out["LOOP%dDOWN" % mode] = _cut(bare, rect, lambda i, m=mode, r=rect: trigger_button(i, r, m, "down"))
    cap = key_cap_position(0) + (30, 30)
    out["KEY"] = _cut(bare, cap, lambda i: key_cap(i, cap, "", "down"))
    knob = (PAN_TRACK_LEFT + 30, PAN_TOP) + PAN_KNOB_SIZE
    for name, pointer in (("PANLEFT", "left"), ("PANCENTER", "centre"), ("PANRIGHT", "right"),
                          ("PANDOWN", "down")):
        out[name] = _cut(bare, knob, lambda i, p=pointer: pan_knob(i, knob[0], knob[1], p))
    return out
