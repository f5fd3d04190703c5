#!/usr/bin/env python3
"""Prepares the help sources for the CHM compiler.

    stage_help.py HELP_DIR IMAGES_DIR OUT_DIR CONSTANTS.tsv...

The table of message constants on the language pages is filled in from the
constants tables the program is built from, so it never falls behind them.
The pages are written in UTF-8, but the help viewer reads the contents, the
index and the page titles in the code page of the help file's language
(Turkish, windows-1254). So every text file is copied into OUT_DIR converted
to that code page, and the pictures the pages show are copied into
OUT_DIR/resim/.
"""

import html
import os
import shutil
import sys

CODE_PAGE = "cp1254"
TEXT_SUFFIXES = (".html", ".hhc", ".hhk", ".hhp", ".css")
PICTURE_PREFIXES = ("menu_", "pool_", "close_")
CONSTANTS_MARKER = "<!-- the constants, filled in from src/lang/constants*.tsv when the help is built -->"


def constant_rows(tables):
    rows = []
    for table in tables:
        with open(table, encoding="utf-8") as f:
            for line in f.read().splitlines():
                if not line or line.startswith("#"):
                    continue
                name, text = line.split("\t", 1)
                text = html.escape(text.replace("\\r", " "))
                rows.append(f"<tr><td><code>{html.escape(name)}</code></td><td>{text}</td></tr>")
    return "\n".join(rows)


def stage(help_dir, images_dir, out_dir, constant_tables):
    rows = constant_rows(constant_tables)
    if os.path.isdir(out_dir):
        shutil.rmtree(out_dir)
    for root, _, files in os.walk(help_dir):
        rel = os.path.relpath(root, help_dir)
        for name in files:
            if not name.endswith(TEXT_SUFFIXES):
                continue
            target_dir = os.path.normpath(os.path.join(out_dir, rel))
            os.makedirs(target_dir, exist_ok=True)
            with open(os.path.join(root, name), encoding="utf-8") as f:
                text = f.read()
            text = text.replace("charset=utf-8", "charset=windows-1254").replace(CONSTANTS_MARKER, rows)
            # Pages may carry characters outside the code page: the browser
            # engine understands character references. The contents, index
            # and project must be exact, so there it is an error.
            errors = "xmlcharrefreplace" if name.endswith(".html") else "strict"
            with open(os.path.join(target_dir, name), "wb") as f:
                f.write(text.replace("\r\n", "\n").replace("\n", "\r\n").encode(CODE_PAGE, errors))
    pictures = os.path.join(out_dir, "resim")
    os.makedirs(pictures)
    shutil.copyfile(os.path.join(images_dir, "about_logo.png"), os.path.join(pictures, "logo.png"))
    for name in sorted(os.listdir(images_dir)):
        if name.startswith(PICTURE_PREFIXES) and name.endswith(".png"):
            shutil.copyfile(os.path.join(images_dir, name), os.path.join(pictures, name))


if __name__ == "__main__":
    if len(sys.argv) < 5:
        sys.exit("usage: stage_help.py HELP_DIR IMAGES_DIR OUT_DIR CONSTANTS.tsv...")
    stage(sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:])
