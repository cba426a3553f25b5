"""An independent model of one quillon run: what it prints, logs and writes.

run(args, cwd) looks at the files as they are before the run and returns the Outcome that the
real executable must produce, byte for byte. Nothing here is shared with the C++ code.
"""

import os
import re
import struct
from collections import namedtuple

import cast_model
import conventions
from conventions import join, on_disk

BANNER = b"Quillon v1.1.\n"
USAGE = (b"Program written using Varnel Console Interface (VarnelUtil->CI) v0.9.2\n"
         b"Syntax: \"Quillon.exe\" <s:InFile.DXR> <s:FilesDir> [s:OutDir=\"Out\"]\n"
         b"Option: --codepage=N (before InFile): the code page of the texts, 1252 if not given "
         b"(10000 in a Mac movie)\n")
CODE_PAGE_OPTION = "--codepage="
KNOWN_CODE_PAGES = {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1257, 10000}
OFFERED_CODE_PAGES = (b"Code pages offered: 874 (Thai), 932 (Japanese), 936 (Simplified "
                      b"Chinese), 949 (Korean), 950 (Traditional Chinese), 1250 (Central "
                      b"European), 1251 (Cyrillic), 1252 (Western), 1253 (Greek), 1254 "
                      b"(Turkish), 1257 (Baltic), 10000 (Mac Roman)\n")
MAX_OUTPUT = 0xFFFFFFFF + 8

# `tag` as the file stores it; `type` in reading order (the stored tag reversed in XFIR files).
Entry = namedtuple("Entry", "tag type length offset flags")


class Outcome:
    """Expected results. `log` and `output` are None when the run must not write them."""

    def __init__(self):
        self.stdout = bytearray(BANNER)
        self.exit_code = 0
        self.out_dir = None  # relative to cwd; must exist after the run when set
        self.log_name = None
        self.log = None
        self.output_name = None
        self.output = None


class Fatal(Exception):
    pass


def byte_order(data):
    """'>' for a Mac movie (RIFX, big-endian, tags in reading order), '<' for a Windows one
    (XFIR, little-endian, tags reversed), None for neither."""
    return {b"RIFX": ">", b"XFIR": "<"}.get(bytes(data[:4]))


def stored_tag(chunk_type, order):
    return chunk_type if order == ">" else chunk_type[::-1]


class Movie:
    def __init__(self, data):
        self.data = data
        self.order = byte_order(data) or "<"
        self.capacity, self.used_count = struct.unpack_from(self.order + "II", data, 56)
        self.header_length = 76 + 20 * self.capacity

    def entry(self, i):
        tag = bytes(self.data[76 + 20 * i:80 + 20 * i])
        length, offset, flags = struct.unpack_from(self.order + "III", self.data, 80 + 20 * i)
        return Entry(tag, stored_tag(tag, self.order), length, offset, flags)

    def is_live(self, i):
        e = self.entry(i)
        return (e.type not in (b"free", b"mmap") and e.flags == 0
                and e.offset >= self.header_length)

    def chunk_header(self, chunk_type, length):
        """A chunk header the tool makes for this movie."""
        return stored_tag(chunk_type, self.order) + struct.pack(self.order + "I", length)

    def find_chunk(self, chunk_type):
        for i in range(self.used_count):
            e = self.entry(i)
            if e.type == chunk_type:
                start = e.offset + 8
                if start + e.length > len(self.data):
                    return None
                return self.data[start:start + e.length], e.length
        return None


def container_ok(data):
    if len(data) < 56 or len(data) > MAX_OUTPUT:
        return False
    order = byte_order(data)
    if order is None or data[12:16] != stored_tag(b"imap", order):
        return False
    if data[44:48] != stored_tag(b"mmap", order):
        return False
    if struct.unpack_from(order + "HH", data, 52) != (24, 20):
        return False
    if len(data) < 64:
        return False
    movie = Movie(data)
    if movie.used_count > movie.capacity or movie.header_length > len(data):
        return False
    for i in range(movie.used_count):
        e = movie.entry(i)
        if movie.is_live(i) and e.offset + 8 + e.length > len(data):
            return False
    return True


CLEAR_LINE = b"\r" + b" " * 78 + b"\r"


def progress_line(path):
    raw = path.encode("utf-8", "surrogateescape")
    shown = raw if len(raw) < 64 else raw[:29] + b"..." + raw[-32:]
    return CLEAR_LINE + b"Processing " + shown + b"...\r"


class Refusals:
    """Lines that refuse a replacement file: in the log, and on the console over the progress
    line (no colours: the runs' output is a pipe)."""

    def __init__(self, log, outcome):
        self.log, self.outcome, self.count = log, outcome, 0

    def __call__(self, line):
        self.log += line
        self.outcome.stdout += CLEAR_LINE + line
        self.count += 1


