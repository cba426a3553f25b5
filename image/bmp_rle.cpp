#include "image/bmp_rle.h"

#include <cstddef>

namespace quillon {

namespace {

enum Escape : uint8_t { kEndOfLine = 0, kEndOfPicture = 1, kDelta = 2 };

class RleWriter {
 public:
  RleWriter(const RlePlane& plane, int bit_count) : plane_(plane), four_bits_(bit_count == 4) {}

  // Room for `count` pixels from the current position, inside its row.
  bool Fits(uint32_t count) const {
    return y_ < plane_.rows && count <= plane_.width && x_ <= plane_.width - count;
  }
  void Put(uint8_t index) {
    const uint32_t row = plane_.top_down ? plane_.rows - 1 - y_ : y_;
    uint8_t* line = plane_.bits + static_cast<size_t>(row * plane_.stride);
    if (four_bits_) {
      line[x_ / 2] = static_cast<uint8_t>(line[x_ / 2] | (x_ % 2 == 0 ? index << 4 : index & 0x0F));
    } else {
      line[x_] = index;
    }
    ++x_;
  }
  void EndLine() {
    x_ = 0;
    ++y_;
  }
  bool Move(uint8_t right, uint8_t down) {
    x_ += right;
    y_ += down;
    return x_ <= plane_.width && y_ <= plane_.rows;
  }
  bool Done() const { return y_ >= plane_.rows; }
  bool FourBits() const { return four_bits_; }

 private:
  const RlePlane& plane_;
  bool four_bits_;
  uint32_t x_ = 0;
  uint32_t y_ = 0;
};

// The pixel `i` of a run whose byte holds one (8 bits) or two (4 bits) of them.
uint8_t RunPixel(const RleWriter& writer, uint8_t value, uint32_t i) {
  if (!writer.FourBits()) return value;
  return static_cast<uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F);
}

// `count` pixels spelt out from `at`, then padding to a 16-bit word.
ImageStatus Absolute(const ByteReader& encoded, uint32_t count, size_t& at, RleWriter& writer) {
  const size_t bytes = writer.FourBits() ? (count + 1) / 2 : count;
  if (!encoded.Has(at, bytes)) return ImageStatus::kTruncated;
  if (!writer.Fits(count)) return ImageStatus::kBadHeader;
  for (uint32_t i = 0; i < count; ++i) {
    writer.Put(RunPixel(writer, encoded.data()[at + (writer.FourBits() ? i / 2 : i)], i));
  }
  at += bytes + bytes % 2;
  return ImageStatus::kOk;
}

}  // namespace

ImageStatus DecodeBmpRle(const ByteReader& encoded, int bit_count, const RlePlane& plane) {
  RleWriter writer(plane, bit_count);
  size_t at = 0;
  while (true) {
    uint8_t count = 0;
    uint8_t value = 0;
    if (!encoded.U8(at, count) || !encoded.U8(at + 1, value)) {
      // Some writers end with the last row's end of line instead of an end of picture.
      return writer.Done() ? ImageStatus::kOk : ImageStatus::kTruncated;
    }
    at += 2;
    if (count > 0) {
      if (!writer.Fits(count)) return ImageStatus::kBadHeader;
      for (uint32_t i = 0; i < count; ++i) writer.Put(RunPixel(writer, value, i));
      continue;
    }
    if (value == kEndOfLine) {
      writer.EndLine();
    } else if (value == kEndOfPicture) {
      return ImageStatus::kOk;
    } else if (value == kDelta) {
      uint8_t right = 0;
      uint8_t down = 0;
      if (!encoded.U8(at, right) || !encoded.U8(at + 1, down)) return ImageStatus::kTruncated;
      at += 2;
      if (!writer.Move(right, down)) return ImageStatus::kBadHeader;
    } else {
      const ImageStatus status = Absolute(encoded, value, at, writer);
      if (status != ImageStatus::kOk) return status;
    }
  }
}

}  // namespace quillon
