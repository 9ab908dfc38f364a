#!/usr/bin/env python3
"""Builds the library's "STR0" string tables from their text sources.

Each source line is an id, a tab and the text (UTF-8); blank lines and lines
starting with '#' are skipped. The table takes its name from the file name.
Writes NAME.bin for each source and an .rc fragment naming them as RCDATA.

usage: make_string_tables.py OUT_DIR RC_FILE SOURCE...
"""
import os
import struct
import sys

INT32_MAX = 0x7FFFFFFF


def read_source(path):
    entries = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            ident, sep, text = line.partition("\t")
            if not sep:
                sys.exit(f"{path}:{number}: expected an id, a tab and the text")
            try:
                ident = int(ident)
            except ValueError:
                sys.exit(f"{path}:{number}: the id is not a number")
            if not 0 <= ident <= INT32_MAX:
                sys.exit(f"{path}:{number}: the id is out of range")
            if ident in entries:
                sys.exit(f"{path}:{number}: id {ident} is given twice")
            entries[ident] = text
    return sorted(entries.items())


def build_table(entries):
    # Texts follow the directory in directory order, without terminators.
    offset = 8 + 12 * len(entries)
    directory = b""
    texts = b""
    for ident, text in entries:
        units = text.encode("utf-16-le")
        directory += struct.pack("<iii", ident, offset + len(texts), len(units) // 2)
        texts += units
    return b"STR0" + struct.pack("<i", len(entries)) + directory + texts


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    out_dir, rc_file, sources = argv[1], argv[2], argv[3:]
    os.makedirs(out_dir, exist_ok=True)
    rc_lines = ["// Made by make_string_tables.py from the text sources; do not edit.\n"]
    for source in sources:
        name = os.path.splitext(os.path.basename(source))[0]
        binary = os.path.join(out_dir, name + ".bin")
        write_if_changed(binary, build_table(read_source(source)))
        rc_path = os.path.abspath(binary).replace("\\", "/")
        rc_lines.append(f'{name} RCDATA "{rc_path}"\n')
    write_if_changed(rc_file, "".join(rc_lines).encode("ascii"))


if __name__ == "__main__":
    main(sys.argv)
