// The GDI logical palette: CreatePalette from a LOGPALETTE, DeleteObject with the image.
#include <windows.h>

#include <cstddef>
#include <new>

#include "image/palette.h"

namespace quillon {

namespace {

// CreatePalette on a LOGPALETTE of the entries (version 0x300, the count as 16 bits); the
// LOGPALETTE lives only for the call.
HPALETTE CreateGdiPalette(const std::vector<Palette::Entry>& entries) {
  const auto count = static_cast<WORD>(entries.size());
  const size_t bytes = offsetof(LOGPALETTE, palPalEntry) + sizeof(PALETTEENTRY) * count;
  std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[bytes]());
  if (!block) return nullptr;
  auto* logical = reinterpret_cast<LOGPALETTE*>(block.get());
  logical->palVersion = 0x300;
  logical->palNumEntries = count;
  PALETTEENTRY* out = logical->palPalEntry;
  for (WORD i = 0; i < count; ++i) {
    out[i] = {entries[i].red, entries[i].green, entries[i].blue, entries[i].flags};
  }
  return CreatePalette(logical);
}

}  // namespace

Palette::Palette(std::vector<Entry> entries, void* handle)
    : entries_(std::move(entries)), handle_(handle) {}

Palette::~Palette() { DeleteObject(static_cast<HPALETTE>(handle_)); }

std::unique_ptr<Palette> Palette::Create(std::vector<Entry> entries) {
  HPALETTE handle = CreateGdiPalette(entries);
  if (handle == nullptr) return nullptr;
  std::unique_ptr<Palette> palette(new (std::nothrow) Palette(std::move(entries), handle));
  if (!palette) DeleteObject(handle);
  return palette;
}

}  // namespace quillon
