#include "util/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

ByteReader Reader(const std::string& bytes) {
  return ByteReader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(Utf8Test, ReadsEveryWellFormedLengthAndRefusesWhatIsNot) {
  const std::pair<std::string, char32_t> characters[] = {
      {std::string(1, '\0'), 0}, {"\x7F", 0x7F},          {"\xC2\x80", 0x80},
      {"\xDF\xBF", 0x7FF},       {"\xE0\xA0\x80", 0x800}, {"\xED\x9F\xBF", 0xD7FF},
      {"\xEE\x80\x80", 0xE000},  {"\xEF\xBF\xBF", 0xFFFF}, {"\xF0\x90\x80\x80", 0x10000},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF},
  };
  for (const auto& [bytes, expected] : characters) {
    size_t at = 0;
    char32_t character = 0;
    EXPECT_TRUE(NextUtf8(Reader(bytes), at, character)) << expected;
    EXPECT_EQ(character, expected);
    EXPECT_EQ(at, bytes.size());
    std::vector<uint8_t> written;
    AppendUtf8(expected, written);
    EXPECT_EQ(std::string(written.begin(), written.end()), bytes);
  }
  for (const char* refused : {"\x80", "\xBF", "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF",
                              "\xED\xA0\x80", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80",
                              "\xFF", "\xC3", "\xE6\x97", "\xC3\x28"}) {
    EXPECT_FALSE(IsUtf8(Reader(refused))) << refused;
  }
  EXPECT_TRUE(IsUtf8(Reader("")));
  EXPECT_TRUE(IsUtf8(Reader("ok \xE6\x97\xA5\xE6\x9C\xAC")));
}

}  // namespace
}  // namespace quillon
