"""The cast pass of the model run: cast members' media rebuilt from files.

Called once per successful run by quillon_model between the raw pass and the write pass:

    cast_pass(movie, cwd, files_dir, stem, table, log, progress, say)

    movie      quillon_model.Movie (.data, .used_count, .entry(i), .find_chunk(stored_tag)).
    cwd        the folder the run starts in; files_dir is relative to it or absolute.
    files_dir  the FilesDir argument as typed; names are joined with the platform's separator.
    stem       the input's stem.
    table      dict {entry index: complete chunk bytes}; later puts replace earlier ones.
    log        bytearray of log text.
    progress   function(path): the progress line for a candidate file.
    say        function(bytes): other text on standard output.

Images are decoded here from the few forms the random movies use (8- and 24-bit BMP, 24- and
32-bit true-colour TGA); anything else counts as an image that does not load.
"""

import os
import struct

import conventions

COLLISION = b"Frames collision! Frame %04X was alread patched!!! Deleting previous patch...\n"
COLLISION_2 = (b"Frames collision 2! Frame %04X was alread patched!!! "
               b"Deleting previous patch...\n")
MAX_PLANE = 1 << 30


# --- the packed row form -------------------------------------------------------------------

def pack_row(row):
    """The movie's run-length form of one row, written run by run from the left."""
    out = bytearray()
    n = len(row)
    i = 0
    while i < n:
        if i + 1 == n:
            out += bytes([0, row[i]])
            break
        if row[i] == row[i + 1]:
            j = i + 2
            while j < n and j - i < 129 and row[j] == row[i]:
                j += 1
            out += bytes([257 - (j - i), row[i]])
            i = j
            continue
        # A literal run: stop before two equal neighbours, or when full at 128.
        j = i + 2
        while j < n and j - i < 128:
            if row[j] == row[j - 1]:
                j -= 1
                break
            j += 1
        out.append(j - i - 1)
        out += row[i:j]
        i = j
    return bytes(out)


# --- images ------------------------------------------------------------------------------

