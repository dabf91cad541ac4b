#!/usr/bin/env python3
"""Where a DLL's bytes come from, read from the linker's map (-Wl,-Map,FILE).

Prints a Markdown table of the bytes each library and each of our own folders
puts into the image (code, read-only and writable data, unwind tables; not
uninitialised data), largest first. With --objects, the largest library
objects too, the ones worth a look when the DLL grows.

    scripts/dll-bytes.py build-win64/win/frambolist.map [--objects]
"""
import re
import sys
from collections import Counter
from pathlib import Path, PurePosixPath

# An input section placed in the image: " .text.name 0xADDR 0xSIZE file".
# A long section name stands alone on its line and the rest follows below.
PLACED = re.compile(r"^ (\S+)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$")
COUNTED = (".text", ".data", ".rdata", ".pdata", ".xdata", ".rsrc", ".idata",
           ".eh_frame", ".gcc_except_table", ".ctors", ".dtors", ".tls", ".CRT")


def owner(path: str) -> tuple[str, str]:
    """(group, object) for an input file: a library, or our own folder."""
    archive = re.match(r"(.*/)?([^/()]+\.a)\((.+)\)$", path)
    if archive:
        library, member = archive.group(2), archive.group(3)
        ours = re.match(r"libframbolist_(\w+)\.a$", library)
        if ours:  # one static library per folder: src/NAME or win/NAME
            name = ours.group(1)
            return (f"src/{name}/" if (REPOSITORY / "src" / name).is_dir() else f"win/{name}/"), member
        return library, member
    name = PurePosixPath(path).name
    if name.endswith(".res"):
        return "resources (icon, dialogs, version)", name
    # The DLL's own objects: BUILD/win/CMakeFiles/TARGET.dir/FOLDER/FILE.obj
    folder = re.search(r"(?:^|/)(\w+)/CMakeFiles/[^/]+\.dir/(.+)/[^/]+$", path)
    if folder:
        return f"{folder.group(1)}/{folder.group(2)}/", name
    return name, name


REPOSITORY = Path(__file__).resolve().parent.parent


def main() -> int:
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if len(args) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    groups, objects = Counter(), Counter()
    in_map = False
    pending = None
    with open(args[0], encoding="utf-8", errors="replace") as mapfile:
        for line in mapfile:
            if line.startswith("Linker script and memory map"):
                in_map = True
                continue
            if not in_map:
                continue
            lone = re.match(r"^ (\.\S+)\s*$", line)
            if lone:
                pending = lone.group(1)
                continue
            placed = PLACED.match(line)
            if not placed:
                pending = None
                continue
            section = placed.group(1) or pending
            pending = None
            if not section or not section.startswith(COUNTED):
                continue
            size = int(placed.group(2), 16)
            if size == 0:
                continue
            group, obj = owner(placed.group(3).strip())
            groups[group] += size
            objects[f"{group}: {obj}"] += size
    total = sum(groups.values())
    print(f"| Source | Bytes | Share |\n|---|---:|---:|")
    for group, size in groups.most_common():
        print(f"| {group} | {size:,} | {100 * size / total:.1f} % |")
    print(f"| **all placed sections** | **{total:,}** | |")
    if "--objects" in sys.argv:
        print("\n| Object | Bytes |\n|---|---:|")
        for obj, size in objects.most_common(25):
            print(f"| {obj} | {size:,} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
