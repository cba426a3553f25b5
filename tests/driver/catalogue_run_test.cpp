// The translation catalogue end to end: quillon-export writes it, quillon takes it back, on
// movies with scripts of every literal and handler layout in both byte orders, and on real ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "container/lingo_script.h"
#include "container/member_info.h"
#include "container/movie.h"
#include "fixtures/movie_builder.h"
#include "fixtures/script_chunks.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/tool_run.h"
#include "util/paths.h"
#include "util/po_catalogue.h"

namespace quillon {
namespace {

using test::Bytes;
using test::MovieBuilder;
using test::RunProgram;
using test::ScratchDir;
using test::ScriptFields;

constexpr uint32_t kScriptEntry = 9;
constexpr uint32_t kTextEntry = 11;

// The catalogue's path as the run composes it.
const std::string kPo = JoinPath("f", "M.po");

ScriptFields Script(int16_t version, const std::string& first) {
  ScriptFields fields;
  fields.version = version;
  fields.handler_vector_count = 2;
  fields.literals = {{first}, {"", 4, 7}, {"odd"}, {"Bye now"}, {"help"}};
  fields.handlers = {{0, test::PushLiteral(0, version)}, {1, test::PushLiteral(3, version)}};
  return fields;
}

Bytes FieldMember(bool director4) {
  return director4 ? Bytes{0, 2, 0, 0, 0, 0, 3, 0} : Bytes{0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0};
}

// Entries: 3 VWCF, 4 CAS*, 5 KEY*, 6 script member, 7 Lctx, 8 Lnam, 9 Lscr, 10 field member,
// 11 STXT (runs at 0, 4 and 8), 12 VWLB, 13 an Lscr whose lengths disagree.
Bytes ScriptMovie(ByteOrder order, const ScriptFields& script, const std::string& text) {
  const bool director4 = script.version < 1201;
  MovieBuilder movie(16, true, order);
  movie.AddChunk("FCWV", test::ConfigChunk(script.version));
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{6}, {10}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{kTextEntry, 10, "TXTS"}}));
  movie.AddChunk("tSAC", test::ScriptMember(1, "", "Title", director4));
  movie.AddChunk("xtcL", test::LingoContext({static_cast<int32_t>(kScriptEntry)}));
  movie.AddChunk("manL", test::LingoNames({"mouseUp", "exitFrame"}));
  movie.AddChunk("rcsL", test::LingoScript(script));
  movie.AddChunk("tSAC", FieldMember(director4));
  movie.AddChunk("TXTS", MovieBuilder::TextChunk(text, {0, 4, 8}));
  movie.AddChunk("BLWV", test::FrameLabels({{1, "help"}}));
  Bytes broken = test::LingoScript(script);
  broken[15] ^= 2;
  movie.AddChunk("rcsL", broken);
  return movie.Build();
}

std::string Str(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The data of entry i of a movie's bytes.
Bytes ChunkData(const std::string& file, uint32_t i) {
  Bytes bytes(file.begin(), file.end());
  if (!CheckContainer(bytes.data(), bytes.size())) return {};
  const MovieView movie(bytes.data(), bytes.size());
  const MapEntry entry = movie.Entry(i);
  const uint8_t* data = movie.ChunkData(i, entry.length);
  return Bytes(data, data + entry.length);
}

// The start and the other 16 bytes of each run of an STXT chunk's data.
std::vector<std::pair<uint32_t, Bytes>> Runs(const Bytes& stxt) {
  const uint32_t text = LoadU32Be(stxt.data() + 4);
  const uint16_t count = LoadU16Be(stxt.data() + 12 + text);
  std::vector<std::pair<uint32_t, Bytes>> runs;
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* run = stxt.data() + 14 + text + 20 * i;
    runs.emplace_back(LoadU32Be(run), Bytes(run + 4, run + 20));
  }
  return runs;
}

