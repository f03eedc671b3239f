#!/usr/bin/python3
"""Draws Quillpad's bitmaps, cursors and icons and writes them into resources/.

Run with Debian's python3, python3-pil and the DejaVu fonts (fonts-dejavu-core,
fonts-dejavu-extra):

    /usr/bin/python3 tools/make_art.py [--preview build/art-preview.png]

The files it writes are committed, so building the program needs no Python.
Running it again writes the same bytes. Every file written is read back and
checked before the script ends.

All bitmaps share one palette, the colour table of "background": the program
builds its only logical palette from it, so every other bitmap takes its
colours from it as well.
"""

import argparse
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from PIL import Image  # noqa: E402

import art_about  # noqa: E402
import art_icons  # noqa: E402
import art_panel  # noqa: E402
from art_paint import mix  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RESOURCES = os.path.join(ROOT, "resources")

# name: (bits per pixel, colours used field; 0 means the full table for the depth)
BITMAPS = {
    "BACKGROUND": (8, 0),
    "ABOUTBMP": (8, 255),
    "KEY": (4, 0),
    "PITCHUP": (8, 44),
    "PITCHDOWN": (4, 0), "VOLUP": (4, 0), "VOLDOWN": (4, 0),
    "RESET": (4, 0),
    "MUTE": (4, 0),
    "KILL": (4, 0),
    "DIALUP": (4, 0), "DIALDOWN": (4, 0),
    "MASVOLUP": (4, 0), "MASVOLDOWN": (4, 0),
    "LOOP1": (4, 0), "LOOP2": (4, 0), "LOOP3": (4, 0), "LOOP4": (4, 0),
    "LOOP1DOWN": (4, 0), "LOOP2DOWN": (4, 0), "LOOP3DOWN": (4, 0), "LOOP4DOWN": (4, 0),
    "PANDOWN": (8, 0), "PANLEFT": (8, 0), "PANRIGHT": (8, 0),
    "PANCENTER": (8, 44),
}

SIZES = {
    "BACKGROUND": (604, 327), "ABOUTBMP": (501, 175), "KEY": (30, 30), "PITCHUP": (25, 30),
    "PITCHDOWN": (25, 30), "VOLUP": (25, 30), "VOLDOWN": (25, 30), "RESET": (25, 13), "MUTE": (17, 17),
    "KILL": (55, 28), "DIALUP": (14, 15), "DIALDOWN": (14, 15), "MASVOLUP": (15, 25), "MASVOLDOWN": (15, 25),
    "PANDOWN": (25, 11), "PANLEFT": (25, 11), "PANRIGHT": (25, 11), "PANCENTER": (25, 11),
}
for _n in range(1, 5):
    SIZES["LOOP%d" % _n] = SIZES["LOOP%dDOWN" % _n] = (30, 30)


# ---------------------------------------------------------------- the panel palette

def _ramp(a, b, steps):
    return [mix(a, b, i / (steps + 1)) for i in range(1, steps + 1)]


def deliberate_colours():
    """Colours the palette holds whatever the pictures: the program's own
    drawing colours, the panel greens and the blends between the panel's
    flat colours and its text colours."""
    p = art_panel
    colours = [(0, 0, 0), (255, 255, 255)] + p.PROGRAM_COLOURS
    colours += [(0, g, 0) for g in (8, 12, 14, 16, 20, 22, 24, 26, 28, 30, 32, 36, 38, 40, 42, 44, 46,
                                    55, 58, 62, 66, 72, 78, 84, 90, 110, 120, 135, 150, 170, 230, 255)]
    colours += [(v, v, v) for v in range(16, 256, 16)]
    colours += _ramp(p.KEY_FACE, p.LEGEND, 6) + [p.LEGEND]
    colours += _ramp(p.PANEL, p.LABEL, 5) + [p.LABEL]
    colours += _ramp(p.PANEL, p.YELLOW, 4)
    colours += _ramp(p.BAR_EMPTY, p.NOTE_BAR, 3) + _ramp(p.BAR_EMPTY, p.FINE_BAR, 3)
    colours += _ramp((0, 72, 0), p.VOLUME_BAR, 4)
    colours += [(v, 0, 0) for v in (40, 70, 130, 160, 190, 215, 230)]
    colours += [(255, 110, 90), (255, 150, 120), (255, 200, 180), (255, 235, 225)]
    colours += [(255, 214, 60), (230, 228, 190), (190, 190, 150), (120, 90, 30)]
    out = []
    for c in colours:
        if c not in out:
            out.append(c)
    return out


