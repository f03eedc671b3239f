"""End-to-end harness: runs the real quillpad.exe under Wine, headless.

Each test gets its own Xvfb display, its own PulseAudio server with a null sink
("qtest") and its own copy of a Wine prefix made once per run. The harness
drives the program with xdotool, reads pixels from ImageMagick screenshots and
records the null sink's monitor with parec. Standard library only.
"""

import array
import atexit
import math
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import wave
import zlib
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
E2E_ROOT = REPO / "build" / "e2e"
ARTIFACTS = E2E_ROOT / "artifacts"
PROBE_SOURCE = Path(__file__).resolve().parent / "winprobe.c"

CLIENT_WIDTH = 604
CLIENT_HEIGHT = 327
PANEL_BACK = (0, 51, 0)
MAIN_TITLE_PREFIX = "Quillpad"
MAIN_CLASS = "Quillpad"

RATE = 44100

# X keysym of each performance key, by key index: number row, Q row, A row, Z row.
KEYSYMS = (
    ["grave", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "minus", "equal"]
    + ["q", "w", "e", "r", "t", "y", "u", "i", "o", "p", "bracketleft", "bracketright", "backslash"]
    + ["a", "s", "d", "f", "g", "h", "j", "k", "l", "semicolon", "apostrophe"]
    + ["z", "x", "c", "v", "b", "n", "m", "comma", "period", "slash"]
)
assert len(KEYSYMS) == 47

# Without a pause between the keys of a chord, GetAsyncKeyState under Wine
# still reads the modifier as up.
CHORD_PAUSE = 0.06

WINE_ENV = {
    "WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe=d",
    # QUILLPAD_E2E_WINEDEBUG=err+all shows Wine's own errors in program.log.
    "WINEDEBUG": os.environ.get("QUILLPAD_E2E_WINEDEBUG", "-all"),
}


def exe_path():
    return Path(os.environ.get("QUILLPAD_EXE", REPO / "build" / "windows" / "quillpad.exe")).resolve()


def make_sounds_path():
    return Path(os.environ.get("QUILLPAD_MAKE_SOUNDS", REPO / "build" / "native" / "tools" / "make_sounds")).resolve()


def log(message):
    if os.environ.get("QUILLPAD_E2E_VERBOSE"):
        print(f"[e2e {time.strftime('%H:%M:%S')}] {message}", file=sys.stderr, flush=True)


def wait_until(condition, timeout, interval=0.05, what="condition"):
    """Polls condition() until it returns something truthy; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout:.1f} s waiting for {what}")
        time.sleep(interval)


def end_process(process, grace=3.0):
    """Ends a process this harness started (and its process group), politely first."""
    if process is None or process.poll() is not None:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 2.0)):
        try:
            os.killpg(process.pid, sig)
        except (ProcessLookupError, PermissionError):
            try:
                process.send_signal(sig)
            except ProcessLookupError:
                pass
        try:
            process.wait(wait)
            return
        except subprocess.TimeoutExpired:
            continue


# ---------------------------------------------------------------------------
# The run: one directory, one Wine prefix template and one probe per run.

class _Run:
    def __init__(self):
        self.dir = None
        self.template = None
        self.probe = None
        self.lock = threading.Lock()

    def directory(self):
        with self.lock:
            if self.dir is None:
                E2E_ROOT.mkdir(parents=True, exist_ok=True)
                self.dir = Path(tempfile.mkdtemp(prefix="run-", dir=E2E_ROOT))
                atexit.register(self._remove)
            return self.dir

    def _remove(self):
        if self.dir is not None and not os.environ.get("QUILLPAD_E2E_KEEP"):
            shutil.rmtree(self.dir, ignore_errors=True)

    def prefix_template(self):
        if self.template is None:
            self.template = _make_prefix_template(self.directory() / "prefix-template", self.directory())
        return self.template

    def probe_exe(self):
        if self.probe is None:
            self.probe = _build_probe(self.directory() / "winprobe.exe")
        return self.probe


RUN = _Run()


def _base_env(home):
    env = dict(os.environ)
    env.update(WINE_ENV)
    # A home of the run's own keeps Wine from linking the prefix's user folders to the real home.
    env["HOME"] = str(home)
    for name in ("DISPLAY", "PULSE_SERVER", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    return env


def _make_prefix_template(prefix, run_dir):
    started = time.monotonic()
    home = run_dir / "home"
    home.mkdir(exist_ok=True)
    env = _base_env(home)
    env["WINEPREFIX"] = str(prefix)
    with Display() as display:
        env["DISPLAY"] = display.name
        subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)
        # Unmanaged windows: without a window manager a managed window waits 2 s on every
        # hide and loses the focus after dialogs; unmanaged, the X window is the whole
        # Win32 window with Wine's own caption and frame.
        subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                        "/t", "REG_SZ", "/d", "N", "/f"], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=60)
    log(f"prefix template made in {time.monotonic() - started:.1f} s")
    return prefix


def _copy_prefix(template, target):
    """A prefix of the test's own in well under a second: the 700 MB of DLLs are hard
    links to the template's (Wine only reads them); the registry and .ini files,
    the only files a test's run may write, are real copies."""
    subprocess.run(["cp", "-al", str(template), str(target)], check=True)
    for path in list(target.glob("*.reg")) + list((target / "drive_c" / "windows").glob("*.ini")):
        copy = path.with_name(path.name + ".copy")
        shutil.copy2(path, copy)
        os.replace(copy, path)


