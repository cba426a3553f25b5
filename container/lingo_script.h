#pragma once
// Compiled Lingo: a script's chunk (Lscr), big-endian in every movie, with its literal table and
// handlers; the names its handlers go by (Lnam); and the script context (Lctx) that leads from a
// member's script id to its Lscr entry.
//   Lscr: +8 and +12 the total length twice, +50 u16 handler vector count HVC, +52 u32 its
//   offset HVO, +72 u16 handler count, +74 u32 handler records offset, +78 u16 literal count,
//   +80 u32 literal records offset, +84 u32 literal data length LDL, +88 u32 literal data
//   offset LDO. A string literal's item at LDO + its offset: u32 n, n bytes ending in NUL, a pad
//   byte when n is odd; items lie back to back, LDL counts every pad, and only the handler
//   vector (at LDO + LDL when HVC > 0) follows them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "util/byte_reader.h"

namespace quillon {

class MovieView;

inline constexpr char kTypeScript[] = "Lscr";
inline constexpr char kTypeScriptNames[] = "Lnam";
inline constexpr char kTypeScriptContext[] = "Lctx";

// What a script's layout depends on: the Director version of its movie.
struct LingoLayout {
  uint32_t literal_record_size;  // 6 in Director 4, 8 later
  uint32_t handler_record_size;  // 42, 46 from Director 8.5
  uint32_t operand_scale;        // a push-constant operand is the literal index times this
};

// The layout of a movie of Director version `version` (the VWCF/DRCF word).
LingoLayout LayoutOfVersion(int16_t version);
// The movie's Director version; false without a VWCF or DRCF chunk that holds it.
bool ReadDirectorVersion(const MovieView& movie, int16_t& version);

inline constexpr uint32_t kStringLiteral = 1;
inline constexpr uint32_t kIntegerLiteral = 4;  // its "offset" is its value

struct LingoLiteral {
  uint32_t type = 0;
  uint32_t offset = 0;  // from the literal data offset
  ByteReader text;      // a string's bytes, NUL not included; empty for other types
};

struct LingoHandler {
  int16_t name_id = 0;              // an index into the Lnam names
  std::vector<uint32_t> literals;   // the literals its bytecode pushes, in bytecode order
};

struct LingoScript {
  ByteReader data;  // the whole chunk data
  uint32_t literal_records = 0;
  uint32_t literal_data_offset = 0;
  uint32_t literal_data_length = 0;
  uint16_t handler_vector_count = 0;
  LingoLayout layout{};
  std::vector<LingoLiteral> literals;
  std::vector<LingoHandler> handlers;

  uint32_t StringCount() const;
};

// Reads a script's chunk data; false when its lengths disagree, a table or string lies outside
// the chunk, string items overlap, or anything but the handler vector follows the literal data.
bool ReadLingoScript(const ByteReader& data, const LingoLayout& layout, LingoScript& script);

// The script's data with new texts for some of its string literals (`texts[i]` for literal i,
// no NUL); every other byte stays, the offsets and lengths that follow a text's size move with
// it. False when the result would not fit 32 bits, or a text names no string literal.
bool RebuildLingoScript(const LingoScript& script,
                        const std::vector<std::optional<std::vector<uint8_t>>>& texts,
                        std::vector<uint8_t>& data);

// The names of an Lnam chunk's data, as stored; false when they do not lie within it.
bool ReadLingoNames(const ByteReader& data, std::vector<std::string>& names);

// An Lctx chunk's entries: the Lscr entry index of each script id (from 1), -1 where none;
// false when the table does not lie within the data.
bool ReadLingoContext(const ByteReader& data, std::vector<int32_t>& scripts);

}  // namespace quillon
