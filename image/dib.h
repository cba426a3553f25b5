#pragma once
// CDib: a device-independent bitmap in memory. A header block (BITMAPINFOHEADER and colour
// table), pixel rows stored bottom row first with 32-bit aligned strides, and a palette object
// made from the colour table. Pixel access is checked: a coordinate outside the image or an
// access of the wrong depth is refused with the once-per-run assertion warning.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillon {

class DrawSurface;
class Font;

#pragma pack(push, 1)
struct BitmapInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(BitmapInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");

// What stands for the GDI logical palette: the colour table's entries as red, green, blue.
// Made whenever the colour table is set and released with the image.
struct Palette {
  struct Entry {
    uint8_t red, green, blue, flags;
  };
  std::vector<Entry> entries;
};

// Left, top, right, bottom, as a GDI RECT.
struct Rect {
  int32_t left, top, right, bottom;
};

// What MeasureGlyphGrid records for one cell.
struct GlyphCell {
  int32_t x, y, width, height, left, top;
};

class CDib {
 public:
  CDib() = default;
  ~CDib() { Destroy(); }
  CDib(const CDib&) = delete;
  CDib& operator=(const CDib&) = delete;

  // A new zeroed image with the default colour table of its bit count (1, 4 and 8 bits).
  bool Create(int bitCount, int32_t width, int32_t height);
  void Destroy();
  bool HasImage() const { return m_pInfo != nullptr; }

  // Replaces colour-table entries first .. first + count - 1.
  bool SetPalette(int32_t first, int32_t count, const uint32_t* entries, bool swapRedBlue);
  bool SetPaletteRgb(int32_t first, int32_t count, const uint8_t* triples, bool bgrOrder);

  // The header block; null on an empty object.
  const uint8_t* GetInfo() const { return m_pInfo.get(); }
  const BitmapInfoHeader* GetHeader() const;
  // These three require an image.
  int32_t GetWidth() const;
  int32_t GetHeight() const;
  int GetBitCount() const;
  int32_t GetStride() const { return m_nStride; }
  const uint8_t* GetBits() const { return m_pBits.get(); }
  const Palette* GetPalette() const { return m_hPalette.get(); }
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
  // The pixel as a colour (blue | green << 8 | red << 16): a colour-table lookup at 4 and 8 bits.
  uint32_t GetColor(int32_t x, int32_t y) const;
  bool DiffersFromKey(int32_t x, int32_t y) const;

  // BMP files (uncompressed, or bit fields at 16 and 32 bits). On false the object is empty.
  bool LoadBmp(const char* path);
  bool SaveBmp(const char* path) const;
  // TGA files: uncompressed colour-mapped (type 1) and true-colour at 24 or 32 bits (type 2).
  bool LoadTga(const char* path);
  bool SaveTga(const char* path) const;

  // Further operations: drawing, text, PPM output, glyph grids.
  bool Draw(DrawSurface& surface, const Palette* palette, const Rect& dest, const Rect& src) const;
  bool RenderText(const char* text, const Font& font, uint32_t color, const Rect& rect, int align);
  void ZeroBits();
  void Fill(uint32_t value);
  bool SavePpm(const char* path) const;
  bool DrawGrid(int32_t rows, int32_t cols, uint32_t color);
  void MeasureGlyph(int32_t x, int32_t y, int32_t cellWidth, int32_t cellHeight, int32_t* width,
                    int32_t* height, int32_t* left, int32_t* top) const;
  bool MeasureGlyphGrid(int32_t maxSize[2], GlyphCell* cells, size_t cellCount, int32_t first,
                        int32_t last, int32_t rows, int32_t cols) const;
  // Number of values written, or -1 when `runs` has no room for length + 1 values.
  int32_t GetRowRuns(int32_t y, int32_t* runs, size_t runCapacity, int32_t start,
                     int32_t length) const;
  static int32_t ColorNorm(uint32_t color);

  uint32_t m_crKey = 0;  // background colour for DiffersFromKey and the glyph operations

 private:
  BitmapInfoHeader& Header() { return *reinterpret_cast<BitmapInfoHeader*>(m_pInfo.get()); }
  const BitmapInfoHeader& Header() const {
    return *reinterpret_cast<const BitmapInfoHeader*>(m_pInfo.get());
  }
  // Entries of the colour table that fit in the header block, whatever biClrUsed says.
  size_t ColorTableCapacity() const;
  bool RebuildPalette();
  // The byte holding pixel (x, y) of an image of `depth` bits; null (with the assertion warning
  // when an image is there) for a coordinate outside it or another depth.
  const uint8_t* PixelAt(int32_t x, int32_t y, int depth) const;
  uint8_t* PixelAt(int32_t x, int32_t y, int depth);
  uint32_t GetPixelBytes(int32_t x, int32_t y, int bytes) const;
  void SetPixelBytes(int32_t x, int32_t y, uint32_t value, int bytes);
  void SetRowBytes(int32_t first, int32_t last, int32_t y, const uint8_t* src, int bytes);
  // Rows of the pixel buffer: buffer row 0 is the image's bottom row.
  uint8_t* BufferRow(size_t row) { return m_pBits.get() + row * static_cast<size_t>(m_nStride); }
  const uint8_t* BufferRow(size_t row) const {
    return m_pBits.get() + row * static_cast<size_t>(m_nStride);
  }

  std::unique_ptr<uint8_t[]> m_pInfo;  // header block: BITMAPINFOHEADER, then colour table
  size_t m_nInfoSize = 0;              // bytes in the header block
  std::unique_ptr<uint8_t[]> m_pBits;  // rows, bottom row first
  size_t m_nBitsSize = 0;              // bytes in the pixel buffer
  std::unique_ptr<Palette> m_hPalette;
  int32_t m_nStride = 0;
  bool m_bBottomUp = false;  // loaded from a TGA stored bottom row first; read by SaveTga

  friend class CDibTestAccess;
};

// Index of the entry nearest to `color` (ties keep the lower index); -1 when count is 0.
int32_t FindNearestColor(uint32_t color, const uint32_t* entries, size_t count);

}  // namespace quillon
