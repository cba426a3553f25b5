"""Quillon.exe against the Linux build on the same inputs: the output movies must be equal byte
for byte, and the logs and standard output equal once the Linux texts take the Windows
separators and line ends (each "/" a backslash, each line end CR LF).

    python3 compare_builds.py LINUX_QUILLON QUILLON_EXE [--run-with WORD ...]
                              [--example-maker MAKE_EXAMPLE] [--movies DIR] [--count N]
                              [--exporters LINUX_EXPORT EXPORT_EXE]

The inputs: the bundled example movie (made by the example generator), each real movie of DIR
with random raw replacement chunks, GIF files, BMP/TGA images and texts for its first cast
numbers, and N random movies with cast media. Paths typed on the command line hold no "/", so
that every separator in the texts is one the tool composed. With --exporters, both exporters
also export each input into a folder of its own, and what they write must agree the same way.
"""

import argparse
import csv
import io
import os
import random
import shutil
import subprocess
import sys
import tempfile

import quillon_model
import run_cast_model


def random_image_files(rng, root, stem, cast_numbers):
    for number in cast_numbers:
        name = os.path.join(root, "f", "%s-%06d" % (stem, number))
        width, height = rng.randint(1, 40), rng.randint(1, 40)
        pixels = run_cast_model.runs_of_pixels(rng, width * height, 32)
        grey = [(i, i, i) for i in range(256)]
        images = {"-8.bmp": run_cast_model.encode_bmp(width, height, 8, pixels, rng.random() < .5,
                                                      grey),
                  "-16.tga": run_cast_model.encode_tga(width, height, 24, pixels, False),
                  "-32.tga": run_cast_model.encode_tga(width, height, 32, pixels, True),
                  ".gif": b"GIF89a" + bytes(rng.getrandbits(8) for _ in range(20)),
                  ".txt": run_cast_model.text_file(rng, 1252)}
        for suffix, data in images.items():
            if rng.random() < 0.7:
                with open(name + suffix, "wb") as f:
                    f.write(data)


def random_raw_files(rng, root, stem, movie, count):
    live = [i for i in range(movie.used_count) if movie.is_live(i)]
    for i in rng.sample(live, min(count, len(live))):
        tag = movie.entry(i).tag
        # The Windows name, which both systems read.
        name = quillon_model.windows_name(
            "%s-%06d.%s" % (stem, i, quillon_model.extension_of(tag)))
        length = rng.randint(0, 40)
        stated = length if rng.random() < 0.7 else rng.randint(0, 40)  # else mostly refused
        data = tag + stated.to_bytes(4, "little") + bytes(length)
        with open(os.path.join(root, "f", name), "wb") as f:
            f.write(data)


def real_movie_case(rng, root, path):
    shutil.copy(path, root)
    name = os.path.basename(path)
    stem = name.rpartition(".")[0]
    os.makedirs(os.path.join(root, "f"))
    with open(path, "rb") as f:
        movie = quillon_model.Movie(f.read())
    random_raw_files(rng, root, stem, movie, 6)
    random_image_files(rng, root, stem, range(1, 60))
    return [name, "f", "Out"]


def as_windows_text(data):
    return data.replace(b"/", b"\\").replace(b"\n", b"\r\n")


def run(command, folder, args):
    return subprocess.run(command + args, cwd=folder, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)


def files_below(folder):
    found = {}
    for top, _, names in os.walk(folder):
        for name in names:
            full = os.path.join(top, name)
            with open(full, "rb") as f:
                found[os.path.relpath(full, folder)] = f.read()
    return found


def manifest_rows(data, separator="/"):
    """The manifest's rows, each "/" of the file column made `separator`."""
    rows = list(csv.reader(io.StringIO(data.decode("latin-1"), newline="")))
    if rows and "file" in rows[0]:
        column = rows[0].index("file")
        for row in rows[1:]:
            if column < len(row):
                row[column] = row[column].replace("/", separator)
    return rows


