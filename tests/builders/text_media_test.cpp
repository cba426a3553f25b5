#include "builders/text_media.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "builders/stxt.h"
#include "builders/text_file.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "fixtures/movie_builder.h"
#include "tests/builders/cast_builders_fixture.h"
#include "util/code_page.h"
#include "util/paths.h"

namespace quillon::test {
namespace {

// Member 1 (entry 3) owns the STXT chunk of entry 4, and in some cases a second one (entry 5).
class TextMediaTest : public CastBuildersTest {
 protected:
  void MakeMovie(const Bytes& stxt, bool second_text = false) {
    MovieBuilder builder(12);
    const uint32_t member = builder.AddChunk("tSAC", {});
    const uint32_t text = builder.AddChunk("TXTS", stxt);
    std::vector<Key> keys = {{text, member, "TXTS"}};
    if (second_text) keys.push_back({builder.AddChunk("TXTS", stxt), member, "TXTS"});
    builder.AddChunk("*SAC", MovieBuilder::CastTable({{member}}));
    builder.AddChunk("*YEK", MovieBuilder::KeyTable(keys));
    file_ = builder.Build();
    ASSERT_TRUE(CheckContainer(file_.data(), file_.size()));
    movie_ = MovieView(file_.data(), file_.size());
    tables_ = CastTables(movie_);
  }
  void Build(uint32_t code_page, uint32_t child = 4) {
    ASSERT_TRUE(code_page_.Open(code_page));
    const BuildContext context{files_.path(), "movie", table_, report_, &tables_, {&code_page_}};
    Import(context, kTypeText, {1, 3, child, {}});
  }
  std::string FilePath() const { return files_.path() + kPathSeparator + "movie-000001.txt"; }

