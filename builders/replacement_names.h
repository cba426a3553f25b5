#pragma once
// The names of replacement files in FilesDir: "<stem>-<number>" and a suffix, the number (an
// entry index or a cast number) in decimal with at least six digits.

#include <cstdint>
#include <string>

namespace quillon {

// "<stem>-<number %06u><suffix>", the name alone.
std::string ReplacementFileName(const std::string& stem, uint32_t number,
                                const std::string& suffix);

// "<files_dir>/<stem>-<number %06u><suffix>", e.g. suffix ".STXT" or "-8.bmp".
std::string ReplacementFilePath(const std::string& files_dir, const std::string& stem,
                                uint32_t number, const std::string& suffix);

}  // namespace quillon
