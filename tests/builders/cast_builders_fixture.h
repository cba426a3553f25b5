#pragma once
// A build context over a scratch FilesDir, a table of 16 slots and a log file, for the tests of
// the cast media builders.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "builders/build_context.h"
#include "container/replacement_table.h"
#include "tests/support/scratch_dir.h"
#include "util/report.h"

namespace quillon::test {

class CastBuildersTest : public ::testing::Test {
 protected:
  std::string LogText() {
    log_.Flush();
    return files_.ReadTextFile("run.log");
  }
  // The data of the chunk held for `child` (after its 8-byte header), which must be held.
  std::vector<uint8_t> HeldData(uint32_t child) const;
  // The tag and length in front of the chunk held for `child`.
  std::string HeldHeader(uint32_t child) const;

  ScratchDir files_;
  ReplacementTable table_{16};
  Log log_{std::fopen((files_.path() + "/run.log").c_str(), "w")};
  BuildContext context_{files_.path(), "movie", table_, log_, nullptr, {}};
};

}  // namespace quillon::test
