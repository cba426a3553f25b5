#pragma once
// The file a translator edits for the text of a field or button: UTF-8 without a byte-order
// mark, each of Director's CR line breaks written as the platform's line end (LF, on Windows
// CR LF), and one line end after the text, as editors save a file. Read back, a leading
// byte-order mark and one final line end are dropped and LF, CR LF and CR all become CR.

#include <cstdint>
#include <string>
#include <vector>

#include "util/byte_reader.h"
#include "util/code_page.h"

namespace quillon {

enum class TextFileStatus {
  kOk,
  kNotUtf8,     // the file is no well-formed UTF-8
  kUnmappable,  // a character has no bytes in the code page
};

// The first character of a file that the code page lacks, and where it stands: line and
// column from 1, the column counted in characters.
struct UnmappableCharacter {
  char32_t character = 0;
  uint32_t line = 0;
  uint32_t column = 0;
};

// The text of `file` in the code page's bytes. On kUnmappable `unmappable` says which
// character the code page lacks first.
TextFileStatus EncodeTextFile(const ByteReader& file, CodePage& code_page, EncodedText& text,
                              UnmappableCharacter& unmappable);

// The file for a text read from a movie. A text that ends in a line break gets a second line
// end, so that the final one dropped on reading leaves it.
std::vector<uint8_t> MakeTextFile(const std::u32string& text);

}  // namespace quillon
