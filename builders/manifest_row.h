#pragma once
// One row of the export's manifest: a file written, or a chunk or member passed over and why.

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

// What a row stands for: a media kind's file, or a chunk exported raw.
enum class ManifestKind { kBitmap, kAlpha, kGif, kText, kSound, kChunk };

struct ManifestRow {
  ManifestKind kind = ManifestKind::kChunk;
  uint32_t entry = 0;  // the chunk's memory-map entry
  std::string type;    // the chunk's type, e.g. "BITD"
  std::optional<uint32_t> cast_number;
  std::optional<uint32_t> member_entry;
  std::optional<uint32_t> width;
  std::optional<uint32_t> height;
  std::optional<uint32_t> depth;
  std::string palette;  // an indexed bitmap's palette
  std::string file;     // inside FilesDir; empty when nothing was written
  std::string note;     // why nothing was written, or what stood in for a palette
  std::optional<uint32_t> code_page;  // a text's
};

}  // namespace quillon
