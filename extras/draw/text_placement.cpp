#include "extras/draw/text_placement.h"

namespace quillon {

bool TextPlacement(int align, const Rect& rect, TextAlign& text_align, int64_t& x) {
  switch (align) {
    case 0:
      text_align = TextAlign::kLeft;
      x = rect.left;
      return true;
    case 2:
      text_align = TextAlign::kRight;
      x = rect.right;
      return true;
    case 6:
      text_align = TextAlign::kCenter;
      x = (int64_t{rect.left} + rect.right) / 2;
      return true;
    default:
      return false;
  }
}

}  // namespace quillon
