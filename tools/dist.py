#!/usr/bin/env python3
"""Makes the release packages from the programs of a release build.

    dist.py --bin build/win64-release/bin --version-file .../kovan_version.txt
            --makensis makensis --script installer/kovan.nsi
            --work build/win64-release/dist --out dist

writes into --out:
    Kovan-<version>-setup.exe      the installer (NSIS)
    Kovan-<version>-portable.zip   the same files in one folder, Kovan/
    SHA256SUMS                     the checksums of both, as sha256sum -c reads them
Packages of other versions in --out are removed first, so the checksums always
describe the folder.
"""

import argparse
import hashlib
import re
import shutil
import subprocess
import sys
import zipfile
from pathlib import Path

# What a release ships: patterns relative to the build's bin folder.
SHIPPED = ["Kovan.exe", "kovanc.exe", "yardim.chm", "dil/*.lng"]
# Files shipped from the source tree, beside kovanc: the CMake function that
# runs it in a build finds it there.
SOURCE_ROOT = Path(__file__).resolve().parent.parent
SHIPPED_SOURCES = {"KovanResources.cmake": SOURCE_ROOT / "cmake" / "KovanResources.cmake"}


def staged_files(bin_dir: Path) -> list[Path]:
    files = []
    for pattern in SHIPPED:
        found = sorted(p.relative_to(bin_dir) for p in bin_dir.glob(pattern) if p.is_file())
        if not found:
            sys.exit(f"dist: nothing in {bin_dir} matches {pattern}; build the release first")
        files += found
    return files


def nsis_path(path: Path) -> str:
    return str(path).replace("/", "\\")


def write_nsis_lists(files: list[Path], stage: Path, install: Path, uninstall: Path) -> None:
    """The installer's File commands and the uninstaller's Delete commands for
    exactly the shipped files, so the uninstall leaves files of the user (such
    as their own language files) where they are."""
    install_lines, uninstall_lines = [], []
    folders = sorted({f.parent for f in files if f.parent != Path(".")}, key=lambda p: len(p.parts))
    current = Path(".")
    for f in files:
        if f.parent != current:
            install_lines.append(f'SetOutPath "$INSTDIR\\{nsis_path(f.parent)}"' if f.parent != Path(".")
                                 else 'SetOutPath "$INSTDIR"')
            current = f.parent
        install_lines.append(f'File "{(stage / f).resolve()}"')
        uninstall_lines.append(f'Delete "$INSTDIR\\{nsis_path(f)}"')
    install_lines.append('SetOutPath "$INSTDIR"')
    for folder in reversed(folders):
        uninstall_lines.append(f'RMDir "$INSTDIR\\{nsis_path(folder)}"')
    install.write_text("\n".join(install_lines) + "\n", encoding="utf-8-sig")
    uninstall.write_text("\n".join(uninstall_lines) + "\n", encoding="utf-8-sig")


def write_zip(files: list[Path], stage: Path, target: Path) -> None:
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for f in files:
            archive.write(stage / f, "Kovan/" + f.as_posix())


def sha256(path: Path) -> str:
    digest = hashlib.sha256()
    with path.open("rb") as stream:
        for block in iter(lambda: stream.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", type=Path, required=True)
    parser.add_argument("--version-file", type=Path, required=True)
    parser.add_argument("--makensis", default="makensis")
    parser.add_argument("--script", type=Path, required=True)
    parser.add_argument("--work", type=Path, required=True)
    parser.add_argument("--out", type=Path, required=True)
    args = parser.parse_args()

    version = args.version_file.read_text().strip()
    if not re.fullmatch(r"\d+\.\d+\.\d+", version):
        sys.exit(f"dist: '{version}' in {args.version_file} is not a version")

    files = staged_files(args.bin)
    stage = args.work / "Kovan"
    shutil.rmtree(args.work, ignore_errors=True)
    for f in files:
        (stage / f).parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(args.bin / f, stage / f)
    for name, source in SHIPPED_SOURCES.items():
        shutil.copy2(source, stage / name)
        files.append(Path(name))

    args.out.mkdir(parents=True, exist_ok=True)
    for old in [*args.out.glob("Kovan-*-setup.exe"), *args.out.glob("Kovan-*-portable.zip"),
                args.out / "SHA256SUMS"]:
        old.unlink(missing_ok=True)

    setup = args.out / f"Kovan-{version}-setup.exe"
    portable = args.out / f"Kovan-{version}-portable.zip"

    install_list, uninstall_list = args.work / "install.nsh", args.work / "uninstall.nsh"
    write_nsis_lists(files, stage, install_list, uninstall_list)
    subprocess.run([args.makensis, "-V2", "-WX", f"-DVERSION={version}", f"-DOUTFILE={setup.resolve()}",
                    f"-DFILES={install_list.resolve()}", f"-DUNFILES={uninstall_list.resolve()}",
                    str(args.script)], check=True)

    write_zip(files, stage, portable)

    sums = "".join(f"{sha256(p)}  {p.name}\n" for p in (setup, portable))
    (args.out / "SHA256SUMS").write_text(sums)

    for p in (stage / "Kovan.exe", setup, portable):
        print(f"{p.name}: {p.stat().st_size / 1024:.0f} KiB ({p.stat().st_size} bytes)")


if __name__ == "__main__":
    main()
