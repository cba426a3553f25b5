"""Runs the quillon executable on random movies and compares every result with the model.

    python3 run_model.py PATH_TO_QUILLON [--count N] [--seed S] [--keep]
                         [--windows --run-with WORD ...]

With --windows the executable is Quillon.exe, started through the --run-with words (say, env,
WINEPREFIX=..., wine), and the model follows the Windows conventions (conventions.py).

Each case is a fresh folder holding a random movie, Windows (XFIR) or now and then Mac (RIFX,
big-endian), of any layout (chunks out of entry order, gaps, odd lengths with or without a zero pad
byte after them, shared chunks, free, flagged and header-region entries, spare slots, now and
then a broken header or map), random raw replacement files (tags that need TagToExtension, "/"
as a subfolder, files shorter than a chunk header, headers naming another type or length, files
for entries that are not live) and random command lines.
Standard output, exit code, log, output file and the untouched input are compared byte for byte.
"""

import argparse
import collections
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile

import conventions
import quillon_model

TAGS = [b"TXTS", b"DTIB", b"DEMX", b"*YEK", b"*SAC", b"tSAC", b"AFLA", b"LsCM", b"CB/A",
        b"\0DCB", b"A\0BC", b"X?,\x80", b"\xff\xfe\xfd\xfc", b"a$b;", b" a a", b"/C/A",
        b"pamm", b"eerf", b"XFIR", b"pami"]
NAMES = ["m.dxr", "Movie.DXR", "a.b.dxr", "noext", "in/sub/x.dxr",
         "a_rather_long_movie_name_for_long_progress_lines.dxr"]
FILES_DIRS = ["f", "files/nested/deep/enough/that/progress/lines/get/the/long/form"]
# "." puts the output over an input in the case folder; "blocked" is a file.
OUT_DIRS = [None, "o", "o/p/q", ".", "blocked/o"]
OUT_DIR_WEIGHTS = [4, 4, 4, 1, 1]


def random_bytes(rng, n):
    return bytes(rng.getrandbits(8) for _ in range(n))


def chunk_bytes(rng, tag, data, order):
    length = len(data) if rng.random() < 0.9 else rng.getrandbits(32)
    return tag + struct.pack(order + "I", length) + data


