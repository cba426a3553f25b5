#pragma once
// JSON text for reports that scripts read.

#include <string>

namespace quillon {

// `bytes` as a quoted JSON string: quotes, backslashes and control characters escaped. Bytes
// that are no part of well-formed UTF-8 (a path in a legacy code page) become \u0080 to \u00FF,
// so that the line stays valid JSON.
std::string JsonString(const std::string& bytes);

}  // namespace quillon
