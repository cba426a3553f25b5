#pragma once
// The code page of the text inside a movie (the bytes of the system it was made for), converted
// to and from Unicode by the system's own tables: iconv on POSIX, MultiByteToWideChar and
// WideCharToMultiByte on Windows; Mac Roman by Apple's table (util/mac_roman.h) on both. No
// character ever takes a stand-in ("?", a best fit): what the code page lacks is refused.
// Neither is a character taken that stands only for a byte the code page leaves undefined (the
// C1 controls and the private use area, which one system's table fills in and another's does
// not), so that both systems read and write the same bytes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "util/byte_reader.h"

namespace quillon {

inline constexpr uint32_t kDefaultCodePage = 1252;

struct KnownCodePage {
  uint32_t number;
  const char* name;  // what it is for: "Thai", "Cyrillic", "Mac Roman"
};

// The code pages the tool offers, in ascending order: 874 (Thai), 932 (Japanese), 936
// (Simplified Chinese), 949 (Korean), 950 (Traditional Chinese), 1250 to 1254 and 1257 (the
// Windows pages of Europe), 10000 (Mac Roman).
const KnownCodePage* KnownCodePagesBegin();
const KnownCodePage* KnownCodePagesEnd();

// True for the code pages the tool offers.
bool IsKnownCodePage(uint32_t number);

// Text in a code page's bytes, each byte marked when it continues a character begun before it
// (the second byte of a double-byte character).
struct EncodedText {
  std::vector<uint8_t> bytes;
  std::vector<bool> continues;
};

class CodePage {
 public:
  CodePage();
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  // Readies the conversions of a known code page; false when it is not known or the system
  // cannot convert it, std::bad_alloc when it has no memory to.
  bool Open(uint32_t number);
  uint32_t number() const { return number_; }

  // The characters of `bytes`; false when a byte or a sequence stands for none.
  bool Decode(const ByteReader& bytes, std::u32string& text);
  // Appends the bytes of `character`; false (text unchanged) when the code page has none that
  // give it back.
  bool Append(char32_t character, EncodedText& text);

 private:
  struct Native;  // the system's conversion handles

  // Mac Roman: no system table is opened.
  bool UsesOwnTable() const;
  // Opens native_ for number_, closing what it held; false, left closed, when it cannot.
  bool OpenNative();
  bool DecodeNative(const uint8_t* bytes, size_t size, std::u32string& text);
  // At most `capacity` bytes; false when there are none without a stand-in.
  bool EncodeNative(char32_t character, uint8_t* bytes, size_t capacity, size_t& length);
  // The bytes of a character packed with their count (kNoBytes: none).
  uint32_t Convert(char32_t character);

  uint32_t number_ = 0;
  std::unique_ptr<Native> native_;
  std::vector<uint32_t> converted_;  // Convert() of the characters below U+10000, as met
};

}  // namespace quillon
