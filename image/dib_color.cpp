// Colour distances: ColorDistance and FindNearestColor.
#include <cmath>

#include "image/color_distance.h"
#include "image/dib.h"

namespace quillon {

int32_t ColorDistance(uint32_t a, uint32_t b, int bytes) {
  int64_t sum = 0;
  for (int i = 0; i < bytes; ++i) {
    const int64_t d = int64_t{(a >> (8 * i)) & 0xFFu} - int64_t{(b >> (8 * i)) & 0xFFu};
    sum += d * d;
  }
  return static_cast<int32_t>(std::sqrt(static_cast<double>(sum)));
}

int32_t FindNearestColor(uint32_t color, const std::vector<uint32_t>& entries) {
  if (entries.empty()) return -1;
  int32_t best = 0;
  int32_t best_distance = ColorDistance(color, entries[0], 4);
  for (size_t i = 1; i < entries.size() && best_distance != 0; ++i) {
    const int32_t distance = ColorDistance(color, entries[i], 4);
    if (distance < best_distance) {
      best = static_cast<int32_t>(i);
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace quillon
