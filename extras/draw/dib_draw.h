#pragma once
// Drawing a CDib into a drawing surface, and text rendered into a CDib. Called on an empty image
// they do nothing and return false.

#include <cstdint>

#include "extras/draw/rect.h"
#include "image/dib.h"

namespace quillon {

class DrawSurface;
class Font;

// Draws into the surface: a plain copy when dest and src are equal, else a stretch. True when at
// least one scan line was drawn.
bool Draw(const CDib& dib, DrawSurface& surface, const Palette* palette, const Rect& dest,
          const Rect& src);
// Text in `color` on a cell of colour 0, clipped to `rect`, its top at rect.top: align 0 from
// rect.left, 2 up to rect.right, 6 centred between them; any other align draws no text. Pixel
// values pass to the drawing surface and back unchanged. False only when no surface of the
// image's size can be made.
bool RenderText(CDib& dib, const char* text, const Font& font, uint32_t color, const Rect& rect,
                int align);

}  // namespace quillon