def _build_probe(target):
    subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-O2", "-static", "-o", str(target), str(PROBE_SOURCE)],
                   check=True, timeout=120)
    return target


# ---------------------------------------------------------------------------
# X display and PulseAudio server of a test's own.

class Display:
    """An Xvfb server on the first free display number of 90..99."""

    def __init__(self):
        self.process = None
        self.number = None

    @property
    def name(self):
        return f":{self.number}"

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        for number in range(90, 100):
            if Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
                continue
            read_end, write_end = os.pipe()
            process = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                 "-displayfd", str(write_end)],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True)
            os.close(write_end)
            # Xvfb writes the display number to the pipe once it accepts clients.
            with os.fdopen(read_end) as ready:
                answer = ready.readline().strip()
            if answer == str(number) and process.poll() is None:
                self.process, self.number = process, number
                log(f"Xvfb on :{number}")
                return
            end_process(process)
        raise RuntimeError("no free X display in :90..:99")

    def stop(self):
        end_process(self.process)
        self.process = None


class PulseServer:
    """A PulseAudio server with one null sink, qtest, reached through a socket of its own."""

    SINK = "qtest"

    def __init__(self, runtime_dir):
        self.runtime_dir = Path(runtime_dir)
        self.process = None
        self.log_file = None

    @property
    def socket(self):
        return self.runtime_dir / "native"

    def env(self):
        return {
            "PULSE_SERVER": f"unix:{self.socket}",
            "PULSE_RUNTIME_PATH": str(self.runtime_dir),
            "PULSE_STATE_PATH": str(self.runtime_dir),
            "XDG_RUNTIME_DIR": str(self.runtime_dir),
        }

    def start(self):
        self.runtime_dir.mkdir(parents=True, exist_ok=True)
        os.chmod(self.runtime_dir, 0o700)
        env = dict(os.environ)
        env.update(self.env())
        env["HOME"] = str(self.runtime_dir)
        env.pop("PULSE_SERVER")
        self.log_file = open(self.runtime_dir / "pulseaudio.log", "wb")
        self.process = subprocess.Popen(
            ["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
             "--disallow-exit", "--disallow-module-loading",
             f"--load=module-null-sink sink_name={self.SINK} rate={RATE} channels=2",
             f"--load=module-native-protocol-unix auth-anonymous=1 socket={self.socket}"],
            env=env, stdout=self.log_file, stderr=subprocess.STDOUT, start_new_session=True)

        def answers():
            if self.process.poll() is not None:
                raise RuntimeError(f"pulseaudio ended at start; see {self.runtime_dir / 'pulseaudio.log'}")
            return self.socket.exists() and self.pactl("info", check=False).returncode == 0
        wait_until(answers, 10, what="pulseaudio")
        self.pactl("set-default-sink", self.SINK)

    def pactl(self, *args, check=True):
        env = dict(os.environ)
        env.update(self.env())
        return subprocess.run(["pactl", *args], env=env, check=check, capture_output=True, timeout=10)

    def stop(self):
        end_process(self.process)
        self.process = None
        if self.log_file:
            self.log_file.close()
            self.log_file = None


