// Cast media rebuilt end to end: the `quillon` executable on generated movies and on the real
// sample movie, with replacement images in FilesDir.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "builders/row_codec.h"
#include "fixtures/image_writers.h"
#include "fixtures/movie_builder.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/tool_run.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

using test::BitmapMemberFields;
using test::Bytes;
using test::MovieBuilder;
using test::RunResult;

RunResult RunQuillon(const std::string& folder, const std::vector<std::string>& args) {
  return test::RunProgram(QUILLON_EXE, folder, args);
}

ByteOrder OrderOf(const std::string& movie) {
  return movie.compare(0, 4, "RIFX") == 0 ? ByteOrder::kBig : ByteOrder::kLittle;
}

// Entry i's chunk data in a movie file, read through its map entry in the file's byte order.
std::string ChunkData(const std::string& movie, uint32_t i) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(movie.data());
  const ByteOrder order = OrderOf(movie);
  const size_t entry = 76 + 20 * size_t{i};
  if (entry + 20 > movie.size()) return "<no entry>";
  const uint32_t length = LoadU32(bytes + entry + 4, order);
  const uint32_t offset = LoadU32(bytes + entry + 8, order);
  if (uint64_t{offset} + 8 + length > movie.size()) return "<outside>";
  return movie.substr(size_t{offset} + 8, length);
}

uint32_t UsedCount(const std::string& movie) {
  return LoadU32(reinterpret_cast<const uint8_t*>(movie.data()) + 60, OrderOf(movie));
}

std::string ReadBinary(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
  std::fclose(file);
  return bytes;
}

