// The catalogue syntax catalogue tools write, read back; and what the writer makes, read back.
#include "util/po_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

ByteReader Reader(const std::string& bytes) {
  return ByteReader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// "ok", or the status and line.
std::string Read(const std::string& text, std::vector<PoEntry>& entries) {
  uint32_t line = 0;
  switch (ReadPoCatalogue(Reader(text), entries, line)) {
    case PoStatus::kOk: return "ok";
    case PoStatus::kNotUtf8: return "not utf8";
    case PoStatus::kSyntax: return "line " + std::to_string(line);
  }
  return "?";
}

TEST(PoCatalogueTest, ReadsWhatCatalogueToolsWrite) {
  const struct {
    const char* name;
    std::string text;
    std::string result;
    std::string context, id, str;  // of the last entry
    bool fuzzy, obsolete, plural;
  } cases[] = {
      {"plain", "msgid \"a\"\nmsgstr \"b\"\n", "ok", "", "a", "b", false, false, false},
      {"context", "msgctxt \"Lscr 5 #0\"\nmsgid \"a\"\nmsgstr \"\"\n", "ok", "Lscr 5 #0", "a", "",
       false, false, false},
      {"continuations", "msgid \"\"\n\"one\\n\"\n  \"two\"\nmsgstr \"x\" \n\"y\"\n", "ok", "",
       "one\ntwo", "xy", false, false, false},
      {"escapes", "msgid \"\\t\\\"\\\\\\101\\x42\\r\"\nmsgstr \"\"\n", "ok", "",
       "\t\"\\AB\r", "", false, false, false},
      {"crlf and bom", "\xEF\xBB\xBFmsgid \"a\"\r\nmsgstr \"b\"\r\n", "ok", "", "a", "b", false,
       false, false},
      {"comments and flags",
       "# translator\n#. extracted\n#: file:1\n#| msgid \"old\"\n#, fuzzy, c-format\n"
       "msgid \"a\"\nmsgstr \"b\"\n",
       "ok", "", "a", "b", true, false, false},
      {"obsolete", "msgid \"a\"\nmsgstr \"b\"\n\n#~ msgctxt \"c\"\n#~ msgid \"d\"\n#~| x\n"
                   "#~ msgstr \"e\"\n#~ \"f\"\n",
       "ok", "c", "d", "ef", false, true, false},
      {"plural", "msgid \"a\"\nmsgid_plural \"as\"\nmsgstr[0] \"\"\nmsgstr[1] \"bs\"\n", "ok", "",
       "a", "", false, false, true},
      {"no blank line between entries", "msgid \"a\"\nmsgstr \"b\"\nmsgid \"c\"\nmsgstr \"d\"\n",
       "ok", "", "c", "d", false, false, false},
      {"utf-8 text", "msgid \"\xC3\xA9\"\nmsgstr \"\xD0\x96\"\n", "ok", "", "\xC3\xA9",
       "\xD0\x96", false, false, false},
      {"stray text", "msgid \"a\"\nmsgstr \"b\"\nhello\n", "line 3",
       "", "", "", false, false, false},
      {"continuation first", "\"a\"\n", "line 1",
       "", "", "", false, false, false},
      {"two msgids", "msgid \"a\"\nmsgid \"b\"\nmsgstr \"\"\n", "line 2",
       "", "", "", false, false, false},
      {"msgstr first", "msgstr \"a\"\n", "line 1",
       "", "", "", false, false, false},
      {"unterminated string", "msgid \"a\nmsgstr \"\"\n", "line 1",
       "", "", "", false, false, false},
      {"text after string", "msgid \"a\" b\nmsgstr \"\"\n", "line 1",
       "", "", "", false, false, false},
      {"bad escape", "msgid \"\\q\"\nmsgstr \"\"\n", "line 1",
       "", "", "", false, false, false},
      {"msgid cut short", "msgid \"a\"\n", "line 1",
       "", "", "", false, false, false},
      {"indexed msgstr without plural", "msgid \"a\"\nmsgstr[0] \"\"\n", "line 2",
       "", "", "", false, false, false},
      {"file not utf-8", "msgid \"\xC3\"\nmsgstr \"\"\n", "not utf8",
       "", "", "", false, false, false},
      {"escapes not utf-8", "msgid \"\\303\"\nmsgstr \"\"\n", "not utf8",
       "", "", "", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<PoEntry> entries;
    ASSERT_EQ(Read(c.text, entries), c.result);
    if (c.result != "ok") continue;
    ASSERT_FALSE(entries.empty());
    const PoEntry& last = entries.back();
    EXPECT_EQ(last.context, c.context);
    EXPECT_EQ(last.id, c.id);
    EXPECT_EQ(last.str, c.str);
    EXPECT_EQ(last.HasFlag("fuzzy"), c.fuzzy);
    EXPECT_EQ(last.obsolete, c.obsolete);
    EXPECT_EQ(last.plural, c.plural);
  }
}

TEST(PoCatalogueTest, WrittenCatalogueReadsBackEntryForEntry) {
  PoEntry header;
  header.str = "Content-Type: text/plain; charset=UTF-8\nX-Code-Page: 932\n";
  PoEntry entry;
  entry.has_context = true;
  entry.context = "STXT 12";
  entry.id = "line one\nline {{two}} {2}\ttab \"q\" \\ \x01";
  entry.comments = {"field 3 \"Title\""};
  entry.flags = {"python-brace-format"};
  const std::vector<PoEntry> written = {header, entry};
  std::vector<PoEntry> read;
  ASSERT_EQ(Read(WritePoCatalogue(written), read), "ok");
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].str, header.str);
  EXPECT_EQ(read[1].context, entry.context);
  EXPECT_EQ(read[1].id, entry.id);
  EXPECT_EQ(read[1].comments, entry.comments);
  EXPECT_TRUE(read[1].HasFlag("python-brace-format"));
  std::string code_page;
  EXPECT_TRUE(PoHeaderField(read[0].str, "X-Code-Page", code_page));
  EXPECT_EQ(code_page, "932");
  EXPECT_FALSE(PoHeaderField(read[0].str, "Language", code_page));
}

}  // namespace
}  // namespace quillon
