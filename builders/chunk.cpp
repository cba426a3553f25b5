#include "builders/chunk.h"

#include <cstring>

#include "container/movie.h"
#include "util/byte_reader.h"

namespace quillon {

Chunk MakeChunk(const char* stored_tag, uint32_t data_length) {
  Chunk chunk(size_t{data_length} + kChunkHeaderSize);
  std::memcpy(chunk.data(), stored_tag, 4);
  StoreU32Le(chunk.data() + 4, data_length);
  return chunk;
}

}  // namespace quillon
