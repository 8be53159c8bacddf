#!/usr/bin/env python3
"""scripts/check_layers.py on small trees: what it must refuse, and a tree it must pass."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "check_layers.py")

CASES = [  # files with their includes, the faults expected (in the script's order)
    ({"core/base/low.h": '#include "high.h"', "core/model/high.h": '#include "low.h"'},
     ["core/base/low.h:1: includes core/model/high.h, a layer above"]),
    ({"core/base/low.cpp": "#include <high.h>", "core/model/high.h": ""},
     ["core/base/low.cpp:1: includes core/model/high.h, a layer above"]),
    ({"forms/mainunit/a.h": '#include "../outputUnit/b.h"', "forms/outputUnit/b.h": ""},
     ["forms/mainunit/a.h:1: includes forms/outputUnit/b.h, a sibling"]),
    ({"core/extra/x.h": "", "tests/t.cpp": '#include "x.h"'}, ["core/extra/x.h: in no layer"]),
    ({"app/main.cpp": '#include "high.h"\n#include <vector>', "core/model/high.h": '#include "low.h"',
      "core/base/low.h": ""}, []),
]


class CheckLayers(unittest.TestCase):
    def test_cases(self):
        for files, faults in CASES:
            with self.subTest(files=sorted(files)), tempfile.TemporaryDirectory() as root:
                for path, text in files.items():
                    os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
                    with open(os.path.join(root, path), "w") as f:
                        f.write(text + "\n")
                run = subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)
                lines = run.stdout.splitlines()[:-1]
                self.assertEqual(run.returncode, 1 if faults else 0, run.stdout)
                self.assertEqual(len(lines), len(faults), run.stdout)
                for line, fault in zip(lines, faults):
                    self.assertTrue(line.startswith(fault), line)


if __name__ == "__main__":
    unittest.main()