// Every entry of the output holds the input's chunk data.
void ExpectSameChunks(const std::string& output, const std::string& input) {
  Bytes bytes(input.begin(), input.end());
  ASSERT_TRUE(CheckContainer(bytes.data(), bytes.size()));
  const MovieView movie(bytes.data(), bytes.size());
  for (uint32_t i = 0; i < movie.UsedCount(); ++i) {
    if (movie.IsLive(i)) {
      EXPECT_EQ(ChunkData(output, i), ChunkData(input, i)) << i;
    }
  }
}

std::vector<PoEntry> ReadCatalogue(const std::string& text) {
  std::vector<PoEntry> entries;
  uint32_t line = 0;
  EXPECT_EQ(ReadPoCatalogue(ByteReader(reinterpret_cast<const uint8_t*>(text.data()),
                                       text.size()),
                            entries, line),
            PoStatus::kOk);
  return entries;
}

// A catalogue of the header and `entries` as {context, msgid, msgstr}.
std::string Catalogue(const std::vector<std::vector<std::string>>& entries,
                      const std::string& code_page = "1252") {
  std::vector<PoEntry> po(1);
  po[0].str = "Content-Type: text/plain; charset=UTF-8\nX-Code-Page: " + code_page + "\n";
  for (const auto& entry : entries) {
    PoEntry e;
    e.has_context = true;
    e.context = entry[0];
    e.id = entry[1];
    e.str = entry[2];
    po.push_back(e);
  }
  return WritePoCatalogue(po);
}

test::RunResult RunQuillon(const ScratchDir& dir, std::vector<std::string> options = {}) {
  options.insert(options.end(), {"M.dxr", "f", "Out"});
  return RunProgram(QUILLON_EXE, dir.path(), options);
}

const ByteOrder kOrders[] = {ByteOrder::kLittle, ByteOrder::kBig};
const int16_t kVersions[] = {1117, 1201, 1700};

TEST(CatalogueRunTest, ExportedCatalogueComesBackUnchangedAndTranslatedScriptsParse) {
  for (const ByteOrder order : kOrders) {
    for (const int16_t version : kVersions) {
      SCOPED_TRACE(std::to_string(version) + (order == ByteOrder::kBig ? " Mac" : " Windows"));
      ScratchDir dir;
      const ScriptFields fields = Script(version, "Hello");
      const std::string input = Str(ScriptMovie(order, fields, "One {two} three"));
      dir.WriteFile("M.dxr", input);
      ASSERT_EQ(RunProgram(QUILLON_EXPORT_EXE, dir.path(), {"M.dxr", "f"}).exit_code, 0);
      const std::string exported = dir.ReadFile("f/M.po");
      EXPECT_NE(exported.find("#. script of cast member 1 \"Title\"\n#. pushed by mouseUp\n"
                              "msgctxt \"Lscr 9 #0\"\nmsgid \"Hello\""),
                std::string::npos);
      EXPECT_NE(exported.find("#. names a frame label: translating it breaks the script\n"
                              "msgctxt \"Lscr 9 #4\""),
                std::string::npos);
      EXPECT_NE(exported.find("#. field of cast member 2\n#, python-brace-format\nmsgctxt "
                              "\"STXT 11\"\nmsgid \"One {2}{{two{3}}} three\""),
                std::string::npos)
          << exported;
      EXPECT_NE(dir.ReadFile("f/M.csv").find("unreadable script: no catalogue entries"),
                std::string::npos);
      ASSERT_EQ(RunQuillon(dir).exit_code, 0);
      ExpectSameChunks(dir.ReadFile("Out/M.dxr"), input);

      std::vector<PoEntry> entries = ReadCatalogue(exported);
      const std::vector<std::string> translations = {"Héllo, wide world", "x", "Line\none", "",
                                                     "{3}Un {{deux}} {2}trois"};
      ASSERT_EQ(entries.size(), translations.size() + 1);
      for (size_t i = 0; i < translations.size(); ++i) entries[i + 1].str = translations[i];
      dir.WriteFile("f/M.po", WritePoCatalogue(entries));
      const test::RunResult run = RunQuillon(dir);
      ASSERT_EQ(run.exit_code, 0) << run.output;
      ScriptFields expected = fields;
      // Written in the catalogue's code page: the movie's own, Mac Roman in a Mac movie.
      expected.literals[0].text =
          order == ByteOrder::kBig ? "H\x8Ello, wide world" : "H\xE9llo, wide world";
      expected.literals[2].text = "x";
      expected.literals[3].text = "Line\rone";
      const std::string output = dir.ReadFile("Out/M.dxr");
      EXPECT_EQ(ChunkData(output, kScriptEntry), test::LingoScript(expected));
      const Bytes text = ChunkData(output, kTextEntry);
      EXPECT_EQ(Str(Bytes(text.begin() + 12, text.begin() + 27)), "Un {deux} trois");
      // Runs 1, 3 and 2 at 0, 0 and 10, written in text order.
      const auto runs = Runs(text);
      ASSERT_EQ(runs.size(), 3u);
      EXPECT_EQ(runs[0], std::make_pair(0u, Bytes(16, 1)));
      EXPECT_EQ(runs[1], std::make_pair(0u, Bytes(16, 3)));
      EXPECT_EQ(runs[2], std::make_pair(10u, Bytes(16, 2)));
      // The exported text and raw files, unchanged, replace nothing: the catalogue's texts
      // displace no other file's.
      const std::string log = dir.ReadTextFile("Out/M.log");
      EXPECT_NE(log.find("STXT 000B: 15 bytes from " + kPo + "\n"), std::string::npos) << log;
      EXPECT_EQ(log.find("collision"), std::string::npos) << log;
      EXPECT_NE(log.find("Lscr 0009: 3 of 4 strings replaced from " + kPo + "\n"),
                std::string::npos);
    }
  }
}

