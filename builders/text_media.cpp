#include "builders/text_media.h"

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "builders/log_lines.h"
#include "builders/replacement_names.h"
#include "builders/stxt.h"
#include "builders/text_file.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "util/code_page.h"
#include "util/file_io.h"
#include "util/reporter.h"

namespace quillon {

namespace {

constexpr char kSuffix[] = ".txt";
constexpr uint64_t kMaxTextFileLength = uint64_t{16} << 20;

bool ReadOwnedStxt(const CastTables* tables, const CastMedia& media, ByteReader& data,
                   StxtChunk& stxt) {
  return tables != nullptr && tables->ChildData(media.child, data) && ReadStxt(data, stxt);
}

// Only the member's first STXT child has a file.
bool IsFirstText(const CastTables& tables, const CastMedia& media) {
  uint32_t first = 0;
  return !tables.FindChild(media.member_entry, kTypeText, first) || first == media.child;
}

std::string Unmappable(const UnmappableCharacter& unmappable, uint32_t code_page) {
  return FormatText(kUnmappableCharacter, static_cast<unsigned>(unmappable.character),
                    unmappable.line, unmappable.column, code_page);
}

// The chunk rebuilt from the text file at `path`. False when there is none: `reason` is then
// why the file cannot be used, or empty when there is no file.
bool RebuildFromFile(const std::string& path, const StxtChunk& old, CodePage& code_page,
                     ByteOrder order, Chunk& chunk, std::string& reason) {
  try {
    std::vector<uint8_t> file;
    const ReadFileStatus status = ReadWholeFile(path, kMaxTextFileLength, file);
    if (const char* failure = DescribeReadFailure(status)) reason = failure;
    if (status != ReadFileStatus::kOk) return false;
    EncodedText text;
    UnmappableCharacter unmappable;
    switch (EncodeTextFile(ByteReader(file.data(), file.size()), code_page, text, unmappable)) {
      case TextFileStatus::kNotUtf8:
        reason = "not UTF-8 text";
        return false;
      case TextFileStatus::kUnmappable:
        reason = Unmappable(unmappable, code_page.number());
        return false;
      case TextFileStatus::kOk:
        break;
    }
    // The file's limit keeps the text far below a chunk's.
    return RebuildStxt(old, text, order, chunk);
  } catch (const std::bad_alloc&) {
    // Caught here rather than by the cast pass, so that the member's line comes first.
    reason = "out of memory";
    return false;
  }
}

uint32_t TextLength(const Chunk& chunk) {
  uint32_t length = 0;
  ByteReader(chunk.data(), chunk.size()).U32Be(kChunkHeaderSize + 4, length);
  return length;
}

// Why `stxt` has no file that the run would turn back into `data` byte for byte; empty with the
// file made.
std::string RoundTripRefusal(const StxtChunk& stxt, const ByteReader& data, CodePage& code_page,
                             std::vector<uint8_t>& file) {
  if (stxt.text.size() > kMaxTextFileLength) return "text larger than 16 MiB";
  std::u32string text;
  if (!code_page.Decode(stxt.text, text)) {
    return "text holds bytes that code page " + std::to_string(code_page.number()) +
           " does not define";
  }
  if (text.find(U'\n') != std::u32string::npos) {
    return "text holds a line feed, which would come back as a line break";
  }
  file = MakeTextFile(text);
  if (file.size() > kMaxTextFileLength) return "text larger than 16 MiB";
  EncodedText encoded;
  UnmappableCharacter unmappable;
  Chunk chunk;
  if (EncodeTextFile(ByteReader(file.data(), file.size()), code_page, encoded, unmappable) !=
          TextFileStatus::kOk ||
      !RebuildStxt(stxt, encoded, ByteOrder::kLittle, chunk) ||
      chunk.size() - kChunkHeaderSize != data.size() ||
      !data.Matches(0, chunk.data() + kChunkHeaderSize, data.size())) {
    return "chunk would not come back byte for byte from its text";
  }
  return {};
}

}  // namespace

void BuildTextChunk(const BuildContext& context, const CastMedia& media, ImportedChunk& imported) {
  // Cast numbers come from slots of a table shorter than 4 GiB: they fit an int.
  const int cast_number = static_cast<int>(media.cast_number);
  ByteReader data;
  StxtChunk old;
  if (!ReadOwnedStxt(context.tables, media, data, old)) {
    context.report.Write(kTextUnreadable, cast_number, media.member_entry, media.child);
    return;
  }
  Chunk chunk;
  std::string path;
  std::string reason;
  bool rebuilt = false;
  CodePage* code_page = context.settings.code_page;
  if (code_page != nullptr && IsFirstText(*context.tables, media)) {
    path = context.MemberFile(media.cast_number, kSuffix);
    context.ShowFile(path, imported);
    rebuilt = RebuildFromFile(path, old, *code_page, context.order(), chunk, reason);
  }
  context.report.Write(kTextLength, cast_number, media.member_entry, media.child,
                    rebuilt ? TextLength(chunk) : static_cast<uint32_t>(old.text.size()));
  if (!reason.empty()) context.LogUnusableFile(path, reason.c_str());
  if (rebuilt) imported.chunk = std::move(chunk);
}

void ExportText(const ExportContext& context, const CastMedia& media, ManifestRow& row,
                ExportedFile& file) {
  CodePage* code_page = context.settings.code_page;
  if (code_page == nullptr) {
    row.note = "no code page";
    return;
  }
  row.code_page = code_page->number();
  ByteReader data;
  StxtChunk stxt;
  if (!ReadOwnedStxt(&context.tables, media, data, stxt)) {
    row.note = "unreadable STXT chunk";
    return;
  }
  if (!IsFirstText(context.tables, media)) {
    row.note = "not the member's first STXT chunk";
    return;
  }
  std::vector<uint8_t> bytes;
  row.note = RoundTripRefusal(stxt, data, *code_page, bytes);
  if (row.note.empty()) {
    file.Take(ReplacementFileName(context.stem, media.cast_number, kSuffix), std::move(bytes));
  }
}

}  // namespace quillon
