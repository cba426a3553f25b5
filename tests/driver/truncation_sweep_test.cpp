// Every prefix of a movie with cast media goes through the container check, the raw and cast
// passes with the real builders, and the write pass, as a run does; so do cut copies of each of
// its replacement files. Whatever is cut, nothing may be read outside the bytes that are there
// (the sanitizer build checks every read), and a movie the check accepts is written whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "builders/build_context.h"
#include "builders/run_passes.h"
#include "container/cast_members.h"
#include "container/container_writer.h"
#include "container/movie.h"
#include "container/replacement_table.h"
#include "fixtures/cast_media.h"
#include "fixtures/movie_builder.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_dir.h"
#include "util/reporter.h"

namespace quillon {
namespace {

using test::Bytes;
using test::MovieBuilder;

// Entry 3 is replaced whole; the cast media follow from entry 4, and a gap nobody points at ends
// the file.
// In either byte order, the raw file in its movie's; compacted, or saved without compacting
// (its current map at the end, an older one at 44).
Bytes CastMovie(std::vector<test::MediaFile>& files, ByteOrder order, bool compacted) {
  MovieBuilder movie(16, true, order);
  if (!compacted) movie.MoveMapToEnd(MovieBuilder::At44::kOlderMap);
  movie.AddChunk("TXTS", {'t', 'e', 'x', 't'});
  files = test::AddCastMedia(movie, "m");
  files.push_back(
      {"m-000003.STXT", order == ByteOrder::kBig
                            ? Bytes{'S', 'T', 'X', 'T', 0, 0, 0, 4, 'n', 'e', 'w', '!'}
                            : Bytes{'T', 'X', 'T', 'S', 4, 0, 0, 0, 'n', 'e', 'w', '!'}});
  movie.Append(Bytes(6, 0xEE));
  return movie.Build();
}

Bytes Prefix(const Bytes& bytes, size_t length) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

class TruncationSweepTest : public testing::TestWithParam<std::tuple<ByteOrder, bool>> {
 protected:
  void SetUp() override {
    movie_ = CastMovie(files_in_dir_, std::get<0>(GetParam()), std::get<1>(GetParam()));
    for (const test::MediaFile& file : files_in_dir_) dir_.WriteFile("f/" + file.name, file.bytes);
  }

  // The run's passes over `input`, the write pass too when asked; false when the container
  // check refuses it, which it may only do for a damaged movie.
  bool RunPasses(const Bytes& input, bool write_output) {
    Bytes view = input;  // stands in for the copy-on-write mapping the write pass patches
    const ContainerCheck check = CheckContainer(view.data(), view.size());
    if (!check) {
      EXPECT_TRUE(view.size() < 4 || !DescribeDamage(check).empty()) << view.size();
      return false;
    }
    MovieView movie(view.data(), view.size());
    ReplacementTable table(movie.UsedCount());
    sink_ = test::RecordingSink();
    Reporter report(sink_);
    const CastTables tables(movie);
    const BuildContext context{files_, "m", table, report, &tables, {}};
    for (const RunPass* pass = RunPassesBegin(); pass != RunPassesEnd(); ++pass) {
      pass->run(context);
    }
    if (write_output) ExpectWritten(movie, table);
    return true;
  }
  void RemoveFile(const std::string& name) const { std::filesystem::remove(files_ + "/" + name); }
  void ExpectWritten(MovieView& movie, ReplacementTable& table) const {
    const uint64_t expected_length = ReLaidLength(movie, table);
    ASSERT_EQ(WriteContainer(movie, table, output_), WriteStatus::kWritten);
    std::error_code error;
    EXPECT_EQ(std::filesystem::file_size(output_, error), expected_length);
  }

  test::RecordingSink sink_;  // the last run's
  std::vector<test::MediaFile> files_in_dir_;
  Bytes movie_;
  test::ScratchDir dir_;
  const std::string files_ = dir_.path() + "/f";
  const std::string output_ = dir_.path() + "/out.dxr";
};

TEST_P(TruncationSweepTest, MovieCutAtEveryLength) {
  size_t accepted = 0;
  for (size_t length = 0; length <= movie_.size(); ++length) {
    if (RunPasses(Prefix(movie_, length), true)) ++accepted;
  }
  // The whole movie and, compacted, those cut inside the trailing gap reach the passes; cut
  // anywhere, one saved without compacting loses the map at its end.
  EXPECT_EQ(accepted, std::get<1>(GetParam()) ? 7u : 1u);
  // The last run, over the whole movie, replaced everything it was meant to.
  EXPECT_EQ(sink_.log,
            "Frame 0003 was substituted from file " + files_ + "/m-000003.STXT...\n"
            "Cast 000001->(0004:0005): BITD=9x6x8\n"
            "Colours of " + files_ + "/m-000001-8.bmp mapped to the member's palette\n"
            "Cast 000002->(0006:0007): BITD=8x4x16\n"
            "Cast 000003->(0008:0009): BITD=6x6x32\n"
            "Cast 000003->(0008:000A): ALFA=6x6x8\n");
}

// One file at a time in FilesDir (the other members keep their chunks), cut at every length in
// its first and last 128 bytes and at every 16th in between: a colour table cut anywhere inside
// reads alike. The movie sweep covers the write pass.
TEST_P(TruncationSweepTest, EachReplacementFileCut) {
  for (const test::MediaFile& file : files_in_dir_) RemoveFile(file.name);
  for (const test::MediaFile& file : files_in_dir_) {
    const size_t size = file.bytes.size();
    for (size_t length = 0; length < size; ++length) {
      if (length >= 128 && size - length > 128 && length % 16 != 0) continue;
      dir_.WriteFile("f/" + file.name, Prefix(file.bytes, length));
      ASSERT_TRUE(RunPasses(movie_, false)) << file.name;
    }
    RemoveFile(file.name);
  }
}

INSTANTIATE_TEST_SUITE_P(ByteOrdersAndMaps, TruncationSweepTest,
                         testing::Combine(testing::Values(ByteOrder::kLittle, ByteOrder::kBig),
                                          testing::Bool()));

}  // namespace
}  // namespace quillon
