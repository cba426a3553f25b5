#include "tests/builders/cast_builders_fixture.h"

#include "builders/media_kinds.h"
#include "container/movie.h"
#include "util/byte_reader.h"

namespace quillon::test {

void CastBuildersTest::Import(const BuildContext& context, const char* type,
                              const CastMedia& media) {
  const MediaKind* kind = FindMediaKind(type);
  ASSERT_NE(kind, nullptr) << type;
  ImportMedia(context, *kind, media);
}

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
