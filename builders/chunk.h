#pragma once
// Chunks made by the tool: the stored tag and the data length in front of the data.

#include <cstdint>

#include "container/replacement_table.h"

namespace quillon {

// A chunk of `data_length` zeroed data bytes behind its 8-byte header; the caller fills the
// data from byte 8 on.
Chunk MakeChunk(const char* stored_tag, uint32_t data_length);

}  // namespace quillon
