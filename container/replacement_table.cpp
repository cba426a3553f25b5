#include "container/replacement_table.h"

#include <utility>

#include "container/movie.h"

namespace quillon {

PutOutcome ReplacementTable::PutReplacement(uint32_t index, Chunk chunk) {
  if (index >= slots_.size() || chunk.size() < kChunkHeaderSize) return PutOutcome::kRefused;
  Slot& slot = slots_[index];
  const PutOutcome outcome = slot.held ? PutOutcome::kDisplaced : PutOutcome::kStored;
  slot.chunk = std::move(chunk);
  slot.held = true;
  return outcome;
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
