// Each platform's tables, through the one interface: the same bytes on Linux and under Wine.
#include "util/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

std::string Encode(CodePage& code_page, const std::u32string& text) {
  EncodedText encoded;
  for (const char32_t character : text) {
    if (!code_page.Append(character, encoded)) return "refused";
  }
  return std::string(encoded.bytes.begin(), encoded.bytes.end());
}

TEST(CodePageTest, EveryCodePageOnOfferHasItsLettersBothWays) {
  const struct {
    uint32_t number;
    std::u32string text;
    std::string bytes;
  } cases[] = {
      {874, U"\u0E01", "\xA1"},         {932, U"\u65E5\uFF71", "\x93\xFA\xB1"},
      {936, U"\u4E2D", "\xD6\xD0"},     {949, U"\uD55C", "\xC7\xD1"},
      {950, U"\u4E2D", "\xA4\xA4"},     {1250, U"\u0151", "\xF5"},
      {1251, U"\u0416", "\xC6"},        {1252, U"a\u20AC\r", "a\x80\r"},
      {1253, U"\u03A9", "\xD9"},        {1254, U"\u011F", "\xF0"},
      {1257, U"\u0105", "\xE0"},        {10000, U"\u00E9", "\x8E"},
  };
  for (const auto& c : cases) {
    CodePage code_page;
    ASSERT_TRUE(code_page.Open(c.number)) << c.number;
    EXPECT_EQ(Encode(code_page, c.text), c.bytes) << c.number;
    std::u32string text;
    EXPECT_TRUE(code_page.Decode(
        ByteReader(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()), text));
    EXPECT_EQ(text, c.text) << c.number;
  }
}

TEST(CodePageTest, RefusesWhatTheCodePageLacksInsteadOfAStandIn) {
  const struct {
    uint32_t number;
    std::u32string text;
  } unmappable[] = {
      {1252, U"\u0416"},  // Cyrillic
      {1252, U"\u0100"},  // a best fit would make it "A"
      {932, U"\u00A5"},   // a best fit would make it the backslash's byte
      {1252, U"\u0081"},  // the C1 control one system's table gives byte 81
      {949, U"\uE000"},   // private use
      {1252, U"\U0001F600"},
  };
  for (const auto& c : unmappable) {
    CodePage code_page;
    ASSERT_TRUE(code_page.Open(c.number));
    EXPECT_EQ(Encode(code_page, c.text), "refused") << static_cast<uint32_t>(c.text[0]);
  }
  const std::pair<uint32_t, std::string> undecodable[] = {
      {1252, "a\x81"}, {1251, "\x98"}, {932, "\x93"}, {932, "\x80"}};
  for (const auto& [number, bytes] : undecodable) {
    CodePage code_page;
    ASSERT_TRUE(code_page.Open(number));
    std::u32string text;
    EXPECT_FALSE(code_page.Decode(
        ByteReader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), text))
        << number;
  }
  for (const uint32_t number : {0u, 1234u, 65001u, 1200u}) {
    CodePage code_page;
    EXPECT_FALSE(code_page.Open(number)) << number;
  }
}

}  // namespace
}  // namespace quillon
