// FreeType side of font.h.
#include "extras/draw/font_freetype.h"

#include <algorithm>
#include <limits>

namespace quillon {

namespace {

// 26.6 fixed point to whole pixels, rounding up so that no ink falls outside the line.
int32_t CeilPixels(FT_Pos value) { return static_cast<int32_t>((value + 63) >> 6); }

int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

Font::Face::~Face() {
  if (face != nullptr) FT_Done_Face(face);
  if (library != nullptr) FT_Done_FreeType(library);
}

bool Font::Face::LoadGlyph(unsigned char code, bool render) const {
  if (FT_Load_Char(face, code, FT_LOAD_TARGET_MONO) != 0) return false;
  return !render || FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0;
}

int64_t Font::Face::SlotAdvance() const { return (face->glyph->advance.x + 32) >> 6; }

void Font::Face::DrawSlotBitmap(DrawSurface& surface, int64_t pen_x, int64_t baseline,
                                const Rect& clip, uint32_t color) const {
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.pitch < 0) return;
  const int64_t left = pen_x + slot->bitmap_left;
  const int64_t top = baseline - slot->bitmap_top;
  const auto pitch = static_cast<size_t>(bitmap.pitch);
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* bits = bitmap.buffer + row * pitch;
    for (unsigned column = 0; column < bitmap.width; ++column) {
      if ((bits[column / 8] & (0x80u >> (column % 8))) == 0) continue;
      const int64_t x = left + column;
      const int64_t y = top + row;
      if (RectContains(clip, x, y)) surface.SetPixel(x, y, color);
    }
  }
}

Font::Font(std::unique_ptr<Face> face) : face_(std::move(face)) {
  const FT_Size_Metrics& metrics = face_->face->size->metrics;
  ascent_ = CeilPixels(metrics.ascender);
  descent_ = CeilPixels(-metrics.descender);
}

Font::~Font() = default;

std::unique_ptr<Font> Font::Load(const std::string& name, int32_t pixel_height) {
  if (pixel_height < 1) return nullptr;
  auto face = std::make_unique<Face>();
  if (FT_Init_FreeType(&face->library) != 0 ||
      FT_New_Face(face->library, name.c_str(), 0, &face->face) != 0 ||
      FT_Set_Pixel_Sizes(face->face, 0, static_cast<FT_UInt>(pixel_height)) != 0) {
    return nullptr;
  }
  return std::unique_ptr<Font>(new Font(std::move(face)));
}

int64_t Font::TextWidth(const char* text) const {
  int64_t width = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (face_->LoadGlyph(static_cast<unsigned char>(*p), false)) width += face_->SlotAdvance();
  }
  return width;
}

void DrawFontText(const Font& font, DrawSurface& surface, int64_t x, int64_t y, TextAlign align,
                  const Rect& clip, const char* text, uint32_t color, uint32_t background) {
  const int64_t width = font.TextWidth(text);
  int64_t pen_x = x;
  if (align == TextAlign::kRight) pen_x = x - width;
  if (align == TextAlign::kCenter) pen_x = x - width / 2;

  // Cells far outside every 32-bit coordinate touch nothing that could be drawn.
  const Rect cell = {ClampToInt32(pen_x), ClampToInt32(y), ClampToInt32(pen_x + width),
                     ClampToInt32(y + font.LineHeight())};
  surface.FillRect(IntersectRects(cell, clip), background);

  const Font::Face& face = font.face();
  const int64_t baseline = y + font.Ascent();
  for (const char* p = text; *p != '\0'; ++p) {
    if (!face.LoadGlyph(static_cast<unsigned char>(*p), true)) continue;
    face.DrawSlotBitmap(surface, pen_x, baseline, clip, color);
    pen_x += face.SlotAdvance();
  }
}

}  // namespace quillon
