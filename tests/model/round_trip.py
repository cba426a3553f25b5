"""Export, then rebuild from the unchanged folder, on random movies with cast media: every live
chunk must come back byte for byte, texts included, except bitmaps and alpha channels rebuilt
from their pictures (their pixels are the export tests' business).

    python3 round_trip.py PATH_TO_QUILLON PATH_TO_QUILLON_EXPORT [--count N] [--seed S]
                          [--run-with WORD ...]
"""

import argparse
import csv
import io
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

import quillon_model
import run_cast_model


def run(command, folder, args):
    return subprocess.run(command + args, cwd=folder, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)


def check(quillon, export, root, args):
    """The problems of one case and the number of texts exported; no problem when the case's
    movie or code page is one both programs refuse."""
    movie = next(i for i, a in enumerate(args) if not a.startswith("--"))
    options, name = args[:movie], args[movie]
    exported = run(export, root, options + [name, "x"])
    if exported.returncode != 0:
        refusals = (b"Unknown code page", b"Unknown file format", b"Cannot read")
        refused = any(message in exported.stdout for message in refusals)
        return ([] if refused else ["export failed"]), 0
    rebuilt = run(quillon, root, options + [name, "x", "Out"])
    if rebuilt.returncode != 0:
        return ["rebuild failed"], 0
    stem = name.rpartition(".")[0]
    with open(os.path.join(root, "x", stem + ".csv"), newline="") as f:
        rows = list(csv.DictReader(io.StringIO(f.read())))
    # Every chunk the rebuild takes from a picture: a member's other chunks of the same kind
    # (which real movies never have) are rebuilt from that picture too.
    with_picture = {(r["kind"], r["cast number"]) for r in rows if r["file"]}
    pictures = {int(r["entry index"]) for r in rows
                if r["kind"] in ("bitmap", "alpha")
                and (r["kind"], r["cast number"]) in with_picture}
    with open(os.path.join(root, "Out", stem + ".log"), "rb") as f:
        collisions = re.findall(rb"collision.*? Frame ([0-9A-F]{4}) ", f.read())
    problems = ["collision on entry %s" % c.decode() for c in collisions
                if int(c, 16) not in pictures]
    with open(os.path.join(root, name), "rb") as f:
        before = quillon_model.Movie(f.read())
    with open(os.path.join(root, "Out", name), "rb") as f:
        after = quillon_model.Movie(f.read())
    for i in range(before.used_count):
        if not before.is_live(i) or i in pictures:
            continue
        a, b = before.entry(i), after.entry(i)
        if (before.data[a.offset:a.offset + 8 + a.length] !=
                after.data[b.offset:b.offset + 8 + b.length]):
            problems.append("entry %d (%r) changed" % (i, a.tag))
    texts = sum(r["kind"] == "text" and bool(r["file"]) for r in rows)
    return problems, texts


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("quillon")
    parser.add_argument("export")
    parser.add_argument("--count", type=int, default=100)
    parser.add_argument("--seed", type=int, default=16122026)
    parser.add_argument("--run-with", action="append", default=[])
    options = parser.parse_args()
    quillon = options.run_with + [os.path.abspath(options.quillon)]
    export = options.run_with + [os.path.abspath(options.export)]
    rng = random.Random(options.seed)
    failures = texts = 0
    top = tempfile.mkdtemp(prefix="quillon-round-trip-")
    try:
        for case in range(options.count):
            root = os.path.join(top, str(case))
            os.makedirs(root)
            _, args, _ = run_cast_model.make_case(rng, root)
            problems, found = check(quillon, export, root, args)
            texts += found
            if problems:
                failures += 1
                print("case %d: %s: %s" % (case, " ".join(args), "; ".join(problems)))
    finally:
        shutil.rmtree(top, ignore_errors=True)
    print("%d texts exported; %d of %d cases come back unchanged"
          % (texts, options.count - failures, options.count))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
