#include "util/json.h"

#include <cstdint>
#include <cstdio>

#include "util/byte_reader.h"
#include "util/utf8.h"

namespace quillon {

namespace {

void AppendEscaped(uint32_t code, std::string& out) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(code));
  out += escape;
}

void AppendAscii(char c, std::string& out) {
  switch (c) {
    case '"':
      out += "\\\"";
      return;
    case '\\':
      out += "\\\\";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      break;
  }
  if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
    AppendEscaped(static_cast<unsigned char>(c), out);
  } else {
    out += c;
  }
}

}  // namespace

std::string JsonString(const std::string& bytes) {
  const ByteReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  std::string out = "\"";
  size_t at = 0;
  while (at < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte < 0x80) {
      AppendAscii(bytes[at++], out);
      continue;
    }
    const size_t start = at;
    char32_t character = 0;
    if (NextUtf8(reader, at, character)) {
      out.append(bytes, start, at - start);
    } else {
      AppendEscaped(byte, out);
      ++at;
    }
  }
  return out + "\"";
}

}  // namespace quillon
