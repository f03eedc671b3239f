"""Wine for a test: the prefix template booted once per run, a test's own copy
of it, Wine brought up in that copy and kept up, and the rig's small Windows
programs run inside it."""

import functools
import os
import select
import shutil
import subprocess
import sys
import time
from pathlib import Path

from .display import Display
from .processes import end_process, log
from .run_folder import RUN

# How the rig runs a Wine program: `wine` with the addresses of its memory not
# randomised. This Wine's loader is linked at a fixed address below 2 GB and has
# no preloader to keep the addresses Wine needs free, so the kernel puts the
# loader's heap anywhere in the gigabyte above it; about one start in several
# thousand finds its heap on the page where Wine maps the shared user data
# (0x7ffe0000), and the process ends at once with exit code 1. Unrandomised,
# the heap starts right after the loader, far below that page.
WINE = ["setarch", "--addr-no-randomize", "wine"]

WINE_ENV = {
    "WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe=d",
    # Wine's own errors only, so that a Wine process that ends at once says why:
    # several of Wine's start-up failures print one error and exit with code 1,
    # silently when errors are off. QUILLPAD_E2E_WINEDEBUG picks other channels.
    "WINEDEBUG": os.environ.get("QUILLPAD_E2E_WINEDEBUG", "-all,err+all"),
    # Wine reads Linux names in the locale's encoding: under a locale that is not
    # installed it takes them for 7-bit text, and a name such as 日本.wav is lost
    # before the program sees it. C.UTF-8 is always installed.
    "LANG": "C.UTF-8",
    "LC_ALL": "C.UTF-8",
}


def windows_path(path):
    """The path as the program sees it: Wine maps the Linux root to drive Z:."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def _base_env():
    env = dict(os.environ)
    env.update(WINE_ENV)
    # A home of the run's own keeps Wine from linking the prefix's user folders to the real home.
    env["HOME"] = str(RUN.home())
    for name in ("DISPLAY", "PULSE_SERVER", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    return env


@functools.cache
def prefix_template():
    """The prefix every test copies, booted once per run."""
    prefix = RUN.directory() / "prefix-template"
    started = time.monotonic()
    env = _base_env()
    env["WINEPREFIX"] = str(prefix)
    with Display() as display:
        env["DISPLAY"] = display.name
        subprocess.run([*WINE, "wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=180)
        # Unmanaged windows: without a window manager a managed window waits 2 s on every
        # hide and loses the focus after dialogs; unmanaged, the X window is the whole
        # Win32 window with Wine's own caption and frame.
        subprocess.run([*WINE, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                        "/t", "REG_SZ", "/d", "N", "/f"], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=60)
    log(f"prefix template made in {time.monotonic() - started:.1f} s")
    return prefix


def _copy_prefix(template, target):
    """A prefix of the test's own in well under a second: the 700 MB of DLLs are hard
    links to the template's (Wine only reads them); the registry and .ini files,
    the only files a test's run may write, are real copies."""
    subprocess.run(["cp", "-al", str(template), str(target)], check=True)
    for path in list(target.glob("*.reg")) + list((target / "drive_c" / "windows").glob("*.ini")):
        copy = path.with_name(path.name + ".copy")
        shutil.copy2(path, copy)
        os.replace(copy, path)


