// CDib::RenderText without GDI: text drawn onto a surface that holds a copy of the image, then
// copied back.
#include "image/dib.h"
#include "image/draw/draw_surface.h"
#include "image/draw/font_freetype.h"
#include "image/draw/text_placement.h"

namespace quillon {

bool CDib::RenderText(const char* text, const Font& font, uint32_t color, const Rect& rect,
                      int align) {
  if (!HasImage()) return false;
  const int32_t width = GetWidth();
  const int32_t height = GetHeight();
  DrawSurface surface;
  if (!surface.Create(width, height)) return false;
  for (int32_t x = 0; x < width; ++x) {
    for (int32_t y = 0; y < height; ++y) surface.SetPixel(x, y, GetPixel(x, y));
  }
  TextAlign text_align = TextAlign::kLeft;
  int64_t reference_x = 0;
  if (TextPlacement(align, rect, text_align, reference_x)) {
    DrawFontText(font, surface, reference_x, rect.top, text_align, rect, text, color, 0);
  }
  for (int32_t x = 0; x < width; ++x) {
    for (int32_t y = 0; y < height; ++y) SetPixel(x, y, surface.GetPixel(x, y));
  }
  return true;
}

}  // namespace quillon