  Bytes file_;
  MovieView movie_;
  CastTables tables_;
  CodePage code_page_;
};

struct TextCase {
  const char* name;
  uint32_t code_page;
  std::string old_text;
  std::vector<uint32_t> old_starts;
  std::optional<std::string> file;      // none: no file
  std::optional<std::string> new_text;  // none: the chunk is kept
  std::vector<uint32_t> new_starts;
  std::string refusal;
};

TEST_F(TextMediaTest, RebuildsTheChunkFromTheTextFileOrSaysWhyNot) {
  const TextCase cases[] = {
      {"a longer text", 1252, "Save", {0, 2}, "Save the movie", "Save the movie", {0, 2}, ""},
      {"a shorter one drops the runs past its end", 1252, "Duplicate Text", {0, 5, 10},
       "Duplicat", "Duplicat", {0, 5}, ""},
      {"an empty one keeps the first run, at 0", 1252, "Text", {1, 2}, "", "", {0}, ""},
      {"accented letters", 1252, "x", {0}, "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC",
       "Gr\xFC\xDF\x65 \x80", {0}, ""},
      {"Cyrillic", 1251, "x", {0}, "\xD0\x9F\xD1\x80\xD0\xB8", "\xCF\xF0\xE8", {0}, ""},
      // A run that started at byte 3 now falls on the second byte of "本".
      {"Japanese", 932, "abcdef", {0, 3}, "\xE6\x97\xA5\xE6\x9C\xAC" "a", "\x93\xFA\x96{a",
       {0, 2}, ""},
      {"every line end and a byte-order mark", 1252, "x", {0}, "\xEF\xBB\xBF" "a\nb\r\nc\rd",
       "a\rb\rc\rd", {0}, ""},
      {"a character the code page lacks", 1252, "old", {0}, "ok \xD0\x96", std::nullopt, {},
       "character U+0416 (line 1, column 4) has no byte in code page 1252"},
      {"a C1 control", 1252, "old", {0}, "\xC2\x81", std::nullopt, {},
       "character U+0081 (line 1, column 1) has no byte in code page 1252"},
      // Lines counted at every kind of line end, columns in characters, the mark not counted.
      {"where it stands", 1252, "old", {0},
       "\xEF\xBB\xBFl1\nl2\r\nl3\r\r\xC3\xA4\xC3\xB6\xD0\x96", std::nullopt, {},
       "character U+0416 (line 5, column 3) has no byte in code page 1252"},
      // Editors end the last line: that line end is dropped, one only.
      {"a final LF", 1252, "x", {0}, "Klick mich!\n", "Klick mich!", {0}, ""},
      {"a final CR LF", 1252, "x", {0}, "Klick mich!\r\n", "Klick mich!", {0}, ""},
      {"a final CR", 1252, "x", {0}, "Klick mich!\r", "Klick mich!", {0}, ""},
      {"two final LFs", 1252, "x", {0}, "a\n\n", "a\r", {0}, ""},
      {"two final CR LFs", 1252, "x", {0}, "a\r\n\r\n", "a\r", {0}, ""},
      {"LF then CR LF", 1252, "x", {0}, "a\n\r\n", "a\r", {0}, ""},
      {"a line end alone", 1252, "x", {0}, "\xEF\xBB\xBF\r\n", "", {0}, ""},
      {"bytes that are no UTF-8", 1252, "old", {0}, "ok \xFF", std::nullopt, {},
       "not UTF-8 text"},
      {"no file", 1252, "old", {0}, std::nullopt, std::nullopt, {}, ""},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(FilePath());
    table_ = ReplacementTable(16);
    const std::string log_before = LogText();
    MakeMovie(MovieBuilder::TextChunk(c.old_text, c.old_starts));
    if (c.file) files_.WriteFile("movie-000001.txt", *c.file);
    Build(c.code_page);
    const size_t length = c.new_text ? c.new_text->size() : c.old_text.size();
    std::string expected = "Cast 000001->(0003:0004): STXT=" + std::to_string(length) + " bytes\n";
    if (!c.refusal.empty()) {
      expected += "Cannot use file " + FilePath() + ": " + c.refusal + "!!!\n";
    }
    EXPECT_EQ(LogText().substr(log_before.size()), expected);
    if (c.new_text) {
      EXPECT_EQ(HeldData(4), MovieBuilder::TextChunk(*c.new_text, c.new_starts));
    } else {
      EXPECT_EQ(HeldHeader(4), "none");
    }
  }
}

// One line end after every text, dropped again on reading: texts that end in line breaks, and
// the empty one, come back as they were.
TEST(TextFileTest, WritesALineEndAfterTheTextAndDropsOneOnReading) {
#ifdef _WIN32
  const std::string line_end = "\r\n";
#else
  const std::string line_end = "\n";
#endif
  const struct {
    std::u32string text;
    std::string file;  // "|" for the platform's line end
  } cases[] = {
      {U"", "|"}, {U"Klick mich!", "Klick mich!|"}, {U"a\r", "a||"},
      {U"\r\r", "|||"}, {U"a\rb", "a|b|"},
  };
  CodePage code_page;
  ASSERT_TRUE(code_page.Open(1252));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    std::string expected;
    for (const char byte : c.file) expected += byte == '|' ? line_end : std::string(1, byte);
    const std::vector<uint8_t> file = MakeTextFile(c.text);
    EXPECT_EQ(std::string(file.begin(), file.end()), expected);
    EncodedText encoded;
    UnmappableCharacter unmappable;
    ASSERT_EQ(EncodeTextFile(ByteReader(file.data(), file.size()), code_page, encoded,
                             unmappable),
              TextFileStatus::kOk);
    std::u32string back;
    ASSERT_TRUE(code_page.Decode(ByteReader(encoded.bytes.data(), encoded.bytes.size()), back));
    EXPECT_EQ(back, c.text);
  }
}

// The raw pass's chunk displaced; a member's second text and an unreadable chunk left alone.
TEST_F(TextMediaTest, LogsTheCollisionAndLeavesWhatItMustNotRebuild) {
  Bytes stxt = MovieBuilder::TextChunk("abc", {0});
  files_.WriteFile("movie-000001.txt", "new");
  MakeMovie(stxt, true);
  table_.PutReplacement(4, {'T', 'X', 'T', 'S', 0, 0, 0, 0});
  Build(1252);
  Build(1252, 5);
  stxt[3] = 11;  // header length
  MakeMovie(stxt);
  Build(1252);
  EXPECT_EQ(LogText(),
            "Cast 000001->(0003:0004): STXT=3 bytes\n"
            "Frames collision 3! Frame 0004 was alread patched!!! Deleting previous patch...\n"
            "Cast 000001->(0003:0005): STXT=3 bytes\n"
            "Cast 000001->(0003:0004): STXT=unreadable!!!\n");
  EXPECT_EQ(HeldData(4), MovieBuilder::TextChunk("new", {0}));
  EXPECT_EQ(HeldHeader(5), "none");
}

struct ExportCase {
  const char* name;
  uint32_t code_page;
  Bytes stxt;
  std::string file;  // empty: none
  std::string note;
};

Bytes WithTail(Bytes stxt) {
  stxt.push_back(0);
  return stxt;
}

TEST_F(TextMediaTest, ExportsOnlyATextThatComesBackByteForByte) {
  const std::string end = kPathSeparator == '\\' ? "\r\n" : "\n";
  const ExportCase cases[] = {
      {"lines", 1252, MovieBuilder::TextChunk("Gr\xFC\xDF\r\x80", {0, 3}),
       "Gr\xC3\xBC\xC3\x9F" + end + "\xE2\x82\xAC" + end, ""},
      {"double-byte characters", 932, MovieBuilder::TextChunk("\x93\xFA\x96{", {0, 2}),
       "\xE6\x97\xA5\xE6\x9C\xAC" + end, ""},
      {"a final line break", 1252, MovieBuilder::TextChunk("a\r", {0}), "a" + end + end, ""},
      {"a byte the code page leaves undefined", 1252, MovieBuilder::TextChunk("a\x81", {0}), "",
       "text holds bytes that code page 1252 does not define"},
      {"a line feed", 1252, MovieBuilder::TextChunk("a\nb", {0}), "",
       "text holds a line feed, which would come back as a line break"},
      {"a run past the text", 1252, MovieBuilder::TextChunk("ab", {0, 2}), "",
       "chunk would not come back byte for byte from its text"},
      {"a first run after 0", 1252, MovieBuilder::TextChunk("ab", {1}), "",
       "chunk would not come back byte for byte from its text"},
      {"bytes after the style runs", 1252, WithTail(MovieBuilder::TextChunk("ab", {0})), "",
       "chunk would not come back byte for byte from its text"},
      {"an unreadable chunk", 1252, Bytes{0, 0, 0, 12, 0, 0, 0, 9}, "", "unreadable STXT chunk"},
  };
  for (const ExportCase& c : cases) {
    SCOPED_TRACE(c.name);
    MakeMovie(c.stxt);
    ASSERT_TRUE(code_page_.Open(c.code_page));
    const ExportContext context{movie_, tables_, "m", {&code_page_}};
    ManifestRow row;
    ExportedFile exported;
    ExportText(context, {1, 3, 4, {}}, row, exported);
    EXPECT_EQ(exported.name, c.file.empty() ? "" : "m-000001.txt");
    EXPECT_EQ(std::string(exported.data, exported.data + exported.size), c.file);
    EXPECT_EQ(row.note, c.note);
    EXPECT_EQ(row.code_page, c.code_page);
  }
  MakeMovie(MovieBuilder::TextChunk("ab", {0}), true);
  const ExportContext context{movie_, tables_, "m", {&code_page_}};
  ManifestRow row;
  ExportedFile exported;
  ExportText(context, {1, 3, 5, {}}, row, exported);
  EXPECT_EQ(row.note, "not the member's first STXT chunk");
}

}  // namespace
}  // namespace quillon::test
