#!/usr/bin/env python3
"""Checks the layering of the program's folders from their #include lines.

A unit is a file without its extension and without "_win32": audio/mixer.h
and audio/mixer.cpp are the unit audio/mixer, and a seam header x.h is one
unit with the x_win32.cpp that defines it. An edge is an #include
"folder/file.h" from one unit to another. Every file of every folder is read,
Win32 files and seam headers alike. Prints
  - every include cycle (a strongly connected group of units),
  - every pair of folders that include each other, and
  - every include into a folder above its own in LAYERS (docs/style.md draws
    the same picture in words).
Exits 1 when anything is listed but the one cycle there by design; 0
otherwise. Run it from anywhere:
    python3 tools/include_layers.py
"""
import re
import sys
from collections import defaultdict
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
# The layers from the top down: the Win32 shell on top, the base of helpers
# that know nothing of the program below all code, the resources' numbers
# (the menu's commands, the controls' ids) at the bottom.
LAYERS = ["shell", "flows", "midi", "panel", "edit", "setup", "library", "keys", "recording", "audio", "sound_files",
          "base", "resources"]
FOLDERS = LAYERS
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
# The mixer and the voice it mixes meet the render thread together.
DESIGNED_CYCLES = [["audio/mixed_voice", "audio/mixer"]]


def source_files():
    for folder in FOLDERS:
        for path in sorted((REPO / folder).glob("*")):
            if path.suffix in (".h", ".cpp"):
                yield path.relative_to(REPO)


def unit_of(path):
    unit = str(path.with_suffix("")).replace("\\", "/")
    return unit[:-len("_win32")] if unit.endswith("_win32") else unit


def folder_of(unit):
    return unit.split("/", 1)[0]


def read_edges(files):
    """(from unit, to unit, from file) for every include of a file of ours."""
    known = {unit_of(f) for f in files}
    edges = []
    for path in files:
        for target in INCLUDE.findall((REPO / path).read_text(encoding="utf-8")):
            unit = unit_of(Path(target))
            if unit in known and unit != unit_of(path):
                edges.append((unit_of(path), unit, path))
    return edges


def cycles(units, edges):
    """The strongly connected groups of more than one unit (Tarjan's algorithm)."""
    graph = defaultdict(set)
    for source, target, _ in edges:
        graph[source].add(target)
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]

    def visit(unit):
        # Iterative, so that a long chain of includes cannot exhaust the stack.
        work = [(unit, iter(sorted(graph[unit])))]
        index[unit] = low[unit] = counter[0]
        counter[0] += 1
        stack.append(unit)
        on_stack.add(unit)
        while work:
            current, children = work[-1]
            child = next(children, None)
            if child is None:
                work.pop()
                if work:
                    low[work[-1][0]] = min(low[work[-1][0]], low[current])
                if low[current] == index[current]:
                    group = []
                    while True:
                        member = stack.pop()
                        on_stack.discard(member)
                        group.append(member)
                        if member == current:
                            break
                    if len(group) > 1:
                        found.append(sorted(group))
            elif child not in index:
                index[child] = low[child] = counter[0]
                counter[0] += 1
                stack.append(child)
                on_stack.add(child)
                work.append((child, iter(sorted(graph[child]))))
            elif child in on_stack:
                low[current] = min(low[current], index[child])

    for unit in sorted(units):
        if unit not in index:
            visit(unit)
    return sorted(found)


def folder_pairs(edges):
    """{(a, b): (an include of a into b, one of b into a)} for folders including each other."""
    examples = {}
    for source, target, path in edges:
        if folder_of(source) != folder_of(target):
            examples.setdefault((folder_of(source), folder_of(target)), f"{path} -> {target}")
    pairs = {}
    for (a, b), example in sorted(examples.items()):
        if a < b and (b, a) in examples:
            pairs[(a, b)] = (example, examples[(b, a)])
    return pairs


def upward_includes(edges):
    found = []
    for source, target, path in edges:
        if LAYERS.index(folder_of(target)) < LAYERS.index(folder_of(source)):
            found.append(f"{path} -> {target}")
    return sorted(set(found))


def main():
    files = list(source_files())
    edges = read_edges(files)
    failed = False

    found = cycles({unit_of(f) for f in files}, edges)
    print("Include cycles:")
    for group in found:
        wrong = group not in DESIGNED_CYCLES
        failed |= wrong
        print(f"  {'NOT ALLOWED ' if wrong else ''}{' <-> '.join(group)}")
    if not found:
        print("  none")

    pairs = folder_pairs(edges)
    print("Folders that include each other:")
    for (a, b), (there, back) in pairs.items():
        failed = True
        print(f"  {a} <-> {b}: {there}; {back}")
    if not pairs:
        print("  none")

    upward = upward_includes(edges)
    print("Includes into a higher layer (" + " > ".join(LAYERS) + "):")
    for include in upward:
        failed = True
        print(f"  {include}")
    if not upward:
        print("  none")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