class WinePrefix:
    """A test's own copy of the prefix at `folder`/prefix, with Wine's server and
    desktop kept up from open() to close(); the keeper's logs and the helpers'
    working directory are `folder`."""

    def __init__(self, folder, display, pulse, extra_env=None):
        self.folder = folder
        self.extra_env = dict(extra_env or {})
        self.path = folder / "prefix"
        self.display = display
        self.pulse = pulse
        self.keeper = None
        self.booted = False

    def env(self):
        env = _base_env()
        env["WINEPREFIX"] = str(self.path)
        env["DISPLAY"] = self.display.name
        env.update(self.pulse.env())
        env.update(self.extra_env)
        return env

    def copy_template(self):
        _copy_prefix(prefix_template(), self.path)

    def boot(self):
        """Brings up this prefix's wineserver and desktop before the program runs,
        and keeps them up until close().

        The first Wine process of a prefix starts the server and the desktop
        process; when that is slow (a busy machine), the first window created can
        fail, and the program would end at once. Server and desktop end with the
        last program of the prefix, so a keeper program stays running, and every
        start of the program finds a running Wine. Wine is ready when a probe
        can make a window: its desktop and display driver are up."""
        self.booted = True
        # Wine's own errors go to keepwine.log whatever QUILLPAD_E2E_WINEDEBUG says: a boot
        # that fails should say why.
        env = self.env()
        env["WINEDEBUG"] = "err+all,fixme-all"
        for boot in (1, 2):
            keeper_log = self.folder / f"keepwine-{boot}.log"
            with open(keeper_log, "wb") as errors:
                self.keeper = subprocess.Popen([*WINE, str(RUN.helper_exe("keepwine"))], env=env,
                                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=errors,
                                               cwd=str(self.folder), start_new_session=True)
            ready, _, _ = select.select([self.keeper.stdout], [], [], 60)
            if ready and self.keeper.stdout.readline().strip() == b"running":
                break
            # Seen once in many hundreds of boots of a fresh prefix (the keeper
            # ended with exit code 1 before the desktop was up) and not again in
            # 800 boots made to find it. The log says why; Wine is booted afresh once.
            failure = (f"keepwine did not start (boot {boot}, exit code {self.keeper.poll()}): "
                       f"{keeper_log.read_text(errors='replace')[-2000:]}")
            print(f"\n  {failure}", file=sys.stderr)
            end_process(self.keeper)
            self.keeper = None
            self._stop_wineserver()
        else:
            raise RuntimeError(failure)
        for attempt in (1, 2, 3):
            try:
                if self.run_helper("winprobe", "window", timeout=90).returncode == 0:
                    return
                log(f"Wine start-up, attempt {attempt}: no window could be made yet")
            except subprocess.TimeoutExpired as error:
                log(f"Wine start-up, attempt {attempt}: {error}")
        raise RuntimeError("Wine did not start in this prefix: no window could be made")

    def _stop_wineserver(self):
        for command in (["wineserver", "-k"], ["wineserver", "-w"]):
            subprocess.run(command, env=self.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)

    def close(self):
        """Ends the keeper and the wineserver, and removes the prefix."""
        if self.keeper is not None:
            self.keeper.stdin.close()  # its end
            try:
                self.keeper.wait(5)
            except subprocess.TimeoutExpired:
                end_process(self.keeper)
            self.keeper.stdout.close()
            self.keeper = None
        if self.booted and self.path.exists():
            self._stop_wineserver()
        if not os.environ.get("QUILLPAD_E2E_KEEP"):
            shutil.rmtree(self.path, ignore_errors=True)

    def keeper_logs(self):
        return sorted(self.folder.glob("keepwine-*.log"))

    # -- the rig's small Windows programs -----------------------------------------

    def run_helper(self, name, *args, timeout=30):
        """Runs one of the rig's small Windows programs inside this prefix."""
        return subprocess.run([*WINE, str(RUN.helper_exe(name)), *[str(a) for a in args]], env=self.env(),
                              capture_output=True, encoding="utf-8", errors="replace", timeout=timeout,
                              cwd=str(self.folder))

    def run_probe(self, *args):
        """winprobe's output lines, or None when the window was not found."""
        result = self.run_helper("winprobe", *args)
        if result.returncode == 1:
            return None
        if result.returncode != 0:
            raise RuntimeError(f"winprobe {' '.join(args)} failed: {result.stderr}")
        return result.stdout.splitlines()

    def start_helper(self, name, *args, ready, cwd=None):
        """Starts one of the rig's small Windows programs that says `ready` on a
        line of its own once it does what it is for, and goes on until
        end_helper() closes its input."""
        helper = subprocess.Popen([*WINE, str(RUN.helper_exe(name)), *[str(a) for a in args]], env=self.env(),
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                  cwd=str(cwd or self.folder), start_new_session=True)
        if helper.stdout.readline().strip() != ready:
            end_process(helper)
            raise RuntimeError(f"{name} {' '.join(map(str, args))} did not come up (exit code {helper.poll()})")
        return helper

    def end_helper(self, helper):
        helper.stdin.close()
        if helper.wait(10) != 0:
            raise RuntimeError(f"{Path(helper.args[len(WINE)]).stem} did not end cleanly")

    def hold_file_open(self, path):
        """Another program holds the file open, sharing it with nobody, until
        release_file() is called with what this returns."""
        return self.start_helper("holdfile", windows_path(path), ready="holding")

    def release_file(self, holder):
        self.end_helper(holder)

    # -- what runs in the prefix ----------------------------------------------------

    def process_ids(self):
        """Processes running in this prefix (Wine passes WINEPREFIX on to all of them)."""
        marker = f"WINEPREFIX={self.path}".encode() + b"\0"
        pids = []
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                if marker in (entry / "environ").read_bytes() + b"\0":
                    pids.append(int(entry.name))
            except OSError:
                continue
        return pids

    def describe_processes(self):
        out = []
        for pid in self.process_ids():
            try:
                args = (Path("/proc") / str(pid) / "cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
                state = (Path("/proc") / str(pid) / "stat").read_text().rsplit(")", 1)[1].split()[0]
            except OSError:
                continue
            out.append(f"{pid} {state} {args.strip()}")
        return "; ".join(out) or "none"
