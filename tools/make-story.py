#!/usr/bin/env python3
"""Writes the demo's text files from their UTF-8 sources.

Each file in tools/story/ holds several game files, each started by a line "=== NAME"; the lines
that follow, up to the next header, become games/demo/txt/NAME.dat in Shift-JIS (CP932) with CR LF.
Blank lines at the end of a section only separate it from the next one.
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCES = ROOT / "tools" / "story"
TARGET = ROOT / "games" / "demo" / "txt"


def sections(path):
    name, lines = None, []
    for raw in path.read_text(encoding="utf-8").splitlines():
        if raw.startswith("=== "):
            if name:
                yield name, lines
            name, lines = raw[4:].strip(), []
        elif name:
            lines.append(raw)
    if name:
        yield name, lines


def main():
    written = set()
    for source in sorted(SOURCES.glob("*.txt")):
        for name, lines in sections(source):
            while lines and not lines[-1]:
                lines.pop()
            if name in written:
                sys.exit(f"{source.name}: {name} is written twice")
            written.add(name)
            data = "".join(line + "\r\n" for line in lines)
            (TARGET / f"{name}.dat").write_bytes(data.encode("cp932"))
    # Scenes and pages that no source names any more are the old story's leftovers.
    for old in TARGET.glob("*.dat"):
        if old.stem not in written and old.stem != "save":
            old.unlink()
    print(f"{len(written)} files written to {TARGET.relative_to(ROOT)}")


if __name__ == "__main__":
    main()
