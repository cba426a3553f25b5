#pragma once
// The raw pass: whole chunks replaced by files named after their entry index and type.

#include <string>

#include "builders/build_context.h"
#include "container/movie.h"

namespace quillon {

// "<stem>-<index %06u>.<type as extension>", the exact name of entry `index`'s file; the
// extension may hold a separator (a subfolder).
std::string RawReplacementName(const MovieView& movie, uint32_t index, const std::string& stem);

// RawReplacementName without the spaces and dots its type ends in ("SOFT1-000102.snd" for the
// type "snd "), the name Windows opens for it: the one both programs write and read on every
// system, so that a folder made on one serves the other.
std::string WindowsRawName(const MovieView& movie, uint32_t index, const std::string& stem);

// For every live entry, in entry order, looks for its file in files_dir (the exact name first
// where the system keeps it apart, then WindowsRawName) and takes a file found there, header
// included, as the entry's new chunk.
void RawPass(const BuildContext& context);

}  // namespace quillon
