#!/usr/bin/env python3
"""Checks that every include of the program's code runs down through its layers.

  scripts/check_layers.py [ROOT]     (ROOT: the checkout, by default this script's parent folder)

The layers, lowest first, are LAYERS below (README, "Layout"; io/ with its libraries io/files and
io/workbook below the rest of it); folders of one layer are siblings and never include one another,
so the five windows under forms/ stay apart. A file belongs to the deepest folder of LAYERS that
holds it. tests/, bench/ and fuzz/ stand beside the layers and
are not checked; C++ files in any other folder fail, so that a new folder is given its place here.

An include in quotes is looked up beside the including file, then from ROOT, then in every layer
folder (the libraries' include directories), then by its file name when only one file has it; an
include in angle brackets only in the layer folders. Prints each include that runs up or sideways
and exits with 1 when there is any.
"""
import os
import re
import sys

LAYERS = [
    ["core/base"],
    ["core/model"],
    ["core/solver"],
    ["core/analysis"],
    ["core/results"],
    ["io/files"],
    ["io/workbook"],
    ["io"],
    ["printing"],
    ["run"],
    ["viewkit"],
    ["forms/mainunit", "forms/InputUnit", "forms/FormColebUnit", "forms/JestkUnit", "forms/outputUnit"],
    ["app", "cli"],
]
BESIDE = ["tests", "bench", "fuzz"]
SOURCES = (".h", ".hpp", ".cpp", ".cc", ".cxx")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(path, folders):
    for folder in folders:
        if path == folder or path.startswith(folder + "/"):
            return folder
    return None


def check(root):
    rank = {folder: i for i, layer in enumerate(LAYERS) for folder in layer}
    folders = sorted(rank, key=len, reverse=True)  # the deepest folder holding a file owns it
    files = []
    for top, dirs, names in os.walk(root):
        dirs[:] = sorted(d for d in dirs if not d.startswith((".", "build")))
        for name in sorted(names):
            if name.endswith(SOURCES):
                files.append(os.path.relpath(os.path.join(top, name), root).replace(os.sep, "/"))
    known = set(files)
    by_name = {}
    for path in files:
        by_name.setdefault(os.path.basename(path), []).append(path)

    def resolve(src, quoted, name):
        bases = ([os.path.dirname(src), ""] if quoted else []) + folders
        for base in bases:
            path = os.path.normpath(os.path.join(base, name)).replace(os.sep, "/")
            if path in known:
                return path
        same = by_name.get(os.path.basename(name), [])
        return same[0] if quoted and len(same) == 1 else None

    faults = []
    for src in files:
        owner = folder_of(src, folders)
        if owner is None:
            if folder_of(src, BESIDE) is None:
                faults.append(f"{src}: in no layer (add its folder to LAYERS in scripts/check_layers.py)")
            continue
        with open(os.path.join(root, src), encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = resolve(src, match.group(1) == '"', match.group(2))
                other = target and folder_of(target, folders)
                if not other or other == owner:
                    continue
                if rank[other] > rank[owner]:
                    faults.append(f"{src}:{number}: includes {target}, a layer above ({other})")
                elif rank[other] == rank[owner]:
                    faults.append(f"{src}:{number}: includes {target}, a sibling ({other})")
    return faults


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    faults = check(root)
    for fault in faults:
        print(fault)
    print(f"{len(faults)} out of the layer order" if faults else "layer order kept")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
