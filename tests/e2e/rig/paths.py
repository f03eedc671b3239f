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


def add_program_options(parser):
    """--exe and --make-sounds: the program under test and the sound generator,
    else $QUILLPAD_EXE and $QUILLPAD_MAKE_SOUNDS, else the build folders'."""
    parser.add_argument("--exe", default=os.environ.get("QUILLPAD_EXE", str(REPO / "build/windows/quillpad.exe")))
    parser.add_argument("--make-sounds", default=os.environ.get("QUILLPAD_MAKE_SOUNDS",
                                                                str(REPO / "build/native/tools/make_sounds")))


def use_program_options(args):
    """The sessions started from now on use the program and generator of the options."""
    os.environ["QUILLPAD_EXE"] = str(Path(args.exe).resolve())
    os.environ["QUILLPAD_MAKE_SOUNDS"] = str(Path(args.make_sounds).resolve())
