#include "builders/stxt.h"

#include <algorithm>
#include <cstring>

#include "builders/chunk.h"
#include "container/movie.h"
#include "util/checked_math.h"

namespace quillon {

namespace {

// The header's fields, and the sizes of the run table's count and of each run.
enum StxtLayout : size_t {
  kTextLengthOffset = 4, kStyleLengthOffset = 8, kRunCountSize = 2, kRunSize = 20,
};
constexpr uint32_t kHeaderLength = 12;

// Where a run that started at `start` starts in the new text: moved back out of a character.
uint32_t StartOfCharacter(uint32_t start, const EncodedText& text) {
  while (start > 0 && start < text.continues.size() && text.continues[start]) --start;
  return start;
}

}  // namespace

bool ReadStxt(const ByteReader& data, StxtChunk& stxt) {
  uint32_t header_length = 0;
  uint32_t text_length = 0;
  uint32_t style_length = 0;
  if (!data.U32Be(0, header_length) || header_length != kHeaderLength ||
      !data.U32Be(kTextLengthOffset, text_length) ||
      !data.U32Be(kStyleLengthOffset, style_length) || !data.Has(kHeaderLength, text_length) ||
      !data.Has(size_t{kHeaderLength} + text_length, style_length)) {
    return false;
  }
  const size_t styles = size_t{kHeaderLength} + text_length;
  uint16_t run_count = 0;
  if (style_length < kRunCountSize || !data.U16Be(styles, run_count) ||
      kRunCountSize + kRunSize * run_count > style_length) {
    return false;
  }
  stxt.text = ByteReader(data.data() + kHeaderLength, text_length);
  stxt.run_count = run_count;
  stxt.runs = ByteReader(data.data() + styles + kRunCountSize, kRunSize * run_count);
  return true;
}

bool RebuildStxt(const StxtChunk& old, const EncodedText& text, ByteOrder order, Chunk& chunk) {
  std::vector<RunPlacement> placements;
  for (uint16_t run = 0; run < old.run_count; ++run) {
    uint32_t start = 0;
    old.runs.U32Be(kRunSize * run, start);
    if (run == 0) {
      placements.push_back({run, 0});
    } else if (start < text.bytes.size()) {
      placements.push_back({run, StartOfCharacter(start, text)});
    }
  }
  return RebuildStxtWithRuns(old, text, placements, order, chunk);
}

bool RebuildStxtWithRuns(const StxtChunk& old, const EncodedText& text,
                         const std::vector<RunPlacement>& placements, ByteOrder order,
                         Chunk& chunk) {
  const size_t text_length = text.bytes.size();
  const size_t style_length = kRunCountSize + kRunSize * placements.size();
  size_t data_length = 0;
  if (placements.size() > UINT16_MAX ||
      !CheckedAdd(size_t{kHeaderLength} + style_length, text_length, data_length) ||
      data_length > kMaxChunkLength - kChunkHeaderSize) {
    return false;
  }
  chunk = MakeChunk(kTypeText, static_cast<uint32_t>(data_length), order);
  uint8_t* out = chunk.data() + kChunkHeaderSize;
  StoreU32Be(out, kHeaderLength);
  StoreU32Be(out + kTextLengthOffset, static_cast<uint32_t>(text_length));
  StoreU32Be(out + kStyleLengthOffset, static_cast<uint32_t>(style_length));
  std::copy(text.bytes.begin(), text.bytes.end(), out + kHeaderLength);
  uint8_t* styles = out + kHeaderLength + text_length;
  StoreU16Be(styles, static_cast<uint16_t>(placements.size()));
  uint8_t* next = styles + kRunCountSize;
  for (const RunPlacement& placement : placements) {
    std::memcpy(next, old.runs.data() + kRunSize * placement.run, kRunSize);
    StoreU32Be(next, placement.start);
    next += kRunSize;
  }
  return true;
}

}  // namespace quillon
