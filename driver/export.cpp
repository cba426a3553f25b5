#include "driver/export.h"

#include <cstdio>
#include <set>
#include <string>

#include "builders/raw_pass.h"
#include "container/movie.h"
#include "driver/export_media.h"
#include "driver/export_writer.h"
#include "driver/input_movie.h"
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

// Every live chunk not exported as cast media, header and data as stored, so that the raw pass
// takes it back unchanged.
void ExportRawChunks(const MovieView& movie, const std::set<uint32_t>& exported,
                     ExportWriter& writer) {
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t i = 0; i < used_count && !writer.failed(); ++i) {
    if (!movie.IsLive(i) || exported.count(i) != 0) continue;
    const MapEntry entry = movie.Entry(i);
    const std::string type = TypeName(entry);
    ManifestRow row;
    row.kind = "chunk";
    row.entry = std::to_string(i);
    row.type = type.substr(0, type.find('\0'));
    const std::string name = RawReplacementName(movie, i, writer.stem());
    if (!NamesAFile(name)) {
      row.note = "type gives no file name";
    } else if (writer.Wrote(name)) {
      row.note = "name shared with another file";
    } else if (writer.WriteFile(name, movie.data() + entry.offset,
                                size_t{kChunkHeaderSize} + entry.length)) {
      row.file = name;
    }
    writer.AddRow(std::move(row));
  }
}

ExportCounts Count(const std::vector<ManifestRow>& rows) {
  ExportCounts counts;
  for (const ManifestRow& row : rows) {
    if (row.file.empty()) {
      ++counts.passed_over;
    } else if (row.kind == "bitmap") {
      ++counts.bitmaps;
    } else if (row.kind == "alpha") {
      ++counts.alphas;
    } else if (row.kind == "gif") {
      ++counts.gifs;
    } else {
      ++counts.chunks;
    }
  }
  return counts;
}

void PrintUsage() {
  PrintInColor(kColorYellow,
               "Program written using Varnel Console Interface (VarnelUtil->CI) v0.9.2\n"
               "Syntax: \"Quillon-Export.exe\" <s:InFile.DXR> <s:FilesDir>\n");
}

}  // namespace

ExportCounts ExportMovie(const MovieView& movie, ExportWriter& writer) {
  ExportRawChunks(movie, ExportCastMedia(movie, writer), writer);
  const ExportCounts counts = Count(writer.rows());
  if (!writer.failed()) {
    const std::string manifest = FormatManifest(writer.rows());
    writer.WriteFile(writer.stem() + ".csv", reinterpret_cast<const uint8_t*>(manifest.data()),
                     manifest.size());
  }
  return counts;
}

int RunExport(int argc, char** argv) {
  PrintBanner();
  if (argc != 3) {
    PrintUsage();
    return 1;
  }
  const InputNames input = NameInput(argv[1]);
  const std::string files_dir = argv[2];
  MovieView movie;
  if (!MapCheckedMovie(input, movie)) return 1;
  CreateFolders(files_dir);

  ExportWriter writer(files_dir, input.stem, input.stored_path);
  const ExportCounts counts = ExportMovie(movie, writer);
  if (writer.failed()) {
    PrintFatal("Cannot write file %s!!!\n", writer.failed_path().c_str());
    return 1;
  }
  std::printf("Exported %u bitmaps, %u alpha channels, %u GIF media and %u chunks into %s; "
              "%u passed over (see %s.csv).\n",
              counts.bitmaps, counts.alphas, counts.gifs, counts.chunks, files_dir.c_str(),
              counts.passed_over, input.stem.c_str());
  std::printf("\nJob OK!!!\n");
  return 0;
}

}  // namespace quillon
