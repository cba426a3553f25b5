// Reads arbitrary bytes as a translator's text file in a code page chosen by the first byte.
// A file that is taken gives bytes that decode again, and the file the export makes of them
// gives the same bytes back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "builders/text_file.h"
#include "util/code_page.h"

namespace {

quillon::CodePage& CodePageFor(uint8_t choice) {
  static quillon::CodePage code_pages[3];
  static const bool opened =
      code_pages[0].Open(1252) && code_pages[1].Open(932) && code_pages[2].Open(1251);
  (void)opened;
  return code_pages[choice % 3];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  quillon::CodePage& code_page = CodePageFor(data[0]);
  const size_t length = size - 1;
  const auto file = std::make_unique<uint8_t[]>(length);
  if (length > 0) std::memcpy(file.get(), data + 1, length);
  quillon::EncodedText text;
  quillon::UnmappableCharacter unmappable;
  if (quillon::EncodeTextFile(quillon::ByteReader(file.get(), length), code_page, text,
                              unmappable) != quillon::TextFileStatus::kOk) {
    return 0;
  }
  if (text.continues.size() != text.bytes.size()) std::abort();
  std::u32string decoded;
  if (!code_page.Decode(quillon::ByteReader(text.bytes.data(), text.bytes.size()), decoded)) {
    std::abort();
  }
  const std::vector<uint8_t> again = quillon::MakeTextFile(decoded);
  quillon::EncodedText same;
  if (quillon::EncodeTextFile(quillon::ByteReader(again.data(), again.size()), code_page, same,
                              unmappable) != quillon::TextFileStatus::kOk ||
      same.bytes != text.bytes) {
    std::abort();
  }
  return 0;
}
