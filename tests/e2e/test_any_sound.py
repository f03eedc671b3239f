"""Sounds of every kind a person has: MP3, FLAC, Ogg Vorbis and AIFF files in
the sound list after the WAV files, on keys given them from the list or by a
drop on their cap, and kept in setups, also one moved with its own files."""

from rig.case import PanelTestCase
from rig.input import KEYSYMS
from rig.panel import KEY_LOADING_TEXT
from rig.setup_bytes import compose_setup, start_up_keys, with_key
from rig.sound import make_tone
from rig.steps import MESSAGE_TEXT, short_folder
from rig.waits import wait_until
from rig.wine_prefix import windows_path

# The start-up layout plays the A row (keys 26 on) as toggles at each sound's own
# pitch, Q (13) held to the end of its pass at its sound's pitch, and W (14) the
# same a semitone up.
A_KEY, Q_KEY, W_KEY = 26, 13, 14
# F (29) on: A-row keys whose start-up sounds lie past a list of five, so that
# nothing loads on them before a test gives them a sound.
F_KEY = 29
SEMITONE = 2 ** (1 / 12)
PLAYING_RATE = 44100
# A tone is read within a hundredth of its pitch, whatever its kind of file.
PITCH_DELTA = 0.01


class AnySoundTest(PanelTestCase):
    def setUp(self):
        super().setUp()
        # A setup holds at most 126 bytes of sound folder.
        self.root = short_folder(self)

    def labels(self, *keys):
        return {k: self.quillpad.key_label(k) for k in keys}

    def wait_loaded(self, labels_before):
        """Until each key's cap has been drawn anew since `labels_before` and shows its sound loaded."""
        for k, label in labels_before.items():
            self.quillpad.wait_key_loaded(k, drawn_over=label)

    def assert_plays(self, k, freq, what):
        q = self.quillpad
        heard = q.pitch_of_tap(KEYSYMS[k])
        if heard is None:
            # A message up takes the keys: say what it says.
            message = q.dialog_texts("NOTE:").get(MESSAGE_TEXT) if q.dialog_open("NOTE:") else None
            self.fail(f"{what}: nothing heard" + (f"; a message is up: {message!r}" if message else ""))
        self.assertAlmostEqual(heard, freq, delta=freq * PITCH_DELTA, msg=what)

    def test_an_mp3_a_flac_an_ogg_and_an_aiff_are_listed_after_the_wav_and_each_plays_from_the_key_given_it(self):
        q = self.quillpad
        sounds = self.root / "sounds"
        # Name, tone, rate, channels: each kind at a rate or a channel count of its own.
        made = [("d.wav", 300.0, 44100, 1), ("a.ogg", 400.0, 22050, 1), ("b.aiff", 500.0, 44100, 2),
                ("c.mp3", 600.0, 44100, 2), ("e.flac", 700.0, 48000, 1)]
        for name, freq, rate, channels in made:
            make_tone(sounds / name, freq, seconds=1.0, rate=rate, channels=channels)
        q.start()
        q.import_sounds(sounds, "c.mp3")
        q.wait_title("Untitled  using:  sounds")
        # The list box holds the file names; its rows show them without their extensions.
        self.assertEqual(q.sound_names(), ["d.wav", "a.ogg", "b.aiff", "c.mp3", "e.flac"])

        # Keys F, G, H, J and K get rows 0 to 4 of the list.
        for row in range(len(made)):
            k = F_KEY + row
            self.click_key_cap(k)
            before = self.labels(k)
            q.choose_sound(row)
            self.wait_loaded(before)
        self.session.start_recording()
        for row, (name, freq, rate, _) in enumerate(made):
            # At its note every sound plays 44100 samples a second, whatever its
            # own rate, as WAV files do.
            self.assert_plays(F_KEY + row, freq * PLAYING_RATE / rate, f"{KEYSYMS[F_KEY + row]} given {name}")

    def test_a_setup_of_wav_sounds_plays_them_when_its_folder_has_gained_other_kinds_named_before_them(self):
        q = self.quillpad
        sounds = self.root / "sounds"
        make_tone(sounds / "m_440.wav", 440.0)
        make_tone(sounds / "n_660.wav", 660.0)
        keys = with_key(with_key(start_up_keys(), A_KEY, sound_index=1), A_KEY + 1, sound_index=0)
        setup = self.root / "wavs.qpd"
        setup.write_bytes(compose_setup(keys, 10, windows_path(sounds)))
        # Files of other kinds come into the folder later, named to sort first.
        make_tone(sounds / "a.mp3", 300.0)
        make_tone(sounds / "b.ogg", 800.0)

        q.start()
        before = self.labels(A_KEY, A_KEY + 1)
        q.open_setup(setup)
        q.wait_title("wavs.qpd  using:  sounds")
        self.wait_loaded(before)
        self.session.start_recording()
        self.assert_plays(A_KEY, 660.0, "A, of n_660.wav")
        self.assert_plays(A_KEY + 1, 440.0, "S, of m_440.wav")

    def test_sound_files_dropped_on_the_q_cap_play_from_q_and_w_in_the_order_of_the_list(self):
        q = self.quillpad
        elsewhere = self.root / "elsewhere"
        ogg = make_tone(elsewhere / "x.ogg", 550.0)
        wav = make_tone(elsewhere / "y.wav", 880.0)
        # Not a sound: skipped, else it would sort before x.ogg and take W.
        text = elsewhere / "a.txt"
        text.write_text("not a sound\n")
        q.start()
        before = self.labels(Q_KEY, W_KEY)
        q.drop_on_key(Q_KEY, ogg, text, wav)
        self.wait_loaded(before)
        self.session.start_recording()
        # The WAV file sorts first.
        self.assert_plays(Q_KEY, 880.0, "Q, given y.wav")
        self.assert_plays(W_KEY, 550.0 * SEMITONE, "W, given x.ogg")

    def test_a_setup_moved_with_its_folder_of_own_files_plays_them_after_a_restart(self):
        q = self.quillpad
        # A kit: the setup, its sound folder and a folder of its keys' own files.
        kit = self.root / "Gig"
        make_tone(kit / "Sounds" / "s_330.wav", 330.0)
        flac = make_tone(kit / "Own Sounds" / "x.flac", 450.0)
        mp3 = make_tone(kit / "Own Sounds" / "y.mp3", 750.0)
        q.start()
        q.import_sounds(kit / "Sounds", "s_330.wav")
        q.wait_title("Untitled  using:  Sounds")
        before = self.labels(A_KEY, A_KEY + 1)
        q.drop_on_key(A_KEY, mp3, flac)
        self.wait_loaded(before)
        q.save_setup_as(kit / "Gig.qpd")
        self.assertEqual(q.exit_program(), 0)

        moved = self.root / "Moved" / "Gig Again"
        moved.parent.mkdir()
        kit.rename(moved)
        q.start()
        before = self.labels(A_KEY, A_KEY + 1)
        q.open_setup(moved / "Gig.qpd")
        q.wait_title("Gig.qpd  using:  Sounds")
        self.wait_loaded(before)
        self.assertFalse(q.dialog_open("NOTE:"), "a message came as the moved setup opened")
        self.session.start_recording()
        self.assert_plays(A_KEY, 450.0, "A, given x.flac")
        self.assert_plays(A_KEY + 1, 750.0, "S, given y.mp3")

    def test_a_key_pressed_while_its_long_mp3_loads_stays_silent_and_plays_once_it_has_loaded(self):
        q = self.quillpad
        sounds = self.root / "sounds"
        # Ten minutes: its decoding takes seconds, so the press surely meets it loading.
        make_tone(sounds / "long.mp3", 500.0, seconds=600.0, channels=2)
        q.start()
        q.import_sounds(sounds, "long.mp3")
        q.wait_title("Untitled  using:  sounds")
        self.click_key_cap(F_KEY)
        q.choose_sound(0)
        wait_until(lambda: KEY_LOADING_TEXT in q.key_label(F_KEY), 5, "F's cap to show its sound loading (grey)")
        self.session.start_recording()
        self.assertIsNone(q.pitch_of_tap(KEYSYMS[F_KEY], late=0.6), "F sounded while its sound was loading")
        # Still loading after the silence heard: the press was taken while it loaded.
        self.assertIn(KEY_LOADING_TEXT, q.key_label(F_KEY), "F's sound loaded before the press could be judged")
        q.wait_key_loaded(F_KEY, timeout=60)
        self.assert_plays(F_KEY, 500.0, "F once long.mp3 had loaded")
