// Windows side of file_io.h and file_io_platform.h.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <random>

#include "util/file_io.h"
#include "util/file_io_platform.h"

namespace quillon {

namespace {

constexpr int kTemporaryNameAttempts = 100;

// The file's identity: its volume and its index there, however the path to it is spelled.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  // No access asked and every sharing allowed, so a file the run holds open can be asked too.
  const HANDLE file =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return known;
}

// A C stream on a handle the stream then owns; null (handle closed) when it cannot be had.
std::FILE* StreamOn(HANDLE handle, int flags, const char* mode) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, mode);
  if (file == nullptr) _close(fd);
  return file;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, uint64_t& length) {
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size;
  if (GetFileType(handle) != FILE_TYPE_DISK || GetFileSizeEx(handle, &size) == 0 ||
      size.QuadPart < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  length = static_cast<uint64_t>(size.QuadPart);
  return StreamOn(handle, _O_RDONLY | _O_BINARY, "rb");
}

std::FILE* CreateTemporaryBeside(const std::string& final_path, std::string& temp_path) {
  std::random_device seed;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x", static_cast<unsigned>(seed()));
    const std::string candidate = final_path + suffix;
    const HANDLE handle = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      std::FILE* file = StreamOn(handle, _O_WRONLY | _O_BINARY, "wb");
      if (file == nullptr) {
        DeleteFileA(candidate.c_str());
        return nullptr;
      }
      temp_path = candidate;
      return file;
    }
    // Only a name that is taken is worth another try; a missing folder or a refusal is final.
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return nullptr;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
  // A plain rename fails when the target exists; this one replaces it in one step.
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

bool IsSameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION first, second;
  return FileIdentity(a, first) && FileIdentity(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace quillon
