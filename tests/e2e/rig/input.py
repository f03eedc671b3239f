"""The keyboard and the mouse, as a person uses them (xdotool on the test's display)."""

from .waits import hold_for, wait_until

# X keysym of each performance key, by key index: number row, Q row, A row, Z row.
KEYSYMS = (
    ["grave", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "minus", "equal"]
    + ["q", "w", "e", "r", "t", "y", "u", "i", "o", "p", "bracketleft", "bracketright", "backslash"]
    + ["a", "s", "d", "f", "g", "h", "j", "k", "l", "semicolon", "apostrophe"]
    + ["z", "x", "c", "v", "b", "n", "m", "comma", "period", "slash"]
)
assert len(KEYSYMS) == 47
# The legends of the same keys, as the program names them.
KEY_NAMES = list("`1234567890-=QWERTYUIOP[]\\ASDFGHJKL;'ZXCVBNM,./")
assert len(KEY_NAMES) == 47

# A person presses a chord's modifier a moment before the key. Wine needs that
# moment: GetAsyncKeyState reads a modifier pressed less than about 50 ms
# earlier as still up.
CHORD_GAP = 0.06
# How long a person's tap of a key and click of a mouse button last.
TAP_LENGTH = 0.1
CLICK_LENGTH = 0.05


class Input:
    """Keys and the pointer on `display`; client coordinates are those of the
    main window of `windows`."""

    def __init__(self, display, windows):
        self.display = display
        self.windows = windows

    # -- keyboard ---------------------------------------------------------------

    def key_down(self, keysym):
        self.display.xdotool("keydown", keysym)

    def key_up(self, keysym):
        self.display.xdotool("keyup", keysym)

    def hold_key(self, keysym, seconds):
        """Holds a key down for `seconds`, a duration the test exercises."""
        self.key_down(keysym)
        hold_for(seconds)
        self.key_up(keysym)

    def tap(self, keysym):
        self.hold_key(keysym, TAP_LENGTH)

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
        self.display.xdotool("type", "--delay", "20", text)

    # -- mouse ----------------------------------------------------------------

    def client_to_screen(self, x, y):
        ox, oy = self.windows.main.client_origin()
        return ox + x, oy + y

    def pointer_at(self):
        out = self.display.xdotool("getmouselocation", "--shell").stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def move_pointer_on_screen(self, x, y):
        # Not --sync: it waits for a motion that never comes when the pointer is there already.
        self.display.xdotool("mousemove", x, y)
        wait_until(lambda: self.pointer_at() == (x, y), 5, f"the pointer to reach ({x}, {y})")

    def mouse_move(self, x, y):
        """Moves the pointer to (x, y) of the main window's client area."""
        self.move_pointer_on_screen(*self.client_to_screen(x, y))

    def mouse_down(self, x, y, button=1):
        self.mouse_move(x, y)
        self.display.xdotool("mousedown", button)

    def mouse_up(self, button=1):
        self.display.xdotool("mouseup", button)

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
        self.display.xdotool("mousedown", button, "sleep", CLICK_LENGTH, "mouseup", button)
