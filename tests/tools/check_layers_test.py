#!/usr/bin/env python3
"""The layer check fails a tree whose includes run the wrong way, and passes
one whose includes follow the layers."""
import subprocess
import sys
import tempfile
from pathlib import Path

CHECK = Path(__file__).resolve().parents[2] / "tools" / "check_layers.py"

# Each case: the files of a small source tree (path: text) and whether the
# check should pass it.
CASES = [
    ("the house knows no window",
     {"win32/view.win32.hpp": '#include "windows/pool/model.hpp"\n', "windows/pool/model.hpp": ""}, False),
    ("a window's Win32 side uses the house and its own logic",
     {"windows/pool/pool.win32.cpp": '#include "win32/base.win32.hpp"\n#include "windows/pool/logic.hpp"\n',
      "win32/base.win32.hpp": "", "windows/pool/logic.hpp": ""}, True),
    ("portable window logic may not reach the Win32 side",
     {"windows/pool/logic.cpp": '#include "win32/base.win32.hpp"\n', "win32/base.win32.hpp": ""}, False),
    ("the base does not know the domain",
     {"base/text.cpp": '#include "pool/pool.hpp"\n', "pool/pool.hpp": ""}, False),
    ("the domain uses the base and the formats",
     {"pool/pool.cpp": '#include "base/text.hpp"\n#include "formats/res.hpp"\n',
      "base/text.hpp": "", "formats/res.hpp": ""}, True),
    ("the formats know no pool", {"formats/res.cpp": '#include "pool/pool.hpp"\n', "pool/pool.hpp": ""}, False),
    ("a control's model may not use its view",
     {"controls/tree/model.cpp": '#include "controls/tree/view.win32.hpp"\n', "controls/tree/view.win32.hpp": ""},
     False),
    ("kovanc does not reach windows' Win32 sides",
     {"cli/main.cpp": '#include "windows/main/main.win32.hpp"\n', "windows/main/main.win32.hpp": ""}, False),
    ("a folder without a layer", {"extras/thing.cpp": ""}, False),
    ("headers outside the tree (generated ones) are not judged",
     {"base/text.cpp": '#include "message_keys.hpp"\n#include <vector>\n'}, True),
]


def main():
    failures = 0
    for name, files, passes in CASES:
        with tempfile.TemporaryDirectory() as folder:
            src = Path(folder) / "src"
            for path, text in files.items():
                (src / path).parent.mkdir(parents=True, exist_ok=True)
                (src / path).write_text(text)
            stamp = Path(folder) / "stamp"
            run = subprocess.run([sys.executable, str(CHECK), str(src), str(stamp)], capture_output=True, text=True)
            if (run.returncode == 0) != passes or stamp.exists() != passes:
                failures += 1
                print(f"FAIL {name}: exit {run.returncode}\n{run.stderr}")
            elif not passes and "src/" not in run.stderr:
                failures += 1
                print(f"FAIL {name}: the message names no file\n{run.stderr}")
    print(f"{len(CASES) - failures} of {len(CASES)} cases passed")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