std::string Str(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

Bytes Member(uint16_t width, uint16_t height, uint8_t depth, uint32_t specific = 28) {
  BitmapMemberFields fields;
  fields.top = 3;  // off the origin, as in real movies
  fields.left = 7;
  fields.bottom = static_cast<uint16_t>(3 + height);
  fields.right = static_cast<uint16_t>(7 + width);
  fields.depth = depth;
  fields.specific_length = specific;
  return MovieBuilder::BitmapMember(fields);
}

// An 8-bit BMP whose colour table holds white alone, entry 0 of every built-in palette: every
// index agrees with the member's colours, so the indices are taken as they stand.
Bytes Bmp8(int32_t width, int32_t height, const std::vector<uint32_t>& indices) {
  test::BmpLayout bmp;
  bmp.width = width;
  bmp.height = height;
  bmp.pixels = indices;
  bmp.palette = {0xFFFFFF};
  return test::EncodeBmp(bmp);
}

// In a Windows movie and in the same movie for the Mac, whose raw chunk file is in its order.
class CastRunOrderTest : public testing::TestWithParam<ByteOrder> {};

TEST_P(CastRunOrderTest, RebuildsEveryKindOfCastMediaAndLogsEachMember) {
  const bool mac = GetParam() == ByteOrder::kBig;
  test::ScratchDir dir;
  MovieBuilder movie(20, true, GetParam());
  const uint32_t m1 = movie.AddChunk("tSAC", Member(3, 2, 8));    // 3
  const uint32_t bitd1 = movie.AddChunk("DTIB", {0xAA});          // 4
  const uint32_t alfa1 = movie.AddChunk("AFLA", {0xBB});          // 5
  const uint32_t m2 = movie.AddChunk("tSAC", Member(2, 1, 16));   // 6
  const uint32_t bitd2 = movie.AddChunk("DTIB", {0xCC});          // 7
  const uint32_t m3 = movie.AddChunk("tSAC", Member(2, 1, 32));   // 8
  const uint32_t bitd3 = movie.AddChunk("DTIB", {0xDD});          // 9
  const uint32_t m4 = movie.AddChunk("tSAC", Member(1, 1, 8));    // 10
  const uint32_t xmed = movie.AddChunk("DEMX", Bytes{'G', 'I', 'F', '8', '9', 'a', 0});  // 11
  const uint32_t m5 = movie.AddChunk("tSAC", Member(1, 1, 8, 30));  // 12
  const uint32_t bitd5 = movie.AddChunk("DTIB", {0xEE});          // 13
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{m1}, {m2, false}, {m3}, {m4}, {m5}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{bitd1, m1, "DTIB"},
                                                  {alfa1, m1, "AFLA"},
                                                  {bitd2, m2, "DTIB"},
                                                  {bitd3, m3, "DTIB"},
                                                  {xmed, m4, "DEMX"},
                                                  {bitd5, m5, "DTIB"}}));
  const Bytes input = movie.Build();
  dir.WriteFile("m.dxr", input);
  dir.WriteFile("f/m-000004.BITD", mac ? Str({'B', 'I', 'T', 'D', 0, 0, 0, 1, 0x11})
                                       : Str({'D', 'T', 'I', 'B', 1, 0, 0, 0, 0x11}));
  dir.WriteFile("f/m-000001-8.bmp", Bmp8(3, 2, {5, 5, 5, 1, 2, 3}));
  dir.WriteFile("f/m-000001-alpha.bmp", Bmp8(3, 2, {5, 5, 5, 1, 2, 3}));
  dir.WriteFile("f/m-000002-16.tga", test::EncodeTrueColorTga(32, 2, 1, {0x80FF8040, 0}, 0x20));
  dir.WriteFile("f/m-000003-32.tga",
                test::EncodeTrueColorTga(32, 2, 1, {0x11223344, 0x11223344}, 0x20));
  dir.WriteFile("f/m-000004.gif", "GIF89a new");

  const RunResult result = RunQuillon(dir.path(), {"m.dxr", "f"});
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_EQ(dir.ReadFile("m.dxr"), Str(input));
  EXPECT_EQ(dir.ReadFile("Out/m.log"),
            "Frame 0004 was substituted from file f/m-000004.BITD...\n"
            "Cast 000001->(0003:0004): BITD=3x2x8\n"
            "Frames collision 2! Frame 0004 was alread patched!!! Deleting previous patch...\n"
            "Cast 000001->(0003:0005): ALFA=3x2x8\n"
            "Cast 000002->(0006:0007): BITD=2x1x16\n"
            "Cast 000003->(0008:0009): BITD=2x1x32\n"
            "Cast 000005->(000C:000D): BITD=30 bittype!!!\n");
  // Entry 4's raw file was displaced, not added: five chunks are replaced.
  EXPECT_NE(result.output.find("Replaced 5 chunks; 0 files unchanged; 0 files could not be used "
                               "(see Out/m.log).\nWriting resulting cast Out/m.dxr...\n\n"
                               "Job OK!!!\n"),
            std::string::npos);

  const std::string out = dir.ReadFile("Out/m.dxr");
  const std::string worked_example = Str({0xFE, 5, 0, 0, 3, 1, 2, 3, 0});
  EXPECT_EQ(ChunkData(out, bitd1), worked_example);
  EXPECT_EQ(ChunkData(out, alfa1), worked_example);
  EXPECT_EQ(ChunkData(out, bitd2), Str({0x03, 0xFE, 0x00, 0x08, 0x00}));
  // Packed to the plain length of 8, so its last repeat run is spelt out.
  EXPECT_EQ(ChunkData(out, bitd3), Str({0xFF, 0x11, 0xFF, 0x22, 0xFF, 0x33, 0x01, 0x44, 0x44}));
  EXPECT_EQ(ChunkData(out, xmed), "GIF89a new");
  EXPECT_EQ(ChunkData(out, bitd5), "\xEE");
  for (uint32_t member : {m1, m2, m3, m4, m5}) {
    EXPECT_EQ(ChunkData(out, member), ChunkData(Str(input), member));
  }
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, CastRunOrderTest,
                         testing::Values(ByteOrder::kLittle, ByteOrder::kBig));

// A bitmap member as its log line names it.
struct LoggedMember {
  uint32_t cast_number;
  uint32_t child;
  uint32_t width;
  uint32_t height;
  uint32_t depth;
};

