// quillon-export end to end: what it writes for fixture and real movies, what it passes over,
// and that `quillon-export M F` followed by `quillon M F Out` gives the movie back.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "builders/bitmap_builder.h"
#include "builders/member_rows.h"
#include "builders/row_codec.h"
#include "container/builtin_palettes.h"
#include "fixtures/image_writers.h"
#include "fixtures/movie_builder.h"
#include "fixtures/plane_bomb.h"
#include "image/dib.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/tool_run.h"
#include "util/byte_reader.h"
#include "util/paths.h"

namespace quillon {
namespace {

using test::BitmapMemberFields;
using test::Bytes;
using test::MovieBuilder;
using test::RunProgram;
using test::ScratchDir;

using Row = std::map<std::string, std::string>;

// The manifest's rows by column name, after its first, which names the movie; quoted fields may
// hold commas and doubled quotes.
std::vector<Row> ParseManifest(const std::string& csv) {
  std::vector<std::vector<std::string>> lines(1, std::vector<std::string>(1));
  bool quoted = false;
  for (size_t i = 0; i < csv.size(); ++i) {
    const char c = csv[i];
    if (quoted) {
      if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
        lines.back().back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        lines.back().back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      lines.back().emplace_back();
    } else if (c == '\r' && i + 1 < csv.size() && csv[i + 1] == '\n') {
      lines.emplace_back(1);
      ++i;
    } else {
      lines.back().back() += c;
    }
  }
  lines.pop_back();  // after the last line end
  std::vector<Row> rows;
  for (size_t l = 1; l < lines.size(); ++l) {
    EXPECT_EQ(lines[l].size(), lines[0].size()) << l;
    Row row;
    for (size_t f = 0; f < lines[l].size() && f < lines[0].size(); ++f) {
      row[lines[0][f]] = lines[l][f];
    }
    rows.push_back(row);
  }
  if (rows.empty() || rows.front()["kind"] != "movie") {
    ADD_FAILURE() << "no movie row first";
    return rows;
  }
  rows.erase(rows.begin());
  return rows;
}

// A movie file's map entries and chunk data.
class MovieFile {
 public:
  explicit MovieFile(std::string bytes)
      : bytes_(std::move(bytes)),
        order_(bytes_.compare(0, 4, "RIFX") == 0 ? ByteOrder::kBig : ByteOrder::kLittle) {}
  uint32_t UsedCount() const { return Load(60); }
  uint32_t Capacity() const { return Load(56); }
  std::string Tag(uint32_t i) const { return bytes_.substr(76 + 20 * size_t{i}, 4); }
  uint32_t Length(uint32_t i) const { return Load(76 + 20 * size_t{i} + 4); }
  uint32_t Offset(uint32_t i) const { return Load(76 + 20 * size_t{i} + 8); }
  uint32_t Flags(uint32_t i) const { return Load(76 + 20 * size_t{i} + 12); }
  bool IsLive(uint32_t i) const {
    const std::string free = order_ == ByteOrder::kBig ? "free" : "eerf";
    const std::string map = order_ == ByteOrder::kBig ? "mmap" : "pamm";
    return Tag(i) != free && Tag(i) != map && Flags(i) == 0 &&
           Offset(i) >= 76 + 20 * Capacity();
  }
  std::string Data(uint32_t i) const { return bytes_.substr(size_t{Offset(i)} + 8, Length(i)); }

