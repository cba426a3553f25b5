#include "builders/bitmap_builder.h"

#include <algorithm>
#include <vector>

#include "builders/chunk.h"
#include "builders/plane_layout.h"
#include "builders/row_codec.h"
#include "builders/true_color_import.h"
#include "container/bitmap_member.h"
#include "container/movie.h"
#include "image/dib.h"
#include "image/image_file.h"
#include "image/image_status.h"
#include "util/byte_reader.h"

namespace quillon {

namespace {

constexpr char kBitmapHead[] = "Cast %06d->(%04X:%04X): BITD=";
constexpr char kAlphaHead[] = "Cast %06d->(%04X:%04X): ALFA=";

constexpr ImageSource kIndexSource{"-8.bmp", false, PlaneLayout::kIndex8};
constexpr ImageSource kHighColorSource{"-16.tga", true, PlaneLayout::kHighLow16};
constexpr ImageSource kTrueColorSource{"-32.tga", true, PlaneLayout::kArgb32};

ImageStatus LoadImage(const ImageSource& source, const std::string& path, CDib& image) {
  return source.tga ? LoadTgaFile(path, image) : LoadBmpFile(path, image);
}

void AppendPackedRow(const uint8_t* row, size_t length, std::vector<uint8_t>& packed) {
  const size_t start = packed.size();
  packed.resize(start + PackedRowBound(length));
  packed.resize(start + PackRow(row, packed.data() + start, length));
}

// The chunk: every row packed on its own, top row first, straight behind the header. Rows and
// columns the image does not reach stay zero; those zero rows all pack alike, so one is packed
// and repeated.
Chunk PackMember(const CDib& image, PlaneLayout layout, const RowGeometry& geometry,
                 const char* stored_tag) {
  const uint32_t image_width = static_cast<uint32_t>(std::max(image.GetWidth(), 0));
  const uint32_t image_height = static_cast<uint32_t>(std::max(image.GetHeight(), 0));
  const uint32_t columns = std::min(geometry.width, image_width);
  const uint32_t covered_rows = std::min(geometry.height, image_height);
  // What reading the uncovered pixels one by one would have reported.
  if (geometry.width > 0 && geometry.height > 0 &&
      (columns < geometry.width || covered_rows < geometry.height)) {
    CheckAssertion(false);
  }
  Chunk chunk = MakeChunk(stored_tag, 0);
  std::vector<uint8_t> row(geometry.row_bytes);
  for (uint32_t y = 0; y < covered_rows; ++y) {
    std::fill(row.begin(), row.end(), 0);
    FillRow(image, layout, static_cast<int32_t>(y), columns, geometry.width, row.data());
    AppendPackedRow(row.data(), row.size(), chunk);
  }
  if (covered_rows < geometry.height) {
    std::fill(row.begin(), row.end(), 0);
    std::vector<uint8_t> zero_row;
    AppendPackedRow(row.data(), row.size(), zero_row);
    chunk.reserve(chunk.size() + zero_row.size() * (geometry.height - covered_rows));
    for (uint32_t y = covered_rows; y < geometry.height; ++y) {
      chunk.insert(chunk.end(), zero_row.begin(), zero_row.end());
    }
  }
  // Readers take data exactly as long as the plain rows for plain rows.
  if (chunk.size() - kChunkHeaderSize == uint64_t{geometry.row_bytes} * geometry.height) {
    SpellOutLastRepeatRun(chunk, kChunkHeaderSize);
  }
  // The data length behind the tag. The plane limit keeps it (at most twice the plane, and a
  // run spelt out) within 32 bits.
  StoreU32Le(chunk.data() + 4, static_cast<uint32_t>(chunk.size() - kChunkHeaderSize));
  return chunk;
}

// The chunk from the image at `path`; a refused image is logged with its reason, a missing one
// is not. A true-colour picture for a member with a palette (`palette_member`, else null) is
// indexed by that palette first.
void BuildFromFile(const BuildContext& context, const std::string& path, uint32_t child,
                   const RowGeometry& geometry, const ImageSource& source,
                   const char* stored_tag, const ByteReader* palette_member) {
  CDib image;
  const ImageStatus status = LoadImage(source, path, image);
  if (status == ImageStatus::kMissing) return;
  if (status != ImageStatus::kOk) {
    context.LogUnusableFile(path, DescribeImageStatus(status));
    return;
  }
  CDib indexed;
  const CDib* pixels = &image;
  if (palette_member != nullptr && HoldsTrueColor(image)) {
    // The palette is never empty (unresolved references fall back to a built-in one), so only
    // a failed allocation stops the indexing.
    if (!IndexByMemberPalette(context, *palette_member, image, indexed)) {
      context.LogUnusableFile(path, DescribeImageStatus(ImageStatus::kOutOfMemory));
      return;
    }
    pixels = &indexed;
  }
  Chunk chunk = PackMember(*pixels, source.layout, geometry, stored_tag);
  image.Destroy();
  context.StoreChunk(child, std::move(chunk), "Frames collision 2!");
}

// The part both builders share once the member is accepted: the size line, then the chunk from
// the image, if there is a layout for the depth and the image loads. A true-colour picture for
// a member with a palette (`palette_member`, else null) is indexed by that palette first.
void BuildFromImage(const BuildContext& context, uint32_t cast_number, uint32_t child,
                    const RowGeometry& geometry, uint8_t depth, const ImageSource* source,
                    const char* stored_tag, const ByteReader* palette_member) {
  context.log.Write("%dx%dx%d\n", static_cast<int>(geometry.width),
                    static_cast<int>(geometry.height), int{depth});
  context.log.Flush();
  if (!PlaneFits(geometry) || source == nullptr) return;
  const std::string path = context.MemberFile(cast_number, source->suffix);
  context.ShowFile(path);
  BuildFromFile(context, path, child, geometry, *source, stored_tag, palette_member);
}

// Reads the member's fields; false, with the refusal logged, unless it is a bitmap member.
bool ReadBitmapMember(const BuildContext& context, const ByteReader& member,
                      CastBitmapInfo& info) {
  if (!ReadCastBitmapInfo(member, info)) return false;
  if (info.specific_length == bitmap_member::kSpecificLength) return true;
  context.log.Write("%d bittype!!!\n", static_cast<int32_t>(info.specific_length));
  return false;
}

}  // namespace

const ImageSource* SourceForDepth(uint8_t depth) {
  switch (depth) {
    case 8:
      return &kIndexSource;
    case 16:
      return &kHighColorSource;
    case 32:
      return &kTrueColorSource;
    default:
      return nullptr;
  }
}

const ImageSource& AlphaSource() { return kIndexSource; }

void BuildBitmapChunk(const BuildContext& context, const CastMedia& media) {
  // Cast numbers come from slots of a table shorter than 4 GiB: they fit an int.
  context.log.Write(kBitmapHead, static_cast<int>(media.cast_number), media.member_entry,
                    media.child);
  CastBitmapInfo info;
  if (!ReadBitmapMember(context, media.member, info)) return;
  // Depth 0 has no bytes per pixel: refused like 1, 2 and 4 bits.
  if (info.depth == 0 || info.depth % 8 != 0) {
    context.log.Write("%d bitsperpixel!!!\n", int{info.depth});
    return;
  }
  const ImageSource* source = SourceForDepth(info.depth);
  BuildFromImage(context, media.cast_number, media.child, MemberGeometry(info, info.depth),
                 info.depth, source, kTagBitmap, source == &kIndexSource ? &media.member : nullptr);
}

void BuildAlphaChunk(const BuildContext& context, const CastMedia& media) {
  context.log.Write(kAlphaHead, static_cast<int>(media.cast_number), media.member_entry,
                    media.child);
  CastBitmapInfo info;
  if (!ReadBitmapMember(context, media.member, info)) return;
  BuildFromImage(context, media.cast_number, media.child, MemberGeometry(info, kAlphaDepth), kAlphaDepth,
                 &AlphaSource(), kTagAlpha, nullptr);
}

}  // namespace quillon
