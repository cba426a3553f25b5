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


def read_u32(data, offset, order):
    return struct.unpack_from(order + "I", data, offset)[0] if offset + 4 <= len(data) else None


def map_offset_of(data, order):
    """The current map: where the imap points when a map chunk stands there, else 44."""
    pointed = read_u32(data, 24, order)
    if pointed is not None and data[pointed:pointed + 4] == stored_tag(b"mmap", order):
        return pointed
    return 44


class Movie:
    def __init__(self, data):
        self.data = data
        self.order = byte_order(data) or "<"
        self.map_offset = map_offset_of(data, self.order)
        self.capacity, self.used_count = struct.unpack_from(self.order + "II", data,
                                                            self.map_offset + 12)
        self.header_length = 76 + 20 * self.capacity
        self.compacted = self.map_offset == 44
        # Where chunks may begin: after the map in a compacted movie, else after the imap.
        self.header_end = self.header_length if self.compacted else 44

    def entry_at(self, i):
        return self.map_offset + 32 + 20 * i

    def entry(self, i):
        at = self.entry_at(i)
        tag = bytes(self.data[at:at + 4])
        length, offset, flags = struct.unpack_from(self.order + "III", self.data, at + 4)
        return Entry(tag, stored_tag(tag, self.order), length, offset, flags)

    def is_live(self, i):
        e = self.entry(i)
        if e.type in (b"free", b"mmap") or e.offset < self.header_end:
            return False
        # Saved without compacting, Director leaves flags on real chunks.
        return e.flags == 0 if self.compacted else e.type != b"junk"

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


def container_damage(data):
    """None for a movie the tool reads; else "unknown", "compressed" or the damage's text."""
    order = byte_order(data)
    if order is None or len(data) > MAX_OUTPUT:
        return "unknown"
    if len(data) < 12:
        return "truncated"
    if data[8:12] in (stored_tag(b"FGDM", order), stored_tag(b"FGDC", order)):
        return "compressed"
    if len(data) < 16:
        return "truncated"
    if data[12:16] != stored_tag(b"imap", order):
        return "unknown"
    if len(data) < 28:
        return "truncated"
    pointed = read_u32(data, 24, order)
    if data[pointed:pointed + 4] != stored_tag(b"mmap", order):
        if len(data) < 48:
            return "truncated"
        if pointed + 4 > len(data):
            return "map outside the file"
        if data[44:48] != stored_tag(b"mmap", order):
            return "unknown"
    at = map_offset_of(data, order)
    if at + 12 > len(data):
        return "truncated"
    if struct.unpack_from(order + "HH", data, at + 8) != (24, 20):
        return "map header of another size"
    if at + 20 > len(data):
        return "truncated"
    movie = Movie(data)
    if movie.used_count > movie.capacity:
        return "map header of another size"
    if at + 32 + 20 * movie.capacity > len(data):
        return "truncated"
    for i in range(movie.used_count):
        e = movie.entry(i)
        if movie.is_live(i) and e.offset + 8 + e.length > len(data):
            return "chunk %04X outside the file" % i
    return None


class Refusals:
    """Lines that refuse a replacement file: in the log, and on the console (no colours and no
    progress lines: the runs' output is a pipe). Also counts the files that give back what the
    movie holds."""

    def __init__(self, log, outcome):
        self.log, self.outcome, self.count, self.unchanged = log, outcome, 0, 0

    def __call__(self, line):
        self.log += line
        self.outcome.stdout += line
        self.count += 1


class FilesRead:
    """The files of FilesDir that the passes opened, by the names they were opened with, as the
    file system tells names apart (on Windows without regard to case, and without the spaces
    and dots a name ends in)."""

    def __init__(self, cwd):
        self.cwd, self.paths = cwd, set()

    @staticmethod
    def key(path):
        if not conventions.windows:
            return path
        cut = conventions.last_sep(path) + 1
        return (path[:cut] + path[cut:].rstrip(" .")).lower()

    def __call__(self, path):
        full = on_disk(self.cwd, path)
        if full is not None and os.path.isfile(full):
            self.paths.add(self.key(path))

    def holds(self, path):
        return self.key(path) in self.paths


def folder_listing(cwd, files_dir):
    """The files under FilesDir as the run lists them: each folder's files in name order, then
    its subfolders' (four levels down at most); None when there is no such folder."""
    top = on_disk(cwd, files_dir)
    if top is None or not os.path.isdir(top):
        return None
    listed = []

    def walk(typed, full, depth):
        names = sorted(os.listdir(full))
        for name in names:
            if os.path.isfile(os.path.join(full, name)):
                listed.append((join(typed, name), os.path.join(full, name)))
        if depth < 4:
            for name in names:
                if os.path.isdir(os.path.join(full, name)):
                    walk(join(typed, name), os.path.join(full, name), depth + 1)
    walk(files_dir, top, 0)
    return listed


def starts_with_stem(name, stem):
    """The stem, then "-" or "." or nothing."""
    head, rest = name[:len(stem)], name[len(stem):]
    same = head.lower() == stem.lower() if conventions.windows else head == stem
    return same and (rest == "" or rest[0] in "-.")


