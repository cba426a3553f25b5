#pragma once
// A member's BITD or ALFA chunk read back into the planar rows the builders write. Director
// stores such a chunk either as is or packed, told apart by length: data of exactly the plain
// size (row bytes x height) is stored as is, with each row's pixels one after another (8 bits:
// the indices; 16 bits: big-endian values; 32 bits: alpha, red, green, blue); anything else is
// one packed stream whose unpacked rows hold the planes one after another.

#include <cstdint>
#include <vector>

#include "builders/plane_layout.h"
#include "util/byte_reader.h"

namespace quillon {

enum class MemberRowsStatus {
  kOk,
  kTooLarge,    // the rows would exceed kMaxPlaneBytes
  kUnpackable,  // packed data that does not unpack to exactly the member's rows
};

// Fills `rows` with geometry.row_bytes x geometry.height bytes in the builders' layout.
MemberRowsStatus DecodeMemberRows(const ByteReader& chunk, const RowGeometry& geometry,
                                  PlaneLayout layout, std::vector<uint8_t>& rows);

// Pixel (x, y) of decoded rows, as the image the builders read would hold it: the index at
// 8 bits and below, the 1-5-5-5 value at 16, 0xAARRGGBB at 32.
uint32_t RowPixel(const std::vector<uint8_t>& rows, const RowGeometry& geometry,
                  PlaneLayout layout, uint32_t x, uint32_t y);

}  // namespace quillon
