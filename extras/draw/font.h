#pragma once
// A font at a pixel height for RenderText: GDI's own on Windows, a FreeType face elsewhere.
//
// How a font is named differs by platform, through the one factory Font::Load:
// - Windows: a GDI face name ("Tahoma"), made with CreateFontA at the em height (a negative
//   height), ANSI character set, without antialiasing (NONANTIALIASED_QUALITY). A name GDI would
//   answer with another face gives no font.
// - Elsewhere: a font file read through FreeType (extras/draw/font_freetype.h tells how it follows
//   GDI).

#include <cstdint>
#include <memory>
#include <string>

namespace quillon {

class Font {
 public:
  // Null when there is no such font or the height is below 1.
  static std::unique_ptr<Font> Load(const std::string& name, int32_t pixel_height);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // Total advance of the text in pixels.
  int64_t TextWidth(const char* text) const;
  // Above the baseline, and ascender to descender.
  int32_t Ascent() const { return ascent_; }
  int32_t LineHeight() const { return ascent_ + descent_; }

  // The platform's font, for the platform's text drawing: defined in font_freetype.h and
  // font_win32.h beside this header.
  struct Face;
  const Face& face() const { return *face_; }

 private:
  explicit Font(std::unique_ptr<Face> face);

  std::unique_ptr<Face> face_;
  int32_t ascent_ = 0;
  int32_t descent_ = 0;
};

}  // namespace quillon
