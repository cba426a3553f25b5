#include "util/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

ByteReader Reader(const std::string& bytes) {
  return ByteReader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(Utf8Test, ReadsAndWritesEachLengthAndRefusesWhatIsNotWellFormed) {
  const std::pair<std::string, char32_t> boundaries[] = {
      {"\x7F", 0x7F}, {"\xC2\x80", 0x80}, {"\xEF\xBF\xBF", 0xFFFF},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF}};
  for (const auto& [bytes, expected] : boundaries) {
    size_t at = 0;
    char32_t character = 0;
    EXPECT_TRUE(NextUtf8(Reader(bytes), at, character) && at == bytes.size());
    EXPECT_EQ(character, expected);
    std::vector<uint8_t> written;
    AppendUtf8(expected, written);
    EXPECT_EQ(std::string(written.begin(), written.end()), bytes);
  }
  // Continuation bytes alone, overlong forms, surrogates, past U+10FFFF, cut short.
  for (const char* refused : {"\x80", "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80",
                              "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80", "\xFF",
                              "\xE6\x97", "\xC3\x28"}) {
    EXPECT_FALSE(IsUtf8(Reader(refused))) << refused;
  }
  EXPECT_TRUE(IsUtf8(Reader(std::string("\0 \xED\x9F\xBF\xEE\x80\x80", 8))));
}

}  // namespace
}  // namespace quillon
