"""Sounds out as WAV files and back, through both programs: every sound of the shared movies and
of movies made here (8 and 16 bits, mono and stereo, standard and extended headers, formats 1
and 2, both byte orders) is exported as a WAV file whose samples (read with Python's wave
module) are the chunk's, and an unchanged folder gives every chunk back byte for byte; WAV files
as audio editors save them come back as the sounds they hold; files that cannot be used are
refused with their reasons.

    python3 sound_files.py PATH_TO_QUILLON PATH_TO_QUILLON_EXPORT --testdata DIR
                           [--run-with WORD ...]
"""

import argparse
import csv
import math
import os
import random
import re
import struct
import subprocess
import sys
import tempfile
import wave

import quillon_model
from run_cast_model import CastMovie

STEM = "snd"


def extended_rate(rate_word):
    top = rate_word.bit_length() - 1
    return struct.pack(">HQ", 16383 + top - 16, rate_word << (63 - top))


def resource(fmt, extended, channels, bits, frames, rate_word, loop_end=None, encode=None):
    """A sampled sound's resource with one bufferCmd, as Director writes it."""
    if fmt == 1:
        head = struct.pack(">HHHI", 1, 1, 5, 0xC0 if channels == 2 else 0x80)
    else:
        head = struct.pack(">HH", 2, 0)
    head += struct.pack(">HHHI", 1, 0x8051, 0, len(head) + 10)
    samples = bytes((i * 37 + 11) & 0xFF for i in range(frames * channels * bits // 8))
    loop_end = frames if loop_end is None else loop_end
    if not extended:
        return head + struct.pack(">IIIIIBB", 0, frames, rate_word, 0, loop_end,
                                  0 if encode is None else encode, 60) + samples
    return head + struct.pack(">IIIIIBBI", 0, channels, rate_word, 0, loop_end, 0xFF, 60,
                              frames) + extended_rate(rate_word) + bytes(12) + \
        struct.pack(">H", bits) + bytes(14) + samples


def read_resource(data):
    """(extended, rate word, channels, bits, frames, samples) of a resource made as above."""
    fmt, = struct.unpack_from(">H", data, 0)
    count_at = 4 + 6 * struct.unpack_from(">H", data, 2)[0] if fmt == 1 else 4
    header, = struct.unpack_from(">I", data, count_at + 6)
    length, rate_word = struct.unpack_from(">II", data, header + 4)
    if data[header + 20] == 0:
        return False, rate_word, 1, 8, length, data[header + 22:]
    frames, = struct.unpack_from(">I", data, header + 22)
    bits, = struct.unpack_from(">H", data, header + 48)
    return True, rate_word, length, bits, frames, data[header + 64:]


def sound_movie(order, resources, seed):
    movie = CastMovie(order)
    keys = []
    for data in resources:
        member = movie.add(b"CASt", struct.pack(">III", 6, 0, 0))
        keys.append((movie.add(b"snd ", data), member))
    movie.add(b"CAS*", b"".join(struct.pack(">I", member) for _, member in keys))
    movie.add(b"KEY*", bytes(8) + movie.word(len(keys)) + b"".join(
        struct.pack(order + "II", c, o) + movie.stored(b"snd ") for c, o in keys))
    return movie.build(random.Random(seed), None)


def sound_chunks(path):
    with open(path, "rb") as f:
        movie = quillon_model.Movie(f.read())
    chunks = {}
    for i in range(movie.used_count):
        e = movie.entry(i)
        if e.type == b"snd ":
            chunks[i] = bytes(movie.data[e.offset:e.offset + 8 + e.length])
    return chunks


class Runner:
    def __init__(self, options, root):
        self.quillon = options.run_with + [os.path.abspath(options.quillon)]
        self.export = options.run_with + [os.path.abspath(options.quillon_export)]
        self.root = root

    def run(self, command, args):
        done = subprocess.run(command + args, cwd=self.root, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        if done.returncode != 0:
            raise AssertionError("%s failed: %r" % (args, done.stdout[-400:]))
        return done.stdout

    def log(self, name):
        with open(os.path.join(self.root, "Out", name.rpartition(".")[0] + ".log"), "rb") as f:
            return f.read().replace(b"\r\n", b"\n")


def check_round_trip(runner, name, problems):
    """Export, the WAV files against the chunks, the rebuild from the unchanged folder."""
    folder = "x-" + name
    runner.run(runner.export, [name, folder])
    before = sound_chunks(os.path.join(runner.root, name))
    with open(os.path.join(runner.root, folder, name.rpartition(".")[0] + ".csv")) as f:
        rows = [r for r in csv.DictReader(f) if r["kind"] == "sound"]
    for row in rows:
        if not row["file"]:
            continue
        _, rate_word, channels, bits, frames, samples = read_resource(
            before[int(row["entry index"])][8:])
        with wave.open(os.path.join(runner.root, folder, row["file"]), "rb") as w:
            got = w.readframes(w.getnframes())
            form = (w.getnchannels(), w.getsampwidth() * 8, w.getframerate(), w.getnframes())
        if bits == 16:
            got = b"".join(got[i + 1:i + 2] + got[i:i + 1] for i in range(0, len(got), 2))
        rate = (rate_word + 0x8000) >> 16
        if form != (channels, bits, rate, frames) or got != samples[:len(got)]:
            problems.append("%s: %s does not hold the chunk's sound" % (name, row["file"]))
    runner.run(runner.quillon, [name, folder, "Out"])
    after = sound_chunks(os.path.join(runner.root, "Out", name))
    for entry, chunk in before.items():
        if after.get(entry) != chunk:
            problems.append("%s: entry %d changed" % (name, entry))
    if re.search(rb"collision", runner.log(name)):
        problems.append("%s: a collision" % name)
    return len([r for r in rows if r["file"]])


def lround(value):
    return int(math.floor(value + 0.5)) if value >= 0 else int(math.ceil(value - 0.5))


def write_wav(path, channels, width, rate, frames):
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(width)
        w.setframerate(rate)
        w.writeframes(frames)


def float_wav(rate, values):
    data = struct.pack("<%df" % len(values), *values)
    fmt = struct.pack("<HHIIHH", 3, 1, rate, rate * 4, 4, 32)
    body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + b"data" + \
        struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def check_editor_files(runner, problems):
    """Three files as editors save them, four that cannot be used and one beside a compressed
    sound, which is not read."""
    rng = random.Random(29)
    resources = [resource(2, False, 1, 8, 40, 0x56EE8BA4) for _ in range(8)]
    resources[5] = resource(2, False, 1, 8, 40, 0x56EE8BA4, encode=0xFE)
    name = STEM + ".dxr"
    with open(os.path.join(runner.root, name), "wb") as f:
        f.write(sound_movie("<", resources, 5))
    files = os.path.join(runner.root, "edited")
    os.makedirs(files, exist_ok=True)
    path = lambda n: os.path.join(files, "%s-%06d.wav" % (STEM, n))
    stereo = [rng.randint(-32768, 32767) for _ in range(2 * 30)]
    write_wav(path(1), 2, 2, 44100, struct.pack("<%dh" % len(stereo), *stereo))
    mono8 = bytes(rng.randint(0, 255) for _ in range(25))
    write_wav(path(2), 1, 1, 22050, mono8)
    floats = [struct.unpack("<f", struct.pack("<f", rng.uniform(-1.2, 1.2)))[0]
              for _ in range(20)]
    with open(path(3), "wb") as f:
        f.write(float_wav(48000, floats))
    refused = {4: b"not a WAV file", 5: b"truncated", 7: b"more than 2 channels",
               8: b"unsupported WAV encoding"}
    with open(path(4), "wb") as f:
        f.write(b"Hello, this is a text.\n")
    with open(path(5), "wb") as f:
        f.write(b"RIFF\x04\x00\x00\x00WAVE")
    with open(path(6), "wb") as f:  # the compressed member's: never read
        f.write(b"")
    write_wav(path(7), 3, 2, 8000, bytes(12))
    adpcm = bytearray(float_wav(8000, [0.0]))
    adpcm[20] = 2
    with open(path(8), "wb") as f:
        f.write(adpcm)
    before = sound_chunks(os.path.join(runner.root, name))
    output = runner.run(runner.quillon, [name, "edited", "Out"]).replace(b"\r\n", b"\n")
    after = sound_chunks(os.path.join(runner.root, "Out", name))
    log = runner.log(name)
    entries = sorted(before)
    clip = lambda v: max(-32768, min(32767, lround(v * 32768.0)))
    expected = {
        entries[0]: (True, 0xAC440000, 2, 16, 30, struct.pack(">%dh" % len(stereo), *stereo)),
        entries[1]: (False, 0x56220000, 1, 8, 25, mono8),
        entries[2]: (True, 0xBB800000, 1, 16, 20,
                     struct.pack(">%dh" % len(floats), *[clip(v) for v in floats])),
    }
    for entry, sound in expected.items():
        if read_resource(after[entry][8:]) != sound:
            problems.append("editor file for entry %d not taken as it is" % entry)
    for entry in entries[3:]:
        if after[entry] != before[entry]:
            problems.append("entry %d changed by a file that cannot be used" % entry)
    lines = [b"Cast 000001->(0003:0004): snd =30 frames, 44100 Hz, 16-bit, stereo",
             b"Cast 000002->(0005:0006): snd =25 frames, 22050 Hz, 8-bit, mono",
             b"Cast 000003->(0007:0008): snd =20 frames, 48000 Hz, 16-bit, mono",
             b"Cast 000006->(000D:000E): snd =unsupported!!!"]
    for number, reason in refused.items():
        line = rb"Cannot use file edited.%s-%06d\.wav: %s!!!" % (STEM.encode(), number, reason)
        if not re.search(line, log) or not re.search(line, output):
            problems.append("no refusal %s" % reason.decode())
    for line in lines:
        if line + b"\n" not in log:
            problems.append("no log line %s" % line.decode())
    # Not read, and so named among the files that matched nothing.
    if re.search(rb"(Cannot use|substituted from) file [^\n]*snd-000006", log) or not re.search(
            rb"Not used: [^\n]*snd-000006\.wav\n", log):
        problems.append("the compressed member's file was read")


def check_too_large(runner, problems):
    name = STEM + "-large.dxr"
    with open(os.path.join(runner.root, name), "wb") as f:
        f.write(sound_movie(">", [resource(1, False, 1, 8, 10, 0x2B7745D2)], 3))
    files = os.path.join(runner.root, "large")
    os.makedirs(files, exist_ok=True)
    with open(os.path.join(files, STEM + "-large-000001.wav"), "wb") as f:
        f.truncate((1 << 30) + 1)  # a hole: nothing is written or read
    runner.run(runner.quillon, [name, "large", "Out"])
    if not re.search(rb"Cannot use file large.snd-large-000001\.wav: too large!!!",
                     runner.log(name)):
        problems.append("no refusal too large")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("quillon")
    parser.add_argument("quillon_export")
    parser.add_argument("--testdata", required=True)
    parser.add_argument("--run-with", action="append", default=[])
    options = parser.parse_args()
    problems = []
    exported = 0
    with tempfile.TemporaryDirectory() as root:
        runner = Runner(options, root)
        forms = [(2, False, 1, 8, 1001, 0x56EE8BA4, 1000), (1, False, 1, 8, 500, 0x2B7745D2, None),
                 (2, True, 1, 8, 300, 0x56EE0000, None), (2, True, 2, 8, 200, 0xAC440000, None),
                 (2, True, 1, 16, 250, 0x56220000, 3), (1, True, 2, 16, 123, 0xAC440000, None)]
        for order in "<>":
            name = "made%s.dxr" % ("win" if order == "<" else "mac")
            with open(os.path.join(root, name), "wb") as f:
                f.write(sound_movie(order, [resource(*form) for form in forms], 7))
            exported += check_round_trip(runner, name, problems)
        for movie in ("mac/AppleGame.dir", "movies-with-sound/d4sn0001.DIR",
                      "movies-with-sound/SOFT1.DXR"):
            source = os.path.join(options.testdata, movie)
            if os.path.exists(source):
                with open(source, "rb") as f, \
                        open(os.path.join(root, os.path.basename(movie)), "wb") as out:
                    out.write(f.read())
                exported += check_round_trip(runner, os.path.basename(movie), problems)
        check_editor_files(runner, problems)
        check_too_large(runner, problems)
    for problem in problems:
        print(problem)
    print("%d sounds exported and rebuilt, %d problems" % (exported, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
