#include "driver/export_media.h"

#include <new>
#include <string>
#include <vector>

#include "builders/bitmap_builder.h"
#include "builders/build_context.h"
#include "builders/member_image.h"
#include "builders/member_rows.h"
#include "builders/raw_pass.h"
#include "builders/replacement_names.h"
#include "container/cast_members.h"
#include "container/member_palette.h"
#include "container/movie.h"
#include "driver/export_writer.h"

namespace quillon {

namespace {

constexpr uint32_t kBitmapSpecificLength = 28;
constexpr uint8_t kAlphaDepth = 8;

enum class MediaKind { kGif, kBitmap, kAlpha };

// One dispatch of the cast pass, kept to be exported once the whole cast is known.
struct MediaItem {
  MediaKind kind;
  uint32_t cast_number;
  uint32_t member_entry;
  uint32_t child;
  ByteReader member;
};

class MediaCollector : public CastMediaHandler {
 public:
  void SubstituteGif(uint32_t cast_number, uint32_t child) override {
    // The GIF substitution is told no member; its row finds the member through the slot.
    items.push_back({MediaKind::kGif, cast_number, 0, child, ByteReader(nullptr, 0)});
  }
  void BuildBitmapChunk(uint32_t cast_number, uint32_t member_entry, uint32_t child,
                        const ByteReader& member) override {
    items.push_back({MediaKind::kBitmap, cast_number, member_entry, child, member});
  }
  void BuildAlphaChunk(uint32_t cast_number, uint32_t member_entry, uint32_t child,
                       const ByteReader& member) override {
    items.push_back({MediaKind::kAlpha, cast_number, member_entry, child, member});
  }

  std::vector<MediaItem> items;
};

std::string ReadableType(const MovieView& movie, uint32_t entry) {
  const std::string type = TypeName(movie.Entry(entry));
  return type.substr(0, type.find('\0'));
}

class CastMediaExport {
 public:
  CastMediaExport(const MovieView& movie, ExportWriter& writer)
      : movie_(movie), tables_(movie), writer_(writer) {}

  void Run() {
    MediaCollector collector;
    CastPass(movie_, collector);
    for (const MediaItem& item : collector.items) NoteIndexedBitmap(item);
    for (const MediaItem& item : collector.items) ExportGuarded(item);
  }

  std::set<uint32_t> exported() const { return exported_; }

 private:
  // The run feeds "-8.bmp" to every 8-bit bitmap it accepts; an alpha channel of the same cast
  // number would be rebuilt from that picture too.
  void NoteIndexedBitmap(const MediaItem& item) {
    CastBitmapInfo info;
    if (item.kind == MediaKind::kBitmap && ReadCastBitmapInfo(item.member, info) &&
        info.specific_length == kBitmapSpecificLength && info.depth == 8) {
      indexed_bitmaps_.insert(item.cast_number);
    }
  }

  void ExportGuarded(const MediaItem& item) {
    ManifestRow row = BaseRow(item);
    try {
      Export(item, row);
    } catch (const std::bad_alloc&) {
      row.file.clear();
      row.note = "out of memory";
    }
    writer_.AddRow(std::move(row));
  }

  ManifestRow BaseRow(const MediaItem& item) const {
    ManifestRow row;
    row.kind = item.kind == MediaKind::kGif ? "gif"
               : item.kind == MediaKind::kBitmap ? "bitmap"
                                                 : "alpha";
    row.entry = std::to_string(item.child);
    row.type = ReadableType(movie_, item.child);
    row.cast_number = std::to_string(item.cast_number);
    const uint32_t member = item.kind == MediaKind::kGif
                                ? tables_.MemberEntry(item.cast_number - 1)
                                : item.member_entry;
    row.member_entry = std::to_string(member);
    return row;
  }

  void Export(const MediaItem& item, ManifestRow& row) {
    if (exported_.count(item.child) != 0) {
      row.note = "chunk already exported for another cast number";
      return;
    }
    if (item.kind == MediaKind::kGif) {
      ExportGif(item, row);
    } else {
      ExportPixels(item, row);
    }
  }

  void ExportGif(const MediaItem& item, ManifestRow& row) {
    const uint32_t length = movie_.Entry(item.child).length;
    const uint8_t* data = movie_.ChunkData(item.child, length);
    if (data == nullptr) {
      row.note = "chunk lies outside the file";
      return;
    }
    Write(item, ReplacementFileName(writer_.stem(), item.cast_number, ".gif"), data, length, row);
  }

  void ExportPixels(const MediaItem& item, ManifestRow& row) {
    CastBitmapInfo info;
    ReadCastBitmapInfo(item.member, info);
    if (info.specific_length != kBitmapSpecificLength) {
      row.note = "specific length " + std::to_string(info.specific_length) + ", not 28";
      return;
    }
    const bool alpha = item.kind == MediaKind::kAlpha;
    const uint8_t depth = alpha ? kAlphaDepth : info.depth;
    row.width = std::to_string(info.width);
    row.height = std::to_string(info.height);
    row.depth = std::to_string(depth);
    const ImageSource* source = alpha ? &AlphaSource() : SourceForDepth(depth);
    if (source == nullptr) {
      row.note = "depth " + std::to_string(depth) + " not supported";
      return;
    }
    if (alpha && indexed_bitmaps_.count(item.cast_number) != 0) {
      row.note = "name shared with the bitmap; alpha channel not exported";
      return;
    }
    if (info.width == 0 || info.height == 0) {
      row.note = "empty rectangle";
      return;
    }
    const RowGeometry geometry = MemberGeometry(info, alpha ? 1u : depth / 8u);
    std::vector<uint8_t> rows;
    const uint32_t length = movie_.Entry(item.child).length;
    const uint8_t* data = movie_.ChunkData(item.child, length);
    const MemberRowsStatus status =
        data == nullptr ? MemberRowsStatus::kUnpackable
                        : DecodeMemberRows(ByteReader(data, length), geometry, source->layout, rows);
    if (status != MemberRowsStatus::kOk) {
      row.note = status == MemberRowsStatus::kTooLarge ? "too large" : "unpackable chunk";
      return;
    }
    std::vector<uint32_t> colors;
    if (alpha) {
      colors = GreyPalette();
    } else if (source->layout == PlaneLayout::kIndex8) {
      MemberPalette palette = ResolveMemberPalette(tables_, item.member);
      row.palette = palette.name;
      row.note = palette.note;
      colors = std::move(palette.colors);
    }
    const std::vector<uint8_t> file = EncodeMemberImage(rows, geometry, source->layout, colors);
    if (file.empty()) {
      row.note = "too large";
      return;
    }
    Write(item, ReplacementFileName(writer_.stem(), item.cast_number, source->suffix), file.data(),
          file.size(), row);
  }

  void Write(const MediaItem& item, const std::string& name, const uint8_t* data, size_t size,
             ManifestRow& row) {
    if (writer_.Wrote(name)) {
      row.note = "name shared with another member's file";
      return;
    }
    if (!writer_.WriteFile(name, data, size)) return;
    row.file = name;
    exported_.insert(item.child);
  }

  const MovieView& movie_;
  const CastTables tables_;
  ExportWriter& writer_;
  std::set<uint32_t> indexed_bitmaps_;  // cast numbers
  std::set<uint32_t> exported_;         // entry indices
};

}  // namespace

std::set<uint32_t> ExportCastMedia(const MovieView& movie, ExportWriter& writer) {
  CastMediaExport media(movie, writer);
  media.Run();
  return media.exported();
}

}  // namespace quillon
