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

// The file without its final line end (CR LF, LF or CR), when it has one.
ByteReader WithoutFinalLineEnd(const ByteReader& file) {
  size_t size = file.size();
  uint8_t last = 0;
  if (file.U8(size - 1, last) && last == '\n') --size;
  // A CR before that LF is part of it; without an LF, it is the line end itself.
  if (file.U8(size - 1, last) && last == '\r') --size;
  return ByteReader(file.data(), size);
}

}  // namespace

TextFileStatus EncodeTextFile(const ByteReader& file, CodePage& code_page, EncodedText& text,
                              UnmappableCharacter& unmappable) {
  text = {};
  if (!IsUtf8(file)) return TextFileStatus::kNotUtf8;
  const ByteReader lines = WithoutFinalLineEnd(file);
  bool after_cr = false;
  UnmappableCharacter position{0, 1, 0};
  for (size_t at = 0; at < lines.size();) {
    const size_t start = at;
    char32_t character = 0;
    NextUtf8(lines, at, character);  // the whole file is well-formed
    if (start == 0 && character == kByteOrderMark) continue;
    // CR LF is one line end: its LF has been written as the CR.
    const bool line_feed = character == kLineFeed;
    if (line_feed && after_cr) {
      after_cr = false;
      continue;
    }
    after_cr = character == kCarriageReturn;
    if (line_feed) character = kCarriageReturn;
    ++position.column;
    if (!code_page.Append(character, text)) {
      unmappable = position;
      unmappable.character = character;
      return TextFileStatus::kUnmappable;
    }
    if (character == kCarriageReturn) position = {0, position.line + 1, 0};
  }
  return TextFileStatus::kOk;
}

std::vector<uint8_t> MakeTextFile(const std::u32string& text) {
  std::vector<uint8_t> file;
  file.reserve(text.size() + sizeof kLineEnd);
  for (const char32_t character : text) {
    if (character == kCarriageReturn) {
      file.insert(file.end(), kLineEnd, kLineEnd + sizeof kLineEnd - 1);
    } else {
      AppendUtf8(character, file);
    }
  }
  file.insert(file.end(), kLineEnd, kLineEnd + sizeof kLineEnd - 1);
  return file;
}

}  // namespace quillon
