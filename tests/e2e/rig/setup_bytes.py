"""Setup files written and read by the tests themselves, and the panel's bitmaps
decoded from the resource files, so that the end-to-end tests can compare what
the program writes and shows with an independent model of it."""

import struct
from dataclasses import dataclass, replace
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
RESOURCES = REPO / "resources"

NEWEST_VERSION = 7995
KEY_COUNT = 47
KEY_RECORD_SIZE = 12
MASTER_VOLUME_OFFSET = 566
FOLDER_LENGTH_OFFSET = 944
FIXED_SIZE = 1039  # everything but the folder's bytes

HOLD_FINISH, HOLD_STOP, TOGGLE_STOP_RUNNING, TOGGLE_STOP, TOGGLE_FINISH_RUNNING, TOGGLE_FINISH = range(991, 997)


@dataclass(frozen=True)
class Key:
    note: int
    trigger_mode: int
    sound_index: int
    volume: int
    pan: int
    fine_tune: int = 0
    muted: int = 0
    extra_a: int = -1
    extra_b: int = 10
    extra_c: int = 0
    extra_d: int = 1


def start_up_keys():
    """The 47 keys as the program fills them at start-up."""
    keys = []
    for k in range(KEY_COUNT):
        if k <= 12:
            keys.append(Key(note=48 + k, trigger_mode=HOLD_STOP, sound_index=0, volume=100, pan=50))
        elif k <= 25:
            keys.append(Key(note=47 + k, trigger_mode=HOLD_FINISH, sound_index=1, volume=80, pan=100))
        else:
            keys.append(Key(note=60, trigger_mode=TOGGLE_STOP, sound_index=k - 24, volume=100, pan=100))
    return keys


def with_key(keys, k, **changes):
    keys = list(keys)
    keys[k] = replace(keys[k], **changes)
    return keys


def _word(value):
    return struct.pack(">h", value)


def compose_setup(keys, master_volume, folder, version=NEWEST_VERSION):
    """A version-7995 setup file: big-endian words, folder as a length byte plus its bytes."""
    folder_bytes = folder.encode("latin-1")
    if len(folder_bytes) > 126:
        raise ValueError(f"a setup file holds at most 126 bytes of folder, not {len(folder_bytes)}")
    out = bytearray(_word(version))
    for key in keys:
        for value in (key.note, key.trigger_mode, key.sound_index, key.extra_a, key.volume, key.pan):
            out += _word(value)
    out += _word(master_volume)
    for key in keys:
        out += _word(key.fine_tune) + _word(key.muted)
    for key in keys:
        out += _word(key.extra_b) + _word(key.extra_c)
    out += bytes([len(folder_bytes) + 1]) + folder_bytes
    for key in keys:
        out += _word(key.extra_d)
    return bytes(out)


def key_record(data, k):
    """The six words of key k's first record: note, mode, sound, extraA, volume, pan."""
    offset = 2 + KEY_RECORD_SIZE * k
    return struct.unpack_from(">6h", data, offset)


def folder_of(data):
    length = data[FOLDER_LENGTH_OFFSET]
    return data[FOLDER_LENGTH_OFFSET + 1:FOLDER_LENGTH_OFFSET + length].decode("latin-1")


# ---------------------------------------------------------------------------
# The panel's bitmaps, as the resource files hold them.

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
    return Bitmap(RESOURCES / f"{name.lower()}.bmp")
