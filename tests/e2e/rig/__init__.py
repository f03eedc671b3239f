"""The end-to-end rig: runs the real quillpad.exe under Wine, headless, and
judges what a person would perceive.

    waits    waiting for observable state, and the few pauses that are durations
    session  Xvfb, PulseAudio, the Wine prefix, the program's process, windows and input
    screen   screenshots, pixels, PNG writing and BMP reading
    sound    recording the sound card and analysing it: onset, silence, pitch, level, balance
    steps    Quillpad's user steps: open, import, save as, menus, dialogs
    panel    the front panel: where its controls are, and checks of its pixels

Each test owns its display, sound server and prefix, and ends what it started.
Standard library only.
"""
