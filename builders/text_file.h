#pragma once
// The file a translator edits for the text of a field or button: UTF-8 without a byte-order
// mark, each of Director's CR line breaks written as the platform's line end (LF, on Windows
// CR LF). Read back, a leading byte-order mark is dropped and LF, CR LF and CR all become CR.

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

// The text of `file` in the code page's bytes. On kUnmappable `unmappable` is the first
// character the code page lacks.
TextFileStatus EncodeTextFile(const ByteReader& file, CodePage& code_page, EncodedText& text,
                              char32_t& unmappable);

// The file for a text read from a movie.
std::vector<uint8_t> MakeTextFile(const std::u32string& text);

}  // namespace quillon