def same_file(name, on_linux, on_windows):
    """Whether a file of the Linux build and its Windows twin agree: the log is in text mode and
    holds composed paths; a text file ends its lines as its system does; the manifest has CR LF
    line ends on both, and only its file names take backslashes; everything else is equal byte
    for byte."""
    if name.endswith(".log"):
        return as_windows_text(on_linux) == on_windows
    if name.endswith(".txt"):
        return on_linux.replace(b"\n", b"\r\n") == on_windows
    if name.endswith(".csv"):
        return manifest_rows(on_linux, "\\") == manifest_rows(on_windows)
    return on_linux == on_windows


def compare(linux, windows, root, args, label, made_in="Out"):
    """Runs both builds on copies of `root`; returns the differences found."""
    copies = {}
    for side in ("linux", "windows"):
        copies[side] = "%s-%s-%s" % (root, made_in, side)
        shutil.copytree(root, copies[side])
    on_linux = run(linux, copies["linux"], args)
    on_windows = run(windows, copies["windows"], args)
    problems = []
    if on_linux.returncode != on_windows.returncode:
        problems.append("exit codes %d and %d" % (on_linux.returncode, on_windows.returncode))
    if as_windows_text(on_linux.stdout) != on_windows.stdout:
        problems.append("stdout %r\n   linux %r"
                        % (on_windows.stdout[-200:], on_linux.stdout[-200:]))
    made = {side: files_below(os.path.join(copies[side], made_in)) for side in copies}
    if sorted(made["linux"]) != sorted(made["windows"]):
        problems.append("output files %s and %s" % (sorted(made["linux"]), sorted(made["windows"])))
    for name, data in made["linux"].items():
        if name in made["windows"] and not same_file(name, data, made["windows"][name]):
            problems.append("%s differs" % name)
    if problems:
        print("%s: %s %s" % (label, os.path.basename(linux[-1]), " ".join(args)))
        for p in problems:
            print("  " + p)
    return not problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("linux")
    parser.add_argument("windows")
    parser.add_argument("--run-with", action="append", default=[])
    parser.add_argument("--exporters", nargs=2, metavar=("LINUX_EXPORT", "EXPORT_EXE"))
    parser.add_argument("--example-maker")
    parser.add_argument("--movies")
    parser.add_argument("--count", type=int, default=50)
    parser.add_argument("--seed", type=int, default=9122026)
    options = parser.parse_args()
    linux = [os.path.abspath(options.linux)]
    windows = options.run_with + [os.path.abspath(options.windows)]
    rng = random.Random(options.seed)
    cases = failures = 0
    top = tempfile.mkdtemp(prefix="quillon-compare-")
    try:
        def check(label, make):
            nonlocal cases, failures
            root = os.path.join(top, str(cases))
            os.makedirs(root)
            cases += 1
            args = make(root)
            agree = compare(linux, windows, root, args, label)
            if options.exporters:
                # The options in front, then the movie.
                movie = next(i for i, a in enumerate(args) if not a.startswith("--"))
                agree &= compare([os.path.abspath(options.exporters[0])],
                                 options.run_with + [os.path.abspath(options.exporters[1])],
                                 root, args[:movie + 1] + ["x"], label, made_in="x")
            failures += not agree

        if options.example_maker:
            check("example", lambda root: (
                subprocess.run([options.example_maker, root], check=True,
                               stdout=subprocess.DEVNULL),
                ["Example.dxr", "files", "Out"])[1])
        if options.movies and os.path.isdir(options.movies):
            for name in sorted(os.listdir(options.movies)):
                path = os.path.join(options.movies, name)
                check(name, lambda root, path=path: real_movie_case(rng, root, path))
        for n in range(options.count):
            check("cast movie %d" % n, lambda root: run_cast_model.make_case(rng, root)[1])
    finally:
        shutil.rmtree(top, ignore_errors=True)
    print("%d of %d cases agree between the builds" % (cases - failures, cases))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
