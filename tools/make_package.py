#!/usr/bin/env python3
"""Makes the demo kit and the Windows package of Quillpad.

    make_package.py package [--exe PATH] [--tools DIR] [--out DIR]
        writes <out>/quillpad-<version>-win64.zip: quillpad.exe, the demo kit
        ("Demo Kit/Demo.qpd", "Demo Kit/Sounds/") and README.txt; prints its
        SHA-256 and writes it beside the zip
    make_package.py demo-kit FOLDER [--tools DIR]
        writes the demo kit into FOLDER/Demo Kit

The same inputs give the same zip to the byte: the entries in name order,
every time stamp the same (SOURCE_DATE_EPOCH when set, else 1980-01-01),
fixed permissions, and a demo kit generated without randomness or clocks.
The version is the one line of VERSION; README.txt is made from the README's
sections for players, so that both say the same.
"""

import argparse
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
KIT_NAME = "Demo Kit"
# Where the demo setup says its sounds are. Wherever the kit is unzipped this
# folder is not, and the "Sounds" folder beside Demo.qpd is loaded instead.
STORED_SOUND_FOLDER = r"C:\Quillpad\Demo Kit\Sounds"
PLAYER_SECTIONS = ("Download and play on Windows", "What it is", "Playing", "Playing from a MIDI controller",
                   "Recording what you play")
# Zip time stamps begin in 1980.
EARLIEST_ZIP_TIME = 315532800


class PackageError(Exception):
    pass


def read_version():
    version = (REPO / "VERSION").read_text().splitlines()[0].strip()
    if not re.fullmatch(r"\d+\.\d+\.\d+", version):
        raise PackageError(f"VERSION holds {version!r}, not a version such as 1.2.3")
    return version


# ---- The demo kit -------------------------------------------------------------

def tool(tools, name):
    path = Path(tools) / name
    if not path.is_file():
        raise PackageError(f"{path} does not exist: build the native preset's tools first "
                           "(cmake --build --preset native --target make_sounds make_demo_setup)")
    return path


def make_demo_kit(folder, tools):
    """FOLDER/Demo Kit with Demo.qpd and its Sounds; returns the kit's folder."""
    kit = Path(folder) / KIT_NAME
    if kit.exists():
        shutil.rmtree(kit)
    sounds = kit / "Sounds"
    subprocess.run([str(tool(tools, "make_sounds")), "demo", str(sounds)], check=True, stdout=subprocess.DEVNULL)
    subprocess.run([str(tool(tools, "make_demo_setup")), str(kit / "Demo.qpd"), STORED_SOUND_FOLDER], check=True)
    return kit


# ---- README.txt -----------------------------------------------------------------

def markdown_sections(text):
    """Title -> lines of each "## " section."""
    sections = {}
    lines = None
    for line in text.splitlines():
        if line.startswith("## "):
            lines = sections.setdefault(line[3:].strip(), [])
        elif line.startswith("# "):
            lines = None
        elif lines is not None:
            lines.append(line)
    return sections


def plain_inline(text):
    text = re.sub(r"\[([^\]]+)\]\(([^)]+)\)", r"\1 (\2)", text)
    return text.replace("**", "").replace("`", "")


def plain_table(rows):
    """A Markdown table as aligned columns, its header underlined."""
    cells = [[plain_inline(c.strip()) for c in row.strip().strip("|").split("|")] for row in rows
             if not re.fullmatch(r"\|[\s:|-]*\|", row.strip())]
    widths = [max(len(row[i]) for row in cells) for i in range(len(cells[0]))]
    lines = ["  " + "   ".join(c.ljust(w) for c, w in zip(row, widths)).rstrip() for row in cells]
    lines.insert(1, "  " + "   ".join("-" * w for w in widths))
    return lines


