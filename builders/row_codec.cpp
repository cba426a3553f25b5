#include "builders/row_codec.h"

#include <algorithm>
#include <cstring>

#include "builders/row_scan.h"
#include "util/bit_helpers.h"

namespace quillon {

namespace {

// PackRow marks where a segment of the row has equal neighbours, many bytes at a time
// (row_scan.h). Those marks alone tell where the greedy rule starts every run shorter than the
// longest lengths, so that photographs' short runs go out without a byte-by-byte scan; only runs
// near the longest lengths are measured one by one.
constexpr size_t kMaxLiteral = 128;
constexpr size_t kMaxRepeat = 129;

// Runs this long or shorter are never cut by the longest lengths, so they lie exactly between
// two run starts found from the marks alone (a literal 127 bytes long would take one more).
constexpr size_t kShortRun = kMaxLiteral - 2;

// A row is marked a segment at a time: runs start within its first kSegmentWords words of
// marks, and the two words behind them hold what the longest of those runs can need.
constexpr size_t kSegmentWords = 64;
constexpr size_t kSegmentPositions = kSegmentWords * kMarkBits;
constexpr size_t kMarkWords = kSegmentWords + 2;

// Runs are copied in blocks of this many bytes where the row holds whole blocks.
constexpr size_t kBlock = 16;

bool MarkAt(const uint64_t* marks, size_t at) {
  return (marks[at / kMarkBits] >> (at % kMarkBits) & 1) != 0;
}

// Where short runs start within one word of marks: at a set mark behind a clear one, the first
// pair of a repeat run, and one past a clear mark behind a set one, which is a repeat run's last
// byte. `previous` is the word before, its marks before the scan's first run cleared.
uint64_t RunStarts(uint64_t previous, uint64_t marks) {
  const uint64_t one_before = marks << 1 | previous >> (kMarkBits - 1);
  const uint64_t two_before = marks << 2 | previous >> (kMarkBits - 2);
  return ~one_before & (marks | two_before);
}

// Where the scan found a run to start, and whether it is a repeat run.
struct RunStart {
  size_t at;
  bool repeat;
};

// The run starts of a segment, taken one by one from a run start on.
class RunStartScan {
 public:
  // From the start of a run at `at`: the marks before it take no part, since that run may follow
  // one that the longest lengths cut.
  RunStartScan(const uint64_t* marks, size_t at) : marks_(marks), word_(at / kMarkBits) {
    const size_t bit = at % kMarkBits;
    previous_ = marks[word_] & (~uint64_t{0} << bit);
    starts_ = RunStarts(0, previous_) & (~uint64_t{1} << bit);
  }

  // The next run start after `at`, the last one taken, and whether a repeat run starts there
  // (its first mark is set); a position of SIZE_MAX when none lies within kShortRun positions.
  RunStart Next(size_t at) {
    while (starts_ == 0) {
      if (WordEnd() > at + kShortRun) return {SIZE_MAX, false};
      const uint64_t marks = marks_[++word_];
      starts_ = RunStarts(previous_, marks);
      previous_ = marks;
    }
    RunStart next;
    NextInWord(next);
    return next;
  }

  // The next run start within the word of the last one taken, if there is one: the run up to it
  // is shorter than a word.
  bool NextInWord(RunStart& next) {
    if (starts_ == 0) return false;
    const size_t bit = CountTrailingZeros(starts_);
    starts_ &= starts_ - 1;
    next = {word_ * kMarkBits + bit, (previous_ >> bit & 1) != 0};
    return true;
  }

  // The first position past the word of the last start taken.
  size_t WordEnd() const { return (word_ + 1) * kMarkBits; }

