#include "builders/text_file.h"

#include "util/utf8.h"

namespace quillon {

namespace {

constexpr char32_t kCarriageReturn = U'\r';
constexpr char32_t kLineFeed = U'\n';
constexpr char32_t kByteOrderMark = 0xFEFF;

// Editors on each system save lines with its own line end.
#ifdef _WIN32
constexpr char kLineEnd[] = "\r\n";
#else
constexpr char kLineEnd[] = "\n";
#endif

}  // namespace

TextFileStatus EncodeTextFile(const ByteReader& file, CodePage& code_page, EncodedText& text,
                              char32_t& unmappable) {
  text = {};
  if (!IsUtf8(file)) return TextFileStatus::kNotUtf8;
  bool after_cr = false;
  for (size_t at = 0; at < file.size();) {
    const size_t start = at;
    char32_t character = 0;
    NextUtf8(file, at, character);  // the whole file is well-formed
    if (start == 0 && character == kByteOrderMark) continue;
    // CR LF is one line end: its LF has been written as the CR.
    const bool line_feed = character == kLineFeed;
    if (line_feed && after_cr) {
      after_cr = false;
      continue;
    }
    after_cr = character == kCarriageReturn;
    if (line_feed) character = kCarriageReturn;
    if (!code_page.Append(character, text)) {
      unmappable = character;
      return TextFileStatus::kUnmappable;
    }
  }
  return TextFileStatus::kOk;
}

std::vector<uint8_t> MakeTextFile(const std::u32string& text) {
  std::vector<uint8_t> file;
  file.reserve(text.size());
  for (const char32_t character : text) {
    if (character == kCarriageReturn) {
      file.insert(file.end(), kLineEnd, kLineEnd + sizeof kLineEnd - 1);
    } else {
      AppendUtf8(character, file);
    }
  }
  return file;
}

}  // namespace quillon
