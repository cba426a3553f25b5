#pragma once
// A build context over a scratch FilesDir, a table of 16 slots and a recording reporter, for the
// tests of the cast media builders.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builders/build_context.h"
#include "builders/cast_media.h"
#include "container/movie.h"
#include "container/replacement_table.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_dir.h"
#include "util/reporter.h"

namespace quillon::test {

class CastBuildersTest : public ::testing::Test {
 protected:
  std::string LogText() const { return sink_.log; }
  // Runs the import step of the kind of `type` ("BITD") over `media` as the cast pass does.
  void Import(const char* type, const CastMedia& media) const { Import(context_, type, media); }
  static void Import(const BuildContext& context, const char* type, const CastMedia& media);
  // The data of the chunk held for `child` (after its 8-byte header), which must be held.
  std::vector<uint8_t> HeldData(uint32_t child) const;
  // The tag and length in front of the chunk held for `child`.
  std::string HeldHeader(uint32_t child) const;

  ScratchDir files_;
  ReplacementTable table_{16};
  RecordingSink sink_;
  Reporter report_{sink_};
  BuildContext context_{files_.path(), "movie", table_, report_, nullptr, {}};
};

}  // namespace quillon::test
