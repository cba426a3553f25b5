#pragma once
// A font that test machines of the platform have: a font file on Linux (fonts-dejavu-core), the
// first face GDI really has of a few common ones on Windows (Wine may give only the host's).

#include <cstdint>
#include <memory>
#include <string>

#include "extras/draw/font.h"

namespace quillon::test {

// What Font::Load takes for the font; empty when the machine has none of them.
std::string TestFontName();
// Null when the machine lacks the font; tests then skip themselves.
inline std::unique_ptr<Font> LoadTestFont(int32_t pixel_height) {
  const std::string name = TestFontName();
  return name.empty() ? nullptr : Font::Load(name, pixel_height);
}

}  // namespace quillon::test