std::vector<LoggedMember> BuiltMembers(const std::string& log) {
  std::vector<LoggedMember> members;
  const std::regex line(R"(Cast (\d+)->\([0-9A-F]+:([0-9A-F]+)\): BITD=(\d+)x(\d+)x(\d+))");
  for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it) {
    const std::smatch& m = *it;
    members.push_back({static_cast<uint32_t>(std::stoul(m[1])),
                       static_cast<uint32_t>(std::stoul(m[2], nullptr, 16)),
                       static_cast<uint32_t>(std::stoul(m[3])),
                       static_cast<uint32_t>(std::stoul(m[4])),
                       static_cast<uint32_t>(std::stoul(m[5]))});
  }
  return members;
}

// Pixels with runs of every length, so that both kinds of run turn up.
std::vector<uint32_t> RandomPixels(size_t count, std::mt19937& random) {
  std::vector<uint32_t> pixels;
  while (pixels.size() < count) {
    const uint32_t value = static_cast<uint32_t>(random());
    pixels.insert(pixels.end(), std::min<size_t>(1 + random() % 6, count - pixels.size()), value);
  }
  return pixels;
}

// The planes of one member row as the movie stores them.
Bytes ExpectedRow(const LoggedMember& member, const uint32_t* pixels) {
  const uint32_t w = member.width;
  Bytes row;
  if (member.depth <= 8) {
    // Most significant bits first, in whole 16-bit words.
    row.resize((size_t{w} * member.depth + 15) / 16 * 2);
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t bit = x * member.depth;
      row[bit / 8] = static_cast<uint8_t>(row[bit / 8] | pixels[x] << (8 - member.depth - bit % 8));
    }
  } else if (member.depth == 16) {
    row.resize(2 * size_t{w});
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t v = pixels[x];
      const uint32_t q =
          (v >> 31) << 15 | (v >> 19 & 31) << 10 | (v >> 11 & 31) << 5 | (v >> 3 & 31);
      row[x] = static_cast<uint8_t>(q >> 8);
      row[w + x] = static_cast<uint8_t>(q);
    }
  } else {
    row.resize(4 * size_t{w});
    for (uint32_t x = 0; x < w; ++x) {
      for (uint32_t plane = 0; plane < 4; ++plane) {
        row[plane * w + x] = static_cast<uint8_t>(pixels[x] >> (24 - 8 * plane));
      }
    }
  }
  return row;
}

// The movie's own BITD data fits the size the log names: stored plain or packed, its rows hold
// exactly height x row length bytes.
bool HoldsRows(const std::string& bitd, const LoggedMember& member) {
  const size_t expected = ExpectedRow(member, std::vector<uint32_t>(member.width).data()).size() *
                          member.height;
  if (bitd.size() == expected) return true;
  Bytes plane(expected);
  size_t count = plane.size();
  return UnpackRow(reinterpret_cast<const uint8_t*>(bitd.data()), bitd.size(), plane.data(),
                   count) == UnpackStatus::kOk &&
         count == expected;
}

