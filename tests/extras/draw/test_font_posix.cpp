#include "tests/extras/draw/test_font.h"

namespace quillon::test {

std::string TestFontName() { return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"; }

}  // namespace quillon::test
