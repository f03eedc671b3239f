"""Setup files composed and read by the tests themselves, an independent model
of what the program writes and reads."""

import struct
from dataclasses import dataclass, replace

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


def compose_setup(keys, master_volume, folder, version=NEWEST_VERSION, encoding="utf-8"):
    """A version-7995 setup file: big-endian words, folder as a length byte plus its bytes,
    in UTF-8 as the program writes it (or, as older versions did, in a legacy `encoding`)."""
    folder_bytes = folder.encode(encoding)
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
    return data[FOLDER_LENGTH_OFFSET + 1:FOLDER_LENGTH_OFFSET + length].decode("utf-8")
