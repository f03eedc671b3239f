"""The virtual MIDI input of the tests that play from MIDI: there is no MIDI
hardware here, so the rig's own winmm driver (tests/e2e/virtual_midi.c) is
installed into the session's Wine prefix, and a test sends it messages over UDP."""

import shutil
import socket
import struct
import subprocess

from .run_folder import RUN
from .wine_prefix import WINE

DRIVER = "qpmidi"  # installed as wine<DRIVER>.drv and named in Wine's "Audio" drivers
INPUT_NAME = "Virtual Pads Ωμέγα 仮想パッド"  # too long in UTF-8 for the ANSI caps' 32 bytes
PORT_VARIABLE = "QUILLPAD_TEST_MIDI_PORT"
# Short messages in one datagram: a flood goes in few datagrams.
MESSAGES_PER_DATAGRAM = 1000
# What the driver takes as its cable pulled: no whole number of messages.
UNPLUG_DATAGRAM = b"unplug"


def _free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def packed(message):
    """A short message as winmm packs it: its first byte lowest. An int is taken as packed already."""
    if isinstance(message, int):
        return message
    word = 0
    for shift, byte in enumerate(message):
        word |= (byte & 0xFF) << (8 * shift)
    return word


class VirtualMidi:
    def __init__(self):
        self.port = _free_udp_port()
        self.sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)

    def env(self):
        """What the driver, loaded into the program, reads to find its port."""
        return {PORT_VARIABLE: str(self.port)}

    def install(self, prefix):
        """Puts the driver into the prefix's system32 and makes it Wine's audio driver
        (its audio functions are winepulse's: the sound still goes to PulseAudio)."""
        shutil.copy(RUN.helper_exe("virtual_midi", "dll"), prefix.path / "drive_c" / "windows" / "system32" /
                    f"wine{DRIVER}.drv")
        subprocess.run([*WINE, "reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Audio", "/t", "REG_SZ", "/d",
                        DRIVER, "/f"], env=prefix.env(), check=True, capture_output=True, timeout=60)

    def send(self, *messages):
        """Short messages, each bytes (a list of up to 3) or a packed int, in order."""
        words = [packed(message) for message in messages]
        for start in range(0, len(words), MESSAGES_PER_DATAGRAM):
            chunk = words[start:start + MESSAGES_PER_DATAGRAM]
            self.sender.sendto(struct.pack(f"<{len(chunk)}I", *chunk), ("127.0.0.1", self.port))

    def note_on(self, note, velocity=127, channel=0):
        self.send([0x90 | channel, note, velocity])

    def note_off(self, note, channel=0):
        self.send([0x80 | channel, note, 0])

    def control(self, controller, value=0, channel=0):
        self.send([0xB0 | channel, controller, value])

    def unplug(self):
        """The device goes as an unplugged one does: the driver reports the input
        closed, and the program can neither list nor open it again."""
        self.sender.sendto(UNPLUG_DATAGRAM, ("127.0.0.1", self.port))

    def close(self):
        self.sender.close()
