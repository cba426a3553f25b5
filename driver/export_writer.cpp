#include "driver/export_writer.h"

#include <algorithm>

#include "driver/messages.h"
#include "util/file_io.h"
#include "util/paths.h"

namespace quillon {

namespace {

constexpr char kKeptNote[] = "kept: differs from the movie";

enum class ExistingFile { kNone, kSame, kOther };

// What `path` holds against the `size` bytes at `data`, read no further than they reach. A
// file that cannot be read whole counts as other bytes: it is not the export's to destroy.
ExistingFile CompareExisting(const std::string& path, const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes;
  switch (ReadWholeFile(path, size, bytes)) {
    case ReadFileStatus::kMissing:
      return ExistingFile::kNone;
    case ReadFileStatus::kOk:
      return bytes.size() == size && std::equal(bytes.begin(), bytes.end(), data)
                 ? ExistingFile::kSame
                 : ExistingFile::kOther;
    case ReadFileStatus::kReadError:
    case ReadFileStatus::kTooLarge:
    case ReadFileStatus::kOutOfMemory:
      break;
  }
  return ExistingFile::kOther;
}

void AddNote(ManifestRow& row, const char* note) {
  row.note += row.note.empty() ? note : std::string("; ") + note;
}

}  // namespace

bool ExportWriter::PutRowFile(const std::string& name, const uint8_t* data, size_t size,
                              ManifestRow& row) {
  if (failed()) return false;
  const std::string path = JoinPath(files_dir_, name);
  const ExistingFile existing = CompareExisting(path, data, size);
  if (existing == ExistingFile::kNone || (existing == ExistingFile::kOther && overwrite_)) {
    if (!WriteFile(name, data, size)) return false;
  } else {
    report_.ShowProgress(path);
    names_.insert(name);
    if (existing == ExistingFile::kOther) {
      AddNote(row, kKeptNote);
      ++kept_count_;
    }
  }
  row.file = name;
  return true;
}

bool ExportWriter::WriteFile(const std::string& name, const uint8_t* data, size_t size) {
  if (failed()) return false;
  const std::string path = JoinPath(files_dir_, name);
  report_.ShowProgress(path);
  // A chunk type holding "/" names a file in a subfolder, as the raw pass looks for it.
  if (name.find(kPathSeparator) != std::string::npos) CreateFolders(GetFolder(path));
  AtomicFileWriter file;
  // Renaming over the input would change it, even though its view stays intact.
  if (IsSameFile(path, input_path_)) {
    failed_reason_ = kItIsTheInput;
  } else if (!file.Open(path) || !file.Write(data, size) || !file.Commit()) {
    failed_reason_ = DescribeFileError(file.error());
  }
  if (!failed_reason_.empty()) {
    failed_path_ = path;
    return false;
  }
  names_.insert(name);
  return true;
}

}  // namespace quillon
