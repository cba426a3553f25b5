#include "image/dib.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "image/default_palettes.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

AssertionHook g_assertion_hook = nullptr;

uint32_t SwapRedBlue(uint32_t value) {
  return (value & 0xFF00FF00u) | (value & 0xFFu) << 16 | (value >> 16 & 0xFFu);
}

}  // namespace

void SetAssertionHook(AssertionHook hook) { g_assertion_hook = hook; }

void ReportRefusedAccess() {
  if (g_assertion_hook != nullptr) g_assertion_hook();
}

bool HasPixelAccess(int bit_count) {
  switch (bit_count) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

bool CDib::Create(int bit_count, int32_t width, int32_t height) {
  return CreateImage(bit_count, width, height) == ImageStatus::kOk;
}

ImageStatus CDib::CreateImage(int bit_count, int32_t width, int32_t height, bool zero_pixels) {
  if (info_) Destroy();
  bottom_up_ = false;
  // Sizes that a header cannot describe are refused before anything is allocated.
  if (bit_count < 0 || bit_count > std::numeric_limits<uint16_t>::max() || width < 0 ||
      height < 0) {
    return ImageStatus::kTooLarge;
  }
  const uint64_t stride = RowStride(static_cast<uint32_t>(width), static_cast<uint32_t>(bit_count));
  uint64_t image_size = 0;
  if (!PixelBufferSize(stride, static_cast<uint64_t>(height), image_size)) {
    return ImageStatus::kTooLarge;
  }

  const ColorTable table = DefaultColorTable(bit_count);
  const size_t info_size = kInfoHeaderSize + 4 * table.count;
  std::unique_ptr<uint8_t[]> info(new (std::nothrow) uint8_t[info_size]);
  std::unique_ptr<uint8_t[]> bits(new (std::nothrow) uint8_t[static_cast<size_t>(image_size)]);
  if (!info || !bits) return ImageStatus::kOutOfMemory;
  if (zero_pixels) std::memset(bits.get(), 0, static_cast<size_t>(image_size));
  if (table.count != 0) std::memcpy(info.get() + kInfoHeaderSize, table.entries, 4 * table.count);

  BitmapInfoHeader header{};
  header.biSize = static_cast<uint32_t>(kInfoHeaderSize);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<uint16_t>(bit_count);
  header.biCompression = 0;
  header.biSizeImage = static_cast<uint32_t>(image_size);
  header.biClrUsed = static_cast<uint32_t>(table.count);
  header.biClrImportant = static_cast<uint32_t>(table.count);
  Adopt(header, std::move(info), info_size, std::move(bits), static_cast<size_t>(image_size),
        static_cast<int32_t>(stride));
  // A palette that cannot be made leaves the image complete without one.
  if (table.count == 0 || RebuildPalette()) return ImageStatus::kOk;
  return ImageStatus::kOutOfMemory;
}

void CDib::Adopt(const BitmapInfoHeader& header, std::unique_ptr<uint8_t[]> info, size_t info_size,
                 std::unique_ptr<uint8_t[]> bits, size_t bits_size, int32_t stride) {
  header_ = header;
  WriteInfoHeader(header, info.get());
  info_ = std::move(info);
  info_size_ = info_size;
  bits_ = std::move(bits);
  bits_size_ = bits_size;
  stride_ = stride;
}

void CDib::Destroy() {
  info_.reset();
  info_size_ = 0;
  header_ = {};
  bits_.reset();
  bits_size_ = 0;
  palette_.reset();
}

size_t CDib::ColorTableCapacity() const {
  return info_size_ < kInfoHeaderSize ? 0 : (info_size_ - kInfoHeaderSize) / 4;
}

uint32_t CDib::GetColorTableEntry(uint32_t index) const {
  if (index >= ColorTableCapacity()) return 0;
  return LoadU32Le(info_.get() + kInfoHeaderSize + 4 * static_cast<size_t>(index));
}

bool CDib::RebuildPalette() {
  palette_.reset();
  const size_t count = std::min<size_t>(Header().biClrUsed, ColorTableCapacity());
  // A palette that cannot be had leaves none, reported as false, instead of throwing.
  std::vector<Palette::Entry> entries;
  try {
    entries.resize(count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (size_t i = 0; i < count; ++i) {
    const uint32_t color = GetColorTableEntry(static_cast<uint32_t>(i));
    entries[i] = {static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
                  static_cast<uint8_t>(color), 0};
  }
  palette_ = Palette::Create(std::move(entries));
  return palette_ != nullptr;
}

bool CDib::SetPalette(int32_t first, int32_t count, const uint32_t* entries, bool swap_red_blue) {
  if (!info_ || Header().biBitCount >= 16 || first < 0 || count < 1 || entries == nullptr) {
    return false;
  }
  const uint64_t end = static_cast<uint64_t>(first) + static_cast<uint64_t>(count);
  if (end > Header().biClrUsed || end > ColorTableCapacity()) return false;
  uint8_t* table = info_.get() + kInfoHeaderSize;
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t value = swap_red_blue ? SwapRedBlue(entries[i]) : entries[i];
    StoreU32Le(table + 4 * static_cast<size_t>(first + i), value);
  }
  return RebuildPalette();
}

bool CDib::SetPaletteRgb(int32_t first, int32_t count, const uint8_t* triples, bool bgr_order) {
  constexpr int32_t kMaxEntries = 256;
  if (first < 0 || count < 1 || first > kMaxEntries - count || triples == nullptr) return false;
  uint32_t converted[kMaxEntries];
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* t = triples + 3 * i;
    converted[i] =
        bgr_order ? LoadLe(t, 3)
                 : static_cast<uint32_t>(t[0]) << 16 | static_cast<uint32_t>(t[1]) << 8 | t[2];
  }
  return SetPalette(first, count, converted, false);
}

int32_t CDib::GetWidth() const { return info_ ? Header().biWidth : 0; }
int32_t CDib::GetHeight() const { return info_ ? Header().biHeight : 0; }
int CDib::GetBitCount() const { return info_ ? Header().biBitCount : 0; }

const uint8_t* CDib::PixelAt(int32_t x, int32_t y, int depth) const {
  if (!info_) return nullptr;
  const BitmapInfoHeader& header = Header();
  if (x < 0 || x >= header.biWidth || y < 0 || y >= header.biHeight || header.biBitCount != depth) {
    ReportRefusedAccess();
    return nullptr;
  }
  const size_t row = static_cast<size_t>(header.biHeight - 1 - y);
  return bits_.get() + row * static_cast<size_t>(stride_) +
         static_cast<size_t>(x) * static_cast<size_t>(depth) / 8;
}

uint8_t* CDib::PixelAt(int32_t x, int32_t y, int depth) {
  return const_cast<uint8_t*>(static_cast<const CDib*>(this)->PixelAt(x, y, depth));
}

uint32_t CDib::GetPixelBytes(int32_t x, int32_t y, int bytes) const {
  const uint8_t* p = PixelAt(x, y, 8 * bytes);
  return p ? LoadLe(p, bytes) : 0;
}

void CDib::SetPixelBytes(int32_t x, int32_t y, uint32_t value, int bytes) {
  if (uint8_t* p = PixelAt(x, y, 8 * bytes)) StoreLe(p, value, bytes);
}

uint32_t CDib::GetPixel32(int32_t x, int32_t y) const { return GetPixelBytes(x, y, 4); }
uint32_t CDib::GetPixel24(int32_t x, int32_t y) const { return GetPixelBytes(x, y, 3); }
uint32_t CDib::GetPixel16(int32_t x, int32_t y) const { return GetPixelBytes(x, y, 2); }
uint32_t CDib::GetPixel8(int32_t x, int32_t y) const { return GetPixelBytes(x, y, 1); }
void CDib::SetPixel32(int32_t x, int32_t y, uint32_t value) { SetPixelBytes(x, y, value, 4); }
void CDib::SetPixel24(int32_t x, int32_t y, uint32_t value) { SetPixelBytes(x, y, value, 3); }
void CDib::SetPixel16(int32_t x, int32_t y, uint32_t value) { SetPixelBytes(x, y, value, 2); }
void CDib::SetPixel8(int32_t x, int32_t y, uint32_t value) { SetPixelBytes(x, y, value, 1); }

uint32_t CDib::GetPixel4(int32_t x, int32_t y) const {
  const uint8_t* p = PixelAt(x, y, 4);
  if (!p) return 0;
  return x % 2 == 0 ? static_cast<uint32_t>(*p >> 4) : *p & 0x0Fu;
}

void CDib::SetPixel4(int32_t x, int32_t y, uint32_t value) {
  uint8_t* p = PixelAt(x, y, 4);
  if (!p) return;
  const uint32_t nibble = value & 0x0Fu;
  *p = static_cast<uint8_t>(x % 2 == 0 ? (*p & 0x0Fu) | nibble << 4 : (*p & 0xF0u) | nibble);
}

uint32_t CDib::GetPixel1(int32_t x, int32_t y) const {
  const uint8_t* p = PixelAt(x, y, 1);
  return p ? (*p >> (7 - x % 8)) & 1u : 0;
}

void CDib::SetPixel1(int32_t x, int32_t y, uint32_t value) {
  uint8_t* p = PixelAt(x, y, 1);
  if (!p) return;
  const auto bit = static_cast<uint8_t>(0x80u >> (x % 8));
  *p = static_cast<uint8_t>((value & 0xFFu) != 0 ? *p | bit : *p & ~bit);
}

void CDib::SetRowBytes(int32_t first, int32_t last, int32_t y, const uint8_t* src, int bytes) {
  if (!info_) return;
  uint8_t* start = PixelAt(first, y, 8 * bytes);
  if (!start || last < 0 || last >= Header().biWidth) {
    if (start) ReportRefusedAccess();
    return;
  }
  // A reversed run copies nothing.
  if (last < first) return;
  std::memcpy(start, src, static_cast<size_t>(last - first + 1) * static_cast<size_t>(bytes));
}

void CDib::SetRow32(int32_t first, int32_t last, int32_t y, const uint8_t* src) {
  SetRowBytes(first, last, y, src, 4);
}
void CDib::SetRow24(int32_t first, int32_t last, int32_t y, const uint8_t* src) {
  SetRowBytes(first, last, y, src, 3);
}
void CDib::SetRow16(int32_t first, int32_t last, int32_t y, const uint8_t* src) {
  SetRowBytes(first, last, y, src, 2);
}
void CDib::SetRow8(int32_t first, int32_t last, int32_t y, const uint8_t* src) {
  SetRowBytes(first, last, y, src, 1);
}

uint32_t CDib::GetPixel(int32_t x, int32_t y) const {
  if (!info_) return 0;
  switch (Header().biBitCount) {
    case 1:
      return GetPixel1(x, y);
    case 4:
      return GetPixel4(x, y);
    case 8:
      return GetPixel8(x, y);
    case 16:
      return GetPixel16(x, y);
    case 24:
      return GetPixel24(x, y);
    case 32:
      return GetPixel32(x, y);
    default:
      ReportRefusedAccess();
      return 0;
  }
}

void CDib::SetPixel(int32_t x, int32_t y, uint32_t value) {
  if (!info_) return;
  switch (Header().biBitCount) {
    case 1:
      return SetPixel1(x, y, value & 0xFFu);
    case 4:
      return SetPixel4(x, y, value & 0xFFu);
    case 8:
      return SetPixel8(x, y, value & 0xFFu);
    case 16:
      return SetPixel16(x, y, value & 0xFFFFu);
    case 24:
      return SetPixel24(x, y, value);
    case 32:
      return SetPixel32(x, y, value);
    default:
      ReportRefusedAccess();
  }
}

}  // namespace quillon
