#include "builders/chunk.h"

#include "container/movie.h"

namespace quillon {

Chunk MakeChunk(const char* type, uint32_t data_length, ByteOrder order) {
  Chunk chunk(size_t{data_length} + kChunkHeaderSize);
  StoreTag(type, order, chunk.data());
  StoreU32(chunk.data() + 4, data_length, order);
  return chunk;
}

void SetChunkDataLength(Chunk& chunk, ByteOrder order) {
  StoreU32(chunk.data() + 4, static_cast<uint32_t>(chunk.size() - kChunkHeaderSize), order);
}

}  // namespace quillon
