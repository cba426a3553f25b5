"""Quillon.exe against the Linux build on the same inputs: the output movies must be equal byte
for byte, and the logs and standard output equal once the Linux texts take the Windows
separators and line ends (each "/" a backslash, each line end CR LF).

    python3 compare_builds.py LINUX_QUILLON QUILLON_EXE [--run-with WORD ...]
                              [--example-maker MAKE_EXAMPLE] [--movies DIR] [--count N]

The inputs: the bundled example movie (made by the example generator), each real movie of DIR
with random raw replacement chunks, GIF files and BMP/TGA images for its first cast numbers,
and N random movies with cast media. Paths typed on the command line hold no "/", so that every
separator in the texts is one the tool composed.
"""

import argparse
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
        images = {"-8.bmp": run_cast_model.encode_bmp(width, height, 8, pixels, rng.random() < .5),
                  "-16.tga": run_cast_model.encode_tga(width, height, 24, pixels, False),
                  "-32.tga": run_cast_model.encode_tga(width, height, 32, pixels, True),
                  ".gif": b"GIF89a" + bytes(rng.getrandbits(8) for _ in range(20))}
        for suffix, data in images.items():
            if rng.random() < 0.7:
                with open(name + suffix, "wb") as f:
                    f.write(data)


def random_raw_files(rng, root, stem, movie, count):
    live = [i for i in range(movie.used_count) if movie.is_live(i)]
    for i in rng.sample(live, min(count, len(live))):
        tag = movie.entry(i).tag
        extension = quillon_model.extension_of(tag)
        data = tag + (rng.randint(0, 40)).to_bytes(4, "little") + bytes(rng.randint(0, 40))
        with open(os.path.join(root, "f", "%s-%06d.%s" % (stem, i, extension)), "wb") as f:
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


def compare(linux, windows, root, args, label):
    """Runs both builds on copies of `root`; returns the differences found."""
    copies = {}
    for side in ("linux", "windows"):
        copies[side] = root + "-" + side
        shutil.copytree(root, copies[side])
    on_linux = run(linux, copies["linux"], args)
    on_windows = run(windows, copies["windows"], args)
    problems = []
    if on_linux.returncode != on_windows.returncode:
        problems.append("exit codes %d and %d" % (on_linux.returncode, on_windows.returncode))
    if as_windows_text(on_linux.stdout) != on_windows.stdout:
        problems.append("stdout %r\n   linux %r" % (on_windows.stdout[-200:], on_linux.stdout[-200:]))
    made = {side: files_below(os.path.join(copies[side], "Out")) for side in copies}
    if sorted(made["linux"]) != sorted(made["windows"]):
        problems.append("output files %s and %s" % (sorted(made["linux"]), sorted(made["windows"])))
    for name, data in made["linux"].items():
        expected = as_windows_text(data) if name.endswith(".log") else data
        if name in made["windows"] and made["windows"][name] != expected:
            problems.append("%s differs" % name)
    if problems:
        print("%s: quillon %s" % (label, " ".join(args)))
        for p in problems:
            print("  " + p)
    return not problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("linux")
    parser.add_argument("windows")
    parser.add_argument("--run-with", action="append", default=[])
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
            failures += not compare(linux, windows, root, make(root), label)

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
