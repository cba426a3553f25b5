#include "util/json.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

TEST(JsonStringTest, EscapesWhatJsonForbidsAndKeepsUtf8) {
  const struct {
    std::string bytes;
    std::string json;
  } cases[] = {
      {"", "\"\""},
      {"game/a.dxr", "\"game/a.dxr\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"C:\\GAME\\A.DIR", "\"C:\\\\GAME\\\\A.DIR\""},
      {"a\nb\rc\td", "\"a\\nb\\rc\\td\""},
      {std::string("\x01\x1F\x7F", 3), "\"\\u0001\\u001F\\u007F\""},
      {std::string("nul\0end", 7), "\"nul\\u0000end\""},
      {"caf\xC3\xA9 \xE2\x82\xAC", "\"caf\xC3\xA9 \xE2\x82\xAC\""},  // UTF-8 as it stands
      {"caf\xE9", "\"caf\\u00E9\""},                                  // a Windows-1252 name
      {"\xC3", "\"\\u00C3\""},                                         // cut short
      {"\xED\xA0\x80", "\"\\u00ED\\u00A0\\u0080\""},                  // a surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.bytes), c.json) << c.bytes;
}

}  // namespace
}  // namespace quillon
