#pragma once
// What stands for a GDI font where there is no GDI: a FreeType face at a pixel height that draws
// text as ExtTextOutA with ETO_CLIPPED does in a memory context with GDI's default modes.
//
// How it follows GDI:
// - Made from a font file and a pixel height: the em height, as a negative lfHeight asks for.
// - No antialiasing: glyphs are rendered as 1-bit masks, so every pixel is the text colour or
//   left as it was (FT_RENDER_MODE_MONO, as NONANTIALIASED_QUALITY).
// - The text's bytes are character codes 0 to 255 of Latin-1, standing for the ANSI code page.
// - Each character moves the pen by its hinted advance in whole pixels; there is no kerning, as
//   ExtTextOutA without a spacing array has none.
// - Opaque background, GDI's default: the text's cell, its total advance wide and the line
//   height (ascender to descender) high, is filled with the background colour first.
// - The reference point is the cell's top edge, and its left edge, right edge or centre by the
//   alignment; a centred cell starts half its width (rounded towards zero) left of the point.
// - Everything drawn is clipped to the clip rectangle and to the surface.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>

#include "extras/draw/draw_surface.h"
#include "extras/draw/font.h"
#include "extras/draw/text_placement.h"

namespace quillon {

struct Font::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;

  ~Face();
  // Loads the glyph of `code` into the face's slot, rendered when asked; false when it cannot.
  bool LoadGlyph(unsigned char code, bool render) const;
  // Advance of the glyph in the slot, in whole pixels.
  int64_t SlotAdvance() const;
  void DrawSlotBitmap(DrawSurface& surface, int64_t pen_x, int64_t baseline, const Rect& clip,
                      uint32_t color) const;
};

// The text with its cell's top at y and (x, align) placing it across.
void DrawFontText(const Font& font, DrawSurface& surface, int64_t x, int64_t y, TextAlign align,
                  const Rect& clip, const char* text, uint32_t color, uint32_t background);

}  // namespace quillon
