#pragma once
// STXT, the text of a field or button member, everything big-endian:
//   u32 header length (12), u32 text length T, u32 style data length S,
//   T bytes of text (CR ends a line),
//   u16 run count n, n style runs of 20 bytes, each starting with the u32 offset into the text
//   where it applies (then line height, ascent, font, style, size and colour, kept as they are).

#include <cstdint>
#include <vector>

#include "container/replacement_table.h"
#include "util/byte_reader.h"
#include "util/code_page.h"

namespace quillon {

inline constexpr char kTypeText[] = "STXT";

struct StxtChunk {
  ByteReader text;
  uint16_t run_count = 0;
  ByteReader runs;  // the run_count runs, 20 bytes each
};

// The parts of an STXT chunk's data; false unless the header length is 12, the text and the
// style data lie within `data`, and the run table fits in the style data.
bool ReadStxt(const ByteReader& data, StxtChunk& stxt);

// A new STXT chunk, header included (in the movie's `order`; its data is big-endian in every
// movie), that holds `text` and the style runs of `old` that start
// within it, each with all its fields; the first run always stays, at start 0. A start inside a
// character moves back to the character's first byte. False when it would not fit a chunk.
bool RebuildStxt(const StxtChunk& old, const EncodedText& text, ByteOrder order, Chunk& chunk);

// Where one of the old chunk's runs goes in a new one.
struct RunPlacement {
  uint16_t run;    // its index in the old chunk
  uint32_t start;  // its new start
};

// A new STXT chunk that holds `text` and the runs `placements` name, in that order, each with
// all its fields but the start. False when it would not fit a chunk.
bool RebuildStxtWithRuns(const StxtChunk& old, const EncodedText& text,
                         const std::vector<RunPlacement>& placements, ByteOrder order,
                         Chunk& chunk);

}  // namespace quillon
