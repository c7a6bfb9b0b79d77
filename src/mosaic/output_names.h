// The names of the three files a save writes, all derived from the one name the user chose.
#pragma once

#include <string>
#include <string_view>

#include "picture/file_name.h"

namespace mozenta {

// `fileName` with the extension of its name proper replaced by `extension` (given with its dot and kept
// exactly as passed), or with `extension` appended when the name has none. A dot in a folder name is no
// extension.
std::string ReplaceFileExtension(std::string_view fileName, std::string_view extension,
                                 std::string_view separators = kPlatformSeparators);

struct SaveFileNames {
  std::string chart;   // .txt
  std::string counts;  // .csv, derived from the chart file's name
  std::string bitmap;  // .bmp
};

SaveFileNames SaveFileNamesFor(std::string_view chosenName,
                               std::string_view separators = kPlatformSeparators);

}  // namespace mozenta