def build_palette(pictures):
    """256 colours: the deliberate ones first, then the colours that the
    pictures need most (shading, anti-aliased edges), picked by median cut
    over all pictures at once."""
    fixed = deliberate_colours()
    width = sum(im.width for im in pictures)
    height = max(im.height for im in pictures)
    sheet = Image.new("RGB", (width, height), art_panel.PANEL)
    x = 0
    for im in pictures:
        sheet.paste(im, (x, 0))
        x += im.width
    wanted = 256 - len(fixed)
    quantized = sheet.quantize(colors=wanted + 40, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    raw = quantized.getpalette()[: 3 * (wanted + 40)]
    counts = sorted(((n, i) for n, i in quantized.getcolors(256)), reverse=True)
    palette = list(fixed)
    for _, i in counts:
        c = tuple(raw[3 * i: 3 * i + 3])
        if len(palette) == 256:
            break
        if min(_distance(c, q) for q in palette) > 12:
            palette.append(c)
    # Should the pictures need fewer colours than are left, finish with
    # more of the panel's own greens.
    g = 1
    while len(palette) < 256:
        c = (0, g, 0)
        if c not in palette:
            palette.append(c)
        g += 1
    return palette


def _distance(a, b):
    dr, dg, db = a[0] - b[0], a[1] - b[1], a[2] - b[2]
    return 2 * dr * dr + 4 * dg * dg + 3 * db * db


class Mapper:
    """Nearest-colour lookup into a list of colours, remembering answers
    (the pictures have few distinct colours, the background many pixels)."""

    def __init__(self, colours):
        self.colours = colours
        self.cache = {}

    def index(self, c):
        i = self.cache.get(c)
        if i is None:
            best = None
            for j, q in enumerate(self.colours):
                dist = _distance(c, q)
                if best is None or dist < best:
                    best, i = dist, j
            self.cache[c] = i
        return i

    def indices(self, im):
        return [self.index(c) for c in im.getdata()]


def choose_subset(im, palette, limit):
    """The palette entries, at most limit of them, that draw im best: start
    from the nearest entry of every pixel, then, if there are too many, keep
    adding the entry that lowers the total colour error the most."""
    full = Mapper(palette)
    counts = {}
    for c, n in ((c, n) for n, c in im.getcolors(1 << 16)):
        counts[c] = counts.get(c, 0) + n
    candidates = sorted({full.index(c) for c in counts})
    if len(candidates) <= limit:
        return candidates
    colours = list(counts.items())
    best = [None] * len(colours)
    chosen = []
    for _ in range(limit):
        top_gain, top = -1, None
        for cand in candidates:
            if cand in chosen:
                continue
            q = palette[cand]
            gain = 0
            for k, (c, n) in enumerate(colours):
                dist = _distance(c, q)
                if best[k] is None:
                    gain += n * (10 ** 7 - dist)
                elif dist < best[k]:
                    gain += n * (best[k] - dist)
            if gain > top_gain:
                top_gain, top = gain, cand
        chosen.append(top)
        q = palette[top]
        for k, (c, n) in enumerate(colours):
            dist = _distance(c, q)
            if best[k] is None or dist < best[k]:
                best[k] = dist
    return sorted(chosen)


# ---------------------------------------------------------------- file writers

def dib_bytes(width, height, bpp, table, indices, colours_used):
    """A BMP file: file header, 40-byte information header, colour table
    (blue, green, red, 0), rows bottom-up, each padded to 4 bytes."""
    row_bytes = ((width * bpp + 31) // 32) * 4
    rows = []
    for y in range(height - 1, -1, -1):
        line = indices[y * width:(y + 1) * width]
        if bpp == 8:
            data = bytes(line)
        else:
            padded = line + [0] * (len(line) % 2)
            data = bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
        rows.append(data + b"\0" * (row_bytes - len(data)))
    pixels = b"".join(rows)
    colour_table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, len(pixels), 2835, 2835,
                       colours_used, 0)
    offset = 14 + len(info) + len(colour_table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colour_table + pixels


def bitmap_file(name, im, palette):
    bpp, colours_used = BITMAPS[name]
    assert im.size == SIZES[name], (name, im.size)
    table_size = colours_used or (1 << bpp)
    if table_size == 256:
        # A full table is the panel palette itself.
        table = list(palette)
    elif table_size == 255:
        # The first 255 panel colours, so the picture's indices are the panel's.
        table = palette[:255]
    else:
        subset = choose_subset(im, palette, table_size)
        table = [palette[i] for i in subset]
        table += [table[0]] * (table_size - len(table))
    indices = Mapper(table).indices(im)
    return dib_bytes(im.width, im.height, bpp, table, indices, colours_used), table, indices


def _and_mask(alpha_rows, size):
    row_bytes = ((size + 31) // 32) * 4
    out = b""
    for row in alpha_rows:
        bits = bytearray(row_bytes)
        for x, a in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


def icon_image_bytes(im):
    """One 32-bit image of an icon or cursor file: the information header
    (height doubled for the colour and mask halves), BGRA rows bottom-up,
    then the one-bit transparency mask."""
    size = im.width
    px = list(im.getdata())
    rows = [px[y * size:(y + 1) * size] for y in range(size)]
    colour = b"".join(
        b"".join(struct.pack("<BBBB", *((b, g, r, a) if a else (0, 0, 0, 0))) for r, g, b, a in row)
        for row in reversed(rows))
    mask = _and_mask([[p[3] for p in row] for row in reversed(rows)], size)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + colour + mask


def cursor_file(im, hotspot):
    data = icon_image_bytes(im)
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", im.width, im.height, 0, 0, hotspot[0], hotspot[1], len(data), 6 + 16)
    return head + entry + data


def icon_file(images):
    datas = [icon_image_bytes(im) for im in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for im, data in zip(images, datas):
        out += struct.pack("<BBBBHHII", im.width % 256, im.height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(datas)


# ---------------------------------------------------------------- checks

def check_bitmap(name, data, palette):
    """Reads a written BMP back and checks every field the program relies on."""
    bpp, colours_used = BITMAPS[name]
    width, height = SIZES[name]
    magic, file_size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    (header_size, w, h, planes, depth, compression, image_size, _, _, used,
     _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    table_size = used or (1 << depth)
    row_bytes = ((width * bpp + 31) // 32) * 4
    assert magic == b"BM" and file_size == len(data), name
    assert header_size == 40 and planes == 1 and compression == 0, name
    assert (w, h, depth, used) == (width, height, bpp, colours_used), (name, w, h, depth, used)
    assert offset == 14 + 40 + 4 * table_size, (name, offset)
    assert image_size == row_bytes * height and len(data) == offset + image_size, name
    table = [struct.unpack_from("<BBBB", data, 54 + 4 * i) for i in range(table_size)]
    assert all(q[3] == 0 for q in table), name
    rgb = [(r, g, b) for b, g, r, _ in table]
    if name == "BACKGROUND":
        assert len(set(rgb)) == 256, "the panel palette has duplicate colours"
    else:
        assert all(c in palette for c in rgb), name + " uses a colour outside the panel palette"
    return rgb, data[offset:]


def pixel(name, data, x, y, table):
    bpp = BITMAPS[name][0]
    width, height = SIZES[name]
    row_bytes = ((width * bpp + 31) // 32) * 4
    row = data[(height - 1 - y) * row_bytes:]
    if bpp == 8:
        return table[row[x]]
    byte = row[x // 2]
    return table[byte >> 4 if x % 2 == 0 else byte & 15]


def check_panel_pixels(bg_table, bg_pixels):
    """Spots where the program draws next to or over the background, and so
    needs the background's colour to be exactly its own."""
    def at(x, y):
        return pixel("BACKGROUND", bg_pixels, x, y, bg_table)

    p = art_panel
    for x, y in ((461, 2), (602, 325), (530, 160)):
        assert at(x, y) == p.PANEL, "the sound list's column must be plain panel green"
    for k in range(47):
        x, y = p.key_cap_position(k)
        for dx, dy in ((3, 3), (26, 11), (14, 7)):
            assert at(x + dx, y + dy) == p.KEY_FACE, "key cap %d: label strip not the label colour" % k
    for l, t, r, b in p.READOUTS:
        assert at(l, t) == p.READOUT_BACK and at(r - 1, b - 1) == p.READOUT_BACK
    for l, t, r, b in p.BARS + [p.MASTER_BAR]:
        assert at(l, t) == p.BAR_EMPTY and at(r - 1, b - 1) == p.BAR_EMPTY
    # The pan knob's bitmap is drawn anywhere along the track: the rows
    # under it must be the same all the way along.
    for y in range(p.PAN_TOP, p.PAN_TOP + 11):
        assert len({at(x, y) for x in range(p.PAN_TRACK_LEFT, p.PAN_TRACK_RIGHT)}) == 1, "pan track row %d" % y


def check_cursor(name, data, hotspot):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    w, h, _, _, hx, hy, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
    assert (reserved, kind, count) == (0, 2, 1), name
    assert (w, h) == (32, 32) and (hx, hy) == hotspot and 0 <= hx < 32 and 0 <= hy < 32, name
    assert offset + size == len(data), name
    header, iw, ih, _, bits = struct.unpack_from("<IiiHH", data, offset)
    assert (header, iw, ih, bits) == (40, 32, 64, 32), name


def check_icon(name, data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind, count) == (0, 1, 2), name
    sizes = []
    for i in range(count):
        w, h, _, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        header, iw, ih = struct.unpack_from("<Iii", data, offset)
        assert planes == 1 and bits == 32 and header == 40 and (iw, ih) == (w, 2 * h), name
        assert offset + size <= len(data), name
        sizes.append(w)
    assert sorted(sizes) == [16, 32], name


# ---------------------------------------------------------------- main

def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def resource_script(bitmap_names, cursor_names):
    lines = ["// Bitmaps, cursors and icons drawn by tools/make_art.py.", ""]
    lines += ['%-11s BITMAP "%s.bmp"' % (n, n.lower()) for n in bitmap_names]
    lines.append("")
    lines += ['%-11s CURSOR "%s.cur"' % (n, n.lower()) for n in cursor_names]
    lines.append("")
    # The program's icon comes first: the desktop shows icon 0 for the
    # program and icon 1 for its setup files.
    lines += ['APPICON     ICON "appicon.ico"', 'SETUPICON   ICON "setupicon.ico"', ""]
    return "\n".join(lines)


def _simulate_run_time_drawing(img):
    """Roughly what the program draws over the panel: sound numbers on the
    key caps, the selection frame, readouts and bars."""
    from PIL import ImageDraw
    from art_paint import font
    p = art_panel
    d = ImageDraw.Draw(img)
    small = font("DejaVuSans.ttf", 8)
    for k in range(47):
        x, y = p.key_cap_position(k)
        d.rectangle((x + 3, y + 3, x + 26, y + 11), fill=p.KEY_FACE)
        d.text((x + 5, y + 3), str(k + 1), fill=p.YELLOW, font=small)
    x, y = p.key_cap_position(0)
    for i in range(3):
        d.rectangle((x + i, y + i, x + 29 - i, y + 29 - i), outline=p.YELLOW)
    readout = font("DejaVuSans.ttf", 10)
    for (l, t, r, b), value, (bl, bt, br, bb), filled, colour in zip(
            p.READOUTS, (" 0", " 0", " 100"), p.BARS, (40, 44, 23), (p.NOTE_BAR, p.FINE_BAR, p.VOLUME_BAR)):
        d.text((r - 2, t), value, fill=p.READOUT_TEXT, font=readout, anchor="ra")
        d.rectangle((bl, bb - filled, br - 1, bb - 1), fill=colour)
    l, t, r, b = p.MASTER_BAR
    d.rectangle((l, b - 45, r - 1, b - 1), fill=p.YELLOW)


def preview(path, bg, images):
    """The background with every pushed or lit image pasted where it is shown, 1:1 over 2x."""
    p = art_panel
    composite = bg.copy()
    places = {
        "PITCHUP": p.NOTE_UP, "PITCHDOWN": p.FINE_DOWN, "VOLUP": p.VOL_UP, "RESET": p.FINE_RESET,
        "MUTE": p.MUTE, "KILL": p.KILL, "DIALUP": p.DIALS[2][0], "DIALDOWN": p.DIALS[5][0],
        "MASVOLDOWN": p.MASTER_DOWN, "LOOP1": p.TRIGGER_BUTTONS[0], "LOOP2DOWN": p.TRIGGER_BUTTONS[1],
        "KEY": p.key_cap_position(14) + (30, 30), "PANLEFT": (p.PAN_TRACK_LEFT + 20, p.PAN_TOP),
    }
    for name, rect in places.items():
        composite.paste(images[name], rect[:2])
    _simulate_run_time_drawing(composite)
    sheet = Image.new("RGB", (bg.width * 2, bg.height * 3 + 40), (40, 40, 40))
    sheet.paste(composite, (0, 0))
    others = ["LOOP1", "LOOP2", "LOOP3", "LOOP4", "LOOP1DOWN", "LOOP2DOWN", "LOOP3DOWN", "LOOP4DOWN",
              "PANLEFT", "PANCENTER", "PANRIGHT", "PANDOWN", "VOLDOWN", "MASVOLUP", "DIALUP"]
    x = bg.width + 10
    y = 4
    for name in others:
        im = images[name].resize((images[name].width * 3, images[name].height * 3), Image.NEAREST)
        if x + im.width > sheet.width:
            x, y = bg.width + 10, y + 100
        sheet.paste(im, (x, y))
        x += im.width + 6
    sheet.paste(composite.resize((bg.width * 2, bg.height * 2), Image.NEAREST), (0, bg.height + 40))
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    sheet.save(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", help="also write a PNG of the panel with its pushed and lit images")
    args = parser.parse_args()

    bare = art_panel.bare_panel()
    pictures = {"BACKGROUND": art_panel.background(), "ABOUTBMP": art_about.about_picture()}
    pictures.update(art_panel.control_images(bare))
    assert set(pictures) == set(BITMAPS), set(BITMAPS) ^ set(pictures)

    order = ["BACKGROUND"] + sorted(n for n in pictures if n != "BACKGROUND")
    palette = build_palette([pictures[n] for n in order])

    shown = {}
    for name in order:
        data, table, indices = bitmap_file(name, pictures[name], palette)
        path = os.path.join(RESOURCES, name.lower() + ".bmp")
        write(path, data)
        with open(path, "rb") as f:
            table, pixels = check_bitmap(name, f.read(), palette)
        if name == "BACKGROUND":
            check_panel_pixels(table, pixels)
        shown[name] = Image.new("RGB", SIZES[name])
        shown[name].putdata([pixel(name, pixels, i % SIZES[name][0], i // SIZES[name][0], table)
                             for i in range(SIZES[name][0] * SIZES[name][1])])

    for name, draw in art_icons.CURSORS.items():
        im, hotspot = draw()
        path = os.path.join(RESOURCES, name.lower() + ".cur")
        write(path, cursor_file(im, hotspot))
        with open(path, "rb") as f:
            check_cursor(name, f.read(), hotspot)
    for name, draw in art_icons.ICONS.items():
        path = os.path.join(RESOURCES, name.lower() + ".ico")
        write(path, icon_file([draw(32), draw(16)]))
        with open(path, "rb") as f:
            check_icon(name, f.read())

    with open(os.path.join(RESOURCES, "art.rc"), "w", newline="\n") as f:
        f.write(resource_script(order, list(art_icons.CURSORS)))

    if args.preview:
        preview(args.preview, shown["BACKGROUND"], shown)
    print("wrote %d bitmaps, %d cursors, %d icons and art.rc into %s"
          % (len(order), len(art_icons.CURSORS), len(art_icons.ICONS), RESOURCES))


if __name__ == "__main__":
    main()