class Image:
    """Pixels by (x, y) from the top left, as 0xAARRGGBB (or a palette index)."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def pixel(self, x, y):
        return self.pixels[y * self.width + x]


def load_bmp(data):
    if len(data) < 54 or data[:2] != b"BM":
        return None
    offset = struct.unpack_from("<I", data, 10)[0]
    size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if size != 40 or compression != 0 or bits not in (8, 24) or width <= 0 or height == 0:
        return None
    rows = abs(height)
    stride = (width * bits // 8 + 3) // 4 * 4
    if offset + stride * rows > len(data):
        return None
    pixels = []
    for y in range(rows):
        stored = y if height < 0 else rows - 1 - y
        base = offset + stored * stride
        for x in range(width):
            if bits == 8:
                pixels.append(data[base + x])
            else:
                b, g, r = data[base + 3 * x:base + 3 * x + 3]
                pixels.append(r << 16 | g << 8 | b)
    return Image(width, rows, pixels)


def load_tga(data):
    if len(data) < 18 or data[2] != 2 or data[16] not in (24, 32):
        return None
    width, height = struct.unpack_from("<HH", data, 12)
    depth = data[16] // 8
    if width == 0 or height == 0 or 18 + width * height * depth > len(data):
        return None
    top_first = data[17] & 0x20
    pixels = [0] * (width * height)
    for r in range(height):
        y = r if top_first else height - 1 - r
        for x in range(width):
            at = 18 + (r * width + x) * depth
            value = int.from_bytes(data[at:at + depth], "little")
            pixels[y * width + x] = value
    return Image(width, height, pixels)


# --- the pass ------------------------------------------------------------------------------

def resolve_slot(word):
    swapped = int.from_bytes(word.to_bytes(4, "little"), "big")
    return word if word < swapped else swapped


def to_1555(v):
    return ((v >> 31) << 15 | ((v >> 19) & 31) << 10 | ((v >> 11) & 31) << 5 | ((v >> 3) & 31))


def member_row(image, y, width, depth, row_bytes):
    row = bytearray(row_bytes)
    if y >= image.height:
        return row
    for x in range(min(width, image.width)):
        v = image.pixel(x, y)
        if depth == 8:
            row[x] = v & 0xFF
        elif depth == 16:
            q = to_1555(v)
            row[x], row[width + x] = q >> 8, q & 0xFF
        else:
            for plane in range(4):
                row[plane * width + x] = (v >> (24 - 8 * plane)) & 0xFF
    return row


class Run:
    def __init__(self, movie, cwd, files_dir, stem, table, log, progress, say):
        self.movie, self.cwd, self.files_dir, self.stem = movie, cwd, files_dir, stem
        self.table, self.log, self.progress, self.say = table, log, progress, say
        self.warned = False

    def chunk_data(self, index, length):
        start = self.movie.entry(index).offset + 8
        if start + length > len(self.movie.data):
            return None
        return self.movie.data[start:start + length]

    def file_name(self, cast_number, suffix):
        return conventions.join(self.files_dir, "%s-%06d%s" % (self.stem, cast_number, suffix))

    def read(self, path):
        full = conventions.on_disk(self.cwd, path)
        if full is None or not os.path.isfile(full):
            return None
        with open(full, "rb") as f:
            return f.read()

    def put(self, index, tag, data, collision):
        if index in self.table:
            self.log += collision % index
        self.table[index] = tag + struct.pack("<I", len(data)) + data

    def gif(self, cast_number, child):
        path = self.file_name(cast_number, ".gif")
        self.progress(path)
        data = self.read(path)
        if data is not None:
            self.put(child, b"DEMX", data, COLLISION)

    def member_fields(self, member):
        head = self.chunk_data(member, 12)
        if head is None:
            return None
        info_length = struct.unpack_from(">I", head, 4)[0]
        return self.chunk_data(member, info_length + 36)

    def build(self, cast_number, member, child, fields, alpha):
        kind = b"ALFA" if alpha else b"BITD"
        self.log += b"Cast %06d->(%04X:%04X): %s=" % (cast_number, member, child, kind)
        info_length, specific = struct.unpack_from(">II", fields, 4)
        top, left, bottom, right = struct.unpack_from(">HHHH", fields, 12 + info_length + 2)
        depth = 8 if alpha else fields[12 + info_length + 23]
        width, height = (right - left) & 0xFFFF, (bottom - top) & 0xFFFF
        if specific != 28:
            self.log += b"%d bittype!!!\n" % struct.unpack("<i", struct.pack("<I", specific))[0]
            return
        if depth == 0 or depth % 8:
            self.log += b"%d bitsperpixel!!!\n" % depth
            return
        per_pixel = depth // 8
        row_bytes = per_pixel * ((per_pixel * width + 1) // 2 * 2 // per_pixel)
        self.log += b"%dx%dx%d\n" % (width, height, depth)
        suffix = {8: "-8.bmp", 16: "-16.tga", 32: "-32.tga"}.get(depth)
        if row_bytes * height > MAX_PLANE or suffix is None:
            return
        path = self.file_name(cast_number, suffix)
        self.progress(path)
        data = self.read(path)
        image = None
        if data is not None:
            image = load_bmp(data) if depth == 8 else load_tga(data)
        if image is None:
            return
        if width and height and (width > image.width or height > image.height):
            self.warn()
        packed = bytearray()
        for y in range(height):
            packed += pack_row(member_row(image, y, width, depth, row_bytes))
        self.put(child, kind[::-1], bytes(packed), COLLISION_2)

    def warn(self):
        if not self.warned:
            self.say(b"Error in assertion!!!\n")
            self.warned = True

    def keys(self):
        found = self.movie.find_chunk(b"*YEK")
        data, length = found
        if length < 12:
            return []
        count = struct.unpack_from("<I", data, 8)[0]
        keys = []
        for j in range(min(count, (length - 12) // 12)):
            child, owner = struct.unpack_from("<II", data, 12 + 12 * j)
            tag = data[20 + 12 * j:24 + 12 * j]
            if child < self.movie.used_count and owner < self.movie.used_count:
                keys.append((child, owner, tag))
        return keys

    def walk(self):
        cast = self.movie.find_chunk(b"*SAC")
        if cast is None or self.movie.find_chunk(b"*YEK") is None:
            return
        keys = self.keys()
        data, length = cast
        for slot in range(length // 4):
            member = resolve_slot(struct.unpack_from("<I", data, 4 * slot)[0])
            for child, owner, tag in keys:
                if owner != member:
                    continue
                if tag == b"DEMX":
                    if self.chunk_data(child, 6) == b"GIF89a":
                        self.gif(slot + 1, child)
                elif tag in (b"DTIB", b"AFLA"):
                    fields = self.member_fields(member)
                    if fields is not None:
                        self.build(slot + 1, member, child, fields, tag == b"AFLA")


def cast_pass(movie, cwd, files_dir, stem, table, log, progress, say):
    Run(movie, cwd, files_dir, stem, table, log, progress, say).walk()
