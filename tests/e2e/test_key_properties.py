"""A key's properties, set in the Key Properties dialog as a person sets them:
choke groups, fades and start points heard in the recording, and all of them
kept in a setup file that opens again after a restart."""

import array
import math
import wave

from rig.case import QuillpadTestCase
from rig.sound import LATE, RATE, make_sine
from rig.steps import short_folder

# The start-up layout plays the A, S and D keys (keys 26, 27, 28) as
# toggle-and-stop keys with sounds 2, 3 and 4 at their own pitch, centred, at
# volume 100: these sounds, sorted by name.
A_KEY, S_KEY, D_KEY = 26, 27, 28
A_HZ = 500.0  # ten-millisecond windows hold whole periods of it
S_HZ = 3500.0
# Key D's sound: a tone after this much silence.
LEADING_SILENCE = 0.3
# How loud a key's tone is once it sounds: well above any leak of another.
HEARD_DB = -40.0
SILENT_DB = -60.0


def make_late_sine(path, freq, silence, seconds, amplitude=0.5):
    """A 16-bit mono WAV: `silence` seconds of silence, then a sine."""
    quiet = int(silence * RATE)
    samples = array.array("h", [0] * quiet)
    samples.extend(int(amplitude * 32767 * math.sin(2 * math.pi * freq * n / RATE)) for n in range(int(seconds * RATE)))
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(samples.tobytes())


def tone_onset(recording, freq, after, step=0.005):
    """The start of the first window after `after` that holds the tone."""
    t = after
    while t + step <= recording.duration:
        if recording.tone_level_db(freq, t, t + step) >= HEARD_DB:
            return t
        t += step
    return None


def crossing(recording, start, end, full_db, fraction, rising, step=0.01):
    """The first window between start and end whose amplitude is past `fraction` of the
    full level's, upwards when rising: where a fade passes that point of its line."""
    t = start
    while t + step <= end:
        ratio = 10 ** ((recording.rms_db(t, t + step) - full_db) / 20)
        if (ratio >= fraction) if rising else (ratio <= fraction):
            return t
        t += step
    return None


