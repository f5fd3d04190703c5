#!/usr/bin/env python3
"""Fails the build when an include runs against the layers.

Usage: check_layers.py SRC_DIR STAMP_FILE

Every file under SRC_DIR belongs to a layer: by its top folder, and for the
folders that hold both portable code and its Win32 side, by whether its name
carries ".win32.". A file may include the headers of its own layer and of the
layers that layer is built on (LAYERS below), nothing else. A top folder that
is missing from FOLDERS fails too, so a new folder is given its layer on
purpose. On success the stamp file is touched, so the build runs the check
again only when a source changes.
"""
import re
import sys
from pathlib import Path

# Layer: the layers its files may include, besides its own. The libraries in
# src/CMakeLists.txt follow the same order.
LAYERS = {
    "base": [],
    "platform": ["base"],
    "formats": ["base"],
    "domain": ["base", "platform", "formats"],
    "controls": ["base", "platform", "formats", "domain"],
    "window logic": ["base", "platform", "formats", "domain", "controls"],
    # The house of every window knows no window.
    "win32": ["base", "platform", "formats", "domain", "controls"],
    "windows": ["base", "platform", "formats", "domain", "controls", "window logic", "win32"],
    "app": ["base", "platform", "formats", "domain", "controls", "window logic", "win32", "windows"],
    "cli": ["base", "platform", "formats", "domain", "window logic"],
}

# Top folder: its layer, or (portable layer, Win32 layer) when the folder keeps
# both sides of a window or control together.
FOLDERS = {
    "base": "base",
    "platform": "platform",
    "formats": "formats",
    "lang": "domain",
    "pool": "domain",
    "settings": "domain",
    "online": "domain",
    "export": "domain",
    "controls": ("controls", "win32"),
    "windows": ("window logic", "windows"),
    "win32": "win32",
    "app": "app",
    "cli": "cli",
}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
SOURCE_SUFFIXES = {".cpp", ".hpp", ".h"}


def layer_of(relative):
    """The layer of a path relative to the source folder ("pool/x.hpp")."""
    parts = Path(relative).parts
    if len(parts) < 2:
        return None
    folder = FOLDERS.get(parts[0])
    if isinstance(folder, tuple):
        return folder[1] if ".win32." in parts[-1] else folder[0]
    return folder


def check(src):
    problems = []
    for folder in sorted(p.name for p in src.iterdir() if p.is_dir()):
        if folder not in FOLDERS:
            problems.append(f"src/{folder}/ has no layer: add it to FOLDERS in {Path(__file__).name}")
    for path in sorted(src.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES:
            continue
        relative = path.relative_to(src).as_posix()
        own = layer_of(relative)
        if own is None:
            continue
        allowed = {own, *LAYERS[own]}
        text = path.read_text(encoding="utf-8", errors="replace")
        for match in INCLUDE.finditer(text):
            target = match.group(1)
            if not (src / target).is_file():
                continue  # a generated header or one beside the file
            wanted = layer_of(target)
            if wanted is not None and wanted not in allowed:
                line = text.count("\n", 0, match.start()) + 1
                problems.append(f"src/{relative}:{line}: includes {target}, from the {wanted} layer, "
                                f"which the {own} layer may not use")
    return problems


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    problems = check(Path(sys.argv[1]))
    if problems:
        for problem in problems:
            print(problem, file=sys.stderr)
        sys.exit(1)
    Path(sys.argv[2]).touch()


if __name__ == "__main__":
    main()
