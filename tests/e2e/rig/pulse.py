"""A PulseAudio server of a test's own, whose null sink Wine plays into and
whose monitor the test records."""

import os
import shutil
import signal
import subprocess
import tempfile
from pathlib import Path

from .processes import end_process
from .sound import RATE, Recorder
from .waits import wait_until


class PulseServer:
    """A PulseAudio server with one null sink, qtest, reached through a socket of its own.
    Further null sinks (name: description) are made at its start, before Wine lists
    the endpoints; with them, modules may be unloaded while it runs."""

    SINK = "qtest"

    def __init__(self, extra_sinks=None):
        self.extra_sinks = dict(extra_sinks or {})
        # Unix socket paths are limited to 107 bytes: the test's folder can be longer than that.
        self.runtime_dir = Path(tempfile.mkdtemp(prefix="quillpad-pulse-"))
        self.process = None
        self.log_file = None

    @property
    def socket(self):
        return self.runtime_dir / "native"

    def env(self):
        return {
            "PULSE_SERVER": f"unix:{self.socket}",
            "PULSE_RUNTIME_PATH": str(self.runtime_dir),
            "PULSE_STATE_PATH": str(self.runtime_dir),
            "XDG_RUNTIME_DIR": str(self.runtime_dir),
        }

    def start(self):
        os.chmod(self.runtime_dir, 0o700)
        env = dict(os.environ)
        env.update(self.env())
        env["HOME"] = str(self.runtime_dir)
        env.pop("PULSE_SERVER")
        self.log_file = open(self.runtime_dir / "pulseaudio.log", "ab")
        sinks = [f"--load=module-null-sink sink_name={name} rate={RATE} channels=2 "
                 f"sink_properties=device.description={description}"
                 for name, description in self.extra_sinks.items()]
        self.process = subprocess.Popen(
            ["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
             "--disallow-exit", *([] if self.extra_sinks else ["--disallow-module-loading"]),
             f"--load=module-null-sink sink_name={self.SINK} rate={RATE} channels=2", *sinks,
             f"--load=module-native-protocol-unix auth-anonymous=1 socket={self.socket}"],
            env=env, stdout=self.log_file, stderr=subprocess.STDOUT, start_new_session=True)

        def answers():
            if self.process.poll() is not None:
                raise RuntimeError(f"pulseaudio ended at start; see {self.runtime_dir / 'pulseaudio.log'}")
            return self.socket.exists() and self.pactl("info", check=False).returncode == 0
        wait_until(answers, 10, "pulseaudio to answer")
        self.pactl("set-default-sink", self.SINK)

    def pactl(self, *args, check=True):
        env = dict(os.environ)
        env.update(self.env())
        return subprocess.run(["pactl", *args], env=env, check=check, capture_output=True, timeout=10)

    def recorder(self, sink=None):
        env = dict(os.environ)
        env.update(self.env())
        return Recorder(f"{sink or self.SINK}.monitor", env)

    def unload_sink(self, name):
        """Takes one of the extra sinks away, as when its device is unplugged."""
        modules = self.pactl("list", "short", "modules").stdout.decode().splitlines()
        module = next(line.split()[0] for line in modules if f"sink_name={name} " in line + " ")
        self.pactl("unload-module", module)

    def kill(self):
        """The server dies at once, as a crashed sound server does; start() brings
        the same server back, its sinks and socket as before."""
        os.killpg(self.process.pid, signal.SIGKILL)
        self.process.wait(10)
        self.process = None
        self.socket.unlink(missing_ok=True)

    def stop(self):
        end_process(self.process)
        self.process = None
        if self.log_file:
            self.log_file.close()
            self.log_file = None
        shutil.rmtree(self.runtime_dir, ignore_errors=True)
