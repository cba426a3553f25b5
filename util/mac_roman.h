#pragma once
// Mac Roman (code page 10000) through Apple's own table, the same on every system: iconv's and
// Windows' tables differ from Apple's and from each other (0xBD and 0xC6), so a Mac text
// exported on one system would not import on the other.

#include <cstdint>

namespace quillon {

inline constexpr uint32_t kMacRomanCodePage = 10000;

// The character of a byte; bytes below 0x80 are ASCII.
char32_t MacRomanCharacter(uint8_t byte);
// The byte of a character; false when Mac Roman has none.
bool MacRomanByte(char32_t character, uint8_t& byte);

}  // namespace quillon
