// RenderText through GDI: the image copied pixel by pixel into a 32-bit bitmap in a memory
// context, the text drawn there with ExtTextOutA, and every pixel copied back.
#include "extras/draw/dib_draw.h"

#include <windows.h>

#include <cstring>

#include "extras/draw/font_win32.h"
#include "extras/draw/text_placement.h"

namespace quillon {

namespace {

UINT GdiTextAlign(TextAlign align) {
  switch (align) {
    case TextAlign::kRight:
      return TA_RIGHT;
    case TextAlign::kCenter:
      return TA_CENTER;
    default:
      return TA_LEFT | TA_TOP;
  }
}

void DrawClippedText(HDC context, const char* text, const Rect& rect, int align) {
  TextAlign text_align = TextAlign::kLeft;
  int64_t reference_x = 0;
  if (!TextPlacement(align, rect, text_align, reference_x)) return;
  SetTextAlign(context, GdiTextAlign(text_align));
  const RECT clip = {rect.left, rect.top, rect.right, rect.bottom};
  ExtTextOutA(context, static_cast<int>(reference_x), rect.top, ETO_CLIPPED, &clip, text,
              static_cast<UINT>(std::strlen(text)), nullptr);
}

}  // namespace

bool RenderText(CDib& dib, const char* text, const Font& font, uint32_t color, const Rect& rect,
                int align) {
  if (!dib.HasImage()) return false;
  const int32_t width = dib.GetWidth();
  const int32_t height = dib.GetHeight();
  HDC context = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(width, height, 1, 32, nullptr);
  if (context == nullptr || bitmap == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (context != nullptr) DeleteDC(context);
    return false;
  }
  HGDIOBJ replaced_bitmap = SelectObject(context, bitmap);
  HGDIOBJ replaced_font = SelectObject(context, font.face().handle);
  SetTextColor(context, color);
  SetBkColor(context, 0);
  for (int32_t x = 0; x < width; ++x) {
    for (int32_t y = 0; y < height; ++y) ::SetPixel(context, x, y, dib.GetPixel(x, y));
  }
  DrawClippedText(context, text, rect, align);
  for (int32_t x = 0; x < width; ++x) {
    for (int32_t y = 0; y < height; ++y) dib.SetPixel(x, y, ::GetPixel(context, x, y));
  }
  SelectObject(context, replaced_font);
  SelectObject(context, replaced_bitmap);
  DeleteObject(bitmap);
  DeleteDC(context);
  return true;
}

}  // namespace quillon
