#include "builders/replacement_names.h"

#include <cstdio>

#include "util/paths.h"

namespace quillon {

std::string ReplacementFilePath(const std::string& files_dir, const std::string& stem,
                                uint32_t number, const std::string& suffix) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%06u", number);
  return JoinPath(files_dir, stem + "-" + digits + suffix);
}

}  // namespace quillon