// Replaces every bitmap of a sample movie from generated images: the new BITD
// chunks unpack, row by row and plane by plane, to the images' pixels, and every other chunk is
// carried unchanged. Returns the bitmap members found, by depth.
std::vector<size_t> RebuildSampleMovie(const std::string& relative) {
  const std::string movie_path = std::string(QUILLON_TESTDATA_DIR) + "/" + relative;
  const std::string movie_name = relative.substr(relative.rfind('/') + 1);
  const std::string original = ReadBinary(movie_path);
  test::ScratchDir dir;

  // A first run without images names every bitmap member and its size.
  const std::string stem = movie_name.substr(0, movie_name.rfind('.'));
  std::vector<size_t> counts(33);
  EXPECT_EQ(RunQuillon(dir.path(), {movie_path, "none", "first"}).exit_code, 0);
  const std::vector<LoggedMember> members = BuiltMembers(dir.ReadFile("first/" + stem + ".log"));
  for (const LoggedMember& m : members) ++counts.at(m.depth);

  std::mt19937 random(4242);
  std::vector<std::vector<uint32_t>> images;
  for (const LoggedMember& m : members) {
    images.push_back(RandomPixels(size_t{m.width} * m.height, random));
    char name[48];
    std::snprintf(name, sizeof name, "-%06u", m.cast_number);
    if (m.depth <= 8) {
      for (uint32_t& index : images.back()) index &= (1u << m.depth) - 1;
      dir.WriteFile(
          "f/" + stem + name + "-" + std::to_string(m.depth) + ".bmp",
          Bmp8(static_cast<int32_t>(m.width), static_cast<int32_t>(m.height), images.back()));
    } else if (m.depth == 16 || m.depth == 32) {
      dir.WriteFile("f/" + stem + name + (m.depth == 16 ? "-16.tga" : "-32.tga"),
                    test::EncodeTrueColorTga(32, static_cast<uint16_t>(m.width),
                                             static_cast<uint16_t>(m.height), images.back(), 0x20));
    }
  }
  EXPECT_EQ(RunQuillon(dir.path(), {movie_path, "f", "second"}).exit_code, 0);
  const std::string out = dir.ReadFile("second/" + movie_name);
  std::vector<bool> rebuilt(UsedCount(original), false);
  for (size_t i = 0; i < members.size(); ++i) {
    const LoggedMember& m = members[i];
    rebuilt.at(m.child) = true;
    EXPECT_TRUE(HoldsRows(ChunkData(original, m.child), m)) << "cast " << m.cast_number;
    const std::string packed = ChunkData(out, m.child);
    const size_t row_bytes = ExpectedRow(m, images[i].data()).size();
    Bytes plane(row_bytes * m.height);
    size_t count = plane.size();
    EXPECT_EQ(UnpackRow(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(),
                        plane.data(), count),
              UnpackStatus::kOk)
        << "cast " << m.cast_number;
    EXPECT_EQ(count, plane.size()) << "cast " << m.cast_number;
    for (uint32_t y = 0; y < m.height; ++y) {
      const Bytes expected = ExpectedRow(m, images[i].data() + size_t{y} * m.width);
      if (!std::equal(expected.begin(), expected.end(),
                      plane.begin() + static_cast<long>(y * row_bytes))) {
        ADD_FAILURE() << "cast " << m.cast_number << " differs from row " << y;
        break;
      }
    }
  }
  // Only live chunks are written; the map itself changes with the layout.
  for (uint32_t i = 0; i < rebuilt.size(); ++i) {
    const size_t entry = 76 + 20 * size_t{i};
    const std::string tag = original.substr(entry, 4);
    const uint32_t flags =
        LoadU32(reinterpret_cast<const uint8_t*>(original.data()) + entry + 12, OrderOf(original));
    if (rebuilt[i] || flags != 0) continue;
    if (tag == "pamm" || tag == "eerf" || tag == "mmap" || tag == "free") continue;
    EXPECT_EQ(ChunkData(out, i), ChunkData(original, i)) << "entry " << i;
  }
  return counts;
}

bool SampleMoviePresent(const std::string& movie_name) {
  return !ReadBinary(std::string(QUILLON_TESTDATA_DIR) + "/" + movie_name).empty();
}

TEST(CastRunTest, RebuildsTheImagesSampleMovieAtEveryDepth) {
  if (!SampleMoviePresent("movies/images.dir")) GTEST_SKIP() << "images.dir is absent";
  const std::vector<size_t> counts = RebuildSampleMovie("movies/images.dir");
  for (const size_t depth : {1u, 2u, 4u, 8u, 16u, 32u}) EXPECT_GT(counts[depth], 0u) << depth;
}

TEST(CastRunTest, RebuildsThePalettesSampleMovie) {
  if (!SampleMoviePresent("movies/palettes.dir")) GTEST_SKIP() << "palettes.dir is absent";
  const std::vector<size_t> counts = RebuildSampleMovie("movies/palettes.dir");
  EXPECT_GT(counts[8] + counts[32], 0u);
}

TEST(CastRunTest, RebuildsTheMacSampleMovies) {
  if (!SampleMoviePresent("mac/AppleGame.dir")) GTEST_SKIP() << "the Mac movies are absent";
  EXPECT_GT(RebuildSampleMovie("mac/AppleGame.dir")[8], 60u);
  EXPECT_EQ(RebuildSampleMovie("mac/saving_bitmap_d5_mac.dir")[32], 2u);
}

}  // namespace
}  // namespace quillon