def report_unused(files_dir, stem, listed, read, log, outcome):
    of_movie = [(typed, full) for typed, full in listed
                if starts_with_stem(typed[len(files_dir) + 1:], stem)]
    unused = [typed for typed, full in of_movie
              if typed != join(files_dir, stem + ".csv") and not read.holds(typed)]
    for typed in unused:
        log += b"Not used: %s\n" % typed.encode("utf-8", "surrogateescape")
    if unused:
        outcome.stdout += b"%d files in %s match nothing in this movie (first: %s)\n" % (
            len(unused), files_dir.encode("utf-8", "surrogateescape"),
            unused[0].encode("utf-8", "surrogateescape"))
    elif listed and not of_movie:
        line = b"No file in %s starts with %s, the name of this movie\n" % (
            files_dir.encode("utf-8", "surrogateescape"), stem.encode("utf-8", "surrogateescape"))
        log += line
        outcome.stdout += line


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


def raw_pass(movie, cwd, files_dir, stem, table, log, read, refuse):
    for i in range(movie.used_count):
        if not movie.is_live(i):
            continue
        paths = raw_file_paths(files_dir, "%s-%06d.%s" % (stem, i,
                                                          extension_of(movie.entry(i).type)))
        found = [(path, on_disk(cwd, path)) for path in paths]
        found = [(path, full) for path, full in found if full is not None and os.path.isfile(full)]
        if not found:
            continue
        path, full = found[0]
        read(path)
        with open(full, "rb") as f:
            data = f.read()
        shown = path.encode("utf-8", "surrogateescape")
        refusal = chunk_file_refusal(movie, movie.entry(i), data)
        if refusal is not None:
            refuse(b"Frame %04X was not substituted from file %s: %s!!!\n" % (i, shown, refusal))
            continue
        e = movie.entry(i)
        if data == movie.data[e.offset:e.offset + 8 + e.length]:
            refuse.unchanged += 1
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
    """The re-laid output, or None when it would not fit the 32-bit container length: the header
    region with the current map at 44, then the live chunks in the order the input holds them.
    An odd kept chunk's pad byte is the input's when the next chunk or the file's end follows
    right after it, else zero; a replacement's is zero."""
    if relaid_length(movie, table) > MAX_OUTPUT:
        return None
    data, order = movie.data, movie.order
    header = bytearray(data[:44] + data[movie.map_offset:movie.map_offset + movie.header_length
                                       - 44])
    live = sorted((movie.entry(i).offset, i) for i in range(movie.used_count)
                  if movie.is_live(i))
    chunks = []
    running = movie.header_length
    for k, (offset, i) in enumerate(live):
        e = movie.entry(i)
        at = 80 + 20 * i
        if i in table:
            chunk = padded(table[i])
            struct.pack_into(order + "I", header, at, len(table[i]) - 8)
        else:
            end = offset + 8 + e.length
            following = live[k + 1][0] if k + 1 < len(live) else len(data)
            chunk = data[offset:end]
            if len(chunk) % 2:
                chunk += data[end:end + 1] if end + 1 == following else b"\0"
        struct.pack_into(order + "I", header, at + 4, running)
        chunks.append(chunk)
        running += len(chunk)
    struct.pack_into(order + "I", header, 4, running - 8)
    if movie.capacity > 0:
        struct.pack_into(order + "I", header, 80, running - 8)
    if not movie.compacted:
        for i in range(movie.used_count):
            e = movie.entry(i)
            if e.type == b"mmap" and e.offset == movie.map_offset:
                struct.pack_into(order + "I", header, 84 + 20 * i, 44)
    struct.pack_into(order + "I", header, 24, 44)
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
    damage = container_damage(data)
    if damage == "unknown":
        fatal(outcome, b"Unknown file format %s!!!\n" % typed)
    if damage == "compressed":
        fatal(outcome, b"Cannot read %s: a compressed Shockwave movie, which this tool does not "
                       b"rebuild!!!\n" % typed)
    if damage is not None:
        fatal(outcome, b"Cannot read %s: damaged movie (%s)!!!\n" % (typed, damage.encode()))
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
    read = FilesRead(cwd)
    listed = folder_listing(cwd, files_dir)
    if listed is None:
        line = b"Folder %s does not exist: nothing is replaced\n" % files_dir.encode(
            "utf-8", "surrogateescape")
        outcome.log += line
        outcome.stdout += line
    raw_pass(movie, cwd, files_dir, stem, table, outcome.log, read, refuse)

    def say(text):
        outcome.stdout += text
    cast_model.cast_pass(movie, cwd, files_dir, stem, table, outcome.log, read, say, refuse,
                         code_page)
    if listed is not None:
        report_unused(files_dir, stem, listed, read, outcome.log, outcome)

    replaced = sum(1 for i in table if movie.is_live(i))
    outcome.stdout += (b"Replaced %d chunks; %d files unchanged; %d files could not be used "
                       b"(see %s).\n" % (replaced, refuse.unchanged, refuse.count,
                                         log_path.encode("utf-8", "surrogateescape")))
    shown = output_path.encode("utf-8", "surrogateescape")
    outcome.stdout += b"Writing resulting cast %s...\n" % shown
    output = relaid(movie, table)
    if output is None:
        fatal(outcome, b"Resulting cast %s would exceed 4 GB!!!\n" % shown)
    outcome.output_name = output_path
    outcome.output = output
    outcome.stdout += b"\nJob OK!!!\n"
