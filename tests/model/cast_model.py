"""The cast pass of the model run: cast members' media rebuilt from files.

Called once per successful run by quillon_model between the raw pass and the write pass:

    cast_pass(movie, cwd, files_dir, stem, table, log, progress, say, refuse, code_page)

    movie      quillon_model.Movie (.data, .order, .used_count, .entry(i), .find_chunk(type),
               .chunk_header(type, length)).
    cwd        the folder the run starts in; files_dir is relative to it or absolute.
    files_dir  the FilesDir argument as typed; names are joined with the platform's separator.
    stem       the input's stem.
    table      dict {entry index: complete chunk bytes}; later puts replace earlier ones.
    log        bytearray of log text.
    progress   function(path): a candidate file is opened (noted when it exists).
    say        function(bytes): a line told on standard output.
    refuse     function(bytes): a line refusing a file, for the log and the console both.
    code_page  the number of the code page that texts are written in (one of CODECS).

Images are decoded here from the few forms the random movies use (1-, 4-, 8- and 24-bit BMP, 24-
and 32-bit true-colour TGA). Of the files the random movies hold that do not load, each is
refused for the first reason that applies, in the order of the checks below, and the reason is
logged. Texts are encoded by Python's own codecs, character by character.
"""

import math
import os
import struct

import conventions

COLLISION = b"Frames collision! Frame %04X was alread patched!!! Deleting previous patch...\n"
COLLISION_2 = (b"Frames collision 2! Frame %04X was alread patched!!! "
               b"Deleting previous patch...\n")
COLLISION_3 = (b"Frames collision 3! Frame %04X was alread patched!!! "
               b"Deleting previous patch...\n")
MAX_PLANE = 1 << 30
# The code pages the random cases write their texts in.
CODECS = {1252: "cp1252", 1251: "cp1251", 932: "cp932", 10000: "mac_roman"}


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


def runs(packed):
    """(start, is repeat) of each run of packed rows."""
    i = 0
    while i < len(packed):
        repeat = packed[i] >= 0x80
        yield i, repeat
        i += 2 if repeat else packed[i] + 2


def off_plain_length(packed, plain_length):
    """Packed rows exactly as long as the plain rows would be read as plain rows: the last repeat
    run is then written as literal runs of its bytes, 128 a run, so that the length grows."""
    if len(packed) != plain_length:
        return packed
    repeats = [start for start, repeat in runs(packed) if repeat]
    if not repeats:
        return packed
    at = repeats[-1]
    count, value = 257 - packed[at], packed[at + 1]
    literals = bytearray()
    while count:
        take = min(count, 128)
        literals += bytes([take - 1]) + bytes([value]) * take
        count -= take
    return packed[:at] + bytes(literals) + packed[at + 2:]


# --- images ------------------------------------------------------------------------------

class Image:
    """Pixels by (x, y) from the top left, as 0xAARRGGBB (or a palette index)."""

    def __init__(self, width, height, pixels, true_color=False):
        self.width, self.height, self.pixels = width, height, pixels
        self.true_color = true_color
        self.masks = None  # a 16-bit picture's red, green and blue masks

    def pixel(self, x, y):
        return self.pixels[y * self.width + x]


def load_bmp(data):
    """An Image, or the reason the file is refused."""
    if len(data) < 2:
        return "truncated"
    if data[:2] != b"BM":
        return "no BMP signature (a PNG? save as BMP)"
    if len(data) < 18:
        return "truncated"
    file_size, offset, size = struct.unpack_from("<I4xII", data, 2)
    if size < 40:
        return "unsupported header"
    if offset < 54 or file_size < offset:
        return "inconsistent header"
    if offset > len(data) or len(data) < 54:
        return "truncated"
    width, height, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if size > offset - 14 or width < 0:
        return "inconsistent header"
    if width == 0 or height == 0:
        return "empty image"
    run_length = (compression, bits) in ((1, 8), (2, 4))
    if not run_length and (compression not in (0, 3) or (compression == 3 and bits != 16)):
        return "unsupported compression"
    if bits not in (1, 4, 8, 16, 24):
        return "unsupported depth"  # the random movies write no other depth
    rows = abs(height)
    stride = (width * bits + 31) // 32 * 4
    if run_length:
        pixels = decode_run_length(data[offset:min(file_size, len(data))], bits, width, height)
        if isinstance(pixels, str):
            return pixels
    elif offset + stride * rows > len(data):
        return "truncated"
    else:
        pixels = plain_pixels(data, offset, bits, width, height)
    image = Image(width, rows, pixels, bits == 24)
    if bits == 16:
        # Bit fields keep their masks where a colour table would start; else 5-5-5.
        image.masks = (struct.unpack_from("<III", data, 54) if compression == 3
                       else (0x7C00, 0x03E0, 0x001F))
    elif bits != 24:
        # The random movies write every table with its count (biClrUsed) set.
        count = struct.unpack_from("<I", data, 46)[0]
        image.table = [(data[54 + 4 * i + 2], data[54 + 4 * i + 1], data[54 + 4 * i])
                       for i in range(count)]
    return image


