"""A test's world: its own X display (Xvfb), its own PulseAudio server with a
null sink, its own copy of a Wine prefix made once per run, the program's
process, its windows on the display and the keyboard and mouse (xdotool)."""

import atexit
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

from .paths import ARTIFACTS, E2E_DIR, E2E_ROOT, exe_path
from .screen import ClientShot, Screenshot
from .sound import RATE, Recorder
from .waits import WaitTimeout, hold_for, wait_until

CLIENT_WIDTH = 604
CLIENT_HEIGHT = 327
SCREEN_SIZE = (1024, 768)
# The main window's title: the one it starts with, or a setup's name and its
# sound folder, which an open from the command line may give it before the
# window is first looked for.
MAIN_TITLE_REGEX = r"^Quillpad|  using:  "
MAIN_CLASS = "Quillpad"
DIALOG_CLASS = "#32770"
POINTER_ROOT = "PointerRoot"

# X keysym of each performance key, by key index: number row, Q row, A row, Z row.
KEYSYMS = (
    ["grave", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "minus", "equal"]
    + ["q", "w", "e", "r", "t", "y", "u", "i", "o", "p", "bracketleft", "bracketright", "backslash"]
    + ["a", "s", "d", "f", "g", "h", "j", "k", "l", "semicolon", "apostrophe"]
    + ["z", "x", "c", "v", "b", "n", "m", "comma", "period", "slash"]
)
assert len(KEYSYMS) == 47

# A person presses a chord's modifier a moment before the key. Wine needs that
# moment: GetAsyncKeyState reads a modifier pressed less than about 50 ms
# earlier as still up.
CHORD_GAP = 0.06
# How long a person's tap of a key and click of a mouse button last.
TAP_LENGTH = 0.1
CLICK_LENGTH = 0.05

WINE_ENV = {
    "WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe=d",
    # QUILLPAD_E2E_WINEDEBUG=err+all shows Wine's own errors in program.log.
    "WINEDEBUG": os.environ.get("QUILLPAD_E2E_WINEDEBUG", "-all"),
}


