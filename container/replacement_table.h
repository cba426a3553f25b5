#pragma once
// Pending replacement chunks, one slot per memory-map entry below usedCount. Producers put
// complete chunks (header included) in; the write pass takes each out as it writes it.

#include <cstdint>
#include <vector>

namespace quillon {

class Log;

using Chunk = std::vector<uint8_t>;  // an 8-byte chunk header, then the data

class ReplacementTable {
 public:
  explicit ReplacementTable(uint32_t used_count) : slots_(used_count) {}

  uint32_t size() const { return static_cast<uint32_t>(slots_.size()); }
  bool Has(uint32_t index) const { return index < slots_.size() && slots_[index].held; }
  const Chunk* Get(uint32_t index) const { return Has(index) ? &slots_[index].chunk : nullptr; }

  // Stores `chunk` in slot `index`. A chunk already held there is released first, and
  // `collision_format` (one %04X for the index) is written to the log when given. False, with
  // nothing stored, when `index` is not below size() or the chunk is shorter than its header.
  bool PutReplacement(uint32_t index, Chunk chunk, Log* log, const char* collision_format);
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
