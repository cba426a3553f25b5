#pragma once
// The movie's run-length form for one row of BITD or ALFA bytes. A run starts with a header
// byte h: below 0x80 a literal run of h + 1 bytes follows; from 0x80 up one value byte follows,
// repeated 257 - h times (2 to 129; 0x80 stands for 129, unlike PackBits' no-op).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillon {

// The packer never writes more than this for a row of n bytes.
inline constexpr size_t PackedRowBound(size_t n) { return 2 * n; }

// Packs the n bytes at `source` into `destination`, which must hold PackedRowBound(n) bytes;
// returns the packed length. Equal neighbours always form a repeat run; a lone last byte
// becomes a literal run of one.
size_t PackRow(const uint8_t* source, uint8_t* destination, size_t n);

// Rewrites the last repeat run of the packed rows from `begin` on as literal runs of its bytes,
// 128 a run from its start and a last shorter one: the packed length grows (by 1 to 129 bytes)
// and every row unpacks as before. False, with nothing changed, when there is no repeat run.
bool SpellOutLastRepeatRun(std::vector<uint8_t>& packed, size_t begin);

enum class UnpackStatus {
  kOk = 0,
  kOverflow = -1,    // the row does not fit: the destination is full to its capacity
  kTruncated = -2,   // the packed bytes end inside a run
};

// Unpacks the `m` bytes at `packed` into `destination`. On entry `count` is the destination's
// capacity; on kOk it becomes the number of bytes written, otherwise it is left unchanged.
UnpackStatus UnpackRow(const uint8_t* packed, size_t m, uint8_t* destination, size_t& count);

}  // namespace quillon
