#include "util/paths.h"

#include <cstring>

namespace quillon {

std::string GetFileName(const std::string& path) {
  const size_t at = FindLastSeparator(path);
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string StripExtension(const std::string& name) {
  const size_t at = name.rfind('.');
  return at == std::string::npos ? name : name.substr(0, at);
}

std::string GetFolder(const std::string& path) {
  const size_t at = FindLastSeparator(path);
  return at == std::string::npos || at == 0 ? std::string() : path.substr(0, at);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder + kPathSeparator + name;
}

std::string TagToExtension(const std::string& type) {
  std::string extension = type.substr(0, std::strlen(type.c_str()));
  for (char& c : extension) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/') {
      c = kPathSeparator;
    } else if (byte >= 0x80 || std::strchr("?*$;,", c) != nullptr) {
      c = '_';
    }
  }
  return extension;
}

std::string WindowsFileName(const std::string& name) {
  const size_t last_kept = name.find_last_not_of(". ");
  return last_kept == std::string::npos ? std::string() : name.substr(0, last_kept + 1);
}

bool CanNameFile(const std::string& part) {
  return !part.empty() && part != "." && part != ".." &&
         part.find_first_of(kPathSeparators) == std::string::npos && SystemTakesName(part);
}

}  // namespace quillon
