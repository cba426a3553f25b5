#include "tests/extras/draw/test_font.h"

namespace quillon::test {

std::string TestFontName() {
  for (const char* face : {"Tahoma", "DejaVu Sans", "Liberation Sans"}) {
    if (Font::Load(face, 12)) return face;
  }
  return "";
}

}  // namespace quillon::test