def plain_pixels(data, offset, bits, width, height):
    rows = abs(height)
    stride = (width * bits + 31) // 32 * 4
    pixels = []
    for y in range(rows):
        stored = y if height < 0 else rows - 1 - y
        base = offset + stored * stride
        for x in range(width):
            if bits == 24:
                b, g, r = data[base + 3 * x:base + 3 * x + 3]
                pixels.append(r << 16 | g << 8 | b)
            elif bits == 16:
                pixels.append(struct.unpack_from("<H", data, base + 2 * x)[0])
            else:
                bit = x * bits
                pixels.append(data[base + bit // 8] >> (8 - bits - bit % 8) & ((1 << bits) - 1))
    return pixels


def decode_run_length(encoded, bits, width, height):
    """RLE8 or RLE4 pixels, top row first, or the reason they are refused. Skipped pixels are 0;
    a picture far larger than its bytes could give is refused before anything."""
    rows = abs(height)
    if (width * bits + 31) // 32 * 4 * rows > 256 * len(encoded) + (1 << 20):
        return "too large"
    pixels = [0] * (width * rows)
    x = y = at = 0

    def put(column, value):
        top_row = y if height < 0 else rows - 1 - y
        pixels[top_row * width + column] = value

    def nibble(value, i):
        return value if bits == 8 else (value >> 4 if i % 2 == 0 else value & 15)

    while True:
        if at + 2 > len(encoded):
            return pixels if y >= rows else "truncated"
        count, value = encoded[at], encoded[at + 1]
        at += 2
        if count:
            if y >= rows or x + count > width:
                return "inconsistent header"
            for i in range(count):
                put(x + i, nibble(value, i))
            x += count
        elif value == 0:
            x, y = 0, y + 1
        elif value == 1:
            return pixels
        elif value == 2:
            if at + 2 > len(encoded):
                return "truncated"
            x, y, at = x + encoded[at], y + encoded[at + 1], at + 2
            if x > width or y > rows:
                return "inconsistent header"
        else:
            spelt = value if bits == 8 else (value + 1) // 2
            if at + spelt > len(encoded):
                return "truncated"
            if y >= rows or x + value > width:
                return "inconsistent header"
            for i in range(value):
                put(x + i, nibble(encoded[at + (i if bits == 8 else i // 2)], i))
            x, at = x + value, at + spelt + spelt % 2


def widen(value, mask):
    """The channel under `mask` of a 16-bit pixel, scaled to 0-255 and rounded."""
    if mask == 0:
        return 0
    shift = (mask & -mask).bit_length() - 1
    top = mask >> shift
    return (((value & mask) >> shift) * 255 + top // 2) // top


def packed_colors(image):
    """A 16-bit picture as the colours its pixels hold."""
    red, green, blue = image.masks
    return Image(image.width, image.height,
                 [widen(v, red) << 16 | widen(v, green) << 8 | widen(v, blue)
                  for v in image.pixels], True)


def load_tga(data):
    """An Image, or the reason the file is refused (the random movies write no colour maps)."""
    if data[:2] == b"BM":
        return "a BMP file, not a TGA"
    if len(data) < 18:
        return "truncated"
    image_type, width, height, bits = data[2], *struct.unpack_from("<HH", data, 12), data[16]
    if bits == 0 or bits % 8 or bits > 32:
        return "unsupported depth"
    if width == 0 or height == 0:
        return "empty image"
    refusal = None
    if image_type != 2:
        refusal = "unsupported image type"
    elif bits not in (24, 32):
        refusal = "unsupported depth"
    depth = bits // 8
    if 18 + data[0] + width * height * depth > len(data):
        return refusal or "truncated"
    if refusal:
        return refusal
    top_first = data[17] & 0x20
    pixels = [0] * (width * height)
    for r in range(height):
        y = r if top_first else height - 1 - r
        for x in range(width):
            at = 18 + data[0] + (r * width + x) * depth
            value = int.from_bytes(data[at:at + depth], "little")
            pixels[y * width + x] = value
    return Image(width, height, pixels)


# --- palettes of 8-bit members ---------------------------------------------------------------

def system_mac():
    """Director's System - Mac palette: a 6 x 6 x 6 cube, ramps of red, green, blue and grey."""
    levels = [255, 204, 153, 102, 51, 0]
    cube = [(r, g, b) for r in levels for g in levels for b in levels][:215]
    ramp = [0xEE, 0xDD, 0xBB, 0xAA, 0x88, 0x77, 0x55, 0x44, 0x22, 0x11]
    ramps = ([(v, 0, 0) for v in ramp] + [(0, v, 0) for v in ramp] + [(0, 0, v) for v in ramp]
             + [(v, v, v) for v in ramp])
    return cube + ramps + [(0, 0, 0)]


# The random movies name these two built-in palettes only, by their stored ids, with their
# 16-colour versions for 4-bit members; 1- and 2-bit members have fixed colours.
PALETTES = {0: system_mac(), -2: [(255 - i,) * 3 for i in range(256)]}
PALETTES_16 = {
    0: [(255, 255, 255), (190, 190, 190), (255, 230, 0), (128, 128, 128), (159, 216, 255),
        (124, 96, 27), (0, 158, 0), (142, 210, 0), (222, 0, 191), (141, 0, 163), (250, 0, 57),
        (255, 140, 50), (0, 0, 234), (0, 240, 219), (100, 100, 100), (0, 0, 0)],
    -2: [(v, v, v) for v in (255, 238, 221, 204, 186, 169, 152, 135, 118, 101, 84, 67, 49, 32,
                             15, 0)],
}
FIXED_COLORS = {1: [(255, 255, 255), (0, 0, 0)],
                2: [(255, 255, 255), (172, 172, 172), (85, 85, 85), (0, 0, 0)]}


def member_colors(depth, palette_id, mac=False):
    """The colours a member's indices name. The random movies name known palettes only, but in
    a Mac movie System - Mac stands in for a palette field that is missing."""
    if depth in FIXED_COLORS:
        return FIXED_COLORS[depth]
    if palette_id is None and mac:
        palette_id = 0
    return (PALETTES_16 if depth == 4 else PALETTES)[palette_id]


def nearest_index(color, palette):
    """The first entry at the smallest truncated Euclidean distance."""
    r, g, b = color >> 16 & 0xFF, color >> 8 & 0xFF, color & 0xFF
    best, best_distance = 0, None
    for i, (pr, pg, pb) in enumerate(palette):
        distance = math.isqrt((r - pr) ** 2 + (g - pg) ** 2 + (b - pb) ** 2)
        if best_distance is None or distance < best_distance:
            best, best_distance = i, distance
        if distance == 0:
            break
    return best


def to_indices(image, palette):
    """A true-colour picture as the indices of the nearest colours of the member's palette."""
    nearest = {v: nearest_index(v, palette) for v in set(image.pixels)}
    return Image(image.width, image.height, [nearest[v] for v in image.pixels])


def indices_agree(image, colors):
    """Every index the picture uses names, in its own table, the member's colour of that index;
    indices past the end of the table agree."""
    for index in set(image.pixels):
        if index >= len(image.table):
            continue
        if index >= len(colors) or image.table[index] != colors[index]:
            return False
    return True


def table_colors(image):
    """An indexed picture as the colours its table gives its pixels (black past the table)."""
    def color(index):
        r, g, b = image.table[index] if index < len(image.table) else (0, 0, 0)
        return r << 16 | g << 8 | b
    return Image(image.width, image.height, [color(v) for v in image.pixels], True)


# --- bitmap members ----------------------------------------------------------------------

SUFFIXES = {1: "-1.bmp", 2: "-2.bmp", 4: "-4.bmp", 8: "-8.bmp", 16: "-16.tga", 32: "-32.tga"}


def is_director4(data):
    """Director 4 members start with their u16 specific length: a first u32 above 255."""
    return struct.unpack_from(">I", data, 0)[0] > 255


class BitmapInfo:
    pass


def bitmap_info(fields):
    """The fields of either layout: known (a layout the builders read), specific, width,
    height, depth, palette_id (None without the field)."""
    info = BitmapInfo()
    info.palette_id = None
    if is_director4(fields):
        info.specific, pitch = struct.unpack_from(">H", fields, 0)[0], fields[8] << 8 | fields[9]
        rect = 10
        if pitch & 0x8000:
            info.depth, info.known = fields[31], info.specific >= 26
            if info.specific >= 28 and len(fields) >= 34:
                info.palette_id = struct.unpack_from(">h", fields, 32)[0]
        else:
            info.depth, info.known = 1, info.specific >= 12
    else:
        info_length, info.specific = struct.unpack_from(">II", fields, 4)
        rect = 12 + info_length + 2
        if info.specific == 22:
            info.depth, info.known = 1, True
        else:
            info.depth, info.known = fields[rect + 21], info.specific == 28
            if len(fields) >= rect + 26:
                info.palette_id = struct.unpack_from(">h", fields, rect + 24)[0]
    top, left, bottom, right = struct.unpack_from(">HHHH", fields, rect)
    info.width, info.height = (right - left) & 0xFFFF, (bottom - top) & 0xFFFF
    return info


# --- texts of fields and buttons --------------------------------------------------------------

def stxt_parts(data):
    """(text length, [20-byte style runs]) of an STXT chunk's data; None when it is unreadable."""
    if data is None or len(data) < 12:
        return None
    header, text_length, style_length = struct.unpack_from(">III", data)
    if header != 12 or 12 + text_length + style_length > len(data) or style_length < 2:
        return None
    count = struct.unpack_from(">H", data, 12 + text_length)[0]
    if 2 + 20 * count > style_length:
        return None
    at = 14 + text_length
    return text_length, [data[at + 20 * k:at + 20 * k + 20] for k in range(count)]


def character_bytes(character, codec):
    """The bytes of one character, or None: none without a stand-in, none that give it back,
    none for the C1 controls and the private use area."""
    value = ord(character)
    if 0x80 <= value <= 0x9F or 0xE000 <= value <= 0xF8FF:
        return None
    try:
        data = character.encode(codec)
        return data if data.decode(codec) == character else None
    except UnicodeError:
        return None


def encode_text_file(data, code_page):
    """(text bytes, offsets where characters start) of a text file, or the reason it is
    refused."""
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        return "not UTF-8 text"
    if text.startswith("\ufeff"):
        text = text[1:]
    # The line end editors put after the last line is none of the text's: one LF, CR LF or CR.
    text = text[:-1] if text.endswith("\n") else text
    text = text[:-1] if text.endswith("\r") else text
    text = text.replace("\r\n", "\r").replace("\n", "\r")
    out, starts = bytearray(), set()
    line, column = 1, 0
    for character in text:
        column += 1
        data = character_bytes(character, CODECS[code_page])
        if data is None:
            return "character U+%04X (line %d, column %d) has no byte in code page %d" % (
                ord(character), line, column, code_page)
        starts.add(len(out))
        out += data
        if character == "\r":
            line, column = line + 1, 0
    return bytes(out), starts


def rebuilt_stxt(runs, text, starts):
    """The STXT data holding `text`, with the runs that start inside it."""
    kept = []
    for k, run in enumerate(runs):
        start = struct.unpack_from(">I", run)[0]
        if k == 0:
            start = 0
        elif start >= len(text):
            continue
        while start > 0 and start not in starts:
            start -= 1
        kept.append(struct.pack(">I", start) + run[4:])
    styles = struct.pack(">H", len(kept)) + b"".join(kept)
    return struct.pack(">III", 12, len(text), len(styles)) + text + styles


# --- the pass ------------------------------------------------------------------------------

def reading_order(tag, order):
    """A stored tag in reading order (reversed in a little-endian movie)."""
    return bytes(tag) if order == ">" else bytes(tag)[::-1]


def resolve_slot(word):
    swapped = int.from_bytes(word.to_bytes(4, "little"), "big")
    return word if word < swapped else swapped


def to_1555(v):
    return ((v >> 31) << 15 | ((v >> 19) & 31) << 10 | ((v >> 11) & 31) << 5 | ((v >> 3) & 31))


def row_length(width, depth):
    return (width * depth + 15) // 16 * 2


def member_row(image, y, width, depth, row_bytes):
    row = bytearray(row_bytes)
    if y >= image.height:
        return row
    for x in range(min(width, image.width)):
        v = image.pixel(x, y)
        if depth < 8:
            bit = x * depth
            row[bit // 8] |= (v & ((1 << depth) - 1)) << (8 - depth - bit % 8)
        elif depth == 8:
            row[x] = v & 0xFF
        elif depth == 16:
            q = to_1555(v)
            row[x], row[width + x] = q >> 8, q & 0xFF
        else:
            for plane in range(4):
                row[plane * width + x] = (v >> (24 - 8 * plane)) & 0xFF
    return row


def row_pixels(row, width, depth):
    """The pixel values of one laid-out row, whatever it holds past its last pixel."""
    if depth <= 8:
        return [(row[x * depth // 8] >> (8 - depth - x * depth % 8)) & ((1 << depth) - 1)
                for x in range(width)]
    planes = depth // 8
    return [tuple(row[p * width + x] for p in range(planes)) for x in range(width)]


def member_rows(data, width, depth, plain_length):
    """A BITD or ALFA chunk's rows as the builders lay them out; None when it holds no such
    rows. Data of the plain length is stored as is, each pixel's bytes together; anything else
    is one packed stream."""
    if len(data) == plain_length:
        planes = {16: 2, 32: 4}.get(depth, 1)
        if planes == 1 or width == 0:
            return bytes(data)
        rows = bytearray(plain_length)
        row_bytes = row_length(width, depth)
        for y in range(plain_length // row_bytes):
            for x in range(width):
                for p in range(planes):
                    rows[y * row_bytes + p * width + x] = data[y * row_bytes + x * planes + p]
        return bytes(rows)
    rows = bytearray()
    i = 0
    while i < len(data):
        header = data[i]
        i += 1
        if header < 0x80:
            if len(data) - i < header + 1:
                return None
            rows += data[i:i + header + 1]
            i += header + 1
        else:
            if i >= len(data):
                return None
            rows += bytes([data[i]]) * (257 - header)
            i += 1
        if len(rows) > plain_length:
            return None
    return bytes(rows) if len(rows) == plain_length else None


class Run:
    def __init__(self, movie, cwd, files_dir, stem, table, log, progress, say, refuse,
                 code_page):
        self.movie, self.cwd, self.files_dir, self.stem = movie, cwd, files_dir, stem
        self.table, self.log, self.progress, self.say = table, log, progress, say
        self.refuse, self.code_page = refuse, code_page

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

    def put(self, index, chunk_type, data, collision):
        chunk = self.movie.chunk_header(chunk_type, len(data)) + data
        e = self.movie.entry(index)
        if chunk == self.movie.data[e.offset:e.offset + 8 + e.length]:
            self.refuse.unchanged += 1
            return
        if index in self.table:
            self.log += collision % index
        self.table[index] = self.movie.chunk_header(chunk_type, len(data)) + data

    def gif(self, cast_number, child):
        path = self.file_name(cast_number, ".gif")
        self.progress(path)
        data = self.read(path)
        if data is not None:
            self.put(child, b"XMED", data, COLLISION)

    def text(self, cast_number, member, child, first):
        head = b"Cast %06d->(%04X:%04X): STXT=" % (cast_number, member, child)
        parts = stxt_parts(self.chunk_data(child, self.movie.entry(child).length))
        if parts is None:
            self.log += head + b"unreadable!!!\n"
            return
        length, runs = parts
        data = None
        if first:
            path = self.file_name(cast_number, ".txt")
            self.progress(path)
            data = self.read(path)
        if data is None:
            self.log += head + b"%d bytes\n" % length
            return
        encoded = encode_text_file(data, self.code_page)
        if isinstance(encoded, str):
            self.log += head + b"%d bytes\n" % length
            self.refuse(b"Cannot use file %s: %s!!!\n" % (path.encode(), encoded.encode()))
            return
        text, starts = encoded
        self.log += head + b"%d bytes\n" % len(text)
        self.put(child, b"STXT", rebuilt_stxt(runs, text, starts), COLLISION_3)

    def member_fields(self, member):
        head = self.chunk_data(member, 12)
        if head is None:
            return None
        if is_director4(head):
            with_palette, fields = (34, 32) if head[8] & 0x80 else (18, 18)
        else:
            info_length, specific = struct.unpack_from(">II", head, 4)
            block = 12 + info_length
            with_palette, fields = (block + 10,) * 2 if specific == 22 else (block + 28, block + 24)
        # With the palette reference when the file holds it.
        return self.chunk_data(member, with_palette) or self.chunk_data(member, fields)

    def build(self, cast_number, member, child, fields, alpha):
        kind = b"ALFA" if alpha else b"BITD"
        self.log += b"Cast %06d->(%04X:%04X): %s=" % (cast_number, member, child, kind)
        info = bitmap_info(fields)
        if not info.known:
            specific = struct.unpack("<i", struct.pack("<I", info.specific))[0]
            self.log += b"%d bittype!!!\n" % specific
            return
        depth = 8 if alpha else info.depth
        # An 8-bit member's pixels take "-8.bmp": its alpha channel has a name of its own.
        suffix = "-alpha.bmp" if alpha and info.depth == 8 else SUFFIXES.get(depth)
        if suffix is None:
            self.log += b"%d bitsperpixel!!!\n" % depth
            return
        width, height = info.width, info.height
        row_bytes = row_length(width, depth)
        self.log += b"%dx%dx%d\n" % (width, height, depth)
        if row_bytes * height > MAX_PLANE:
            return
        path = self.file_name(cast_number, suffix)
        self.progress(path)
        data = self.read(path)
        if data is None:
            return
        image = load_bmp(data) if depth <= 8 else load_tga(data)
        if isinstance(image, str):
            self.refuse(b"Cannot use file %s: %s!!!\n" % (path.encode(), image.encode()))
            return
        if (image.width, image.height) != (width, height):
            line = b"Image %s is %dx%d, not %dx%d: cut or padded with zeros\n" % (
                path.encode(), image.width, image.height, width, height)
            self.log += line
            self.say(line)
        if depth <= 8 and not alpha:
            image = self.in_member_colors(image, info, depth, path)
        rows = [member_row(image, y, width, depth, row_bytes) for y in range(height)]
        stored = self.chunk_data(child, self.movie.entry(child).length)
        stored = None if stored is None else member_rows(stored, width, depth, row_bytes * height)
        if stored is not None and all(
                row_pixels(rows[y], width, depth) ==
                row_pixels(stored[y * row_bytes:(y + 1) * row_bytes], width, depth)
                for y in range(height)):
            self.refuse.unchanged += 1
            return
        packed = bytearray()
        for row in rows:
            packed += pack_row(row)
        self.put(child, kind, off_plain_length(bytes(packed), row_bytes * height),
                 COLLISION_2)

    def in_member_colors(self, image, info, depth, path):
        colors = member_colors(depth, info.palette_id, self.movie.order == ">")
        if image.true_color:
            return to_indices(image, colors)
        if image.masks is not None:
            self.log += b"Colours of %s mapped to the member's palette\n" % path.encode()
            return to_indices(packed_colors(image), colors)
        if indices_agree(image, colors):
            return image
        self.log += b"Colours of %s mapped to the member's palette\n" % path.encode()
        return to_indices(table_colors(image), colors)

    def keys(self):
        """(child, owner, child's type in reading order), the fields in the movie's order."""
        found = self.movie.find_chunk(b"KEY*")
        data, length = found
        order = self.movie.order
        if length < 12:
            return []
        count = struct.unpack_from(order + "I", data, 8)[0]
        keys = []
        for j in range(min(count, (length - 12) // 12)):
            child, owner = struct.unpack_from(order + "II", data, 12 + 12 * j)
            child_type = reading_order(data[20 + 12 * j:24 + 12 * j], order)
            if child < self.movie.used_count and owner < self.movie.used_count:
                keys.append((child, owner, child_type))
        return keys

    def walk(self):
        cast = self.movie.find_chunk(b"CAS*")
        if cast is None or self.movie.find_chunk(b"KEY*") is None:
            return
        keys = self.keys()
        data, length = cast
        for slot in range(length // 4):
            member = resolve_slot(struct.unpack_from("<I", data, 4 * slot)[0])
            for child, owner, tag in keys:
                if owner != member:
                    continue
                if tag == b"XMED":
                    if self.chunk_data(child, 6) == b"GIF89a":
                        self.gif(slot + 1, child)
                elif tag in (b"BITD", b"ALFA"):
                    fields = self.member_fields(member)
                    if fields is not None:
                        self.build(slot + 1, member, child, fields, tag == b"ALFA")
                elif tag == b"STXT":
                    first = next(c for c, o, t in keys if o == member and t == b"STXT")
                    self.text(slot + 1, member, child, child == first)


def cast_pass(movie, cwd, files_dir, stem, table, log, progress, say, refuse, code_page):
    Run(movie, cwd, files_dir, stem, table, log, progress, say, refuse, code_page).walk()
