#pragma once
// The operating-system calls behind file_io.h, one file per platform.

#include <cstdint>
#include <cstdio>
#include <string>

namespace quillon {

// Opens a regular file for binary reading and gives its length; null when there is no regular
// file of that name or it cannot be opened.
std::FILE* OpenRegularFile(const std::string& path, uint64_t& length);

// Creates a new, empty file beside `final_path` under a name no other file has, opened for
// binary writing; null when none can be created. `temp_path` receives its name.
std::FILE* CreateTemporaryBeside(const std::string& final_path, std::string& temp_path);

// Renames `from` to `to`, replacing a file of that name in one step.
bool ReplaceFileWith(const std::string& from, const std::string& to);

void RemoveFile(const std::string& path);

}  // namespace quillon