def stored_path(path, cwd):
    if conventions.windows:
        return windows_stored_path(path, cwd)
    full = os.path.join(cwd, path)
    if os.path.exists(full):
        return path
    folder, _, name = path.rpartition("/")
    prefix = folder + "/" if "/" in path else ""
    if not name:
        return path
    try:
        names = sorted(os.listdir(os.path.join(cwd, prefix) if prefix else cwd),
                       key=lambda n: n.encode("utf-8", "surrogateescape"))
    except OSError:
        return path
    wanted = name.encode("utf-8", "surrogateescape").lower()
    for candidate in names:
        if candidate.encode("utf-8", "surrogateescape").lower() == wanted:
            return prefix + candidate
    return path


def windows_stored_path(path, cwd):
    """FindFirstFileA: the name as stored whatever its letter case; no wildcards."""
    if "*" in path or "?" in path:
        return path
    full = on_disk(cwd, path)
    if full is None or not os.path.exists(full):
        return path
    cut = max(conventions.last_sep(path), path.rfind(":"))
    return path[:cut + 1] + os.path.basename(full)


def folders_can_exist(cwd, path):
    """False when some part of `path` exists as something other than a folder."""
    parts = path.replace("\\", "/").split("/") if conventions.windows else path.split("/")
    for n in range(1, len(parts) + 1):
        partial = "/".join(parts[:n])
        if not partial:
            continue
        full = on_disk(cwd, partial)
        if full is not None and os.path.exists(full) and not os.path.isdir(full):
            return False
    return True


def extension_of(chunk_type):
    text = chunk_type.split(b"\0")[0]
    out = bytearray()
    for b in text:
        if b == ord("/"):
            out.append(ord(conventions.sep()))
        elif b >= 0x80 or chr(b) in "?*$;,":
            out.append(ord("_"))
        else:
            out.append(b)
    return bytes(out).decode("utf-8", "surrogateescape")


def windows_name(name):
    """`name` as Windows opens it: its last component without the spaces and dots it ends in,
    the form both programs write and read on every system."""
    cut = name.rfind(conventions.sep()) + 1
    return name[:cut] + name[cut:].rstrip(" .")


def raw_file_paths(files_dir, name):
    """Where the raw pass looks for an entry's file of the exact name `name`, in turn: the exact
    name where the system keeps it apart from the Windows name (POSIX), then the Windows name."""
    paths = [join(files_dir, windows_name(name))]
    if not conventions.windows and windows_name(name) != name:
        paths.insert(0, join(files_dir, name))
    return paths


def same_file(a, b):
    if a is None or b is None:
        return False
    try:
        sa, sb = os.stat(a), os.stat(b)
    except OSError:
        return False
    return (sa.st_dev, sa.st_ino) == (sb.st_dev, sb.st_ino)


def chunk_file_refusal(movie, entry, data):
    """Why a raw replacement file read whole cannot stand for the entry's chunk, or None: its
    header must be the chunk's as this movie stores it."""
    if len(data) < 8:
        return b"shorter than a frame header"
    if data[:4] != entry.tag:
        return b"header of another type"
    if struct.unpack_from(movie.order + "I", data, 4)[0] != len(data) - 8:
        return b"header length is not the file's"
    return None


def raw_pass(movie, cwd, files_dir, stem, table, log, outcome, refuse):
    for i in range(movie.used_count):
        if not movie.is_live(i):
            continue
        paths = raw_file_paths(files_dir, "%s-%06d.%s" % (stem, i,
                                                          extension_of(movie.entry(i).type)))
        outcome.stdout += progress_line(paths[-1])
        found = [(path, on_disk(cwd, path)) for path in paths]
        found = [(path, full) for path, full in found if full is not None and os.path.isfile(full)]
        if not found:
            continue
        path, full = found[0]
        with open(full, "rb") as f:
            data = f.read()
        shown = path.encode("utf-8", "surrogateescape")
        refusal = chunk_file_refusal(movie, movie.entry(i), data)
        if refusal is not None:
            refuse(b"Frame %04X was not substituted from file %s: %s!!!\n" % (i, shown, refusal))
            continue
        log += b"Frame %04X was substituted from file %s...\n" % (i, shown)
        table[i] = data


def padded(chunk):
    """A chunk as laid out: one zero byte after data of odd length, so the next starts even."""
    return chunk + b"\0" if len(chunk) % 2 else chunk


def relaid_length(movie, table):
    total = movie.header_length
    for i in range(movie.used_count):
        if movie.is_live(i):
            length = len(table[i]) if i in table else movie.entry(i).length + 8
            total += length + length % 2
    return total


def relaid(movie, table):
    """The re-laid output, or None when it would not fit the 32-bit container length."""
    if relaid_length(movie, table) > MAX_OUTPUT:
        return None
    header = bytearray(movie.data[:movie.header_length])
    chunks = []
    running = movie.header_length
    for i in range(movie.used_count):
        if not movie.is_live(i):
            continue
        e = movie.entry(i)
        word = movie.order + "I"
        if i in table:
            chunk = table[i]
            struct.pack_into(word, header, 80 + 20 * i, len(chunk) - 8)
        else:
            chunk = movie.data[e.offset:e.offset + 8 + e.length]
        struct.pack_into(word, header, 84 + 20 * i, running)
        chunks.append(padded(chunk))
        running += len(chunks[-1])
    struct.pack_into(movie.order + "I", header, 4, running - 8)
    if movie.capacity > 0:
        struct.pack_into(movie.order + "I", header, 80, running - 8)
    return bytes(header) + b"".join(chunks)


