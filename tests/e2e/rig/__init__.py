"""The end-to-end rig: runs the real quillpad.exe under Wine, headless, and
judges what a person would perceive.

    paths        the repository, the end-to-end tests, the build folders, the program
    processes    ending the processes the rig starts, and the log of what it starts
    waits        waiting for observable state, and the few pauses that are durations
    run_folder   the run's folder, made once per run, and the helper programs built into it
    display      Xvfb, and the X clients run against it
    pulse        PulseAudio with a null sink to record
    wine_prefix  the prefix template, a test's copy of it, Wine kept up in it, helpers run in it
    windows      the program's windows on the display, and who has the keyboard
    input        the keyboard and the mouse
    session      a test's world: one of each part above, and the program's process
    screen       screenshots, pixels, PNG writing and BMP reading
    sound        recording the sound card and analysing it: onset, silence, pitch, level, balance
    steps        Quillpad's user steps: open, import, save as, menus, dialogs
    panel        the front panel: where its controls are and what they look like
    case         the test cases: a fresh session for each test, and checks of the panel's pixels

Each test owns its display, sound server and prefix, and ends what it started.
Standard library only.
"""
