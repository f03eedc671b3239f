"""Quillpad's user steps: what a person does with the program, each step waiting
for the state it needs (a dialog up and holding the keyboard, a folder shown in
a file dialog, the main window holding the keyboard again)."""

import re
import shutil
import subprocess
import tempfile
from pathlib import Path

from .input import KEY_NAMES
from .panel import KEY_LOADING_TEXT, key_cap_centre, label_rect
from .run_folder import RUN
from .sound import make_sine
from .waits import WaitTimeout, wait_until
from .windows import MAIN_CLASS
from .wine_prefix import WINE, windows_path

MENU_ITEM_GREYED = 0x3  # MF_GRAYED | MF_DISABLED
MENU_ITEM_CHECKED = 0x8  # MF_CHECKED
GUI_MENU_MODES = 0x4 | 0x10  # GUI_INMENUMODE | GUI_POPUPMENUMODE of a thread's state
# Where "File" sits on the menu bar, from the client area's top-left corner.
FILE_MENU_X = 12
MENU_BAR_ABOVE_CLIENT = 9

# The sound list's rows, in client coordinates.
SOUND_LIST_X = 530
SOUND_LIST_TOP = 2
SOUND_ROW_HEIGHT = 14

# Where the program keeps its choice of output.
OUTPUT_KEY = r"HKCU\Software\Quillpad"

# Control ids in the program's message dialogs and in the common file dialog.
MESSAGE_TEXT = 1002
FILE_NAME_BOX = 1148


def short_folder(test):
    """A folder with a short path, removed after the test: a setup file holds at most
    126 bytes of sound folder, and the test's own folder can be deeper than that."""
    folder = Path(tempfile.mkdtemp(prefix="qp-e2e-"))
    test.addCleanup(shutil.rmtree, folder, True)
    return folder


def make_two_sounds(folder):
    """A sound folder of two sines: a_440.wav is sound 0, b_660.wav sound 1."""
    make_sine(Path(folder) / "a_440.wav", 440.0, seconds=1.0)
    make_sine(Path(folder) / "b_660.wav", 660.0, seconds=1.0)
    return Path(folder)


def sound_row_centre(row):
    """Where a person clicks row `row` of the sound list, in client coordinates."""
    return SOUND_LIST_X, SOUND_LIST_TOP + SOUND_ROW_HEIGHT * row + SOUND_ROW_HEIGHT // 2


def unescape(text):
    """Undoes winprobe's escapes: \\n, \\r, \\t and \\\\."""
    out = []
    i = 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"n": "\n", "r": "\r", "t": "\t"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


# The Key Properties dialog's edit boxes in their tab order: choke group, fade
# in, fade out, start, end.
KEY_PROPERTY_FIELDS = (1100, 1101, 1102, 1103, 1104)


