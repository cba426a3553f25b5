// GDI side of Draw: SetDIBitsToDevice and StretchDIBits straight from the image's header
// block and pixel buffer.
#include <windows.h>

#include "extras/draw/device_draw.h"

namespace quillon {

namespace {

// Bytes of the header block GDI reads: the header, the masks of a bit-field image and the colour
// table (a full one below 16 bits when biClrUsed is 0).
uint64_t BlockBytesRead(const BitmapInfoHeader& header) {
  uint64_t entries = header.biClrUsed;
  if (entries == 0 && header.biBitCount <= 8) entries = uint64_t{1} << header.biBitCount;
  const uint64_t masks = header.biCompression == BI_BITFIELDS ? 3 : 0;
  return kInfoHeaderSize + 4 * (masks + entries);
}

// GDI trusts the header: it is handed over only when everything it will read is there.
bool GdiCanRead(const CDib& dib) {
  const BitmapInfoHeader& header = *dib.GetHeader();
  if (header.biSize != kInfoHeaderSize || header.biWidth <= 0 || header.biHeight <= 0) {
    return false;
  }
  const bool bit_fields = header.biCompression == BI_BITFIELDS &&
                         (header.biBitCount == 16 || header.biBitCount == 32);
  if (header.biCompression != BI_RGB && !bit_fields) return false;
  const uint64_t stride = RowStride(static_cast<uint32_t>(header.biWidth), header.biBitCount);
  return dib.GetStride() >= 0 && static_cast<uint64_t>(dib.GetStride()) == stride &&
         dib.GetBitsSize() / stride >= static_cast<uint64_t>(header.biHeight) &&
         dib.GetInfoSize() >= BlockBytesRead(header);
}

// The difference of two coordinates as a 32-bit GDI value, wrapping as 32-bit arithmetic does.
int Difference(int32_t to, int32_t from) {
  return static_cast<int>(static_cast<uint32_t>(to) - static_cast<uint32_t>(from));
}

const BITMAPINFO* InfoOf(const CDib& dib) {
  return reinterpret_cast<const BITMAPINFO*>(dib.GetInfo());
}

// The context with the stretch mode Draw uses, which it does not restore; null when there is
// nothing GDI may draw.
HDC PrepareContext(DrawSurface& surface, const CDib& dib) {
  auto* context = static_cast<HDC>(surface.native_handle());
  if (context == nullptr) return nullptr;
  SetStretchBltMode(context, COLORONCOLOR);
  return GdiCanRead(dib) ? context : nullptr;
}

// What GDI drew, made visible in the surface's pixels.
int32_t Flushed(int lines) {
  GdiFlush();
  return lines;
}

}  // namespace

int32_t CopyToDevice(DrawSurface& surface, const CDib& dib, const Rect& dest, const Rect& src) {
  HDC context = PrepareContext(surface, dib);
  if (context == nullptr) return 0;
  const int32_t height = dib.GetHeight();
  return Flushed(SetDIBitsToDevice(
      context, dest.left, dest.top, static_cast<DWORD>(Difference(dest.right, dest.left)),
      static_cast<DWORD>(Difference(dest.bottom, dest.top)), src.left,
      Difference(height, src.bottom), 0, static_cast<uint16_t>(height), dib.GetBits(),
      InfoOf(dib), DIB_RGB_COLORS));
}

int32_t StretchToDevice(DrawSurface& surface, const CDib& dib, const Rect& dest, const Rect& src) {
  HDC context = PrepareContext(surface, dib);
  if (context == nullptr) return 0;
  return Flushed(StretchDIBits(context, dest.left, dest.top, Difference(dest.right, dest.left),
                               Difference(dest.bottom, dest.top), src.left, src.top,
                               Difference(src.right, src.left), Difference(src.bottom, src.top),
                               dib.GetBits(), InfoOf(dib), DIB_RGB_COLORS, SRCCOPY));
}

}  // namespace quillon
