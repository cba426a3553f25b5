// Code pages through MultiByteToWideChar and WideCharToMultiByte: invalid bytes refused
// (MB_ERR_INVALID_CHARS), no best fit (WC_NO_BEST_FIT_CHARS), and a character that would take
// the default character refused too.
#include <windows.h>

#include <climits>
#include <string>

#include "util/code_page.h"

namespace quillon {

namespace {

constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;
constexpr char32_t kFirstSupplementary = 0x10000;

// UTF-16 into characters; false on a surrogate without its partner.
bool FromUtf16(const std::wstring& units, std::u32string& text) {
  text.clear();
  for (size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    if (unit < kFirstSurrogate || unit > kLastSurrogate) {
      text.push_back(unit);
      continue;
    }
    if (unit >= 0xDC00 || i + 1 == units.size()) return false;
    const char32_t low = units[++i];
    if (low < 0xDC00 || low > kLastSurrogate) return false;
    text.push_back(kFirstSupplementary + ((unit - kFirstSurrogate) << 10) + (low - 0xDC00));
  }
  return true;
}

// The UTF-16 units of a character; 0 for a surrogate or a value past U+10FFFF.
int ToUtf16(char32_t character, wchar_t units[2]) {
  if (character >= kFirstSurrogate && character <= kLastSurrogate) return 0;
  if (character < kFirstSupplementary) {
    units[0] = static_cast<wchar_t>(character);
    return 1;
  }
  if (character > 0x10FFFF) return 0;
  const char32_t offset = character - kFirstSupplementary;
  units[0] = static_cast<wchar_t>(kFirstSurrogate + (offset >> 10));
  units[1] = static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
  return 2;
}

}  // namespace

struct CodePage::Native {};

CodePage::CodePage() = default;
CodePage::~CodePage() = default;

bool CodePage::OpenNative() {
  native_.reset();
  if (!IsValidCodePage(number_)) return false;
  native_ = std::make_unique<Native>();
  return true;
}

bool CodePage::DecodeNative(const uint8_t* bytes, size_t size, std::u32string& text) {
  text.clear();
  if (size == 0) return true;
  if (size > INT_MAX) return false;
  const char* input = reinterpret_cast<const char*>(bytes);
  const int length = static_cast<int>(size);
  const int count = MultiByteToWideChar(number_, MB_ERR_INVALID_CHARS, input, length, nullptr, 0);
  if (count <= 0) return false;
  std::wstring units(static_cast<size_t>(count), L'\0');
  if (MultiByteToWideChar(number_, MB_ERR_INVALID_CHARS, input, length, units.data(), count) !=
      count) {
    return false;
  }
  return FromUtf16(units, text);
}

bool CodePage::EncodeNative(char32_t character, uint8_t* bytes, size_t capacity, size_t& length) {
  wchar_t units[2] = {};
  const int unit_count = ToUtf16(character, units);
  if (unit_count == 0 || capacity > INT_MAX) return false;
  BOOL used_default = FALSE;
  const int written = WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, units, unit_count,
                                          reinterpret_cast<char*>(bytes),
                                          static_cast<int>(capacity), nullptr, &used_default);
  if (written <= 0 || used_default) return false;
  length = static_cast<size_t>(written);
  return true;
}

}  // namespace quillon
