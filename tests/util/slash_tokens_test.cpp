#include "util/slash_tokens.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "tests/support/scratch_dir.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace quillon {
namespace {

// The text in a heap block of exactly its size, so that the address sanitizer sees any read
// past the terminating zero.
std::string Unescape(const std::string& text) {
  std::vector<char> exact(text.c_str(), text.c_str() + text.size() + 1);
  return UnescapeSlashTokens(exact.data());
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

struct ChildOutcome {
  int exit_code;
  std::string output;
};

#ifdef _WIN32
// Child of a death test: decodes with standard input on the null device (so that no console
// can be waited on) and standard output in `output_path`.
[[noreturn]] void UnescapeWithOutputIn(const std::string& text, const std::string& output_path) {
  SetStdHandle(STD_INPUT_HANDLE, CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
  if (std::freopen(output_path.c_str(), "wb", stdout) == nullptr) std::exit(2);
  Unescape(text);
  std::fflush(stdout);
  std::exit(0);
}

// Decodes `text` in a child process whose standard input is not a console.
ChildOutcome UnescapeInChild(const std::string& text) {
  const std::string output_path =
      test::SharedTempPath("unescape-" + std::to_string(std::hash<std::string>{}(text)));
  int exit_code = -1;
  // The predicate only records the code; the caller's expectations judge it.
  const auto record = [&exit_code](int status) { return exit_code = status, true; };
  EXPECT_EXIT(UnescapeWithOutputIn(text, output_path), record, "");
  std::ifstream in(output_path, std::ios::binary);
  ChildOutcome outcome{exit_code, std::string(std::istreambuf_iterator<char>(in), {})};
  in.close();
  std::remove(output_path.c_str());
  return outcome;
}
#else
// Decodes `text` in a child process whose standard input is not a terminal.
ChildOutcome UnescapeInChild(const std::string& text) {
  int out_pipe[2];
  EXPECT_EQ(pipe(out_pipe), 0);
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    const int null_input = open("/dev/null", O_RDONLY);
    dup2(null_input, STDIN_FILENO);
    dup2(out_pipe[1], STDOUT_FILENO);
    close(out_pipe[0]);
    Unescape(text);
    std::fflush(stdout);
    _exit(0);
  }
  close(out_pipe[1]);
  ChildOutcome outcome{-1, ""};
  char chunk[256];
  ssize_t got = 0;
  while ((got = read(out_pipe[0], chunk, sizeof chunk)) > 0) {
    outcome.output.append(chunk, static_cast<size_t>(got));
  }
  close(out_pipe[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) outcome.exit_code = WEXITSTATUS(status);
  return outcome;
}
#endif

TEST(SlashTokensTest, UnidentifiedTokenEndsTheProcess) {
  using namespace std::string_literals;
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {"ok\\q", "\nCannot identify slash token: \\q !!!\n"},
      {"\\X41", "\nCannot identify slash token: \\X !!!\n"},
      {"end\\", "\nCannot identify slash token: \\\0 !!!\n"s},
  };
  for (const auto& c : cases) {
    const ChildOutcome outcome = UnescapeInChild(c.text);
    EXPECT_EQ(outcome.exit_code, 1) << c.text;
    EXPECT_EQ(outcome.output, c.message) << c.text;
  }
  EXPECT_EQ(UnescapeInChild("fine\\n").exit_code, 0);
}

}  // namespace
}  // namespace quillon