 private:
  uint32_t Load(size_t at) const {
    return LoadU32(reinterpret_cast<const uint8_t*>(bytes_.data()) + at, order_);
  }
  std::string bytes_;
  ByteOrder order_;
};

// Every pixel of a BITD or ALFA chunk, read by the length rule: as is or packed.
std::vector<uint32_t> Pixels(const std::string& chunk, const Row& row) {
  CastBitmapInfo info;
  info.width = static_cast<uint16_t>(std::stoul(row.at("width")));
  info.height = static_cast<uint16_t>(std::stoul(row.at("height")));
  const auto depth = static_cast<uint32_t>(std::stoul(row.at("depth")));
  const PlaneLayout layout = SourceForDepth(static_cast<uint8_t>(depth))->layout;
  const RowGeometry geometry = MemberGeometry(info, depth);
  std::vector<uint8_t> rows;
  const ByteReader data(reinterpret_cast<const uint8_t*>(chunk.data()), chunk.size());
  EXPECT_EQ(DecodeMemberRows(data, geometry, layout, rows), MemberRowsStatus::kOk);
  std::vector<uint32_t> pixels;
  for (uint32_t y = 0; y < geometry.height && !rows.empty(); ++y) {
    for (uint32_t x = 0; x < geometry.width; ++x) {
      pixels.push_back(RowPixel(rows, geometry, layout, x, y));
    }
  }
  return pixels;
}

std::string Stem(const std::string& name) { return name.substr(0, name.rfind('.')); }

// Exports `movie_name` in `dir` into "f"; returns the manifest's rows.
std::vector<Row> Export(const ScratchDir& dir, const std::string& movie_name) {
  const test::RunResult result = RunProgram(QUILLON_EXPORT_EXE, dir.path(), {movie_name, "f"});
  EXPECT_EQ(result.exit_code, 0) << result.output;
  EXPECT_NE(result.output.find(test::PrintedText("\nJob OK!!!\n")), std::string::npos)
      << result.output;
  return ParseManifest(dir.ReadFile("f/" + Stem(movie_name) + ".csv"));
}

// Export, then the run on what it wrote: every live chunk comes back, rebuilt bitmaps and alpha
// channels with the same pixels, everything else byte for byte.
void ExpectRoundTrip(const ScratchDir& dir, const std::string& movie_name) {
  const std::string input = dir.ReadFile(movie_name);
  const std::vector<Row> rows = Export(dir, movie_name);
  const test::RunResult run = RunProgram(QUILLON_EXE, dir.path(), {movie_name, "f", "Out"});
  ASSERT_EQ(run.exit_code, 0) << run.output;
  // Every file gives back what the movie holds: none is a replacement, none is refused.
  const auto files = std::count_if(rows.begin(), rows.end(),
                                   [](const Row& row) { return !row.at("file").empty(); });
  EXPECT_NE(run.output.find(test::PrintedText("Replaced 0 chunks; " + std::to_string(files) +
                                              " files unchanged; 0 files could not be used")),
            std::string::npos)
      << run.output;
  EXPECT_EQ(dir.ReadFile(movie_name), input);
  EXPECT_EQ(dir.ReadFile("Out/" + Stem(movie_name) + ".log").find("collision"), std::string::npos)
      << dir.ReadFile("Out/" + Stem(movie_name) + ".log");

  std::map<uint32_t, Row> rebuilt;
  for (const Row& row : rows) {
    if ((row.at("kind") == "bitmap" || row.at("kind") == "alpha") && !row.at("file").empty()) {
      rebuilt[static_cast<uint32_t>(std::stoul(row.at("entry index")))] = row;
    }
  }
  const MovieFile before(input);
  const MovieFile after(dir.ReadFile("Out/" + movie_name));
  ASSERT_EQ(after.UsedCount(), before.UsedCount());
  for (uint32_t i = 0; i < before.UsedCount(); ++i) {
    EXPECT_EQ(after.Tag(i), before.Tag(i)) << i;
    EXPECT_EQ(after.Flags(i), before.Flags(i)) << i;
    if (!before.IsLive(i)) continue;
    const auto found = rebuilt.find(i);
    if (found == rebuilt.end()) {
      EXPECT_EQ(after.Data(i), before.Data(i)) << movie_name << " entry " << i;
    } else {
      EXPECT_EQ(Pixels(after.Data(i), found->second), Pixels(before.Data(i), found->second))
          << movie_name << " entry " << i;
    }
  }
}

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A movie of ../shared/testdata; empty when the folder is absent.
std::string RealMovie(const std::string& name, const std::string& folder = "movies") {
  std::ifstream in(std::string(QUILLON_TESTDATA_DIR) + "/" + folder + "/" + name,
                   std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Member(uint16_t width, uint16_t height, uint8_t depth, int16_t palette_id = -101,
             uint32_t specific = 28) {
  BitmapMemberFields fields;
  fields.top = 5;
  fields.left = 9;
  fields.bottom = static_cast<uint16_t>(5 + height);
  fields.right = static_cast<uint16_t>(9 + width);
  fields.depth = depth;
  fields.palette_library = -1;
  fields.palette_id = palette_id;
  fields.specific_length = specific;
  return MovieBuilder::BitmapMember(fields);
}

// Planar rows of `row_bytes`, each packed on its own as the builders do.
Bytes PackRows(const Bytes& plane, size_t row_bytes) {
  Bytes packed;
  for (size_t at = 0; at < plane.size(); at += row_bytes) {
    Bytes row(2 * row_bytes);
    row.resize(PackRow(plane.data() + at, row.data(), row_bytes));
    packed.insert(packed.end(), row.begin(), row.end());
  }
  return packed;
}

Bytes Sequence(size_t n, uint32_t step) {
  Bytes bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * step / 3);
  return bytes;
}

// The CLUT colours of the rich movie's palette member: four distinct colours.
const std::vector<uint32_t> kClutColors = {0xFFFFFF, 0xC01020, 0x20C010, 0x000000};

Bytes Clut(const std::vector<uint32_t>& colors) {
  Bytes data;
  for (const uint32_t color : colors) {
    for (const int shift : {16, 8, 0}) {
      data.push_back(static_cast<uint8_t>(color >> shift));
      data.push_back(static_cast<uint8_t>(color >> shift));
    }
  }
  return data;
}

// Every kind of member at every depth, stored packed and as is, odd widths, a palette member,
// GIF media, text chunks, a free and a flagged entry, a type naming a subfolder.
Bytes RichMovie(ByteOrder order = ByteOrder::kLittle) {
  MovieBuilder movie(40, true, order);
  movie.AddChunk("TXTS", {'h', 'i'});
  movie.AddFreeEntry();
  movie.AddChunk("TXTS", {'f', 'l'}, 1);
  const uint32_t m1 = movie.AddChunk("tSAC", Member(5, 3, 8, 2));  // CLUT palette, packed
  const uint32_t b1 = movie.AddChunk("DTIB", PackRows({0, 1, 2, 3, 3, 0, 2, 2, 1, 1, 0, 0, 0,
                                                       3, 0, 0, 1, 2},
                                                      6));
  const uint32_t m2 = movie.AddChunk("tSAC", {});
  const uint32_t clut = movie.AddChunk("TULC", Clut(kClutColors));
  const uint32_t m3 = movie.AddChunk("tSAC", Member(4, 2, 8, -4));  // as is
  const uint32_t b3 = movie.AddChunk("DTIB", {1, 2, 3, 4, 5, 6, 7, 8});
  const uint32_t m4 = movie.AddChunk("tSAC", Member(3, 2, 16));  // as is
  const uint32_t b4 = movie.AddChunk("DTIB", {0x81, 2, 3, 4, 5, 6, 0x7F, 8, 9, 10, 11, 12});
  const uint32_t m5 = movie.AddChunk("tSAC", Member(5, 4, 16));  // packed
  const uint32_t b5 = movie.AddChunk("DTIB", PackRows(Sequence(40, 7), 10));
  const uint32_t m6 = movie.AddChunk("tSAC", Member(2, 2, 32));  // as is
  const uint32_t b6 = movie.AddChunk("DTIB", Sequence(16, 29));
  const uint32_t m7 = movie.AddChunk("tSAC", Member(3, 3, 32));  // one stream across rows
  const uint32_t b7 = movie.AddChunk("DTIB", {0xE4, 0xFF, 0xFA, 0x40});  // 29 + 7 = 36 bytes
  const uint32_t a7 = movie.AddChunk("AFLA", PackRows(Sequence(12, 50), 4));
  const uint32_t m8 = movie.AddChunk("tSAC", {});
  const uint32_t gif = movie.AddChunk("DEMX", {'G', 'I', 'F', '8', '9', 'a', 1, 2, 3});
  movie.AddChunk("ZY/X", {'s', 'u', 'b'});
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{m1}, {m2}, {m3}, {m4}, {m5}, {m6}, {m7}, {m8}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{b1, m1, "DTIB"},
                                                  {clut, m2, "TULC"},
                                                  {b3, m3, "DTIB"},
                                                  {b4, m4, "DTIB"},
                                                  {b5, m5, "DTIB"},
                                                  {b6, m6, "DTIB"},
                                                  {b7, m7, "DTIB"},
                                                  {a7, m7, "AFLA"},
                                                  {gif, m8, "DEMX"}}));
  return movie.Build();
}

// In a Windows movie and in the same movie for the Mac: the same files under the same names,
// each raw chunk file in its movie's byte order.
TEST(ExportRunTest, RoundTripOfEveryKindOfMemberIsTheIdentity) {
  for (const ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    SCOPED_TRACE(order == ByteOrder::kBig ? "RIFX" : "XFIR");
    ScratchDir dir;
    dir.WriteFile("m.dxr", RichMovie(order));
    ExpectRoundTrip(dir, "m.dxr");
    // Images in place of the chunks they stand for; the subfolder type as the raw pass reads it.
    for (const char* name : {"m-000001-8.bmp", "m-000003-8.bmp", "m-000004-16.tga",
                             "m-000006-32.tga", "m-000007-32.tga", "m-000007-8.bmp",
                             "m-000008.gif", "m-000003.STXT", "m-000023.X/YZ"}) {
      EXPECT_TRUE(dir.Exists(std::string("f/") + name)) << name;
    }
    EXPECT_FALSE(dir.Exists("f/m-000007.BITD"));  // member 1's chunk went out as its picture
    EXPECT_FALSE(dir.Exists("f/m-000005.STXT"));  // flagged
    EXPECT_EQ(dir.ReadFile("f/m-000008.gif"), Text({'G', 'I', 'F', '8', '9', 'a', 1, 2, 3}));
    EXPECT_EQ(dir.ReadFile("f/m-000003.STXT"),
              order == ByteOrder::kBig ? std::string("STXT\0\0\0\2hi", 10)
                                       : std::string("TXTS\2\0\0\0hi", 10));
  }
}

