// Reads arbitrary bytes as a member's own chunk (an exactly sized copy, so that ASan sees any
// overrun) and every string of its info list: each must lie within the chunk.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "container/member_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto copy = std::make_unique<uint8_t[]>(size);
  if (size > 0) std::memcpy(copy.get(), data, size);
  for (size_t item = 0; item < 8; ++item) {
    std::string text;
    if (quillon::ReadMemberInfoString(quillon::ByteReader(copy.get(), size), item, text) &&
        text.size() >= size) {
      std::abort();
    }
  }
  return 0;
}
