#pragma once
// Whole-file views. The copy-on-write view lets the run patch the memory map in place while the
// file on disk never changes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/file_error.h"

namespace quillon {

// The open file behind a view, kept so that ranges of it can be copied file to file without
// touching the view: a descriptor on POSIX, a HANDLE on Windows (INVALID_HANDLE_VALUE is -1).
using NativeFile = intptr_t;
inline constexpr NativeFile kNoFile = -1;

struct FileMapping {
  uint8_t* view = nullptr;  // first byte of the whole file; null when mapping failed
  size_t size = 0;
  NativeFile file = kNoFile;  // open for reading as long as the view is mapped
  FileError error;            // why the view is null
  bool valid() const { return view != nullptr; }
};

// Empty mapping, with why, when the file is missing, unreadable, a folder, empty or cannot be
// mapped.
FileMapping MapFileReadOnly(const std::string& path);
// Writes through the view reach private copies of the pages only, never the file. The file is
// opened for reading alone: a read-only file (say, on a CD) maps as well as any other.
FileMapping MapFileCopyOnWrite(const std::string& path);
// Releases the view and closes its file; true when the view was released. The mapping is
// empty afterwards.
bool UnmapFile(FileMapping& mapping);

}  // namespace quillon
