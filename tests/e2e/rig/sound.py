"""Sound: the test's sound files, the recording of the sound card's output, and
its analysis (onset, silence, pitch, level, balance).

Wine plays into a PulseAudio null sink of the test's own; parec records its
monitor. Times are seconds on the recording's clock, which mark() ties to the
wall clock, so key presses and recorded sound can be compared."""

import array
import math
import os
import subprocess
import sys
import tempfile
import threading
import time
import wave
from pathlib import Path

from .paths import REPO
from .waits import WaitTimeout, wait_until

RATE = 44100

# Levels that count as sound and as silence, in dBFS.
SOUND_DB = -40.0
SILENCE_DB = -60.0
WINDOW = 0.005  # analysis window, seconds
LEVEL_WINDOW = 0.01
# A key press, or a change of a sounding key's volume, reaches the recording about
# 0.2 s later; what has not come within this long is late.
LATE = 0.4


def make_sounds_path():
    return Path(os.environ.get("QUILLPAD_MAKE_SOUNDS", REPO / "build" / "native" / "tools" / "make_sounds")).resolve()


def make_sine(path, freq, rate=RATE, seconds=1.0, channels=1, amplitude=0.5):
    """A 16-bit PCM sine WAV of `amplitude` times full scale, the same in every
    channel, made by the project's own make_sounds tool."""
    tool = make_sounds_path()
    if not tool.exists():
        raise FileNotFoundError(f"{tool} does not exist: build it (target make_sounds) or set QUILLPAD_MAKE_SOUNDS")
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run([str(tool), "sine", str(path), repr(float(freq)), str(rate), repr(float(seconds)), str(channels),
                    repr(float(amplitude))], check=True, capture_output=True, timeout=30)
    return path


# How each kind of sound file is made of a WAV file of the same tone: sox writes
# FLAC, Ogg Vorbis and AIFF by the name's extension, lame writes MP3.
def _encode_command(wav, path):
    if path.suffix.lower() == ".mp3":
        return ["lame", "--quiet", "-b", "128", str(wav), str(path)]
    return ["sox", str(wav), str(path)]


TONE_KINDS = (".wav", ".mp3", ".flac", ".ogg", ".aif", ".aiff")


def make_tone(path, freq, seconds=1.0, rate=RATE, channels=1, amplitude=0.5):
    """A sine in the kind of sound file the name's extension says (TONE_KINDS):
    a WAV file is make_sine's; every other kind is encoded from one."""
    path = Path(path)
    kind = path.suffix.lower()
    if kind not in TONE_KINDS:
        raise ValueError(f"no tone of kind {kind!r}: {TONE_KINDS}")
    if kind == ".wav":
        return make_sine(path, freq, rate, seconds, channels, amplitude)
    path.parent.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as folder:
        wav = make_sine(Path(folder) / "tone.wav", freq, rate, seconds, channels, amplitude)
        subprocess.run(_encode_command(wav, path), check=True, capture_output=True, timeout=300)
    return path


def _rising_crossings(samples):
    """Sample positions, interpolated, where the signal rises through its mean after
    having been well below it (hysteresis, so low-level noise near zero counts not)."""
    if len(samples) < 2:
        raise ValueError("window too short")
    mean = sum(samples) / len(samples)
    centred = [s - mean for s in samples]
    rms = math.sqrt(sum(s * s for s in centred) / len(centred))
    if rms < 1:
        return []
    arm_below = -0.3 * rms
    armed = False
    crossings = []
    previous = centred[0]
    for i in range(1, len(centred)):
        value = centred[i]
        if value < arm_below:
            armed = True
        elif armed and previous < 0 <= value:
            crossings.append(i - 1 + (-previous) / (value - previous))
            armed = False
        previous = value
    return crossings


