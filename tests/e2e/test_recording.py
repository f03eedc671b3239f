"""Record to WAV: the file holds what the listener heard, sample for sample,
silence included; it is a valid WAV file however the recording ends (stopped,
the program closed or killed, its folder taken away); the item is greyed with
DirectSound."""

import subprocess
import unittest

from rig.case import QuillpadTestCase
from rig.sound import SOUND_DB, Recording, make_sine, read_float_wave
from rig.steps import MESSAGE_TEXT, short_folder
from rig.waits import hold_for, wait_until
from rig.wine_prefix import windows_path

SETUP_TITLE = "jam.qpd  using:  sounds"
# The number-row keys play the 440 Hz sine chromatically from an octave down.
KEY_PITCHES = {"grave": 220.0, "4": 277.18, "7": 329.63}
# The stream's period: a key's sound begins at the next one.
PERIOD = 0.01
# Onsets are compared in windows of a millisecond.
FINE_STEP = 0.001
# The silence before a key, recorded too; longer than the second after which
# an idle output stops its stream.
SILENCE_BEFORE = 2.0


class RecordingTest(QuillpadTestCase):
    def setUp(self):
        super().setUp()
        self.folder = short_folder(self)
        make_sine(self.folder / "sounds" / "a_440.wav", 440.0, seconds=1.0, amplitude=0.5)
        self.take = self.folder / "takes" / "take.wav"
        self.take.parent.mkdir()

    def start_with_sounds(self):
        q = self.quillpad
        q.start()
        q.import_sounds(self.folder / "sounds", "a_440.wav")
        self.session.main.wait_focus()
        q.save_as(self.folder / "jam.qpd")  # nothing unsaved: Ctrl+Q ends the program at once

    def start_recording(self):
        """Record to WAV from the Functions menu, into self.take; once the title shows [REC]."""
        q = self.quillpad
        q.choose_menu_item("Functions", "Record to WAV...")
        q.choose_path("Record to WAV", self.take)
        q.wait_title(SETUP_TITLE + " [REC]")
        return self.session.recorder.mark() if self.session.recorder else None

    def stop_recording(self):
        """Ctrl+R; the file is complete once the title has lost [REC]."""
        self.quillpad.shortcut("r")
        self.quillpad.wait_title(SETUP_TITLE)

    def tone(self, recording, after, what):
        """(onset, end) of the next tone after `after`; onsets to the millisecond."""
        onset = recording.onset(after, step=FINE_STEP)
        self.assertIsNotNone(onset, f"no {what} in the recording")
        end = recording.silence_from(onset, 0.15)
        self.assertIsNotNone(end, f"{what} never ended")
        return onset, end

    def test_the_file_holds_the_keys_played_as_the_sink_heard_them_and_the_title_shows_rec(self):
        q, s = self.quillpad, self.session
        self.start_with_sounds()
        sink = s.start_recording()
        self.start_recording()
        self.assertEqual(q.menu_item("Functions", "Stop Recording", checked=True),
                         ("Stop Recording\tCtrl+R", True, True))
        heard = []
        for key in KEY_PITCHES:
            pressed, _ = s.press_for(key, 0.3)
            onset = sink.sound_within(pressed, f"pressing {key}")
            sink.wait_for_silence(onset, f"releasing {key}")
            heard.append(sink.recording().onset(onset - 0.05, step=FINE_STEP))
        self.stop_recording()
        self.assertEqual(q.menu_item("Functions", "Record to WAV...", checked=True),
                         ("Record to WAV...\tCtrl+R", True, False))

        recorded = read_float_wave(self.take)  # raises when any size is wrong
        self.assertEqual((recorded.rate, recorded.channels), (44100, 2), "not the output's rate and channels")
        sox = subprocess.run(["soxi", str(self.take)], capture_output=True, text=True, timeout=30)
        self.assertIn(f"= {recorded.frames} samples", sox.stdout, f"sox reads the file otherwise: {sox.stderr}")
        self.assertIn("32-bit Floating Point PCM", sox.stdout)
        recording = Recording.from_float_wave(self.take)
        onsets, after = [], 0.0
        for key, pitch in KEY_PITCHES.items():
            onset, end = self.tone(recording, after, f"the tone of {key}")
            self.assertAlmostEqual(recording.frequency(onset + 0.05, end - 0.05), pitch, delta=pitch * 0.01,
                                   msg=f"the pitch of {key} in the file")
            onsets.append(onset)
            after = end
        for k in (1, 2):
            self.assertAlmostEqual(onsets[k] - onsets[k - 1], heard[k] - heard[k - 1], delta=PERIOD,
                                   msg=f"the spacing of onsets {k} and {k + 1}: file {onsets}, sink {heard}")

    def test_a_key_held_for_five_seconds_is_recorded_whole_after_the_silence_and_closing_ends_the_file(self):
        q, s = self.quillpad, self.session
        self.start_with_sounds()
        sink = s.start_recording()
        started = self.start_recording()
        hold_for(SILENCE_BEFORE)  # the silence that must be recorded too
        pressed, _ = s.press_for("grave", 5.0)
        sink.wait_for_silence(sink.sound_within(pressed, "pressing the grave-accent key"), "the release")
        # Closing ends the recording too, and asks nothing: the setup was not touched.
        self.assertEqual(q.exit_program(), 0, "the program asked something or did not end")

        recorded = read_float_wave(self.take)
        self.assertEqual(44 + 14 + len(recorded.data), self.take.stat().st_size, "the file was not completed")
        recording = Recording.from_float_wave(self.take)
        file_onset, file_end = self.tone(recording, 0.0, "the held key's tone")
        self.assertAlmostEqual(file_onset, pressed - started, delta=0.25, msg="the silence before the key is missing")
        # The key's five seconds, whatever dropouts a busy machine gave the sink meanwhile.
        self.assertAlmostEqual(file_end - file_onset, 5.0, delta=0.1)
        # The fades at either end left out.
        quietest = min(level for _, level in recording.levels(file_onset + 0.01, file_end - 0.01, channel="left"))
        self.assertGreater(quietest, SOUND_DB, "a gap in the held tone")

    def test_a_killed_program_leaves_a_readable_file_short_of_at_most_the_last_second(self):
        s = self.session
        self.start_with_sounds()
        sink = s.start_recording()
        self.start_recording()
        pressed = sink.mark()
        s.key_down("grave")
        self.addCleanup(s.key_up, "grave")
        onset = sink.sound_within(pressed, "pressing the grave-accent key")
        hold_for(2.5)  # the tone recorded before the crash
        killed = sink.mark()
        s.kill_program()

        recording = Recording.from_float_wave(self.take)
        file_onset = recording.onset(0.0, step=FINE_STEP)
        self.assertIsNotNone(file_onset, "the tone is not in the file")
        kept = recording.duration - file_onset
        self.assertGreater(kept, killed - onset - 1.0, f"only {kept:.2f} s of the tone's {killed - onset:.2f} s kept")
        self.assertAlmostEqual(recording.frequency(file_onset + 0.05, recording.duration), 220.0, delta=2.2)

    def test_a_folder_taken_away_while_recording_ends_it_with_a_message_and_a_valid_file(self):
        q, s = self.quillpad, self.session
        self.start_with_sounds()
        sink = s.start_recording()
        self.start_recording()
        pressed, _ = s.press_for("grave", 0.5)
        sink.wait_for_silence(sink.sound_within(pressed, "pressing the grave-accent key"), "the release")
        moved = self.take.parent.rename(self.folder / "moved")

        message = q.wait_dialog("NOTE:")
        self.assertEqual(q.dialog_texts("NOTE:").get(MESSAGE_TEXT),
                         f"Recording stopped: could not write {windows_path(self.take)}.")
        q.dismiss(message, "Return")
        q.wait_title(SETUP_TITLE)
        recording = Recording.from_float_wave(moved / self.take.name)
        onset, end = self.tone(recording, 0.0, "the key's tone")
        self.assertAlmostEqual(recording.frequency(onset + 0.05, end - 0.05), 220.0, delta=2.2)

    def test_the_item_is_greyed_with_directsound(self):
        q = self.quillpad
        q.choose_output("directsound")
        q.start()
        self.assertFalse(q.low_latency_output_on())
        self.assertEqual(q.menu_item("Functions", "Record to WAV..."), ("Record to WAV...\tCtrl+R", False))


if __name__ == "__main__":
    unittest.main()
