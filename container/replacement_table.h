#pragma once
// Pending replacement chunks, one slot per memory-map entry below usedCount. Producers put
// complete chunks (header included) in; the write pass takes each out as it writes it.

#include <cstdint>
#include <vector>

namespace quillon {

using Chunk = std::vector<uint8_t>;  // an 8-byte chunk header, then the data

// What PutReplacement did with a chunk.
enum class PutOutcome {
  kRefused,    // no slot for the index, or the chunk is shorter than its header
  kStored,     // the slot was empty
  kDisplaced,  // a chunk held there was released for it: the producer logs the collision
};

class ReplacementTable {
 public:
  explicit ReplacementTable(uint32_t used_count) : slots_(used_count) {}

  bool Has(uint32_t index) const { return index < slots_.size() && slots_[index].held; }
  const Chunk* Get(uint32_t index) const { return Has(index) ? &slots_[index].chunk : nullptr; }

  // Stores `chunk` in slot `index`; a chunk already held there is released first. Nothing is
  // stored when the outcome is kRefused.
  PutOutcome PutReplacement(uint32_t index, Chunk chunk);
  // Moves the chunk out of the slot, leaving it empty; false when the slot is empty.
  bool Take(uint32_t index, Chunk& chunk);

 private:
  struct Slot {
    bool held = false;
    Chunk chunk;
  };
  std::vector<Slot> slots_;
};

}  // namespace quillon
