#include "builders/cast_media_builders.h"

#include "builders/bitmap_builder.h"
#include "builders/gif_substitution.h"

namespace quillon {

void CastMediaBuilders::SubstituteGif(uint32_t cast_number, uint32_t child) {
  quillon::SubstituteGif(context_, cast_number, child);
}

void CastMediaBuilders::BuildBitmapChunk(uint32_t cast_number, uint32_t member_entry,
                                         uint32_t child, const ByteReader& member) {
  quillon::BuildBitmapChunk(context_, cast_number, member_entry, child, member);
}

void CastMediaBuilders::BuildAlphaChunk(uint32_t cast_number, uint32_t member_entry,
                                        uint32_t child, const ByteReader& member) {
  quillon::BuildAlphaChunk(context_, cast_number, member_entry, child, member);
}

}  // namespace quillon
