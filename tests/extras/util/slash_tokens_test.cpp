#include "extras/util/slash_tokens.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quillon {
namespace {

// The text in a heap block of exactly its size, so that the address sanitizer sees any read
// past the terminating zero. Every token must be identified.
std::string Unescape(const std::string& text) {
  std::vector<char> exact(text.c_str(), text.c_str() + text.size() + 1);
  std::string out;
  char token = 0;
  EXPECT_TRUE(UnescapeSlashTokens(exact.data(), out, token)) << text;
  return out;
}

struct DecodeCase {
  std::string text;
  std::string decoded;
};

TEST(SlashTokensTest, DecodesEveryTokenKind) {
  using namespace std::string_literals;
  const DecodeCase cases[] = {
      {"a\\tb", "a\tb"},
      {"\\\"\\\\\\n\\r\\t", "\"\\\n\r\t"},
      {"plain text", "plain text"},
      {"", ""},
      {"\\x41", "A"},
      {"\\x4F", "O"},
      {"\\x4f", "O"},
      {"\\xff\\x00z", "\xff\0z"s},
      {"\\x4g.", "\x04."},  // one digit, then a non-digit: both consumed
      {"\\xg1.", "\0."s},   // no digit first: byte 0
      {"\\x 4", "\0"s},     // no blank skipping either
      {"\\x-1", "\0"s},     // nor a sign
      {"ab\\x4", "ab"},     // the text ends within the digits
      {"ab\\x", "ab"},
  };
  for (const auto& c : cases) EXPECT_EQ(Unescape(c.text), c.decoded) << c.text;
}

TEST(SlashTokensTest, EncodesTheFiveSpecialBytesOnly) {
  EXPECT_EQ(EscapeSlashTokens("\t\n\r\"\\"), "\\t\\n\\r\\\"\\\\");
  EXPECT_EQ(EscapeSlashTokens("\x01\x7f\x80\xff x"), "\x01\x7f\x80\xff x");
  EXPECT_EQ(EscapeSlashTokens(""), "");
}

TEST(SlashTokensTest, EscapeThenUnescapeGivesBackEveryText) {
  std::string every_byte;
  for (int b = 1; b < 256; ++b) every_byte += static_cast<char>(b);
  EXPECT_EQ(Unescape(EscapeSlashTokens(every_byte.c_str())), every_byte);

  std::mt19937 random(12345);
  std::uniform_int_distribution<int> length(0, 40);
  // Bytes drawn mostly from the special ones, so that tokens follow each other closely.
  const std::string specials = "\\\"\t\n\rx0";
  std::uniform_int_distribution<int> any_byte(1, 255);
  std::uniform_int_distribution<size_t> special(0, specials.size() - 1);
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    for (int i = length(random); i > 0; --i) {
      text += (random() & 1) ? specials[special(random)] : static_cast<char>(any_byte(random));
    }
    ASSERT_EQ(Unescape(EscapeSlashTokens(text.c_str())), text);
  }
}

TEST(SlashTokensTest, UnidentifiedTokenStopsTheDecodingWithItsMessage) {
  using namespace std::string_literals;
  const struct {
    std::string text;
    std::string before;
    char token;
    std::string message;
  } cases[] = {
      {"ok\\q", "ok", 'q', "\nCannot identify slash token: \\q !!!\n"},
      {"\\X41", "", 'X', "\nCannot identify slash token: \\X !!!\n"},
      {"end\\", "end", '\0', "\nCannot identify slash token: \\\0 !!!\n"s},
  };
  for (const auto& c : cases) {
    std::vector<char> exact(c.text.c_str(), c.text.c_str() + c.text.size() + 1);
    std::string out;
    char token = 'z';
    EXPECT_FALSE(UnescapeSlashTokens(exact.data(), out, token)) << c.text;
    EXPECT_EQ(out, c.before) << c.text;
    EXPECT_EQ(token, c.token) << c.text;
    EXPECT_EQ(DescribeUnidentifiedToken(token), c.message) << c.text;
  }
}

}  // namespace
}  // namespace quillon
