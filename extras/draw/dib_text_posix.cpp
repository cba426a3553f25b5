// RenderText without GDI: text drawn onto a surface that holds a copy of the image, then
// copied back.
#include "extras/draw/dib_draw.h"

#include "extras/draw/draw_surface.h"
#include "extras/draw/font_freetype.h"
#include "extras/draw/text_placement.h"

namespace quillon {

bool RenderText(CDib& dib, const char* text, const Font& font, uint32_t color, const Rect& rect,
                int align) {
  if (!dib.HasImage()) return false;
  const int32_t width = dib.GetWidth();
  const int32_t height = dib.GetHeight();
  DrawSurface surface;
  if (!surface.Create(width, height)) return false;
  for (int32_t x = 0; x < width; ++x) {
    for (int32_t y = 0; y < height; ++y) surface.SetPixel(x, y, dib.GetPixel(x, y));
  }
  TextAlign text_align = TextAlign::kLeft;
  int64_t reference_x = 0;
  if (TextPlacement(align, rect, text_align, reference_x)) {
    DrawFontText(font, surface, reference_x, rect.top, text_align, rect, text, color, 0);
  }
  for (int32_t x = 0; x < width; ++x) {
    for (int32_t y = 0; y < height; ++y) dib.SetPixel(x, y, surface.GetPixel(x, y));
  }
  return true;
}

}  // namespace quillon
