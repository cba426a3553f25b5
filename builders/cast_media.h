#pragma once
// One chunk a cast member owns, as the cast pass hands it to the steps of its media kind, and
// what an import step gives back.

#include <cstdint>
#include <string>

#include "container/replacement_table.h"
#include "util/byte_reader.h"

namespace quillon {

struct CastMedia {
  uint32_t cast_number = 0;   // the number in its file names and log lines
  uint32_t member_entry = 0;  // the member's own chunk
  uint32_t child = 0;         // the owned chunk: the one rebuilt or exported
  // What the kind read of its member when it accepted the chunk; empty for the kinds that read
  // nothing of it.
  ByteReader member;
};

// What an import step made of its member's file.
struct ImportedChunk {
  // The file it read, named in the refusal of a step that runs out of memory.
  std::string file;
  // The new chunk, header included; empty when the member keeps its own.
  Chunk chunk;
  // The file gives back what the member holds (its rows, say), however its chunk would pack.
  bool unchanged = false;
};

}  // namespace quillon
