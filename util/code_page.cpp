// The parts of code_page.h that every platform shares: which code pages are offered, and the
// characters converted once each and kept.
#include "util/code_page.h"

#include <algorithm>
#include <iterator>

#include "util/mac_roman.h"

namespace quillon {

namespace {

constexpr KnownCodePage kKnownCodePages[] = {
    {874, "Thai"},
    {932, "Japanese"},
    {936, "Simplified Chinese"},
    {949, "Korean"},
    {950, "Traditional Chinese"},
    {1250, "Central European"},
    {1251, "Cyrillic"},
    {1252, "Western"},
    {1253, "Greek"},
    {1254, "Turkish"},
    {1257, "Baltic"},
    {10000, "Mac Roman"},
};

// Every known code page has at most two bytes a character; the packing leaves room for three.
constexpr size_t kMaxCharacterBytes = 3;
constexpr uint32_t kNoBytes = 0;
constexpr uint32_t kNotConverted = UINT32_MAX;
constexpr char32_t kConvertedLimit = 0x10000;

bool StandsForUndefinedByte(char32_t character) {
  return (character >= 0x80 && character <= 0x9F) || (character >= 0xE000 && character <= 0xF8FF);
}

void DecodeMacRoman(const ByteReader& bytes, std::u32string& text) {
  text.resize(bytes.size());
  std::transform(bytes.data(), bytes.data() + bytes.size(), text.begin(), MacRomanCharacter);
}

uint32_t PackedMacRomanByte(char32_t character) {
  uint8_t byte = 0;
  return MacRomanByte(character, byte) ? uint32_t{1} << 24 | uint32_t{byte} << 16 : kNoBytes;
}

}  // namespace

const KnownCodePage* KnownCodePagesBegin() { return std::begin(kKnownCodePages); }
const KnownCodePage* KnownCodePagesEnd() { return std::end(kKnownCodePages); }

bool IsKnownCodePage(uint32_t number) {
  return std::any_of(std::begin(kKnownCodePages), std::end(kKnownCodePages),
                     [number](const KnownCodePage& known) { return known.number == number; });
}

bool CodePage::Open(uint32_t number) {
  converted_.clear();
  number_ = number;
  if (!IsKnownCodePage(number) || (!UsesOwnTable() && !OpenNative())) return false;
  converted_.assign(kConvertedLimit, kNotConverted);
  return true;
}

bool CodePage::Decode(const ByteReader& bytes, std::u32string& text) {
  text.clear();
  if (UsesOwnTable()) {
    DecodeMacRoman(bytes, text);
  } else if (!native_ || !DecodeNative(bytes.data(), bytes.size(), text)) {
    return false;
  }
  return std::none_of(text.begin(), text.end(), StandsForUndefinedByte);
}

bool CodePage::Append(char32_t character, EncodedText& text) {
  uint32_t packed = kNoBytes;
  if (character < converted_.size()) {
    if (converted_[character] == kNotConverted) converted_[character] = Convert(character);
    packed = converted_[character];
  } else {
    packed = Convert(character);
  }
  const size_t length = packed >> 24;
  for (size_t i = 0; i < length; ++i) {
    text.bytes.push_back(static_cast<uint8_t>(packed >> (16 - 8 * i)));
    text.continues.push_back(i > 0);
  }
  return length > 0;
}

bool CodePage::UsesOwnTable() const { return number_ == kMacRomanCodePage; }

uint32_t CodePage::Convert(char32_t character) {
  if (StandsForUndefinedByte(character)) return kNoBytes;
  if (UsesOwnTable()) return PackedMacRomanByte(character);
  if (!native_) return kNoBytes;
  uint8_t bytes[kMaxCharacterBytes] = {};
  size_t length = 0;
  if (!EncodeNative(character, bytes, sizeof bytes, length) || length == 0) return kNoBytes;
  // A table may map several characters to one byte sequence; only the one it gives back owns
  // the bytes, so that a text read from the movie and written back is unchanged.
  std::u32string back;
  if (!DecodeNative(bytes, length, back) || back != std::u32string(1, character)) {
    return kNoBytes;
  }
  uint32_t packed = static_cast<uint32_t>(length) << 24;
  for (size_t i = 0; i < length; ++i) packed |= uint32_t{bytes[i]} << (16 - 8 * i);
  return packed;
}

}  // namespace quillon