def _period(samples):
    """A steady tone's period in samples, or None: the mean of the times between
    rising crossings that lie within 1 % of their median. A dropout of a busy
    machine's sound output only lengthens the few periods that span it."""
    crossings = _rising_crossings(samples)
    periods = sorted(b - a for a, b in zip(crossings, crossings[1:]))
    if len(periods) < 2:
        return None
    median = periods[len(periods) // 2]
    near = [p for p in periods if abs(p - median) <= 0.01 * median]
    return sum(near) / len(near)


FLOAT_SUB_FORMAT = bytes([0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                          0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71])


class FloatWave:
    def __init__(self, rate, channels, data):
        self.rate, self.channels, self.data = rate, channels, data

    @property
    def frames(self):
        return len(self.data) // (4 * self.channels)


def read_float_wave(path):
    """A WAV file of 32-bit float samples (IEEE_FLOAT, or EXTENSIBLE of that
    sub-format), checked field by field: every size agrees with the others and
    with what the file holds, and the data chunk is whole frames. Bytes past the
    RIFF chunk, written after its sizes were, are not part of it. Raises
    ValueError saying what is wrong."""
    data = Path(path).read_bytes()

    def number(at, size):
        return int.from_bytes(data[at:at + size], "little")

    if len(data) < 12 or data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(f"{path}: not a RIFF WAVE file")
    riff_end = 8 + number(4, 4)
    if riff_end > len(data):
        raise ValueError(f"{path}: the RIFF size says {riff_end} bytes, the file holds {len(data)}")
    chunks, at = {}, 12
    while at + 8 <= riff_end:
        name, size = data[at:at + 4], number(at + 4, 4)
        if at + 8 + size > riff_end:
            raise ValueError(f"{path}: chunk {name!r} of {size} bytes runs past the RIFF chunk")
        chunks.setdefault(name, (at + 8, size))
        at += 8 + size + size % 2
    if at != riff_end or not {b"fmt ", b"fact", b"data"} <= set(chunks):
        raise ValueError(f"{path}: chunks {sorted(chunks)} do not fill the RIFF chunk of {riff_end} bytes")
    fmt, fmt_size = chunks[b"fmt "]
    tag, channels, rate = number(fmt, 2), number(fmt + 2, 2), number(fmt + 4, 4)
    block, bits = number(fmt + 12, 2), number(fmt + 14, 2)
    float_format = tag == 3 or (tag == 0xFFFE and fmt_size >= 40 and data[fmt + 24:fmt + 40] == FLOAT_SUB_FORMAT)
    if not float_format or bits != 32 or channels == 0 or block != 4 * channels or number(fmt + 8, 4) != rate * block:
        raise ValueError(f"{path}: not a consistent float format (tag {tag:#x}, {channels} channels, {bits} bits)")
    start, size = chunks[b"data"]
    if size % block or number(chunks[b"fact"][0], 4) != size // block:
        raise ValueError(f"{path}: data of {size} bytes, fact count {number(chunks[b'fact'][0], 4)}")
    return FloatWave(rate, channels, data[start:start + size])


class Recorder:
    """Records a PulseAudio monitor source with parec while a test plays.

    The recording's start on the wall clock is the earliest one the arrivals
    allow: samples reach us late, never early, so each chunk's arrival time
    minus the length received so far bounds the start from above."""

    def __init__(self, source, env):
        self.source = source
        self.env = env
        self.process = None
        self.thread = None
        self.buffer = bytearray()
        self.lock = threading.Lock()
        self.start_time = math.inf  # wall clock (monotonic) of the first sample

    def start(self):
        self.process = subprocess.Popen(
            ["parec", "-d", self.source, "--format=s16le", f"--rate={RATE}", "--channels=2", "--latency-msec=10",
             "--raw"],
            env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()
        # The start estimate settles over a few deliveries before anyone marks.
        wait_until(lambda: len(self.buffer) >= 4 * RATE // 10, 10, "parec to deliver its first 0.1 s", 0.01)
        return self

    def _read(self):
        stream = self.process.stdout
        while True:
            chunk = stream.read1(8192)
            arrived = time.monotonic()
            if not chunk:
                return
            with self.lock:
                self.buffer += chunk
                self.start_time = min(self.start_time, arrived - len(self.buffer) / 4 / RATE)

    def mark(self):
        """Recording time of this moment, in seconds."""
        with self.lock:
            return time.monotonic() - self.start_time

    def stop(self):
        if self.process is not None:
            self.process.terminate()
            try:
                self.process.wait(2)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            self.thread.join(5)
            self.process = None
        return self.recording()

    def recording(self):
        """What has been recorded so far."""
        with self.lock:
            data = bytes(self.buffer[:len(self.buffer) // 4 * 4])
        return Recording.from_s16le(data, RATE, 2)

    def recording_until(self, moment, timeout=5.0):
        """The recording once it reaches `moment` (recording time)."""
        wait_until(lambda: len(self.buffer) / 4 / RATE >= moment, timeout,
                   f"the recording to reach {moment:.2f} s")
        return self.recording()

    def wait_for_sound(self, after, what, timeout=3.0):
        """Onset of the first sound after `after`; fails naming `what` if none comes."""
        try:
            return wait_until(lambda: self.recording().onset(after), timeout, f"sound after {what}")
        except WaitTimeout as error:
            raise WaitTimeout(f"{error} (level since then: {self._level_since(after)})") from None

    def wait_for_silence(self, after, what, lasting=0.15, timeout=3.0):
        """Start of the first silence after `after` that lasts `lasting` seconds."""
        def silent_from():
            return self.recording().silence_from(after, lasting)
        try:
            return wait_until(silent_from, timeout, f"silence after {what}")
        except WaitTimeout as error:
            raise WaitTimeout(f"{error} (level since then: {self._level_since(after)})") from None

    def sound_within(self, after, what, late=LATE):
        """Onset of the sound that `what` (done at `after`) starts; fails if it came late."""
        onset = self.wait_for_sound(after, what)
        if onset - after >= late:
            raise AssertionError(f"sound came {onset - after:.2f} s after {what}")
        return onset

    def silence_within(self, after, what, late=LATE):
        """Start of the silence that `what` (done at `after`) brings; fails if it came late."""
        silent_from = self.wait_for_silence(after, what)
        if silent_from - after >= late:
            raise AssertionError(f"still sounding {silent_from - after:.2f} s after {what}")
        return silent_from

    def _level_since(self, moment):
        recording = self.recording()
        if recording.duration <= moment:
            return "nothing recorded"
        return f"{recording.rms_db(moment, recording.duration):.1f} dBFS"


class Recording:
    """Two channels of 16-bit samples; times are in seconds from the recording's start."""

    def __init__(self, left, right, rate):
        self.left, self.right, self.rate = left, right, rate

    @classmethod
    def from_s16le(cls, data, rate, channels):
        samples = array.array("h")
        samples.frombytes(data)
        if sys.byteorder != "little":
            samples.byteswap()
        if channels == 1:
            return cls(samples, samples, rate)
        return cls(samples[0::2], samples[1::2], rate)

    @classmethod
    def from_float_wave(cls, path):
        """The first two channels of a WAV file of 32-bit float samples that
        read_float_wave finds valid, scaled as the 16-bit recordings are."""
        wave_file = read_float_wave(path)
        samples = array.array("f")
        samples.frombytes(wave_file.data)
        if sys.byteorder != "little":
            samples.byteswap()
        channels = wave_file.channels
        left = [v * 32768.0 for v in samples[0::channels]]
        right = left if channels == 1 else [v * 32768.0 for v in samples[1::channels]]
        return cls(left, right, wave_file.rate)

    @classmethod
    def from_wav(cls, path):
        with wave.open(str(path), "rb") as w:
            if w.getsampwidth() != 2:
                raise ValueError("only 16-bit WAV files")
            return cls.from_s16le(w.readframes(w.getnframes()), w.getframerate(), w.getnchannels())

    @property
    def duration(self):
        return len(self.left) / self.rate

    def _channel(self, channel, start, end):
        a = max(0, int(start * self.rate))
        b = min(len(self.left), int(end * self.rate))
        if channel == "left":
            return self.left[a:b]
        if channel == "right":
            return self.right[a:b]
        if channel == "mix":
            return [(l + r) / 2 for l, r in zip(self.left[a:b], self.right[a:b])]
        raise ValueError(channel)

    def rms_db(self, start, end, channel="mix"):
        """RMS level in dBFS (full scale 32768; a full-scale sine is -3.01 dBFS)."""
        samples = self._channel(channel, start, end)
        if not samples:
            raise ValueError(f"no samples between {start:.3f} and {end:.3f} s (recording {self.duration:.3f} s)")
        mean_square = sum(s * s for s in samples) / len(samples)
        return 10 * math.log10(mean_square / 32768.0 ** 2) if mean_square > 0 else -math.inf

    def balance_db(self, start, end):
        """Left level minus right level in dB: positive means the sound leans left."""
        return self.level_db(start, end, "left") - self.level_db(start, end, "right")

    def frequency(self, start, end, channel="mix"):
        """Dominant frequency in Hz of a steady tone, from its period between rising
        zero crossings; accurate well within 1 % for 100..2000 Hz, and through dropouts."""
        period = _period(self._channel(channel, start, end))
        return self.rate / period if period else 0.0

    def tone_level_db(self, frequency, start, end, channel="mix"):
        """Level in dBFS of one frequency's component (a Goertzel filter over the
        span, Hann windowed), to tell which of many tones sounding together are there."""
        samples = self._channel(channel, start, end)
        count = len(samples)
        if count < 2:
            raise ValueError("window too short")
        coefficient = 2 * math.cos(2 * math.pi * frequency / self.rate)
        previous = before = 0.0
        window_sum = 0.0
        for i, sample in enumerate(samples):
            weight = 0.5 - 0.5 * math.cos(2 * math.pi * i / (count - 1))
            window_sum += weight
            previous, before = sample * weight + coefficient * previous - before, previous
        power = previous * previous + before * before - coefficient * previous * before
        amplitude = 2 * math.sqrt(max(power, 0.0)) / window_sum
        # A sine of this amplitude has an RMS 3.01 dB below its peak.
        return 20 * math.log10(amplitude / 32768.0) - 3.0103 if amplitude > 0 else -math.inf

    def level_db(self, start, end, channel="mix"):
        """The level a listener hears: the median of the 10 ms levels, which a
        dropout of a few windows does not lower."""
        levels = sorted(level for _, level in self.levels(start, end, LEVEL_WINDOW, channel))
        if not levels:
            raise ValueError(f"no samples between {start:.3f} and {end:.3f} s (recording {self.duration:.3f} s)")
        return levels[len(levels) // 2]

    def steady_level_db(self, start, end, channel="mix"):
        """Level in dBFS of one steady tone, to a hundredth of a dB through dropouts,
        for comparing a tone's level before and after a change: windows of whole
        periods (about 10 ms) all have the tone's level, and a dropout only lowers
        a window's, so it is their upper quartile. Without a tone, the plain level."""
        samples = self._channel(channel, start, end)
        period = _period(samples)
        if not period:
            return self.rms_db(start, end, channel)
        window = period * max(1, round(LEVEL_WINDOW * self.rate / period))
        count = int(len(samples) / window)
        if count < 4:
            raise ValueError(f"{end - start:.3f} s is too short to read a level through dropouts")
        levels = []
        for i in range(count):
            piece = samples[int(i * window):int((i + 1) * window)]
            mean_square = sum(v * v for v in piece) / len(piece)
            levels.append(10 * math.log10(mean_square / 32768.0 ** 2) if mean_square > 0 else -math.inf)
        return sorted(levels)[(3 * count) // 4]

    def sounding_seconds(self, start, end):
        """How long the sound was on between start and end, dropouts left out."""
        return sum(WINDOW for _, level in self.levels(start, end) if level >= SOUND_DB)

    def levels(self, start=0.0, end=None, step=WINDOW, channel="mix"):
        """(time, dBFS) of consecutive windows of `step` seconds."""
        end = self.duration if end is None else min(end, self.duration)
        t = start
        out = []
        while t + step <= end + 1e-9:
            out.append((t, self.rms_db(t, t + step, channel)))
            t += step
        return out

    def onset(self, after=0.0, threshold_db=SOUND_DB, step=WINDOW):
        """Start time of the first window after `after` whose level reaches threshold_db, or None."""
        for t, level in self.levels(after, step=step):
            if level >= threshold_db:
                return t
        return None

    def silence_from(self, after, lasting, threshold_db=SILENCE_DB):
        """Start of the first run of windows after `after`, at least `lasting` seconds
        long, that all stay below threshold_db; None while there is none yet."""
        run_start = None
        for t, level in self.levels(after):
            if level >= threshold_db:
                run_start = None
                continue
            if run_start is None:
                run_start = t
            if t + WINDOW - run_start >= lasting - 1e-9:
                return run_start
        return None

    def save_wav(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        frames = array.array("h", [0]) * (2 * len(self.left))
        frames[0::2] = self.left
        frames[1::2] = self.right
        if sys.byteorder != "little":
            frames.byteswap()
        with wave.open(str(path), "wb") as w:
            w.setnchannels(2)
            w.setsampwidth(2)
            w.setframerate(self.rate)
            w.writeframes(frames.tobytes())
        return path
