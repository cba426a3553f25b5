#include "builders/build_context.h"

#include <cstdio>

#include "util/paths.h"

namespace quillon {

std::string BuildContext::MemberFile(uint32_t cast_number, const char* suffix) const {
  char number[16];
  std::snprintf(number, sizeof number, "%06d", static_cast<int>(cast_number));
  return JoinPath(files_dir, stem + "-" + number + suffix);
}

}  // namespace quillon
