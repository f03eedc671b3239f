"""Small drawing helpers shared by Quillpad's art generator.

Everything is drawn in plain RGB (or RGBA for cursors and icons) at 1:1,
except curved edges, which are drawn four times larger and scaled down so
that they come out smooth without blurring the straight pixel edges.
"""

from PIL import Image, ImageDraw, ImageFont

FONT_DIRS = ("/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/truetype/liberation")

SANS = "DejaVuSans.ttf"
SANS_BOLD = "DejaVuSans-Bold.ttf"
SERIF_BOLD_ITALIC = "DejaVuSerif-BoldItalic.ttf"

_fonts = {}


def font(name, size):
    key = (name, size)
    if key not in _fonts:
        for folder in FONT_DIRS:
            try:
                _fonts[key] = ImageFont.truetype(folder + "/" + name, size)
                break
            except OSError:
                continue
        else:
            raise SystemExit("font %s not found: apt-get install fonts-dejavu-core fonts-dejavu-extra" % name)
    return _fonts[key]


def mix(a, b, t):
    """Colour t of the way from a to b."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def darker(c, f):
    return tuple(int(round(v * f)) for v in c)


def box(draw, x0, y0, x1, y1, colour):
    """Filled rectangle, corners inclusive."""
    draw.rectangle((x0, y0, x1, y1), fill=colour)


def frame(draw, x0, y0, x1, y1, top_left, bottom_right):
    """One-pixel frame whose top and left edges differ from its bottom and right."""
    draw.line((x0, y1, x0, y0, x1, y0), fill=top_left)
    draw.line((x1, y0 + 1, x1, y1, x0 + 1, y1), fill=bottom_right)


def bevel(draw, x0, y0, x1, y1, light, dark, width=1):
    for i in range(width):
        frame(draw, x0 + i, y0 + i, x1 - i, y1 - i, light, dark)


def inset_well(draw, x0, y0, x1, y1, inside):
    """A recessed window around the rectangle x0..x1, y0..y1 (inclusive), as
    for the readouts and bar meters: shadow above and left, light below and right."""
    frame(draw, x0 - 2, y0 - 2, x1 + 2, y1 + 2, (0, 30, 0), (40, 110, 40))
    frame(draw, x0 - 1, y0 - 1, x1 + 1, y1 + 1, (0, 10, 0), (0, 72, 0))
    box(draw, x0, y0, x1, y1, inside)


def _mask(size, scale, paint):
    w, h = size
    big = Image.new("L", (w * scale, h * scale), 0)
    paint(ImageDraw.Draw(big), scale)
    return big.resize((w, h), Image.BOX)


def smooth_polygon(img, points, fill, scale=4):
    """Polygon in pixel-edge coordinates ((0,0) is the top-left corner of the
    top-left pixel), anti-aliased by supersampling."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    bx, by = int(min(xs)), int(min(ys))
    w, h = int(max(xs)) + 1 - bx + 1, int(max(ys)) + 1 - by + 1

    def paint(d, s):
        d.polygon([((x - bx) * s, (y - by) * s) for x, y in points], fill=255)

    m = _mask((w, h), scale, paint)
    img.paste(Image.new(img.mode, (w, h), fill), (bx, by), m)


def smooth_ellipse(img, x0, y0, x1, y1, fill, scale=4, outline=None, width=0):
    """Ellipse inside the pixel-edge box (x0, y0)-(x1, y1)."""
    bx, by = int(x0), int(y0)
    w, h = int(x1 + 1) - bx, int(y1 + 1) - by

    def paint(d, s):
        d.ellipse(((x0 - bx) * s, (y0 - by) * s, (x1 - bx) * s - 1, (y1 - by) * s - 1), fill=255)

    m = _mask((w, h), scale, paint)
    img.paste(Image.new(img.mode, (w, h), fill), (bx, by), m)


def smooth_line(img, points, fill, width, scale=4):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    pad = width + 1
    bx, by = int(min(xs) - pad), int(min(ys) - pad)
    w, h = int(max(xs) + pad) - bx + 1, int(max(ys) + pad) - by + 1

    def paint(d, s):
        d.line([((x - bx) * s, (y - by) * s) for x, y in points], fill=255, width=int(width * s),
               joint="curve")

    m = _mask((w, h), scale, paint)
    img.paste(Image.new(img.mode, (w, h), fill), (bx, by), m)


def text(draw, xy, s, colour, face, size, anchor="mm", crisp=False):
    """Text placed by a PIL anchor ("mm" centre, "ms" baseline centre...).
    crisp text has no anti-aliasing: tiny engraved labels read better so."""
    draw.fontmode = "1" if crisp else "L"
    draw.text(xy, s, fill=colour, font=font(face, size), anchor=anchor)
    draw.fontmode = "L"


def engraved_text(draw, xy, s, colour, face, size, anchor="mm", crisp=False):
    """Text cut into the panel: a dark shadow one pixel up-left."""
    x, y = xy
    text(draw, (x - 1, y - 1), s, (0, 22, 0), face, size, anchor, crisp)
    text(draw, (x, y), s, colour, face, size, anchor, crisp)
