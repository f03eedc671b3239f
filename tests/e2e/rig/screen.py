"""Pictures: screenshots of the test's display read from ImageMagick's PPM,
written as PNG for failure artifacts, and the panel's BMP resources decoded so
that tests compare the screen with the program's own images."""

import os
import struct
import subprocess
import zlib
from pathlib import Path

from .paths import REPO

RESOURCES = REPO / "resources"


class Screenshot:
    """An RGB picture of the whole screen; pixel() takes screen coordinates."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def of_display(cls, display_name):
        env = dict(os.environ)
        env["DISPLAY"] = display_name
        raw = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env, capture_output=True,
                             check=True, timeout=20).stdout
        return cls.from_ppm(raw)

    @classmethod
    def from_ppm(cls, raw):
        fields = []
        pos = 0
        while len(fields) < 4:
            while raw[pos:pos + 1].isspace():
                pos += 1
            if raw[pos:pos + 1] == b"#":
                pos = raw.index(b"\n", pos) + 1
                continue
            end = pos
            while not raw[end:end + 1].isspace():
                end += 1
            fields.append(raw[pos:end])
            pos = end
        pos += 1  # the single whitespace after the maximum value
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError("expected an 8-bit binary PPM")
        width, height = int(fields[1]), int(fields[2])
        return cls(width, height, raw[pos:pos + width * height * 3])

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) is off the screen")
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, width, height):
        rows = []
        for row in range(y, y + height):
            start = (row * self.width + x) * 3
            rows.append(self.data[start:start + width * 3])
        return Screenshot(width, height, b"".join(rows))

    def save_png(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        stride = self.width * 3
        scanlines = b"".join(b"\x00" + self.data[r * stride:(r + 1) * stride] for r in range(self.height))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
        png = (b"\x89PNG\r\n\x1a\n"
               + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
               + chunk(b"IDAT", zlib.compress(scanlines, 6))
               + chunk(b"IEND", b""))
        path.write_bytes(png)
        return path


class ClientShot:
    """A screenshot seen through the main window's client area: pixel(x, y) in client coordinates."""

    def __init__(self, screen, origin):
        self.screen = screen
        self.origin = origin

    def pixel(self, x, y):
        return self.screen.pixel(self.origin[0] + x, self.origin[1] + y)

    def pixels(self, rect):
        """((x, y), colour) of every pixel of (left, top, right, bottom), right and bottom excluded."""
        left, top, right, bottom = rect
        return [((x, y), self.pixel(x, y)) for y in range(top, bottom) for x in range(left, right)]

    def save_png(self, path):
        return self.screen.save_png(path)


class Bitmap:
    """An uncompressed 4- or 8-bit BMP file: pixel(x, y) is an RGB triple, y counted from the top."""

    def __init__(self, path):
        data = Path(path).read_bytes()
        if data[:2] != b"BM":
            raise ValueError(f"{path} is not a BMP file")
        pixels_at = struct.unpack_from("<I", data, 10)[0]
        header_size, self.width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
        colours_used = struct.unpack_from("<I", data, 46)[0]
        if compression != 0 or bits not in (4, 8):
            raise ValueError(f"{path}: only uncompressed 4- and 8-bit bitmaps")
        self.height = abs(height)
        count = colours_used or (1 << bits)
        table_at = 14 + header_size
        self.colours = [tuple(reversed(data[table_at + 4 * i:table_at + 4 * i + 3])) for i in range(count)]
        stride = (self.width * bits + 31) // 32 * 4
        self.rows = []
        for row in range(self.height):
            stored = self.height - 1 - row if height > 0 else row
            line = data[pixels_at + stored * stride:pixels_at + (stored + 1) * stride]
            if bits == 8:
                indices = list(line[:self.width])
            else:
                indices = [(line[x // 2] >> (0 if x % 2 else 4)) & 0x0F for x in range(self.width)]
            self.rows.append(indices)

    def pixel(self, x, y):
        return self.colours[self.rows[y][x]]


def resource_bitmap(name):
    """One of the program's bitmap resources, by its resource name."""
    return Bitmap(RESOURCES / f"{name.lower()}.bmp")
