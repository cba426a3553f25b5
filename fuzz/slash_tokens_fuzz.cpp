// Decodes texts whose slash tokens are all identified (an unidentified one would end the
// process) and checks that escaping any text and decoding it again gives the text back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "util/slash_tokens.h"

namespace {

// The input with every token made one that is identified: the character after each backslash is
// mapped onto the token characters, and a backslash at the very end gets an "n".
std::string WithIdentifiedTokens(const std::string& text) {
  static const char kTokens[] = "\"\\nrtx";
  std::string out = text;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] != '\\') continue;
    if (i + 1 == out.size()) {
      out += 'n';
    } else {
      out[i + 1] = kTokens[static_cast<unsigned char>(out[i + 1]) % (sizeof kTokens - 1)];
    }
    // Skip the token character, and after "x" the two characters it consumes.
    i += out[i + 1] == 'x' ? 3u : 1u;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Texts end at their first zero byte.
  const std::string raw(reinterpret_cast<const char*>(data), size);
  const std::string text = raw.c_str();

  const std::string tokens = WithIdentifiedTokens(text);
  if (quillon::UnescapeSlashTokens(tokens.c_str()).size() > tokens.size()) std::abort();

  const std::string escaped = quillon::EscapeSlashTokens(text.c_str());
  if (escaped.size() > 2 * text.size()) std::abort();
  if (quillon::UnescapeSlashTokens(escaped.c_str()) != text) std::abort();
  return 0;
}
