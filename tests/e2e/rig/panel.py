"""The front panel as a person sees and uses it: where its controls are and what
its key caps, readouts, bar meters, trigger lights and pan knob look like, all
in client coordinates. PanelTestCase (case.py) checks them pixel by pixel."""

from .screen import resource_bitmap

YELLOW = (255, 255, 0)
BAR_EMPTY = (0, 34, 0)
NOTE_BAR = (0, 255, 51)
FINE_TUNE_BAR = (102, 204, 51)
VOLUME_BAR = (153, 204, 255)
VOLUME_HOT_BAR = (255, 0, 0)

READOUT = ((0, 102, 0), (0, 200, 0))
READOUT_HOT = ((102, 0, 0), (255, 0, 0))
KEY_IDLE = ((0, 49, 0), (255, 255, 0))
KEY_PLAYING = ((0, 49, 90), (0, 148, 255))
KEY_RUNNING = ((90, 0, 0), (255, 0, 0))
# The label of a key whose sound is still loading, "...", on the idle cap's background.
KEY_LOADING_TEXT = (160, 160, 160)

CAP_SIZE = 30
# Top-left corners of the trigger-mode buttons, by the image that lights them:
# hold-and-stop, toggle-and-stop, hold-and-finish, toggle-and-finish.
TRIGGER_BUTTONS = {"LOOP1": (196, 62), "LOOP2": (227, 62), "LOOP3": (196, 98), "LOOP4": (227, 98)}
TRIGGER_BUTTON_SIZE = 30

NOTE_READOUT = (300, 12, 326, 24)
FINE_TUNE_READOUT = (342, 12, 368, 24)
VOLUME_READOUT = (416, 12, 442, 24)
NOTE_BAR_RECT = (312, 29, 323, 114)
FINE_TUNE_BAR_RECT = (344, 29, 355, 114)
VOLUME_BAR_RECT = (428, 29, 439, 114)
MASTER_BAR_RECT = (23, 267, 26, 312)

# Centres of the buttons a person clicks or holds.
NOTE_UP, NOTE_RESET, NOTE_DOWN = (296, 44), (296, 71), (296, 99)
FINE_TUNE_UP, FINE_TUNE_RESET, FINE_TUNE_DOWN = (370, 44), (370, 71), (370, 99)
VOLUME_UP, VOLUME_RESET, VOLUME_DOWN = (412, 44), (412, 71), (412, 99)
MASTER_VOLUME_UP, MASTER_VOLUME_DOWN = (37, 276), (37, 303)

PAN_KNOB_Y = 18
PAN_KNOB_SIZE = (25, 11)

BACKGROUND = resource_bitmap("BACKGROUND")


def key_cap_origin(k):
    for first, count, x, y in ((0, 13, 5, 191), (13, 13, 52, 222), (26, 11, 68, 253), (37, 10, 84, 284)):
        if first <= k < first + count:
            return x + 31 * (k - first), y
    raise ValueError(k)


def label_rect(k):
    """The label box of key cap k, (3, 3, 27, 12) of the cap, in client coordinates."""
    x, y = key_cap_origin(k)
    return x + 3, y + 3, x + 27, y + 12


def key_cap_centre(k):
    x, y = key_cap_origin(k)
    return x + CAP_SIZE // 2, y + CAP_SIZE // 2


def trigger_button_centre(name):
    x, y = TRIGGER_BUTTONS[name]
    return x + TRIGGER_BUTTON_SIZE // 2, y + TRIGGER_BUTTON_SIZE // 2


def pan_knob_x(pan):
    """Left edge of the pan knob: 0.6 pixel per 2 pan units."""
    return 184 + 3 * (pan // 2) // 5


def pan_knob_centre(pan):
    return pan_knob_x(pan) + PAN_KNOB_SIZE[0] // 2, PAN_KNOB_Y + PAN_KNOB_SIZE[1] // 2


def bar_fill(range_top, value, rect):
    """Filled height of a bar meter: integer arithmetic, truncating toward zero."""
    left, top, right, bottom = rect
    scale = int((bottom * 100 - top * 100) / range_top)
    return int((scale + 2) * value / 100)