TEST(CatalogueRunTest, TranslationsGoIntoTheCodePageOfTheRun) {
  const struct {
    const char* code_page;
    std::string translation;
    std::string bytes;
  } cases[] = {
      {"1251", "Привет", "\xCF\xF0\xE8\xE2\xE5\xF2"},
      {"932", "こんにちは", "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD"},
      {"1252", "Ça va", "\xC7" "a va"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code_page);
    ScratchDir dir;
    dir.WriteFile("M.dxr", Str(ScriptMovie(ByteOrder::kLittle, Script(1201, "Hello"), "Text")));
    dir.WriteFile("f/M.po", Catalogue({{"Lscr 9 #0", "Hello", c.translation}}));
    ASSERT_EQ(RunQuillon(dir, {std::string("--codepage=") + c.code_page}).exit_code, 0);
    EXPECT_EQ(ChunkData(dir.ReadFile("Out/M.dxr"), kScriptEntry),
              test::LingoScript(Script(1201, c.bytes)));
  }
}

TEST(CatalogueRunTest, RefusesEntriesItCannotUseEachWithWhy) {
  ScratchDir dir;
  const std::string input = Str(ScriptMovie(ByteOrder::kBig, Script(1117, "Hello"), "One two"));
  dir.WriteFile("M.dxr", input);
  const std::string po =
      Catalogue({{"Lscr 99 #0", "Hello", "a"},
                 {"Lscr 3 #0", "Hello", "a"},
                 {"Lscr 13 #0", "Hello", "a"},
                 {"Lscr 9 #1", "7", "a"},
                 {"Lscr 9 #0", "Hullo", "a"},
                 {"Lscr 9 #2", "odd", "Ж"},
                 {"STXT 11", "One {2}two{3}", "{2}x{2}"},
                 {"STXT 11", "One {2}two{3}", "{4}x"},
                 {"Lscr 9 #0", "Hello", "Hello"}}) +
      "\nmsgctxt \"Lscr 9 #3\"\nmsgid \"Bye now\"\nmsgid_plural \"x\"\nmsgstr[0] \"a\"\n"
      "\n#, fuzzy\nmsgctxt \"Lscr 9 #3\"\nmsgid \"Bye now\"\nmsgstr \"b\"\n"
      "\n#~ msgctxt \"Lscr 9 #3\"\n#~ msgid \"Bye now\"\n#~ msgstr \"c\"\n";
  dir.WriteFile("f/M.po", po);
  const test::RunResult run = RunQuillon(dir);
  ASSERT_EQ(run.exit_code, 0);
  const std::string log = dir.ReadTextFile("Out/M.log");
  for (const std::string& line : std::vector<std::string>{
           "Cannot use entry \"Lscr 99 #0\" of " + kPo + ": no such chunk!!!\n",
           "Cannot use entry \"Lscr 3 #0\" of " + kPo + ": chunk of another type!!!\n",
           "Cannot use entry \"Lscr 13 #0\" of " + kPo + ": unreadable chunk!!!\n",
           "Cannot use entry \"Lscr 9 #1\" of " + kPo + ": no such chunk!!!\n",
           "Cannot use entry \"Lscr 9 #0\" of " + kPo +
               ": msgid is not the movie's text!!!\n",
           "Cannot use entry \"Lscr 9 #2\" of " + kPo +
               ": character U+0416 has no byte in code page 1252!!!\n",
           "Cannot use entry \"STXT 11\" of " + kPo + ": marker {2} twice!!!\n",
           "Cannot use entry \"STXT 11\" of " + kPo + ": marker {4} names no style run!!!\n",
           "Cannot use entry \"Lscr 9 #3\" of " + kPo + ": plural forms!!!\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line << log;
    EXPECT_NE(run.output.find(test::PrintedText(line)), std::string::npos) << line;
  }
  EXPECT_NE(run.output.find("Replaced 0 chunks; 0 files unchanged; 9 files could not be used"),
            std::string::npos)
      << run.output;
  ExpectSameChunks(dir.ReadFile("Out/M.dxr"), input);
}

TEST(CatalogueRunTest, RefusesACatalogueThatIsNone) {
  const struct {
    std::string text;
    const char* reason;
  } cases[] = {
      {"msgid \"\xC3\"\nmsgstr \"\"\n", "not UTF-8 text"},
      {"msgid \"a\"\nmsgstr \"b\"\nnonsense\n", "not a PO catalogue (line 3)"},
      {"", "too large"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    ScratchDir dir;
    dir.WriteFile("M.dxr", Str(ScriptMovie(ByteOrder::kLittle, Script(1201, "Hello"), "Text")));
    const std::string path = dir.WriteFile("f/M.po", c.text);
    if (c.text.empty()) std::filesystem::resize_file(path, (uintmax_t{64} << 20) + 1);
    const test::RunResult run = RunQuillon(dir);
    EXPECT_NE(run.output.find("Cannot use file " + kPo + ": " + c.reason + "!!!"),
              std::string::npos)
        << run.output;
  }
}

TEST(CatalogueRunTest, AnotherMoviesCatalogueIsRefusedEntryByEntry) {
  ScratchDir dir;
  const std::string input = Str(ScriptMovie(ByteOrder::kLittle, Script(1201, "Hello"), "Text"));
  dir.WriteFile("M.dxr", input);
  ScriptFields other = Script(1201, "Salut");
  other.literals[2].text = "impair";
  other.literals[3].text = "Au revoir";
  other.literals[4].text = "aide";
  dir.WriteFile("N.dxr", Str(ScriptMovie(ByteOrder::kLittle, other, "Texte")));
  ASSERT_EQ(RunProgram(QUILLON_EXPORT_EXE, dir.path(), {"N.dxr", "g"}).exit_code, 0);
  std::vector<PoEntry> entries = ReadCatalogue(dir.ReadFile("g/N.po"));
  for (PoEntry& entry : entries) {
    if (entry.has_context) entry.str = "translated";
  }
  dir.WriteFile("f/M.po", WritePoCatalogue(entries));
  const test::RunResult run = RunQuillon(dir);
  const std::string log = dir.ReadTextFile("Out/M.log");
  for (const char* context : {"Lscr 9 #0", "Lscr 9 #2", "Lscr 9 #3", "Lscr 9 #4", "STXT 11"}) {
    EXPECT_NE(log.find("Cannot use entry \"" + std::string(context) +
                       "\" of " + kPo + ": msgid is not the movie's text!!!"),
              std::string::npos)
        << log;
  }
  EXPECT_NE(run.output.find("Replaced 0 chunks; 0 files unchanged; 5 files could not be used"),
            std::string::npos);
  ExpectSameChunks(dir.ReadFile("Out/M.dxr"), input);
}

std::string RealMovie(const std::string& path) {
  std::ifstream in(std::string(QUILLON_TESTDATA_DIR) + "/" + path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CatalogueRunTest, Soft1FieldOfTwelveRunsTakesItsRunsWhereTheMarkersStand) {
  const std::string movie = RealMovie("movies-with-sound/SOFT1.DXR");
  if (movie.empty()) GTEST_SKIP() << "no ../shared/testdata";
  ScratchDir dir;
  dir.WriteFile("M.dxr", movie);
  ASSERT_EQ(RunProgram(QUILLON_EXPORT_EXE, dir.path(), {"M.dxr", "f"}).exit_code, 0);
  std::vector<PoEntry> entries = ReadCatalogue(dir.ReadFile("f/M.po"));
  PoEntry* field = nullptr;
  for (PoEntry& entry : entries) {
    if (entry.id.find("{12}") != std::string::npos) field = &entry;
  }
  ASSERT_NE(field, nullptr);
  // Runs 12 down to 2, each marker two bytes after the one before.
  std::string translation = "Start";
  for (int n = 12; n >= 2; --n) translation += "{" + std::to_string(n) + "}" + "ab";
  field->str = translation;
  dir.WriteFile("f/M.po", WritePoCatalogue(entries));
  ASSERT_EQ(RunQuillon(dir).exit_code, 0);
  const uint32_t entry = static_cast<uint32_t>(std::stoul(field->context.substr(5)));
  const auto before = Runs(ChunkData(movie, entry));
  const auto after = Runs(ChunkData(dir.ReadFile("Out/M.dxr"), entry));
  ASSERT_EQ(before.size(), 12u);
  ASSERT_EQ(after.size(), 12u);
  EXPECT_EQ(after[0], std::make_pair(0u, before[0].second));
  for (uint32_t k = 1; k < 12; ++k) {
    EXPECT_EQ(after[k], std::make_pair(5 + 2 * (k - 1), before[12 - k].second)) << k;
  }
}

TEST(CatalogueRunTest, UnprotectedMoviesGetTheirSourceTextTranslatedToo) {
  const std::string movie = RealMovie("movies/saving_text_d5_win.dir");
  if (movie.empty()) GTEST_SKIP() << "no ../shared/testdata";
  ScratchDir dir;
  dir.WriteFile("M.dxr", movie);
  dir.WriteFile("f/M.po", Catalogue({{"Lscr 33 #0", "Original Text", "Texte d'origine"},
                                     {"Lscr 33 #1", "Duplicate Text", "Texte \"double\""}}));
  ASSERT_EQ(RunQuillon(dir).exit_code, 0);
  const std::string log = dir.ReadTextFile("Out/M.log");
  EXPECT_NE(log.find("Lscr 0021: 2 of 2 strings replaced from " + kPo + "\n"),
            std::string::npos);
  EXPECT_NE(log.find("keeps the old text of \"Duplicate Text\"\n"), std::string::npos) << log;
  const std::string output = dir.ReadFile("Out/M.dxr");
  const Bytes member = ChunkData(output, 19);
  MemberInfo info;
  ASSERT_TRUE(ReadMemberInfo(ByteReader(member.data(), member.size()), info));
  const std::string source(info.Source().data(), info.Source().data() + info.Source().size());
  EXPECT_NE(source.find("\"Texte d'origine\""), std::string::npos) << source;
  EXPECT_NE(source.find("\"Duplicate Text\""), std::string::npos) << source;
}

}  // namespace
}  // namespace quillon
