#include "output_names.h"

namespace mozenta {

std::string ReplaceFileExtension(std::string_view fileName, std::string_view extension,
                                 std::string_view separators) {
  const std::size_t dot = ExtensionDot(fileName, separators);
  std::string result(fileName.substr(0, dot));
  result += extension;
  return result;
}

SaveFileNames SaveFileNamesFor(std::string_view chosenName, std::string_view separators) {
  SaveFileNames names;
  names.chart = ReplaceFileExtension(chosenName, ".txt", separators);
  names.counts = ReplaceFileExtension(names.chart, ".csv", separators);
  names.bitmap = ReplaceFileExtension(chosenName, ".bmp", separators);
  return names;
}

}  // namespace mozenta
