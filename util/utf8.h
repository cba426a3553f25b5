#pragma once
// UTF-8, the form of the text files translators edit. Read strictly (no overlong forms, no
// surrogates, nothing past U+10FFFF, nothing cut short), so that a file is either text or
// refused as a whole.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "util/byte_reader.h"

namespace quillon {

// The character that starts at `at`, with `at` moved past it; false (nothing moved) at the end
// of `data` or where the bytes are no well-formed sequence.
bool NextUtf8(const ByteReader& data, size_t& at, char32_t& character);

// True when all of `data` is well-formed UTF-8.
bool IsUtf8(const ByteReader& data);

// Appends the UTF-8 form of a Unicode scalar value (below U+110000, no surrogate).
void AppendUtf8(char32_t character, std::vector<uint8_t>& out);

}  // namespace quillon
