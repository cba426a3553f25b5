#pragma once
// GIF media of a cast member: the XMED chunk's whole data replaced by a ".gif" file.

#include <cstdint>

#include "builders/build_context.h"

namespace quillon {

// Looks for "<stem>-<cast number>.gif" and, when it can be read whole, makes it the data of a
// new XMED chunk for entry `child`, logging the collision when the slot was taken.
void SubstituteGif(const BuildContext& context, uint32_t cast_number, uint32_t child);

}  // namespace quillon