 private:
  const uint64_t* marks_;
  size_t word_;
  uint64_t previous_;
  uint64_t starts_;
};

// Writes a run of at most kShortRun bytes, a repeat or a literal run, in whole blocks: the row
// must hold kBlock - 1 bytes past the run's end. Photographs mix the two kinds too
// unpredictably for a branch on which, so the header and the length written are computed for
// both (`flip` is all ones for a repeat run: its header 257 - count is -(count - 1)), and the
// first block holds a repeat run's value. Every byte packed before took at most two bytes of the
// destination, so the blocks end within PackedRowBound.
uint8_t* WriteShortRunInBlocks(const uint8_t* run, size_t count, bool repeat, uint8_t* out) {
  const size_t flip = 0 - size_t{repeat};
  out[0] = static_cast<uint8_t>(((count - 1) ^ flip) - flip);
  std::memcpy(out + 1, run, kBlock);
  const size_t literal = count & ~flip;
  for (size_t done = kBlock; done < literal; done += kBlock) {
    std::memcpy(out + 1 + done, run + done, kBlock);
  }
  return out + 2 + ((count - 1) & ~flip);
}

// A short run in a row with `left` bytes from `run` on: in blocks where the row holds them.
uint8_t* WriteShortRun(const uint8_t* run, size_t count, bool repeat, size_t left, uint8_t* out) {
  if (count + kBlock - 1 <= left) return WriteShortRunInBlocks(run, count, repeat, out);
  *out++ = static_cast<uint8_t>(repeat ? 257 - count : count - 1);
  const size_t written = repeat ? 1 : count;
  std::memcpy(out, run, written);
  return out + written;
}

// How many bytes from `at` on equal the byte at `at`, counted as far as the `words` words of
// marks go.
size_t EqualBytesFrom(const uint64_t* marks, size_t words, size_t at) {
  size_t word = at / kMarkBits;
  uint64_t unequal = ~marks[word] & (~uint64_t{0} << (at % kMarkBits));
  while (unequal == 0 && ++word < words) unequal = ~marks[word];
  const size_t pairs = unequal == 0 ? words * kMarkBits - at
                                    : word * kMarkBits + CountTrailingZeros(unequal) - at;
  return pairs + 1;
}

void WriteRepeat(uint8_t value, size_t count, uint8_t*& out) {
  *out++ = static_cast<uint8_t>(257 - count);
  *out++ = value;
}

// The repeat runs of `equal` bytes, more than kShortRun of them, from `run` on. A stretch longer
// than one run goes out in full runs at once, those that start within `starts` bytes, all but
// the last, which the packer takes up afresh: the marks may not reach the stretch's end. Returns
// the bytes packed.
size_t WriteLongRepeats(const uint8_t* run, size_t equal, size_t starts, uint8_t*& out) {
  if (equal <= kMaxRepeat) {
    WriteRepeat(run[0], equal, out);
    return equal;
  }
  size_t count = 0;
  for (; equal - count > kMaxRepeat && count < starts; count += kMaxRepeat) {
    WriteRepeat(run[0], kMaxRepeat, out);
  }
  return count;
}

// A literal run with no run start within kShortRun positions, in a row with `left` bytes from
// `run` on: it fills up. Returns the bytes packed.
size_t WriteLongLiteral(const uint8_t* run, size_t left, uint8_t*& out) {
  const size_t count = std::min(kMaxLiteral, left);
  *out++ = static_cast<uint8_t>(count - 1);
  std::memcpy(out, run, count);
  out += count;
  return count;
}

// Packs the runs of the `left` bytes at `segment` that start before `limit`, marked in the
// `words` words of `marks`; returns where the next run starts.
size_t PackSegment(const uint8_t* segment, size_t left, size_t limit, const uint64_t* marks,
                   size_t words, uint8_t*& out) {
  RunStart run{0, MarkAt(marks, 0)};
  RunStartScan scan(marks, run.at);
  while (run.at < limit) {
    const size_t at = run.at;
    const RunStart next = scan.Next(at);
    if (next.at - at <= kShortRun) {
      out = WriteShortRun(segment + at, next.at - at, run.repeat, left - at, out);
      run = next;
      // The runs up to the other starts of that word are short too; where the word ends a block
      // before the row does, they go out in blocks without a check.
      if (scan.WordEnd() + kBlock <= left) {
        for (RunStart following; scan.NextInWord(following); run = following) {
          out = WriteShortRunInBlocks(segment + run.at, following.at - run.at, run.repeat, out);
        }
      }
      continue;
    }
    run.at += run.repeat ? WriteLongRepeats(segment + at, EqualBytesFrom(marks, words, at),
                                            limit - at, out)
                         : WriteLongLiteral(segment + at, left - at, out);
    // The run found from there on may follow one cut at its longest length.
    if (run.at < limit) {
      run.repeat = MarkAt(marks, run.at);
      scan = RunStartScan(marks, run.at);
    }
  }
  return run.at;
}

}  // namespace

size_t PackRow(const uint8_t* source, uint8_t* destination, size_t n) {
  uint64_t marks[kMarkWords];
  uint8_t* out = destination;
  size_t next = 0;
  while (next < n) {
    const size_t left = n - next;
    const size_t limit = std::min(left, kSegmentPositions);
    const size_t words = (limit + kMarkBits - 1) / kMarkBits + 2;
    MarkEqualNeighbours(source + next, left, words, marks);
    next += PackSegment(source + next, left, limit, marks, words, out);
  }
  return static_cast<size_t>(out - destination);
}

bool SpellOutLastRepeatRun(std::vector<uint8_t>& packed, size_t begin) {
  size_t last = packed.size();
  for (size_t at = begin; at < packed.size();) {
    const uint8_t header = packed[at];
    if (header >= 0x80) last = at;
    at += header < 0x80 ? size_t{header} + 2 : 2;
  }
  if (last + 1 >= packed.size()) return false;
  const uint8_t value = packed[last + 1];
  std::vector<uint8_t> literals;
  for (size_t left = 257 - size_t{packed[last]}; left > 0;) {
    const size_t count = std::min(left, kMaxLiteral);
    literals.push_back(static_cast<uint8_t>(count - 1));
    literals.insert(literals.end(), count, value);
    left -= count;
  }
  packed[last] = literals[0];
  packed[last + 1] = literals[1];
  packed.insert(packed.begin() + static_cast<std::ptrdiff_t>(last + 2), literals.begin() + 2,
                literals.end());
  return true;
}

UnpackStatus UnpackRow(const uint8_t* packed, size_t m, uint8_t* destination, size_t& count) {
  const size_t capacity = count;
  size_t read = 0;
  size_t written = 0;
  while (read < m) {
    const uint8_t header = packed[read++];
    const bool literal = header < 0x80;
    const size_t needed = literal ? size_t{header} + 1 : 1;
    if (m - read < needed) return UnpackStatus::kTruncated;
    const size_t length = literal ? needed : 257 - size_t{header};
    const size_t fits = std::min(length, capacity - written);
    if (fits > 0 && literal) {
      std::memcpy(destination + written, packed + read, fits);
    } else if (fits > 0) {
      std::memset(destination + written, packed[read], fits);
    }
    written += fits;
    if (fits < length) return UnpackStatus::kOverflow;
    read += needed;
  }
  count = written;
  return UnpackStatus::kOk;
}

}  // namespace quillon
