// CDib::RenderText: text drawn onto a surface that holds a copy of the image, then copied back.
#include "image/dib.h"
#include "image/draw_surface.h"
#include "image/font.h"

namespace quillon {

namespace {

// The alignment and reference point GDI uses for each align value; false for any other value.
bool TextPlacement(int align, const Rect& rect, TextAlign& textAlign, int64_t& x) {
  switch (align) {
    case 0:
      textAlign = TextAlign::kLeft;
      x = rect.left;
      return true;
    case 2:
      textAlign = TextAlign::kRight;
      x = rect.right;
      return true;
    case 6:
      textAlign = TextAlign::kCenter;
      x = (int64_t{rect.left} + rect.right) / 2;
      return true;
    default:
      return false;
  }
}

}  // namespace

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
  TextAlign textAlign = TextAlign::kLeft;
  int64_t referenceX = 0;
  if (TextPlacement(align, rect, textAlign, referenceX)) {
    font.DrawText(surface, referenceX, rect.top, textAlign, rect, text, color, 0);
  }
  for (int32_t x = 0; x < width; ++x) {
    for (int32_t y = 0; y < height; ++y) SetPixel(x, y, surface.GetPixel(x, y));
  }
  return true;
}

}  // namespace quillon
