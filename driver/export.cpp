#include "driver/export.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "builders/media_kinds.h"
#include "builders/raw_pass.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "driver/command_line.h"
#include "driver/export_catalogue.h"
#include "driver/export_media.h"
#include "driver/export_writer.h"
#include "driver/input_movie.h"
#include "driver/program.h"
#include "util/code_page.h"
#include "util/paths.h"
#include "util/report.h"

namespace quillon {

namespace {

// True when every part of `name` between separators can be a file or folder name.
bool NamesAFile(const std::string& name) {
  size_t start = 0;
  while (true) {
    const size_t end = name.find(kPathSeparator, start);
    if (!CanNameFile(name.substr(start, end == std::string::npos ? end : end - start))) {
      return false;
    }
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

// The name of entry i's raw file as the raw pass reaches it when it opens its own name: on
// Windows a type that ends in a space or a dot ("snd ") names the file without them.
std::string RawFileName(const MovieView& movie, uint32_t i, const std::string& stem) {
  const std::string name = RawReplacementName(movie, i, stem);
  const size_t separator = name.rfind(kPathSeparator);
  const size_t last = separator == std::string::npos ? 0 : separator + 1;
  return name.substr(0, last) + OpenedFileName(name.substr(last));
}

// Every live chunk not exported as cast media, header and data as stored, so that the raw pass
// takes it back unchanged.
void ExportRawChunks(const MovieView& movie, const std::set<uint32_t>& exported,
                     ExportWriter& writer) {
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t i = 0; i < used_count && !writer.failed(); ++i) {
    if (!movie.IsLive(i) || exported.count(i) != 0) continue;
    const MapEntry entry = movie.Entry(i);
    ManifestRow row;
    row.kind = ManifestKind::kChunk;
    row.entry = i;
    row.type = ReadableType(entry);
    const std::string name = RawFileName(movie, i, writer.stem());
    if (!NamesAFile(name)) {
      row.note = "type gives no file name";
    } else if (writer.Wrote(name)) {
      row.note = "name shared with another file";
    } else {
      writer.PutRowFile(name, movie.data() + entry.offset, size_t{kChunkHeaderSize} + entry.length,
                        row);
    }
    writer.AddRow(std::move(row));
  }
}

ExportCounts Count(const std::vector<ManifestRow>& rows) {
  ExportCounts counts;
  for (const ManifestRow& row : rows) {
    if (row.file.empty()) {
      ++counts.passed_over;
    } else {
      ++counts.files[static_cast<size_t>(row.kind)];
    }
  }
  return counts;
}

constexpr ProgramShape kShape{"Syntax: \"Quillon-Export.exe\" <s:InFile.DXR> <s:FilesDir>\n",
                               true, 2, 2};

}  // namespace

ExportCounts ExportMovie(const MovieView& movie, ExportWriter& writer, CodePage& code_page) {
  const CastTables tables(movie);
  ExportRawChunks(movie, ExportCastMedia(movie, tables, writer, code_page), writer);
  ExportCatalogue(tables, code_page, writer);
  ExportCounts counts = Count(writer.rows());
  counts.kept = writer.kept_count();
  if (!writer.failed()) {
    const std::string manifest = FormatManifest(writer.rows());
    writer.WriteFile(writer.stem() + ".csv", reinterpret_cast<const uint8_t*>(manifest.data()),
                     manifest.size());
  }
  return counts;
}

std::string DescribeExport(const ExportCounts& counts, const std::string& files_dir,
                           const std::string& stem) {
  std::vector<std::string> parts;
  const auto add = [&](ManifestKind kind, const char* counted_as) {
    parts.push_back(std::to_string(counts.files[static_cast<size_t>(kind)]) + " " + counted_as);
  };
  for (const MediaKind* kind = MediaKindsBegin(); kind != MediaKindsEnd(); ++kind) {
    add(kind->manifest_kind, kind->counted_as);
  }
  add(ManifestKind::kChunk, "chunks");
  std::string line = "Exported ";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) line += i + 1 == parts.size() ? " and " : ", ";
    line += parts[i];
  }
  line += " into " + files_dir + "; " + std::to_string(counts.passed_over) + " passed over";
  // Said only when there are some, so that an export into a new folder says what it always did.
  if (counts.kept > 0) line += ", " + std::to_string(counts.kept) + " kept";
  return line + " (see " + stem + ".csv).\n";
}

namespace {

// The export once the arguments are counted; its exit code.
int ExportInput(const CommandLine& line, CodePage& code_page) {
  const InputNames input = NameInput(line.arguments[0]);
  const std::string& files_dir = line.arguments[1];
  MovieView movie;
  if (!MapCheckedMovie(input, movie) || !OpenMovieCodePage(line, movie, code_page)) return 1;
  CreateFolders(files_dir);
  ExportWriter writer(files_dir, input.stem, input.stored_path, line.overwrite);
  const ExportCounts counts = ExportMovie(movie, writer, code_page);
  if (writer.failed()) {
    PrintFatal("Cannot write file %s!!!\n", writer.failed_path().c_str());
    return 1;
  }
  std::fputs(DescribeExport(counts, files_dir, input.stem).c_str(), stdout);
  std::printf("\nJob OK!!!\n");
  return 0;
}

}  // namespace

int RunExport(int argc, char** argv) { return RunProgram(argc, argv, kShape, ExportInput); }

}  // namespace quillon
