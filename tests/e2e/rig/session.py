"""A test's world: its own X display (Xvfb), its own PulseAudio server with a
null sink, its own copy of a Wine prefix, the program's process, its windows
on the display and the keyboard and mouse. Each part lives in a module of its
own; a Session owns one of each and speaks for them to the tests."""

import re
import shutil
import subprocess
from pathlib import Path

from .display import Display
from .input import KEYSYMS, Input  # noqa: F401 (KEYSYMS: the benchmarks in tools/bench import it from here)
from .midi import VirtualMidi
from .paths import ARTIFACTS, exe_path
from .processes import end_process, kill_process, log
from .pulse import PulseServer
from .run_folder import RUN
from .screen import ClientShot
from .windows import MAIN_TITLE_REGEX, MainWindow, Window, Windows  # noqa: F401 (Window: as KEYSYMS)
from .wine_prefix import WINE, WinePrefix, windows_path  # noqa: F401 (windows_path: as KEYSYMS)


class Session:
    def __init__(self, name, extra_sinks=None, virtual_midi=False):
        self.name = name
        self.dir = RUN.directory() / re.sub(r"[^A-Za-z0-9_.-]", "_", name)
        if self.dir.exists():
            shutil.rmtree(self.dir)
        self.dir.mkdir(parents=True)
        self.work_dir = self.dir / "work"
        self.work_dir.mkdir()
        self.display = Display()
        self.pulse = PulseServer(extra_sinks)
        # The rig's MIDI input, for the sessions that play from MIDI.
        self.midi = VirtualMidi() if virtual_midi else None
        self.wine = WinePrefix(self.dir, self.display, self.pulse, self.midi.env() if self.midi else None)
        self.windows = Windows(self.display, self.wine)
        self.input = Input(self.display, self.windows)
        self.program = None
        self.program_log = None
        self.recorder = None

    @property
    def main(self):
        """The program's main window, once start_program has found it."""
        return self.windows.main

    # -- set-up and teardown --------------------------------------------------

    def open(self):
        self.wine.copy_template()
        self.display.start()
        self.pulse.start()
        self.wine.boot()
        if self.midi:
            self.midi.install(self.wine)
        return self

    def env(self):
        """The environment of a Wine program of this session."""
        return self.wine.env()

    def close(self):
        if self.recorder is not None:
            self.recorder.stop()
            self.recorder = None
        if self.program is not None:
            end_process(self.program, grace=1.0)
        self.wine.close()
        if self.program_log:
            self.program_log.close()
            self.program_log = None
        self.pulse.stop()
        self.display.stop()
        if self.midi:
            self.midi.close()

    def save_artifacts(self, label):
        """Keeps what helps to understand a failure under build/e2e/artifacts/."""
        target = ARTIFACTS / re.sub(r"[^A-Za-z0-9_.-]", "_", label)
        target.mkdir(parents=True, exist_ok=True)
        saved = []
        if self.display.running():
            try:
                saved.append(self.screenshot().save_png(target / "screen.png"))
            except Exception as error:  # a screenshot must not hide the real failure
                log(f"no screenshot: {error}")
        if self.recorder is not None:
            saved.append(self.recorder.recording().save_wav(target / "recording.wav"))
        for kept_log in [self.dir / "program.log", *self.wine.keeper_logs()]:
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
            [*WINE, str(exe), *args], cwd=str(cwd or self.work_dir), env=self.env(),
            stdout=self.program_log, stderr=subprocess.STDOUT, start_new_session=True)
        window = self.wait_window(MAIN_TITLE_REGEX, "main window", timeout=30)
        self.windows.main = MainWindow(self.windows, window.id)
        self.main.wait_focus()
        return self.program

    def open_through_shell(self, path):
        """Opens a file as a double-click on it does: Windows starts the program
        its type is registered to (`wine start /unix`). Returns once a main window
        is on the screen and has the keyboard. The shell, not the test, starts
        that program: its end shows as its window closing."""
        self.program = None
        if self.program_log:
            self.program_log.close()
        self.program_log = open(self.dir / "program.log", "ab")
        # start returns once the program runs. Its output goes to the log: a pipe,
        # which the program inherits, would keep the test waiting until it ends.
        subprocess.run([*WINE, "start", "/unix", str(path)], cwd=str(self.work_dir), env=self.env(),
                       stdout=self.program_log, stderr=subprocess.STDOUT, check=True, timeout=60)
        window = self.wait_window(MAIN_TITLE_REGEX, "main window", timeout=30)
        self.windows.main = MainWindow(self.windows, window.id)
        self.main.wait_focus()

    def program_running(self):
        return self.program is not None and self.program.poll() is None

    def kill_program(self):
        """The program ends as a crash ends it."""
        kill_process(self.program)

    def wait_program_exit(self, timeout=10):
        """The exit code, or None if the program is still running after `timeout`."""
        try:
            return self.program.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def wait_window(self, name_regex, what, timeout=15, windows_title=None):
        """A visible window whose title matches; fails early if the program ends."""
        return self.windows.wait_window(name_regex, what, timeout, windows_title, give_up=self._fail_if_program_ended)

    def _fail_if_program_ended(self, what):
        if self.program is not None and self.program.poll() is not None:
            self.program_log.flush()
            output = (self.dir / "program.log").read_text(errors="replace")[-2000:]
            # Which of Wine's processes are left tells an end of the program
            # alone from an end of Wine in this prefix.
            raise RuntimeError(f"the program ended (exit code {self.program.returncode}) "
                               f"while waiting for the {what}; its output: {output!r}; "
                               f"Wine processes: {self.wine.describe_processes()}")

    def start_other_program(self):
        """Another program comes up and takes the keyboard, as one the player
        switches to does; end it with end_other_program."""
        other = self.wine.start_helper("other_window", ready="shown", cwd=self.dir)
        window = self.wait_window("^Other Program$", "other program's window", windows_title="Other Program")
        window.wait_focus()
        return other

    def end_other_program(self, other):
        self.wine.end_helper(other)

    # -- pictures and sound ---------------------------------------------------

    def screenshot(self):
        return self.display.screenshot()

    def client_shot(self):
        return ClientShot(self.screenshot(), self.main.client_origin())

    def start_recording(self):
        self.recorder = self.pulse.recorder().start()
        return self.recorder

    def press_for(self, keysym, seconds):
        """Holds a key for `seconds` while recording; the recording times of the press and the release."""
        pressed = self.recorder.mark()
        self.input.hold_key(keysym, seconds)
        return pressed, self.recorder.mark()

    # -- the parts' steps that tests take, in the tests' words ----------------
    # (With focused_window_id and describe_focus a Session also serves a Window
    # in place of its Windows, as the benchmarks in tools/bench use it.)

    def run_helper(self, name, *args, timeout=30):
        return self.wine.run_helper(name, *args, timeout=timeout)

    def run_probe(self, *args):
        return self.wine.run_probe(*args)

    def hold_file_open(self, path):
        return self.wine.hold_file_open(path)

    def release_file(self, holder):
        self.wine.release_file(holder)

    def xdotool(self, *args, check=True):
        return self.display.xdotool(*args, check=check)

    def visible_window_ids(self, name_regex):
        return self.windows.visible_window_ids(name_regex)

    def untitled_windows(self):
        return self.windows.untitled_windows()

    def wait_untitled_window(self, known, what, timeout=10, windows_class=None):
        return self.windows.wait_untitled_window(known, what, timeout, windows_class)

    def foreground(self):
        return self.windows.foreground()

    def focused_window_id(self):
        return self.windows.focused_window_id()

    def describe_focus(self):
        return self.windows.describe_focus()

    def key_down(self, keysym):
        self.input.key_down(keysym)

    def key_up(self, keysym):
        self.input.key_up(keysym)

    def hold_key(self, keysym, seconds):
        self.input.hold_key(keysym, seconds)

    def tap(self, keysym):
        self.input.tap(keysym)

    def press_modifier(self, keysym):
        self.input.press_modifier(keysym)

    def chord(self, *keysyms):
        self.input.chord(*keysyms)

    def type_text(self, text):
        self.input.type_text(text)

    def mouse_move(self, x, y):
        self.input.mouse_move(x, y)

    def mouse_down(self, x, y, button=1):
        self.input.mouse_down(x, y, button)

    def mouse_up(self, button=1):
        self.input.mouse_up(button)

    def click(self, x, y, button=1):
        self.input.click(x, y, button)

    def click_holding(self, modifier, x, y):
        self.input.click_holding(modifier, x, y)

    def click_on_screen(self, x, y, button=1):
        self.input.click_on_screen(x, y, button)
