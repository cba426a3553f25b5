// Unpacks arbitrary bytes into a destination of bounded capacity, and checks that packing the
// input and unpacking it again gives it back within the packer's bound.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "builders/row_codec.h"

namespace {

// The first two bytes choose the capacity; exactly sized buffers let ASan see any overrun.
void UnpackArbitrary(const uint8_t* data, size_t size) {
  if (size < 2) return;
  const size_t capacity = size_t{data[0]} | size_t{data[1]} << 8;
  const size_t m = size - 2;
  const auto packed = std::make_unique<uint8_t[]>(m);
  if (m > 0) std::memcpy(packed.get(), data + 2, m);
  const auto destination = std::make_unique<uint8_t[]>(capacity);
  size_t count = capacity;
  const quillon::UnpackStatus status =
      quillon::UnpackRow(packed.get(), m, destination.get(), count);
  if (status != quillon::UnpackStatus::kOk && count != capacity) std::abort();
  if (count > capacity) std::abort();
}

void RoundTrip(const uint8_t* data, size_t size) {
  std::vector<uint8_t> packed(quillon::PackedRowBound(size));
  const size_t length = quillon::PackRow(data, packed.data(), size);
  if (length > packed.size()) std::abort();
  const auto unpacked = std::make_unique<uint8_t[]>(size);
  size_t count = size;
  if (quillon::UnpackRow(packed.data(), length, unpacked.get(), count) !=
          quillon::UnpackStatus::kOk ||
      count != size || (size > 0 && std::memcmp(unpacked.get(), data, size) != 0)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  UnpackArbitrary(data, size);
  RoundTrip(data, size);
  return 0;
}
