#pragma once
// Chunks made by the tool: the tag and the data length in front of the data, both in the
// movie's byte order.

#include <cstdint>

#include "container/replacement_table.h"
#include "util/byte_reader.h"

namespace quillon {

// A chunk of `data_length` zeroed data bytes behind its 8-byte header for a chunk of `type`
// (reading order); the caller fills the data from byte 8 on.
Chunk MakeChunk(const char* type, uint32_t data_length, ByteOrder order);

// Sets the header's data length to what the chunk holds behind it (which fits 32 bits).
void SetChunkDataLength(Chunk& chunk, ByteOrder order);

}  // namespace quillon
