"""The run's own folder under build/e2e/, made once per run and removed at its
end, with the home Wine sees and the rig's small Windows programs built into it."""

import atexit
import os
import shutil
import subprocess
import tempfile
import threading
from pathlib import Path

from .paths import E2E_DIR, E2E_ROOT


class RunFolder:
    def __init__(self):
        self.dir = None
        self.helpers = {}
        self.lock = threading.Lock()

    def directory(self):
        with self.lock:
            if self.dir is None:
                E2E_ROOT.mkdir(parents=True, exist_ok=True)
                self.dir = Path(tempfile.mkdtemp(prefix="run-", dir=E2E_ROOT))
                atexit.register(self._remove)
            return self.dir

    def _remove(self):
        if self.dir is not None and not os.environ.get("QUILLPAD_E2E_KEEP"):
            shutil.rmtree(self.dir, ignore_errors=True)

    def home(self):
        home = self.directory() / "home"
        home.mkdir(exist_ok=True)
        return home

    def helper_exe(self, name, kind="exe"):
        """One of the small Windows programs (or, kind "dll", libraries) of
        tests/e2e/<name>.c, built once per run."""
        if (name, kind) not in self.helpers:
            target = self.directory() / f"{name}.{kind}"
            shared = ["-shared"] if kind == "dll" else []
            # A library's exports, forwards among them, may be listed in <name>.def.
            exports = [str(E2E_DIR / f"{name}.def")] if (E2E_DIR / f"{name}.def").exists() else []
            subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-O2", "-static", *shared, "-o", str(target),
                            str(E2E_DIR / f"{name}.c"), *exports, "-lole32", "-luuid", "-lversion", "-lwinmm",
                            "-lws2_32"], check=True, timeout=120)
            self.helpers[(name, kind)] = target
        return self.helpers[(name, kind)]


RUN = RunFolder()