// The export names its movie in the manifest, so that another movie of the same stem neither
// exports into that folder nor takes its files.
TEST(ExportRunTest, TwoMoviesOfOneStemNeverShareAFolder) {
  ScratchDir dir;
  dir.WriteFile("GAME.DIR", RichMovie());
  dir.WriteFile("GAME.CXT", RichMovie(ByteOrder::kBig));
  Export(dir, "GAME.DIR");
  const std::vector<std::string> exported = dir.ListFiles("f");
  const test::RunResult second = RunProgram(QUILLON_EXPORT_EXE, dir.path(), {"GAME.CXT", "f"});
  EXPECT_EQ(second.exit_code, 1);
  EXPECT_EQ(second.output,
            test::PrintedText("Quillon v1.1.\nFolder f holds the files of GAME.DIR; those of "
                              "GAME.CXT would mix with them!!!\n"));
  EXPECT_EQ(dir.ListFiles("f"), exported);

  const test::RunResult run = RunProgram(QUILLON_EXE, dir.path(), {"GAME.CXT", "f", "Out"});
  EXPECT_EQ(run.exit_code, 0);
  const std::string refusal = "Files in f are of GAME.DIR, not of GAME.CXT: nothing is replaced\n";
  EXPECT_NE(run.output.find(test::PrintedText(refusal + "Replaced 0 chunks; 0 files unchanged")),
            std::string::npos)
      << run.output;
  EXPECT_EQ(dir.ReadTextFile("Out/GAME.log"), refusal);
  // The movie's own folder is taken as ever, whatever the case of its name.
  EXPECT_EQ(RunProgram(QUILLON_EXPORT_EXE, dir.path(), {"game.dir", "f"}).exit_code, 0);
}

TEST(ExportRunTest, RoundTripOfTheBundledExampleIsTheIdentity) {
  ScratchDir dir;
  ASSERT_EQ(RunProgram(QUILLON_MAKE_EXAMPLE_EXE, dir.path(), {"."}).exit_code, 0);
  ExpectRoundTrip(dir, "Example.dxr");
}

// The number of texts exported: `texts` when given.
void ExpectRealMovieRoundTrip(const char* name, const std::string& folder = "movies",
                              std::optional<size_t> texts = {},
                              const std::string& code_page = "1252") {
  const std::string movie = RealMovie(name, folder);
  if (movie.empty()) GTEST_SKIP() << "no ../shared/testdata";
  ScratchDir dir;
  dir.WriteFile(name, movie);
  ExpectRoundTrip(dir, name);
  if (!texts) return;
  const std::vector<Row> rows = ParseManifest(dir.ReadFile("f/" + Stem(name) + ".csv"));
  EXPECT_EQ(static_cast<size_t>(std::count_if(rows.begin(), rows.end(), [&](const Row& row) {
              return row.at("kind") == "text" && !row.at("file").empty() &&
                     row.at("code page") == code_page;
            })),
            *texts);
}

// Every STXT chunk goes out as its text and comes back byte for byte.
TEST(ExportRunTest, RoundTripOfTheTextMoviesIsTheIdentity) {
  ExpectRealMovieRoundTrip("saving_text_d5_win.dir", "movies", 2);
  ExpectRealMovieRoundTrip("SOFT1.DXR", "movies-with-sound", 32);
}

TEST(ExportRunTest, RoundTripOfPalettesDirIsTheIdentity) {
  ExpectRealMovieRoundTrip("palettes.dir");
}

// Two of its members are stored as is, and their rebuilt rows pack to exactly the plain length,
// which reads back as plain data until the builders keep rebuilt chunks off that length.
TEST(ExportRunTest, RoundTripOfImagesDirIsTheIdentity) {
  ExpectRealMovieRoundTrip("images.dir");
}

// Director 4 members (their layout, the rectangle off the origin) need no reader of their own to
// come back: the cast of the older games the tool serves.
TEST(ExportRunTest, RoundTripOfTheDirector4SampleMoviesIsTheIdentity) {
  ExpectRealMovieRoundTrip("INK1B-1.DIR");
  ExpectRealMovieRoundTrip("INK8COL.DIR");
  ExpectRealMovieRoundTrip("SOFT1.DXR", "movies-with-sound");
}

// Mac movies: big-endian containers, Director 4's members, texts in Mac Roman.
TEST(ExportRunTest, RoundTripOfTheMacSampleMoviesIsTheIdentity) {
  ExpectRealMovieRoundTrip("AppleGame.dir", "mac", 1, "10000");
  ExpectRealMovieRoundTrip("saving_bitmap_d5_mac.dir", "mac", 2, "10000");
}

// Bitmaps of Director 4 at 1, 8, 16 and 32 bits and of Director 5 at 1, 2 and 4 bits, plain and
// packed; the 4-bit one in the 16 colours of Grayscale.
Bytes OlderBitmapsMovie(ByteOrder order = ByteOrder::kLittle) {
  MovieBuilder movie(24, true, order);
  const auto add = [&](BitmapMemberFields fields, uint16_t width, uint16_t height,
                       const Bytes& data) {
    fields.top = 2;
    fields.left = 3;
    fields.bottom = static_cast<uint16_t>(2 + height);
    fields.right = static_cast<uint16_t>(3 + width);
    fields.palette_library = -1;
    const uint32_t member = movie.AddChunk("tSAC", MovieBuilder::BitmapMember(fields));
    return std::pair{member, movie.AddChunk("DTIB", data)};
  };
  BitmapMemberFields d4;
  d4.director4 = true;
  BitmapMemberFields d5;
  std::vector<std::pair<uint32_t, uint32_t>> members;
  d4.depth = 1;
  members.push_back(add(d4, 20, 2, {0xF0, 0x0F, 0xAA, 0xFF, 0x00, 0xFF, 0x55, 0x00}));  // plain
  d4.depth = 8;
  d4.palette_id = -100;
  members.push_back(add(d4, 3, 2, PackRows({1, 2, 3, 0, 9, 9, 9, 0}, 4)));
  d4.depth = 16;
  members.push_back(add(d4, 2, 1, {0x81, 0x02, 0x03, 0x04}));
  d4.depth = 32;
  members.push_back(add(d4, 1, 2, {1, 2, 3, 4, 5, 6, 7, 8}));
  d5.specific_length = 22;  // 1 bit
  members.push_back(add(d5, 9, 1, {0xA5, 0x80}));
  d5.specific_length = 28;
  d5.depth = 2;
  members.push_back(add(d5, 5, 2, PackRows({0x1B, 0xC0, 0xE4, 0x40}, 2)));
  d5.depth = 4;
  d5.palette_id = -2;
  members.push_back(add(d5, 3, 2, {0x0F, 0x70, 0xA5, 0x30}));
  std::vector<test::CastSlot> slots;
  std::vector<test::Key> keys;
  for (const auto& [member, bitd] : members) {
    slots.push_back({member});
    keys.push_back({bitd, member, "DTIB"});
  }
  movie.AddChunk("*SAC", MovieBuilder::CastTable(slots));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable(keys));
  return movie.Build();
}