def random_movie(rng):
    """Bytes of a random movie and its list of (stored tag, length, offset, flags) entries: a
    Windows movie (XFIR, little-endian, tags reversed) or now and then a Mac one (RIFX)."""
    order = "<" if rng.random() < 0.7 else ">"
    def stored(tag):
        return tag if order == "<" else tag[::-1]
    capacity = rng.randint(3, 30)
    header_length = 76 + 20 * capacity
    standard = rng.random() < 0.9
    entries = []
    if standard:
        entries.append([stored(b"XFIR"), 0, 0, 1 if rng.random() < 0.8 else 0])
        entries.append([stored(b"pami"), 24, 12, 1])
        entries.append([stored(b"pamm"), 24 + 20 * capacity, 44, 0])
    used = rng.randint(len(entries), capacity)

    body = bytearray()
    pending = []  # entries whose chunk is still to be placed: (entry, data, shared entry)
    owners = []  # entries with a chunk of their own
    for _ in range(len(entries), used):
        kind = rng.random()
        tag = stored(rng.choice(TAGS))
        if kind < 0.1:
            entries.append([stored(b"eerf"), 0, 0, 12])
        elif kind < 0.15:
            entries.append([tag, rng.randint(0, 20), rng.randint(0, header_length - 1), 0])
        elif kind < 0.25 and owners:
            shared = rng.choice(owners)
            entries.append([tag, shared[1], None, 0])
            pending.append((entries[-1], None, shared))
        else:
            data = random_bytes(rng, rng.choice([0, 1, 3, 7, 8, 15, rng.randint(0, 300)]))
            flags = 0 if rng.random() < 0.85 else rng.choice([1, 4, 0x100, 0x80000000])
            entries.append([tag, len(data), None, flags])
            pending.append((entries[-1], data, None))
            owners.append(entries[-1])
    rng.shuffle(pending)
    for entry, data, shared in pending:
        if shared is not None:
            continue
        if rng.random() < 0.3:
            body += random_bytes(rng, rng.randint(1, 9))  # a gap
        entry[2] = header_length + len(body)
        body += chunk_bytes(rng, entry[0], data, order)
        if len(data) % 2 and rng.random() < 0.5:
            body += b"\0"  # the pad byte Director writes after a chunk of odd length
    for entry, data, shared in pending:
        if shared is not None:
            entry[2] = shared[2]
    if rng.random() < 0.2:
        body += random_bytes(rng, rng.randint(1, 30))  # a tail nobody covers

    # Now and then saved without compacting: the current map after everything else, an older
    # map or a chunk at 44, the older map a junk entry.
    compacted = rng.random() < 0.85
    if not compacted:
        body += b"\0" * ((header_length + len(body)) % 2)
        if len(entries) < capacity and rng.random() < 0.7:
            entries.append([stored(b"knuj"), 24 + 20 * capacity, 44, 4])
            used = max(used, len(entries))
    map_at = 44 if compacted else header_length + len(body)
    if standard:
        entries[2][2] = map_at
    total = map_at + 8 + 24 + 20 * capacity if not compacted else header_length + len(body)
    current = bytearray(stored(b"pamm") + struct.pack(order + "I", 24 + 20 * capacity))
    current += struct.pack(order + "HHII", 24, 20, capacity, used) + random_bytes(rng, 12)
    for tag, length, offset, flags in entries:
        current += tag + struct.pack(order + "III", length, offset, flags) + random_bytes(rng, 4)
    current += random_bytes(rng, header_length - 44 - len(current))
    if standard:
        struct.pack_into(order + "I", current, 36, total - 8)
    at_44 = current
    if not compacted:
        at_44 = bytearray(current)
        if rng.random() < 0.5:  # a chunk where the older map stood
            at_44[0:8] = stored(b"*YEK") + struct.pack(order + "I", header_length - 52)
        else:  # an older map listing fewer entries
            struct.pack_into(order + "I", at_44, 16, min(used, 3))

    out = bytearray()
    out += stored(b"XFIR") + struct.pack(order + "I", total - 8) + random_bytes(rng, 4)
    out += stored(b"pami") + struct.pack(order + "I", 24) + random_bytes(rng, 4)
    out += struct.pack(order + "I", map_at) + random_bytes(rng, 16)
    out += at_44 + body
    if not compacted:
        out += current
    return bytearray(out), entries


def huge_movie(rng):
    """A small file whose entries share one chunk of 1 MiB often enough to re-lay past 4 GiB."""
    sharing = 4100
    capacity = sharing + 3
    header_length = 76 + 20 * capacity
    data = random_bytes(rng, 64) * (1 << 14)
    entries = [[b"XFIR", 0, 0, 1], [b"pami", 24, 12, 1], [b"pamm", 24 + 20 * capacity, 44, 0]]
    entries += [[b"DTIB", len(data), header_length, 0] for _ in range(sharing)]
    out = bytearray(b"XFIR" + struct.pack("<I", header_length + 8 + len(data) - 8) + b"39VM")
    out += b"pami" + struct.pack("<I", 24) + bytes(24)
    out += b"pamm" + struct.pack("<I", 24 + 20 * capacity)
    out += struct.pack("<HHII", 24, 20, capacity, capacity) + bytes(12)
    for tag, length, offset, flags in entries:
        out += tag + struct.pack("<IIII", length, offset, flags, 0)
    out += b"DTIB" + struct.pack("<I", len(data)) + data
    return out, entries


def spoil(rng, movie, entries):
    choice = rng.randrange(10)
    if choice == 0:
        movie[0:4] = b"XFIR" if movie[0:4] == b"RIFX" else b"RIFX"  # the other order's magic
    elif choice == 1:
        movie[12] ^= 0x20
    elif choice == 2:
        movie[52] = 25
    elif choice == 3:
        movie[54] = 0
    elif choice == 4:
        del movie[rng.randint(0, len(movie) - 1):]
    elif choice == 5:
        struct.pack_into("<I", movie, 60, struct.unpack_from("<I", movie, 56)[0] + 1)
    elif choice == 6:
        struct.pack_into("<I", movie, 56, 0x10000000)
    elif choice == 7:
        movie[8:12] = rng.choice([b"MDGF", b"FGDM", b"CDGF", b"FGDC"])  # compressed, either order
    elif choice == 8:
        struct.pack_into("<I", movie, 24, rng.choice([len(movie), 0x7FFFFFF0, 20, 46]))
    else:
        i = rng.randrange(len(entries))
        struct.pack_into("<I", movie, 80 + 20 * i, 0xFFFFFFF0)


