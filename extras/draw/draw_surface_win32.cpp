// GDI side of the drawing surface: a memory context compatible with the screen holding a
// top-down 32-bit DIB section, so that the pixels can be read in place.
#include <windows.h>

#include <cstring>

#include "extras/draw/draw_surface.h"

namespace quillon {

namespace {

HDC ContextOf(void* handle) { return static_cast<HDC>(handle); }

}  // namespace

bool DrawSurface::Allocate(int32_t width, int32_t height) {
  HDC context = CreateCompatibleDC(nullptr);
  if (context == nullptr) return false;
  context_ = context;
  // GDI makes no bitmap without pixels; an empty surface is the context alone.
  if (width == 0 || height == 0) return true;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(context, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    Release();
    return false;
  }
  bitmap_ = bitmap;
  replacedBitmap_ = SelectObject(context, bitmap);
  pixels_ = static_cast<uint32_t*>(bits);
  std::memset(pixels_, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  return true;
}

void DrawSurface::Release() {
  if (context_ != nullptr) {
    if (bitmap_ != nullptr) SelectObject(ContextOf(context_), replacedBitmap_);
    ::SelectPalette(ContextOf(context_), static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)),
                  TRUE);
    DeleteDC(ContextOf(context_));
  }
  if (bitmap_ != nullptr) DeleteObject(static_cast<HBITMAP>(bitmap_));
  context_ = bitmap_ = replacedBitmap_ = nullptr;
  pixels_ = nullptr;
}

void DrawSurface::SelectNativePalette(const Palette* palette) {
  if (context_ == nullptr) return;
  void* handle = palette != nullptr ? palette->native_handle() : GetStockObject(DEFAULT_PALETTE);
  ::SelectPalette(ContextOf(context_), static_cast<HPALETTE>(handle), TRUE);
}

}  // namespace quillon
