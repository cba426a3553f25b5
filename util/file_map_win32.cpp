// Windows side of file_map.h: a whole-file view through a file mapping.
#include <windows.h>

#include <cstdint>

#include "util/file_map.h"

namespace quillon {

namespace {

// The file's size in 64 bits: the low half alone would make a file past 4 GiB look small.
bool WholeFileSize(HANDLE file, size_t& size) {
  LARGE_INTEGER length;
  if (GetFileSizeEx(file, &length) == 0 || length.QuadPart <= 0) return false;
  if (static_cast<uint64_t>(length.QuadPart) > SIZE_MAX) return false;
  size = static_cast<size_t>(length.QuadPart);
  return true;
}

FileMapping MapWholeFile(const std::string& path, DWORD protection, DWORD view_access) {
  FileMapping mapping;
  // Read access alone suits both views: a copy-on-write view never writes to the file, so a
  // read-only file (say, on a CD) maps as well as any other.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return mapping;
  size_t size = 0;
  // A zero-length file cannot be mapped, and a folder has no size: both are refused here.
  const HANDLE section = WholeFileSize(file, size)
                             ? CreateFileMappingA(file, nullptr, protection, 0, 0, nullptr)
                             : nullptr;
  void* view = section != nullptr ? MapViewOfFile(section, view_access, 0, 0, 0) : nullptr;
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
