// GDI side of font.h: CreateFontA by face name, measured in a memory context.
#include "extras/draw/font_win32.h"

#include <cstring>
#include <new>

namespace quillon {

namespace {

// A memory context with the font selected for as long as it lives.
class FontContext {
 public:
  explicit FontContext(HFONT font) : context_(CreateCompatibleDC(nullptr)) {
    if (context_ != nullptr) replaced_ = SelectObject(context_, font);
  }
  ~FontContext() {
    if (context_ == nullptr) return;
    SelectObject(context_, replaced_);
    DeleteDC(context_);
  }
  FontContext(const FontContext&) = delete;
  FontContext& operator=(const FontContext&) = delete;

  HDC get() const { return context_; }

 private:
  HDC context_;
  HGDIOBJ replaced_ = nullptr;
};

// The face GDI really gives for the name, and its height above and below the baseline; false
// when GDI answers with another face.
bool Realize(const char* name, Font::Face& face) {
  const FontContext context(face.handle);
  char realized[LF_FACESIZE] = {};
  TEXTMETRICA metrics{};
  if (context.get() == nullptr || GetTextFaceA(context.get(), LF_FACESIZE, realized) == 0 ||
      lstrcmpiA(realized, name) != 0 || !GetTextMetricsA(context.get(), &metrics)) {
    return false;
  }
  face.ascent = static_cast<int32_t>(metrics.tmAscent);
  face.descent = static_cast<int32_t>(metrics.tmDescent);
  return true;
}

}  // namespace

Font::Font(std::unique_ptr<Face> face) : face_(std::move(face)) {
  ascent_ = face_->ascent;
  descent_ = face_->descent;
}

Font::~Font() = default;

std::unique_ptr<Font> Font::Load(const std::string& name, int32_t pixel_height) {
  if (pixel_height < 1 || name.empty() || name.size() >= LF_FACESIZE) return nullptr;
  std::unique_ptr<Face> face(new (std::nothrow) Face);
  if (!face) return nullptr;
  // A negative height asks for the em height, as the FreeType side's pixel size does.
  face->handle = CreateFontA(-pixel_height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, name.c_str());
  if (face->handle == nullptr || !Realize(name.c_str(), *face)) return nullptr;
  return std::unique_ptr<Font>(new (std::nothrow) Font(std::move(face)));
}

int64_t Font::TextWidth(const char* text) const {
  const FontContext context(face_->handle);
  SIZE size{};
  if (context.get() == nullptr ||
      !GetTextExtentPoint32A(context.get(), text, static_cast<int>(std::strlen(text)), &size)) {
    return 0;
  }
  return size.cx;
}

}  // namespace quillon
