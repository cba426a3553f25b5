#include "builders/bitmap_builder.h"

#include <algorithm>
#include <vector>

#include "builders/chunk.h"
#include "builders/plane_layout.h"
#include "builders/row_codec.h"
#include "builders/color_import.h"
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

constexpr ImageSource kSources[] = {
    {1, "-1.bmp", false, PlaneLayout::kIndex1},  {2, "-2.bmp", false, PlaneLayout::kIndex2},
    {4, "-4.bmp", false, PlaneLayout::kIndex4},  {8, "-8.bmp", false, PlaneLayout::kIndex8},
    {16, "-16.tga", true, PlaneLayout::kHighLow16}, {32, "-32.tga", true, PlaneLayout::kArgb32},
};

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

// An image of another size than the member is cut or padded with zeros: said in the log.
void NoteOtherSize(const BuildContext& context, const std::string& path, const CDib& image,
                   const RowGeometry& geometry) {
  const auto width = static_cast<uint32_t>(image.GetWidth());
  const auto height = static_cast<uint32_t>(image.GetHeight());
  if (width == geometry.width && height == geometry.height) return;
  context.log.Write("Image %s is %dx%d, not %dx%d: cut or padded with zeros\n", path.c_str(),
                    image.GetWidth(), image.GetHeight(), static_cast<int>(geometry.width),
                    static_cast<int>(geometry.height));
}

// The chunk from the image at `path`; a refused image is logged with its reason, a missing one
// is not. The pictures of an indexed bitmap (`palette_member`, else null) become the indices
// of the member's colours first.
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
  NoteOtherSize(context, path, image, geometry);
  CDib indexed;
  const CDib* pixels = &image;
  if (palette_member != nullptr) {
    switch (IndexByMemberColors(context, *palette_member, image, indexed)) {
      case ColorMatch::kAsTheyStand:
        break;
      case ColorMatch::kMapped:
        context.log.Write("Colours of %s mapped to the member's palette\n", path.c_str());
        [[fallthrough]];
      case ColorMatch::kNearest:
        pixels = &indexed;
        break;
      case ColorMatch::kOutOfMemory:
        context.LogUnusableFile(path, DescribeImageStatus(ImageStatus::kOutOfMemory));
        return;
    }
  }
  Chunk chunk = PackMember(*pixels, source.layout, geometry, stored_tag);
  image.Destroy();
  context.StoreChunk(child, std::move(chunk), "Frames collision 2!");
}

// The part both builders share once the member is accepted: the size line, then the chunk from
// the image, if it loads. The pictures of an indexed bitmap (`palette_member`, else null) become
// the indices of the member's colours first.
void BuildFromImage(const BuildContext& context, uint32_t cast_number, uint32_t child,
                    const RowGeometry& geometry, const ImageSource& source,
                    const char* stored_tag, const ByteReader* palette_member) {
  context.log.Write("%dx%dx%d\n", static_cast<int>(geometry.width),
                    static_cast<int>(geometry.height), int{source.depth});
  context.log.Flush();
  if (!PlaneFits(geometry)) return;
  const std::string path = context.MemberFile(cast_number, source.suffix);
  context.ShowFile(path);
  BuildFromFile(context, path, child, geometry, source, stored_tag, palette_member);
}

// Reads the member's fields; false, with the refusal logged, unless it is a bitmap member.
bool ReadBitmapMember(const BuildContext& context, const ByteReader& member,
                      CastBitmapInfo& info) {
  if (!ReadCastBitmapInfo(member, info)) return false;
  if (info.known_layout) return true;
  context.log.Write("%d bittype!!!\n", static_cast<int32_t>(info.specific_length));
  return false;
}

}  // namespace

const ImageSource* SourceForDepth(uint8_t depth) {
  for (const ImageSource& source : kSources) {
    if (source.depth == depth) return &source;
  }
  return nullptr;
}

const ImageSource& AlphaSource() { return *SourceForDepth(kAlphaDepth); }

void BuildBitmapChunk(const BuildContext& context, const CastMedia& media) {
  // Cast numbers come from slots of a table shorter than 4 GiB: they fit an int.
  context.log.Write(kBitmapHead, static_cast<int>(media.cast_number), media.member_entry,
                    media.child);
  CastBitmapInfo info;
  if (!ReadBitmapMember(context, media.member, info)) return;
  const ImageSource* source = SourceForDepth(info.depth);
  if (source == nullptr) {
    context.log.Write("%d bitsperpixel!!!\n", int{info.depth});
    return;
  }
  const bool indexed = IndexBits(source->layout) != 0;
  BuildFromImage(context, media.cast_number, media.child, MemberGeometry(info, info.depth),
                 *source, kTagBitmap, indexed ? &media.member : nullptr);
}

void BuildAlphaChunk(const BuildContext& context, const CastMedia& media) {
  context.log.Write(kAlphaHead, static_cast<int>(media.cast_number), media.member_entry,
                    media.child);
  CastBitmapInfo info;
  if (!ReadBitmapMember(context, media.member, info)) return;
  BuildFromImage(context, media.cast_number, media.child, MemberGeometry(info, kAlphaDepth),
                 AlphaSource(), kTagAlpha, nullptr);
}

}  // namespace quillon
