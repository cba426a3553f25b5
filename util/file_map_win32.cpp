// Windows side of file_map.h: a whole-file view through a file mapping.
#include <windows.h>

#include <cstdint>

#include "util/file_map.h"
#include "util/paths.h"

namespace quillon {

namespace {

// The file's size in 64 bits (the low half alone would make a file past 4 GiB look small);
// kEmpty for a zero-length file, which cannot be mapped.
FileError MappableLength(HANDLE file, size_t& size) {
  LARGE_INTEGER length;
  if (GetFileType(file) != FILE_TYPE_DISK) return {FileProblem::kNotAFile, 0};
  if (GetFileSizeEx(file, &length) == 0) return LastSystemError();
  if (length.QuadPart == 0) return {FileProblem::kEmpty, 0};
  if (length.QuadPart < 0 || static_cast<uint64_t>(length.QuadPart) > SIZE_MAX) {
    return {FileProblem::kSystem, ERROR_FILE_TOO_LARGE};
  }
  size = static_cast<size_t>(length.QuadPart);
  return {};
}

// Why `path` could not be opened: a folder is refused as one (Windows says "access denied").
FileError OpenFailure(const std::string& path) {
  const FileError error = LastSystemError();
  return IsFolder(path) ? FileError{FileProblem::kFolder, 0} : error;
}

FileMapping MapWholeFile(const std::string& path, DWORD protection, DWORD view_access) {
  FileMapping mapping;
  // Read access alone suits both views: a copy-on-write view never writes to the file, so a
  // read-only file (say, on a CD) maps as well as any other.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    mapping.error = OpenFailure(path);
    return mapping;
  }
  size_t size = 0;
  mapping.error = MappableLength(file, size);
  const HANDLE section = mapping.error.problem == FileProblem::kNone
                             ? CreateFileMappingA(file, nullptr, protection, 0, 0, nullptr)
                             : nullptr;
  void* view = section != nullptr ? MapViewOfFile(section, view_access, 0, 0, 0) : nullptr;
  if (view == nullptr && mapping.error.problem == FileProblem::kNone) {
    mapping.error = LastSystemError();
  }
  if (section != nullptr) CloseHandle(section);  // the view keeps the mapping alive
  if (view == nullptr) {
    CloseHandle(file);
    return mapping;
  }
  mapping.view = static_cast<uint8_t*>(view);
  mapping.size = size;
  mapping.file = reinterpret_cast<NativeFile>(file);  // kept open, as the interface promises
  return mapping;
}

}  // namespace

FileMapping MapFileReadOnly(const std::string& path) {
  return MapWholeFile(path, PAGE_READONLY, FILE_MAP_READ);
}

FileMapping MapFileCopyOnWrite(const std::string& path) {
  return MapWholeFile(path, PAGE_WRITECOPY, FILE_MAP_COPY);
}

bool UnmapFile(FileMapping& mapping) {
  if (!mapping.valid()) return false;
  const bool released = UnmapViewOfFile(mapping.view) != 0;
  if (mapping.file != kNoFile) CloseHandle(reinterpret_cast<HANDLE>(mapping.file));
  mapping = FileMapping();
  return released;
}

}  // namespace quillon
