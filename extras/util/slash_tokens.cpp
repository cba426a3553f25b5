#include "extras/util/slash_tokens.h"

namespace quillon {

namespace {

// -1 when `c` is not a hexadecimal digit.
int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The byte of "\x" followed by `first` and `second`, read as "%02x" reads them.
char HexTokenByte(char first, char second) {
  const int high = HexDigitValue(first);
  if (high < 0) return 0;
  const int low = HexDigitValue(second);
  return static_cast<char>(low < 0 ? high : high * 16 + low);
}

// The byte a one-character token stands for; false when the token is not one of them.
bool SimpleTokenByte(char token, char& byte) {
  switch (token) {
    case '"':
      byte = '"';
      return true;
    case '\\':
      byte = '\\';
      return true;
    case 'n':
      byte = '\n';
      return true;
    case 'r':
      byte = '\r';
      return true;
    case 't':
      byte = '\t';
      return true;
    default:
      return false;
  }
}

}  // namespace

bool UnescapeSlashTokens(const char* text, std::string& out, char& token) {
  out.clear();
  const char* p = text;
  while (*p != '\0') {
    if (*p != '\\') {
      out += *p++;
      continue;
    }
    char byte = 0;
    if (SimpleTokenByte(p[1], byte)) {
      out += byte;
      p += 2;
    } else if (p[1] == 'x') {
      // Each character is looked at only once the one before it is known not to end the text.
      if (p[2] == '\0' || p[3] == '\0') break;
      out += HexTokenByte(p[2], p[3]);
      p += 4;
    } else {
      token = p[1];
      return false;
    }
  }
  return true;
}

std::string DescribeUnidentifiedToken(char token) {
  return std::string("\nCannot identify slash token: \\") + token + " !!!\n";
}

std::string EscapeSlashTokens(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    switch (*p) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += *p;
        break;
    }
  }
  return out;
}

}  // namespace quillon
