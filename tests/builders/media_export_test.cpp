// The export steps' decisions, one owned chunk at a time, without files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builders/bitmap_export.h"
#include "builders/gif_media.h"
#include "container/bitmap_member.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "fixtures/movie_builder.h"

namespace quillon {
namespace {

using test::BitmapMemberFields;
using test::Bytes;
using test::MovieBuilder;

struct StepCase {
  const char* name;
  BitmapMemberFields fields;
  Bytes chunk;            // the owned BITD or ALFA data
  bool alpha;
  std::string file;       // the name the step gives; empty for none
  std::string note;
  std::optional<uint32_t> depth;
};

BitmapMemberFields Fields(uint16_t width, uint8_t depth, uint32_t specific_length = 28) {
  BitmapMemberFields fields;
  fields.right = width;
  fields.bottom = 1;
  fields.depth = depth;
  fields.specific_length = specific_length;
  return fields;
}

TEST(BitmapExportTest, NotesWhyAMemberIsPassedOverOrNamesItsPicture) {
  const StepCase cases[] = {
      {"plain 8-bit rows", Fields(2, 8), {5, 6}, false, "m-000001-8.bmp", "", 8},
      {"another specific length", Fields(2, 8, 30), {5, 6}, false, "",
       "specific length 30, not 28", {}},
      {"a depth without a layout", Fields(2, 3), {5, 6}, false, "",
       "depth 3 not supported", 3},
      {"plain 4-bit rows", Fields(3, 4), {0x12, 0x30}, false, "m-000001-4.bmp", "", 4},
      {"an empty rectangle", Fields(0, 8), {}, false, "", "empty rectangle", 8},
      {"rows that do not unpack", Fields(2, 8), {0x05, 1, 2}, false, "", "unpackable chunk",
       8},
      {"an alpha channel", Fields(2, 32), {9, 9}, true, "m-000001-8.bmp", "", 8},
      {"the alpha channel of an 8-bit bitmap, whose pixels take -8.bmp", Fields(2, 8), {9, 9},
       true, "m-000001-alpha.bmp", "", 8},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.name);
    MovieBuilder builder(8);
    const Bytes member = MovieBuilder::BitmapMember(c.fields);
    const uint32_t member_entry = builder.AddChunk("tSAC", member);
    const uint32_t child = builder.AddChunk(c.alpha ? "AFLA" : "DTIB", c.chunk);
    Bytes file = builder.Build();
    ASSERT_TRUE(CheckContainer(file.data(), file.size()));
    const MovieView movie(file.data(), file.size());
    ExportContext context{movie, CastTables(), "m", {}};
    const CastMedia media{1, member_entry, child, {member.data(), member.size()}};
    ManifestRow row;
    ExportedFile exported;
    (c.alpha ? ExportAlpha : ExportBitmap)(context, media, row, exported);
    EXPECT_EQ(exported.name, c.file);
    EXPECT_EQ(exported.size != 0, !c.file.empty());
    EXPECT_EQ(row.note.substr(0, c.note.size()), c.note);
    EXPECT_EQ(row.depth, c.depth);
  }
}

TEST(GifExportTest, PointsAtTheXmedDataOrNotesThatItLiesOutsideTheFile) {
  MovieBuilder builder(8);
  const uint32_t inside = builder.AddChunk("DEMX", {'G', 'I', 'F', '8', '9', 'a'});
  const uint32_t outside = builder.AddEntry("DEMX", 100, builder.Length() - 8, 1);
  Bytes file = builder.Build();
  ASSERT_TRUE(CheckContainer(file.data(), file.size()));
  const MovieView movie(file.data(), file.size());
  const ExportContext context{movie, CastTables(), "m", {}};
  ManifestRow row;
  ExportedFile exported;
  ExportGif(context, {4, 3, inside, {}}, row, exported);
  EXPECT_EQ(exported.name, "m-000004.gif");
  EXPECT_EQ(std::string(exported.data, exported.data + exported.size), "GIF89a");
  ExportedFile none;
  ExportGif(context, {4, 3, outside, {}}, row, none);
  EXPECT_TRUE(none.name.empty());
  EXPECT_EQ(row.note, "chunk lies outside the file");
}

}  // namespace
}  // namespace quillon
