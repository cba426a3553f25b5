// Reads arbitrary bytes as an STXT chunk's data (an exactly sized copy, so that ASan sees any
// overrun) and, when they read, rebuilds the chunk with its own text, each byte with its top bit
// set taken as a character's second byte: the new chunk must read back with that text and no
// more runs, none of them starting inside a character or, past the first, outside the text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "builders/stxt.h"
#include "container/movie.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto copy = std::make_unique<uint8_t[]>(size);
  if (size > 0) std::memcpy(copy.get(), data, size);
  quillon::StxtChunk old;
  if (!quillon::ReadStxt(quillon::ByteReader(copy.get(), size), old)) return 0;
  quillon::EncodedText text;
  for (size_t i = 0; i < old.text.size(); ++i) {
    text.bytes.push_back(old.text.data()[i]);
    text.continues.push_back(i > 0 && (old.text.data()[i] & 0x80) != 0);
  }
  quillon::Chunk chunk;
  if (!quillon::RebuildStxt(old, text, quillon::ByteOrder::kLittle, chunk)) std::abort();
  quillon::StxtChunk rebuilt;
  const quillon::ByteReader chunk_data(chunk.data() + quillon::kChunkHeaderSize,
                                       chunk.size() - quillon::kChunkHeaderSize);
  if (!quillon::ReadStxt(chunk_data, rebuilt) || rebuilt.text.size() != text.bytes.size() ||
      rebuilt.run_count > old.run_count ||
      (text.bytes.size() > 0 &&
       std::memcmp(rebuilt.text.data(), text.bytes.data(), text.bytes.size()) != 0)) {
    std::abort();
  }
  for (uint16_t run = 0; run < rebuilt.run_count; ++run) {
    uint32_t start = 0;
    rebuilt.runs.U32Be(20u * run, start);
    if ((run == 0 && start != 0) || (run > 0 && start >= text.bytes.size()) ||
        (start > 0 && text.continues[start])) {
      std::abort();
    }
  }
  return 0;
}
