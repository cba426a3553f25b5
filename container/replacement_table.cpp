#include "container/replacement_table.h"

#include <utility>

#include "container/movie.h"
#include "driver/report.h"

namespace quillon {

bool ReplacementTable::PutReplacement(uint32_t index, Chunk chunk, Log* log,
                                      const char* collision_format) {
  if (index >= slots_.size() || chunk.size() < kChunkHeaderSize) return false;
  Slot& slot = slots_[index];
  if (slot.held && log != nullptr && collision_format != nullptr) {
    log->Write(collision_format, index);
  }
  slot.chunk = std::move(chunk);
  slot.held = true;
  return true;
}

bool ReplacementTable::Take(uint32_t index, Chunk& chunk) {
  if (!Has(index)) return false;
  Slot& slot = slots_[index];
  chunk = std::move(slot.chunk);
  slot.chunk = Chunk();  // a moved-from vector may keep its storage; release it now
  slot.held = false;
  return true;
}

}  // namespace quillon
