#pragma once
// A true-colour picture given for an 8-bit bitmap member: each pixel becomes the index of the
// nearest colour of the member's own palette, so that a picture edited and saved at 24 or 32
// bits goes back into the movie as the indices of its colours.

#include <cstdint>
#include <vector>

#include "builders/build_context.h"
#include "util/byte_reader.h"

namespace quillon {

class CDib;

// 24- and 32-bit images hold colours; the others hold indices (or, at 16 bits, packed values
// the run takes as they stand).
bool HoldsTrueColor(const CDib& image);

// `indexed` becomes an 8-bit image of the same size whose pixels are the entries of `palette`
// (colour-table values) nearest to `image`'s colours, ties to the lower index; alpha is not
// compared. False when it cannot be made or the palette is empty.
bool ToNearestIndices(const CDib& image, const std::vector<uint32_t>& palette, CDib& indexed);

// ToNearestIndices with the palette that `member` refers to, looked up in the context's tables.
bool IndexByMemberPalette(const BuildContext& context, const ByteReader& member,
                          const CDib& image, CDib& indexed);

}  // namespace quillon
