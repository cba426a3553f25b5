#include "builders/bitmap_builder.h"

#include <algorithm>
#include <string>
#include <vector>

#include "builders/chunk.h"
#include "builders/color_import.h"
#include "builders/log_lines.h"
#include "builders/member_rows.h"
#include "builders/plane_layout.h"
#include "builders/row_codec.h"
#include "container/bitmap_member.h"
#include "container/movie.h"
#include "image/dib.h"
#include "image/image_file.h"
#include "image/image_status.h"
#include "util/byte_reader.h"

namespace quillon {

namespace {

constexpr ImageSource kSources[] = {
    {1, "-1.bmp", false, PlaneLayout::kIndex1},  {2, "-2.bmp", false, PlaneLayout::kIndex2},
    {4, "-4.bmp", false, PlaneLayout::kIndex4},  {8, "-8.bmp", false, PlaneLayout::kIndex8},
    {16, "-16.tga", true, PlaneLayout::kHighLow16}, {32, "-32.tga", true, PlaneLayout::kArgb32},
};
// An 8-bit member's pixels take "-8.bmp" already.
constexpr ImageSource kOwnAlphaSource = {kAlphaDepth, "-alpha.bmp", false,
                                         PlaneLayout::kIndex8};

ImageStatus LoadImage(const ImageSource& source, const std::string& path, CDib& image) {
  return source.tga ? LoadTgaFile(path, image) : LoadBmpFile(path, image);
}

// How much of the member the image covers: its columns and rows up to the member's size. The
// rest of the member stays zero (the log says so, NoteOtherSize).
struct Coverage {
  uint32_t columns;
  uint32_t rows;
};

Coverage CoverMember(const CDib& image, const RowGeometry& geometry) {
  const uint32_t image_width = static_cast<uint32_t>(std::max(image.GetWidth(), 0));
  const uint32_t image_height = static_cast<uint32_t>(std::max(image.GetHeight(), 0));
  const Coverage covered{std::min(geometry.width, image_width),
                         std::min(geometry.height, image_height)};
  return covered;
}

void AppendBytes(const std::vector<uint8_t>& bytes, size_t length, Chunk& chunk) {
  chunk.insert(chunk.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

// The chunk: every row packed on its own as it is laid out, top row first, straight behind the
// header. Columns and rows the image does not reach stay zero; those zero rows all pack alike,
// so one is packed and repeated.
Chunk PackMember(const CDib& image, PlaneLayout layout, const RowGeometry& geometry,
                 const char* type, ByteOrder order) {
  const Coverage covered = CoverMember(image, geometry);
  // The chunk grows with the packed rows: a member's rectangle alone says nothing of their
  // length, and reserving for its worst case would cost gigabytes for a few zero rows.
  Chunk chunk = MakeChunk(type, 0, order);
  const uint64_t plane = uint64_t{geometry.row_bytes} * geometry.height;
  // Only the covered columns are written: the rest of each row stays as zeroed here.
  std::vector<uint8_t> row(geometry.row_bytes);
  std::vector<uint8_t> packed(PackedRowBound(geometry.row_bytes));
  for (uint32_t y = 0; y < covered.rows; ++y) {
    FillRow(image, layout, static_cast<int32_t>(y), covered.columns, geometry.width, row.data());
    AppendBytes(packed, PackRow(row.data(), packed.data(), row.size()), chunk);
  }
  if (covered.rows < geometry.height) {
    std::fill(row.begin(), row.end(), 0);
    const size_t zero_row = PackRow(row.data(), packed.data(), row.size());
    for (uint32_t y = covered.rows; y < geometry.height; ++y) AppendBytes(packed, zero_row, chunk);
  }
  // Readers take data exactly as long as the plain rows for plain rows.
  if (chunk.size() - kChunkHeaderSize == plane) SpellOutLastRepeatRun(chunk, kChunkHeaderSize);
  // The data length behind the tag. The plane limit keeps it (at most twice the plane, and a
  // run spelt out) within 32 bits.
  SetChunkDataLength(chunk, order);
  return chunk;
}

// True when the image's pixels, laid out as PackMember lays them, are the ones the member's chunk
// holds: the file gives back what the movie has, however differently Director packed it and
// whatever its rows hold past their last pixel.
bool MatchesMemberRows(const BuildContext& context, uint32_t child, const CDib& image,
                       PlaneLayout layout, const RowGeometry& geometry) {
  const MovieView* movie = context.movie();
  if (movie == nullptr || child >= movie->UsedCount()) return false;
  const uint32_t length = movie->Entry(child).length;
  const uint8_t* data = movie->ChunkData(child, length);
  std::vector<uint8_t> rows;
  if (data == nullptr ||
      DecodeMemberRows(ByteReader(data, length), geometry, layout, rows) != MemberRowsStatus::kOk) {
    return false;
  }
  const Coverage covered = CoverMember(image, geometry);
  const RowGeometry one_row{geometry.width, 1, geometry.row_bytes};
  std::vector<uint8_t> row(geometry.row_bytes, 0);
  for (uint32_t y = 0; y < geometry.height; ++y) {
    if (y < covered.rows) {
      FillRow(image, layout, static_cast<int32_t>(y), covered.columns, geometry.width, row.data());
    } else {
      std::fill(row.begin(), row.end(), 0);
    }
    for (uint32_t x = 0; x < geometry.width; ++x) {
      if (RowPixel(row, one_row, layout, x, 0) != RowPixel(rows, geometry, layout, x, y)) {
        return false;
      }
    }
  }
  return true;
}

// An image of another size than the member is cut or padded with zeros: said in the log.
void NoteOtherSize(const BuildContext& context, const std::string& path, const CDib& image,
                   const RowGeometry& geometry) {
  const auto width = static_cast<uint32_t>(image.GetWidth());
  const auto height = static_cast<uint32_t>(image.GetHeight());
  if (width == geometry.width && height == geometry.height) return;
  // Told on the console too: a picture saved at the wrong size is a mistake to fix at once.
  const std::string line = FormatText(kOtherSize, path.c_str(), image.GetWidth(),
                                      image.GetHeight(), static_cast<int>(geometry.width),
                                      static_cast<int>(geometry.height));
  context.report.Write("%s", line.c_str());
  context.report.Tell(kColorNormal, line);
}

// The chunk from the image at `path`; a refused image is logged with its reason, a missing one
// is not. The pictures of an indexed bitmap (`palette_member`, else null) become the indices
// of the member's colours first.
void BuildFromFile(const BuildContext& context, const std::string& path, uint32_t child,
                   const RowGeometry& geometry, const ImageSource& source, const char* type,
                   const ByteReader* palette_member, ImportedChunk& imported) {
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
        context.report.Write(kColoursMapped, path.c_str());
        [[fallthrough]];
      case ColorMatch::kNearest:
        pixels = &indexed;
        break;
      case ColorMatch::kOutOfMemory:
        context.LogUnusableFile(path, DescribeImageStatus(ImageStatus::kOutOfMemory));
        return;
    }
  }
  if (MatchesMemberRows(context, child, *pixels, source.layout, geometry)) {
    imported.unchanged = true;
    return;
  }
  imported.chunk = PackMember(*pixels, source.layout, geometry, type, context.order());
}

// The part both builders share once the member is accepted: the size line, then the chunk from
// the image, if it loads. The pictures of an indexed bitmap (`palette_member`, else null) become
// the indices of the member's colours first.
void BuildFromImage(const BuildContext& context, const CastMedia& media,
                    const RowGeometry& geometry, const ImageSource& source, const char* type,
                    const ByteReader* palette_member, ImportedChunk& imported) {
  context.report.Write(kBitmapSize, static_cast<int>(geometry.width),
                    static_cast<int>(geometry.height), int{source.depth});
  context.report.Flush();
  if (!PlaneFits(geometry)) return;
  const std::string path = context.MemberFile(media.cast_number, source.suffix);
  context.ShowFile(path, imported);
  BuildFromFile(context, path, media.child, geometry, source, type, palette_member, imported);
}

// Reads the member's fields; false, with the refusal logged, unless it is a bitmap member.
bool ReadBitmapMember(const BuildContext& context, const ByteReader& member,
                      CastBitmapInfo& info) {
  if (!ReadCastBitmapInfo(member, info)) return false;
  if (info.known_layout) return true;
  context.report.Write(kBitType, static_cast<int32_t>(info.specific_length));
  return false;
}

}  // namespace

const ImageSource* SourceForDepth(uint8_t depth) {
  for (const ImageSource& source : kSources) {
    if (source.depth == depth) return &source;
  }
  return nullptr;
}

const ImageSource& AlphaSource(uint8_t member_depth) {
  return member_depth == kAlphaDepth ? kOwnAlphaSource : *SourceForDepth(kAlphaDepth);
}

void BuildBitmapChunk(const BuildContext& context, const CastMedia& media,
                      ImportedChunk& imported) {
  // Cast numbers come from slots of a table shorter than 4 GiB: they fit an int.
  context.report.Write(kBitmapHead, static_cast<int>(media.cast_number), media.member_entry,
                    media.child);
  CastBitmapInfo info;
  if (!ReadBitmapMember(context, media.member, info)) return;
  const ImageSource* source = SourceForDepth(info.depth);
  if (source == nullptr) {
    context.report.Write(kBitsPerPixel, int{info.depth});
    return;
  }
  const bool indexed = IndexBits(source->layout) != 0;
  BuildFromImage(context, media, MemberGeometry(info, info.depth), *source,
                 kTypeBitmap, indexed ? &media.member : nullptr, imported);
}

void BuildAlphaChunk(const BuildContext& context, const CastMedia& media, ImportedChunk& imported) {
  context.report.Write(kAlphaHead, static_cast<int>(media.cast_number), media.member_entry,
                    media.child);
  CastBitmapInfo info;
  if (!ReadBitmapMember(context, media.member, info)) return;
  BuildFromImage(context, media, MemberGeometry(info, kAlphaDepth), AlphaSource(info.depth),
                 kTypeAlpha, nullptr, imported);
}

bool AcceptsBitmapMember(const MovieView& movie, CastMedia& media) {
  return MemberFields(movie, media.member_entry, media.member);
}

}  // namespace quillon
