#include "builders/bitmap_export.h"

#include <string>
#include <vector>

#include "builders/bitmap_builder.h"
#include "builders/member_image.h"
#include "builders/member_rows.h"
#include "builders/replacement_names.h"
#include "container/bitmap_member.h"
#include "container/member_palette.h"
#include "container/movie.h"

namespace quillon {

namespace {

void AddNote(ManifestRow& row, const std::string& note) {
  if (note.empty()) return;
  row.note += (row.note.empty() ? "" : "; ") + note;
}

// The member's source when the builders accept it, with its depth; null (the row's note says
// why) when they do not.
const ImageSource* AcceptedSource(const CastBitmapInfo& info, bool alpha, ManifestRow& row) {
  if (!info.known_layout) {
    row.note = "specific length " + std::to_string(info.specific_length) + ", not 28";
    return nullptr;
  }
  const uint8_t depth = alpha ? kAlphaDepth : info.depth;
  if (info.layout == MemberLayout::kDirector4) AddNote(row, "D4");
  row.width = info.width;
  row.height = info.height;
  row.depth = depth;
  const ImageSource* source = alpha ? &AlphaSource(info.depth) : SourceForDepth(depth);
  if (source == nullptr) AddNote(row, "depth " + std::to_string(depth) + " not supported");
  return source;
}

// The colour table of the picture: the member's colours for indexed bitmaps, greys for alpha
// channels, none for true colour.
std::vector<uint32_t> PictureColors(const ExportContext& context, const CastMedia& media,
                                    bool alpha, PlaneLayout layout, ManifestRow& row) {
  if (alpha) return GreyPalette();
  if (IndexBits(layout) == 0) return {};
  MemberPalette palette = ResolveMemberPalette(context.tables, media.member);
  row.palette = palette.name;
  AddNote(row, palette.note);
  return std::move(palette.colors);
}

void ExportPixels(const ExportContext& context, const CastMedia& media, bool alpha,
                  ManifestRow& row, ExportedFile& file) {
  CastBitmapInfo info;
  ReadCastBitmapInfo(media.member, info);
  const ImageSource* source = AcceptedSource(info, alpha, row);
  if (source == nullptr) return;
  const std::string name = ReplacementFileName(context.stem, media.cast_number, source->suffix);
  if (info.width == 0 || info.height == 0) {
    AddNote(row, "empty rectangle");
    return;
  }
  const RowGeometry geometry = MemberGeometry(info, alpha ? kAlphaDepth : info.depth);
  std::vector<uint8_t> rows;
  const uint32_t length = context.movie.Entry(media.child).length;
  const uint8_t* data = context.movie.ChunkData(media.child, length);
  const MemberRowsStatus status =
      data == nullptr ? MemberRowsStatus::kUnpackable
                      : DecodeMemberRows(ByteReader(data, length), geometry, source->layout, rows);
  if (status != MemberRowsStatus::kOk) {
    AddNote(row, status == MemberRowsStatus::kTooLarge ? "too large" : "unpackable chunk");
    return;
  }
  const std::vector<uint32_t> colors = PictureColors(context, media, alpha, source->layout, row);
  std::vector<uint8_t> picture = EncodeMemberImage(rows, geometry, source->layout, colors);
  if (picture.empty()) {
    AddNote(row, "too large");
    return;
  }
  file.Take(name, std::move(picture));
}

}  // namespace

void ExportBitmap(const ExportContext& context, const CastMedia& media, ManifestRow& row,
                  ExportedFile& file) {
  ExportPixels(context, media, false, row, file);
}

void ExportAlpha(const ExportContext& context, const CastMedia& media, ManifestRow& row,
                 ExportedFile& file) {
  ExportPixels(context, media, true, row, file);
}

}  // namespace quillon
