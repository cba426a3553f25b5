#pragma once
// GDI side of font.h: the font object itself.

#include <windows.h>

#include <cstdint>

#include "extras/draw/font.h"

namespace quillon {

struct Font::Face {
  HFONT handle = nullptr;
  int32_t ascent = 0;
  int32_t descent = 0;

  ~Face() {
    if (handle != nullptr) DeleteObject(handle);
  }
};

}  // namespace quillon