# ---------------------------------------------------------------------------
# Screenshots.

class Screenshot:
    """An RGB picture of the whole screen; pixel() takes screen coordinates."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

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
    """A screenshot seen through a window's client area: pixel(x, y) in client coordinates."""

    def __init__(self, screen, origin):
        self.screen = screen
        self.origin = origin

    def pixel(self, x, y):
        return self.screen.pixel(self.origin[0] + x, self.origin[1] + y)

    def save_png(self, path):
        return self.screen.save_png(path)


# ---------------------------------------------------------------------------
# Audio: recording the null sink and analysing what came out.

class Recorder:
    """Records the qtest monitor with parec while a test plays.

    mark() gives the recording time in seconds of "now", so key presses and
    recorded sound share one clock. The recording's start on the wall clock is
    the earliest one the arrivals allow: samples reach us late, never early,
    so each chunk's arrival time minus its length bounds the start from above.
    """

    def __init__(self, pulse):
        self.pulse = pulse
        self.process = None
        self.thread = None
        self.buffer = bytearray()
        self.lock = threading.Lock()
        self.start_time = math.inf  # wall clock (monotonic) of the first sample

    def start(self):
        env = dict(os.environ)
        env.update(self.pulse.env())
        self.process = subprocess.Popen(
            ["parec", "-d", f"{PulseServer.SINK}.monitor", "--format=s16le", f"--rate={RATE}", "--channels=2",
             "--latency-msec=10", "--raw"],
            env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()
        # Let the start estimate settle over a few deliveries before anyone marks.
        wait_until(lambda: len(self.buffer) >= 4 * RATE // 10, 10, 0.01, "parec to deliver samples")
        return self

    def _read(self):
        stream = self.process.stdout
        while True:
            chunk = stream.read1(8192) if hasattr(stream, "read1") else os.read(stream.fileno(), 8192)
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

    def lost_seconds(self):
        """How far the received samples lag the wall clock: more than a few
        hundredths of a second means parec or the server dropped sound."""
        with self.lock:
            return time.monotonic() - self.start_time - len(self.buffer) / 4 / RATE

    def stop(self):
        if self.process is None:
            return self.recording()
        end_process(self.process, grace=1.0)
        self.thread.join(5)
        self.process = None
        return self.recording()

    def recording(self):
        with self.lock:
            data = bytes(self.buffer[:len(self.buffer) // 4 * 4])
        return Recording.from_s16le(data, RATE, 2)


class Recording:
    """Interleaved 16-bit samples; times are in seconds from the recording's start."""

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
        return self.rms_db(start, end, "left") - self.rms_db(start, end, "right")

    def frequency(self, start, end, channel="mix"):
        """Dominant frequency in Hz from rising zero crossings with hysteresis, interpolated
        between samples; accurate well within 1 % for a steady tone of 100..2000 Hz."""
        samples = self._channel(channel, start, end)
        if len(samples) < 2:
            raise ValueError("window too short")
        mean = sum(samples) / len(samples)
        centred = [s - mean for s in samples]
        rms = math.sqrt(sum(s * s for s in centred) / len(centred))
        if rms < 1:
            return 0.0
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
        if len(crossings) < 3:
            return 0.0
        return (len(crossings) - 1) * self.rate / (crossings[-1] - crossings[0])

    def levels(self, start=0.0, end=None, step=0.005, channel="mix"):
        """(time, dBFS) of consecutive windows of `step` seconds."""
        end = self.duration if end is None else min(end, self.duration)
        t = start
        out = []
        while t + step <= end + 1e-9:
            out.append((t, self.rms_db(t, t + step, channel)))
            t += step
        return out

    def onset(self, after=0.0, threshold_db=-40.0, step=0.005):
        """Start time of the first window after `after` whose level reaches threshold_db, or None."""
        for t, level in self.levels(after, None, step):
            if level >= threshold_db:
                return t
        return None

    def silence_after(self, after, threshold_db=-60.0, step=0.005):
        """Start of the first window after `after` from which the level stays below threshold_db
        to the end of the recording, or None if sound is still there at the end."""
        last_loud = None
        for t, level in self.levels(after, None, step):
            if level >= threshold_db:
                last_loud = t
        if last_loud is None:
            return after
        silent_from = last_loud + step
        return silent_from if silent_from + step <= self.duration else None

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


# ---------------------------------------------------------------------------
# Test sounds.

def make_sine(path, freq, rate=RATE, seconds=1.0, channels=1, amplitude=0.5):
    """A 16-bit PCM sine WAV made by the project's own make_sounds tool."""
    tool = make_sounds_path()
    if not tool.exists():
        raise FileNotFoundError(f"{tool} does not exist: build it (target make_sounds) or set QUILLPAD_MAKE_SOUNDS")
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run([str(tool), "sine", str(path), repr(float(freq)), str(rate), repr(float(seconds)), str(channels),
                    repr(float(amplitude))], check=True, capture_output=True, timeout=30)
    return path


def windows_path(path):
    """The path as the program sees it: Wine maps the Linux root to drive Z:."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def write_sine_wav(path, freq, rate=RATE, seconds=1.0, channels=1, amplitude=0.5):
    """A 16-bit PCM sine of `amplitude` times full scale, the same in every channel."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    count = int(round(rate * seconds))
    peak = amplitude * 32767
    samples = array.array("h", (int(round(peak * math.sin(2 * math.pi * freq * i / rate))) for i in range(count)))
    if channels > 1:
        interleaved = array.array("h", [0]) * (count * channels)
        for c in range(channels):
            interleaved[c::channels] = samples
        samples = interleaved
    if sys.byteorder != "little":
        samples.byteswap()
    with wave.open(str(path), "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(samples.tobytes())
    return path


# ---------------------------------------------------------------------------
# Windows on the display.

class Window:
    def __init__(self, session, wid):
        self.session = session
        self.id = wid

    def title(self):
        result = self.session.xdotool("getwindowname", self.id, check=False)
        return result.stdout.rstrip("\n") if result.returncode == 0 else None

    def exists(self):
        return self.session.xdotool("getwindowname", self.id, check=False).returncode == 0

    def geometry(self):
        """(x, y, width, height) of the X window on the screen."""
        out = self.session.xdotool("getwindowgeometry", "--shell", self.id).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def focus(self):
        self.session.xdotool("windowfocus", "--sync", self.id, check=False)

    def visible(self):
        return self.id in self.session.visible_window_ids(".*")

    def wait_closed(self, timeout=10):
        wait_until(lambda: not self.visible(), timeout, what=f"window {self.id} to close")


class MainWindow(Window):
    def client_origin(self):
        """Screen position of the client area's top-left pixel.

        The window is unmanaged, so the X window is the whole Win32 window with
        Wine's caption, menu bar and frame drawn inside it: the client area is
        its bottom 604 x 327, inset by the side frame, which is as thick as the
        bottom one."""
        x, y, width, height = self.geometry()
        side = (width - CLIENT_WIDTH) // 2
        return x + side, y + height - side - CLIENT_HEIGHT


# ---------------------------------------------------------------------------
# A test's world: display, sound server, prefix, and the program.

class Session:
    def __init__(self, name):
        self.name = name
        self.dir = RUN.directory() / re.sub(r"[^A-Za-z0-9_.-]", "_", name)
        if self.dir.exists():
            shutil.rmtree(self.dir)
        self.dir.mkdir(parents=True)
        self.work_dir = self.dir / "work"
        self.work_dir.mkdir()
        self.prefix = self.dir / "prefix"
        self.display = None
        self.pulse = None
        self.pulse_dir = None
        self.program = None
        self.program_log = None
        self.recorder = None
        self.main = None

    # -- set-up and teardown --------------------------------------------------

    def open(self):
        template = RUN.prefix_template()
        _copy_prefix(template, self.prefix)
        self.display = Display()
        self.display.start()
        # Unix socket paths are limited to 107 bytes: the test's folder can be longer than that.
        self.pulse_dir = Path(tempfile.mkdtemp(prefix="quillpad-pulse-"))
        self.pulse = PulseServer(self.pulse_dir)
        self.pulse.start()
        self._start_wine()
        return self

    def _start_wine(self):
        """Brings up this prefix's wineserver and desktop before the program runs.

        The first Wine process of a prefix starts the server and the desktop
        process; when that is slow (a busy machine), the first window created can
        fail, and the program would end at once. A probe that asks for a window
        needs the desktop, so once it has answered, the program starts on a
        running Wine."""
        for attempt in (1, 2):
            try:
                self.run_probe("client", "NoSuchWindowClass")
                return
            except (subprocess.TimeoutExpired, RuntimeError) as error:
                log(f"Wine start-up, attempt {attempt}: {error}")
        raise RuntimeError("Wine did not start in this prefix")

    def env(self):
        env = _base_env(RUN.directory() / "home")
        env["WINEPREFIX"] = str(self.prefix)
        env["DISPLAY"] = self.display.name
        env.update(self.pulse.env())
        return env

    def close(self):
        if self.recorder is not None:
            self.recorder.stop()
            self.recorder = None
        if self.program is not None:
            end_process(self.program, grace=1.0)
        if self.prefix.exists():
            subprocess.run(["wineserver", "-k"], env=self.env() if self.display else None,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
            subprocess.run(["wineserver", "-w"], env=self.env() if self.display else None,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        if self.program_log:
            self.program_log.close()
            self.program_log = None
        if self.pulse:
            self.pulse.stop()
            shutil.rmtree(self.pulse_dir, ignore_errors=True)
        if self.display:
            self.display.stop()
        if not os.environ.get("QUILLPAD_E2E_KEEP"):
            shutil.rmtree(self.prefix, ignore_errors=True)

    def save_artifacts(self, label):
        """Keeps what helps to understand a failure under build/e2e/artifacts/."""
        target = ARTIFACTS / re.sub(r"[^A-Za-z0-9_.-]", "_", label)
        target.mkdir(parents=True, exist_ok=True)
        saved = []
        if self.display and self.display.process:
            try:
                saved.append(self.screenshot().save_png(target / "screen.png"))
            except Exception as error:  # a screenshot must not hide the real failure
                log(f"no screenshot: {error}")
        if self.recorder is not None:
            saved.append(self.recorder.recording().save_wav(target / "recording.wav"))
        program_log = self.dir / "program.log"
        if program_log.exists():
            shutil.copy(program_log, target / "program.log")
            saved.append(target / "program.log")
        return saved

    # -- the program ------------------------------------------------------------

    def start_program(self, *args, cwd=None, wait_for_window=True, exe=None):
        """Starts `wine quillpad.exe args` in the test's own working directory."""
        exe = Path(exe).resolve() if exe else exe_path()
        if not exe.exists():
            raise FileNotFoundError(f"{exe} does not exist: build it or set QUILLPAD_EXE")
        self.program_log = open(self.dir / "program.log", "wb")
        self.program = subprocess.Popen(
            ["wine", str(exe), *args], cwd=str(cwd or self.work_dir), env=self.env(),
            stdout=self.program_log, stderr=subprocess.STDOUT, start_new_session=True)
        if wait_for_window:
            self.main = self.wait_main_window()
        return self.program

    def program_running(self):
        return self.program is not None and self.program.poll() is None

    def wait_program_exit(self, timeout=10):
        try:
            return self.program.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def run_probe(self, *args):
        """Runs winprobe inside this session's prefix; returns its output lines, or None
        when the window was not found."""
        result = subprocess.run(["wine", str(RUN.probe_exe()), *args], env=self.env(), capture_output=True,
                                text=True, timeout=30, cwd=str(self.dir))
        if result.returncode == 1:
            return None
        if result.returncode != 0:
            raise RuntimeError(f"winprobe {' '.join(args)} failed: {result.stderr}")
        return result.stdout.splitlines()

    def win32_client_rect(self, window_class=MAIN_CLASS):
        lines = self.run_probe("client", window_class)
        return tuple(int(v) for v in lines[0].split()) if lines else None

    # -- X windows and input --------------------------------------------------

    def xdotool(self, *args, check=True):
        env = dict(os.environ)
        env["DISPLAY"] = self.display.name
        return subprocess.run(["xdotool", *[str(a) for a in args]], env=env, capture_output=True, text=True,
                              timeout=15, check=check)

    def visible_window_ids(self, name_regex):
        result = self.xdotool("search", "--onlyvisible", "--name", name_regex, check=False)
        return [line for line in result.stdout.split() if line]

    def wait_window(self, name_regex, timeout=15):
        def found():
            if self.program is not None and self.program.poll() is not None:
                raise RuntimeError(f"the program ended (exit code {self.program.returncode}) "
                                   f"while waiting for a window /{name_regex}/")
            ids = self.visible_window_ids(name_regex)
            return ids[0] if ids else None
        try:
            return Window(self, wait_until(found, timeout, 0.1, f"window /{name_regex}/"))
        except TimeoutError as error:
            raise TimeoutError(f"{error}; windows on the display: {self.describe_windows()}; "
                               f"Wine processes: {self.describe_wine_processes()}") from None

    def wine_process_ids(self):
        """Processes running in this session's prefix (Wine passes WINEPREFIX on to all of them)."""
        marker = f"WINEPREFIX={self.prefix}".encode() + b"\0"
        pids = []
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                if marker in (entry / "environ").read_bytes() + b"\0":
                    pids.append(int(entry.name))
            except OSError:
                continue
        return pids

    def describe_wine_processes(self):
        out = []
        for pid in self.wine_process_ids():
            try:
                args = (Path("/proc") / str(pid) / "cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
                state = (Path("/proc") / str(pid) / "stat").read_text().rsplit(")", 1)[1].split()[0]
            except OSError:
                continue
            out.append(f"{pid} {state} {args.strip()}")
        return "; ".join(out) or "none"

    def describe_windows(self):
        """Every X window with a name, for failure messages: id, visibility, name."""
        everything = self.xdotool("search", "--name", ".*", check=False).stdout.split()
        visible = set(self.visible_window_ids(".*"))
        names = []
        for wid in everything:
            name = self.xdotool("getwindowname", wid, check=False).stdout.strip()
            names.append(f"{wid}{'' if wid in visible else ' (hidden)'} {name!r}")
        return "; ".join(names) or "none"

    def wait_main_window(self, timeout=20):
        window = self.wait_window(f"^{MAIN_TITLE_PREFIX}", timeout)
        main = MainWindow(self, window.id)
        # Wait until the window has its final position: it is centred after creation.
        previous = [None]

        def settled():
            geometry = main.geometry()
            same = geometry == previous[0]
            previous[0] = geometry
            return same
        wait_until(settled, 5, 0.1, "main window geometry to settle")
        return main

    def wait_dialog(self, title, timeout=10):
        """A top-level window whose title is exactly `title` ("NOTE:", "Import Sounds", ...)."""
        return self.wait_window(f"^{re.escape(title)}$", timeout)

    def dialog_open(self, title):
        return bool(self.visible_window_ids(f"^{re.escape(title)}$"))

    def key_down(self, keysym):
        self.xdotool("keydown", keysym)

    def key_up(self, keysym):
        self.xdotool("keyup", keysym)

    def tap(self, keysym, hold=0.1):
        self.key_down(keysym)
        time.sleep(hold)
        self.key_up(keysym)

    def press_key_index(self, k):
        self.key_down(KEYSYMS[k])

    def release_key_index(self, k):
        self.key_up(KEYSYMS[k])

    def chord(self, *keysyms, hold=0.06):
        """Presses the keys in order and releases them in reverse, pausing between each."""
        for keysym in keysyms:
            self.key_down(keysym)
            time.sleep(CHORD_PAUSE)
        time.sleep(hold)
        for keysym in reversed(keysyms):
            self.key_up(keysym)
            time.sleep(CHORD_PAUSE)

    def type_text(self, text):
        self.xdotool("type", "--delay", "20", text)

    def client_to_screen(self, x, y):
        ox, oy = self.main.client_origin()
        return ox + x, oy + y

    def mouse_move(self, x, y):
        sx, sy = self.client_to_screen(x, y)
        self.xdotool("mousemove", "--sync", sx, sy)

    def mouse_down(self, x, y, button=1):
        self.mouse_move(x, y)
        self.xdotool("mousedown", button)

    def mouse_up(self, button=1):
        self.xdotool("mouseup", button)

    def click(self, x, y, button=1, hold=0.05):
        self.mouse_down(x, y, button)
        time.sleep(hold)
        self.mouse_up(button)

    # -- dialogs ------------------------------------------------------------------

    def choose_file(self, title, folder, file_name):
        """Answers a file dialog as a person would: the folder, Enter, then the file
        name, Enter. (A full path typed at once returns the file under Wine but
        leaves the current directory where it was.)"""
        dialog = self.wait_dialog(title)
        self.type_text(windows_path(folder))
        self.xdotool("key", "Return")
        time.sleep(0.3)
        self.type_text(file_name)
        self.xdotool("key", "Return")
        wait_until(lambda: not dialog.visible(), 10, what=f'the "{title}" dialog to close')

    def open_setup(self, path):
        """File > Open Setup (Ctrl+O) with the full path of `path` typed in."""
        self.chord("Control_L", "o")
        dialog = self.wait_dialog("Open Setup")
        self.type_text(windows_path(path))
        self.xdotool("key", "Return")
        wait_until(lambda: not dialog.visible(), 10, what="the Open Setup dialog to close")

    def import_sounds(self, folder, file_name):
        """File > Import Sounds (Ctrl+I) with `file_name` of `folder` chosen."""
        self.chord("Control_L", "i")
        self.choose_file("Import Sounds", folder, file_name)

    # -- pixels ---------------------------------------------------------------

    def screenshot(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display.name
        raw = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env, capture_output=True,
                             check=True, timeout=20).stdout
        return Screenshot.from_ppm(raw)

    def client_shot(self):
        return ClientShot(self.screenshot(), self.main.client_origin())

    # -- sound ----------------------------------------------------------------

    def start_recording(self):
        self.recorder = Recorder(self.pulse).start()
        return self.recorder

    def stop_recording(self):
        recording = self.recorder.stop()
        return recording


# ---------------------------------------------------------------------------
# unittest glue.

class QuillpadTestCase(unittest.TestCase):
    """Gives every test a fresh Session (self.session) and ends it afterwards;
    on failure the screenshot, recording and program output go to build/e2e/artifacts/."""

    def setUp(self):
        self.session = Session(self.id())
        self.addCleanup(self._end_session)
        self.session.open()

    def _end_session(self):
        if self._failed():
            saved = self.session.save_artifacts(self.id())
            if saved:
                print(f"\n  artifacts: {saved[0].parent}", file=sys.stderr)
        self.session.close()

    def _failed(self):
        # unittest reports a failure to the result as soon as it happens; during the
        # clean-ups the outcome's own success flag reads True again.
        result = getattr(getattr(self, "_outcome", None), "result", None)
        if result is None:
            return False
        return any(test is self for test, _ in list(result.errors) + list(result.failures))

    def start(self, *args, **kwargs):
        return self.session.start_program(*args, **kwargs)
