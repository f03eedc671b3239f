"""Where things are: the repository, the end-to-end tests, and the build folders
the rig writes into."""

import os
from pathlib import Path

E2E_DIR = Path(__file__).resolve().parents[1]
REPO = E2E_DIR.parents[1]
E2E_ROOT = REPO / "build" / "e2e"
ARTIFACTS = E2E_ROOT / "artifacts"


def exe_path():
    return Path(os.environ.get("QUILLPAD_EXE", REPO / "build" / "windows" / "quillpad.exe")).resolve()
