// Decodes any text (never longer than it was, an unidentified token stopping it) and checks that
// escaping any text and decoding it again gives the text back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "extras/util/slash_tokens.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Texts end at their first zero byte.
  const std::string raw(reinterpret_cast<const char*>(data), size);
  const std::string text = raw.c_str();

  std::string decoded;
  char token = 0;
  quillon::UnescapeSlashTokens(text.c_str(), decoded, token);
  if (decoded.size() > text.size()) std::abort();

  const std::string escaped = quillon::EscapeSlashTokens(text.c_str());
  if (escaped.size() > 2 * text.size()) std::abort();
  if (!quillon::UnescapeSlashTokens(escaped.c_str(), decoded, token) || decoded != text) {
    std::abort();
  }
  return 0;
}