TEST(ExportRunTest, RoundTripOfOlderBitmapsIsTheIdentity) {
  ScratchDir dir;
  dir.WriteFile("mac.dxr", OlderBitmapsMovie(ByteOrder::kBig));
  ExpectRoundTrip(dir, "mac.dxr");
  dir.WriteFile("m.dxr", OlderBitmapsMovie());
  ExpectRoundTrip(dir, "m.dxr");
  const std::string manifest = dir.ReadFile("f/m.csv");
  for (const char* line : {
           "bitmap,4,BITD,1,3,20,2,1,Binary,m-000001-1.bmp,D4,\r\n",
           "bitmap,6,BITD,2,5,3,2,8,System - Win (Dir 4),m-000002-8.bmp,D4,\r\n",
           "bitmap,8,BITD,3,7,2,1,16,,m-000003-16.tga,D4,\r\n",
           "bitmap,10,BITD,4,9,1,2,32,,m-000004-32.tga,D4,\r\n",
           "bitmap,12,BITD,5,11,9,1,1,Binary,m-000005-1.bmp,,\r\n",
           "bitmap,14,BITD,6,13,5,2,2,Four greys,m-000006-2.bmp,,\r\n",
           "bitmap,16,BITD,7,15,3,2,4,Grayscale,m-000007-4.bmp,,\r\n",
       }) {
    EXPECT_NE(manifest.find(line), std::string::npos) << line << manifest;
  }
}

// What a viewer shows: each exported pixel's colour is the member's colour for its stored index.
TEST(ExportRunTest, OlderBitmapsShowTheirOwnColours) {
  ScratchDir dir;
  dir.WriteFile("m.dxr", OlderBitmapsMovie());
  const std::vector<Row> rows = Export(dir, "m.dxr");
  const MovieFile movie(dir.ReadFile("m.dxr"));
  const BuiltinPalette* greys16 = FindBuiltinPalette(-2, 4);
  const struct {
    size_t row;
    int bit_count;
    std::vector<uint32_t> colors;  // by stored index
  } cases[] = {
      {0, 1, {0xFFFFFF, 0x000000}},
      {5, 4, {0xFFFFFF, 0xACACAC, 0x555555, 0x000000}},
      {6, 4, {greys16->colors, greys16->colors + greys16->size}},
  };
  for (const auto& c : cases) {
    const Row& row = rows.at(c.row);
    SCOPED_TRACE(row.at("file"));
    CDib picture;
    ASSERT_TRUE(picture.LoadBmp((dir.path() + "/f/" + row.at("file")).c_str()));
    EXPECT_EQ(picture.GetBitCount(), c.bit_count);
    const std::vector<uint32_t> stored =
        Pixels(movie.Data(static_cast<uint32_t>(std::stoul(row.at("entry index")))), row);
    const auto width = static_cast<int32_t>(std::stoul(row.at("width")));
    for (size_t i = 0; i < stored.size(); ++i) {
      const auto x = static_cast<int32_t>(i % static_cast<size_t>(width));
      const auto y = static_cast<int32_t>(i / static_cast<size_t>(width));
      EXPECT_EQ(picture.GetColorTableEntry(picture.GetPixel(x, y)), c.colors.at(stored[i])) << i;
    }
  }
}

// An editor may save the picture at another depth or reorder its colour table: what comes back
// is the colour each pixel shows, as the index of that colour among the member's.
TEST(ExportRunTest, AnEditedOlderBitmapAtAnyDepthComesBackWithTheColoursItShows) {
  for (const int bit_count : {1, 4, 8, 24}) {
    SCOPED_TRACE(bit_count);
    ScratchDir dir;
    dir.WriteFile("m.dxr", OlderBitmapsMovie());
    const std::vector<Row> rows = Export(dir, "m.dxr");
    const Row& row = rows.at(6);  // the 4-bit Grayscale member, 3 x 2
    const std::string path = dir.path() + "/f/" + row.at("file");
    CDib exported;
    ASSERT_TRUE(exported.LoadBmp(path.c_str()));
    const MovieFile movie(dir.ReadFile("m.dxr"));
    std::vector<uint32_t> expected =
        Pixels(movie.Data(static_cast<uint32_t>(std::stoul(row.at("entry index")))), row);
    test::BmpLayout edited;
    edited.bit_count = bit_count;
    edited.width = 3;
    edited.height = 2;
    // The table reversed; a 1-bit picture can hold only the colours of its two entries.
    std::vector<uint32_t> table;
    for (uint32_t i = 16; i-- > 0;) table.push_back(exported.GetColorTableEntry(i));
    if (bit_count == 1) table = {exported.GetColorTableEntry(0), exported.GetColorTableEntry(15)};
    if (bit_count <= 8) edited.palette = table;
    for (int32_t y = 0; y < 2; ++y) {
      for (int32_t x = 0; x < 3; ++x) {
        const uint32_t index = exported.GetPixel(x, y);
        const uint32_t color = exported.GetColorTableEntry(index);
        if (bit_count == 24) {
          edited.pixels.push_back(color);
        } else if (bit_count == 1) {
          const uint32_t bit = index < 8 ? 0 : 1;
          edited.pixels.push_back(bit);
          expected[static_cast<size_t>(y * 3 + x)] = bit == 0 ? 0 : 15;
        } else {
          edited.pixels.push_back(15 - index);
        }
      }
    }
    dir.WriteFile("f/" + row.at("file"), test::EncodeBmp(edited));
    ASSERT_EQ(RunProgram(QUILLON_EXE, dir.path(), {"m.dxr", "f", "Out"}).exit_code, 0);
    const MovieFile out(dir.ReadFile("Out/m.dxr"));
    EXPECT_EQ(Pixels(out.Data(static_cast<uint32_t>(std::stoul(row.at("entry index")))), row),
              expected);
  }
}

// Pictures that viewers would draw fully transparent (alpha 0 all over, or no 1-5-5-5 top bit
// set) go out at 24 bits, the others at 32; either way the run gives the stored values back.
TEST(ExportRunTest, PicturesWithoutAlphaAreWrittenAt24Bits) {
  // Cast numbers 1 to 4: one row of two pixels stored as is, each pixel's bytes together.
  const struct {
    uint8_t depth;
    Bytes rows;
    const char* file;
    uint8_t tga_bits;
  } cases[] = {{32, {0, 1, 2, 3, 0, 4, 5, 6}, "f/m-000001-32.tga", 24},
               {32, {0, 1, 2, 3, 9, 4, 5, 6}, "f/m-000002-32.tga", 32},
               {16, {0x7F, 0x01, 0x10, 0x20}, "f/m-000003-16.tga", 24},
               {16, {0x7F, 0x01, 0x90, 0x20}, "f/m-000004-16.tga", 32}};
  MovieBuilder movie(16);
  std::vector<test::CastSlot> slots;
  std::vector<test::Key> keys;
  for (const auto& c : cases) {
    slots.push_back({movie.AddChunk("tSAC", Member(2, 1, c.depth))});
    keys.push_back({movie.AddChunk("DTIB", c.rows), slots.back().member, "DTIB"});
  }
  movie.AddChunk("*SAC", MovieBuilder::CastTable(slots));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable(keys));
  ScratchDir dir;
  dir.WriteFile("m.dxr", movie.Build());
  ExpectRoundTrip(dir, "m.dxr");
  for (const auto& c : cases) {
    const std::string file = dir.ReadFile(c.file);
    ASSERT_EQ(file.size(), 18u + 2 * c.tga_bits / 8) << c.file;
    EXPECT_EQ(file[16], static_cast<char>(c.tga_bits)) << c.file;
  }
}

