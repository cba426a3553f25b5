// Each platform's tables through the one interface: the same bytes on Linux and under Wine.
#include "util/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

ByteReader Reader(const std::string& bytes) {
  return ByteReader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// The bytes of the text, or "refused".
std::string Encode(uint32_t number, const std::u32string& text) {
  CodePage code_page;
  EXPECT_TRUE(code_page.Open(number)) << number;
  EncodedText encoded;
  for (const char32_t character : text) {
    if (!code_page.Append(character, encoded)) return "refused";
  }
  return std::string(encoded.bytes.begin(), encoded.bytes.end());
}

TEST(CodePageTest, EveryCodePageOnOfferConvertsBothWaysAndRefusesWhatItLacks) {
  const struct {
    uint32_t number;
    std::u32string text;
    std::string bytes;  // "refused": none, no stand-in
  } cases[] = {
      {874, U"\u0E01", "\xA1"},     {932, U"\u65E5\uFF71", "\x93\xFA\xB1"},
      {936, U"\u4E2D", "\xD6\xD0"}, {949, U"\uD55C", "\xC7\xD1"},
      {950, U"\u4E2D", "\xA4\xA4"}, {1250, U"\u0151", "\xF5"},
      {1251, U"\u0416", "\xC6"},    {1252, U"a\u20AC\r", "a\x80\r"},
      {1253, U"\u03A9", "\xD9"},    {1254, U"\u011F", "\xF0"},
      {1257, U"\u0105", "\xE0"},    {10000, U"\u00E9", "\x8E"},
      // Apple's table, which iconv's and Windows' depart from
      {10000, U"\u03A9\u2206\u20AC\u02C7", "\xBD\xC6\xDB\xFF"},
      {10000, U"\u2126", "refused"},  // the ohm sign, which Windows gives 0xBD
      {10000, U"\u0394", "refused"},  // Greek delta, which iconv gives 0xC6
      {10000, U"\uF8FF", "refused"},  // the Apple logo, private use
      {1252, U"\u0416", "refused"},
      {1252, U"\u0100", "refused"},  // a best fit would make it "A"
      {932, U"\u00A5", "refused"},   // a best fit would make it the backslash's byte
      {1252, U"\u0081", "refused"},  // a C1 control that one system's table gives byte 81
      {949, U"\uE000", "refused"},   // private use
      {1252, U"\U0001F600", "refused"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Encode(c.number, c.text), c.bytes) << c.number;
    if (c.bytes == "refused") continue;
    CodePage code_page;
    ASSERT_TRUE(code_page.Open(c.number));
    std::u32string text;
    EXPECT_TRUE(code_page.Decode(Reader(c.bytes), text));
    EXPECT_EQ(text, c.text) << c.number;
  }
  const std::pair<uint32_t, std::string> undecodable[] = {
      {1252, "a\x81"}, {1251, "\x98"}, {932, "\x93"}, {932, "\x80"}, {10000, "a\xF0"}};
  for (const auto& [number, bytes] : undecodable) {
    CodePage code_page;
    ASSERT_TRUE(code_page.Open(number));
    std::u32string text;
    EXPECT_FALSE(code_page.Decode(Reader(bytes), text)) << number;
  }
  // Every byte of Mac Roman but the Apple logo's comes back from its character.
  std::string upper_half;
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    if (byte != 0xF0) upper_half.push_back(static_cast<char>(byte));
  }
  CodePage mac_roman;
  ASSERT_TRUE(mac_roman.Open(10000));
  std::u32string decoded;
  ASSERT_TRUE(mac_roman.Decode(Reader(upper_half), decoded));
  EXPECT_EQ(Encode(10000, decoded), upper_half);
  CodePage utf8;
  EXPECT_FALSE(utf8.Open(65001));
}

}  // namespace
}  // namespace quillon
