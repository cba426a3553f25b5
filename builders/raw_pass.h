#pragma once
// The raw pass: whole chunks replaced by files named after their entry index and type.

#include <string>

#include "builders/build_context.h"
#include "container/movie.h"

namespace quillon {

// "<stem>-<index %06u>.<type as extension>", the name the raw pass looks for in FilesDir for
// entry `index`; the extension may hold a separator (a subfolder).
std::string RawReplacementName(const MovieView& movie, uint32_t index, const std::string& stem);

// For every live entry, in entry order, looks for "<files_dir>/<stem>-<index %06u>.<type>" and
// takes a file found there, header included, as the entry's new chunk.
void RawPass(const BuildContext& context);

}  // namespace quillon