def plain_text(lines):
    out = []
    table = []
    for line in lines + [""]:
        if line.startswith("|"):
            table.append(line)
            continue
        if table:
            out += plain_table(table)
            table = []
        if line.startswith("```"):
            continue
        if line.startswith("### "):
            title = plain_inline(line[4:].strip())
            out += [title, "-" * len(title)]
        else:
            out.append(plain_inline(line))
    while out and not out[-1].strip():
        out.pop()
    while out and not out[0].strip():
        out.pop(0)
    return out


def readme_text(version):
    sections = markdown_sections((REPO / "README.md").read_text())
    missing = [title for title in PLAYER_SECTIONS if title not in sections]
    if missing:
        raise PackageError(f"README.md has no section {', '.join(missing)} for README.txt")
    title = f"Quillpad {version}"
    lines = [title, "=" * len(title), ""]
    for name in PLAYER_SECTIONS:
        lines += [name.upper(), ""] + plain_text(sections[name]) + [""]
    text = "\n".join(lines).replace("<version>", version)
    # Players read it in Notepad.
    return text.replace("\n", "\r\n").encode("ascii")


# ---- The zip ------------------------------------------------------------------------

def zip_time():
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch:
        return (1980, 1, 1, 0, 0, 0)
    return time.gmtime(max(int(epoch), EARLIEST_ZIP_TIME))[:6]


def zip_entry(name, mode, stamp):
    info = zipfile.ZipInfo(name, date_time=stamp)
    info.create_system = 3  # the permissions below are Unix ones
    info.external_attr = mode << 16
    if name.endswith("/"):
        info.external_attr |= 0x10  # the MS-DOS directory flag
        info.compress_type = zipfile.ZIP_STORED
    else:
        info.compress_type = zipfile.ZIP_DEFLATED
    return info


def package_entries(exe, kit, version):
    """Name -> bytes (None for a folder) of everything in the package."""
    entries = {"quillpad.exe": Path(exe).read_bytes(), "README.txt": readme_text(version)}
    for path in sorted(kit.rglob("*")):
        name = path.relative_to(kit.parent).as_posix()
        entries[name + "/" if path.is_dir() else name] = None if path.is_dir() else path.read_bytes()
    entries[KIT_NAME + "/"] = None
    return entries


def write_zip(target, entries):
    stamp = zip_time()
    partial = target.with_name(target.name + ".partial")
    with zipfile.ZipFile(partial, "w") as archive:
        for name in sorted(entries):
            data = entries[name]
            mode = 0o40755 if data is None else (0o100755 if name.endswith(".exe") else 0o100644)
            archive.writestr(zip_entry(name, mode, stamp), data or b"", compresslevel=9)
    os.replace(partial, target)


def make_package(exe, tools, out):
    version = read_version()
    if not Path(exe).is_file():
        raise PackageError(f"{exe} does not exist: build it first (cmake --build --preset release)")
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    target = out / f"quillpad-{version}-win64.zip"
    with tempfile.TemporaryDirectory(prefix="quillpad-package-") as staging:
        kit = make_demo_kit(staging, tools)
        write_zip(target, package_entries(exe, kit, version))
    digest = hashlib.sha256(target.read_bytes()).hexdigest()
    (out / (target.name + ".sha256")).write_text(f"{digest}  {target.name}\n")
    return target, digest


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    package = commands.add_parser("package", help="write the zip")
    package.add_argument("--exe", default=REPO / "build/release/quillpad.exe")
    package.add_argument("--out", default=REPO / "build/dist")
    kit = commands.add_parser("demo-kit", help="write the demo kit into a folder")
    kit.add_argument("folder")
    for command in (package, kit):
        command.add_argument("--tools", default=REPO / "build/native/tools",
                             help="folder of make_sounds and make_demo_setup")
    args = parser.parse_args()
    try:
        if args.command == "demo-kit":
            print(make_demo_kit(args.folder, args.tools))
        else:
            target, digest = make_package(args.exe, args.tools, args.out)
            print(f"{digest}  {target}")
    except (PackageError, OSError, subprocess.CalledProcessError) as error:
        print(f"make_package: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
