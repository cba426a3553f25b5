// Without GDI the surface is a plain pixel array and a palette is only remembered: colours reach
// a 32-bit surface unmapped.
#include <new>

#include "extras/draw/draw_surface.h"

namespace quillon {

bool DrawSurface::Allocate(int32_t width, int32_t height) {
  pixels_ = new (std::nothrow)
      uint32_t[static_cast<size_t>(width) * static_cast<size_t>(height)]();
  return pixels_ != nullptr;
}

void DrawSurface::Release() {
  delete[] pixels_;
  pixels_ = nullptr;
}

void DrawSurface::SelectNativePalette(const Palette*) {}

}  // namespace quillon
