#pragma once
// The pictures given for an indexed bitmap member (1, 2, 4 or 8 bits) as the indices of the
// member's own colours. Image editors reorder or shrink the colour table of an indexed picture
// they save, and a picture saved at 24 or 32 bits has no indices at all: each pixel then gets
// the index of the member colour nearest to its own.

#include <cstdint>
#include <vector>

#include "builders/build_context.h"
#include "util/byte_reader.h"

namespace quillon {

class CDib;

// 24- and 32-bit images hold colours; 1-, 4- and 8-bit ones indices.
bool HoldsTrueColor(const CDib& image);
// 16-bit images hold colours packed 5-5-5, or as their bit fields say, fewer bits a channel
// than the member's colours have: mapped to them as an indexed picture whose colours disagree.
bool HoldsPackedColor(const CDib& image);

// True when every index the picture (1, 4 or 8 bits) uses names in its own colour table the
// colour that index has in `colors`; an index past the end of the picture's table agrees.
bool IndicesAgree(const CDib& image, const std::vector<uint32_t>& colors);

// `indexed` becomes an 8-bit image of the same size whose pixels are the entries of `colors`
// (colour-table values) nearest to `image`'s colours (a colour-table lookup for indexed
// pictures, the channels widened to 8 bits for 16-bit ones), ties to the lower index; alpha is
// not compared. False when it cannot be made or there are no colours.
bool ToNearestIndices(const CDib& image, const std::vector<uint32_t>& colors, CDib& indexed);

enum class ColorMatch {
  kAsTheyStand,  // an indexed picture whose colours agree: `image` itself
  kNearest,      // a true-colour picture, now `indexed`
  kMapped,       // an indexed picture whose colours do not agree, or a 16-bit one: `indexed`
  kOutOfMemory,
};

// The picture for the member (`member`, its fields) in the member's colours, looked up in the
// context's tables.
ColorMatch IndexByMemberColors(const BuildContext& context, const ByteReader& member,
                               const CDib& image, CDib& indexed);

}  // namespace quillon
