"""Output devices that come and go: the Output Device menu, a held key's sound
moving to the device chosen, and coming back by itself when its device goes,
when Wine's default changes and when the sound server restarts; and an idle
Quillpad that costs next to nothing."""

import subprocess
import unittest
from pathlib import Path

from rig.case import QuillpadTestCase
from rig.sound import make_sine
from rig.processes import cpu_seconds
from rig.steps import OUTPUT_KEY, short_folder
from rig.waits import hold_for, wait_until
from rig.wine_prefix import WINE

SINK_TWO = "SinkTwo"
# A device change must be heard on the new device within a second.
BACK_WITHIN = 1.0
IDLE_SECONDS = 5.0


class OutputDevicesTest(QuillpadTestCase):
    EXTRA_SINKS = {"two": SINK_TWO}

    def setUp(self):
        super().setUp()
        sounds = short_folder(self)
        make_sine(sounds / "a_440.wav", 440.0, seconds=1.0, amplitude=0.5)
        self.quillpad.start()
        self.quillpad.import_sounds(sounds, "a_440.wav")
        self.session.main.wait_focus()
        self.setup = sounds / "devices.qpd"
        self.quillpad.save_as(self.setup)  # nothing unsaved: Ctrl+Q ends the program at once

    def device_menu(self):
        """The Output Device submenu as it shows: (text, enabled, checked) of each item."""
        items = self.quillpad.open_submenu("Functions", "Output Device")
        self.quillpad.close_menus()
        return items

    def choose_device(self, name, on_choosing=None):
        self.quillpad.choose_submenu_item("Functions", "Output Device", name, on_choosing)

    def recorder_of_sink_two(self):
        recorder = self.session.pulse.recorder("two").start()
        self.addCleanup(recorder.stop)
        return recorder

    def hold_grave(self, recorder, where):
        """Holds the grave-accent key (its sine loops while held) until it sounds on a sink."""
        pressed = recorder.mark()
        self.session.key_down("grave")
        self.addCleanup(self.session.key_up, "grave")
        recorder.sound_within(pressed, f"holding the grave-accent key, on {where}")

    def test_a_second_sink_is_listed_and_choosing_it_moves_a_held_key_there_for_good(self):
        q, s = self.quillpad, self.session
        items = self.device_menu()
        self.assertEqual(items[0], ("Default Device", True, True))
        self.assertIn((SINK_TWO, True, False), items)

        default = s.start_recording()
        two = self.recorder_of_sink_two()
        self.hold_grave(default, "the default device")
        # Timed from the Enter that chooses it: walking the menu takes its own time.
        marks = []
        self.choose_device(SINK_TWO, on_choosing=lambda: marks.extend((two.mark(), default.mark())))
        choosing, moving = marks
        two.sound_within(choosing, "choosing SinkTwo", late=BACK_WITHIN)
        default.silence_within(moving, "choosing SinkTwo", late=BACK_WITHIN)
        released = two.mark()
        s.key_up("grave")
        two.silence_within(released, "releasing the key on SinkTwo")

        self.assertEqual(q.exit_program(), 0, "choosing a device touched the setup or the exit")
        q.start()
        q.open_setup(self.setup)
        self.assertIn((SINK_TWO, True, True), self.device_menu(), "the choice was not remembered")
        pressed_on_two = two.mark()
        pressed, _ = s.press_for("grave", 0.3)
        two.sound_within(pressed_on_two, "pressing the key after the restart")
        self.assertIsNone(default.recording_until(pressed + 0.6).onset(pressed), "the default device played too")

    def test_the_chosen_sink_unloaded_while_a_key_is_held_brings_the_sound_back_on_the_default(self):
        s = self.session
        self.choose_device(SINK_TWO)
        two = self.recorder_of_sink_two()
        self.hold_grave(two, SINK_TWO)
        default = s.start_recording()
        unloaded = default.mark()
        s.pulse.unload_sink("two")
        default.sound_within(unloaded, "unloading SinkTwo", late=BACK_WITHIN)
        released = default.mark()
        s.key_up("grave")
        default.silence_within(released, "releasing the key after the move")

    def test_wine_changing_its_default_output_moves_the_sound(self):
        s = self.session
        # SinkTwo's endpoint id, as the menu stores it when SinkTwo is chosen.
        self.choose_device(SINK_TWO)
        query = subprocess.run([*WINE, "reg", "query", OUTPUT_KEY, "/v", "OutputDevice"], env=s.env(),
                               capture_output=True, text=True, timeout=30)
        endpoint = query.stdout.split("REG_SZ")[1].strip()
        self.choose_device("Default Device")

        default = s.start_recording()
        two = self.recorder_of_sink_two()
        self.hold_grave(default, "the default device")
        changed = two.mark()
        subprocess.run([*WINE, "reg", "add", r"HKCU\Software\Wine\Drivers\winepulse.drv", "/v", "DefaultOutput",
                        "/t", "REG_SZ", "/d", endpoint, "/f"], env=s.env(), check=True, capture_output=True,
                       timeout=30)
        two.sound_within(changed, "Wine's default output changing to SinkTwo", late=BACK_WITHIN)

    def test_the_sound_server_stopped_and_started_again_brings_the_sound_back_by_itself(self):
        s = self.session
        first = s.start_recording()
        self.hold_grave(first, "the default device")
        s.recorder = None
        first.stop()
        s.pulse.kill()
        s.pulse.start()
        back = s.start_recording()
        # Nothing is done to the program: it tries again every second until the server answers.
        back.wait_for_sound(0.0, "the sound server's return", timeout=10.0)

    def test_an_idle_quillpad_uses_under_three_percent_of_a_core(self):
        pid = self.session.program.pid
        wait_until(lambda: Path(f"/proc/{pid}/comm").read_text().strip() == "quillpad.exe", 5,
                   "the Wine process to be the program's")
        before = cpu_seconds(pid)
        hold_for(IDLE_SECONDS)  # the idle time measured
        used = (cpu_seconds(pid) - before) / IDLE_SECONDS
        self.assertLess(used, 0.03, f"idle, the program used {used:.1%} of a core")


if __name__ == "__main__":
    unittest.main()