def write_file(root, relative, data):
    if conventions.windows:
        relative = relative.replace("\\", "/")
    full = os.path.join(root, relative)
    try:
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)
    except OSError:
        pass  # a name the file system cannot hold (say, a trailing "/")


def chunk_file(rng, tag, order):
    """A raw replacement file: mostly a chunk whose header fits it (the tag as stored, the length
    in the movie's `order`); else one whose header names another type or another length, or
    bytes of any kind (too short for a header, say)."""
    size = rng.choice([0, 3, 7, 8, 9, rng.randint(8, 200)])
    data = random_bytes(rng, size)
    if size < 8:
        return data
    kind = rng.choices(["fits", "other type", "other length", "any"], [60, 10, 15, 15])[0]
    if kind == "any":
        return data
    length = size - 8
    if kind == "other length":
        length = (length + rng.choice([1, -1, 2, 0x10000, 0x80000000])) & 0xFFFFFFFF
    if kind == "other type":
        tag = rng.choice([bytes(reversed(tag)), tag.swapcase(), b"XXXX", tag[:3] + b"\0"])
    return tag + struct.pack(order + "I", length) + data[8:]


def add_replacements(rng, root, files_dir, stem, movie, entries):
    order = quillon_model.byte_order(movie) or "<"
    for i, (tag, _, _, _) in enumerate(entries):
        if rng.random() < 0.4:
            chunk_type = quillon_model.stored_tag(tag, order)
            name = "%s-%06d.%s" % (stem, i, quillon_model.extension_of(chunk_type))
            # A type ending in spaces or dots: the exact name, the Windows one, or both.
            names = rng.choice([[name], [quillon_model.windows_name(name)],
                                [name, quillon_model.windows_name(name)]])
            for each in names:
                write_file(root, files_dir + "/" + each, chunk_file(rng, tag, order))
    if rng.random() < 0.3:
        write_file(root, "%s/%s-000003.other" % (files_dir, stem), b"not looked at")


def make_case(rng, root):
    huge = rng.random() < 0.01
    movie, entries = huge_movie(rng) if huge else random_movie(rng)
    if rng.random() < 0.1:
        spoil(rng, movie, entries)
    name = rng.choice(NAMES)
    write_file(root, name, bytes(movie))
    typed = name
    if rng.random() < 0.1:
        folder, _, base = name.rpartition("/")
        typed = (folder + "/" if folder else "") + base.swapcase()
    if rng.random() < 0.03:
        typed = "missing.dxr"
    files_dir = rng.choice(FILES_DIRS)
    stem = name.rpartition("/")[2]
    stem = stem.rpartition(".")[0] if "." in stem else stem
    if not huge:
        add_replacements(rng, root, files_dir, stem, movie, entries)
    out_dir = rng.choices(OUT_DIRS, OUT_DIR_WEIGHTS)[0]
    if out_dir == "blocked/o":
        write_file(root, "blocked", b"a file where a folder should be")
    args = [typed, files_dir] + ([out_dir] if out_dir is not None else [])
    if conventions.windows:
        args = [a.replace("/", "\\") if rng.random() < 0.5 else a for a in args]
    if rng.random() < 0.03:
        args = args[:1] if rng.random() < 0.5 else args + ["extra", "more"][:4 - len(args)]
    if rng.random() < 0.02:
        # Options out of place: after the names, without "=", or unknown.
        args = rng.choice([args + ["--codepage=1252"], ["--codepage", "1252"] + args,
                           ["--overwrite"] + args])
    older = None
    if rng.random() < 0.3 and out_dir not in (".", "blocked/o"):
        older = ("%s/%s" % (out_dir or "Out", name.rpartition("/")[2]), random_bytes(rng, 20))
        write_file(root, *older)
    return name, args, older


def listing(folder):
    try:
        return sorted(os.listdir(folder))
    except OSError:
        return []