def windows_path(path):
    """The path as the program sees it: Wine maps the Linux root to drive Z:."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def log(message):
    if os.environ.get("QUILLPAD_E2E_VERBOSE"):
        print(f"[e2e {time.strftime('%H:%M:%S')}] {message}", file=sys.stderr, flush=True)


def end_process(process, grace=3.0):
    """Ends a process the rig started (and its process group), politely first."""
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
# The run: one directory, one Wine prefix template and the helper programs, made once.

class _Run:
    def __init__(self):
        self.dir = None
        self.template = None
        self.helpers = {}
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

    def home(self):
        home = self.directory() / "home"
        home.mkdir(exist_ok=True)
        return home

    def prefix_template(self):
        if self.template is None:
            self.template = _make_prefix_template(self.directory() / "prefix-template")
        return self.template

    def helper_exe(self, name, kind="exe"):
        """One of the small Windows programs (or, kind "dll", libraries) of
        tests/e2e/<name>.c, built once per run."""
        if (name, kind) not in self.helpers:
            target = self.directory() / f"{name}.{kind}"
            shared = ["-shared"] if kind == "dll" else []
            subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-O2", "-static", *shared, "-o", str(target),
                            str(E2E_DIR / f"{name}.c"), "-lole32", "-luuid", "-lversion"], check=True,
                           timeout=120)
            self.helpers[(name, kind)] = target
        return self.helpers[(name, kind)]


RUN = _Run()


def _base_env():
    env = dict(os.environ)
    env.update(WINE_ENV)
    # A home of the run's own keeps Wine from linking the prefix's user folders to the real home.
    env["HOME"] = str(RUN.home())
    for name in ("DISPLAY", "PULSE_SERVER", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    return env


def _make_prefix_template(prefix):
    started = time.monotonic()
    env = _base_env()
    env["WINEPREFIX"] = str(prefix)
    with Display() as display:
        env["DISPLAY"] = display.name
        subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=180)
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
            # Auto-repeat off: a held key is one press however long a busy
            # machine stretches the hold (each repeat would restart the sound).
            process = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", f"{SCREEN_SIZE[0]}x{SCREEN_SIZE[1]}x24", "-nolisten", "tcp",
                 "-r", "-displayfd", str(write_end)],
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

    def __init__(self):
        # Unix socket paths are limited to 107 bytes: the test's folder can be longer than that.
        self.runtime_dir = Path(tempfile.mkdtemp(prefix="quillpad-pulse-"))
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
        wait_until(answers, 10, "pulseaudio to answer")
        self.pactl("set-default-sink", self.SINK)

    def pactl(self, *args, check=True):
        env = dict(os.environ)
        env.update(self.env())
        return subprocess.run(["pactl", *args], env=env, check=check, capture_output=True, timeout=10)

    def recorder(self):
        env = dict(os.environ)
        env.update(self.env())
        return Recorder(f"{self.SINK}.monitor", env)

    def stop(self):
        end_process(self.process)
        self.process = None
        if self.log_file:
            self.log_file.close()
            self.log_file = None
        shutil.rmtree(self.runtime_dir, ignore_errors=True)


# ---------------------------------------------------------------------------
# Windows on the display.

class Window:
    """A top-level window of the program on the X display. `windows_class` and
    `windows_title` say how Windows names it, to recognise it as the foreground
    window when X cannot tell (see has_focus)."""

    def __init__(self, session, wid, what, windows_class=None, windows_title=None):
        self.session = session
        self.id = wid
        self.what = what
        self.windows_class = windows_class
        self.windows_title = windows_title

    def title(self):
        result = self.session.xdotool("getwindowname", self.id, check=False)
        return result.stdout.rstrip("\n") if result.returncode == 0 else None

    def geometry(self):
        """(x, y, width, height) of the X window on the screen."""
        out = self.session.xdotool("getwindowgeometry", "--shell", self.id).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def visible(self):
        return self.id in self.session.visible_window_ids(".*")

    def has_focus(self):
        """True when keys typed now reach this window. Every window on the test's
        display is Wine's, and Wine hands a key that reaches any of them to
        Windows' foreground window: X only decides whether keys reach Wine at all.
        Wine usually gives the window it activates the X focus, but not a window
        with no control to focus (a new main window, the about box: X leaves the
        focus with the window under the pointer), and now and then not a dialog
        either (X keeps it on the main window, and the dialog still takes the
        keys); and the focus falls back to the root window when the window that
        held it goes away. So the X focus is only the quick answer."""
        focus = self.session.focused_window_id()
        if focus == self.id:
            return True
        if not focus:
            return False  # X gives the keys to no window
        foreground = self.session.foreground()
        return foreground is not None and (
            (self.windows_class is None or foreground[0] == self.windows_class)
            and (self.windows_title is None or foreground[1] == self.windows_title))

    def wait_focus(self, timeout=10):
        """Until this window has the keyboard: keys typed now reach it."""
        try:
            wait_until(self.has_focus, timeout, f"the {self.what} to have the keyboard focus")
        except WaitTimeout as error:
            raise WaitTimeout(f"{error}; {self.session.describe_focus()}") from None

    def wait_closed(self, timeout=10):
        wait_until(lambda: not self.visible(), timeout, f"the {self.what} to close")


class MainWindow(Window):
    def __init__(self, session, wid):
        super().__init__(session, wid, "main window", windows_class=MAIN_CLASS)

    def caption_point(self):
        """A point on the title bar, where a click activates the window and nothing else."""
        x, y, width, _ = self.geometry()
        return x + width // 2, y + 8

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
        self.program = None
        self.keeper = None
        self.program_log = None
        self.recorder = None
        self.main = None

    # -- set-up and teardown --------------------------------------------------

    def open(self):
        _copy_prefix(RUN.prefix_template(), self.prefix)
        self.display = Display()
        self.display.start()
        self.pulse = PulseServer()
        self.pulse.start()
        self._start_wine()
        return self

    def _start_wine(self):
        """Brings up this prefix's wineserver and desktop before the program runs,
        and keeps them up until the session closes.

        The first Wine process of a prefix starts the server and the desktop
        process; when that is slow (a busy machine), the first window created can
        fail, and the program would end at once. Server and desktop end with the
        last program of the prefix, so a keeper program stays running, and every
        start of the program finds a running Wine. Wine is ready when a probe
        can make a window: its desktop and display driver are up."""
        # Wine's own errors go to keepwine.log whatever QUILLPAD_E2E_WINEDEBUG says: a boot
        # that fails should say why.
        env = self.env()
        env["WINEDEBUG"] = "err+all,fixme-all"
        for boot in (1, 2):
            keeper_log = self.dir / f"keepwine-{boot}.log"
            with open(keeper_log, "wb") as errors:
                self.keeper = subprocess.Popen(["wine", str(RUN.helper_exe("keepwine"))], env=env,
                                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=errors,
                                               cwd=str(self.dir), start_new_session=True)
            ready, _, _ = select.select([self.keeper.stdout], [], [], 60)
            if ready and self.keeper.stdout.readline().strip() == b"running":
                break
            # Seen once in many hundreds of boots of a fresh prefix (the keeper
            # ended with exit code 1 before the desktop was up) and not again in
            # 800 boots made to find it. The log says why; Wine is booted afresh once.
            failure = (f"keepwine did not start (boot {boot}, exit code {self.keeper.poll()}): "
                       f"{keeper_log.read_text(errors='replace')[-2000:]}")
            print(f"\n  {failure}", file=sys.stderr)
            end_process(self.keeper)
            self.keeper = None
            self._stop_wineserver()
        else:
            raise RuntimeError(failure)
        for attempt in (1, 2, 3):
            try:
                if self.run_helper("winprobe", "window", timeout=90).returncode == 0:
                    return
                log(f"Wine start-up, attempt {attempt}: no window could be made yet")
            except subprocess.TimeoutExpired as error:
                log(f"Wine start-up, attempt {attempt}: {error}")
        raise RuntimeError("Wine did not start in this prefix: no window could be made")

    def _stop_wineserver(self):
        for command in (["wineserver", "-k"], ["wineserver", "-w"]):
            subprocess.run(command, env=self.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)

    def env(self):
        env = _base_env()
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
        if self.keeper is not None:
            self.keeper.stdin.close()  # its end
            try:
                self.keeper.wait(5)
            except subprocess.TimeoutExpired:
                end_process(self.keeper)
            self.keeper.stdout.close()
            self.keeper = None
        if self.prefix.exists() and self.display and self.pulse:
            self._stop_wineserver()
        if self.program_log:
            self.program_log.close()
            self.program_log = None
        if self.pulse:
            self.pulse.stop()
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
        for kept_log in [self.dir / "program.log", *sorted(self.dir.glob("keepwine-*.log"))]:
            if kept_log.exists():
                saved.append(Path(shutil.copy(kept_log, target / kept_log.name)))
        return saved

    # -- the program ------------------------------------------------------------

    def start_program(self, *args, cwd=None, exe=None):
        """Starts `wine quillpad.exe args` in the test's own working directory and
        waits until its main window is on the screen and has the keyboard."""
        exe = Path(exe).resolve() if exe else exe_path()
        if not exe.exists():
            raise FileNotFoundError(f"{exe} does not exist: build it or set QUILLPAD_EXE")
        if self.program_log:
            self.program_log.close()
        self.program_log = open(self.dir / "program.log", "ab")
        self.program = subprocess.Popen(
            ["wine", str(exe), *args], cwd=str(cwd or self.work_dir), env=self.env(),
            stdout=self.program_log, stderr=subprocess.STDOUT, start_new_session=True)
        window = self.wait_window(MAIN_TITLE_REGEX, "main window", timeout=30)
        self.main = MainWindow(self, window.id)
        self.main.wait_focus()
        return self.program

    def program_running(self):
        return self.program is not None and self.program.poll() is None

    def wait_program_exit(self, timeout=10):
        """The exit code, or None if the program is still running after `timeout`."""
        try:
            return self.program.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def run_helper(self, name, *args, timeout=30):
        """Runs one of the rig's small Windows programs inside this session's prefix."""
        return subprocess.run(["wine", str(RUN.helper_exe(name)), *[str(a) for a in args]], env=self.env(),
                              capture_output=True, text=True, timeout=timeout, cwd=str(self.dir))

    def hold_file_open(self, path):
        """Another program holds the file open, sharing it with nobody, until
        release_file() is called with what this returns."""
        holder = subprocess.Popen(["wine", str(RUN.helper_exe("holdfile")), windows_path(path)], env=self.env(),
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                  cwd=str(self.dir), start_new_session=True)
        answer = holder.stdout.readline().strip()
        if answer != "holding":
            end_process(holder)
            raise RuntimeError(f"holdfile could not open {path} (exit code {holder.poll()})")
        return holder

    def start_other_program(self):
        """Another program comes up and takes the keyboard, as one the player
        switches to does; end it with end_other_program."""
        other = subprocess.Popen(["wine", str(RUN.helper_exe("other_window"))], env=self.env(), stdin=subprocess.PIPE,
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, cwd=str(self.dir),
                                 start_new_session=True)
        if other.stdout.readline().strip() != "shown":
            end_process(other)
            raise RuntimeError("the other program did not come up")
        window = self.wait_window("^Other Program$", "other program's window", windows_title="Other Program")
        window.wait_focus()
        return other

    def end_other_program(self, other):
        other.stdin.close()
        if other.wait(10) != 0:
            raise RuntimeError("the other program did not end cleanly")

    def release_file(self, holder):
        holder.stdin.close()
        if holder.wait(10) != 0:
            raise RuntimeError("holdfile did not end cleanly")

    def run_probe(self, *args):
        """winprobe's output lines, or None when the window was not found."""
        result = self.run_helper("winprobe", *args)
        if result.returncode == 1:
            return None
        if result.returncode != 0:
            raise RuntimeError(f"winprobe {' '.join(args)} failed: {result.stderr}")
        return result.stdout.splitlines()

    # -- X windows ----------------------------------------------------------------

    def xdotool(self, *args, check=True):
        env = dict(os.environ)
        env["DISPLAY"] = self.display.name
        return subprocess.run(["xdotool", *[str(a) for a in args]], env=env, capture_output=True, text=True,
                              timeout=15, check=check)

    def visible_window_ids(self, name_regex):
        result = self.xdotool("search", "--onlyvisible", "--name", name_regex, check=False)
        return [line for line in result.stdout.split() if line]

    def focused_window_id(self):
        """The X window with the keyboard focus, or POINTER_ROOT."""
        result = self.xdotool("getwindowfocus", check=False)
        if result.returncode != 0 and "focused window of 1" in result.stderr:
            return POINTER_ROOT
        return result.stdout.strip()

    def foreground(self):
        """(class, title) of Windows' foreground window, or None when there is none."""
        line = (self.run_probe("foreground") or ["none"])[0]
        window_class, _, rest = line.partition(" '")
        if window_class == "none":
            return None
        return window_class, rest.rpartition("' ")[0]

    def wait_window(self, name_regex, what, timeout=15, windows_title=None):
        """A visible window whose title matches; fails early if the program ends."""
        def found():
            if self.program is not None and self.program.poll() is not None:
                self.program_log.flush()
                output = (self.dir / "program.log").read_text(errors="replace")[-2000:]
                raise RuntimeError(f"the program ended (exit code {self.program.returncode}) "
                                   f"while waiting for the {what}; its output: {output!r}")
            ids = self.visible_window_ids(name_regex)
            return ids[0] if ids else None
        try:
            wid = wait_until(found, timeout, f"the {what} (a window titled /{name_regex}/)")
            return Window(self, wid, what, windows_title=windows_title)
        except WaitTimeout as error:
            raise WaitTimeout(f"{error}; windows on the display: {self.describe_windows()}; "
                              f"Wine processes: {self.describe_wine_processes()}") from None

    def untitled_windows(self):
        """Visible windows without a title, apart from Wine's screen-sized desktop:
        the about box, an open menu."""
        out = []
        for wid in self.visible_window_ids("^$"):
            try:
                geometry = Window(self, wid, "").geometry()
            except (subprocess.CalledProcessError, KeyError):
                continue
            if geometry[2:] != SCREEN_SIZE:
                out.append(wid)
        return out

    def wait_untitled_window(self, known, what, timeout=10, windows_class=None):
        """A new untitled window that is not among `known` ids."""
        found = wait_until(lambda: [w for w in self.untitled_windows() if w not in known], timeout, f"the {what}")
        return Window(self, found[0], what, windows_class=windows_class, windows_title="")

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

    def describe_focus(self):
        """Who has the keyboard, as X and as Windows see it, for failure messages."""
        focus = self.focused_window_id()
        name = self.xdotool("getwindowname", focus, check=False).stdout.strip() if focus != POINTER_ROOT else ""
        try:
            foreground = self.foreground()
        except (RuntimeError, subprocess.TimeoutExpired) as error:
            foreground = f"unknown ({error})"
        return f"X focus on {focus} {name!r}; Windows foreground: {foreground}"

    # -- keyboard and mouse ---------------------------------------------------

    def key_down(self, keysym):
        self.xdotool("keydown", keysym)

    def key_up(self, keysym):
        self.xdotool("keyup", keysym)

    def hold_key(self, keysym, seconds):
        """Holds a key down for `seconds`, a duration the test exercises."""
        self.key_down(keysym)
        hold_for(seconds)
        self.key_up(keysym)

    def tap(self, keysym):
        self.hold_key(keysym, TAP_LENGTH)

    def press_for(self, keysym, seconds):
        """Holds a key for `seconds` while recording; the recording times of the press and the release."""
        pressed = self.recorder.mark()
        self.hold_key(keysym, seconds)
        return pressed, self.recorder.mark()

    def press_modifier(self, keysym):
        """Presses and keeps down a modifier (Alt_L, Control_L) before other keys."""
        self.key_down(keysym)
        hold_for(CHORD_GAP)

    def chord(self, *keysyms):
        """Presses the keys in order and releases them in reverse, as a person does."""
        for keysym in keysyms:
            self.key_down(keysym)
            hold_for(CHORD_GAP)
        for keysym in reversed(keysyms):
            self.key_up(keysym)
            hold_for(CHORD_GAP)

    def type_text(self, text):
        self.xdotool("type", "--delay", "20", text)

    def client_to_screen(self, x, y):
        ox, oy = self.main.client_origin()
        return ox + x, oy + y

    def pointer_at(self):
        out = self.xdotool("getmouselocation", "--shell").stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def move_pointer_on_screen(self, x, y):
        # Not --sync: it waits for a motion that never comes when the pointer is there already.
        self.xdotool("mousemove", x, y)
        wait_until(lambda: self.pointer_at() == (x, y), 5, f"the pointer to reach ({x}, {y})")

    def mouse_move(self, x, y):
        """Moves the pointer to (x, y) of the main window's client area."""
        self.move_pointer_on_screen(*self.client_to_screen(x, y))

    def mouse_down(self, x, y, button=1):
        self.mouse_move(x, y)
        self.xdotool("mousedown", button)

    def mouse_up(self, button=1):
        self.xdotool("mouseup", button)

    def click(self, x, y, button=1):
        self.click_on_screen(*self.client_to_screen(x, y), button=button)

    def click_holding(self, modifier, x, y):
        """A click with a modifier (Control_L) held from before the press until after the release."""
        self.press_modifier(modifier)
        self.click(x, y)
        self.key_up(modifier)

    def click_on_screen(self, x, y, button=1):
        self.move_pointer_on_screen(x, y)
        # One xdotool run presses, waits and releases: a click lasts CLICK_LENGTH
        # however long a busy machine takes to start a process. The panel's
        # buttons repeat when held 0.2 s.
        self.xdotool("mousedown", button, "sleep", CLICK_LENGTH, "mouseup", button)

    # -- pictures and sound ---------------------------------------------------

    def screenshot(self):
        return Screenshot.of_display(self.display.name)

    def client_shot(self):
        return ClientShot(self.screenshot(), self.main.client_origin())

    def start_recording(self):
        self.recorder = self.pulse.recorder().start()
        return self.recorder
