#pragma once
// CDib: a device-independent bitmap in memory. A header block (BITMAPINFOHEADER and colour
// table), pixel rows stored bottom row first with 32-bit aligned strides, and a palette object
// made from the colour table. Pixel access is checked: a coordinate outside the image or an
// access of the wrong depth is refused and reported through the assertion hook.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/bitmap_header.h"
#include "image/image_status.h"
#include "image/palette.h"

namespace quillon {

class CDib {
 public:
  CDib() = default;
  ~CDib() { Destroy(); }
  CDib(const CDib&) = delete;
  CDib& operator=(const CDib&) = delete;

  // A new zeroed image with the default colour table of its bit count (1, 4 and 8 bits). On
  // false the object is empty, except when only the palette could not be made: the image is
  // then complete, without a palette.
  bool Create(int bit_count, int32_t width, int32_t height);
  void Destroy();
  bool HasImage() const { return info_ != nullptr; }

  // Replaces colour-table entries first .. first + count - 1 and makes the palette anew. False
  // with the table already replaced (and no palette) when the palette cannot be made.
  bool SetPalette(int32_t first, int32_t count, const uint32_t* entries, bool swap_red_blue);
  bool SetPaletteRgb(int32_t first, int32_t count, const uint8_t* triples, bool bgr_order);

  // The header block; null on an empty object.
  const uint8_t* GetInfo() const { return info_.get(); }
  // The header block's first 40 bytes as read from it; null on an empty object.
  const BitmapInfoHeader* GetHeader() const { return info_ ? &header_ : nullptr; }
  // These three require an image.
  int32_t GetWidth() const;
  int32_t GetHeight() const;
  int GetBitCount() const;
  int32_t GetStride() const { return stride_; }
  const uint8_t* GetBits() const { return bits_.get(); }
  // Bytes in the header block and in the pixel buffer.
  size_t GetInfoSize() const { return info_size_; }
  size_t GetBitsSize() const { return bits_size_; }
  const Palette* GetPalette() const { return palette_.get(); }
  // Colour-table entry `index`; 0 beyond the entries the header block really holds.
  uint32_t GetColorTableEntry(uint32_t index) const;

  uint32_t GetPixel32(int32_t x, int32_t y) const;
  uint32_t GetPixel24(int32_t x, int32_t y) const;
  uint32_t GetPixel16(int32_t x, int32_t y) const;
  uint32_t GetPixel8(int32_t x, int32_t y) const;
  uint32_t GetPixel4(int32_t x, int32_t y) const;
  uint32_t GetPixel1(int32_t x, int32_t y) const;
  void SetPixel32(int32_t x, int32_t y, uint32_t value);
  void SetPixel24(int32_t x, int32_t y, uint32_t value);
  void SetPixel16(int32_t x, int32_t y, uint32_t value);
  void SetPixel8(int32_t x, int32_t y, uint32_t value);
  void SetPixel4(int32_t x, int32_t y, uint32_t value);
  void SetPixel1(int32_t x, int32_t y, uint32_t value);
  // Copy pixels first .. last of row y from `src`, already in the depth's pixel layout.
  void SetRow32(int32_t first, int32_t last, int32_t y, const uint8_t* src);
  void SetRow24(int32_t first, int32_t last, int32_t y, const uint8_t* src);
  void SetRow16(int32_t first, int32_t last, int32_t y, const uint8_t* src);
  void SetRow8(int32_t first, int32_t last, int32_t y, const uint8_t* src);

  // By the image's bit count.
  uint32_t GetPixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, uint32_t value);

  // BMP files (uncompressed, or bit fields at 16 and 32 bits). On false the object is empty.
  // LoadBmpFile (image/image_file.h) tells why a load failed.
  bool LoadBmp(const char* path);
  // False, writing nothing, for an image other readers could not take: a bit count without
  // pixel access, or bit fields whose masks the header block lacks.
  bool SaveBmp(const char* path) const;
  // TGA files: uncompressed colour-mapped (type 1) and true-colour at 24 or 32 bits (type 2).
  // DecodeTga (image/image_decode.h) tells what a failed load leaves in the object.
  bool LoadTga(const char* path);
  bool SaveTga(const char* path) const;

 private:
  friend ImageStatus DecodeBmp(const uint8_t* data, size_t size, CDib& image);
  friend ImageStatus DecodeTga(const uint8_t* data, size_t size, CDib& image);

  const BitmapInfoHeader& Header() const { return header_; }
  // Create, telling why it failed: kTooLarge for sizes no header can describe, kOutOfMemory.
  // Without `zero_pixels` the pixel buffer is left for the caller to fill, padding included.
  ImageStatus CreateImage(int bit_count, int32_t width, int32_t height, bool zero_pixels = true);
  // Takes over a header block (its first 40 bytes are rewritten from `header`) and a pixel
  // buffer of rows `stride` bytes long.
  void Adopt(const BitmapInfoHeader& header, std::unique_ptr<uint8_t[]> info, size_t info_size,
             std::unique_ptr<uint8_t[]> bits, size_t bits_size, int32_t stride);
  // Entries of the colour table that fit in the header block, whatever biClrUsed says.
  size_t ColorTableCapacity() const;
  bool RebuildPalette();
  // The byte holding pixel (x, y) of an image of `depth` bits; null (reported through the hook
  // when an image is there) for a coordinate outside it or another depth.
  const uint8_t* PixelAt(int32_t x, int32_t y, int depth) const;
  uint8_t* PixelAt(int32_t x, int32_t y, int depth);
  uint32_t GetPixelBytes(int32_t x, int32_t y, int bytes) const;
  void SetPixelBytes(int32_t x, int32_t y, uint32_t value, int bytes);
  void SetRowBytes(int32_t first, int32_t last, int32_t y, const uint8_t* src, int bytes);
  // Rows of the pixel buffer: buffer row 0 is the image's bottom row.
  uint8_t* BufferRow(size_t row) { return bits_.get() + row * static_cast<size_t>(stride_); }
  const uint8_t* BufferRow(size_t row) const {
    return bits_.get() + row * static_cast<size_t>(stride_);
  }

  std::unique_ptr<uint8_t[]> info_;  // header block: BITMAPINFOHEADER, then colour table
  size_t info_size_ = 0;              // bytes in the header block
  BitmapInfoHeader header_{};         // the block's first 40 bytes, kept in step with them
  std::unique_ptr<uint8_t[]> bits_;  // rows, bottom row first
  size_t bits_size_ = 0;              // bytes in the pixel buffer
  std::unique_ptr<Palette> palette_;
  int32_t stride_ = 0;
  bool bottom_up_ = false;  // loaded from a TGA stored bottom row first; read by SaveTga
};

// Called for every refused pixel access (a coordinate outside the image, an access of another
// depth). The program installs what reports it; without a hook the refusal is silent.
using AssertionHook = void (*)();
void SetAssertionHook(AssertionHook hook);
// A refused pixel access, told to whoever the program made listen.
void ReportRefusedAccess();

// True for the bit counts that have pixel access: 1, 4, 8, 16, 24 and 32.
bool HasPixelAccess(int bit_count);

// Index of the entry nearest to `color` over all four bytes, distances truncated (ties keep the
// lower index); -1 when there are no entries.
int32_t FindNearestColor(uint32_t color, const std::vector<uint32_t>& entries);

}  // namespace quillon
