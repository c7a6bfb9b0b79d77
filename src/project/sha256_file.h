// The SHA-256 of a file's bytes, which a project keeps to know its picture again.
#pragma once

#include <optional>
#include <string>

namespace mozenta {

// The digest as 64 lower-case hexadecimal digits, or nothing when the file cannot be read.
std::optional<std::string> FileSha256(const std::string& fileName);

}  // namespace mozenta
