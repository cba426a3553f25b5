// Without GDI the palette is its entries alone.
#include <new>

#include "image/palette.h"

namespace quillon {

Palette::Palette(std::vector<Entry> entries, void* handle)
    : entries_(std::move(entries)), handle_(handle) {}

Palette::~Palette() = default;

std::unique_ptr<Palette> Palette::Create(std::vector<Entry> entries) {
  return std::unique_ptr<Palette>(new (std::nothrow) Palette(std::move(entries), nullptr));
}

}  // namespace quillon
