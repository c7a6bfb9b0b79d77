#include "file_name.h"

namespace mozenta {

std::size_t ExtensionDot(std::string_view fileName, std::string_view separators) {
  for (std::size_t i = fileName.size(); i-- > 0;) {
    const char c = fileName[i];
    if (c == '.') return i;
    if (separators.find(c) != std::string_view::npos) return std::string_view::npos;
  }
  return std::string_view::npos;
}

std::string FileExtension(std::string_view fileName, std::string_view separators) {
  const std::size_t dot = ExtensionDot(fileName, separators);
  return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot + 1));
}

std::string FileStem(std::string_view fileName, std::string_view separators) {
  const std::string_view stem = fileName.substr(0, ExtensionDot(fileName, separators));
  const std::size_t separator = stem.find_last_of(separators);
  return std::string(separator == std::string_view::npos ? stem : stem.substr(separator + 1));
}

}  // namespace mozenta
