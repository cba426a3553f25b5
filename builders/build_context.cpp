#include "builders/build_context.h"

#include "builders/replacement_names.h"

namespace quillon {

std::string BuildContext::MemberFile(uint32_t cast_number, const char* suffix) const {
  return ReplacementFilePath(files_dir, stem, cast_number, suffix);
}

void BuildContext::LogUnusableFile(const std::string& path, const char* reason) const {
  log.Write("Cannot use file %s: %s!!!\n", path.c_str(), reason);
}

}  // namespace quillon
