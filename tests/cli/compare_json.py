#!/usr/bin/env python3
"""Compares two documents of the batch command (the Windows build's with the
Linux build's): the same structure and strings, every number within a relative
tolerance. Prints how many numbers differ in any bit and the largest relative
difference with its place; exits 1 when the documents disagree.

compare_json.py LINUX.json WINDOWS.json [TOLERANCE]"""
import json
import sys


def walk(a, b, path, out):
    if isinstance(a, dict) and isinstance(b, dict):
        if a.keys() != b.keys():
            out["faults"].append(f"{path}: keys {sorted(a.keys() ^ b.keys())}")
        for key in a.keys() & b.keys():
            walk(a[key], b[key], f"{path}.{key}", out)
    elif isinstance(a, list) and isinstance(b, list):
        if len(a) != len(b):
            out["faults"].append(f"{path}: {len(a)} items against {len(b)}")
        for i, (x, y) in enumerate(zip(a, b)):
            walk(x, y, f"{path}[{i}]", out)
    elif isinstance(a, (int, float)) and isinstance(b, (int, float)) and not isinstance(a, bool):
        out["numbers"] += 1
        if a != b:
            out["unequal"] += 1
            rel = abs(a - b) / max(abs(a), abs(b))
            if rel > out["max"][0]:
                out["max"] = (rel, path, a, b)
    elif a != b:
        out["faults"].append(f"{path}: {a!r} against {b!r}")


def compare(linux, windows, tolerance):
    out = {"numbers": 0, "unequal": 0, "max": (0.0, "", 0, 0), "faults": []}
    walk(linux, windows, "$", out)
    if out["max"][0] > tolerance:
        out["faults"].append("%s: %r against %r (relative %.3g)" % (out["max"][1], out["max"][2], out["max"][3], out["max"][0]))
    return out


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        linux = json.load(f)
    with open(sys.argv[2], encoding="utf-8") as f:
        windows = json.load(f)
    tolerance = float(sys.argv[3]) if len(sys.argv) > 3 else 1e-12
    out = compare(linux, windows, tolerance)
    rel, where, a, b = out["max"]
    print(f"{out['numbers']} numbers, {out['unequal']} not bit-identical"
          + (f", largest relative difference {rel:.3g} at {where} ({a!r} against {b!r})" if out["unequal"] else ""))
    for fault in out["faults"][:20]:
        print("  DIFFERS " + fault)
    return 1 if out["faults"] else 0


if __name__ == "__main__":
    sys.exit(main())
