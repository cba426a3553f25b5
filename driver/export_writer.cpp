#include "driver/export_writer.h"

#include "util/report.h"
#include "util/file_io.h"
#include "util/paths.h"

namespace quillon {

bool ExportWriter::WriteFile(const std::string& name, const uint8_t* data, size_t size) {
  if (failed()) return false;
  const std::string path = JoinPath(files_dir_, name);
  ShowProgress(path);
  // A chunk type holding "/" names a file in a subfolder, as the raw pass looks for it.
  if (name.find(kPathSeparator) != std::string::npos) CreateFolders(GetFolder(path));
  AtomicFileWriter file;
  // Renaming over the input would change it, even though its view stays intact.
  if (IsSameFile(path, input_path_) || !file.Open(path) || !file.Write(data, size) ||
      !file.Commit()) {
    failed_path_ = path;
    return false;
  }
  names_.insert(name);
  return true;
}

}  // namespace quillon
