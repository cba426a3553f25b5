// Windows side of file_io.h.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>
#include <random>

#include "util/file_io.h"

namespace quillon {

namespace {

constexpr int kTemporaryNameAttempts = 100;

HANDLE Handle(NativeFile file) { return reinterpret_cast<HANDLE>(file); }
NativeFile Native(HANDLE handle) { return reinterpret_cast<NativeFile>(handle); }

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

// A regular file opened for reading, with its 64-bit length; INVALID_HANDLE_VALUE otherwise.
HANDLE OpenRegularFile(const std::string& path, uint64_t& length) {
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return handle;
  LARGE_INTEGER size;
  if (GetFileType(handle) != FILE_TYPE_DISK || GetFileSizeEx(handle, &size) == 0 ||
      size.QuadPart < 0) {
    CloseHandle(handle);
    return INVALID_HANDLE_VALUE;
  }
  length = static_cast<uint64_t>(size.QuadPart);
  return handle;
}

// OpenRegularFile for a file of at most `max_length` bytes.
ReadFileStatus OpenFileOfAtMost(const std::string& path, uint64_t max_length, HANDLE& file,
                                size_t& length) {
  uint64_t full_length = 0;
  file = OpenRegularFile(path, full_length);
  if (file == INVALID_HANDLE_VALUE) return ReadFileStatus::kMissing;
  if (full_length > max_length || full_length > SIZE_MAX) {
    CloseHandle(file);
    return ReadFileStatus::kTooLarge;
  }
  length = static_cast<size_t>(full_length);
  return ReadFileStatus::kOk;
}

// Why a view could not be had: the address space or the commit limit ran short, or the file
// could not be mapped.
ReadFileStatus MapFailure(DWORD error) {
  const bool short_of_memory = error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY ||
                               error == ERROR_COMMITMENT_LIMIT;
  return short_of_memory ? ReadFileStatus::kOutOfMemory : ReadFileStatus::kReadError;
}

// Reads exactly `length` bytes; false on a failure or an early end.
bool ReadAll(HANDLE file, uint8_t* data, size_t length) {
  while (length > 0) {
    const DWORD ask = static_cast<DWORD>(std::min(kViewWriteBlock, length));
    DWORD got = 0;
    if (ReadFile(file, data, ask, &got, nullptr) == 0 || got == 0) return false;
    data += got;
    length -= got;
  }
  return true;
}

bool AtEnd(HANDLE file) {
  uint8_t extra = 0;
  DWORD got = 0;
  return ReadFile(file, &extra, 1, &got, nullptr) != 0 && got == 0;
}

bool WriteAll(HANDLE file, const uint8_t* data, size_t length) {
  while (length > 0) {
    const DWORD ask = static_cast<DWORD>(std::min(kViewWriteBlock, length));
    DWORD written = 0;
    if (WriteFile(file, data, ask, &written, nullptr) == 0 || written == 0) return false;
    data += written;
    length -= written;
  }
  return true;
}

// A new file beside `final_path` under a name no other file has.
HANDLE CreateTemporaryBeside(const std::string& final_path, std::string& temp_path) {
  std::random_device seed;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x", static_cast<unsigned>(seed()));
    const std::string candidate = final_path + suffix;
    const HANDLE handle = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      temp_path = candidate;
      return handle;
    }
    // Only a name that is taken is worth another try; a missing folder or a refusal is final.
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

ReadFileStatus ReadWholeFile(const std::string& path, uint64_t max_length,
                             std::vector<uint8_t>& bytes) {
  HANDLE file = INVALID_HANDLE_VALUE;
  size_t length = 0;
  const ReadFileStatus opened = OpenFileOfAtMost(path, max_length, file, length);
  if (opened != ReadFileStatus::kOk) return opened;
  try {
    bytes.resize(length);
  } catch (const std::bad_alloc&) {
    CloseHandle(file);
    bytes = std::vector<uint8_t>();
    return ReadFileStatus::kOutOfMemory;
  }
  // A file that grew while being read is not read whole either.
  const bool whole = ReadAll(file, bytes.data(), bytes.size()) && AtEnd(file);
  CloseHandle(file);
  return whole ? ReadFileStatus::kOk : ReadFileStatus::kReadError;
}

ReadFileStatus MapWholeFile(const std::string& path, uint64_t max_length, FileMapping& view) {
  view = FileMapping();
  HANDLE file = INVALID_HANDLE_VALUE;
  size_t length = 0;
  const ReadFileStatus opened = OpenFileOfAtMost(path, max_length, file, length);
  if (opened != ReadFileStatus::kOk) return opened;
  // A zero-length file has no mapping: its view stays empty.
  const HANDLE section =
      length == 0 ? nullptr : CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  void* pages = section != nullptr ? MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0) : nullptr;
  const DWORD error = GetLastError();
  // The view keeps the mapping and the file alive without their handles.
  if (section != nullptr) CloseHandle(section);
  CloseHandle(file);
  if (length != 0 && pages == nullptr) return MapFailure(error);
  view.view = static_cast<uint8_t*>(pages);
  view.size = length;
  return ReadFileStatus::kOk;
}

bool IsSameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION first, second;
  return FileIdentity(a, first) && FileIdentity(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Open(const std::string& final_path) {
  if (!Start(final_path)) return false;
  const HANDLE handle = CreateTemporaryBeside(final_path, temp_path_);
  if (handle == INVALID_HANDLE_VALUE) {
    temp_path_.clear();
    return Fail();
  }
  file_ = Native(handle);
  return true;
}

bool AtomicFileWriter::Write(const void* data, size_t length) {
  if (file_ == kNoFile || failed_) return false;
  return WriteAll(Handle(file_), static_cast<const uint8_t*>(data), length) || Fail();
}

bool AtomicFileWriter::CopyFrom(const FileMapping& source, uint64_t offset, size_t length) {
  if (file_ == kNoFile || failed_) return false;
  return WriteFromView(source.view + offset, length);
}

bool AtomicFileWriter::SeekToStart() {
  if (file_ == kNoFile || failed_) return false;
  LARGE_INTEGER start;
  start.QuadPart = 0;
  return SetFilePointerEx(Handle(file_), start, nullptr, FILE_BEGIN) != 0 || Fail();
}

bool AtomicFileWriter::Commit() {
  if (file_ == kNoFile) return false;
  const bool closed = CloseHandle(Handle(file_)) != 0 || Fail();
  file_ = kNoFile;
  // A plain rename fails when the target exists; this one replaces it in one step.
  if (failed_ || !closed ||
      MoveFileExA(temp_path_.c_str(), final_path_.c_str(), MOVEFILE_REPLACE_EXISTING) == 0) {
    Fail();
    DeleteFileA(temp_path_.c_str());
    temp_path_.clear();
    return false;
  }
  temp_path_.clear();
  return true;
}

void AtomicFileWriter::Abandon() {
  if (file_ != kNoFile) CloseHandle(Handle(file_));
  file_ = kNoFile;
  if (!temp_path_.empty()) DeleteFileA(temp_path_.c_str());
  temp_path_.clear();
}

}  // namespace quillon
