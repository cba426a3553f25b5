#include "driver/export.h"

#include <set>
#include <string>
#include <vector>

#include "builders/media_kinds.h"
#include "builders/raw_pass.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "driver/batch.h"
#include "driver/command_line.h"
#include "driver/console_sink.h"
#include "driver/export_catalogue.h"
#include "driver/export_media.h"
#include "driver/export_writer.h"
#include "driver/folder_owner.h"
#include "driver/input_movie.h"
#include "driver/messages.h"
#include "driver/program.h"
#include "driver/run_output.h"
#include "util/paths.h"
#include "util/reporter.h"

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

// Every live chunk not exported as cast media, header and data as stored, so that the raw pass
// takes it back unchanged.
void ExportRawChunks(const MovieView& movie, const std::set<uint32_t>& exported,
                     ExportWriter& writer) {
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t i = 0; i < used_count && !writer.failed(); ++i) {
    if (!movie.IsLive(i) || exported.count(i) != 0) continue;
    const MapEntry entry = movie.Entry(i);
    ManifestRow row;
    row.entry = i;
    row.type = ReadableType(entry);
    const std::string name = WindowsRawName(movie, i, writer.stem());
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

uint32_t CountOf(const ExportCounts& counts, const char* kind) {
  const auto found = counts.files.find(kind);
  return found == counts.files.end() ? 0 : found->second;
}

// The files of the kinds the closing line names: the movie's own row is none of them.
uint32_t FileCount(const ExportCounts& counts) {
  uint32_t total = CountOf(counts, kRawChunkKind);
  for (const MediaKind* kind = MediaKindsBegin(); kind != MediaKindsEnd(); ++kind) {
    total += CountOf(counts, kind->manifest_name);
  }
  return total;
}

ExportCounts Count(const std::vector<ManifestRow>& rows) {
  ExportCounts counts;
  for (const ManifestRow& row : rows) {
    if (row.file.empty()) {
      ++counts.passed_over;
    } else {
      ++counts.files[row.kind];
    }
  }
  return counts;
}

// What the export's steps share.
struct ExportState {
  const MovieView& movie;
  const CastTables& tables;
  ExportWriter& writer;
  const MediaSettings& settings;
  std::set<uint32_t> exported;  // the entries written as cast media, left out of the raw export
};

void ExportCastMediaStep(ExportState& state) {
  state.exported = ExportCastMedia(state.movie, state.tables, state.writer, state.settings);
}

void ExportRawChunksStep(ExportState& state) {
  ExportRawChunks(state.movie, state.exported, state.writer);
}

void ExportCatalogueStep(ExportState& state) {
  if (state.settings.code_page != nullptr) {
    ExportCatalogue(state.tables, *state.settings.code_page, state.writer);
  }
}

void WriteManifestStep(ExportState& state) {
  const std::string manifest = FormatManifest(state.writer.rows());
  state.writer.WriteFile(state.writer.stem() + ".csv",
                         reinterpret_cast<const uint8_t*>(manifest.data()), manifest.size());
}

// The export, in order; each step runs only while every file so far has been written.
constexpr void (*kExportSteps[])(ExportState&) = {
    ExportCastMediaStep,
    ExportRawChunksStep,
    ExportCatalogueStep,  // with a row for each text it leaves out
    WriteManifestStep,
};

constexpr BatchShape kBatchShape{kBatchExportLine, {"files", "passed_over", "kept"}, false};
constexpr ProgramShape kShape{kExportSyntax, true, 2, 2, kBatchShape};

}  // namespace

ExportCounts ExportMovie(const MovieView& movie, ExportWriter& writer,
                         const MediaSettings& settings) {
  const CastTables tables(movie);
  ExportState state{movie, tables, writer, settings, {}};
  for (const auto step : kExportSteps) {
    if (writer.failed()) break;
    step(state);
  }
  ExportCounts counts = Count(writer.rows());
  counts.kept = writer.kept_count();
  return counts;
}

std::string DescribeExport(const ExportCounts& counts, const std::string& files_dir,
                           const std::string& stem) {
  std::vector<std::string> parts;
  const auto add = [&](const char* kind, const char* counted_as) {
    parts.push_back(std::to_string(CountOf(counts, kind)) + " " + counted_as);
  };
  for (const MediaKind* kind = MediaKindsBegin(); kind != MediaKindsEnd(); ++kind) {
    add(kind->manifest_name, kind->counted_as);
  }
  add(kRawChunkKind, "chunks");
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
int ExportInput(const CommandLine& line, const MediaSettings& given, RunOutput& output) {
  const InputNames input = NameInput(line.arguments[0]);
  const std::string& files_dir = line.arguments[1];
  MappedMovie mapped;
  const MovieView& movie = mapped.view;
  MediaSettings settings = given;
  if (!MapCheckedMovie(input, mapped.view, output) ||
      !OpenMovieCodePage(line, movie, *settings.code_page, output)) {
    return 1;
  }
  const std::string owner = FolderOwner(files_dir, input.stem);
  if (OwnedByAnother(owner, input.file_name)) {
    output.Fatal(FormatText(kFolderOfAnotherMovie, files_dir.c_str(), owner.c_str(),
                            input.file_name.c_str()));
    return 1;
  }
  CreateFolders(files_dir);
  ConsoleSink console(nullptr, output);
  Reporter report(console);
  ExportWriter writer(files_dir, input.stem, input.stored_path, report, line.overwrite);
  writer.AddRow(MovieRow(input.file_name));
  const ExportCounts counts = ExportMovie(movie, writer, settings);
  if (writer.failed()) {
    output.Fatal(FormatText(kCannotWrite, writer.failed_path().c_str(),
                            writer.failed_reason().c_str()));
    return 1;
  }
  output.Print(DescribeExport(counts, files_dir, input.stem));
  output.Print(kJobOk);
  output.Counted({FileCount(counts), counts.passed_over, counts.kept});
  return 0;
}

}  // namespace

int RunExport(int argc, char** argv) { return RunProgram(argc, argv, kShape, ExportInput); }

}  // namespace quillon
