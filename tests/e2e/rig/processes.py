"""The processes the rig starts: a log of what it starts, and ending them."""

import os
import signal
import subprocess
import sys
import time
from pathlib import Path


def log(message):
    if os.environ.get("QUILLPAD_E2E_VERBOSE"):
        print(f"[e2e {time.strftime('%H:%M:%S')}] {message}", file=sys.stderr, flush=True)


def end_process(process, grace=3.0):
    """Ends a process the rig started (and its process group), politely first."""
    if process is None or process.poll() is not None:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 2.0)):
        try:
            os.killpg(process.pid, sig)
        except (ProcessLookupError, PermissionError):
            try:
                process.send_signal(sig)
            except ProcessLookupError:
                pass
        try:
            process.wait(wait)
            return
        except subprocess.TimeoutExpired:
            continue


def kill_process(process):
    """Ends a process the rig started at once, as a crash does: nothing of it
    runs after this, no clean-up of its own."""
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait(10)


def cpu_seconds(pid, thread=None):
    """User and system time so far of a process, its threads included, or of one thread of it."""
    stat = Path(f"/proc/{pid}/task/{thread}/stat" if thread else f"/proc/{pid}/stat")
    fields = stat.read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