def fatal(outcome, text):
    outcome.stdout += text
    outcome.exit_code = 1
    raise Fatal()


def code_page_of(typed):
    """The code page a --codepage= option names, 0 when none is given (the movie's default is
    taken), or None when it names none on offer."""
    if typed is None:
        return 0
    if not re.fullmatch("[0-9]{1,5}", typed) or int(typed) not in KNOWN_CODE_PAGES:
        return None
    return int(typed)


def input_refusal(full):
    """Why the input at `full` (None: no such path) cannot be opened."""
    if full is None or not os.path.exists(full):
        return b"No such file or directory"
    if os.path.isdir(full):
        return b"it is a folder"
    return b"empty file"


def log_refusal():
    """Why the log cannot be created in `out_dir`, a part of which is a file: POSIX finds no
    folder there, Windows no path."""
    return b"No such file or directory" if conventions.windows else b"Not a directory"


def run(args, cwd):
    outcome = Outcome()
    typed_code_page = None
    while args and args[0].startswith(CODE_PAGE_OPTION):
        typed_code_page = args[0][len(CODE_PAGE_OPTION):]
        args = args[1:]
    unknown = [a for a in args if a.startswith("--")]
    if unknown:
        outcome.stdout += USAGE + b"Unknown option %s!!!\n" % unknown[0].encode(
            "utf-8", "surrogateescape")
        outcome.exit_code = 1
        return outcome
    if len(args) not in (2, 3):
        outcome.stdout += USAGE
        outcome.exit_code = 1
        return outcome
    code_page = code_page_of(typed_code_page)
    if code_page is None:
        outcome.stdout += USAGE + b"Unknown code page %s!!!\n" % typed_code_page.encode(
            "utf-8", "surrogateescape") + OFFERED_CODE_PAGES
        outcome.exit_code = 1
        return outcome
    try:
        _run(args, cwd, outcome, code_page)
    except Fatal:
        pass
    return outcome


def _run(args, cwd, outcome, code_page):
    in_file, files_dir = args[0], args[1]
    out_dir = args[2] if len(args) == 3 else "Out"
    stored = stored_path(in_file, cwd)
    file_name = stored[conventions.last_sep(stored) + 1:]
    stem = file_name.rpartition(".")[0] if "." in file_name else file_name
    outcome.out_dir = out_dir
    typed = in_file.encode("utf-8", "surrogateescape")

    full_input = on_disk(cwd, stored)
    try:
        with open(full_input, "rb") as f:
            data = f.read()
    except (OSError, TypeError):
        data = b""
    if not data:
        fatal(outcome, b"Cannot Open File %s: %s!!!\n" % (typed, input_refusal(full_input)))
    if not container_ok(data):
        fatal(outcome, b"Unknown file format %s!!!\n" % typed)
    # Without an option, Mac movies' texts are in Mac Roman, Windows movies' in 1252.
    code_page = code_page or (10000 if byte_order(data) == ">" else 1252)

    log_path = join(out_dir, stem + ".log")
    output_path = join(out_dir, file_name)
    for path in (output_path, log_path):
        if same_file(on_disk(cwd, path), full_input):
            fatal(outcome, b"Cannot write file %s: it is the input movie!!!\n"
                  % path.encode("utf-8", "surrogateescape"))
    if not folders_can_exist(cwd, out_dir):
        fatal(outcome, b"Cannot write file %s: %s!!!\n"
              % (log_path.encode("utf-8", "surrogateescape"), log_refusal()))
    outcome.log_name = log_path
    outcome.log = bytearray()

    movie = Movie(data)
    table = {}
    refuse = Refusals(outcome.log, outcome)
    raw_pass(movie, cwd, files_dir, stem, table, outcome.log, outcome, refuse)

    def progress(path):
        outcome.stdout += progress_line(path)

    def say(text):
        outcome.stdout += CLEAR_LINE + text
    cast_model.cast_pass(movie, cwd, files_dir, stem, table, outcome.log, progress, say, refuse,
                         code_page)

    replaced = sum(1 for i in table if movie.is_live(i))
    outcome.stdout += CLEAR_LINE + (b"Replaced %d chunks; %d files could not be used (see %s).\n"
                                    % (replaced, refuse.count,
                                       log_path.encode("utf-8", "surrogateescape")))
    shown = output_path.encode("utf-8", "surrogateescape")
    outcome.stdout += b"Writing resulting cast %s...\n" % shown
    output = relaid(movie, table)
    if output is None:
        fatal(outcome, b"Resulting cast %s would exceed 4 GB!!!\n" % shown)
    outcome.output_name = output_path
    outcome.output = output
    outcome.stdout += b"\nJob OK!!!\n"
