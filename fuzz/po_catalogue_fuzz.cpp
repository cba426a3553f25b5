// Reads arbitrary bytes as a PO catalogue (an exactly sized copy, so that ASan sees any
// overrun). A catalogue that reads is written again, and that text must read back to the same
// contexts, msgids and msgstrs.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "util/po_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto copy = std::make_unique<uint8_t[]>(size);
  if (size > 0) std::memcpy(copy.get(), data, size);
  std::vector<quillon::PoEntry> entries;
  uint32_t line = 0;
  if (quillon::ReadPoCatalogue(quillon::ByteReader(copy.get(), size), entries, line) !=
      quillon::PoStatus::kOk) {
    return 0;
  }
  for (quillon::PoEntry& entry : entries) {
    // The writer keeps one line per comment and flag; plural forms it does not write.
    entry.comments.clear();
    entry.flags.clear();
    entry.plural = false;
  }
  const std::string text = quillon::WritePoCatalogue(entries);
  std::vector<quillon::PoEntry> again;
  if (quillon::ReadPoCatalogue(
          quillon::ByteReader(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
          again, line) != quillon::PoStatus::kOk ||
      again.size() != entries.size()) {
    std::abort();
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    if (again[i].context != entries[i].context || again[i].id != entries[i].id ||
        again[i].str != entries[i].str || again[i].has_context != entries[i].has_context) {
      std::abort();
    }
  }
  return 0;
}
