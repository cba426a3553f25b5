// Every prefix of a movie with cast media, and of each of its replacement files, goes through
// the container check, the raw and cast passes with the real builders, and the write pass, as a
// run does. Whatever is cut, nothing may be read outside the bytes that are there (the sanitizer
// build checks every read), and a movie the check accepts is written whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "builders/cast_media_builders.h"
#include "builders/raw_pass.h"
#include "container/cast_members.h"
#include "container/container_writer.h"
#include "container/movie.h"
#include "container/replacement_table.h"
#include "driver/report.h"
#include "fixtures/image_writers.h"
#include "fixtures/movie_builder.h"
#include "tests/support/scratch_dir.h"

namespace quillon {
namespace {

using test::Bytes;
using test::MovieBuilder;

Bytes Member(uint16_t width, uint16_t height, uint8_t depth) {
  test::BitmapMemberFields fields;
  fields.bottom = height;
  fields.right = width;
  fields.depth = depth;
  return MovieBuilder::BitmapMember(fields);
}

// Entry 3 is replaced whole; cast members 1 to 3 are 8-bit (with alpha), 16- and 32-bit
// bitmaps, member 4 holds GIF media. A gap nobody points at ends the file.
Bytes CastMovie() {
  MovieBuilder movie(16);
  movie.AddChunk("TXTS", {'t', 'e', 'x', 't'});
  const uint32_t indexed = movie.AddChunk("tSAC", Member(3, 2, 8));
  const uint32_t indexed_pixels = movie.AddChunk("DTIB", {0xAA});
  const uint32_t indexed_alpha = movie.AddChunk("AFLA", {0xBB});
  const uint32_t high = movie.AddChunk("tSAC", Member(2, 2, 16));
  const uint32_t high_pixels = movie.AddChunk("DTIB", {0xCC});
  const uint32_t full = movie.AddChunk("tSAC", Member(2, 1, 32));
  const uint32_t full_pixels = movie.AddChunk("DTIB", {0xDD});
  const uint32_t animation = movie.AddChunk("tSAC", Member(1, 1, 8));
  const uint32_t gif = movie.AddChunk("DEMX", {'G', 'I', 'F', '8', '9', 'a', 0});
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{indexed}, {high}, {full}, {animation}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{indexed_pixels, indexed, "DTIB"},
                                                  {indexed_alpha, indexed, "AFLA"},
                                                  {high_pixels, high, "DTIB"},
                                                  {full_pixels, full, "DTIB"},
                                                  {gif, animation, "DEMX"}}));
  movie.Append(Bytes(6, 0xEE));
  return movie.Build();
}

struct ReplacementFile {
  std::string name;
  Bytes bytes;
};

std::vector<ReplacementFile> ReplacementFiles() {
  test::BmpLayout indexed;
  indexed.width = 3;
  indexed.height = 2;
  indexed.pixels = {1, 2, 3, 3, 2, 1};
  indexed.palette.assign(4, 0x204060);
  const std::vector<uint32_t> colors = {0x80FF8040, 0x00123456, 0x7F000000, 0xFFFFFFFF};
  return {
      {"m-000003.STXT", {'T', 'X', 'T', 'S', 4, 0, 0, 0, 'n', 'e', 'w', '!'}},
      {"m-000001-8.bmp", test::EncodeBmp(indexed)},
      {"m-000002-16.tga", test::EncodeTrueColorTga(24, 2, 2, colors, 0x20)},
      {"m-000003-32.tga", test::EncodeTrueColorTga(32, 2, 1, colors, 0x00)},
      {"m-000004.gif", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}},
  };
}

Bytes Prefix(const Bytes& bytes, size_t length) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

class TruncationSweepTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const ReplacementFile& file : ReplacementFiles()) {
      dir_.WriteFile("f/" + file.name, file.bytes);
    }
    testing::internal::CaptureStdout();  // a progress line per file tried
  }
  void TearDown() override { testing::internal::GetCapturedStdout(); }

  // The run's passes over `input`; false when the container check refuses it.
  bool RunPasses(const Bytes& input) {
    Bytes view = input;  // stands in for the copy-on-write mapping the write pass patches
    if (!CheckContainer(view.data(), view.size())) return false;
    MovieView movie(view.data(), view.size());
    ReplacementTable table(movie.UsedCount());
    Log log(Log::OpenFile(dir_.path() + "/run.log"));
    RawPass(movie, files_, "m", table, log);
    CastMediaBuilders builders(files_, "m", table, log);
    CastPass(movie, builders);
    const uint64_t expected_length = ReLaidLength(movie, table);
    EXPECT_EQ(WriteContainer(movie, table, output_), WriteStatus::kWritten) << input.size();
    std::error_code error;
    EXPECT_EQ(std::filesystem::file_size(output_, error), expected_length) << input.size();
    return true;
  }

  test::ScratchDir dir_;
  const std::string files_ = dir_.path() + "/f";
  const std::string output_ = dir_.path() + "/out.dxr";
};

TEST_F(TruncationSweepTest, MovieCutAtEveryLength) {
  const Bytes movie = CastMovie();
  size_t accepted = 0;
  for (size_t length = 0; length <= movie.size(); ++length) {
    if (RunPasses(Prefix(movie, length))) ++accepted;
  }
  // The whole movie and those cut inside the trailing gap reach the passes.
  EXPECT_EQ(accepted, 7u);
  // The last run, over the whole movie, replaced everything it was meant to.
  EXPECT_EQ(dir_.ReadFile("run.log"),
            "Frame 0003 was substituted from file " + files_ + "/m-000003.STXT...\n"
            "Cast 000001->(0004:0005): BITD=3x2x8\n"
            "Cast 000001->(0004:0006): ALFA=3x2x8\n"
            "Cast 000002->(0007:0008): BITD=2x2x16\n"
            "Cast 000003->(0009:000A): BITD=2x1x32\n");
}

TEST_F(TruncationSweepTest, EachReplacementFileCutAtEveryLength) {
  const Bytes movie = CastMovie();
  for (const ReplacementFile& file : ReplacementFiles()) {
    for (size_t length = 0; length < file.bytes.size(); ++length) {
      dir_.WriteFile("f/" + file.name, Prefix(file.bytes, length));
      ASSERT_TRUE(RunPasses(movie)) << file.name;
    }
    dir_.WriteFile("f/" + file.name, file.bytes);
  }
}

}  // namespace
}  // namespace quillon
