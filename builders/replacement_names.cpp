#include "builders/replacement_names.h"

#include <cstdio>

#include "util/paths.h"

namespace quillon {

std::string ReplacementFileName(const std::string& stem, uint32_t number,
                                const std::string& suffix) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%06u", number);
  return stem + "-" + digits + suffix;
}

std::string ReplacementFilePath(const std::string& files_dir, const std::string& stem,
                                uint32_t number, const std::string& suffix) {
  return JoinPath(files_dir, ReplacementFileName(stem, number, suffix));
}

}  // namespace quillon
