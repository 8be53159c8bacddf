"""validate_json_schema.py CLI SCHEMA EXAMPLES_DIR: the batch command's JSON of every example, of inputs with
a support outside the shaft or a negative mass, of failures before and after computing and of a load failure
validated against the schema."""

import glob
import json
import os
import subprocess
import sys
import tempfile

import jsonschema

cli, schema_path, examples = sys.argv[1:4]
with open(schema_path, encoding="utf-8") as f:
    schema = json.load(f)
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)

with tempfile.TemporaryDirectory() as tmp:
    runs = [[path] for path in sorted(glob.glob(os.path.join(examples, "*.txt")))]
    # free_free_shaft.txt with line 4 (support sections), 2 (masses) or 5 (span ends) replaced.
    with open(os.path.join(examples, "free_free_shaft.txt"), encoding="utf-8") as f:
        lines = f.read().split("\n")
    for number, line in [(4, "0 "), (2, "-0.01 " + "0.01 " * 99), (5, "30 300 ")]:
        runs.append([os.path.join(tmp, f"line{number}.txt")])
        with open(runs[-1][0], "w", encoding="utf-8") as f:
            f.write("\n".join(lines[: number - 1] + [line] + lines[number:]))
    runs += [["--xlsx", os.path.join(tmp, "no", "folder.xlsx"), runs[0][0]], [os.path.join(tmp, "missing.txt")]]

    failures = 0
    for args in runs:
        out = subprocess.run([cli, "--json", "--decimal-separator", "."] + args, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, check=False).stdout
        for error in validator.iter_errors(json.loads(out.decode("utf-8"))):
            failures += 1
            # Under "anyOf" the causes in each branch.
            for cause in error.context or [error]:
                print(" ".join(args), "/".join(map(str, cause.absolute_path)), cause.message[:300], sep=": ")
    print(f"{len(runs)} documents, {failures} violations")
    sys.exit(1 if failures else 0)