// A second export into the same folder: files the user changed are kept and named in the
// manifest, files still equal are not written again, and --overwrite replaces what differs.
TEST(ExportRunTest, ASecondExportKeepsEditedFilesUnlessToldToOverwrite) {
  namespace fs = std::filesystem;
  ScratchDir dir;
  dir.WriteFile("m.dxr", RichMovie());
  const test::RunResult first = RunProgram(QUILLON_EXPORT_EXE, dir.path(), {"m.dxr", "f"});
  const std::string closing =
      "Exported 6 bitmaps, 1 alpha channels, 1 GIF media, 0 texts, 0 sounds and 13 chunks into f; "
      "0 passed over";
  EXPECT_NE(first.output.find(test::PrintedText(closing + " (see m.csv).\n")), std::string::npos)
      << first.output;
  const std::string picture = dir.ReadFile("f/m-000001-8.bmp");
  const std::string text = dir.ReadFile("f/m-000003.STXT");
  dir.WriteFile("f/m-000001-8.bmp", picture.substr(0, picture.size() - 1) + "\x7F");
  dir.WriteFile("f/m-000003.STXT", "TXTS\4\0\0\0hej!");
  const fs::path untouched = dir.path() + "/f/m-000008.gif";
  const auto long_ago = fs::last_write_time(untouched) - std::chrono::hours(24);
  fs::last_write_time(untouched, long_ago);

  const test::RunResult second = RunProgram(QUILLON_EXPORT_EXE, dir.path(), {"m.dxr", "f"});
  EXPECT_EQ(second.exit_code, 0);
  EXPECT_NE(second.output.find(test::PrintedText(closing + ", 2 kept (see m.csv).\n")),
            std::string::npos)
      << second.output;
  EXPECT_EQ(dir.ReadFile("f/m-000003.STXT"), "TXTS\4\0\0\0hej!");
  EXPECT_EQ(fs::last_write_time(untouched), long_ago);
  const std::vector<Row> rows = ParseManifest(dir.ReadFile("f/m.csv"));
  const auto text_row = std::find_if(rows.begin(), rows.end(), [](const Row& row) {
    return row.at("file") == "m-000003.STXT";
  });
  ASSERT_NE(text_row, rows.end());
  EXPECT_EQ(text_row->at("note"), "kept: differs from the movie");

  const test::RunResult forced =
      RunProgram(QUILLON_EXPORT_EXE, dir.path(), {"--overwrite", "m.dxr", "f"});
  EXPECT_EQ(forced.exit_code, 0);
  EXPECT_NE(forced.output.find(test::PrintedText(closing + " (see m.csv).\n")), std::string::npos)
      << forced.output;
  EXPECT_EQ(dir.ReadFile("f/m-000001-8.bmp"), picture);
  EXPECT_EQ(dir.ReadFile("f/m-000003.STXT"), text);
  EXPECT_EQ(dir.ReadFile("f/m.csv").find("kept"), std::string::npos);
  EXPECT_EQ(fs::last_write_time(untouched), long_ago);
}

std::vector<uint32_t> ColorTable(const CDib& image) {
  std::vector<uint32_t> table;
  for (uint32_t i = 0; i < 256; ++i) table.push_back(image.GetColorTableEntry(i));
  return table;
}

TEST(ExportRunTest, PalettesDirMembersComeOutInTheirNamedPalettes) {
  const std::string movie = RealMovie("palettes.dir");
  if (movie.empty()) GTEST_SKIP() << "no ../shared/testdata";
  ScratchDir dir;
  dir.WriteFile("palettes.dir", movie);
  const std::vector<Row> rows = Export(dir, "palettes.dir");
  // Members 1 to 9 are drawn in one built-in palette each; 21 to 29 are Director's own 32-bit
  // copies of them.
  const std::pair<int32_t, const char*> palettes[] = {
      {-101, "System - Win"}, {0, "System - Mac"}, {-1, "Rainbow"},
      {-2, "Grayscale"},      {-3, "Pastels"},     {-4, "Vivid"},
      {-5, "NTSC"},           {-6, "Metallic"},    {-100, "System - Win (Dir 4)"}};
  for (uint32_t member = 1; member <= 9; ++member) {
    const auto& [id, name] = palettes[member - 1];
    char file[64];
    std::snprintf(file, sizeof file, "palettes-%06u-8.bmp", member);
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const Row& r) {
      return r.at("file") == file;
    });
    ASSERT_NE(row, rows.end()) << file;
    EXPECT_EQ(row->at("palette"), name);
    CDib picture;
    ASSERT_TRUE(picture.LoadBmp((dir.path() + "/f/" + file).c_str()));
    const BuiltinPalette* builtin = FindBuiltinPalette(id);
    EXPECT_EQ(ColorTable(picture), std::vector<uint32_t>(builtin->colors, builtin->colors + 256));
    std::snprintf(file, sizeof file, "palettes-%06u-32.tga", member + 20);
    CDib copy;
    ASSERT_TRUE(copy.LoadTga((dir.path() + "/f/" + file).c_str())) << file;
    for (int32_t y = 0; y < 16; ++y) {
      for (int32_t x = 0; x < 16; ++x) {
        ASSERT_EQ(picture.GetColorTableEntry(picture.GetPixel(x, y)),
                  copy.GetPixel(x, y) & 0xFFFFFF)
            << name << " " << x << "," << y;
      }
    }
  }
}

TEST(ExportRunTest, APaletteMembersClutBecomesTheColourTable) {
  ScratchDir dir;
  dir.WriteFile("m.dxr", RichMovie());
  const std::vector<Row> rows = Export(dir, "m.dxr");
  EXPECT_EQ(rows[0].at("palette"), "member 2");
  EXPECT_EQ(rows[0].at("note"), "");
  CDib picture;
  ASSERT_TRUE(picture.LoadBmp((dir.path() + "/f/m-000001-8.bmp").c_str()));
  std::vector<uint32_t> expected = kClutColors;
  expected.resize(256, 0);
  EXPECT_EQ(ColorTable(picture), expected);
  EXPECT_EQ(picture.GetWidth(), 5);
  EXPECT_EQ(picture.GetPixel(3, 0), 3u);
}