def tally(stats, expected):
    """Counts what the cases exercised, so that a generator gone dull shows."""
    log = bytes(expected.log or b"")
    stats["ok runs"] += expected.exit_code == 0
    stats["failed runs"] += expected.exit_code != 0
    stats["too large"] += b"would exceed" in expected.stdout
    stats["Mac movies written"] += bool(expected.output) and expected.output[:4] == b"RIFX"
    stats["unknown code pages"] += b"Unknown code page" in expected.stdout
    stats["damaged movies"] += b"damaged movie" in expected.stdout
    stats["compressed movies"] += b"compressed Shockwave" in expected.stdout
    stats["unknown options"] += b"Unknown option" in expected.stdout
    stats["substitutions"] += log.count(b"was substituted")
    stats["short files"] += log.count(b"shorter than")
    stats["headers of another type"] += log.count(b"header of another type")
    stats["headers of another length"] += log.count(b"header length is not")
    shown = [part.split(b"\r")[0] for part in bytes(expected.stdout).split(b"Processing ")[1:]]
    stats["progress lines"] += len(shown)
    stats["long progress lines"] += sum(len(line) == 67 for line in shown)
    for word in (b"BITD=", b"ALFA=", b"STXT=", b"unreadable", b"bittype", b"bitsperpixel",
                 b"collision!", b"collision 2!", b"collision 3!", b"Cannot use file",
                 b"has no byte", b"not UTF-8", b"mapped to the member", b"cut or padded"):
        stats[word.decode()] += log.count(word)


def read_typed(root, path):
    """The bytes of the file that `path` names in `root`; None when there is none."""
    full = conventions.on_disk(root, path)
    try:
        with open(full, "rb") as f:
            return f.read()
    except (OSError, TypeError):
        return None


def check_case(command, root, name, args, older, case, stats):
    expected = quillon_model.run(args, root)
    tally(stats, expected)
    with open(os.path.join(root, name), "rb") as f:
        before = f.read()
    result = subprocess.run(command + args, cwd=root, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            env=dict(os.environ, NO_COLOR="1"), timeout=60)
    problems = []
    if result.returncode != expected.exit_code:
        problems.append("exit code %d, model %d" % (result.returncode, expected.exit_code))
    if result.stdout != conventions.text(expected.stdout):
        problems.append("stdout %r\n   model %r" % (result.stdout[-300:],
                                                    conventions.text(expected.stdout)[-300:]))
    with open(os.path.join(root, name), "rb") as f:
        if f.read() != before:
            problems.append("the input changed")
    if expected.log is not None:
        log = read_typed(root, expected.log_name)
        if log != conventions.text(expected.log):
            problems.append("log %r\n   model %r" % (log, conventions.text(expected.log)))
    if expected.output is not None:
        if read_typed(root, expected.output_name) != expected.output:
            problems.append("output differs")
    elif older is not None:
        if read_typed(root, older[0]) != older[1]:
            problems.append("the older output changed")
    if expected.out_dir is not None and quillon_model.folders_can_exist(root, expected.out_dir):
        out_dir = conventions.on_disk(root, expected.out_dir)
        if out_dir is None or not os.path.isdir(out_dir):
            problems.append("no output folder")
        leftovers = [n for n in listing(out_dir) if ".dxr." in n or n.startswith("noext.")
                     and n != "noext.log"]
        if leftovers:
            problems.append("temporary files left: %s" % leftovers)
    if problems:
        print("case %d: quillon %s" % (case, " ".join(args)))
        for p in problems:
            print("  " + p)
    return not problems


def main(case_maker=make_case, default_seed=20261208):
    """Runs the cases that `case_maker(rng, root)` makes; returns the exit code."""
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("--count", type=int, default=300)
    parser.add_argument("--seed", type=int, default=default_seed)
    parser.add_argument("--keep", action="store_true", help="keep the folders of failing cases")
    parser.add_argument("--windows", action="store_true", help="Quillon.exe and its conventions")
    parser.add_argument("--run-with", action="append", default=[],
                        help="a word of the command that starts the executable (repeatable)")
    options = parser.parse_args()
    if options.windows:
        conventions.use_windows()
    command = options.run_with + [os.path.abspath(options.exe)]
    rng = random.Random(options.seed)
    failures = 0
    stats = collections.Counter()
    top = tempfile.mkdtemp(prefix="quillon-model-")
    try:
        for case in range(options.count):
            root = os.path.join(top, str(case))
            os.makedirs(root)
            name, args, older = case_maker(rng, root)
            if check_case(command, root, name, args, older, case, stats):
                shutil.rmtree(root)
            else:
                failures += 1
    finally:
        if not options.keep:
            shutil.rmtree(top, ignore_errors=True)
    print(", ".join("%s: %d" % item for item in sorted(stats.items())))
    print("%d of %d cases match the model" % (options.count - failures, options.count))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
