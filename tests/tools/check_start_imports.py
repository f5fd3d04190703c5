#!/usr/bin/env python3
"""Checks which DLLs a program loads before its first line runs: the names in
its PE import directory. Usage: check_start_imports.py PROGRAM DLL...

Kovan's panel paints before it needs GDI+, the common dialogs, the shell,
OLE automation or sockets; those are delay-loaded, and a plain import of one
of them (a library linked the ordinary way) would slow every start again."""
import struct
import sys


def imported_dlls(path):
    with open(path, "rb") as f:
        data = f.read()
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path} is not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    import_rva, _ = struct.unpack_from("<II", data, directories + 8)
    table = optional + optional_size
    spans = []
    for i in range(sections):
        size, rva, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        spans.append((rva, max(size, raw_size), raw))

    def offset(rva):
        for start, size, raw in spans:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"RVA {rva:#x} lies in no section")

    names = []
    at = offset(import_rva) if import_rva else None
    while at is not None:
        descriptor = struct.unpack_from("<5I", data, at)
        if not any(descriptor):
            break
        name_at = offset(descriptor[3])
        names.append(data[name_at:data.index(b"\0", name_at)].decode("ascii"))
        at += 20
    return names


def main():
    def base(name):
        name = name.lower()
        return name[:-4] if name.endswith(".dll") else name

    program, allowed = sys.argv[1], {base(name) for name in sys.argv[2:]}
    found = imported_dlls(program)
    extra = sorted(name for name in found if base(name) not in allowed)
    if extra:
        print(f"{program} loads at start: {', '.join(extra)}; link them as delay-loaded "
              "imports (kovan_delay_import_libraries) or add them here with the reason")
        return 1
    print(f"{program} loads at start: {', '.join(found)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
