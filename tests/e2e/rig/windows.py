"""The program's windows on the test's display, found by their titles, and who
has the keyboard, as X and as Windows see it."""

import subprocess

from .display import SCREEN_SIZE
from .waits import WaitTimeout, wait_until

CLIENT_WIDTH = 604
CLIENT_HEIGHT = 327
# The main window's title: the one it starts with, or a setup's name and its
# sound folder, which an open from the command line may give it before the
# window is first looked for.
MAIN_TITLE_REGEX = r"^Quillpad|  using:  "
MAIN_CLASS = "Quillpad"
DIALOG_CLASS = "#32770"
POINTER_ROOT = "PointerRoot"


class Window:
    """A top-level window of the program on the X display. `windows_class` and
    `windows_title` say how Windows names it, to recognise it as the foreground
    window when X cannot tell (see has_focus)."""

    def __init__(self, windows, wid, what, windows_class=None, windows_title=None):
        self.windows = windows
        self.id = wid
        self.what = what
        self.windows_class = windows_class
        self.windows_title = windows_title

    def title(self):
        result = self.windows.xdotool("getwindowname", self.id, check=False)
        return result.stdout.rstrip("\n") if result.returncode == 0 else None

    def geometry(self):
        """(x, y, width, height) of the X window on the screen."""
        out = self.windows.xdotool("getwindowgeometry", "--shell", self.id).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def visible(self):
        return self.id in self.windows.visible_window_ids(".*")

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
        focus = self.windows.focused_window_id()
        if focus == self.id:
            return True
        if not focus:
            return False  # X gives the keys to no window
        foreground = self.windows.foreground()
        return foreground is not None and (
            (self.windows_class is None or foreground[0] == self.windows_class)
            and (self.windows_title is None or foreground[1] == self.windows_title))

    def wait_focus(self, timeout=10):
        """Until this window has the keyboard: keys typed now reach it."""
        try:
            wait_until(self.has_focus, timeout, f"the {self.what} to have the keyboard focus")
        except WaitTimeout as error:
            raise WaitTimeout(f"{error}; {self.windows.describe_focus()}") from None

    def wait_closed(self, timeout=10):
        wait_until(lambda: not self.visible(), timeout, f"the {self.what} to close")


class MainWindow(Window):
    def __init__(self, windows, wid):
        super().__init__(windows, wid, "main window", windows_class=MAIN_CLASS)

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


class Windows:
    """The top-level windows on `display`, of the programs running in `wine`,
    and the program's main window once it is up (main)."""

    def __init__(self, display, wine):
        self.display = display
        self.wine = wine
        self.main = None

    def xdotool(self, *args, check=True):
        return self.display.xdotool(*args, check=check)

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
        line = (self.wine.run_probe("foreground") or ["none"])[0]
        window_class, _, rest = line.partition(" '")
        if window_class == "none":
            return None
        return window_class, rest.rpartition("' ")[0]

    def wait_window(self, name_regex, what, timeout=15, windows_title=None, give_up=None):
        """A visible window whose title matches. give_up(what), if given, is
        called at each look and raises to end the wait early."""
        def found():
            if give_up is not None:
                give_up(what)
            ids = self.visible_window_ids(name_regex)
            return ids[0] if ids else None
        try:
            wid = wait_until(found, timeout, f"the {what} (a window titled /{name_regex}/)")
            return Window(self, wid, what, windows_title=windows_title)
        except WaitTimeout as error:
            raise WaitTimeout(f"{error}; windows on the display: {self.describe_windows()}; "
                              f"Wine processes: {self.wine.describe_processes()}") from None

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
