// Reads arbitrary bytes as a script's chunk data (an exactly sized copy, so that ASan sees any
// overrun) in the layout the first byte picks. A script that reads is rebuilt with every string
// one byte longer: the new script must read back with those strings and as many handlers, and
// rebuilt with the old strings it must give back the input, but for the pad bytes after its
// strings, which a rebuilt string always has as zero.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "container/lingo_script.h"

namespace {

using Texts = std::vector<std::optional<std::vector<uint8_t>>>;

Texts StringTexts(const quillon::LingoScript& script, bool longer) {
  Texts texts(script.literals.size());
  for (size_t i = 0; i < script.literals.size(); ++i) {
    const quillon::ByteReader& text = script.literals[i].text;
    if (script.literals[i].type != quillon::kStringLiteral) continue;
    texts[i] = std::vector<uint8_t>(text.data(), text.data() + text.size());
    if (longer) texts[i]->push_back('+');
  }
  return texts;
}

// The input as a rebuild of every string writes it: each string item's pad byte zero.
std::vector<uint8_t> WithZeroPads(const quillon::LingoScript& script, const uint8_t* data,
                                  size_t size) {
  std::vector<uint8_t> padded(data, data + size);
  for (const quillon::LingoLiteral& literal : script.literals) {
    const size_t counted = literal.text.size() + 1;  // the NUL included
    const size_t pad = size_t{script.literal_data_offset} + literal.offset + 4 + counted;
    if (literal.type == quillon::kStringLiteral && counted % 2 == 1 && pad < size) padded[pad] = 0;
  }
  return padded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int16_t versions[] = {1117, 1201, 1700};
  const quillon::LingoLayout layout = quillon::LayoutOfVersion(versions[data[0] % 3]);
  const auto copy = std::make_unique<uint8_t[]>(size - 1);
  if (size > 1) std::memcpy(copy.get(), data + 1, size - 1);
  quillon::LingoScript script;
  if (!quillon::ReadLingoScript(quillon::ByteReader(copy.get(), size - 1), layout, script)) {
    return 0;
  }
  const Texts longer = StringTexts(script, true);
  std::vector<uint8_t> rebuilt;
  if (!quillon::RebuildLingoScript(script, longer, rebuilt)) std::abort();
  quillon::LingoScript again;
  if (!quillon::ReadLingoScript(quillon::ByteReader(rebuilt.data(), rebuilt.size()), layout,
                                again) ||
      again.literals.size() != script.literals.size() ||
      again.handlers.size() != script.handlers.size()) {
    std::abort();
  }
  for (size_t i = 0; i < longer.size(); ++i) {
    const quillon::ByteReader& text = again.literals[i].text;
    if (longer[i] && (text.size() != longer[i]->size() ||
                      std::memcmp(text.data(), longer[i]->data(), text.size()) != 0)) {
      std::abort();
    }
  }
  std::vector<uint8_t> back;
  if (!quillon::RebuildLingoScript(again, StringTexts(script, false), back) ||
      back != WithZeroPads(script, copy.get(), size - 1)) {
    std::abort();
  }
  return 0;
}