class Quillpad:
    def __init__(self, session):
        self.session = session

    # -- the program and its window ------------------------------------------------

    def start(self, *args, **kwargs):
        """Starts the program; returns once its window has the keyboard."""
        return self.session.start_program(*args, **kwargs)

    def title(self):
        return self.session.main.title()

    def wait_title(self, expected, timeout=10):
        main = self.session.main
        wait_until(lambda: main.title() == expected, timeout,
                   f"the window title {expected!r} (it is {main.title()!r})")

    def shortcut(self, letter):
        """Ctrl + letter, a menu command's accelerator."""
        self.session.chord("Control_L", letter)

    def exit_program(self):
        """Ctrl+Q; the exit code, or None if the program is still running 10 s later."""
        self.shortcut("q")
        return self.session.wait_program_exit(10)

    # -- dialogs ---------------------------------------------------------------------

    def wait_dialog(self, title, timeout=10):
        """The dialog titled exactly `title`, once it is up and has the keyboard."""
        dialog = self.session.wait_window(f"^{re.escape(title)}$", f'"{title}" dialog', timeout, windows_title=title)
        dialog.wait_focus()
        return dialog

    def dialog_open(self, title):
        return bool(self.session.visible_window_ids(f"^{re.escape(title)}$"))

    def press_in(self, dialog, keysym):
        """A key pressed in a dialog that closes it; waits until it has closed."""
        self.session.xdotool("key", keysym)
        dialog.wait_closed()

    def dismiss(self, dialog, keysym):
        """A key that closes the dialog and leads back to the main window: waits
        until the main window has the keyboard again, so the next key plays."""
        self.press_in(dialog, keysym)
        self.session.main.wait_focus()

    def dialog_texts(self, title):
        """Control id -> text of a dialog's controls (line breaks restored)."""
        texts = {}
        for ident, _, text in self._controls(title):
            texts.setdefault(ident, text)
        return texts

    def _controls(self, title):
        """(id, class, text) of every control of the dialog, in window order."""
        out = []
        for line in self.session.run_probe("texts", title) or []:
            ident, _, rest = line.partition(" ")
            window_class, _, text = rest.partition(" ")
            out.append((int(ident), window_class, unescape(text)))
        return out

    def _control_text(self, title, ident, window_class):
        for control_id, control_class, text in self._controls(title):
            if control_id == ident and control_class == window_class:
                return text
        return None

    def type_file_name(self, title, text):
        """Types into a file dialog's file name box; waits until the box holds it all."""
        self.session.type_text(text)
        wait_until(lambda: self._control_text(title, FILE_NAME_BOX, "Edit") == text, 10,
                   f'the "{title}" dialog\'s file name box to hold {text!r}')

    def after_dialog(self):
        """Once a dialog has closed: until the main window has the keyboard again, or
        the program asks or tells something in a message dialog."""
        main = self.session.main
        wait_until(lambda: main.has_focus() or self.dialog_open("NOTE:"), 10,
                   "the main window to take the keyboard back, or a message")

    def choose_path(self, title, path):
        """Answers a file dialog that is coming up: types the whole path, as a person
        pasting it does, and presses Enter. Returns once the main window has the
        keyboard again or a message has come up."""
        dialog = self.wait_dialog(title)
        self.type_file_name(title, windows_path(path))
        self.press_in(dialog, "Return")
        self.after_dialog()

    # -- the Key Properties dialog ------------------------------------------------

    def open_key_properties(self, k, right_click=False):
        """Key k's Key Properties dialog, opened as a person opens it: a right-click
        on its cap, or a click on the cap and Ctrl+E. Returns the dialog and its title."""
        centre = key_cap_centre(k)
        if right_click:
            self.session.click(*centre, button=3)
        else:
            self.session.click(*centre)
            self.shortcut("e")
        title = f"Key Properties - {KEY_NAMES[k]}"
        return self.wait_dialog(title), title

    def key_properties_shown(self, title):
        """The five fields' texts in their tab order, as the dialog shows them."""
        texts = self.dialog_texts(title)
        return [texts.get(ident) for ident in KEY_PROPERTY_FIELDS]

    def type_key_properties(self, title, values):
        """Types each value over its field's selected text, Tab between fields,
        as a person fills the dialog in; waits until the dialog holds them all."""
        for n, value in enumerate(values):
            if n:
                self.session.xdotool("key", "Tab")
            self.session.type_text(str(value))
        wait_until(lambda: self.key_properties_shown(title) == [str(v) for v in values], 10,
                   f"the dialog to hold {values}")

    def set_key_properties(self, k, values, right_click=False):
        """Key k's choke group, fade in, fade out, start and end, through its dialog and OK."""
        dialog, title = self.open_key_properties(k, right_click)
        self.type_key_properties(title, values)
        self.dismiss(dialog, "Return")

    # -- the panel and the sound list --------------------------------------------

    def sound_names(self):
        """The sound list's entries, as the program holds them."""
        lines = self.session.run_probe("list", MAIN_CLASS)
        if lines is None:
            raise RuntimeError("the main window is not there to read its sound list")
        return [unescape(line) for line in lines]

    def choose_sound(self, row):
        """Clicks a row of the sound list: the selected key gets that sound."""
        self.session.click(*sound_row_centre(row))

    def drop_files(self, *paths, at=None):
        """Files dropped on the window as the shell drops them, at `at` of the
        client area or, without it, on the panel away from the key caps."""
        where = ["--at", *at] if at else []
        result = self.session.run_helper("drop_files", *where, *[windows_path(p) for p in paths])
        if result.returncode != 0:
            raise RuntimeError(f"the drop was not delivered: {result.stderr}")

    def drop_on_key(self, k, *paths):
        """Files dropped on the centre of key cap k."""
        self.drop_files(*paths, at=key_cap_centre(k))

    def key_label(self, k):
        """The pixels of key cap k's label, as the screen shows it now."""
        return [colour for _, colour in self.session.client_shot().pixels(label_rect(k))]

    def wait_key_loaded(self, k, drawn_over=None, timeout=10):
        """Until key cap k's label shows no loading grey: the key's sound has
        loaded, and a press from now on plays it. A screen taken before the
        program has handled what gave the key its sound still shows the old
        label, with no grey in it either: given that label's pixels (key_label
        before the click, drop or open, taken while nothing loaded on the key),
        also until the label has been drawn anew."""
        def loaded():
            label = self.key_label(k)
            return KEY_LOADING_TEXT not in label and label != drawn_over
        changed = "" if drawn_over is None else ", drawn anew,"
        wait_until(loaded, timeout, f"key cap {k}'s label{changed} to show its sound loaded (no grey)")

    def pitch_of_key(self, keysym, what, hold=0.4, channel="mix"):
        """Holds a hold-mode key while recording; the pitch of the sound it starts,
        once it has fallen silent again."""
        recorder = self.session.recorder
        pressed, _ = self.session.press_for(keysym, hold)
        onset = recorder.sound_within(pressed, what)
        recorder.wait_for_silence(onset, f"the end of {what}")
        return recorder.recording().frequency(onset + 0.05, onset + hold - 0.1, channel)

    def pitch_of_tap(self, keysym, late=0.4):
        """Taps a key of any mode while recording: the pitch of the sound it starts,
        or None when none starts within `late` seconds. Kill All then silences it,
        since a toggle key stays latched at its release."""
        recorder = self.session.recorder
        pressed = recorder.mark()
        self.session.hold_key(keysym, 0.3)
        recording = recorder.recording_until(pressed + late + 0.35)
        onset = recording.onset(pressed)
        if onset is None or onset > pressed + late:
            return None
        self.shortcut("k")
        recorder.wait_for_silence(onset, f"Kill All after {keysym}")
        return recording.frequency(onset + 0.05, onset + 0.25)

    def choose_output(self, value):
        """Before a start: the output the program opens, "wasapi" (the low-latency
        one) or "directsound", written where the Low-Latency Output item keeps it."""
        subprocess.run([*WINE, "reg", "add", OUTPUT_KEY, "/v", "Output", "/t", "REG_SZ", "/d", value, "/f"],
                       env=self.session.env(), check=True, capture_output=True, timeout=60)

    def low_latency_output_on(self):
        """Whether the Functions menu's Low-Latency Output item is checked: the
        low-latency output is the one playing."""
        return self.menu_item("Functions", "Low-Latency Output", checked=True)[2]

    def start_playing_a_sine(self, folder, output="wasapi"):
        """The benchmarks' program: started on the output (as choose_output
        names it) with one sound, a 440 Hz sine at half scale in `folder`,
        imported; sound 0 is on every key."""
        self.choose_output(output)
        self.start()
        if self.low_latency_output_on() != (output == "wasapi"):
            raise RuntimeError(f"Quillpad did not open the {output} output")
        make_sine(Path(folder) / "a_440.wav", 440.0, seconds=1.0, amplitude=0.5)
        self.import_sounds(folder, "a_440.wav")

    # -- the commands ---------------------------------------------------------------

    def save_as(self, path):
        """Ctrl+S on a setup that has no file yet goes through the Save Setup dialog;
        returns once the title names the new file."""
        self.shortcut("s")
        self.choose_path("Save Setup", path)
        self.wait_title_names(path)

    def save_setup_as(self, path):
        """File > Save Setup As with the full path of `path` typed in; returns once
        the title names the file."""
        self.choose_menu_item("File", "Save Setup As...")
        self.choose_path("Save Setup", path)
        self.wait_title_names(path)

    def wait_title_names(self, path):
        """Until the window title names the setup file `path`."""
        main = self.session.main
        wait_until(lambda: (main.title() or "").startswith(f"{Path(path).name}  "), 10,
                   f"the window title to name {Path(path).name} (it is {main.title()!r})")

    def open_setup(self, path):
        """File > Open Setup (Ctrl+O) with the full path of `path` typed in."""
        self.shortcut("o")
        self.choose_path("Open Setup", path)

    def import_sounds(self, folder, file_name):
        """File > Import Sounds (Ctrl+I), choosing `file_name` in `folder`."""
        self.shortcut("i")
        self.choose_path("Import Sounds", Path(folder) / file_name)

    def menu_items(self, checked=False):
        """The menu bar's items as the program holds them: (menu, text, enabled),
        or with checked=True (menu, text, enabled, checked); separators left out.
        A submenu's items come under the submenu's own text as their menu."""
        s = self.session
        lines = s.run_probe("menu", MAIN_CLASS, windows_path(RUN.helper_exe("menuprobe", "dll")))
        if lines is None:
            raise RuntimeError("the main window is not there to read its menu")
        menus = {}
        positions = {}
        items = []
        for line in lines:
            popup, ident, state, text = line.split(" ", 3)
            text = unescape(text)
            if ident == "-1" and popup not in menus:
                menus[popup] = text  # a menu of the bar; later lines of id -1 are its submenus
                continue
            if "/" not in popup:
                # Separators hold a place too: submenu lines name their parent's place.
                position = positions.get(popup, 0)
                positions[popup] = position + 1
                menus[f"{popup}/{position}"] = text.split("\t")[0]
            if ident != "0":
                item = (menus[popup], text, not int(state) & MENU_ITEM_GREYED)
                items.append(item + (bool(int(state) & MENU_ITEM_CHECKED),) if checked else item)
        return items

    def menu_item(self, menu_name, item_name, checked=False):
        """(text, enabled), or with checked=True (text, enabled, checked), of the
        item whose text, before its tab, is item_name."""
        for item in self.menu_items(checked):
            if item[0] == menu_name and item[1].split("\t")[0] == item_name:
                return item[1:]
        raise KeyError(f"no item {item_name!r} in the {menu_name} menu: {self.menu_items()}")

    def open_file_menu(self):
        """Opens the File menu with a click on the menu bar; returns its window."""
        s = self.session
        x, y = s.main.client_origin()
        # A click on the bar opens a menu once the program's thread has left the
        # menu mode of the last menu and no window of it holds the mouse: the end
        # of a menu chosen with Enter runs on after its windows have gone.
        wait_until(lambda: self._thread_state()[1:] == (False, "-"), 10, "the program to take a click on its menu bar")
        known = s.untitled_windows()
        s.click_on_screen(x + FILE_MENU_X, y - MENU_BAR_ABOVE_CLIENT)
        try:
            return s.wait_untitled_window(known, "File menu")
        except WaitTimeout as error:
            raise WaitTimeout(f"{error}; the program's thread (flags, capture, menu owner): {self._thread_state()}; "
                              f"windows: {s.windows.describe_windows()}; {s.describe_focus()}") from None

    def _thread_state(self):
        """(flags, in a menu, the class of the window holding the mouse or "-") of
        the program's thread, as Windows keeps them."""
        lines = self.session.run_probe("gui", MAIN_CLASS)
        if not lines:
            raise RuntimeError("the main window is not there to read its thread's state")
        flags, capture, owner = lines[0].split(" ")
        return int(flags, 16), bool(int(flags, 16) & GUI_MENU_MODES), capture

    def shown_menu_item(self, menu_name, item_name):
        """(text, enabled) of an item as a person sees it in an open menu: the
        program settles the state of some items only when the menu bar is
        entered. Closes the menu again; keys typed after this are handled after
        the menu has gone."""
        s = self.session
        popup = self.open_file_menu()
        item = self.menu_item(menu_name, item_name)
        # The first Escape closes the menu, the second leaves the menu bar.
        s.xdotool("key", "Escape")
        popup.wait_closed()
        s.xdotool("key", "Escape")
        s.main.wait_focus()
        return item

    def _walk_to_item(self, menu_name, item_name):
        """Opens the menu bar and walks to the item with the keyboard, as a person
        using the keyboard in a menu does, leaving it selected. (Alt and F10 play
        and mute keys: the menu has no keyboard way in.)"""
        s = self.session
        items = self.menu_items()
        menus = list(dict.fromkeys(menu for menu, _, _ in items if menu in self._bar_menus(items)))
        entries = [text.split("\t")[0] for menu, text, _ in items if menu == menu_name]
        self.open_file_menu()
        for _ in range(menus.index(menu_name)):
            s.xdotool("key", "Right")
        # The clicked menu opens with no item selected; one reached with Right
        # opens with its first item selected.
        first_selected = menus.index(menu_name) > 0
        for _ in range(entries.index(item_name) + (0 if first_selected else 1)):
            s.xdotool("key", "Down")

    @staticmethod
    def _bar_menus(items):
        submenus = {text.split("\t")[0] for _, text, _ in items}
        return [menu for menu, _, _ in items if menu not in submenus]

    def open_submenu(self, menu_name, submenu_name):
        """Opens a submenu with the keyboard, which makes the program fill it; its
        items (text, enabled, checked) as it shows them. The menus stay open:
        close them with close_menus()."""
        s = self.session
        self._walk_to_item(menu_name, submenu_name)
        known = s.untitled_windows()
        s.xdotool("key", "Right")
        s.wait_untitled_window(known, f"the {submenu_name} submenu")
        return [item[1:] for item in self.menu_items(checked=True) if item[0] == submenu_name]

    def close_menus(self):
        """Escape out of every open menu and the menu bar, until the main window has the keyboard."""
        s = self.session
        menus = s.untitled_windows()
        for _ in range(4):
            s.xdotool("key", "Escape")
        self._wait_closed(menus)
        s.main.wait_focus()

    def _wait_closed(self, menus):
        """Until the menus that were open are off the screen. Wine shows a menu
        opened again in the window it showed it in before: a menu still closing
        as the next one opens would be taken for one that was there already."""
        wait_until(lambda: not set(menus) & set(self.session.untitled_windows()), 10, "the menus to close")

    def choose_submenu_item(self, menu_name, submenu_name, item_name, on_choosing=None):
        """Opens the submenu as open_submenu does and chooses the item with the
        arrow keys and Enter; on_choosing(), if given, is called just before the
        Enter: the moment the choice is made, for a test that times what it does."""
        s = self.session
        shown = [text for text, _, _ in self.open_submenu(menu_name, submenu_name)]
        for _ in range(shown.index(item_name)):
            s.xdotool("key", "Down")
        menus = s.untitled_windows()
        if on_choosing is not None:
            on_choosing()
        s.xdotool("key", "Return")
        self._wait_closed(menus)
        s.main.wait_focus()

    def choose_menu_item(self, menu_name, item_name):
        """Walks to the item with the keyboard and chooses it with Enter."""
        self._walk_to_item(menu_name, item_name)
        menus = self.session.untitled_windows()
        self.session.xdotool("key", "Return")
        self._wait_closed(menus)
