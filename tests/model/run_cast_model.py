"""Runs the quillon executable on random movies with cast media and compares every result
with the model, byte for byte (standard output, exit code, log, output file, input untouched).

    python3 run_cast_model.py PATH_TO_QUILLON [--count N] [--seed S] [--keep]

Each case is a Windows movie or now and then a Mac one (big-endian, its texts in Mac Roman
unless the command line names a code page), with cast and key tables over bitmap members of
every depth in both member layouts (Director 4 and 5), with alpha channels and GIF media; slots
in both byte orders, repeated, zero or naming nothing; keys out of order, naming no slot or
entries beyond the map; members refused for their specific length or depth, with rectangles off
the origin or running backwards, or cut off by the end of the file; and in FilesDir 1-, 4-, 8-
and 24-bit BMPs whose colour tables agree with the member's colours or not, 16-bit ones (5-5-5
and bit fields 5-6-5) mapped by their colours, alpha pictures of their own for 8-bit members
("-alpha.bmp"), 24- and 32-bit TGAs
stored either way up, run-length BMPs (RLE8 and RLE4 with every escape), and refused ones
(16-bit and greyscale TGAs, BMPs under a TGA's name, run-length BMPs at other depths or with
runs past their rows, files cut short, broken headers), GIF files and raw replacements that the
builders displace. Field and
button members own STXT chunks (now and then two, or one that cannot be read) with style runs
anywhere in their text, and FilesDir holds their texts in UTF-8 with any line ends and a byte-
order mark, and refused ones (characters the code page lacks, bytes that are no UTF-8); the
command line names a code page, or one on offer in another spelling, or none it offers.
"""

import struct
import sys

import cast_model
import quillon_model
import run_model

STEM = "m"
FILES_DIR = "f"


def runs_of_pixels(rng, count, bits):
    """Random pixel values with runs, so that both kinds of packed run turn up."""
    pixels = []
    while len(pixels) < count:
        value = rng.getrandbits(bits)
        pixels += [value] * min(rng.choice([1, 1, 2, 3, 7, 140]), count - len(pixels))
    return pixels


