#pragma once
// The cast pass's handler for a run: GIF media, bitmaps and alpha channels rebuilt from the
// files in FilesDir into the run's replacement table.

#include <string>

#include "builders/build_context.h"
#include "container/cast_members.h"

namespace quillon {

class CastMediaBuilders : public CastMediaHandler {
 public:
  // `movie` is the movie being rebuilt, for the palettes of true-colour pictures.
  CastMediaBuilders(const std::string& files_dir, const std::string& stem,
                    ReplacementTable& table, Log& log, const MovieView* movie = nullptr)
      : context_{files_dir, stem, table, log, movie} {}

  void SubstituteGif(uint32_t cast_number, uint32_t child) override;
  void BuildBitmapChunk(uint32_t cast_number, uint32_t member_entry, uint32_t child,
                        const ByteReader& member) override;
  void BuildAlphaChunk(uint32_t cast_number, uint32_t member_entry, uint32_t child,
                       const ByteReader& member) override;

 private:
  BuildContext context_;
};

}  // namespace quillon