TEST(ExportRunTest, AnEditedPictureSavedAt24BitsGoesBackAsTheIndicesOfItsColours) {
  ScratchDir dir;
  dir.WriteFile("m.dxr", RichMovie());
  const std::vector<Row> rows = Export(dir, "m.dxr");
  CDib exported;
  ASSERT_TRUE(exported.LoadBmp((dir.path() + "/f/m-000001-8.bmp").c_str()));
  // What an editor saves: the colours themselves, one pixel repainted, one slightly off.
  test::BmpLayout edited;
  edited.bit_count = 24;
  edited.width = 5;
  edited.height = 3;
  std::vector<uint32_t> expected;
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 5; ++x) {
      edited.pixels.push_back(exported.GetColorTableEntry(exported.GetPixel(x, y)));
      expected.push_back(exported.GetPixel(x, y));
    }
  }
  edited.pixels[0] = kClutColors[2];
  expected[0] = 2;
  edited.pixels[7] = kClutColors[1] + 0x030303;
  expected[7] = 1;
  dir.WriteFile("f/m-000001-8.bmp", test::EncodeBmp(edited));
  ASSERT_EQ(RunProgram(QUILLON_EXE, dir.path(), {"m.dxr", "f", "Out"}).exit_code, 0);
  const MovieFile out(dir.ReadFile("Out/m.dxr"));
  EXPECT_EQ(Pixels(out.Data(static_cast<uint32_t>(std::stoul(rows[0].at("entry index")))), rows[0]),
            expected);
}

// Two field members in the code page the export and the run are given: the first one's text
// edited, the second one's refused for a character the code page lacks.
TEST(ExportRunTest, AnEditedTextComesBackInTheCodePageOfTheRun) {
  const struct {
    std::string code_page;
    std::string text;      // as stored
    std::string exported;  // its file, LF line ends, one after the text
    std::string edited;    // the file as the translator saves it
    std::string rebuilt;   // the text that gives
    std::vector<uint32_t> starts;  // the runs', before and after the run
    std::vector<uint32_t> rebuilt_starts;
    std::string lacking;   // a character the code page lacks
    std::string number;    // and its number
  } cases[] = {
      {"1251", "\xCF\xF0\xE8\r1", "\xD0\x9F\xD1\x80\xD0\xB8\n1\n",
       "\xEF\xBB\xBF\xD0\x96\xD0\xB4\xD0\xB8\r\n\xD0\xB4\xD0\xB0", "\xC6\xE4\xE8\r\xE4\xE0",
       {0, 3}, {0, 3}, "\xC3\xA4", "00E4"},
      // The second run started at byte 2, now the second byte of a character; the editor's
      // final line end is no line break.
      {"932", "\x93\xFA\x96{", "\xE6\x97\xA5\xE6\x9C\xAC\n", "a\xE6\x97\xA5\xE6\x9C\xAC\n",
       "a\x93\xFA\x96{", {0, 2}, {0, 1}, "\xE2\x82\xAC", "20AC"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code_page);
    MovieBuilder movie(12);
    const uint32_t m1 = movie.AddChunk("tSAC", {});
    const uint32_t t1 = movie.AddChunk("TXTS", MovieBuilder::TextChunk(c.text, c.starts));
    const uint32_t m2 = movie.AddChunk("tSAC", {});
    const uint32_t t2 = movie.AddChunk("TXTS", MovieBuilder::TextChunk(c.text, {0}));
    movie.AddChunk("*SAC", MovieBuilder::CastTable({{m1}, {m2}}));
    movie.AddChunk("*YEK", MovieBuilder::KeyTable({{t1, m1, "TXTS"}, {t2, m2, "TXTS"}}));
    ScratchDir dir;
    dir.WriteFile("m.dxr", movie.Build());
    const std::string option = "--codepage=" + c.code_page;
    ASSERT_EQ(RunProgram(QUILLON_EXPORT_EXE, dir.path(), {option, "m.dxr", "f"}).exit_code, 0);
    std::string exported = dir.ReadFile("f/m-000001.txt");
    exported.erase(std::remove(exported.begin(), exported.end(), '\r'), exported.end());
    EXPECT_EQ(exported, c.exported);
    EXPECT_NE(dir.ReadFile("f/m.csv").find("text,4,STXT,1,3,,,,,m-000001.txt,," + c.code_page),
              std::string::npos);
    dir.WriteFile("f/m-000001.txt", c.edited);
    dir.WriteFile("f/m-000002.txt", "ok " + c.lacking);
    ASSERT_EQ(RunProgram(QUILLON_EXE, dir.path(), {option, "m.dxr", "f", "Out"}).exit_code, 0);
    const std::string log = dir.ReadTextFile("Out/m.log");  // after the raw files' lines
    EXPECT_EQ(log.substr(std::min(log.find("Cast "), log.size())),
              "Cast 000001->(0003:0004): STXT=" + std::to_string(c.rebuilt.size()) + " bytes\n"
              "Cast 000002->(0005:0006): STXT=" + std::to_string(c.text.size()) + " bytes\n"
              "Cannot use file f" + kPathSeparator + "m-000002.txt: character U+" + c.number +
              " (line 1, column 4) has no byte in code page " + c.code_page + "!!!\n");
    const MovieFile out(dir.ReadFile("Out/m.dxr"));
    EXPECT_EQ(out.Data(t1), Text(MovieBuilder::TextChunk(c.rebuilt, c.rebuilt_starts)));
    EXPECT_EQ(out.Data(t2), Text(MovieBuilder::TextChunk(c.text, {0})));
  }
}

// Mac Roman by Apple's table, the same on every system: a Mac text exported on one imports on
// the other. Every byte but the Apple logo's (private use) goes out and comes back.
TEST(ExportRunTest, MacRomanTextsGoOutInTheSameCharactersOnEverySystem) {
  std::string text;
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    if (byte != 0xF0) text.push_back(static_cast<char>(byte));
  }
  MovieBuilder movie(8, true, ByteOrder::kBig);
  const uint32_t member = movie.AddChunk("tSAC", {});
  const uint32_t stxt = movie.AddChunk("TXTS", MovieBuilder::TextChunk(text, {0}));
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{member}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{stxt, member, "TXTS"}}));
  ScratchDir dir;
  dir.WriteFile("m.dxr", movie.Build());
  ExpectRoundTrip(dir, "m.dxr");
  const std::string utf8 =
      u8"ÄÅÇÉÑÖÜáàâäãåçéèêëíìîïñóòôöõúùûü†°¢£§•¶"
      u8"ß®©™´¨≠ÆØ∞±≤≥¥µ∂∑∏π∫ªºΩæø¿¡¬√ƒ≈∆«»"
      u8"…\u00A0ÀÃÕŒœ–—“”‘’÷◊ÿŸ⁄€‹›ﬁﬂ‡·‚„‰Â"
      u8"ÊÁËÈÍÎÏÌÓÔÒÚÛÙıˆ˜¯˘˙˚¸˝˛ˇ";
  // 0xBD is "\u03A9", 0xC6 "\u2206"; a line end after the text, as editors save it.
  EXPECT_EQ(dir.ReadFile("f/m-000001.txt"), test::PrintedText(utf8 + "\n"));
}

