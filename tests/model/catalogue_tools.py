"""The catalogues the export writes, read by the tools translators use: every shared movie with
scripts or texts is exported, and each <stem>.po must pass `msgfmt --check` and, where Python's
polib is installed, read back with every entry's context, msgid and flags as written.

    python3 catalogue_tools.py PATH_TO_QUILLON_EXPORT MSGFMT --testdata FOLDER [--run-with WORD ...]
"""

import argparse
import os
import subprocess
import sys
import tempfile

MOVIES = ["movies-with-sound/SOFT1.DXR", "mac/AppleGame.dir", "movies/saving_text_d5_win.dir",
          "movies/INK8COL.DIR"]


def polib_problems(path):
    try:
        import polib
    except ImportError:
        return []
    catalogue = polib.pofile(path)
    problems = []
    if catalogue.metadata.get("Content-Type") != "text/plain; charset=UTF-8":
        problems.append("%s: header without its content type" % path)
    for entry in catalogue:
        if not entry.msgctxt or entry.msgstr:
            problems.append("%s: entry %r without context or with a translation" % (
                path, entry.msgid))
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("export")
    parser.add_argument("msgfmt")
    parser.add_argument("--testdata", required=True)
    parser.add_argument("--run-with", action="append", default=[])
    args = parser.parse_args()
    problems, checked = [], 0
    with tempfile.TemporaryDirectory() as root:
        for relative in MOVIES:
            movie = os.path.join(args.testdata, relative)
            if not os.path.isfile(movie):
                continue
            folder = os.path.join(root, os.path.basename(relative))
            exported = subprocess.run(args.run_with + [args.export, movie, folder],
                                      stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
            stem = os.path.splitext(os.path.basename(relative))[0]
            catalogue = os.path.join(folder, stem + ".po")
            if exported.returncode != 0 or not os.path.isfile(catalogue):
                problems.append("%s: no catalogue exported" % relative)
                continue
            check = subprocess.run([args.msgfmt, "--check", "-o", os.devnull, catalogue],
                                   capture_output=True)
            if check.returncode != 0:
                problems.append("%s: msgfmt --check: %s" % (relative, check.stderr.decode()))
            problems += polib_problems(catalogue)
            checked += 1
    for problem in problems:
        print(problem)
    print("%d catalogues checked, %d problems" % (checked, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
