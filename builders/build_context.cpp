#include "builders/build_context.h"

#include <cstdio>

#include "util/paths.h"

namespace quillon {

std::string MemberFileName(const std::string& stem, uint32_t cast_number, const char* suffix) {
  char number[16];
  std::snprintf(number, sizeof number, "%06d", static_cast<int>(cast_number));
  return stem + "-" + number + suffix;
}

std::string BuildContext::MemberFile(uint32_t cast_number, const char* suffix) const {
  return JoinPath(files_dir, MemberFileName(stem, cast_number, suffix));
}

}  // namespace quillon