def encode_bmp(width, height, bits, pixels, top_first, table, compression=0, body=None):
    """A BMP of `bits` (1, 4, 8, 16 or 24); `table` holds the colour table's (r, g, b) entries,
    or at 16 bits with bit fields (compression 3) the masks; `body`, when given, stands for the
    pixel rows."""
    stride = (width * bits + 31) // 32 * 4
    if bits == 16:
        palette = struct.pack("<3I", *table) if compression == 3 else b""
    else:
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    rows = []
    for y in range(height):
        row = bytearray(stride)
        for x, v in enumerate(pixels[y * width:(y + 1) * width]):
            if bits >= 16:
                row[bits // 8 * x:bits // 8 * (x + 1)] = struct.pack("<I", v)[:bits // 8]
            else:
                bit = x * bits
                row[bit // 8] |= (v & ((1 << bits) - 1)) << (8 - bits - bit % 8)
        rows.append(bytes(row))
    if not top_first:
        rows.reverse()
    offset = 14 + 40 + len(palette)
    body = b"".join(rows) if body is None else body
    header = b"BM" + struct.pack("<IHHI", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_first else height, 1, bits,
                       compression, len(body), 2835, 2835, len(table) if bits < 16 else 0, 0)
    return header + info + palette + body


def encode_tga(width, height, depth, pixels, top_first, image_type=2):
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, image_type, 0, 0, 0, 0, 0, width, height, depth,
                         0x20 if top_first else 0)
    rows = [b"".join(v.to_bytes(4, "little")[:depth // 8]
                     for v in pixels[y * width:(y + 1) * width]) for y in range(height)]
    if not top_first:
        rows.reverse()
    return header + b"".join(rows)


# What the random texts are made of in each code page, and characters it lacks.
TEXT_ALPHABETS = {1252: "Hallo Welt! \u00e4\u00f6\u00fc\u00df \u00e9 \u20ac",
                  10000: "Gr\u00fc\u00dfe \u00e0 \u00e7a \u00f1 \u2020\u2022 \u03a9\u2206 ab",
                  1251: "\u041f\u0440\u0438\u0432\u0435\u0442 \u0416\u044f \u20ac ab",
                  932: "\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8 \uff71\uff72 ab"}
# In Mac Roman the ohm sign and the Greek delta, which other systems' tables give 0xBD and 0xC6.
FOREIGN = {1252: "\u0416\u65e5\u0100", 10000: "\u0416\u65e5\u0100\u2126\u0394",
           1251: "\u00e4\u65e5", 932: "\u00e4\u20ac"}
# Characters no code page gives: C1 controls, the private use area, a byte-order mark inside.
NEVER = "\u0081\ue000\ufeff"
NOT_UTF8 = [b"\xff", b"\xc0\xaf", b"\xed\xa0\x80", b"\xe6\x97", b"\x80", b"\xf4\x90\x80\x80"]
# What follows --codepage= (None: no option), and now and then what names no code page on offer.
CODE_PAGE_OPTIONS = [None, None, None, "1252", "1251", "1251", "932", "932", "932", "01251",
                     "10000"]
UNKNOWN_CODE_PAGES = ["1234", "abc", "", "001252"]


def random_text(rng, code_page, length):
    return "".join(rng.choice(TEXT_ALPHABETS[code_page] + "\r") for _ in range(length))


def stxt_data(rng, code_page):
    """An STXT chunk's data: the text, runs starting anywhere in it (some past its end), and now
    and then a header, a length or a run count that makes it unreadable, or bytes after it."""
    text = random_text(rng, code_page, rng.randint(0, 30)).encode(
        cast_model.CODECS[code_page])
    count = rng.choice([0, 1, 1, 1, 2, 3, 5])
    starts = sorted(rng.randint(0, len(text) + 2) for _ in range(count))
    if starts and rng.random() < 0.8:
        starts[0] = 0
    styles = struct.pack(">H", count) + b"".join(
        struct.pack(">I", start) + bytes(rng.getrandbits(8) for _ in range(16))
        for start in starts)
    header, text_length, style_length = 12, len(text), len(styles)
    spoil = rng.random()
    if spoil < 0.04:
        header = rng.choice([0, 11, 13])
    elif spoil < 0.08:
        text_length += rng.randint(1, 40)
    elif spoil < 0.12:
        style_length = rng.choice([0, 1, style_length - 1, style_length + 5])
    data = struct.pack(">III", header, text_length, max(style_length, 0)) + text + styles
    return data + bytes(rng.choice([0, 0, 0, 0, 3]))


def text_file(rng, code_page):
    """A member's text in UTF-8, with any line ends; now and then a byte-order mark, or a
    character the code page lacks, or bytes that are no UTF-8."""
    text = random_text(rng, code_page, rng.choice([0, rng.randint(1, 40)]))
    text = "".join(rng.choice(["\r", "\n", "\r\n"]) if c == "\r" else c for c in text)
    at = rng.randint(0, len(text))
    kind = rng.choices(["plain", "foreign", "never", "not utf8"], [80, 8, 5, 7])[0]
    if kind == "foreign":
        text = text[:at] + rng.choice(FOREIGN[code_page]) + text[at:]
    elif kind == "never":
        text = text[:at] + rng.choice(NEVER) + text[at:]
    data = text.encode("utf-8")
    if kind == "not utf8":
        cut = len(text[:at].encode("utf-8"))
        data = data[:cut] + rng.choice(NOT_UTF8) + data[cut:]
    if rng.random() < 0.4:
        data += rng.choice([b"\n", b"\r\n", b"\r", b"\n\n", b"\r\n\r\n"])  # as editors end it
    return (b"\xef\xbb\xbf" if rng.random() < 0.2 else b"") + data


def add_text_member(rng, movie, keys, code_page):
    """A field or button member (its own data is never read) with one STXT child, now and then
    two."""
    member = movie.add(b"CASt", bytes(rng.getrandbits(8) for _ in range(rng.randint(0, 20))))
    for _ in range(1 if rng.random() < 0.85 else 2):
        keys.append((movie.add(b"STXT", stxt_data(rng, code_page)), member, b"STXT"))
    return member, None


def rectangle(rng, width, height):
    top, left = rng.choice([0, 0, rng.randint(1, 300)]), rng.choice([0, 0, rng.randint(1, 300)])
    return struct.pack(">HHHH", top, left, (top + height) & 0xFFFF, (left + width) & 0xFFFF)


def member_data(rng, width, height, depth, specific, palette_id):
    """A Director 5 bitmap member: a type of at most 255, its lengths, the info block, then the
    specific block (22 bytes, with no depth or palette, for the specific length 22)."""
    info_length = rng.choice([0, 0, 1, 3, 7, 20])
    block = bytearray(rng.getrandbits(8) for _ in range(22 if specific == 22 else 28))
    block[2:10] = rectangle(rng, width, height)
    if specific != 22:
        block[23] = depth
        # The member's own cast and one of the two built-in palettes the model knows.
        struct.pack_into(">hh", block, 24, -1, palette_id)
    return (struct.pack(">III", rng.randint(0, 255), info_length, specific)
            + bytes(rng.getrandbits(8) for _ in range(info_length)) + bytes(block)
            + bytes(rng.getrandbits(8) for _ in range(rng.choice([0, 0, 5]))))


def director4_member_data(rng, width, height, depth, specific, palette_id):
    """A Director 4 bitmap member: its specific fields (from +6, `specific` bytes: the depth
    and palette follow when the pitch's top bit says so), then the info block."""
    info_length = rng.choice([0, 0, 3, 20])
    fields = bytearray(rng.getrandbits(8) for _ in range(max(specific, 28)))
    fields[0] = 1  # a bitmap
    pitch = (width * depth + 15) // 16 * 2 & 0x0FFF
    struct.pack_into(">H", fields, 2, pitch | (0x8000 if depth != 1 else 0))
    fields[4:12] = rectangle(rng, width, height)
    fields[25] = depth
    struct.pack_into(">h", fields, 26, palette_id)
    return (struct.pack(">HI", specific, info_length) + bytes(fields[:specific])
            + bytes(rng.getrandbits(8) for _ in range(info_length)))


class CastMovie:
    """Chunks with entries in creation order after the three standard entries, in a Windows
    movie (`order` "<") or a Mac one (">")."""

    def __init__(self, order):
        self.order = order
        self.chunks = []  # [type in reading order, data, flags]

    def add(self, chunk_type, data, flags=0):
        self.chunks.append([chunk_type, data, flags])
        return len(self.chunks) + 2

    def stored(self, chunk_type):
        return quillon_model.stored_tag(chunk_type, self.order)

    def word(self, value):
        return struct.pack(self.order + "I", value)

    def build(self, rng, cut_last):
        capacity = len(self.chunks) + 3 + rng.randint(0, 3)
        header_length = 76 + 20 * capacity
        order = list(range(len(self.chunks)))
        rng.shuffle(order)
        if cut_last is not None:
            order.remove(cut_last)
            order.append(cut_last)
        body = bytearray()
        offsets = {}
        for i in order:
            chunk_type, data, _ = self.chunks[i]
            offsets[i] = header_length + len(body)
            body += self.stored(chunk_type) + self.word(len(data)) + data
        if cut_last is not None:
            del body[len(body) - rng.randint(1, 20):]
            self.chunks[cut_last][2] |= 1  # not live: the container check would refuse it
        total = header_length + len(body)
        used = len(self.chunks) + 3
        words = self.order + "IIII"
        out = bytearray(self.stored(b"RIFX") + self.word(total - 8) + self.stored(b"MV93"))
        out += self.stored(b"imap") + self.word(24) + bytes(24)
        out += self.stored(b"mmap") + self.word(24 + 20 * capacity)
        out += struct.pack(self.order + "HHII", 24, 20, capacity, used) + bytes(12)
        out += self.stored(b"RIFX") + struct.pack(words, total - 8, 0, 1, 0)
        out += self.stored(b"imap") + struct.pack(words, 24, 12, 1, 0)
        out += self.stored(b"mmap") + struct.pack(words, 24 + 20 * capacity, 44, 0, 0)
        for i, (chunk_type, data, flags) in enumerate(self.chunks):
            out += self.stored(chunk_type) + struct.pack(words, len(data), offsets[i], flags, 0)
        out += bytes(header_length - len(out))
        return bytes(out + body)


class Size:
    """What the images for a member go by: its size, depth and colours (None when the member's
    palette is one the model does not hold)."""

    def __init__(self, width, height, depth, colors):
        self.width, self.height, self.depth, self.colors = width, height, depth, colors


def add_member(rng, movie, keys):
    depth = rng.choice([8, 8, 16, 16, 32, 32, 4, 4, 2, 2, 1, 1, 0, 24, 3])
    width = rng.choice([rng.randint(0, 9), rng.randint(0, 9), rng.randint(120, 300), 65535])
    height = rng.randint(0, 6) if width < 1000 else rng.randint(0, 2)
    palette_id = rng.choice([0, -2])
    colors = cast_model.member_colors(depth, palette_id) if depth in (1, 2, 4, 8) else None
    if rng.random() < 0.3:
        specific = rng.choice([28 if depth != 1 else 24] * 8 + [26, 20, 8])
        data = director4_member_data(rng, width, height, depth, specific, palette_id)
        if depth in (4, 8) and specific < 28:
            # No palette field: System - Mac stands in, which the model holds, or System - Win.
            colors = cast_model.member_colors(depth, None, True) if movie.order == ">" else None
    else:
        specific = 22 if depth == 1 and rng.random() < 0.8 else rng.choice(
            [28] * 10 + [30, 22, 0xFFFFFFF0])
        data = member_data(rng, width, height, depth, specific, palette_id)
    member = movie.add(b"CASt", data)
    for tag in (b"BITD", b"ALFA", b"XMED"):
        if rng.random() < (0.8 if tag == b"BITD" else 0.35):
            data = bytes(rng.getrandbits(8) for _ in range(rng.randint(0, 12)))
            if tag == b"XMED":
                data = rng.choice([b"GIF89a", b"GIF89a", b"GIF87a", b"GIF8"]) + data
            flags = 0 if rng.random() < 0.9 else 4
            keys.append((movie.add(tag, data, flags), member, tag))
    return member, Size(width, height, depth, colors)


def slot_word(rng, index):
    return struct.pack(">I" if rng.random() < 0.5 else "<I", index)


def write(root, relative, data):
    run_model.write_file(root, relative, data)


def cut_in_pixels(rng, image, pixel_bytes):
    """The file cut short somewhere in its pixel rows."""
    return image[:len(image) - rng.randint(1, pixel_bytes)]


def bmp_table(rng, bits, colors):
    """The member's own colours (all, or the first few), or colours of another order."""
    entries = 1 << bits
    if rng.random() < 0.5:
        return list(colors[:rng.choice([entries, entries, 1, 3])])[:entries]
    grey = [(i * 255 // (entries - 1),) * 3 for i in range(entries)]
    return rng.sample(grey, len(grey)) if rng.random() < 0.5 else grey


def bmp_file(rng, w, h, colors):
    """Mostly a BMP that loads; else one refused as run-length packed, cut short or broken. A
    table, or true colour, only where the member's colours are known (`colors`), as the model
    must map them; alpha channels take any table."""
    bits = 8 if colors is None else rng.choice([1, 4, 8, 8, 16, 24])
    pixels = runs_of_pixels(rng, w * h, bits)
    compression = 0
    if bits == 16:
        # 5-5-5, or bit fields 5-6-5
        compression, table = rng.choice([(0, []), (3, [0xF800, 0x07E0, 0x001F])])
    else:
        table = [] if bits == 24 else bmp_table(rng, bits, colors or [(255, 255, 255)])
    kind = rng.choices(["plain", "rle", "cut", "broken"], [84, 8, 4, 4])[0]
    body = None
    if kind == "rle":
        # RLE8 and RLE4 are read; other depths are refused
        compression = 2 if bits == 4 else 1
        body = run_length_body(rng, w, h, bits)
    image = encode_bmp(w, h, bits, pixels, rng.random() < 0.5, table, compression, body)
    if kind == "cut":
        return cut_in_pixels(rng, image, (w * bits + 7) // 8 * h)
    return b"BM broken" if kind == "broken" else image


def run_length_body(rng, width, height, bits):
    """RLE8 or RLE4 escapes of every kind, some reaching past the row or the picture, mostly
    ended by an end of picture."""
    out = bytearray()
    for _ in range(rng.randint(0, 3 * height + 2)):
        kind = rng.choice(["run", "run", "absolute", "end of line", "end of line", "delta"])
        if kind == "run":
            out += bytes([rng.randint(1, width + 1), rng.getrandbits(8)])
        elif kind == "absolute":
            count = rng.randint(3, width + 2)
            spelt = count if bits == 8 else (count + 1) // 2
            out += bytes([0, count]) + bytes(rng.getrandbits(8) for _ in range(spelt + spelt % 2))
        elif kind == "end of line":
            out += b"\0\0"
        else:
            out += bytes([0, 2, rng.randint(0, 3), rng.randint(0, 1)])
    return bytes(out) + (b"\0\1" if rng.random() < 0.8 else b"")


def tga_file(rng, w, h):
    """Mostly a true-colour TGA that loads; else one of 16 bits, a greyscale one (type 3), or
    one cut short."""
    if rng.random() < 0.06:
        return encode_tga(w, h, 8, runs_of_pixels(rng, w * h, 8), rng.random() < 0.5, 3)
    if rng.random() < 0.03:
        return encode_bmp(w, h, 24, runs_of_pixels(rng, w * h, 24), True, [])
    depth = rng.choice([32, 32, 24, 16])
    image = encode_tga(w, h, depth, runs_of_pixels(rng, w * h, depth), rng.random() < 0.5)
    return cut_in_pixels(rng, image, w * h * depth // 8) if rng.random() < 0.06 else image


def add_images(rng, root, cast_number, size, intact, order):
    name = "%s/%s-%06d" % (FILES_DIR, STEM, cast_number)
    w = max(1, min(40, size.width + rng.choice([0, 0, -1, 1, -3, 2])))
    h = max(1, min(12, size.height + rng.choice([0, 0, -1, 1, 2])))
    # A cut member may have lost its palette reference, which leaves System - Win to name its
    # colours in a Windows movie (a palette the model does not hold) and System - Mac in a Mac
    # one. Its alpha channel still takes any picture.
    colors = size.colors
    if not intact and size.depth in (4, 8):
        stand_in = cast_model.member_colors(size.depth, None, True) if order == ">" else None
        colors = colors if colors == stand_in else None
    if rng.random() < 0.7 and (colors is not None or size.depth != 8):
        write(root, name + "-8.bmp", bmp_file(rng, w, h, colors if size.depth == 8 else None))
    if size.depth == 8 and rng.random() < 0.5:
        write(root, name + "-alpha.bmp", bmp_file(rng, w, h, None))
    if size.depth in (1, 2, 4) and colors is not None and rng.random() < 0.7:
        write(root, name + "-%d.bmp" % size.depth, bmp_file(rng, w, h, colors))
    for suffix in ("-16.tga", "-32.tga"):
        if rng.random() < 0.6:
            write(root, name + suffix, tga_file(rng, w, h))
    if rng.random() < 0.4:
        write(root, name + ".gif", bytes(rng.getrandbits(8) for _ in range(rng.randint(0, 30))))


def make_case(rng, root):
    option = rng.choice(UNKNOWN_CODE_PAGES if rng.random() < 0.03 else CODE_PAGE_OPTIONS)
    # With a code page not on offer the run stops before any text is read.
    order = "<" if rng.random() < 0.7 else ">"
    code_page = quillon_model.code_page_of(option) or (1252 if order == "<" else 10000)
    movie = CastMovie(order)
    keys = []
    members = [add_text_member(rng, movie, keys, code_page) if rng.random() < 0.3
               else add_member(rng, movie, keys) for _ in range(rng.randint(1, 6))]
    slots = []
    for member, size in members:
        slots.append((member, size))
        if rng.random() < 0.15:
            slots.append((member, size))  # a second slot on the same member
    rng.shuffle(slots)
    words = b"".join(slot_word(rng, member) for member, _ in slots)
    if rng.random() < 0.1:
        words += slot_word(rng, rng.choice([0, 999]))
    words += bytes(rng.choice([0, 0, 0, 2]))
    junk = [(rng.choice([1, 999]), members[0][0], b"BITD"), (3, 777, b"BITD"),
            (members[0][0], members[0][0], b"STXT")]
    keys += rng.sample(junk, rng.randint(0, len(junk)))
    rng.shuffle(keys)
    count = len(keys) + (rng.choice([0, 0, 0, 3]))
    key_data = bytes(8) + movie.word(count) + b"".join(
        struct.pack(order + "II", c, o) + movie.stored(t) for c, o, t in keys)
    tables = [(b"CAS*", words), (b"KEY*", key_data)]
    if rng.random() < 0.05:
        tables.pop(rng.randrange(2))
    for tag, data in tables:
        movie.add(tag, data)
    cut = None
    if rng.random() < 0.1:
        cut = rng.choice(members)[0] - 3
    data = movie.build(rng, cut)
    write(root, STEM + ".dxr", data)
    cut_member = None if cut is None else cut + 3
    for cast_number, (member, size) in enumerate(slots, start=1):
        if size is None:
            if rng.random() < 0.8:
                write(root, "%s/%s-%06d.txt" % (FILES_DIR, STEM, cast_number),
                      text_file(rng, code_page))
        else:
            add_images(rng, root, cast_number, size, member != cut_member, order)
    for child, _, tag in keys:
        if child < len(movie.chunks) + 3 and rng.random() < 0.15:
            raw = movie.stored(tag) + movie.word(3) + b"raw"
            write(root, "%s/%s-%06d.%s" % (FILES_DIR, STEM, child, tag.decode()), raw)
    options = [] if option is None else ["--codepage=" + option]
    return STEM + ".dxr", options + [STEM + ".dxr", FILES_DIR], None


if __name__ == "__main__":
    sys.exit(run_model.main(make_case, default_seed=8122026))