class KeyPropertiesTest(QuillpadTestCase):
    """Through the low-latency output; KeyPropertiesWithDirectSoundTest below runs
    the fades and the start point again through DirectSound."""

    OUTPUT = "wasapi"

    def setUp(self):
        super().setUp()
        # A setup holds at most 126 bytes of sound folder.
        sounds = short_folder(self) / "sounds"
        make_sine(sounds / "a_300.wav", 300.0)
        make_sine(sounds / "b_400.wav", 400.0)
        make_sine(sounds / "c_500.wav", A_HZ, seconds=1.0)
        make_sine(sounds / "d_3500.wav", S_HZ, seconds=1.0)
        make_late_sine(sounds / "e_late_500.wav", A_HZ, LEADING_SILENCE, 0.7)
        self.quillpad.choose_output(self.OUTPUT)
        self.quillpad.start()
        self.quillpad.import_sounds(sounds, "a_300.wav")
        self.recorder = self.session.start_recording()

    def test_a_key_of_a_choke_group_silences_the_other_within_ten_milliseconds_of_its_onset(self):
        q, s, recorder = self.quillpad, self.session, self.recorder
        q.set_key_properties(A_KEY, [1, 0, 0, 0, 0], right_click=True)
        q.set_key_properties(S_KEY, [1, 0, 0, 0, 0])

        first = recorder.mark()
        s.tap("a")
        onset_a = recorder.sound_within(first, "pressing A")
        recorder.recording_until(onset_a + 0.2)
        second = recorder.mark()
        s.tap("s")
        recording = recorder.recording_until(second + LATE + 0.3)
        onset_s = tone_onset(recording, S_HZ, second)
        self.assertIsNotNone(onset_s, "S was not heard")
        self.assertGreater(recording.tone_level_db(A_HZ, onset_s - 0.06, onset_s - 0.01), HEARD_DB,
                           "A was not sounding before S")
        self.assertLess(recording.tone_level_db(A_HZ, onset_s + 0.01, onset_s + 0.06), SILENT_DB,
                        "A still sounded 10 ms after S's onset")
        self.assertGreater(recording.tone_level_db(S_HZ, onset_s + 0.01, onset_s + 0.06), HEARD_DB)

        # A choked toggle is unlatched: its next press starts it again.
        third = recorder.mark()
        s.tap("a")
        recording = recorder.recording_until(third + LATE + 0.2)
        onset = tone_onset(recording, A_HZ, third)
        self.assertIsNotNone(onset, "A did not start again")
        self.assertLess(recording.tone_level_db(S_HZ, onset + 0.01, onset + 0.06), SILENT_DB, "A did not choke S")

    def test_a_fade_in_and_a_fade_out_of_half_a_second_rise_and_fall_along_a_line(self):
        q, s, recorder = self.quillpad, self.session, self.recorder
        q.set_key_properties(A_KEY, [0, 500, 500, 0, 0])
        pressed = recorder.mark()
        s.tap("a")
        onset = recorder.wait_for_sound(pressed, "pressing A with a fade-in")
        recording = recorder.recording_until(onset + 1.0)
        full_db = recording.rms_db(onset + 0.7, onset + 1.0)
        rise = [crossing(recording, pressed, onset + 0.7, full_db, f, rising=True) for f in (0.2, 0.8)]
        self.assertNotIn(None, rise, f"the fade-in never got there (level {full_db:.1f} dBFS)")
        self.assertAlmostEqual((rise[1] - rise[0]) / 0.6, 0.5, delta=0.05, msg=f"the fade-in's line: {rise}")

        released = recorder.mark()
        s.tap("a")  # the second press of a toggle stops it: with its fade-out
        silent = recorder.wait_for_silence(released, "the fade-out", timeout=3)
        recording = recorder.recording()
        fall = [crossing(recording, released, silent + 0.01, full_db, f, rising=False) for f in (0.8, 0.2)]
        self.assertNotIn(None, fall, "the fade-out never got there")
        self.assertAlmostEqual((fall[1] - fall[0]) / 0.6, 0.5, delta=0.05, msg=f"the fade-out's line: {fall}")
        self.assertGreater(silent - released, 0.4, "the sound was cut, not faded")

    def test_a_start_point_skips_the_silence_at_the_head_of_a_sound(self):
        q, s, recorder = self.quillpad, self.session, self.recorder

        def silence_before_d(what):
            """How long after S's tone D's is heard, the two pressed in one go: they
            start a period or two apart, whatever the output's own delay on that press."""
            pressed = recorder.mark()
            s.xdotool("keydown", "--delay", "0", "s", "d")
            s.xdotool("keyup", "--delay", "0", "d", "s")
            recording = recorder.recording_until(pressed + LATE + LEADING_SILENCE + 0.3)
            onsets = [tone_onset(recording, freq, pressed) for freq in (S_HZ, A_HZ)]
            self.assertNotIn(None, onsets, f"S and D were not both heard {what}")
            q.shortcut("k")
            recorder.wait_for_silence(max(onsets), f"Kill All {what}")
            return onsets[1] - onsets[0]

        self.assertAlmostEqual(silence_before_d("without a start point"), LEADING_SILENCE, delta=0.05)
        q.set_key_properties(D_KEY, [0, 0, 0, int(LEADING_SILENCE * 1000), 0])
        self.assertAlmostEqual(silence_before_d("with the start point"), 0.0, delta=0.05)

    def test_every_property_is_kept_in_the_setup_and_opens_again_after_a_restart(self):
        q, s = self.quillpad, self.session
        dialog, title = q.open_key_properties(D_KEY)
        q.type_key_properties(title, [17, 0, 0, 0, 0])
        s.xdotool("key", "Return")
        refusal = q.wait_dialog("Key Properties")
        self.assertIn("Choke group must be a whole number from 0 to 16.", q.dialog_texts("Key Properties").values())
        q.press_in(refusal, "Return")
        self.assertTrue(q.dialog_open(title), "a refused value closed the dialog")
        q.type_key_properties(title, [3, 40, 250, int(LEADING_SILENCE * 1000), 800])
        q.dismiss(dialog, "Return")

        path = s.work_dir / "properties.qpd"
        q.save_as(path)
        self.assertEqual(int.from_bytes(path.read_bytes()[:2], "big"), 8000, "the setup is no version-8000 file")
        self.assertEqual(q.exit_program(), 0)

        q.start()
        q.open_setup(path)
        dialog, title = q.open_key_properties(D_KEY, right_click=True)
        self.assertEqual(q.key_properties_shown(title), ["3", "40", "250", "300", "800"])
        q.dismiss(dialog, "Escape")
        pressed = self.recorder.mark()
        s.tap("d")
        onset = self.recorder.wait_for_sound(pressed, "pressing D after the restart")
        self.assertLess(onset - pressed, LEADING_SILENCE - 0.1, "the start point was lost")


class KeyPropertiesWithDirectSoundTest(KeyPropertiesTest):
    """DirectSound steps a fade's volume every 10 ms and plays a part of a sound
    from a copy of it."""

    OUTPUT = "directsound"
    test_a_key_of_a_choke_group_silences_the_other_within_ten_milliseconds_of_its_onset = None
    test_every_property_is_kept_in_the_setup_and_opens_again_after_a_restart = None