// Members the run would not rebuild, or not from a file of their own, are passed over with the
// reason; their chunks go out raw, so the run still gives them back unchanged.
TEST(ExportRunTest, PassesOverWhatItCannotExportAndSaysWhy) {
  MovieBuilder movie(40);
  const uint32_t m1 = movie.AddChunk("tSAC", Member(2, 2, 8, -101, 30));
  const uint32_t b1 = movie.AddChunk("DTIB", {0xFC, 0});
  const uint32_t m2 = movie.AddChunk("tSAC", Member(2, 2, 3));
  const uint32_t b2 = movie.AddChunk("DTIB", {0xFF, 0});
  const uint32_t m3 = movie.AddChunk("tSAC", Member(0, 2, 8));
  const uint32_t b3 = movie.AddChunk("DTIB", {});
  const uint32_t m4 = movie.AddChunk("tSAC", Member(4, 4, 8));
  const uint32_t b4 = movie.AddChunk("DTIB", {0x05, 1, 2});  // literal cut short
  const uint32_t m5 = movie.AddChunk("tSAC", Member(2, 1, 32, -7));
  const uint32_t b5 = movie.AddChunk("DTIB", {0xF9, 0x00});
  const uint32_t m6 = movie.AddChunk("tSAC", Member(2, 1, 8, -7));
  const uint32_t b6 = movie.AddChunk("DTIB", {0xFF, 0x01});
  movie.AddChunk("/XX/", {'?'});
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{m1}, {m2}, {m3}, {m4}, {m5}, {m6}, {m5}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{b1, m1, "DTIB"},
                                                  {b2, m2, "DTIB"},
                                                  {b3, m3, "DTIB"},
                                                  {b4, m4, "DTIB"},
                                                  {b5, m5, "DTIB"},
                                                  {b6, m6, "DTIB"}}));
  ScratchDir dir;
  dir.WriteFile("m.dxr", movie.Build());
  ExpectRoundTrip(dir, "m.dxr");
  const std::string manifest = dir.ReadFile("f/m.csv");
  for (const char* line : {
           "bitmap,4,BITD,1,3,,,,,,\"specific length 30, not 28\",\r\n",
           "bitmap,6,BITD,2,5,2,2,3,,,depth 3 not supported,\r\n",
           "bitmap,8,BITD,3,7,0,2,8,,,empty rectangle,\r\n",
           "bitmap,10,BITD,4,9,4,4,8,,,unpackable chunk,\r\n",
           "bitmap,12,BITD,5,11,2,1,32,,m-000005-32.tga,,\r\n",
           "bitmap,14,BITD,6,13,2,1,8,System - Win,m-000006-8.bmp,"
           "no built-in palette -7; System - Win used,\r\n",
           "bitmap,12,BITD,7,11,,,,,,chunk already exported for another cast number,\r\n",
           "chunk,4,BITD,,,,,,,m-000004.BITD,,\r\n",
           "chunk,15,/XX/,,,,,,,,type gives no file name,\r\n",
       }) {
    EXPECT_NE(manifest.find(line), std::string::npos) << line << manifest;
  }
}

// Types that name a file on one system may name none, or a device, on another: there the chunk
// is passed over, and the export still completes and still round-trips.
TEST(ExportRunTest, ATypeTheFileSystemCannotNameIsPassedOverAndTheRestExported) {
  MovieBuilder movie(8);
  movie.AddChunk("CB:A", {'c', 'o', 'l'});
  movie.AddChunk("LUN/", {'d', 'e', 'v'});
  movie.AddChunk("TXTS", {'o', 'k'});
  ScratchDir dir;
  dir.WriteFile("m.dxr", movie.Build());
  ExpectRoundTrip(dir, "m.dxr");
  const std::vector<Row> rows = ParseManifest(dir.ReadFile("f/m.csv"));
  ASSERT_EQ(rows.size(), 3u);
  for (const Row& row : rows) {
    EXPECT_NE(row.at("file").empty(), row.at("note").empty()) << row.at("type");
    if (!row.at("note").empty()) {
      EXPECT_EQ(row.at("note"), "type gives no file name");
    }
  }
  EXPECT_EQ(rows[2].at("file"), "m-000005.STXT");
}

// A type ending in a space (sounds, "snd ") is written under the name Windows opens for it,
// without the space, on every system, and the run finds it there.
TEST(ExportRunTest, ATypeEndingInASpaceIsWrittenUnderItsWindowsName) {
  MovieBuilder movie(6);
  movie.AddChunk(" dns", {'s', 'n', 'd'});
  ScratchDir dir;
  dir.WriteFile("m.dxr", movie.Build());
  ExpectRoundTrip(dir, "m.dxr");
  const std::string name = "m-000003.snd";
  const std::vector<Row> rows = ParseManifest(dir.ReadFile("f/m.csv"));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at("file"), name);
  EXPECT_EQ(dir.ReadFile("f/" + name), Text({' ', 'd', 'n', 's', 3, 0, 0, 0, 's', 'n', 'd'}));
  // Read, and found unchanged: a file no pass reads would be logged as not used.
  EXPECT_EQ(dir.ReadTextFile("Out/m.log"), "");
}

// An 8-bit member's pixels and alpha channel both come back, each from a file of its own.
TEST(ExportRunTest, AnEightBitMembersAlphaChannelComesBackFromItsOwnFile) {
  MovieBuilder movie(12);
  const uint32_t member = movie.AddChunk("tSAC", Member(2, 1, 8));
  const Bytes bitmap_data = PackRows({3, 7}, 2);
  const Bytes alpha_data = PackRows({200, 100}, 2);
  const uint32_t alpha = movie.AddChunk("AFLA", alpha_data);
  const uint32_t bitmap = movie.AddChunk("DTIB", bitmap_data);
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{member}}));
  movie.AddChunk("*YEK",
                 MovieBuilder::KeyTable({{alpha, member, "AFLA"}, {bitmap, member, "DTIB"}}));
  ScratchDir dir;
  dir.WriteFile("m.dxr", movie.Build());
  ExpectRoundTrip(dir, "m.dxr");
  const std::vector<Row> rows = ParseManifest(dir.ReadFile("f/m.csv"));
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[0].at("file"), "m-000001-alpha.bmp");
  EXPECT_EQ(rows[1].at("file"), "m-000001-8.bmp");
  EXPECT_FALSE(dir.Exists("f/m-000004.ALFA"));
  const MovieFile unchanged(dir.ReadFile("Out/m.dxr"));
  EXPECT_EQ(unchanged.Data(alpha), Text(alpha_data));
  EXPECT_EQ(unchanged.Data(bitmap), Text(bitmap_data));

  test::BmpLayout edited;
  edited.width = 2;
  edited.height = 1;
  edited.pixels = {1, 2};
  dir.WriteFile("f/m-000001-alpha.bmp", test::EncodeBmp(edited));
  ASSERT_EQ(RunProgram(QUILLON_EXE, dir.path(), {"m.dxr", "f", "Out"}).exit_code, 0);
  const MovieFile rebuilt(dir.ReadFile("Out/m.dxr"));
  EXPECT_EQ(rebuilt.Data(alpha), Text(PackRows({1, 2}, 2)));
  EXPECT_EQ(rebuilt.Data(bitmap), Text(bitmap_data));
}

