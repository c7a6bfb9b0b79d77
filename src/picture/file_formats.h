// The file-format registry: which picture class reads a file, chosen by the file's extension only.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "graphic.h"

namespace mozenta {

struct FileFormat {
  std::string extension;                               // lower case, without the dot
  std::string description;                             // as the user sees it
  std::function<std::unique_ptr<TGraphic>()> factory;  // makes a new, empty picture of the class
};

class TFileFormatsList {
 public:
  // The one list of the process, built on first use with wmf, emf, ico and bmp.
  static TFileFormatsList& Instance();

  // Adds an entry at the end; the extension is kept in lower case.
  void Register(std::string_view extension, std::string description,
                std::function<std::unique_ptr<TGraphic>()> factory);

  // The entry for `extension` (letters A to Z taken as a to z), searched from the last entry; nullptr if
  // none.
  const FileFormat* Find(std::string_view extension) const;

  const std::deque<FileFormat>& Entries() const { return entries_; }

 private:
  TFileFormatsList();
  std::deque<FileFormat> entries_;  // a deque keeps entries in place while others are added
};

const FileFormat* FindPictureClass(std::string_view extension);

}  // namespace mozenta
