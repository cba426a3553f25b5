#include "tests/builders/cast_builders_fixture.h"

#include "container/movie.h"
#include "util/byte_reader.h"

namespace quillon::test {

std::vector<uint8_t> CastBuildersTest::HeldData(uint32_t child) const {
  const Chunk* chunk = table_.Get(child);
  if (chunk == nullptr) {
    ADD_FAILURE() << "no chunk held for " << child;
    return {};
  }
  return std::vector<uint8_t>(chunk->begin() + kChunkHeaderSize, chunk->end());
}

std::string CastBuildersTest::HeldHeader(uint32_t child) const {
  const Chunk* chunk = table_.Get(child);
  if (chunk == nullptr) return "none";
  return std::string(chunk->begin(), chunk->begin() + 4) + " " +
         std::to_string(LoadU32Le(chunk->data() + 4));
}

}  // namespace quillon::test