// Ten slots naming a member whose rectangle claims a gigabyte, with two packed bytes: the export
// passes it over at once, and the run rebuilds it from a 1 x 1 picture without reserving for
// the rectangle, both within a memory cap where the system has one.
TEST(ExportRunTest, APlaneBombCostsWhatItsBytesGive) {
  ScratchDir dir;
  dir.WriteFile("m.dxr", test::PlaneBombMovie());
  const uint64_t cap = test::kAddressSpaceLimitsApply ? uint64_t{64} << 20
                                                       : test::kNoAddressSpaceLimit;
  const test::RunResult exported =
      RunProgram(QUILLON_EXPORT_EXE, dir.path(), {"m.dxr", "f"}, test::kNoFileSizeLimit, cap);
  ASSERT_EQ(exported.exit_code, 0) << exported.output;
  const std::vector<Row> rows = ParseManifest(dir.ReadFile("f/m.csv"));
  const auto bitmaps = std::count_if(rows.begin(), rows.end(), [](const Row& row) {
    return row.at("kind") == "bitmap" && row.at("note") == "unpackable chunk";
  });
  EXPECT_EQ(bitmaps, test::kPlaneBombSlots);

  test::BmpLayout picture;
  picture.width = 1;
  picture.height = 1;
  picture.pixels = {7};
  dir.WriteFile("p/m-000001-8.bmp", test::EncodeBmp(picture));
  const test::RunResult run =
      RunProgram(QUILLON_EXE, dir.path(), {"m.dxr", "p", "Out"}, test::kNoFileSizeLimit, cap);
  ASSERT_EQ(run.exit_code, 0) << run.output;
  const std::string log = dir.ReadTextFile("Out/m.log");
  EXPECT_NE(log.find("BITD=32000x32000x8\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Cannot use file"), std::string::npos) << log;
}

TEST(ExportRunTest, RefusesWhatTheRunRefusesWithItsMessages) {
  ScratchDir dir;
  dir.WriteFile("bad.dxr", std::string("RIFX") + std::string(100, '\0'));
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"bad.dxr", "f"}, "Unknown file format bad.dxr!!!\n"},
      {{"nope.dxr", "f"}, "Cannot Open File nope.dxr: No such file or directory!!!\n"},
      {{"bad.dxr"}, "Syntax: \"Quillon-Export.exe\" <s:InFile.DXR> <s:FilesDir>\n"},
      {{"bad.dxr", "f", "x"}, "Syntax: \"Quillon-Export.exe\" <s:InFile.DXR> <s:FilesDir>\n"},
      {{"--codepage=65001", "bad.dxr", "f"},
       "kept\nUnknown code page 65001!!!\nCode pages offered: 874 (Thai), 932 (Japanese), "},
      {{"bad.dxr", "f", "--overwrite"}, "kept\nUnknown option --overwrite!!!\n"},
      {{"--codepage", "1251", "bad.dxr", "f"}, "kept\nUnknown option --codepage!!!\n"},
      {{"--overwite", "bad.dxr", "f"}, "kept\nUnknown option --overwite!!!\n"},
  };
  for (const auto& c : cases) {
    const test::RunResult result = RunProgram(QUILLON_EXPORT_EXE, dir.path(), c.args);
    EXPECT_EQ(result.exit_code, 1) << c.message;
    EXPECT_NE(result.output.find(test::PrintedText(c.message)), std::string::npos) << result.output;
  }
  EXPECT_FALSE(dir.Exists("f"));
}

TEST(ExportRunTest, BothProgramsAnswerHelpAndVersionAlone) {
  ScratchDir dir;
  const std::string banner = "Quillon v1.1.\n";
  const std::string vendor =
      "Program written using Varnel Console Interface (VarnelUtil->CI) v0.9.2\n";
  const std::string option =
      "Option: --codepage=N (before InFile): the code page of the texts, 1252 if not given (10000 "
      "in a Mac movie)\n";
  const std::string overwrite =
      "Option: --overwrite (before InFile): files that differ from the movie are replaced, not "
      "kept\n";
  const std::string export_usage = banner + vendor +
                                   "Syntax: \"Quillon-Export.exe\" <s:InFile.DXR> <s:FilesDir>\n" +
                                   option + overwrite;
  const struct {
    const char* program;
    std::vector<std::string> args;
    std::string output;
    int exit_code;
  } cases[] = {
      {QUILLON_EXE, {"--help"}, banner + vendor +
           "Syntax: \"Quillon.exe\" <s:InFile.DXR> <s:FilesDir> [s:OutDir=\"Out\"]\n" + option, 0},
      {QUILLON_EXE, {"--version"}, banner, 0},
      {QUILLON_EXPORT_EXE, {"--help"}, export_usage, 0},
      {QUILLON_EXPORT_EXE, {"--version"}, banner, 0},
      // A code page not on offer is refused before anything else.
      {QUILLON_EXE, {"--codepage=x", "m.dxr", "f"}, banner + vendor +
           "Syntax: \"Quillon.exe\" <s:InFile.DXR> <s:FilesDir> [s:OutDir=\"Out\"]\n" + option +
           "Unknown code page x!!!\nCode pages offered: 874 (Thai), 932 (Japanese), 936 "
           "(Simplified Chinese), 949 (Korean), 950 (Traditional Chinese), 1250 (Central "
           "European), 1251 (Cyrillic), 1252 (Western), 1253 (Greek), 1254 (Turkish), 1257 "
           "(Baltic), 10000 (Mac Roman)\n", 1},
      // Beside other arguments they are options out of place.
      {QUILLON_EXPORT_EXE, {"--version", "f"}, export_usage + "Unknown option --version!!!\n", 1},
  };
  for (const auto& c : cases) {
    const test::RunResult result = RunProgram(c.program, dir.path(), c.args);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.args[0];
    EXPECT_EQ(result.output, test::PrintedText(c.output)) << c.args[0];
  }
}

TEST(ExportRunTest, NeverWritesOverItsInput) {
  ScratchDir dir;
  const Bytes movie = RichMovie();
  dir.WriteFile("f/m.csv", movie);  // the manifest's own name
  const test::RunResult result = RunProgram(QUILLON_EXPORT_EXE, dir.path(), {"f/m.csv", "f"});
  EXPECT_EQ(result.exit_code, 1);
  const std::string manifest = std::string("f") + kPathSeparator + "m.csv";
  EXPECT_NE(result.output.find(test::PrintedText("Cannot write file " + manifest +
                                                ": it is the input movie!!!\n")),
            std::string::npos)
      << result.output;
  EXPECT_EQ(dir.ReadFile("f/m.csv"), Text(movie));
}

}  // namespace
}  // namespace quillon
