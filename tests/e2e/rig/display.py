"""An X display of a test's own (Xvfb), and the X clients run against it."""

import os
import subprocess
from pathlib import Path

from .processes import end_process, log
from .screen import Screenshot

SCREEN_SIZE = (1024, 768)


class Display:
    """An Xvfb server on the first free display number of 90..99."""

    def __init__(self):
        self.process = None
        self.number = None

    @property
    def name(self):
        return f":{self.number}"

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        for number in range(90, 100):
            if Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
                continue
            read_end, write_end = os.pipe()
            # Auto-repeat off: a held key gives one key-down however long a
            # busy machine stretches the hold.
            process = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", f"{SCREEN_SIZE[0]}x{SCREEN_SIZE[1]}x24", "-nolisten", "tcp",
                 "-r", "-displayfd", str(write_end)],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True)
            os.close(write_end)
            # Xvfb writes the display number to the pipe once it accepts clients.
            with os.fdopen(read_end) as ready:
                answer = ready.readline().strip()
            if answer == str(number) and process.poll() is None:
                self.process, self.number = process, number
                log(f"Xvfb on :{number}")
                return
            end_process(process)
        raise RuntimeError("no free X display in :90..:99")

    def running(self):
        return self.process is not None

    def stop(self):
        end_process(self.process)
        self.process = None

    def xdotool(self, *args, check=True):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        return subprocess.run(["xdotool", *[str(a) for a in args]], env=env, capture_output=True, text=True,
                              timeout=15, check=check)

    def screenshot(self):
        return Screenshot.of_display(self.name)
