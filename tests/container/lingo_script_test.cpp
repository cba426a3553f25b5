// Compiled scripts read, and rebuilt with new literal texts: a script rebuilt with new texts is
// exactly the script made with those texts in the first place, every other byte in its place.
#include "container/lingo_script.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "container/member_info.h"
#include "fixtures/script_chunks.h"

namespace quillon {
namespace {

using test::Bytes;
using test::ScriptFields;

ByteReader Reader(const Bytes& bytes) { return ByteReader(bytes.data(), bytes.size()); }

ScriptFields Script(int16_t version, uint16_t vector_count) {
  ScriptFields fields;
  fields.version = version;
  fields.handler_vector_count = vector_count;
  fields.literals = {{"Hello"}, {"", 4, 0x12345}, {"odd"}, {"", 9, 0x40}, {"Bye now"}};
  fields.handlers = {{0, test::PushLiteral(0, version)}, {1, test::PushLiteral(4, version)}};
  fields.handlers[1].bytecode.insert(fields.handlers[1].bytecode.end(), {0x44, 0x00, 0x01});
  return fields;
}

std::string Text(const ByteReader& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

TEST(LingoScriptTest, ReadsLiteralsAndWhichHandlersPushThem) {
  for (const int16_t version : {int16_t{1117}, int16_t{1201}, int16_t{1700}}) {
    SCOPED_TRACE(version);
    const Bytes data = test::LingoScript(Script(version, 3));
    LingoScript script;
    ASSERT_TRUE(ReadLingoScript(Reader(data), LayoutOfVersion(version), script));
    ASSERT_EQ(script.literals.size(), 5u);
    EXPECT_EQ(script.StringCount(), 3u);
    EXPECT_EQ(Text(script.literals[0].text), "Hello");
    EXPECT_EQ(Text(script.literals[4].text), "Bye now");
    EXPECT_EQ(script.literals[1].offset, 0x12345u);
    ASSERT_EQ(script.handlers.size(), 2u);
    EXPECT_EQ(script.handlers[0].literals, std::vector<uint32_t>{0});
    // 0x44 00 pushes literal 0 in every layout; the 0x01 after it has no operand.
    EXPECT_EQ(script.handlers[1].literals, (std::vector<uint32_t>{4, 0}));
  }
}

TEST(LingoScriptTest, RebuiltScriptIsTheScriptMadeWithTheNewTexts) {
  const struct {
    const char* name;
    std::vector<std::pair<size_t, std::string>> edits;
  } cases[] = {
      {"longer", {{0, "Hello, wide world"}}},
      {"shorter", {{4, "B"}}},
      {"one character", {{2, "x"}}},
      {"same padded size", {{2, "abc"}}},
      {"with CR", {{0, "line one\rline two"}}},
      {"odd to even and back", {{0, "Hell"}, {2, "odds"}, {4, "Bye now!"}}},
      {"every string", {{0, "A"}, {2, "BB"}, {4, "CCC"}}},
  };
  for (const int16_t version : {int16_t{1117}, int16_t{1201}, int16_t{1700}}) {
    for (const uint16_t vector_count : {uint16_t{0}, uint16_t{3}}) {
      for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(version) + " " +
                     std::to_string(vector_count));
        const ScriptFields fields = Script(version, vector_count);
        const Bytes data = test::LingoScript(fields);
        LingoScript script;
        ASSERT_TRUE(ReadLingoScript(Reader(data), LayoutOfVersion(version), script));
        std::vector<std::optional<std::vector<uint8_t>>> texts(script.literals.size());
        ScriptFields expected = fields;
        for (const auto& [index, text] : c.edits) {
          texts[index] = std::vector<uint8_t>(text.begin(), text.end());
          expected.literals[index].text = text;
        }
        Bytes rebuilt;
        ASSERT_TRUE(RebuildLingoScript(script, texts, rebuilt));
        EXPECT_EQ(rebuilt, test::LingoScript(expected));
        LingoScript again;
        ASSERT_TRUE(ReadLingoScript(Reader(rebuilt), LayoutOfVersion(version), again));
        EXPECT_EQ(again.handlers.size(), script.handlers.size());
      }
    }
  }
}

TEST(LingoScriptTest, RefusesScriptsWhoseLengthsOrTablesDisagree) {
  const Bytes good = test::LingoScript(Script(1201, 2));
  const auto with = [&](size_t at, uint8_t value) {
    Bytes bytes = good;
    bytes[at] = value;
    return bytes;
  };
  Bytes nul_missing = good;
  nul_missing[nul_missing.size() - 4 - 1] = 'x';  // the NUL of "Bye now"
  const struct {
    const char* name;
    Bytes data;
  } cases[] = {
      {"total length", with(11, static_cast<uint8_t>(good[11] + 2))},
      {"second total", with(15, static_cast<uint8_t>(good[15] + 2))},
      {"literal records past the data offset", with(81, 0x7F)},
      {"literal data past the chunk", with(84, 0x01)},
      {"handler vector elsewhere", with(55, static_cast<uint8_t>(good[55] + 2))},
      {"handler records outside", with(75, 0x7F)},
      {"string without its NUL", nul_missing},
      {"cut short", Bytes(good.begin(), good.begin() + 60)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LingoScript script;
    EXPECT_FALSE(ReadLingoScript(Reader(c.data), LayoutOfVersion(1201), script));
  }
}

TEST(LingoScriptTest, NamesContextAndMemberInfo) {
  std::vector<std::string> names;
  ASSERT_TRUE(ReadLingoNames(Reader(test::LingoNames({"mouseUp", "go"})), names));
  EXPECT_EQ(names, (std::vector<std::string>{"mouseUp", "go"}));
  std::vector<int32_t> scripts;
  ASSERT_TRUE(ReadLingoContext(Reader(test::LingoContext({-1, 7})), scripts));
  EXPECT_EQ(scripts, (std::vector<int32_t>{-1, 7}));
  std::vector<std::string> labels;
  ASSERT_TRUE(ReadFrameLabels(Reader(test::FrameLabels({{2, "intro"}, {9, "help"}})), labels));
  EXPECT_EQ(labels, (std::vector<std::string>{"intro", "help"}));
  for (const bool director4 : {true, false}) {
    const Bytes member = test::ScriptMember(2, "on x\r  go \"a\"\rend", "Title", director4);
    MemberInfo info;
    ASSERT_TRUE(ReadMemberInfo(Reader(member), info));
    EXPECT_EQ(info.type, 11u);
    EXPECT_EQ(info.script_id, 2u);
    EXPECT_EQ(info.Name(), "Title");
    const std::string source = "on x\r  go \"longer\"\rend";
    Bytes rebuilt;
    ASSERT_TRUE(RebuildMemberSource(Reader(member), info,
                                    std::vector<uint8_t>(source.begin(), source.end()), rebuilt));
    EXPECT_EQ(rebuilt, test::ScriptMember(2, source, "Title", director4));
  }
}

}  // namespace
}  // namespace quillon
