#include "util/utf8.h"

namespace quillon {

namespace {

// A lead byte's sequence: its length, the bits it holds, and the range its second byte must
// lie in (narrowed where a wider one would allow overlong forms, surrogates or values past
// U+10FFFF; later bytes are always 80 to BF).
struct Lead {
  size_t length;
  char32_t bits;
  uint8_t second_low;
  uint8_t second_high;
};

bool ReadLead(uint8_t byte, Lead& lead) {
  if (byte >= 0xC2 && byte <= 0xDF) {
    lead = {2, char32_t{byte} & 0x1F, 0x80, 0xBF};
  } else if (byte >= 0xE0 && byte <= 0xEF) {
    lead = {3, char32_t{byte} & 0x0F, byte == 0xE0 ? uint8_t{0xA0} : uint8_t{0x80},
            byte == 0xED ? uint8_t{0x9F} : uint8_t{0xBF}};
  } else if (byte >= 0xF0 && byte <= 0xF4) {
    lead = {4, char32_t{byte} & 0x07, byte == 0xF0 ? uint8_t{0x90} : uint8_t{0x80},
            byte == 0xF4 ? uint8_t{0x8F} : uint8_t{0xBF}};
  } else {
    return false;  // a continuation byte, C0, C1 or F5 to FF
  }
  return true;
}

}  // namespace

bool NextUtf8(const ByteReader& data, size_t& at, char32_t& character) {
  uint8_t byte = 0;
  if (!data.U8(at, byte)) return false;
  if (byte < 0x80) {
    character = byte;
    ++at;
    return true;
  }
  Lead lead{};
  if (!ReadLead(byte, lead)) return false;
  char32_t value = lead.bits;
  uint8_t low = lead.second_low;
  uint8_t high = lead.second_high;
  for (size_t i = 1; i < lead.length; ++i) {
    if (!data.U8(at + i, byte) || byte < low || byte > high) return false;
    value = value << 6 | (char32_t{byte} & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  at += lead.length;
  character = value;
  return true;
}

bool IsUtf8(const ByteReader& data) {
  size_t at = 0;
  char32_t character = 0;
  while (at < data.size()) {
    if (!NextUtf8(data, at, character)) return false;
  }
  return true;
}

void AppendUtf8(char32_t character, std::vector<uint8_t>& out) {
  if (character < 0x80) {
    out.push_back(static_cast<uint8_t>(character));
    return;
  }
  size_t length = character < 0x800 ? 2 : character < 0x10000 ? 3 : 4;
  const uint8_t marks[] = {0, 0, 0xC0, 0xE0, 0xF0};
  out.push_back(static_cast<uint8_t>(marks[length] | character >> (6 * (length - 1))));
  while (--length > 0) {
    out.push_back(static_cast<uint8_t>(0x80 | (character >> (6 * (length - 1)) & 0x3F)));
  }
}

}  // namespace quillon
